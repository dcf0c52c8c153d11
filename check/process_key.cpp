#include "check/process_key.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/string_table.h"
#include "base/text_util.h"
#include "base/value_scanners.h"
#include "check/key_syntax_check.h"
#include "check/keyword_catalogue.h"
#include "check/semantic_state.h"

namespace {

constexpr size_t npos = std::string::npos;

// What a known keyword is to the catalogue (under each profile) and to the
// whole-file rules, found with one lookup instead of one per table.
struct SKnownKeyword {
    std::int16_t m_nClassicRow = -1;
    std::int16_t m_nRev5Row = -1;
    std::int16_t m_nRule = -1;
};

const SKnownKeyword* LookUpKnownKeyword(std::string_view keyword) {
    static const auto index = [] {
        CNoCaseIndex<SKnownKeyword> map;
        // Every keyword the tables know, answered by the tables themselves.
        const auto add = [&map](std::string_view name) {
            if (map.Find(name) != nullptr) return;
            const auto rowIndex = [](const SCatalogueRow* row) {
                return static_cast<std::int16_t>(row == nullptr ? -1 : KeywordCatalogue::IndexOf(*row));
            };
            map.Add(name, SKnownKeyword{rowIndex(KeywordCatalogue::Find(name, ECheckProfile::Classic)),
                                        rowIndex(KeywordCatalogue::Find(name, ECheckProfile::Rev5)),
                                        static_cast<std::int16_t>(semantic::FindKeyword(name))});
        };
        for (int i = 0; i < KeywordCatalogue::AllRowCount(); ++i) add(KeywordCatalogue::Row(i).m_pszKeyword);
        for (int k = 0; k < semantic::KW_COUNT; ++k) add(semantic::KeywordRow(k).m_pszName);
        return map;
    }();
    return index.Find(keyword);
}

// Lines of one block repeat a handful of keywords, spelt alike: the answers
// for the keywords met last are kept by their exact bytes, so that a repeated
// keyword is compared once instead of hashed and compared without case.
class CRecentKeywords {
public:
    const SKnownKeyword* Find(std::string_view keyword) {
        if (keyword.empty() || keyword.size() > MAX_BYTES) return LookUpKnownKeyword(keyword);
        SSlot& slot = m_Slots[SlotOf(keyword)];
        if (slot.m_nSize == keyword.size() && SameBytes(slot.m_Bytes, keyword)) return slot.m_pKnown;
        const SKnownKeyword* known = LookUpKnownKeyword(keyword);
        slot.m_nSize = static_cast<std::uint8_t>(keyword.size());
        std::memcpy(slot.m_Bytes, keyword.data(), keyword.size());
        slot.m_pKnown = known;
        return known;
    }

private:
    static constexpr size_t MAX_BYTES = 47;
    static constexpr size_t SLOTS = 64;
    struct SSlot {
        std::uint8_t m_nSize = 0;  // 0: empty
        char m_Bytes[MAX_BYTES] = {};
        const SKnownKeyword* m_pKnown = nullptr;
    };
    // Whether the `text.size()` bytes at `kept` are those of `text`; a few
    // loads that may overlap, instead of a call that compares byte runs.
    static bool SameBytes(const char* kept, std::string_view text) {
        const size_t size = text.size();
        const char* bytes = text.data();
        if (size >= 8) {
            std::uint64_t differ = Load<std::uint64_t>(kept + size - 8) ^ Load<std::uint64_t>(bytes + size - 8);
            for (size_t i = 0; i + 8 < size; i += 8)
                differ |= Load<std::uint64_t>(kept + i) ^ Load<std::uint64_t>(bytes + i);
            return differ == 0;
        }
        if (size >= 4)
            return ((Load<std::uint32_t>(kept) ^ Load<std::uint32_t>(bytes)) |
                    (Load<std::uint32_t>(kept + size - 4) ^ Load<std::uint32_t>(bytes + size - 4))) == 0;
        return kept[0] == bytes[0] && kept[size / 2] == bytes[size / 2] && kept[size - 1] == bytes[size - 1];
    }
    template <typename Word>
    static Word Load(const char* at) {
        Word word;
        std::memcpy(&word, at, sizeof word);
        return word;
    }
    static size_t SlotOf(std::string_view keyword) {
        const auto first = static_cast<unsigned char>(keyword.front());
        const auto last = static_cast<unsigned char>(keyword.back());
        return (keyword.size() * 5 + first * 3 + last) % SLOTS;
    }
    SSlot m_Slots[SLOTS];
};

const SKnownKeyword* FindKnownKeyword(std::string_view keyword) {
    // One per thread: the command-line checker checks files on several.
    thread_local CRecentKeywords recent;
    return recent.Find(keyword);
}

static_assert(semantic::KW_COUNT <= CKeyEntry::MAX_RESOLVED_RULE);

// Looks the entry's keyword up once: its catalogue row under the context's
// profile, its keyword of the whole-file rules and its user-key registration.
void ResolveKeyword(CTalunaContext& context, CKeyEntry& entry) {
    CKeyEntry::SResolution& resolved = entry.m_Resolved;
    const SKnownKeyword* known = FindKnownKeyword(entry.m_Keyword);
    resolved.m_nRow = known == nullptr                           ? -1
                      : context.m_Profile == ECheckProfile::Rev5 ? known->m_nRev5Row
                                                                 : known->m_nClassicRow;
    resolved.m_nRule = known == nullptr ? -1 : known->m_nRule;
    resolved.m_bUserKey = context.IsUserKey(entry.m_Keyword);
    resolved.SetProfile(context.m_Profile);
    resolved.m_bValid = true;
}

struct SGroupNode {
    const char* text;
    const char* helpPage;
};

// Texts of the tree's root and group items, handled like keywords.
constexpr SGroupNode kGroupNodes[] = {
    {"Orvan GSD-File", "glossary_keywords.htm"},    {"General Keys", "glossary_keys_general.htm"},
    {"Master Keys", "glossary_keys_master.htm"},    {"Slave Keys", "glossary_keys_slave.htm"},
    {"User-defined Keys", "glossary_keywords.htm"}, {"no database", "glossary_keywords.htm"},
};

const SGroupNode* FindGroupNode(std::string_view keyword) {
    if (keyword.find(' ') == std::string_view::npos) return nullptr;  // every node text holds a blank
    for (const SGroupNode& node : kGroupNodes)
        if (EqualsNoCase(keyword, node.text)) return &node;
    return nullptr;
}

// Rows are named as the catalogue spells them. Most tests fail on the first
// byte, which is compared before the call.
bool Is(const SCatalogueRow& row, const char* keyword) {
    return row.m_pszKeyword[0] == keyword[0] && std::strcmp(row.m_pszKeyword, keyword) == 0;
}

bool IsDataTypeRow(const SCatalogueRow& row) {
    return row.m_nForm == 9;
}
bool IsBitRow(const SCatalogueRow& row) {
    return row.m_nForm == 8;
}

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

void ShowHelp(CTalunaContext& context, const std::string& link) {
    if (context.m_pHelp == nullptr) return;
    const size_t hash = link.find('#');
    if (hash == npos)
        context.m_pHelp->ShowHelp(link, "");
    else
        context.m_pHelp->ShowHelp(link.substr(0, hash), link.substr(hash + 1));
}

// R0 = value up to `separator`, the rest (separator replaced, trimmed) = R1.
void SplitAt(CKeyEntry& entry, char separator, char blanked) {
    const std::string_view value = entry.m_Value;
    const size_t pos = value.find(separator);
    entry.SetItem(0, value.substr(0, pos));
    // A separator that would be blanked is trimmed away with the blank, so it
    // is dropped with the prefix instead of being replaced in a copy.
    const size_t rest = pos == npos ? 0 : separator == blanked ? pos + 1 : pos;
    if (value.find(blanked, rest) == npos) {
        // Nearly always nothing is left to blank: the value is narrowed to the rest.
        entry.NarrowValue(TrimmedView(value.substr(rest)));
    } else {
        entry.DropValuePrefix(rest);
        entry.ReplaceInValue(blanked, ' ');
        entry.TrimValue();
    }
    entry.SetItem(1, entry.m_Value);
}

// The blank-separated words go to R0, R1, ...; the value ends as the last word.
void SplitWords(CKeyEntry& entry) {
    entry.ReplaceInValue(MARKER_CHAR, ' ');
    const std::string_view value = entry.m_Value;
    size_t start = 0;
    for (size_t item = 0;; ++item) {
        const size_t blank = value.find(' ', start);
        std::string_view word = value.substr(start, blank == npos ? npos : blank - start);
        while (!word.empty() && IsSpaceByte(word.back())) word.remove_suffix(1);
        entry.SetItem(item, word);
        if (item >= 3) entry.AddItem();
        if (blank == npos) break;
        start = blank;
        while (start < value.size() && IsSpaceByte(value[start])) ++start;
    }
    entry.DropValuePrefix(std::min(start, value.size()));
}

// A Slot line: R0 the slot number, R1 the name, R2 the default module and R3
// the allowed modules (a list or a range, without the blanks around commas).
void SplitSlot(CKeyEntry& entry) {
    const std::string_view text = entry.m_Value;
    const size_t first = text.find(MARKER_CHAR);
    entry.SetItem(0, TrimmedView(text.substr(0, first)));
    std::string name, tail;
    if (first != npos) {
        const size_t second = text.find(MARKER_CHAR, first + 1);
        name = Trim(text.substr(first + 1, second == npos ? npos : second - first - 1));
        if (second != npos) tail = Trim(text.substr(second + 1));
    }
    entry.SetItem(1, name);
    const size_t blank = tail.find(' ');
    entry.SetItem(2, std::string_view(tail).substr(0, blank));
    std::string allowed;
    if (blank != npos)
        for (char c : tail.substr(blank + 1))
            if (!IsSpaceByte(c)) allowed += c;
    entry.SetItem(3, allowed);
    if (first != npos) entry.DropValuePrefix(first);
    entry.ReplaceInValue(MARKER_CHAR, ' ');
    entry.TrimValue();
}

// How many items a split of a value sets (a word split sets at least four).
size_t ItemsOfSplit(ESplit split) {
    switch (split) {
        case ESplit::None: return 0;
        case ESplit::V:
        case ESplit::Q:
        case ESplit::T: return 1;
        case ESplit::X:
        case ESplit::W1:
        case ESplit::H: return 2;
        case ESplit::W:
        case ESplit::SLOT: return 4;
    }
    return 0;
}

void Split(CKeyEntry& entry, ESplit split, std::string_view value) {
    switch (split) {
        case ESplit::V: entry.SetItem(0, value); break;
        case ESplit::Q:
            entry.ReplaceInValue(MARKER_CHAR, ' ');
            entry.TrimValue();
            entry.SetItem(0, entry.m_Value);
            break;
        case ESplit::T:
            entry.TrimValue();
            entry.SetItem(0, entry.m_Value);
            break;
        case ESplit::X: SplitAt(entry, MARKER_CHAR, MARKER_CHAR); break;
        case ESplit::W1: SplitAt(entry, ' ', MARKER_CHAR); break;
        case ESplit::H: SplitAt(entry, '-', '-'); break;
        case ESplit::W: SplitWords(entry); break;
        case ESplit::SLOT: SplitSlot(entry); break;
        case ESplit::None: break;
    }
}

// What a row is to the block structure, by its keyword; asked for every
// entry classified, so each row's answer is worked out once.
enum class ERowRole : unsigned char {
    None,
    ModuleReference,
    Opener,  // Module, UNIT_DIAG_AREA, EXTUSERPRMDATA or PRMTEXT
    EndModule,
    EndUnitDiagArea,
    EndExtUserPrmData,
    EndPrmText,
};

ERowRole RoleOf(const SCatalogueRow& row) {
    static const std::vector<ERowRole> roles = [] {
        std::vector<ERowRole> table(static_cast<size_t>(KeywordCatalogue::AllRowCount()));
        for (size_t i = 0; i < table.size(); ++i) {
            const SCatalogueRow& r = KeywordCatalogue::Row(static_cast<int>(i));
            table[i] = Is(r, "Module_Reference") ? ERowRole::ModuleReference
                       : Is(r, "Module") || Is(r, "UNIT_DIAG_AREA") || Is(r, "EXTUSERPRMDATA") || Is(r, "PRMTEXT")
                           ? ERowRole::Opener
                       : Is(r, "ENDMODULE")          ? ERowRole::EndModule
                       : Is(r, "UNIT_DIAG_AREA_END") ? ERowRole::EndUnitDiagArea
                       : Is(r, "ENDEXTUSERPRMDATA")  ? ERowRole::EndExtUserPrmData
                       : Is(r, "ENDPRMTEXT")         ? ERowRole::EndPrmText
                                                     : ERowRole::None;
        }
        return table;
    }();
    return roles[static_cast<size_t>(KeywordCatalogue::IndexOf(row))];
}

// The opener that a block end closes, or null for other rows.
const char* OpenerOfEnd(ERowRole role) {
    switch (role) {
        case ERowRole::EndModule: return "Module";
        case ERowRole::EndUnitDiagArea: return "Unit_Diag_Area";
        case ERowRole::EndExtUserPrmData: return "ExtUserPrmData";
        case ERowRole::EndPrmText: return "PrmText";
        default: return nullptr;
    }
}

// The block an open-block entry opens, in the revision 5 profile.
EBlock BlockOf(const CKeyEntry* opener) {
    if (opener == nullptr) return BLOCK_NONE;
    const SCatalogueRow* row = CatalogueRowOf(*opener, ECheckProfile::Rev5);
    if (row == nullptr) return BLOCK_NONE;
    if (row->m_Opens != BLOCK_NONE) return row->m_Opens;
    if (Is(*row, "Module")) return BLOCK_MODULE;
    if (Is(*row, "EXTUSERPRMDATA")) return BLOCK_EXT_USER_PRM_DATA;
    return BLOCK_NONE;
}

// Blocks nest in the revision 5 profile: an opener of a later revision opens a
// block inside the open one, and a closer closes its own block together with
// the blocks left open inside it. True when the row was handled here.
bool ClassifyBlockRev5(CTalunaContext& context, CKeyEntry& entry, const SCatalogueRow& row, ERowRole role) {
    if (row.m_Opens != BLOCK_NONE) {
        context.m_pOpenBlock = &entry;
        return true;
    }
    const EBlock closes = row.m_Closes != BLOCK_NONE            ? row.m_Closes
                          : role == ERowRole::EndModule         ? BLOCK_MODULE
                          : role == ERowRole::EndExtUserPrmData ? BLOCK_EXT_USER_PRM_DATA
                                                                : BLOCK_NONE;
    if (closes == BLOCK_NONE) return false;
    for (CKeyEntry* open = context.m_pOpenBlock; open != nullptr; open = open->m_hParent) {
        if (BlockOf(open) != closes) continue;
        context.m_pOpenBlock = open->m_hParent;
        if (closes == BLOCK_MODULE) context.m_bInModule = 0;
        break;
    }
    return row.m_Closes != BLOCK_NONE;
}

void ClassifyRow(CTalunaContext& context, CKeyEntry& entry, const SCatalogueRow& row, std::string_view value) {
    const ERowRole role = RoleOf(row);
    if (role == ERowRole::ModuleReference) return;
    if (row.m_nType != TYPE_UNCHANGED) entry.m_TypeFlag = row.m_nType;
    if (row.m_nGroup == GROUP_MODULE_OR_SLAVE)
        entry.m_TreeGroup = context.m_bInModule == 1 ? PARENT_MODULE : PARENT_SLAVE;
    else if (row.m_nGroup != GROUP_UNCHANGED)
        entry.m_TreeGroup = row.m_nGroup;
    entry.m_hParent = context.m_pOpenBlock;
    Split(entry, row.m_Split, value);

    if (context.m_Profile == ECheckProfile::Rev5 && ClassifyBlockRev5(context, entry, row, role)) return;
    if (role == ERowRole::Opener) {
        context.m_bInModule = 1;
        entry.m_ModuleFlag = TYPE_MODULE_BEGIN;
        if (context.m_pOpenBlock == nullptr) context.m_pOpenBlock = &entry;
    } else if (const char* opener = OpenerOfEnd(role)) {
        context.m_bInModule = 0;
        if (context.m_pOpenBlock != nullptr && EqualsNoCase(context.m_pOpenBlock->m_Keyword, opener))
            context.m_pOpenBlock = context.m_pOpenBlock->m_hParent;
    }
}

// Reads the user's registration of the current entry's keyword into the entry.
void ApplyUserKey(CTalunaContext& context, CKeyEntry& entry) {
    if (!entry.m_Resolved.m_bUserKey) return;
    std::string registration = context.m_pProfile->GetString("UserKeys", ToUpper(entry.m_Keyword), "0;0;32");
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t semi = registration.find(';', start);
        fields.push_back(registration.substr(start, semi == npos ? npos : semi - start));
        if (semi == npos) break;
        start = semi + 1;
    }
    if (fields.size() > 0) {
        switch (std::atoi(fields[0].c_str())) {
            case 0: entry.m_TypeFlag = TYPE_SIMPLE_STRING; break;
            case 1: entry.m_TypeFlag = TYPE_SIMPLE_UINT; break;
            case 2: entry.m_TypeFlag = TYPE_SIMPLE_BOOL; break;
            default: entry.m_TypeFlag = TYPE_OCTET_STRING; break;
        }
    }
    if (fields.size() > 1) {
        switch (std::atoi(fields[1].c_str())) {
            case 0: entry.m_TreeGroup = PARENT_GENERAL; break;
            case 1: entry.m_TreeGroup = PARENT_SLAVE; break;
            case 2: entry.m_TreeGroup = PARENT_MASTER; break;
            default: entry.m_TreeGroup = PARENT_MODULE; break;
        }
    }
    if (fields.size() > 2) entry.SetRangeLen(fields[2]);
}

bool IsModuleReferenceText(std::string_view keyword) {
    if (keyword.empty() || !IsDigitByte(keyword[0])) return false;
    for (char c : keyword) {
        if (!IsAlphaByte(c)) continue;
        if (c != 'x' && c != 'X' && !((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

void InformationRow(CTalunaContext& context, const CKeyEntry* entry, const SCatalogueRow& row,
                    std::string_view keyword) {
    CKeyFormRecord& form = context.m_Form;
    form.m_nFormMode = row.m_nForm;
    form.m_HelpText = row.m_pszHelpText != nullptr ? std::string_view(row.m_pszHelpText) : LoadString(row.m_nHelp);
    if (entry == nullptr) return;
    const auto& r = entry->m_Ready;
    switch (row.m_nForm) {
        case 1:
        case 2: form.m_Values[0] = r[0]; break;
        case 3:
            for (int i = 0; i < 3; ++i) form.m_Labels[i] = LoadString(row.m_nLabels[i]);
            form.m_Values[0] = r[0];
            break;
        case 4:
            for (int i = 0; i < 2; ++i) form.m_Labels[i] = LoadString(row.m_nLabels[i]);
            form.m_Values[0] = r[0];
            break;
        case 5:
            form.m_Labels[0] = LoadString(39);
            form.m_Values[0] = r[0];
            break;
        case 6:
            form.m_Values[0] = r[0];
            form.m_Values[1] = r[1];
            form.m_Values[2] = "Config-String:";
            break;
        case 8:
            form.m_Labels[0] = LoadString(65090);
            form.m_Labels[1] = LoadString(65091);
            form.m_Labels[2] = LoadString(65092);
            form.m_Labels[3] = LoadString(65096);
            for (int i = 0; i < 3; ++i) form.m_Values[i] = r[i];
            form.m_Values[3] = keyword;
            break;
        case 9:
            form.m_Labels[0] = LoadString(65091);
            form.m_Labels[1] = LoadString(65092);
            form.m_Labels[3] = LoadString(65096);
            form.m_Values[0] = r[0];
            form.m_Values[1] = r[1];
            form.m_Values[3] = keyword;
            break;
        case 10:
            if (Is(row, "UNIT_DIAG_AREA")) {
                form.m_Labels[0] = "First_Bit";
                form.m_Labels[1] = "Last_Bit";
            } else {
                form.m_Labels[0] = "Reference_Offset";
                form.m_Labels[1] = "Reference_Number";
            }
            form.m_Values[0] = r[0];
            form.m_Values[1] = r[1];
            break;
        case 11:
            form.m_Labels[0] = row.IsRev5()                         ? (row.m_Check == ECheck::PRMCONST ? "Offset"
                                                                       : row.m_Check == ECheck::SLOT   ? "Slot"
                                                                                                       : "Index")
                               : Is(row, "Unit_Diag_Bit")           ? "Bit"
                               : Is(row, "Channel_Diag")            ? "Error"
                               : Is(row, "VALUE")                   ? "Value"
                               : Is(row, "EXT_USER_PRM_DATA_CONST") ? "Offset"
                               : Is(row, "EXTUSERPRMDATA")          ? "Reference"
                                                                    : "Prm_Data_Type";
            form.m_Values[0] = r[0];
            form.m_Values[1] = r[1];
            break;
        default: break;
    }
}

void ComposeRow(CTalunaContext& context, CKeyEntry* entry, const SCatalogueRow& row) {
    CKeyFormRecord& form = context.m_Form;
    form.m_nFormMode = row.m_nForm;
    if (entry == nullptr) return;
    const auto& v = form.m_Values;
    const int f = row.m_nForm;
    const int taken = f >= 1 && f <= 5 ? 1 : f == 6 || f == 10 || f == 11 || f == 9 ? 2 : f == 8 ? 3 : 0;
    for (int i = 0; i < taken; ++i) entry->SetItem(static_cast<size_t>(i), v[static_cast<size_t>(i)]);
    if (f == 7) return;
    const std::string r[3] = {std::string(entry->m_Ready[0]), std::string(entry->m_Ready[1]),
                              std::string(entry->m_Ready[2])};
    std::string value(entry->m_Value);
    if ((f >= 2 && f <= 5) || Is(row, "User_Prm_Data") || Is(row, "Slave_Family"))
        value = "=" + r[0];
    else if (f == 1)
        value = "=" + Quoted(r[0]);
    else if (Is(row, "Module"))
        value = "=" + Quoted(r[0]) + " " + r[1];
    else if (Is(row, "Unit_Diag_Bit") || Is(row, "Channel_Diag") || Is(row, "VALUE") || Is(row, "TEXT"))
        value = "(" + r[0] + ")=" + Quoted(r[1]);
    else if (Is(row, "EXT_USER_PRM_DATA_REF") || Is(row, "EXT_USER_PRM_DATA_CONST"))
        value = "(" + r[0] + ")=" + r[1];
    else if (Is(row, "EXTUSERPRMDATA"))
        value = "=" + r[0] + " " + Quoted(r[1]);
    else if (Is(row, "UNIT_DIAG_AREA"))
        value = "=" + r[0] + "-" + r[1];
    else if (row.m_Check == ECheck::XTEXT32 || row.m_Check == ECheck::XTEXT256)
        value = "(" + r[0] + ")=" + Quoted(r[1]);
    else if (row.IsRev5() && (row.m_Check == ECheck::PRMREF || row.m_Check == ECheck::PRMCONST))
        value = "(" + r[0] + ")=" + r[1];
    else if (row.m_Check == ECheck::XAREA)
        value = "=" + r[0] + "-" + r[1];
    else if (IsDataTypeRow(row)) {
        value = " " + r[0] + " " + r[1];
        entry->SetKeyword(v[3]);
        entry->m_Resolved.m_bValid = false;
    } else if (IsBitRow(row)) {
        value = "(" + r[0] + ") " + r[1] + " " + r[2];
        entry->SetKeyword(v[3]);
        entry->m_Resolved.m_bValid = false;
    }
    entry->SetValue(value);
}

void GenericInformation(CTalunaContext& context, const CKeyEntry& entry) {
    CKeyFormRecord& form = context.m_Form;
    form.m_Labels = {};
    form.m_Values = {};
    switch (entry.m_TypeFlag) {
        case TYPE_SIMPLE_STRING: form.m_nFormMode = 1; break;
        case TYPE_SIMPLE_UINT: form.m_nFormMode = 2; break;
        case TYPE_SIMPLE_BOOL:
            form.m_nFormMode = 5;
            form.m_Labels[0] = LoadString(39);
            break;
        default: form.m_nFormMode = 1; break;
    }
    form.m_Values[0] = entry.m_Ready[0];
}

void GenericCompose(CTalunaContext& context, CKeyEntry& entry) {
    CKeyFormRecord& form = context.m_Form;
    const std::string& first = form.m_Values[0];
    entry.SetItem(0, first);
    switch (entry.m_TypeFlag) {
        case TYPE_SIMPLE_STRING:
            entry.SetValue("=" + Quoted(first));
            form.m_nFormMode = 1;
            break;
        case TYPE_SIMPLE_UINT:
            entry.SetValue("=" + first);
            form.m_nFormMode = 2;
            break;
        case TYPE_SIMPLE_BOOL:
            entry.SetValue("=" + first);
            form.m_Labels[0] = LoadString(39);
            form.m_nFormMode = 5;
            break;
        default:
            entry.SetValue("=" + first);
            form.m_nFormMode = 1;
            break;
    }
}

}  // namespace

void ProcessKey(CTalunaContext& context, std::string_view keyword, int mode, std::string_view value) {
    CKeyEntry* entry = context.m_pCurEntry;
    // Classifying and checking an entry by its own keyword use what the entry's
    // build resolved the keyword to.
    const bool ownKeyword =
        entry != nullptr && keyword.data() == entry->m_Keyword.data() && keyword.size() == entry->m_Keyword.size();
    if (mode == MODE_CHECK && entry != nullptr) CheckKeyLines(context, *entry);
    static const std::string& userKeyHelp = LoadString(IDS_USER_KEY_HELP);  // the table is built once
    context.m_Form.m_HelpText = userKeyHelp;
    if (mode == MODE_INFORMATION && entry != nullptr) GenericInformation(context, *entry);
    if (mode == MODE_COMPOSE && entry != nullptr) GenericCompose(context, *entry);
    if (mode == MODE_CHECK && entry != nullptr) {
        // Registrations may change between a build and a single key's check;
        // only a check run that remembers them may take the entry's answer.
        const bool userKey = context.RemembersUserKeys() && entry->m_Resolved.m_bValid
                                 ? entry->m_Resolved.m_bUserKey
                                 : context.IsUserKey(entry->m_Keyword);
        if (userKey) {
            CheckUserKey(context, *entry);
            return;
        }
    }
    if (mode == MODE_CLASSIFY && entry != nullptr) {
        ResolveKeyword(context, *entry);
        ApplyUserKey(context, *entry);
        // A known keyword's value is split into as many items as its row says.
        const SCatalogueRow* known = value.empty() ? nullptr : CatalogueRowOf(*entry, context.m_Profile);
        if (known != nullptr) entry->ReserveItems(ItemsOfSplit(known->m_Split));
        // The split of the row sets the first item itself; any other value's
        // first item is the value up to a marker (Module_Reference, which
        // ClassifyRow leaves unsplit, has no split). An entry without a value
        // keeps its items empty without storing them.
        if (known == nullptr || known->m_Split == ESplit::None) {
            const std::string_view first = value.substr(0, value.find(MARKER_CHAR));
            if (!first.empty() || entry->m_Ready.IsAllocated()) entry->SetItem(0, first);
        }
    }

    const SCatalogueRow* row = ownKeyword && (mode == MODE_CLASSIFY || mode == MODE_CHECK)
                                   ? CatalogueRowOf(*entry, context.m_Profile)
                                   : KeywordCatalogue::Find(keyword, context.m_Profile);
    // Every group node's text holds a blank and no catalogue keyword does, so
    // only a keyword the catalogue does not know can be one.
    if (const SGroupNode* node = row == nullptr ? FindGroupNode(keyword) : nullptr) {
        if (mode == MODE_INFORMATION) {
            context.m_Form.m_nFormMode = 0;
            context.m_Form.m_HelpText = LoadString(IDS_PRODUCT_INFO);
        } else if (mode == MODE_COMPOSE) {
            context.m_Form.m_nFormMode = 0;
        } else if (mode == MODE_HELP) {
            ShowHelp(context, node->helpPage);
        }
        return;
    }

    if (row != nullptr) {
        switch (mode) {
            case MODE_INFORMATION: InformationRow(context, entry, *row, keyword); break;
            case MODE_CLASSIFY:
                if (entry != nullptr) ClassifyRow(context, *entry, *row, value);
                break;
            case MODE_COMPOSE: ComposeRow(context, entry, *row); break;
            case MODE_CHECK:
                if (entry != nullptr) CheckCatalogueRule(context, *entry, *row);
                break;
            case MODE_HELP: ShowHelp(context, row->HelpLink()); break;
            default: break;
        }
        return;
    }

    if (mode == MODE_CLASSIFY && entry != nullptr && context.m_bInModule == 1 && IsModuleReferenceText(keyword)) {
        entry->SetItem(0, keyword);
        entry->SetKeyword("Module_Reference");
        ResolveKeyword(context, *entry);
        entry->m_TypeFlag = TYPE_SIMPLE_UINT;
        entry->m_TreeGroup = PARENT_MODULE;
        entry->m_hParent = context.m_pOpenBlock;
    } else if (mode == MODE_HELP && !keyword.empty()) {
        ShowHelp(context, "glossary_keywords.htm");
    } else if (mode == MODE_CHECK && entry != nullptr && !keyword.empty()) {
        ReportUnknownKey(context, *entry);
    }
}

void ClassifyEntry(CTalunaContext& context, CKeyEntry& entry) {
    context.m_pCurEntry = &entry;
    ProcessKey(context, entry.m_Keyword, MODE_CLASSIFY, entry.m_Value);
}

namespace {
class CCatalogueClassifier final : public IKeyClassifier {
public:
    void Classify(CTalunaContext& context, CKeyEntry& entry) const override { ClassifyEntry(context, entry); }
};
}  // namespace

const IKeyClassifier& KeyClassifier() {
    static const CCatalogueClassifier classifier;
    return classifier;
}
