#include "views/gsd_tree_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFont>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScrollBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <new>
#include <utility>
#include <vector>

#include "base/string_table.h"
#include "base/text_util.h"
#include "base/value_scanners.h"
#include "check/keyword_catalogue.h"
#include "check/process_key.h"
#include "views/memory_headroom.h"
#include "views/user_key_dialog.h"
#include "views/view_text.h"

// The progress window over a refill of many entries: one step per percent of
// the work, so that the event loop runs while a large tree is emptied and
// built. Small trees show no window (they take a few milliseconds).
class CFillProgress {
public:
    CFillProgress(IProgressSink* sink, long long entries, long long work)
        : m_pSink(entries >= CGSDTreeView::FILL_PROGRESS_ENTRIES && work > 0 ? sink : nullptr), m_nWork(work) {
        if (m_pSink == nullptr) return;
        m_pSink->Begin(LoadString(57));
        m_pSink->SetStatus(QtToGsd(CGSDTreeView::FillStatusText()));
    }
    ~CFillProgress() {
        if (m_pSink != nullptr) m_pSink->End();
    }
    CFillProgress(const CFillProgress&) = delete;
    CFillProgress& operator=(const CFillProgress&) = delete;

    // Counts `units` of work done; steps the bar when a percent is complete.
    void Advance(long long units = 1) {
        m_nDone += units;
        if (m_pSink == nullptr || m_nDone < m_nNextStep) return;
        const long long percent = std::min<long long>(m_nDone * 100 / m_nWork, 100);
        while (m_nShown < percent) {
            m_pSink->StepIt();
            ++m_nShown;
        }
        m_nNextStep = (m_nShown + 1) * m_nWork / 100 + ((m_nShown + 1) * m_nWork % 100 != 0 ? 1 : 0);
    }

private:
    IProgressSink* m_pSink;
    long long m_nWork;
    long long m_nDone = 0;
    long long m_nShown = 0;
    long long m_nNextStep = 0;
};

namespace {

const char* const kRootText = "Orvan GSD-File";
const char* const kNoDatabaseText = "no database";

// Shows the wait cursor for the life of the object.
class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

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

// The 0-based line of a key item text "%s (%u)": the number after the first
// "(" (read as atoi reads it) minus 1; false for texts without "(".
bool ParseItemLine(const QString& text, int& line) {
    const qsizetype open = text.indexOf(QLatin1Char('('));
    if (open < 0) return false;
    const qsizetype close = text.indexOf(QLatin1Char(')'), open + 1);
    line = Atoi32(QtToGsd(text.mid(open + 1, close < 0 ? -1 : close - open - 1))) - 1;
    return true;
}

// As ParseItemLine, and the keyword: the text before the "(", trimmed.
bool ParseItemText(const QString& text, QString& keyword, int& line) {
    if (!ParseItemLine(text, line)) return false;
    keyword = text.left(text.indexOf(QLatin1Char('('))).trimmed();
    return true;
}

// A glyph on a coloured rounded square.
QPixmap Badge(const QColor& colour, const QString& glyph, const QColor& ink = Qt::white) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour.darker(140));
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QFont font = QApplication::font();
    font.setPixelSize(glyph.size() > 1 ? 8 : 11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, glyph);
    return pixmap;
}

QPixmap DrawImage(int role) {
    switch (role) {
        case IMAGE_STRING: return Badge(QColor(0x2f, 0x6f, 0xc4), QStringLiteral("ab"));
        case IMAGE_UINT: return Badge(QColor(0x2e, 0x8b, 0x57), QStringLiteral("12"));
        case IMAGE_BOOL: {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(QColor(0x55, 0x55, 0x55), 1));
            painter.setBrush(Qt::white);
            painter.drawRect(QRectF(1.5, 1.5, 13, 13));
            painter.setPen(QPen(QColor(0x1a, 0x9a, 0x1a), 2));
            painter.drawPolyline(QPolygonF({QPointF(4, 8), QPointF(7, 11), QPointF(12, 4)}));
            return pixmap;
        }
        case IMAGE_MASTER: return Badge(QColor(0x7b, 0x3f, 0xa0), QStringLiteral("M"));
        case IMAGE_SLAVE: return Badge(QColor(0xd9, 0x7a, 0x1c), QStringLiteral("S"));
        case IMAGE_ROOT: {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            QPainterPath page;
            page.moveTo(3, 1);
            page.lineTo(10, 1);
            page.lineTo(13, 4);
            page.lineTo(13, 15);
            page.lineTo(3, 15);
            page.closeSubpath();
            painter.setPen(QColor(0x44, 0x44, 0x44));
            painter.setBrush(QColor(0xfa, 0xfa, 0xf0));
            painter.drawPath(page);
            painter.setPen(QColor(0x2f, 0x6f, 0xc4));
            for (int y = 5; y <= 12; y += 3) painter.drawLine(5, y, 11, y);
            return pixmap;
        }
        case IMAGE_USER: return Badge(QColor(0x8a, 0x8a, 0x8a), QStringLiteral("U"));
        case IMAGE_MODULE: {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QColor(0x6b, 0x4a, 0x1e));
            painter.setBrush(QColor(0xc8, 0x9b, 0x5a));
            painter.drawRect(QRectF(1.5, 4.5, 13, 9));
            painter.setBrush(QColor(0xe8, 0xc0, 0x84));
            painter.drawRect(QRectF(4.5, 1.5, 3, 3));
            painter.drawRect(QRectF(9.5, 1.5, 3, 3));
            return pixmap;
        }
        case IMAGE_NO_DATABASE: {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(QColor(0xc0, 0x20, 0x20), 2.5));
            painter.drawLine(3, 3, 13, 13);
            painter.drawLine(13, 3, 3, 13);
            return pixmap;
        }
        case IMAGE_OTHER: return Badge(QColor(0xb0, 0xb0, 0xb0), QStringLiteral("?"), Qt::black);
        case IMAGE_GENERAL: return Badge(QColor(0x1f, 0x8f, 0x9f), QStringLiteral("G"));
        case IMAGE_OCTET: return Badge(QColor(0x9f, 0x3f, 0x3f), QStringLiteral("0x"));
        default: return QPixmap(16, 16);
    }
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

bool IsKeyLineStale(const ILineSource& lines, std::string_view keyword, int line) {
    const std::string text = Trim(lines.GetLine(line).substr(0, 255));
    const bool moved = text.find(keyword) == std::string::npos && !EqualsNoCase(keyword, "Module_Reference");
    return moved || (!text.empty() && text[0] == ';');
}

QString KeyItemText(const CKeyEntry& entry) {
    return QStringLiteral("%1 (%2)").arg(GsdToQt(entry.m_Keyword)).arg(static_cast<unsigned>(entry.m_LongLine + 1));
}

CGSDTreeView::CGSDTreeView(IGsdViewHost& host, QWidget* parent) : QTreeWidget(parent), m_Host(host) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setIconSize(QSize(16, 16));
    setUniformRowHeights(true);
    // Item texts are shown whole; a tree wider than its pane scrolls.
    setTextElideMode(Qt::ElideNone);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setStatusTip(QString());
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnSelectionChanged(current); });
}

namespace {

// An entry that opens a block only the revision 5 rules know.
bool IsRev5BlockOpener(const CKeyEntry& entry) {
    const SCatalogueRow* row = KeywordCatalogue::Find(entry.m_Keyword, ECheckProfile::Rev5);
    return row != nullptr && row->IsRev5() && row->m_Opens != BLOCK_NONE;
}

}  // namespace

QString CGSDTreeView::FillStatusText() {
    return tr("Filling the key tree...");
}

QIcon CGSDTreeView::ImageIcon(int role) {
    static QIcon icons[IMAGE_COUNT];
    if (role < 0 || role >= IMAGE_COUNT) return {};
    if (icons[role].isNull()) icons[role] = QIcon(DrawImage(role));
    return icons[role];
}

QTreeWidgetItem* CGSDTreeView::NewItem(const QString& text, int image, bool bold) {
    auto* item = new QTreeWidgetItem(QStringList(text));
    item->setIcon(0, ImageIcon(image));
    item->setData(0, ROLE_TREE_IMAGE, image);
    if (bold) {
        QFont font = item->font(0);
        font.setBold(true);
        item->setFont(0, font);
    }
    return item;
}

void CGSDTreeView::OnInitialUpdate() {
    m_bFilling = true;
    Refill();
}

void CGSDTreeView::OnUpdate() {
    if (m_bStale) return;
    const STreeState state = SaveState();
    // Neither the refill nor the return to the former key moves the text.
    m_bSyncText = 0;
    m_bFilling = true;
    Refill();
    m_Host.SetTreeRefresh(false);
    RestoreState(state);
    m_bSyncText = 1;
}

namespace {

const QChar kPathSeparator = QLatin1Char('\n');

// The texts from the root down to an item, one a line.
QString PathOf(const QTreeWidgetItem* item) {
    QString path;
    for (; item != nullptr; item = item->parent())
        path = path.isEmpty() ? item->text(0) : item->text(0) + kPathSeparator + path;
    return path;
}

// Calls `visit(item, path)` for every item that has children, parents first.
template <typename F>
void ForEachParentItem(QTreeWidgetItem* root, F visit) {
    std::vector<std::pair<QTreeWidgetItem*, QString>> pending;
    if (root != nullptr) pending.emplace_back(root, root->text(0));
    while (!pending.empty()) {
        auto [item, path] = std::move(pending.back());
        pending.pop_back();
        if (item->childCount() == 0) continue;
        visit(item, path);
        for (int i = item->childCount() - 1; i >= 0; --i) {
            QTreeWidgetItem* child = item->child(i);
            if (child->childCount() > 0) pending.emplace_back(child, path + kPathSeparator + child->text(0));
        }
    }
}

}  // namespace

CGSDTreeView::STreeState CGSDTreeView::SaveState() const {
    STreeState state;
    if (m_pRoot == nullptr) return state;
    state.m_bValid = true;
    ForEachParentItem(m_pRoot, [&state](QTreeWidgetItem* item, const QString& path) {
        state.m_Expanded.insert(path, item->isExpanded());
    });
    state.m_Current = PathOf(currentItem());
    state.m_nScrollX = horizontalScrollBar()->value();
    state.m_nScrollY = verticalScrollBar()->value();
    return state;
}

void CGSDTreeView::RestoreState(const STreeState& state) {
    if (!state.m_bValid || m_pRoot == nullptr) return;
    // Groups and modules that are still there open and close as they were;
    // new ones keep the fill's choice.
    ForEachParentItem(m_pRoot, [&state](QTreeWidgetItem* item, const QString& path) {
        const auto it = state.m_Expanded.constFind(path);
        if (it != state.m_Expanded.constEnd()) item->setExpanded(it.value());
    });
    // The former key, found by the texts of its path; a key whose group
    // changed by the keyword and first line of its text.
    const QStringList texts = state.m_Current.split(kPathSeparator);
    QTreeWidgetItem* item = texts.first() == m_pRoot->text(0) ? m_pRoot : nullptr;
    for (qsizetype level = 1; item != nullptr && level < texts.size(); ++level) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount() && next == nullptr; ++i)
            if (item->child(i)->text(0) == texts[level]) next = item->child(i);
        item = next;
    }
    if (item == nullptr && texts.last().contains(QLatin1Char('('))) {
        const QList<QTreeWidgetItem*> found =
            findItems(texts.last(), Qt::MatchExactly | Qt::MatchCaseSensitive | Qt::MatchRecursive);
        if (!found.isEmpty()) item = found.first();
    }
    if (item != nullptr && item != currentItem()) setCurrentItem(item);
    executeDelayedItemsLayout();
    horizontalScrollBar()->setValue(state.m_nScrollX);
    verticalScrollBar()->setValue(state.m_nScrollY);
}

void CGSDTreeView::Refill() {
    const long long oldItems = m_ItemIndex.size();
    const long long entries = m_Host.Database().GetCount();
    CFillProgress progress(m_Host.Context().m_pProgress, std::max(oldItems, entries), oldItems + 2 * entries);
    try {
        DeleteItems(progress);
        Fill(progress);
    } catch (const std::bad_alloc&) {
        // The items go and the memory with them; the database stays, and the
        // tree shows its root until the next refill.
        DeleteItems(progress);
        m_pRoot = NewItem(QString::fromLatin1(kRootText), IMAGE_ROOT, true);
        addTopLevelItem(m_pRoot);
        m_bFilling = false;
        setCurrentItem(m_pRoot);
        m_Host.Context().Notify(QtToGsd(tr("Not enough memory to show the %1 keys in the tree.\nThe text and the "
                                           "check are not affected.")
                                            .arg(entries)),
                                ENotifyIcon::Exclamation);
    }
}

void CGSDTreeView::DeleteItems(CFillProgress& progress) {
    CWaitCursor wait;
    // Detached items are deleted without the model's bookkeeping, a part at a
    // time, so that the progress window steps between the parts.
    std::vector<QTreeWidgetItem*> pending;
    while (topLevelItemCount() > 0) pending.push_back(takeTopLevelItem(0));
    m_pRoot = m_pUser = m_pGeneral = m_pSlave = m_pMaster = m_pModule = nullptr;
    m_pSelected = nullptr;
    m_ItemIndex.clear();
    m_EntryItems.clear();
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        // The children are taken first, so that each deletion frees one item.
        const QList<QTreeWidgetItem*> children = item->takeChildren();
        pending.insert(pending.end(), children.begin(), children.end());
        delete item;
        progress.Advance();
    }
    clear();
}

void CGSDTreeView::Fill(CFillProgress& progress) {
    CWaitCursor wait;
    m_bFilling = true;
    m_ItemIndex.clear();
    m_EntryItems.clear();
    m_pSelected = nullptr;
    m_pModule = nullptr;
    m_pRoot = NewItem(QString::fromLatin1(kRootText), IMAGE_ROOT, true);
    addTopLevelItem(m_pRoot);

    const CKeyDatabase& database = m_Host.Database();
    m_EntryItems.assign(static_cast<size_t>(database.GetCount()), nullptr);
    m_nFillGeneration = database.Generation();
    if (!database.IsEmpty()) {
        m_pGeneral = NewItem(QStringLiteral("General Keys"), IMAGE_GENERAL, true);
        m_pSlave = NewItem(QStringLiteral("Slave Keys"), IMAGE_SLAVE, true);
        m_pMaster = NewItem(QStringLiteral("Master Keys"), IMAGE_MASTER, true);
        m_pUser = NewItem(QStringLiteral("User-defined Keys"), IMAGE_USER, true);
        // Sorted insertion puts an item after the siblings it does not sort
        // before; collecting each parent's children in database order and sorting
        // them stably gives the same order without a quadratic insertion.
        // Each child keeps its text beside it, so that sorting compares strings
        // and does not read them back from the items.
        using SChild = std::pair<QString, QTreeWidgetItem*>;
        QHash<QTreeWidgetItem*, std::vector<SChild>> children;
        std::vector<QTreeWidgetItem*> parents;
        auto addChild = [&](QTreeWidgetItem* parent, QTreeWidgetItem* child, QString text) {
            auto it = children.find(parent);
            if (it == children.end()) {
                parents.push_back(parent);
                it = children.insert(parent, {});
            }
            it->emplace_back(std::move(text), child);
        };
        for (QTreeWidgetItem* group : {m_pGeneral, m_pSlave, m_pMaster, m_pUser})
            addChild(m_pRoot, group, group->text(0));
        // Items not yet attached are deleted when the fill runs out of memory.
        auto dropUnattached = [&] {
            for (const std::vector<SChild>& list : children)
                for (const SChild& child : list)
                    if (child.second->parent() == nullptr && child.second != m_pRoot) delete child.second;
            m_pGeneral = m_pSlave = m_pMaster = m_pUser = m_pModule = nullptr;
            m_ItemIndex.clear();
            m_EntryItems.clear();
        };
        try {
            for (const auto& entry : database) {
                if ((entry->Index() & 4095) == 0) EnsureMemoryHeadroom();
                QTreeWidgetItem* parent = m_pUser;
                switch (entry->m_TreeGroup) {
                    case PARENT_GENERAL: parent = m_pGeneral; break;
                    case PARENT_SLAVE: parent = m_pSlave; break;
                    case PARENT_MASTER: parent = m_pMaster; break;
                    case PARENT_MODULE: parent = m_pModule != nullptr ? m_pModule : m_pUser; break;
                    default: break;
                }
                // The keys of a block of the revision 5 rules stand under its opener,
                // blocks inside blocks too.
                if (const CKeyEntry* opener = entry->m_hParent; opener != nullptr && IsRev5BlockOpener(*opener))
                    if (QTreeWidgetItem* openerItem = m_EntryItems[static_cast<size_t>(opener->Index())])
                        parent = openerItem;
                QString text = KeyItemText(*entry);
                QTreeWidgetItem* item = NewItem(text, ImageOfEntry(*entry), false);
                if (entry->m_ModuleFlag == TYPE_MODULE_BEGIN) m_pModule = item;
                addChild(parent, item, std::move(text));
                m_EntryItems[static_cast<size_t>(entry->Index())] = item;
                m_ItemIndex.insert(item, entry->Index());
                progress.Advance();
            }
        } catch (const std::bad_alloc&) {
            dropUnattached();
            throw;
        }
        // Children before parents are attached, so that each level is complete.
        for (auto it = parents.rbegin(); it != parents.rend(); ++it) {
            std::vector<SChild>& list = children[*it];
            std::stable_sort(list.begin(), list.end(),
                             [](const SChild& a, const SChild& b) { return CompareTreeText(a.first, b.first) < 0; });
            QList<QTreeWidgetItem*> items;
            items.reserve(static_cast<qsizetype>(list.size()));
            for (const SChild& child : list) items.push_back(child.second);
            (*it)->addChildren(items);
            progress.Advance(static_cast<long long>(list.size()));
        }
        expandItem(m_pRoot);
        for (QTreeWidgetItem* group : {m_pGeneral, m_pSlave, m_pMaster, m_pUser}) expandItem(group);
        scrollToItem(m_pUser);
    } else {
        m_pGeneral = m_pSlave = m_pMaster = m_pUser = nullptr;
        m_pRoot->addChild(NewItem(QString::fromLatin1(kNoDatabaseText), IMAGE_NO_DATABASE, false));
        expandItem(m_pRoot);
    }
    m_bFilling = false;
    // The tree was emptied, so selecting the root always runs the selection change.
    setCurrentItem(m_pRoot);
    scrollToTop();
}

CKeyEntry* CGSDTreeView::EntryOfItem(const QTreeWidgetItem* item) const {
    const auto it = m_ItemIndex.constFind(item);
    if (it == m_ItemIndex.constEnd()) return nullptr;
    // The index is checked against the entry's own item, so an item of an
    // older database never leads to an entry it does not show.
    CKeyEntry* entry = m_Host.Database().GetAt(it.value());
    if (entry == nullptr || ItemAt(entry->Index()) != item) return nullptr;
    return entry;
}

QTreeWidgetItem* CGSDTreeView::ItemAt(int index) const {
    // Items of a fill from an older database lead nowhere.
    if (m_Host.Database().Generation() != m_nFillGeneration) return nullptr;
    return index >= 0 && static_cast<size_t>(index) < m_EntryItems.size() ? m_EntryItems[static_cast<size_t>(index)]
                                                                          : nullptr;
}

QTreeWidgetItem* CGSDTreeView::ItemOfEntry(const CKeyEntry& entry) const {
    QTreeWidgetItem* item = ItemAt(entry.Index());
    if (item == nullptr || EntryOfItem(item) != &entry) return nullptr;
    return item;
}

void CGSDTreeView::RenameEntryItem(const CKeyEntry& entry) {
    if (QTreeWidgetItem* item = ItemOfEntry(entry))
        item->setText(0, QStringLiteral("%1 (%2)").arg(GsdToQt(entry.m_Keyword)).arg(entry.m_LongLine + 1));
}

void CGSDTreeView::SetStale(bool stale) {
    // Unchanged, the tree is not painted again (Check GSD and Rebuild set it
    // before their progress steps).
    if (stale == m_bStale && isEnabled() == !stale) return;
    m_bStale = stale;
    setEnabled(!stale);
    update();
}

void CGSDTreeView::ReportStale() {
    SetStale(true);
    m_Host.SetKeyFormEnabled(false);
    m_Host.Context().Notify(LoadString(IDS_STALE_DATABASE), ENotifyIcon::Information);
}

void CGSDTreeView::OnSelectionChanged(QTreeWidgetItem* current) {
    if (m_bFilling || current == nullptr) return;
    CTalunaContext& context = m_Host.Context();
    const bool refresh = m_Host.IsTreeRefresh();
    QString keyword;
    int line = 0;
    if (ParseItemText(current->text(0), keyword, line)) {
        if (refresh) return;
        CKeyEntry* entry = EntryOfItem(current);
        const std::string key = QtToGsd(keyword);
        // An item the database does not hold any more counts as stale as well.
        if (IsKeyLineStale(m_Host.Lines(), key, line) || entry == nullptr) {
            ReportStale();
            return;
        }
        {
            CWaitCursor wait;
            context.m_pCurEntry = entry;
            context.m_nCurItem = entry->Index();
            m_pSelected = current;
            if (m_bSyncText == 1) m_Host.SelectLine(line);
        }
        ProcessKey(context, key, MODE_INFORMATION, entry->m_Value);
        m_Host.UpdateAllViews(this);
        return;
    }
    if (refresh) return;
    m_pSelected = current;
    ProcessKey(context, QtToGsd(current->text(0)), MODE_INFORMATION, "");
    m_Host.UpdateAllViews(this);
    if (m_bSyncText == 1) m_Host.SelectLine(0);
}

void CGSDTreeView::SelectKeyAtLine(int line) {
    if (m_bStale || m_pRoot == nullptr) return;
    m_bSyncText = 0;
    setCurrentItem(m_pRoot);
    scrollToTop();
    {
        CWaitCursor wait;
        constexpr int MAX_LEVELS = 20;
        // The chain of parents of the item in hand.
        std::vector<QTreeWidgetItem*> stack;
        QTreeWidgetItem* item = m_pRoot;
        int index = 0;  // of `item` among its siblings
        bool found = false, cancelled = false;
        while (item != nullptr) {
            int itemLine = 0;
            if (ParseItemLine(item->text(0), itemLine) && itemLine == line) {
                setCurrentItem(item);
                scrollToItem(item, QAbstractItemView::PositionAtTop);
                found = true;
                break;
            }
            if (item->childCount() > 0) {
                if (static_cast<int>(stack.size()) >= MAX_LEVELS) {
                    cancelled = true;
                    break;
                }
                stack.push_back(item);
                item = item->child(0);
                index = 0;
                continue;
            }
            // Next sibling, or the next sibling of the nearest parent that has one.
            for (;;) {
                QTreeWidgetItem* parent = stack.empty() ? nullptr : stack.back();
                const int count = parent != nullptr ? parent->childCount() : topLevelItemCount();
                if (index + 1 < count) {
                    ++index;
                    item = parent != nullptr ? parent->child(index) : topLevelItem(index);
                    break;
                }
                if (parent == nullptr) {
                    item = nullptr;
                    break;
                }
                stack.pop_back();
                QTreeWidgetItem* grand = stack.empty() ? nullptr : stack.back();
                index = grand != nullptr ? grand->indexOfChild(parent) : indexOfTopLevelItem(parent);
            }
        }
        if (cancelled)
            m_Host.Context().Notify("No Tree-Entry found.\nSearch cancelled!", ENotifyIcon::Exclamation);
        else if (!found)
            m_Host.Context().Notify("No Tree-Entry found!", ENotifyIcon::Information);
    }
    m_bSyncText = 1;
}

QMenu* CGSDTreeView::ContextMenu() {
    if (m_pMenu != nullptr) return m_pMenu;
    m_pMenu = new QMenu(this);
    struct SItem {
        int id;
        const char* text;
        const char* status;
        void (CGSDTreeView::*handler)();
    };
    const SItem items[] = {
        {ID_KEY_INFO, "&Key Info", "Shows extended informations about the selected key.", &CGSDTreeView::OnKeyInfo},
        {ID_CHECK_SYNTAX, "&Check Syntax", "Checks the data type and range of the selected key.",
         &CGSDTreeView::OnCheckSyntax},
        {ID_USER_KEY, "&User Key...", "Parametrizes the selected user-defined key.", &CGSDTreeView::OnUserKey},
        {ID_SHOW_DETAILS, "&Show Details...", "Shows object details (for information only).",
         &CGSDTreeView::OnShowDetails},
    };
    for (const SItem& item : items) {
        if (item.id == ID_SHOW_DETAILS) m_pMenu->addSeparator();
        QAction* action = m_pMenu->addAction(QString::fromLatin1(item.text));
        action->setData(item.id);
        action->setStatusTip(QString::fromLatin1(item.status));
        connect(action, &QAction::triggered, this, item.handler);
    }
    return m_pMenu;
}

QAction* CGSDTreeView::MenuAction(int id) const {
    if (m_pMenu == nullptr) return nullptr;
    for (QAction* action : m_pMenu->actions())
        if (action->data().toInt() == id) return action;
    return nullptr;
}

void CGSDTreeView::ShowContextMenu(const QPoint& globalPos) {
    QMenu* menu = ContextMenu();
    menu->popup(globalPos);
}

QPoint CGSDTreeView::KeyboardMenuPos() const {
    // Below the start of the current item's text, as far as it is in sight.
    QTreeWidgetItem* item = currentItem();
    const QRect visible = viewport()->rect();
    QPoint pos = visible.topLeft();
    if (item != nullptr) {
        const QRect rect = visualItemRect(item);
        if (rect.isValid() && rect.intersects(visible))
            pos = QPoint(std::clamp(rect.left() + iconSize().width(), visible.left(), visible.right()),
                         std::clamp(rect.bottom() + 1, visible.top(), visible.bottom()));
    }
    return viewport()->mapToGlobal(pos);
}

void CGSDTreeView::contextMenuEvent(QContextMenuEvent* event) {
    ShowContextMenu(event->reason() == QContextMenuEvent::Keyboard ? KeyboardMenuPos() : event->globalPos());
    event->accept();
}

void CGSDTreeView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) || event->key() == Qt::Key_Menu) {
        ShowContextMenu(KeyboardMenuPos());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

bool CGSDTreeView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // An item text cut at the pane's edge is shown whole.
        const auto* help = static_cast<QHelpEvent*>(event);
        QTreeWidgetItem* item = itemAt(help->pos());
        if (item != nullptr && IsItemTextCut(item)) {
            QToolTip::showText(help->globalPos(), item->text(0), viewport(), visualItemRect(item));
            return true;
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QTreeWidget::viewportEvent(event);
}

bool CGSDTreeView::IsItemTextCut(const QTreeWidgetItem* item) const {
    const QModelIndex index = indexFromItem(item);
    if (!index.isValid()) return false;
    const QRect rect = visualRect(index);
    // The width the item's icon and text need, from where they start.
    const int needed = sizeHintForIndex(index).width();
    return rect.left() < 0 || rect.left() + needed > viewport()->width();
}

void CGSDTreeView::mousePressEvent(QMouseEvent* event) {
    // The right button first selects the item under the pointer.
    if (event->button() == Qt::RightButton) {
        if (QTreeWidgetItem* item = itemAt(event->position().toPoint())) setCurrentItem(item);
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void CGSDTreeView::OnKeyInfo() {
    CTalunaContext& context = m_Host.Context();
    if (context.m_pCurEntry == nullptr) {
        context.Notify("No database exists.", ENotifyIcon::Exclamation);
        return;
    }
    ProcessKey(context, context.m_pCurEntry->m_Keyword, MODE_HELP, "");
}

void CGSDTreeView::OnCheckSyntax() {
    m_Host.CheckSyntax();
}

void CGSDTreeView::OnUserKey() {
    EditUserKey(m_Host.Context(), m_Host.Context().m_pCurEntry, this);
}

void CGSDTreeView::OnShowDetails() {
    const CTalunaContext& context = m_Host.Context();
    if (context.m_pCurEntry == nullptr) {
        m_Host.Context().Notify("No database exists.", ENotifyIcon::Exclamation);
        return;
    }
    CObjectDetailsDialog dialog(context, m_Host.Database(),
                                context.m_pCurEntry != nullptr ? ItemOfEntry(*context.m_pCurEntry) : nullptr, this);
    dialog.exec();
}

namespace {

QString Pointer(const void* pointer) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%p", pointer);
    return QString::fromLatin1(buffer);
}

QString TypeText(int type) {
    switch (type) {
        case TYPE_SIMPLE_STRING: return QStringLiteral("Type: TYPE_SIMPLE_STRING");
        case TYPE_SIMPLE_UINT: return QStringLiteral("Type: TYPE_SIMPLE_UINT");
        case TYPE_SIMPLE_BOOL: return QStringLiteral("Type: TYPE_SIMPLE_BOOL");
        case TYPE_OCTET_STRING: return QStringLiteral("Type: TYPE_OCTET_STRING");
        case TYPE_USER_KEY: return QStringLiteral("Type: TYPE_USER_KEY");
        default: return QStringLiteral("Type: ?TYPE_UNKNOWN?");
    }
}

QString GroupText(int group) {
    switch (group) {
        case PARENT_GENERAL: return QStringLiteral("TreeGroup: PARENT_GENERAL");
        case PARENT_SLAVE: return QStringLiteral("TreeGroup: PARENT_SLAVE");
        case PARENT_MASTER: return QStringLiteral("TreeGroup: PARENT_MASTER");
        case PARENT_MODULE: return QStringLiteral("TreeGroup: PARENT_MODULE");
        default: return QStringLiteral("TreeGroup: ?PARENT_UNKNOWN?");
    }
}

const char* const kDetailLabels[] = {"Item-Nr.",  "Keyword",    "Value",      "LongLine",  "Line",
                                     "TypeFlag",  "ModuleFlag", "TreeHandle", "TreeGroup", "TreeParent",
                                     "Range/Len", "Ready0",     "Ready1",     "Ready2"};

}  // namespace

QStringList CObjectDetailsDialog::DetailLines(const CKeyEntry& entry, const void* treeItem, int curItem,
                                              int entryCount) {
    auto ready = [&](size_t i) { return i < entry.m_Ready.size() ? GsdToQt(entry.m_Ready[i]) : QString(); };
    return {
        QStringLiteral("Item-Index: %1 (#elements: %2, starts with 0)").arg(curItem).arg(entryCount),
        QStringLiteral("Key: \"%1\"").arg(GsdToQt(entry.m_Keyword)),
        QStringLiteral("Value: \"%1\"").arg(GsdToQt(entry.m_Value)),
        QStringLiteral("LongLine: %1").arg(entry.m_LongLine),
        QStringLiteral("Line: %1").arg(entry.m_Line),
        TypeText(entry.m_TypeFlag),
        entry.m_ModuleFlag == TYPE_MODULE_BEGIN ? QStringLiteral("ModuleFlag: TYPE_MODULE_BEGIN")
                                                : QStringLiteral("ModuleFlag: -"),
        QStringLiteral("hTree: ") + Pointer(treeItem),
        GroupText(entry.m_TreeGroup),
        QStringLiteral("hParent: ") + Pointer(entry.m_hParent),
        QStringLiteral("Range/Len: %1").arg(GsdToQt(entry.m_RangeLen)),
        QStringLiteral("m_Ready[0]: %1").arg(ready(0)),
        QStringLiteral("m_Ready[1]: %1").arg(ready(1)),
        QStringLiteral("m_Ready[2]: %1").arg(ready(2)),
    };
}

CObjectDetailsDialog::CObjectDetailsDialog(const CTalunaContext& context, const CKeyDatabase& database,
                                           const void* treeItem, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Object Details..."));
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(QStringLiteral("The information below is for debugging only. Use the text editor window "
                                           "or the dialogues to change these entries."),
                            this);
    note->setWordWrap(true);
    note->setObjectName(QStringLiteral("note"));
    layout->addWidget(note);
    if (context.m_pCurEntry != nullptr)
        m_Lines = DetailLines(*context.m_pCurEntry, treeItem, context.m_nCurItem, database.GetCount());
    auto* grid = new QGridLayout;
    for (int i = 0; i < m_Lines.size(); ++i) {
        grid->addWidget(new QLabel(QString::fromLatin1(kDetailLabels[i]), this), i, 0);
        auto* text = new QLabel(m_Lines[i], this);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->setObjectName(QStringLiteral("detail%1").arg(i));
        grid->addWidget(text, i, 1);
    }
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
