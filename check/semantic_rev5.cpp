#include "check/semantic_rev5.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "base/check_message.h"
#include "base/message_catalogue.h"
#include "base/string_table.h"
#include "base/value_scanners.h"
#include "check/keyword_catalogue.h"

namespace {

// The catalogue row of an entry in the revision 5 profile, or null.
const SCatalogueRow* RowOf(const CKeyEntry& entry) {
    return CatalogueRowOf(entry, ECheckProfile::Rev5);
}

// The block a written row opens or closes (Module, ExtUserPrmData), beside the
// rows of later revisions that name theirs.
EBlock Opens(const SCatalogueRow& row) {
    if (row.m_Opens != BLOCK_NONE) return row.m_Opens;
    const std::string_view keyword = row.m_pszKeyword;
    if (keyword == "Module") return BLOCK_MODULE;
    if (keyword == "EXTUSERPRMDATA") return BLOCK_EXT_USER_PRM_DATA;
    return BLOCK_NONE;
}

EBlock Closes(const SCatalogueRow& row) {
    if (row.m_Closes != BLOCK_NONE) return row.m_Closes;
    const std::string_view keyword = row.m_pszKeyword;
    if (keyword == "ENDMODULE") return BLOCK_MODULE;
    if (keyword == "ENDEXTUSERPRMDATA") return BLOCK_EXT_USER_PRM_DATA;
    return BLOCK_NONE;
}

struct SOpenBlock {
    EBlock m_Block;
    const SCatalogueRow* m_pRow;  // the opener's row
};

class CRev5Rules {
public:
    CRev5Rules(CTalunaContext& context, const CKeyDatabase& database, const void* doc)
        : m_Context(context), m_Database(database), m_pDoc(doc) {}

    void Run() {
        CollectModulesAndRevision();
        for (const CKeyEntry* entry : m_Database) {
            const SCatalogueRow* row = RowOf(*entry);
            if (row == nullptr) continue;
            m_nLine = entry->m_LongLine;
            Blocks(*entry, *row);
            if (row->IsRev5()) {
                Gate(*entry, *row);
                if (row->m_Check == ECheck::SLOT && entry->m_bSyntaxOk == 1) Slot(*entry);
            }
        }
        for (auto it = m_Open.rbegin(); it != m_Open.rend(); ++it)
            if (IsNewBlock(it->m_Block))
                Report(*it->m_pRow, IDS_BLOCK_NOT_CLOSED,
                       {KeywordCatalogue::BlockName(it->m_Block), KeywordCatalogue::BlockEndName(it->m_Block)});
    }

private:
    static bool IsNewBlock(EBlock block) { return block != BLOCK_MODULE && block != BLOCK_EXT_USER_PRM_DATA; }

    // Findings about rows whose revision is not firmly known are warnings.
    void Report(const SCatalogueRow& row, int id, std::initializer_list<CFormatArg> args) {
        const int kind = row.m_Firmness == EFirmness::Stated ? KindOf(id) : CheckMessageKind::Warning;
        m_Context.AddFinding(kind, m_nLine, id, args, m_pDoc);
    }
    void Report(int id, std::initializer_list<CFormatArg> args) {
        m_Context.AddFinding(KindOf(id), m_nLine, id, args, m_pDoc);
    }

    void CollectModulesAndRevision() {
        for (const CKeyEntry* entry : m_Database) {
            if (entry->m_Keyword == "Module_Reference" && entry->m_bSyntaxOk == 1)
                m_Modules.insert(NumberValue(entry->m_Ready[0]));
            if (m_nRevision < 0 && EqualsNoCase(entry->m_Keyword, "GSD_Revision") && entry->m_bSyntaxOk == 1)
                m_nRevision = ReadNumber(entry->m_Ready[0]);
        }
    }

    void Blocks(const CKeyEntry& entry, const SCatalogueRow& row) {
        if (const EBlock closes = Closes(row); closes != BLOCK_NONE) {
            size_t at = m_Open.size();
            while (at > 0 && m_Open[at - 1].m_Block != closes) --at;
            if (at == 0) {
                if (IsNewBlock(closes))
                    Report(row, IDS_BLOCK_END_WITHOUT_OPENER, {entry.m_Keyword, KeywordCatalogue::BlockName(closes)});
                return;
            }
            // Blocks still open inside the one that closes end with it.
            for (size_t i = m_Open.size(); i > at; --i)
                if (IsNewBlock(m_Open[i - 1].m_Block))
                    Report(*m_Open[i - 1].m_pRow, IDS_BLOCK_OPEN_AT_PARENT_END,
                           {KeywordCatalogue::BlockName(m_Open[i - 1].m_Block), KeywordCatalogue::BlockName(closes),
                            KeywordCatalogue::BlockEndName(m_Open[i - 1].m_Block)});
            m_Open.resize(at - 1);
            return;
        }
        if (row.m_Inside != BLOCK_NONE && (m_Open.empty() || m_Open.back().m_Block != row.m_Inside))
            Report(row, IDS_KEY_OUTSIDE_BLOCK, {entry.m_Keyword, KeywordCatalogue::BlockName(row.m_Inside)});
        if (const EBlock opens = Opens(row); opens != BLOCK_NONE) {
            // A block of the written rules does not nest: a second Module closes the first.
            if (!IsNewBlock(opens))
                while (!m_Open.empty() && !IsNewBlock(m_Open.back().m_Block) && m_Open.back().m_Block == opens)
                    m_Open.pop_back();
            m_Open.push_back({opens, &row});
        }
    }

    // A keyword of a later revision than the file declares, where that revision
    // is stated: rows inferred or open are never gated.
    void Gate(const CKeyEntry& entry, const SCatalogueRow& row) {
        if (row.m_Firmness != EFirmness::Stated || row.m_nRevision <= 0 || m_nRevision < 0) return;
        if (row.m_nRevision > m_nRevision)
            Report(IDS_KEYWORD_ABOVE_REVISION, {entry.m_Keyword, row.m_nRevision, m_nRevision});
    }

    // Slot(n) = "name" default allowed: listed references must be modules of the
    // file; the default should be one of the allowed and a range's numbers should
    // be modules, which no description demands, so those are warnings.
    void Slot(const CKeyEntry& entry) {
        const std::int64_t slot = NumberValue(entry.m_Ready[0]);
        const std::int64_t def = NumberValue(entry.m_Ready[2]);
        const std::string_view allowed = entry.m_Ready[3];
        std::vector<std::int64_t> listed;
        bool range = false;
        std::int64_t low = 0, high = -1;
        const size_t dash = allowed.find('-', 1);
        if (allowed.find(',') == std::string::npos && dash != std::string::npos) {
            range = true;
            low = NumberValue(allowed.substr(0, dash));
            high = NumberValue(allowed.substr(dash + 1));
        } else {
            size_t pos = 0;
            for (;;) {
                const size_t comma = allowed.find(',', pos);
                listed.push_back(
                    NumberValue(allowed.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos)));
                if (comma == std::string::npos) break;
                pos = comma + 1;
            }
        }
        const bool defaultAllowed =
            range ? def >= low && def <= high : std::find(listed.begin(), listed.end(), def) != listed.end();
        if (!defaultAllowed)
            Report(IDS_SLOT_DEFAULT_NOT_ALLOWED, {static_cast<long long>(slot), static_cast<long long>(def), allowed});
        if (!m_Modules.count(def))
            Report(IDS_SLOT_UNDEFINED_MODULE, {static_cast<long long>(slot), static_cast<long long>(def)});
        if (range) {
            // One finding for the first number of the range that no Module defines;
            // ranges are bounded so that a hostile range costs nothing.
            for (std::int64_t n = low; n <= high && n - low < 65536; ++n)
                if (!m_Modules.count(n)) {
                    Report(IDS_SLOT_RANGE_UNDEFINED_MODULE,
                           {static_cast<long long>(slot), static_cast<long long>(n), allowed});
                    break;
                }
        } else {
            for (std::int64_t n : listed)
                if (n != def && !m_Modules.count(n))
                    Report(IDS_SLOT_UNDEFINED_MODULE, {static_cast<long long>(slot), static_cast<long long>(n)});
        }
    }

    CTalunaContext& m_Context;
    const CKeyDatabase& m_Database;
    const void* m_pDoc;
    int m_nLine = 0;
    long m_nRevision = -1;
    std::set<std::int64_t> m_Modules;
    std::vector<SOpenBlock> m_Open;
};

}  // namespace

void RunRev5Rules(CTalunaContext& context, const CKeyDatabase& database, const void* doc) {
    CRev5Rules(context, database, doc).Run();
}
