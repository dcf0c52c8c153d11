// Rules of the semantic check on the presence, uniqueness, place, station type
// and GSD revision of keywords.

#include <span>
#include <tuple>

#include "base/check_message.h"
#include "base/message_catalogue.h"
#include "base/text_util.h"
#include "base/value_scanners.h"
#include "check/semantic_state.h"

namespace semantic {

void CSemanticState::Report(int id, std::initializer_list<CFormatArg> args) {
    ReportAs(KindOf(id), id, args);
}

void CSemanticState::ReportAs(int kind, int id, std::initializer_list<CFormatArg> args) {
    m_Context.AddFinding(kind, m_nLine, id, args, m_pDoc);
}

bool CSemanticState::PlaceRules(const CKeyEntry& entry, const SKeywordRow& row, int keyword) {
    struct SRule {
        int id;
        const char* block;
        bool inside;  // the rule wants the entry inside the block (else outside)
    };
    // Each block's name is one object, so that rules compare names by address.
    static constexpr const char* kPrmText = "PrmText";
    static constexpr const char* kExtUserPrmData = "ExtUserPrmData";
    static constexpr const char* kModuleBlock = "Module";
    static constexpr const char* kUnitDiagArea = "Unit_Diag_Area";
    static constexpr SRule kInPrmText{64505, kPrmText, true}, kInExt{64506, kExtUserPrmData, true},
        kInModule{64507, kModuleBlock, true}, kInArea{64508, kUnitDiagArea, true}, kNotPrmText{64509, kPrmText, false},
        kNotExt{64510, kExtUserPrmData, false}, kNotModule{64511, kModuleBlock, false},
        kNotArea{64512, kUnitDiagArea, false};
    static constexpr SRule kTopLevel[] = {kNotPrmText, kNotExt, kNotModule, kNotArea};
    static constexpr SRule kModule[] = {kInModule, kNotPrmText, kNotExt, kNotArea};
    static constexpr SRule kExt[] = {kInExt, kNotPrmText, kNotModule, kNotArea};
    static constexpr SRule kInPrmTextRules[] = {kInPrmText, kNotExt, kNotModule, kNotArea};
    static constexpr SRule kArea[] = {kInArea, kNotPrmText, kNotExt, kNotModule};
    static constexpr SRule kTopOrModule[] = {kNotPrmText, kNotExt, kNotArea, kNotArea};
    std::span<const SRule> rules;
    // From revision 3 on Channel_Diag stands at the slave's top level too.
    const EPlace place = m_Context.m_Profile == ECheckProfile::Rev5 && keyword == KW_CHANNEL_DIAG
                             ? EPlace::TopLevelOrModule
                             : row.m_Place;
    switch (place) {
        case EPlace::TopLevel: rules = kTopLevel; break;
        case EPlace::Module: rules = kModule; break;
        case EPlace::ExtUserPrmData: rules = kExt; break;
        case EPlace::PrmText: rules = kInPrmTextRules; break;
        case EPlace::UnitDiagArea: rules = kArea; break;
        case EPlace::TopLevelOrModule: rules = std::span<const SRule>(kTopOrModule, 3); break;
    }
    // The block the entry stands in, looked up once for all the rules.
    // A parent resolved at build time names its block by its keyword of the
    // rules, which is the block's name in other letter case.
    const char* in = nullptr;
    if (const CKeyEntry* parent = entry.m_hParent; parent != nullptr && parent->m_Resolved.m_bValid) {
        switch (parent->m_Resolved.m_nRule) {
            case KW_MODULE: in = kModuleBlock; break;
            case KW_EXTUSERPRMDATA: in = kExtUserPrmData; break;
            case KW_PRMTEXT: in = kPrmText; break;
            case KW_UNIT_DIAG_AREA: in = kUnitDiagArea; break;
            default: break;
        }
    } else if (parent != nullptr) {
        for (const char* block : {kModuleBlock, kExtUserPrmData, kPrmText, kUnitDiagArea})
            if (EqualsNoCase(parent->m_Keyword, block)) {
                in = block;
                break;
            }
    }
    for (const SRule& rule : rules) {
        if ((in == rule.block) != rule.inside) {
            Report(rule.id, {m_Keyword, m_Keyword});
            return false;
        }
    }
    if (keyword == KW_PRM_TEXT_REF && Counted(KW_PRM_TEXT_REF)) {
        Report(64303);
        return false;
    }
    return true;
}

bool CSemanticState::MultipleDefinition(int keyword, int messageId) {
    if (m_Counters[static_cast<size_t>(keyword)] <= 1) return true;
    Report(messageId, {m_Keyword});
    return false;
}

bool CSemanticState::RevisionCheck(std::int32_t value) {
    if (m_Context.m_Profile == ECheckProfile::Rev5) {
        // The revision 5 profile knows revisions 3 to 5.
        if (static_cast<std::uint32_t>(value) <= 5) return true;
        Report(70130, {value});
        m_nGsdRevision = 5;
        return false;
    }
    if (static_cast<std::uint32_t>(value) <= 2) return true;
    Report(64433, {value});
    m_nGsdRevision = 2;
    return false;
}

bool CSemanticState::IdentNumber(std::int32_t value) {
    if (value != 0) return true;
    Report(64435, {value});
    return false;
}

bool CSemanticState::SlaveFamilyRange(std::int32_t value) {
    const std::int32_t limit = m_nGsdRevision < 2 ? 11 : 12;
    if (value <= limit) return true;
    Report(64431, {value, m_nGsdRevision});
    return false;
}

bool CSemanticState::ReferenceNumberRange(std::int32_t value) {
    const std::int32_t limit = m_nGsdRevision < 2 ? 255 : 65535;
    if (value <= limit) return true;
    Report(64434, {value, m_nGsdRevision});
    return false;
}

void CSemanticState::StationRules(unsigned flags) {
    if ((flags & EVAL_REV0) && m_nGsdRevision == 0) Report(64501, {m_Keyword, m_Keyword});
    if ((flags & EVAL_SLAVE) && m_nStationType == 1) Report(64502, {m_Keyword});
    if ((flags & EVAL_MASTER) && m_nStationType == 0) Report(64503, {m_Keyword});
    if ((flags & EVAL_MODULAR) && m_nStationType == 0 && m_nModular != 1) Report(64504, {m_Keyword});
}

void CSemanticState::DataTypeDefinition(CKeyEntry& entry, int keyword) {
    if (!m_OpenExtUserPrmData) return;
    CExtUserPrmDataRecord& record = *m_OpenExtUserPrmData;
    if (record.m_nSize != 0) {
        Report(64303);
        return;
    }
    entry.m_bAccepted = 1;
    record.m_bDataType = 1;
    switch (keyword) {
        case KW_UNSIGNED32:
        case KW_SIGNED32: record.m_nSize = 4; break;
        case KW_UNSIGNED16:
        case KW_SIGNED16: record.m_nSize = 2; break;
        default: record.m_nSize = 1; break;
    }
    if (keyword == KW_BIT) {
        // Bit numbers beyond the byte (8 and up, or negative) select no bit.
        const std::int32_t bit = ReadNumber(entry.m_Ready[0]);
        record.m_nBitMask = (bit >= 0 && bit < 8) ? static_cast<std::uint8_t>(1u << bit) : 0;
    }
    if (keyword == KW_BITAREA && m_Context.m_Profile == ECheckProfile::Rev5) {
        // A bit area takes its bits, first to last, so that parameters in disjoint
        // bits of one byte do not overlap.
        const std::string_view area = entry.m_Ready[0];
        const size_t dash = area.find('-', 1);
        const std::int32_t first = ReadNumber(area.substr(0, dash));
        const std::int32_t last = dash == std::string::npos ? first : ReadNumber(area.substr(dash + 1));
        if (first >= 0 && first <= last && last < 8)
            record.m_nBitMask = static_cast<std::uint8_t>(((1u << (last + 1)) - 1) & ~((1u << first) - 1));
    }
}

void CSemanticState::Final() {
    for (const auto& [keyword, name] : {std::pair{KW_VENDOR_NAME, "Vendor_Name"},
                                        {KW_MODEL_NAME, "Model_Name"},
                                        {KW_REVISION, "Revision"},
                                        {KW_IDENT_NUMBER, "Ident_Number"},
                                        {KW_PROTOCOL_IDENT, "Protocol_Ident"},
                                        {KW_STATION_TYPE, "Station_Type"},
                                        {KW_HARDWARE_RELEASE, "Hardware_Release"},
                                        {KW_SOFTWARE_RELEASE, "Software_Release"}})
        if (!Counted(keyword)) Report(64202, {name, name});

    bool anyRate = false, anyMaxTsdr = false;
    for (int r = 0; r < RATE_COUNT; ++r) {
        anyRate = anyRate || m_BaudRates[static_cast<size_t>(r)] != 0;
        anyMaxTsdr = anyMaxTsdr || Counted(KW_MAXTSDR_FIRST + r);
    }
    if (!anyRate) Report(64203);
    if (!anyMaxTsdr) Report(64204);

    auto anyOf = [&](int first) {
        for (int r = 0; r < RATE_COUNT; ++r)
            if (Counted(first + r)) return true;
        return false;
    };
    if (m_nStationType == 1) {
        for (const auto& [keyword, name] : {std::pair{KW_MAX_MPS_LENGTH, "Max_MPS_Length"},
                                            {KW_MAX_LSDU_MS, "Max_Lsdu_MS"},
                                            {KW_MAX_LSDU_MM, "Max_Lsdu_MM"},
                                            {KW_MIN_POLL_TIMEOUT, "Min_Poll_Timeout"},
                                            {KW_MAX_SLAVES_SUPP, "Max_Slaves_supp"}})
            if (!Counted(keyword)) Report(64206, {name, name});
        if (!anyOf(KW_TRDY_FIRST)) Report(64207);
        if (!anyOf(KW_TQUI_FIRST)) Report(64208);
        if (!anyOf(KW_TSET_FIRST)) Report(64209);
        if (!anyOf(KW_TSDI_FIRST)) Report(64210);
    }
    if (m_nStationType == 0) {
        for (const auto& [keyword, name] :
             {std::pair{KW_MIN_SLAVE_INTERVALL, "Min_Slave_Intervall"}, {KW_MODULE, "Module"}})
            if (!Counted(keyword)) Report(64211, {name, name});
        if (m_nGsdRevision != 0)
            for (const auto& [keyword, name] :
                 {std::pair{KW_MAX_DIAG_DATA_LEN, "Max_Diag_Data_Len"}, {KW_SLAVE_FAMILY, "Slave_Family"}})
                if (!Counted(keyword)) Report(64212, {name, name});
        if (m_nModular == 1)
            for (const auto& [keyword, name] : {std::pair{KW_MAX_MODULE, "Max_Module"},
                                                {KW_MAX_INPUT_LEN, "Max_Input_Len"},
                                                {KW_MAX_OUTPUT_LEN, "Max_Output_Len"},
                                                {KW_MAX_DATA_LEN, "Max_Data_Len"}})
                if (!Counted(keyword)) Report(64213, {name, name});
    }
    for (const auto& [open, close, name] : {std::tuple{KW_UNIT_DIAG_AREA, KW_UNIT_DIAG_AREA_END, "Unit_Diag_Area"},
                                            {KW_EXTUSERPRMDATA, KW_ENDEXTUSERPRMDATA, "ExtUserPrmData"},
                                            {KW_PRMTEXT, KW_ENDPRMTEXT, "PrmText"},
                                            {KW_MODULE, KW_ENDMODULE, "Module"}})
        if (Counter(close) < Counter(open)) Report(64217, {name, name});
}

}  // namespace semantic
