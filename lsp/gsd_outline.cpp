#include "lsp/gsd_outline.h"

#include <algorithm>

#include "base/text_util.h"
#include "check/keyword_catalogue.h"

namespace {

// Symbol kinds of the protocol.
constexpr int kSymbolNamespace = 3;
constexpr int kSymbolModule = 2;
constexpr int kSymbolStruct = 23;
constexpr int kSymbolProperty = 7;

constexpr int kGroupCount = 4;
const char* const kGroupNames[kGroupCount] = {"General Keys", "Slave Keys", "Master Keys", "User-defined Keys"};

bool IsRev5BlockOpener(const CKeyEntry& entry) {
    const SCatalogueRow* row = KeywordCatalogue::Find(entry.m_Keyword, ECheckProfile::Rev5);
    return row != nullptr && row->IsRev5() && row->m_Opens != BLOCK_NONE;
}

bool Before(const SPosition& a, const SPosition& b) {
    return a.m_nLine < b.m_nLine || (a.m_nLine == b.m_nLine && a.m_nColumn < b.m_nColumn);
}

nlohmann::json JsonRange(const SRange& range) {
    return {{"start", {{"line", range.m_Start.m_nLine}, {"character", range.m_Start.m_nColumn}}},
            {"end", {{"line", range.m_End.m_nLine}, {"character", range.m_End.m_nColumn}}}};
}

nlohmann::json Symbol(const std::vector<SOutlineNode>& nodes, int index) {
    const SOutlineNode& node = nodes[static_cast<size_t>(index)];
    nlohmann::json symbol = {{"name", node.m_Name.empty() ? std::string("?") : GsdBytesToUtf8(node.m_Name)},
                             {"kind", node.m_nKind},
                             {"range", JsonRange(node.m_Range)},
                             {"selectionRange", JsonRange(node.m_Selection)}};
    if (!node.m_Detail.empty()) symbol["detail"] = GsdBytesToUtf8(node.m_Detail);
    if (!node.m_Children.empty()) {
        nlohmann::json children = nlohmann::json::array();
        for (int child : node.m_Children) children.push_back(Symbol(nodes, child));
        symbol["children"] = std::move(children);
    }
    return symbol;
}

}  // namespace

std::vector<SOutlineNode> BuildOutline(const CGsdDocument& document) {
    const CKeyDatabase& database = document.Database();
    std::vector<SOutlineNode> nodes(kGroupCount);
    for (int g = 0; g < kGroupCount; ++g) {
        nodes[static_cast<size_t>(g)].m_Name = kGroupNames[g];
        nodes[static_cast<size_t>(g)].m_nKind = kSymbolNamespace;
    }
    enum { General, Slave, Master, User };
    nodes.reserve(static_cast<size_t>(database.GetCount()) + kGroupCount);
    std::vector<int> nodeOfEntry(static_cast<size_t>(database.GetCount()), -1);
    std::vector<int> parentOf(kGroupCount, -1);
    int module = -1;
    for (const CKeyEntry* entry : database) {
        int parent = User;
        switch (entry->m_TreeGroup) {
            case PARENT_GENERAL: parent = General; break;
            case PARENT_SLAVE: parent = Slave; break;
            case PARENT_MASTER: parent = Master; break;
            case PARENT_MODULE: parent = module >= 0 ? module : User; break;
            default: break;
        }
        // The keys of a block of the revision 5 rules stand under its opener,
        // blocks inside blocks too.
        if (const CKeyEntry* opener = entry->m_hParent; opener != nullptr && IsRev5BlockOpener(*opener))
            if (const int openerNode = nodeOfEntry[static_cast<size_t>(opener->Index())]; openerNode >= 0)
                parent = openerNode;
        SOutlineNode node;
        node.m_Name = entry->m_Keyword;
        const std::string_view line = document.Lines().Whole(entry->m_LongLine);
        const size_t eq = line.find('=');
        if (eq != std::string_view::npos) node.m_Detail = std::string(TrimmedView(line.substr(eq + 1)).substr(0, 80));
        node.m_Range = document.RangeOfEntry(*entry);
        node.m_Selection = node.m_Range;
        const bool isModule = entry->m_ModuleFlag == TYPE_MODULE_BEGIN;
        // Module lines are modules; the other openers (PrmText, ExtUserPrmData and
        // the blocks of the revision 5 rules) are structures.
        node.m_nKind = isModule && EqualsNoCase(entry->m_Keyword, "Module") ? kSymbolModule
                       : isModule || IsRev5BlockOpener(*entry)              ? kSymbolStruct
                                                                            : kSymbolProperty;
        const int index = static_cast<int>(nodes.size());
        nodes.push_back(std::move(node));
        parentOf.push_back(parent);
        nodes[static_cast<size_t>(parent)].m_Children.push_back(index);
        nodeOfEntry[static_cast<size_t>(entry->Index())] = index;
        if (isModule) module = index;
    }
    // A parent's range covers its children: children come after their parents,
    // so one walk from the end carries every range up.
    std::vector<bool> started(nodes.size(), false);
    for (size_t i = kGroupCount; i < nodes.size(); ++i) started[i] = true;
    for (size_t i = nodes.size(); i-- > kGroupCount;) {
        const auto parent = static_cast<size_t>(parentOf[i]);
        SRange& range = nodes[parent].m_Range;
        const SRange& child = nodes[i].m_Range;
        if (!started[parent]) {
            range = child;
            started[parent] = true;
            continue;
        }
        if (Before(child.m_Start, range.m_Start)) range.m_Start = child.m_Start;
        if (Before(range.m_End, child.m_End)) range.m_End = child.m_End;
    }
    for (size_t g = 0; g < kGroupCount; ++g) {
        SOutlineNode& group = nodes[g];
        group.m_Selection = {group.m_Range.m_Start, group.m_Range.m_Start};
    }
    return nodes;
}

nlohmann::json OutlineSymbols(const CGsdDocument& document) {
    const std::vector<SOutlineNode> nodes = BuildOutline(document);
    nlohmann::json symbols = nlohmann::json::array();
    for (int g = 0; g < kGroupCount; ++g)
        if (!nodes[static_cast<size_t>(g)].m_Children.empty()) symbols.push_back(Symbol(nodes, g));
    return symbols;
}
