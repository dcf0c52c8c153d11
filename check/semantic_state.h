#pragma once
// The state of one semantic check run and its rules: the keyword table's
// counters, the recorded values, the sets of used numbers and the records of
// the numbered parameter and text definitions. Private to the semantic check.

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/string_table.h"
#include "check/semantic_check.h"

namespace semantic {

constexpr int RATE_COUNT = 11;

// Keywords the semantic check recognises; each has its own counter.
enum EKeyword : int {
    KW_GSD_REVISION,
    KW_VENDOR_NAME,
    KW_MODEL_NAME,
    KW_REVISION,
    KW_REVISION_NUMBER,
    KW_IDENT_NUMBER,
    KW_PROTOCOL_IDENT,
    KW_STATION_TYPE,
    KW_FMS_SUPP,
    KW_SOFTWARE_RELEASE,
    KW_HARDWARE_RELEASE,
    KW_SUPP_FIRST,
    KW_MAXTSDR_FIRST = KW_SUPP_FIRST + RATE_COUNT,
    KW_REDUNDANCY = KW_MAXTSDR_FIRST + RATE_COUNT,
    KW_REPEATER_CTRL_SIG,
    KW_24V_PINS,
    KW_IMPLEMENTATION_TYPE,
    KW_BITMAP_DEVICE,
    KW_BITMAP_DIAG,
    KW_BITMAP_SF,
    KW_FREEZE_MODE_SUPP,
    KW_SYNC_MODE_SUPP,
    KW_AUTO_BAUD_SUPP,
    KW_SET_SLAVE_ADD_SUPP,
    KW_MIN_SLAVE_INTERVALL,
    KW_USER_PRM_DATA_LEN,
    KW_USER_PRM_DATA,
    KW_MODULAR_STATION,
    KW_MAX_MODULE,
    KW_MAX_INPUT_LEN,
    KW_MAX_OUTPUT_LEN,
    KW_MAX_DATA_LEN,
    KW_UNIT_DIAG_BIT,
    KW_EXT_MODULE_PRM_DATA_LEN,
    KW_CHANNEL_DIAG,
    KW_FAIL_SAFE,
    KW_MODUL_OFFSET,
    KW_MAX_DIAG_DATA_LEN,
    KW_SLAVE_FAMILY,
    KW_MAX_USER_PRM_DATA_LEN,
    KW_MODULE,
    KW_ENDMODULE,
    KW_DOWNLOAD_SUPP,
    KW_UPLOAD_SUPP,
    KW_ACT_PARA_BRCT_SUPP,
    KW_ACT_PARAM_SUPP,
    KW_MAX_MPS_LENGTH,
    KW_MAX_LSDU_MM,
    KW_MAX_LSDU_MS,
    KW_MIN_POLL_TIMEOUT,
    KW_TRDY_FIRST,
    KW_TQUI_FIRST = KW_TRDY_FIRST + RATE_COUNT,
    KW_TSET_FIRST = KW_TQUI_FIRST + RATE_COUNT,
    KW_TSDI_FIRST = KW_TSET_FIRST + RATE_COUNT,
    KW_LAS_LEN = KW_TSDI_FIRST + RATE_COUNT,
    KW_MAX_SLAVES_SUPP,
    KW_MAX_MASTER_INPUT_LEN,
    KW_MAX_MASTER_OUTPUT_LEN,
    KW_MAX_MASTER_DATA_LEN,
    KW_UNIT_DIAG_AREA,
    KW_UNIT_DIAG_AREA_END,
    KW_VALUE,
    KW_EXT_USER_PRM_DATA_REF,
    KW_EXT_USER_PRM_DATA_CONST,
    KW_EXTUSERPRMDATA,
    KW_ENDEXTUSERPRMDATA,
    KW_PRM_TEXT_REF,
    KW_PRMTEXT,
    KW_ENDPRMTEXT,
    KW_TEXT,
    KW_UNSIGNED32,
    KW_UNSIGNED16,
    KW_UNSIGNED8,
    KW_SIGNED32,
    KW_SIGNED16,
    KW_SIGNED8,
    KW_BIT,
    KW_BITAREA,
    KW_MODULE_REFERENCE,
    KW_COUNT
};

// Where a keyword may stand.
enum class EPlace { TopLevel, Module, ExtUserPrmData, PrmText, UnitDiagArea, TopLevelOrModule };
// How occurrences are counted and accepted.
enum class ECount { First, FirstAccepted, FirstInModule, Each, DataType };

// Evaluate-pass station and revision rules of a keyword.
enum EEvaluateFlag : unsigned {
    EVAL_REV0 = 1,     // revision-1 keyword (64501)
    EVAL_SLAVE = 2,    // slave keyword (64502)
    EVAL_MASTER = 4,   // master keyword (64503)
    EVAL_MODULAR = 8,  // modular slave keyword (64504)
};

struct SKeywordRow {
    const char* m_pszName;
    EPlace m_Place;
    ECount m_Count;
    unsigned m_nFlags;
};

const SKeywordRow& KeywordRow(int keyword);
// The keyword of an entry's text, or -1 when the check does not know it.
int FindKeyword(std::string_view keyword);

// The first record of each number. Numbers are small in practice (they name
// blocks of one file): those below TABLE_SIZE are found by index, without
// hashing; others lie in a map.
template <typename Record>
class CRecordsByNumber {
public:
    Record* Find(std::int32_t number) const {
        if (IsSmall(number))
            return static_cast<size_t>(number) < m_Table.size() ? m_Table[static_cast<size_t>(number)] : nullptr;
        const auto found = m_Others.find(number);
        return found == m_Others.end() ? nullptr : found->second;
    }
    // A number that has a record keeps it.
    void Add(std::int32_t number, Record* record) {
        if (!IsSmall(number)) {
            m_Others.emplace(number, record);
            return;
        }
        const auto index = static_cast<size_t>(number);
        if (index >= m_Table.size()) m_Table.resize(index + 1);
        if (m_Table[index] == nullptr) m_Table[index] = record;
    }

private:
    static constexpr std::int32_t TABLE_SIZE = 4096;
    static bool IsSmall(std::int32_t number) { return number >= 0 && number < TABLE_SIZE; }
    std::vector<Record*> m_Table;
    std::unordered_map<std::int32_t, Record*> m_Others;
};

struct CExtUserPrmDataRecord {
    std::int32_t m_nReference = 0;
    int m_bReferenced = 0;
    int m_bDataType = 0;
    std::uint32_t m_nSize = 0;
    std::uint8_t m_nBitMask = 255;
};

// A set of numbers for the rules that find a number given twice. Numbers
// below SMALL_LIMIT (every one that passed the syntax check) are bits of a
// table that grows to the largest of them, so that adding one allocates
// nothing once the table is there; others lie in a tree.
class CNumberSet {
public:
    static constexpr std::uint32_t SMALL_LIMIT = 65536;
    // False when the number was there already.
    bool Insert(std::uint32_t value) {
        if (value >= SMALL_LIMIT) return m_Large.insert(value).second;
        const size_t word = value / 64;
        if (word >= m_Words.size()) m_Words.resize(word + 1);
        m_nUsedWords = std::max(m_nUsedWords, word + 1);
        const std::uint64_t bit = std::uint64_t{1} << (value % 64);
        if ((m_Words[word] & bit) != 0) return false;
        m_Words[word] |= bit;
        return true;
    }
    // Keeps the table's room for the next numbers, and clears only the part
    // of it that was used.
    void clear() {
        std::fill_n(m_Words.begin(), m_nUsedWords, 0);
        m_nUsedWords = 0;
        m_Large.clear();
    }

private:
    std::vector<std::uint64_t> m_Words;
    size_t m_nUsedWords = 0;  // words that may hold a bit
    std::set<std::uint32_t> m_Large;
};

// The values of one PrmText's Text lines: a few in place (nearly every PrmText
// has only a few), the rest in a set made when they outgrow that room.
class CTextValueSet {
public:
    // False when the value was there already.
    bool Insert(std::uint32_t value) {
        const auto held = m_Few.begin() + m_nFew;
        if (std::find(m_Few.begin(), held, value) != held) return false;
        if (m_nFew < m_Few.size()) {
            m_Few[m_nFew++] = value;
            return true;
        }
        if (m_pMore == nullptr) m_pMore = std::make_unique<CNumberSet>();
        return m_pMore->Insert(value);
    }

private:
    std::array<std::uint32_t, 4> m_Few{};
    std::uint32_t m_nFew = 0;
    std::unique_ptr<CNumberSet> m_pMore;
};

struct CPrmTextRecord {
    std::int32_t m_nReference = 0;
    int m_bReferenced = 0;
    CTextValueSet m_TextValues;
};

// Occupied bytes of the user parameter data, kept as runs of consecutive
// offsets taken by one constant or reference. Each byte reads as a packed
// entry: its offset in bits 0-15, the reference's bit mask in bits 16-23 and
// 0xFF in bits 24-31 for a reference.
//
// The runs lie in one sorted array, so that freeing and taking a range
// allocate nothing. They are few: a run starts at the offset of a constant or
// a reference (a byte), or right after a range that was freed inside a longer
// run.
class COffsetSet {
public:
    COffsetSet() = default;
    COffsetSet(const COffsetSet&) = delete;
    COffsetSet& operator=(const COffsetSet&) = delete;
    // Frees first..last (a range past the largest offset goes on at 0);
    // returns how many bytes were taken there, and the entry of the highest
    // in `lastRemoved`.
    size_t Remove(std::uint32_t first, std::uint32_t last, std::uint32_t& lastRemoved);
    // Takes first..last, which Remove freed, for a constant or a reference.
    void Take(std::uint32_t first, std::uint32_t last, std::uint32_t mask, bool reference);
    void clear() {
        m_Runs.clear();
        m_nHint = NO_HINT;
    }

private:
    struct SRun {
        std::uint32_t m_nFirst;
        std::uint32_t m_nLast;
        std::uint32_t m_nMask;
        bool m_bReference;
    };
    static constexpr size_t NO_HINT = SIZE_MAX;
    size_t RemoveInOrder(std::uint32_t first, std::uint32_t last, std::uint32_t& lastRemoved);
    // Adds a run that overlaps none, unless one starts at the same offset.
    void Add(const SRun& run);
    // Sorted by first offset; runs do not overlap, so their last offsets are
    // sorted too.
    std::vector<SRun> m_Runs;
    // Where the last Remove left its range among the runs, for the Take after it.
    size_t m_nHint = NO_HINT;
};

class CSemanticState {
public:
    CSemanticState(CTalunaContext& context, const void* doc);

    void CheckEntry(CKeyEntry& entry, SemanticPass pass);

private:
    // Driver steps.
    bool PlaceRules(const CKeyEntry& entry, const SKeywordRow& row, int keyword);
    void Collect(CKeyEntry& entry, int keyword);
    void Evaluate(const CKeyEntry& entry, int keyword);
    void Final();

    // Presence, uniqueness, revision and place rules.
    bool MultipleDefinition(int keyword, int messageId);
    bool RevisionCheck(std::int32_t value);
    bool IdentNumber(std::int32_t value);
    bool SlaveFamilyRange(std::int32_t value);
    bool ReferenceNumberRange(std::int32_t value);
    void StationRules(unsigned flags);

    // Value rules.
    void BaudRateSupport(const CKeyEntry& entry, int rate);
    void UserPrmDataLength(const CKeyEntry& entry);
    void UserPrmDataVersusExt();
    void ExtModulePrmDataLen(std::int32_t length);
    void ModuleParameterLength();
    void ConstantRule(std::uint32_t offset, std::uint32_t count, bool inModule);
    void ReferenceRule(std::uint32_t offset, std::int32_t reference, bool inModule);
    void ExtUserPrmDataOpening(std::int32_t reference);
    void ExtUserPrmDataClosing();
    void UnreferencedExtUserPrmData(std::int32_t reference);
    void PrmTextOpening(std::int32_t reference);
    void PrmTextClosing();
    void PrmTextReference(std::int32_t reference);
    void UnreferencedPrmText(std::int32_t reference);
    void TextValue(std::uint32_t value);
    void DiagnosticBits(std::uint32_t first, std::uint32_t last);
    void DiagnosticPosition(std::uint32_t position);
    void AreaValue(std::uint32_t value);
    void ModuleReference(std::uint32_t number);
    void ChannelDiag(std::uint32_t number);
    void DataTypeDefinition(CKeyEntry& entry, int keyword);

    // A finding with the kind the message catalogue gives its id.
    void Report(int id, std::initializer_list<CFormatArg> args = {});
    // A finding with a kind of the caller's choice, for the one id reported with two kinds.
    void ReportAs(int kind, int id, std::initializer_list<CFormatArg> args);

    bool Counted(int keyword) const { return m_Counters[static_cast<size_t>(keyword)] > 0; }
    std::uint32_t& Counter(int keyword) { return m_Counters[static_cast<size_t>(keyword)]; }
    COffsetSet& OffsetSet(bool inModule) { return inModule ? m_ModuleOffsets : m_FileOffsets; }

    CTalunaContext& m_Context;
    const void* m_pDoc;

    // The keyword and value of the entry under check (views into it).
    std::string_view m_Keyword;
    std::string_view m_Value;
    std::int32_t m_nLine = 0;

    std::int32_t m_nGsdRevision = 0;
    std::int32_t m_nStationType = -1;
    std::int32_t m_nModular = -1;
    std::int32_t m_nMaxDiagDataLen = 0;
    std::int32_t m_nMaxUserPrmDataLen = 0;
    std::int32_t m_nUserPrmDataLen = 0;
    std::array<std::int32_t, RATE_COUNT> m_BaudRates{};
    std::uint64_t m_nAreaLimit = 0;
    std::uint32_t m_nDeclaredModuleLength = 0;
    std::uint32_t m_nUsedModuleLength = 0;

    std::array<std::uint32_t, KW_COUNT> m_Counters{};

    CNumberSet m_DiagBits;
    COffsetSet m_FileOffsets;
    CNumberSet m_ModuleReferences;
    CNumberSet m_AreaValues;
    CNumberSet m_ChannelDiags;
    COffsetSet m_ModuleOffsets;

    // The block being read, and the completed blocks, which keep their places.
    std::optional<CExtUserPrmDataRecord> m_OpenExtUserPrmData;
    std::optional<CPrmTextRecord> m_OpenPrmText;
    std::deque<CExtUserPrmDataRecord> m_ExtUserPrmData;
    std::deque<CPrmTextRecord> m_PrmTexts;
    // First completed record of each reference number, for lookups.
    CRecordsByNumber<CExtUserPrmDataRecord> m_ExtUserPrmDataByNumber;
    CRecordsByNumber<CPrmTextRecord> m_PrmTextByNumber;
};

}  // namespace semantic
