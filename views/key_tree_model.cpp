#include "views/key_tree_model.h"

#include <QFont>
#include <algorithm>
#include <array>
#include <climits>
#include <new>

#include "base/value_scanners.h"
#include "check/keyword_catalogue.h"
#include "views/gsd_tree_view.h"
#include "views/memory_headroom.h"

namespace {

const char* const kRootText = "Orvan GSD-File";
const char* const kNoDatabaseText = "no database";

// Node ids carry the number of their fill above this bit, so that an index of
// an older fill never stands for a node of the new one.
constexpr int SERIAL_SHIFT = 40;
constexpr quintptr NODE_MASK = (quintptr{1} << SERIAL_SHIFT) - 1;
constexpr quintptr SERIAL_MASK = 0xFFFFFF;

// The number of levels of parents the search by line goes through.
constexpr int MAX_LEVELS = 20;
// How many shown items are remembered before the memory starts afresh.
constexpr int MAX_SHOWN = 4096;

int ImageOfEntry(const CKeyEntry& entry) {
    if (entry.m_ModuleFlag == TYPE_MODULE_BEGIN) return IMAGE_MODULE;
    switch (entry.m_TypeFlag) {
        case TYPE_SIMPLE_STRING: return IMAGE_STRING;
        case TYPE_SIMPLE_UINT: return IMAGE_UINT;
        case TYPE_SIMPLE_BOOL: return IMAGE_BOOL;
        case TYPE_OCTET_STRING: return IMAGE_OCTET;
        default: return IMAGE_OTHER;
    }
}

// An entry that opens a block only the revision 5 rules know.
bool IsRev5BlockOpener(const CKeyEntry& entry) {
    const SCatalogueRow* row = KeywordCatalogue::Find(EntryBytes(entry.m_Keyword), ECheckProfile::Rev5);
    return row != nullptr && row->IsRev5() && row->m_Opens != BLOCK_NONE;
}

// Each byte as the tree compares it: its character, ASCII letters folded to
// lower case.
const std::array<char16_t, 256>& FoldedBytes() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> folded{};
        for (int byte = 0; byte < 256; ++byte) {
            const char c = static_cast<char>(byte);
            char16_t ch = DecodeCp1252(std::string_view(&c, 1)).at(0).unicode();
            if (ch >= 'A' && ch <= 'Z') ch = static_cast<char16_t>(ch + ('a' - 'A'));
            folded[static_cast<size_t>(byte)] = ch;
        }
        return folded;
    }();
    return table;
}

// Compares the decimal texts of two numbers character by character.
int CompareDecimalTexts(std::uint64_t a, std::uint64_t b) {
    auto digits = [](std::uint64_t n) {
        int count = 1;
        while (n >= 10) {
            n /= 10;
            ++count;
        }
        return count;
    };
    const int da = digits(a), db = digits(b);
    std::uint64_t sa = a, sb = b;
    for (int i = da; i < db; ++i) sa *= 10;
    for (int i = db; i < da; ++i) sb *= 10;
    if (sa != sb) return sa < sb ? -1 : 1;
    // One text starts the other: the shorter one comes first.
    return da == db ? 0 : (da < db ? -1 : 1);
}

}  // namespace

int CompareTreeText(const QString& a, const QString& b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t ca = a.at(i).unicode();
        char16_t cb = b.at(i).unicode();
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<char16_t>(ca + ('a' - 'A'));
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<char16_t>(cb + ('a' - 'A'));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

QString KeyItemText(const CKeyEntry& entry) {
    return QStringLiteral("%1 (%2)").arg(EntryText(entry.m_Keyword)).arg(static_cast<unsigned>(entry.m_LongLine + 1));
}

int CompareKeyItems(const CKeyEntry& a, const CKeyEntry& b) {
    const std::array<char16_t, 256>& folded = FoldedBytes();
    const std::string_view ka = EntryBytes(a.m_Keyword);
    const std::string_view kb = EntryBytes(b.m_Keyword);
    const size_t n = std::min(ka.size(), kb.size());
    for (size_t i = 0; i < n; ++i) {
        const char16_t ca = folded[static_cast<unsigned char>(ka[i])];
        const char16_t cb = folded[static_cast<unsigned char>(kb[i])];
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    // Both texts go on with " (", the line number and ")"; ")" comes before
    // every digit, so the numbers compare as their decimal texts.
    if (ka.size() == kb.size())
        return CompareDecimalTexts(static_cast<unsigned>(a.m_LongLine + 1), static_cast<unsigned>(b.m_LongLine + 1));
    // The shorter keyword is followed by a blank, the longer one by its next character.
    const bool aShorter = ka.size() < kb.size();
    const char16_t next = folded[static_cast<unsigned char>(aShorter ? kb[n] : ka[n])];
    if (next != u' ') return (u' ' < next) == aShorter ? -1 : 1;
    return CompareTreeText(KeyItemText(a), KeyItemText(b));
}

bool ParseItemLine(const QString& text, int& line) {
    const qsizetype open = text.indexOf(QLatin1Char('('));
    if (open < 0) return false;
    const qsizetype close = text.indexOf(QLatin1Char(')'), open + 1);
    line = Atoi32(EncodeCp1252(text.mid(open + 1, close < 0 ? -1 : close - open - 1))) - 1;
    return true;
}

CKeyTreeModel::CKeyTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void CKeyTreeModel::Reset() {
    // The vectors give their memory back: a large database's tree is large too.
    std::vector<std::int32_t>().swap(m_Parent);
    std::vector<std::uint32_t>().swap(m_First);
    std::vector<std::int32_t>().swap(m_Children);
    std::vector<std::int32_t>().swap(m_Row);
    std::vector<bool>().swap(m_Sorted);
    std::vector<std::int32_t>().swap(m_ParenEntries);
    m_Shown.clear();
    m_pDatabase = nullptr;
    m_bGroups = m_bRootOnly = m_bDeep = false;
    m_bLinesOrdered = true;
    m_nSerial = (m_nSerial + 1) & SERIAL_MASK;
}

void CKeyTreeModel::FillRootOnly() {
    beginResetModel();
    Reset();
    m_bFilled = true;
    m_bRootOnly = true;
    endResetModel();
}

void CKeyTreeModel::Fill(const CKeyDatabase& database, const std::function<void(long long)>& advance) {
    // The progress steps run the event loop, where the tree may lay itself
    // out and paint: the new rows are made beside the shown ones and take
    // their place at once.
    std::vector<std::int32_t> parents;
    std::vector<std::uint32_t> first;
    std::vector<std::int32_t> children;
    std::vector<std::int32_t> parenEntries;
    bool linesOrdered = true;
    bool deep = false;
    const int count = database.GetCount();
    const size_t nodes = static_cast<size_t>(NODE_ENTRY) + static_cast<size_t>(count);
    try {
        parents.assign(static_cast<size_t>(count), NODE_USER);
        first.assign(nodes + 1, 0);
        // Levels below the root; a node with children at MAX_LEVELS or deeper
        // makes the search by line walk the tree.
        std::vector<std::uint8_t> depth(static_cast<size_t>(count), 2);
        int module = -1;
        const CKeyEntry* lastOpener = nullptr;
        bool lastOpenerRev5 = false;
        int previousLine = INT_MIN;
        long long advanced = 0;
        int index = 0;
        for (const CKeyEntry* entry : database) {
            if ((index & 4095) == 0) {
                EnsureMemoryHeadroom();
                advance(index - advanced);
                advanced = index;
            }
            std::int32_t parent = NODE_USER;
            switch (entry->m_TreeGroup) {
                case PARENT_GENERAL: parent = NODE_GENERAL; break;
                case PARENT_SLAVE: parent = NODE_SLAVE; break;
                case PARENT_MASTER: parent = NODE_MASTER; break;
                case PARENT_MODULE: parent = module >= 0 ? NODE_ENTRY + module : NODE_USER; break;
                default: break;
            }
            // The keys of a block of the revision 5 rules stand under its
            // opener, blocks inside blocks too.
            if (const CKeyEntry* opener = entry->m_hParent; opener != nullptr) {
                if (opener != lastOpener) {
                    lastOpener = opener;
                    lastOpenerRev5 = IsRev5BlockOpener(*opener);
                }
                if (lastOpenerRev5 && opener->Index() >= 0 && opener->Index() < index)
                    parent = NODE_ENTRY + opener->Index();
            }
            if (entry->m_ModuleFlag == TYPE_MODULE_BEGIN) module = index;
            if (parent >= NODE_ENTRY) {
                const std::uint8_t above = depth[static_cast<size_t>(parent - NODE_ENTRY)];
                if (above >= MAX_LEVELS) deep = true;
                depth[static_cast<size_t>(index)] = static_cast<std::uint8_t>(std::min(above + 1, 255));
            }
            parents[static_cast<size_t>(index)] = parent;
            ++first[static_cast<size_t>(parent) + 1];
            if (entry->m_LongLine <= previousLine) linesOrdered = false;
            previousLine = entry->m_LongLine;
            if (EntryBytes(entry->m_Keyword).find('(') != std::string_view::npos) parenEntries.push_back(index);
            ++index;
        }
        advance(index - advanced);
        std::vector<std::uint8_t>().swap(depth);
        for (size_t node = 0; node < nodes; ++node) first[node + 1] += first[node];
        children.resize(static_cast<size_t>(count));
        std::vector<std::uint32_t> next(first.begin(), first.end() - 1);
        for (int i = 0; i < count; ++i) children[next[static_cast<size_t>(parents[static_cast<size_t>(i)])]++] = i;
    } catch (const std::bad_alloc&) {
        FillRootOnly();
        throw;
    }
    beginResetModel();
    Reset();
    try {
        m_Row.assign(static_cast<size_t>(count), -1);
        m_Sorted.assign(nodes, false);
    } catch (const std::bad_alloc&) {
        Reset();
        m_bFilled = true;
        m_bRootOnly = true;
        endResetModel();
        throw;
    }
    m_pDatabase = &database;
    m_nGeneration = database.Generation();
    m_bFilled = true;
    m_bGroups = count > 0;
    m_bLinesOrdered = linesOrdered;
    m_bDeep = deep;
    m_Parent.swap(parents);
    m_First.swap(first);
    m_Children.swap(children);
    m_ParenEntries.swap(parenEntries);
    endResetModel();
    // The groups are shown open, so their children are needed at once.
    if (m_bGroups) {
        for (qint64 group = NODE_GENERAL; group <= NODE_USER; ++group) {
            if (!m_Sorted[static_cast<size_t>(group)]) SortChildren(group);
            advance(ChildCount(group));
        }
    }
}

bool CKeyTreeModel::IsCurrent() const {
    return m_pDatabase != nullptr && m_pDatabase->Generation() == m_nGeneration &&
           static_cast<size_t>(m_pDatabase->GetCount()) == m_Parent.size();
}

qint64 CKeyTreeModel::NodeCount() const {
    if (!m_bFilled) return 0;
    return NODE_ENTRY + static_cast<qint64>(m_Parent.size());
}

quintptr CKeyTreeModel::IdOf(qint64 node) const {
    return (m_nSerial << SERIAL_SHIFT) | static_cast<quintptr>(node);
}

qint64 CKeyTreeModel::NodeOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this || (index.internalId() >> SERIAL_SHIFT) != m_nSerial) return -1;
    const auto node = static_cast<qint64>(index.internalId() & NODE_MASK);
    return node < NodeCount() ? node : -1;
}

bool CKeyTreeModel::IsKeyItem(const QModelIndex& index) const {
    return index.isValid() && index.model() == this && (index.internalId() & NODE_MASK) >= NODE_ENTRY;
}

qint64 CKeyTreeModel::ChildCount(qint64 node) const {
    if (node == NODE_ROOT) return m_bRootOnly ? 0 : (m_bGroups ? 4 : 1);
    if (node == NODE_NO_DATABASE || node < 0 || node >= NodeCount()) return 0;
    const auto at = static_cast<size_t>(node);
    return static_cast<qint64>(m_First[at + 1] - m_First[at]);
}

qint64 CKeyTreeModel::ChildNode(qint64 node, int row) const {
    if (node == NODE_ROOT) return m_bGroups ? NODE_GENERAL + row : NODE_NO_DATABASE;
    if (!m_Sorted[static_cast<size_t>(node)]) SortChildren(node);
    return NODE_ENTRY + m_Children[m_First[static_cast<size_t>(node)] + static_cast<size_t>(row)];
}

void CKeyTreeModel::SortChildren(qint64 node) const {
    const auto begin = m_Children.begin() + m_First[static_cast<size_t>(node)];
    const auto end = m_Children.begin() + m_First[static_cast<size_t>(node) + 1];
    // Entries of a database that is being rebuilt cannot be compared; the
    // level keeps the database order until the refill.
    if (IsCurrent()) {
        const CKeyDatabase& database = *m_pDatabase;
        // Equal texts keep the database order, as sorted insertion keeps it.
        std::sort(begin, end, [&database](std::int32_t a, std::int32_t b) {
            const int order = CompareKeyItems(*database.GetAt(a), *database.GetAt(b));
            return order != 0 ? order < 0 : a < b;
        });
    }
    std::int32_t row = 0;
    for (auto it = begin; it != end; ++it) m_Row[static_cast<size_t>(*it)] = row++;
    m_Sorted[static_cast<size_t>(node)] = true;
}

int CKeyTreeModel::RowOf(qint64 node) const {
    if (node == NODE_ROOT || node == NODE_NO_DATABASE) return 0;
    if (node < NODE_ENTRY) return static_cast<int>(node - NODE_GENERAL);
    const std::int32_t parent = m_Parent[static_cast<size_t>(node - NODE_ENTRY)];
    if (!m_Sorted[static_cast<size_t>(parent)]) SortChildren(parent);
    return m_Row[static_cast<size_t>(node - NODE_ENTRY)];
}

qint64 CKeyTreeModel::ParentNode(qint64 node) const {
    if (node <= NODE_ROOT || node >= NodeCount()) return -1;
    if (node < NODE_ENTRY) return NODE_ROOT;
    return m_Parent[static_cast<size_t>(node - NODE_ENTRY)];
}

QModelIndex CKeyTreeModel::RootIndex() const {
    return IndexOfNode(NODE_ROOT);
}

QModelIndex CKeyTreeModel::IndexOfNode(qint64 node) const {
    if (node < 0 || node >= NodeCount()) return {};
    if (node > NODE_ROOT && node < NODE_ENTRY) {
        if (m_bRootOnly) return {};
        if ((node == NODE_NO_DATABASE) == m_bGroups) return {};
    }
    return createIndex(RowOf(node), 0, IdOf(node));
}

const CKeyEntry* CKeyTreeModel::EntryOfNode(qint64 node) const {
    if (node < NODE_ENTRY || !IsCurrent()) return nullptr;
    return m_pDatabase->GetAt(static_cast<int>(node - NODE_ENTRY));
}

CKeyEntry* CKeyTreeModel::EntryOf(const QModelIndex& index) const {
    return const_cast<CKeyEntry*>(EntryOfNode(NodeOf(index)));
}

QModelIndex CKeyTreeModel::IndexOfEntry(const CKeyEntry& entry) const {
    if (!IsCurrent()) return {};
    const int index = m_pDatabase->IndexOf(&entry);
    if (index < 0) return {};
    // The item handed out is remembered with its text, like a shown one.
    Shown(NODE_ENTRY + index);
    return IndexOfNode(NODE_ENTRY + index);
}

void CKeyTreeModel::EntryChanged(const CKeyEntry& entry) {
    if (!IsCurrent()) return;
    const int index = m_pDatabase->IndexOf(&entry);
    if (index < 0) return;
    m_Shown.remove(NODE_ENTRY + index);
    // An item whose level was never put in order has not been shown.
    if (!m_Sorted[static_cast<size_t>(m_Parent[static_cast<size_t>(index)])]) return;
    const QModelIndex item = IndexOfNode(NODE_ENTRY + index);
    emit dataChanged(item, item, {Qt::DisplayRole});
}

int CKeyTreeModel::ItemLine(const CKeyEntry& entry) const {
    if (EntryBytes(entry.m_Keyword).find('(') == std::string_view::npos) return entry.m_LongLine;
    int line = 0;
    ParseItemLine(KeyItemText(entry), line);
    return line;
}

QString CKeyTreeModel::NodeText(qint64 node) const {
    if (node < 0 || node >= NodeCount()) return {};
    return Shown(node).m_Text;
}

qint64 CKeyTreeModel::FindKeyItem(const QString& text) const {
    if (!IsCurrent()) return -1;
    // "%s (%u)": the number after the last "(" is the first line plus 1.
    const qsizetype open = text.lastIndexOf(QLatin1Char('('));
    if (open < 0 || !text.endsWith(QLatin1Char(')'))) return -1;
    bool ok = false;
    const int line = static_cast<int>(text.mid(open + 1, text.size() - open - 2).toUInt(&ok)) - 1;
    if (!ok) return -1;
    const CKeyDatabase& database = *m_pDatabase;
    const int count = database.GetCount();
    auto matches = [&](int i) {
        const CKeyEntry* entry = database.GetAt(i);
        return entry->m_LongLine == line && KeyItemText(*entry) == text;
    };
    int first = 0;
    if (m_bLinesOrdered) {
        int high = count;
        while (first < high) {
            const int mid = first + (high - first) / 2;
            if (database.GetAt(mid)->m_LongLine < line)
                first = mid + 1;
            else
                high = mid;
        }
        return first < count && matches(first) ? NODE_ENTRY + first : -1;
    }
    for (int i = 0; i < count; ++i)
        if (matches(i)) return NODE_ENTRY + i;
    return -1;
}

QModelIndex CKeyTreeModel::KeyAtLine(int line, bool& cancelled) const {
    cancelled = false;
    if (!IsCurrent()) return {};
    const CKeyDatabase& database = *m_pDatabase;
    const int count = database.GetCount();
    // The entries whose item text names the line.
    std::vector<int> found;
    if (m_bLinesOrdered) {
        int low = 0, high = count;
        while (low < high) {
            const int mid = low + (high - low) / 2;
            if (database.GetAt(mid)->m_LongLine < line)
                low = mid + 1;
            else
                high = mid;
        }
        for (int i = low; i < count && database.GetAt(i)->m_LongLine == line; ++i)
            if (ItemLine(*database.GetAt(i)) == line) found.push_back(i);
    } else {
        for (int i = 0; i < count; ++i) {
            const CKeyEntry& entry = *database.GetAt(i);
            if (entry.m_LongLine == line && ItemLine(entry) == line) found.push_back(i);
        }
    }
    for (const std::int32_t i : m_ParenEntries) {
        const CKeyEntry& entry = *database.GetAt(i);
        if (entry.m_LongLine != line && ItemLine(entry) == line) found.push_back(i);
    }
    // Without deep levels the walk cannot stop early, and a single item is
    // the one it would find.
    if (!m_bDeep && found.size() <= 1) return found.empty() ? QModelIndex() : IndexOfNode(NODE_ENTRY + found[0]);

    // The walk: parents before children, siblings in order.
    std::vector<std::pair<qint64, qint64>> stack;  // parent, row of the item in hand
    qint64 item = NODE_ROOT;
    while (item >= 0) {
        if (item >= NODE_ENTRY && ItemLine(*database.GetAt(static_cast<int>(item - NODE_ENTRY))) == line)
            return IndexOfNode(item);
        if (ChildCount(item) > 0) {
            if (static_cast<int>(stack.size()) >= MAX_LEVELS) {
                cancelled = true;
                return {};
            }
            stack.emplace_back(item, 0);
            item = ChildNode(item, 0);
            continue;
        }
        item = -1;
        while (!stack.empty()) {
            auto& [parent, row] = stack.back();
            if (row + 1 < ChildCount(parent)) {
                ++row;
                item = ChildNode(parent, static_cast<int>(row));
                break;
            }
            stack.pop_back();
        }
    }
    return {};
}

CKeyTreeModel::SShown CKeyTreeModel::Shown(qint64 node) const {
    switch (node) {
        case NODE_ROOT: return {QString::fromLatin1(kRootText), IMAGE_ROOT};
        case NODE_GENERAL: return {QStringLiteral("General Keys"), IMAGE_GENERAL};
        case NODE_MASTER: return {QStringLiteral("Master Keys"), IMAGE_MASTER};
        case NODE_SLAVE: return {QStringLiteral("Slave Keys"), IMAGE_SLAVE};
        case NODE_USER: return {QStringLiteral("User-defined Keys"), IMAGE_USER};
        case NODE_NO_DATABASE: return {QString::fromLatin1(kNoDatabaseText), IMAGE_NO_DATABASE};
        default: break;
    }
    const auto it = m_Shown.constFind(node);
    if (it != m_Shown.constEnd()) return it.value();
    // While the database is rebuilt, items not shown lately stay blank.
    const CKeyEntry* entry = EntryOfNode(node);
    if (entry == nullptr) return {QString(), -1};
    SShown shown{KeyItemText(*entry), ImageOfEntry(*entry)};
    if (m_Shown.size() >= MAX_SHOWN) m_Shown.clear();
    m_Shown.insert(node, shown);
    return shown;
}

QModelIndex CKeyTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    if (!parent.isValid()) return row == 0 && m_bFilled ? IndexOfNode(NODE_ROOT) : QModelIndex();
    const qint64 node = NodeOf(parent);
    if (node < 0 || row >= ChildCount(node)) return {};
    return createIndex(row, 0, IdOf(ChildNode(node, row)));
}

QModelIndex CKeyTreeModel::parent(const QModelIndex& index) const {
    const qint64 node = NodeOf(index);
    return node <= NODE_ROOT ? QModelIndex() : IndexOfNode(ParentNode(node));
}

int CKeyTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return m_bFilled ? 1 : 0;
    if (parent.column() > 0) return 0;
    return static_cast<int>(ChildCount(NodeOf(parent)));
}

int CKeyTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool CKeyTreeModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

QVariant CKeyTreeModel::data(const QModelIndex& index, int role) const {
    const qint64 node = NodeOf(index);
    if (node < 0) return {};
    switch (role) {
        case Qt::DisplayRole: return Shown(node).m_Text;
        case Qt::DecorationRole: return CGSDTreeView::ImageIcon(Shown(node).m_nImage);
        case ROLE_TREE_IMAGE: return Shown(node).m_nImage;
        case Qt::FontRole:
            // The root and the groups are bold.
            if (node < NODE_NO_DATABASE) {
                QFont font;
                font.setBold(true);
                return font;
            }
            return {};
        default: return {};
    }
}

Qt::ItemFlags CKeyTreeModel::flags(const QModelIndex& index) const {
    if (NodeOf(index) < 0) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}
