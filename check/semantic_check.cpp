#include "check/semantic_check.h"

#include <new>

#include "base/text_util.h"
#include "base/value_scanners.h"
#include "check/semantic_state.h"

namespace semantic {

namespace {

constexpr const char* kRates[RATE_COUNT] = {"9.6", "19.2", "31.25", "45.45", "93.75", "187.5",
                                            "500", "1.5M", "3M",    "6M",    "12M"};

bool IsRevisionOneRate(int rate) {
    return rate == 2 || rate == 3;
}

std::array<SKeywordRow, KW_COUNT> BuildTable() {
    using P = EPlace;
    using C = ECount;
    std::array<SKeywordRow, KW_COUNT> t{};
    auto set = [&](int k, const char* name, P place, C count, unsigned flags = 0) {
        t[static_cast<size_t>(k)] = {name, place, count, flags};
    };
    constexpr unsigned R = EVAL_REV0, S = EVAL_SLAVE, M = EVAL_MASTER, MOD = EVAL_MODULAR;

    set(KW_GSD_REVISION, "GSD_Revision", P::TopLevel, C::First, R);
    set(KW_VENDOR_NAME, "Vendor_Name", P::TopLevel, C::First);
    set(KW_MODEL_NAME, "Model_Name", P::TopLevel, C::First);
    set(KW_REVISION, "Revision", P::TopLevel, C::First);
    set(KW_REVISION_NUMBER, "Revision_Number", P::TopLevel, C::FirstAccepted);
    set(KW_IDENT_NUMBER, "Ident_Number", P::TopLevel, C::First);
    set(KW_PROTOCOL_IDENT, "Protocol_Ident", P::TopLevel, C::FirstAccepted);
    set(KW_STATION_TYPE, "Station_Type", P::TopLevel, C::First);
    set(KW_FMS_SUPP, "FMS_supp", P::TopLevel, C::FirstAccepted);
    set(KW_SOFTWARE_RELEASE, "Software_Release", P::TopLevel, C::FirstAccepted);
    set(KW_HARDWARE_RELEASE, "Hardware_Release", P::TopLevel, C::First);
    static std::string names[6][RATE_COUNT];
    for (int r = 0; r < RATE_COUNT; ++r) {
        const unsigned rev = IsRevisionOneRate(r) ? R : 0;
        names[0][r] = std::string(kRates[r]) + "_supp";
        names[1][r] = std::string("MaxTsdr_") + kRates[r];
        names[2][r] = std::string("TRDY_") + kRates[r];
        names[3][r] = std::string("TQUI_") + kRates[r];
        names[4][r] = std::string("TSET_") + kRates[r];
        names[5][r] = std::string("TSDI_") + kRates[r];
        set(KW_SUPP_FIRST + r, names[0][r].c_str(), P::TopLevel, C::First, rev);
        set(KW_MAXTSDR_FIRST + r, names[1][r].c_str(), P::TopLevel, C::First, rev);
        set(KW_TRDY_FIRST + r, names[2][r].c_str(), P::TopLevel, C::First, rev | M);
        set(KW_TQUI_FIRST + r, names[3][r].c_str(), P::TopLevel, C::First, rev | M);
        set(KW_TSET_FIRST + r, names[4][r].c_str(), P::TopLevel, C::First, rev | M);
        set(KW_TSDI_FIRST + r, names[5][r].c_str(), P::TopLevel, C::First, rev | M);
    }
    set(KW_REDUNDANCY, "Redundancy", P::TopLevel, C::First);
    set(KW_REPEATER_CTRL_SIG, "Repeater_Ctrl_Sig", P::TopLevel, C::First);
    set(KW_24V_PINS, "24V_Pins", P::TopLevel, C::First);
    set(KW_IMPLEMENTATION_TYPE, "Implementation_Type", P::TopLevel, C::First, R);
    set(KW_BITMAP_DEVICE, "Bitmap_Device", P::TopLevel, C::First, R);
    set(KW_BITMAP_DIAG, "Bitmap_Diag", P::TopLevel, C::First, R);
    set(KW_BITMAP_SF, "Bitmap_SF", P::TopLevel, C::First, R);
    set(KW_FREEZE_MODE_SUPP, "Freeze_Mode_supp", P::TopLevel, C::First, S);
    set(KW_SYNC_MODE_SUPP, "Sync_Mode_supp", P::TopLevel, C::First, S);
    set(KW_AUTO_BAUD_SUPP, "Auto_Baud_supp", P::TopLevel, C::First, S);
    set(KW_SET_SLAVE_ADD_SUPP, "Set_Slave_Add_supp", P::TopLevel, C::First, S);
    set(KW_MIN_SLAVE_INTERVALL, "Min_Slave_Intervall", P::TopLevel, C::First, S);
    set(KW_USER_PRM_DATA_LEN, "User_Prm_Data_Len", P::TopLevel, C::First, S);
    set(KW_USER_PRM_DATA, "User_Prm_Data", P::TopLevel, C::First, S);
    set(KW_MODULAR_STATION, "Modular_Station", P::TopLevel, C::First, S);
    set(KW_MAX_MODULE, "Max_Module", P::TopLevel, C::First, S | MOD);
    set(KW_MAX_INPUT_LEN, "Max_Input_Len", P::TopLevel, C::First, S | MOD);
    set(KW_MAX_OUTPUT_LEN, "Max_Output_Len", P::TopLevel, C::First, S | MOD);
    set(KW_MAX_DATA_LEN, "Max_Data_Len", P::TopLevel, C::First, S | MOD);
    set(KW_UNIT_DIAG_BIT, "Unit_Diag_Bit", P::TopLevel, C::Each, S);
    set(KW_EXT_MODULE_PRM_DATA_LEN, "EXT_MODULE_PRM_DATA_LEN", P::Module, C::FirstInModule, R | S);
    set(KW_CHANNEL_DIAG, "Channel_Diag", P::Module, C::Each, S);
    set(KW_FAIL_SAFE, "Fail_Safe", P::TopLevel, C::First, R | S);
    set(KW_MODUL_OFFSET, "Modul_Offset", P::TopLevel, C::First, R | S);
    set(KW_MAX_DIAG_DATA_LEN, "Max_Diag_Data_Len", P::TopLevel, C::First, R | S);
    set(KW_SLAVE_FAMILY, "Slave_Family", P::TopLevel, C::First, R | S);
    set(KW_MAX_USER_PRM_DATA_LEN, "Max_User_Prm_Data_Len", P::TopLevel, C::First, R | S);
    set(KW_MODULE, "Module", P::TopLevel, C::Each, S);
    set(KW_ENDMODULE, "ENDMODULE", P::Module, C::Each, S);
    set(KW_DOWNLOAD_SUPP, "DOWNLOAD_SUPP", P::TopLevel, C::First, M);
    set(KW_UPLOAD_SUPP, "UPLOAD_SUPP", P::TopLevel, C::First, M);
    set(KW_ACT_PARA_BRCT_SUPP, "ACT_PARA_BRCT_SUPP", P::TopLevel, C::First, M);
    set(KW_ACT_PARAM_SUPP, "ACT_PARAM_SUPP", P::TopLevel, C::First, M);
    set(KW_MAX_MPS_LENGTH, "MAX_MPS_LENGTH", P::TopLevel, C::First, M);
    set(KW_MAX_LSDU_MM, "MAX_LSDU_MM", P::TopLevel, C::First, M);
    set(KW_MAX_LSDU_MS, "MAX_LSDU_MS", P::TopLevel, C::First, M);
    set(KW_MIN_POLL_TIMEOUT, "MIN_POLL_TIMEOUT", P::TopLevel, C::First, M);
    set(KW_LAS_LEN, "LAS_LEN", P::TopLevel, C::First, M);
    set(KW_MAX_SLAVES_SUPP, "MAX_SLAVES_SUPP", P::TopLevel, C::First, M);
    set(KW_MAX_MASTER_INPUT_LEN, "MAX_MASTER_INPUT_LEN", P::TopLevel, C::First, R | M);
    set(KW_MAX_MASTER_OUTPUT_LEN, "MAX_MASTER_OUTPUT_LEN", P::TopLevel, C::First, R | M);
    set(KW_MAX_MASTER_DATA_LEN, "MAX_MASTER_DATA_LEN", P::TopLevel, C::First, R | M);
    set(KW_UNIT_DIAG_AREA, "UNIT_DIAG_AREA", P::TopLevel, C::Each, S);
    set(KW_UNIT_DIAG_AREA_END, "UNIT_DIAG_AREA_END", P::UnitDiagArea, C::Each, S);
    set(KW_VALUE, "VALUE", P::UnitDiagArea, C::Each, S);
    set(KW_EXT_USER_PRM_DATA_REF, "EXT_USER_PRM_DATA_REF", P::TopLevelOrModule, C::Each, R | S);
    set(KW_EXT_USER_PRM_DATA_CONST, "EXT_USER_PRM_DATA_CONST", P::TopLevelOrModule, C::Each, R | S);
    set(KW_EXTUSERPRMDATA, "EXTUSERPRMDATA", P::TopLevel, C::Each, R | S);
    set(KW_ENDEXTUSERPRMDATA, "ENDEXTUSERPRMDATA", P::ExtUserPrmData, C::Each, R | S);
    set(KW_PRM_TEXT_REF, "PRM_TEXT_REF", P::ExtUserPrmData, C::Each, R | S);
    set(KW_PRMTEXT, "PRMTEXT", P::TopLevel, C::Each, R | S);
    set(KW_ENDPRMTEXT, "ENDPRMTEXT", P::PrmText, C::Each, R | S);
    set(KW_TEXT, "TEXT", P::PrmText, C::Each, R | S);
    set(KW_UNSIGNED32, "UNSIGNED32", P::ExtUserPrmData, C::DataType, R | S);
    set(KW_UNSIGNED16, "UNSIGNED16", P::ExtUserPrmData, C::DataType, R | S);
    set(KW_UNSIGNED8, "UNSIGNED8", P::ExtUserPrmData, C::DataType, R | S);
    set(KW_SIGNED32, "SIGNED32", P::ExtUserPrmData, C::DataType, R | S);
    set(KW_SIGNED16, "SIGNED16", P::ExtUserPrmData, C::DataType, R | S);
    set(KW_SIGNED8, "SIGNED8", P::ExtUserPrmData, C::DataType, R | S);
    set(KW_BIT, "BIT", P::ExtUserPrmData, C::DataType, R | S);
    set(KW_BITAREA, "BITAREA", P::ExtUserPrmData, C::DataType, R | S);
    set(KW_MODULE_REFERENCE, "Module_Reference", P::Module, C::FirstInModule, R | S);
    return t;
}

const std::array<SKeywordRow, KW_COUNT>& Table() {
    static const std::array<SKeywordRow, KW_COUNT> table = BuildTable();
    return table;
}

// The value item `index` of an entry read as a number.
std::int32_t Item(const CKeyEntry& entry, size_t index) {
    return ReadNumber(entry.m_Ready[index]);
}
std::uint32_t UItem(const CKeyEntry& entry, size_t index) {
    return static_cast<std::uint32_t>(Item(entry, index));
}

bool InRange(int keyword, int first) {
    return keyword >= first && keyword < first + RATE_COUNT;
}

}  // namespace

const SKeywordRow& KeywordRow(int keyword) {
    return Table()[static_cast<size_t>(keyword)];
}

int FindKeyword(std::string_view keyword) {
    static const auto index = [] {
        CNoCaseIndex<int> map;
        for (int k = 0; k < KW_COUNT; ++k) map.Add(Table()[static_cast<size_t>(k)].m_pszName, k);
        return map;
    }();
    if (keyword.size() > 32) return -1;
    const int* found = index.Find(keyword);
    return found == nullptr ? -1 : *found;
}

CSemanticState::CSemanticState(CTalunaContext& context, const void* doc) : m_Context(context), m_pDoc(doc) {}

void CSemanticState::CheckEntry(CKeyEntry& entry, SemanticPass pass) {
    m_Keyword = entry.m_Keyword;
    m_Value = entry.m_Value;
    m_nLine = entry.m_LongLine;
    // Only the final pass looks at an entry that is no keyword of the rules;
    // every keyword of the rules is one word.
    const int keyword = pass == PassFinal           ? -1
                        : entry.m_Resolved.m_bValid ? entry.m_Resolved.m_nRule
                                                    : FindKeyword(m_Keyword);
    if (pass != PassFinal && keyword < 0) return;
    // The tree's group texts are no keywords; each holds a blank, no keyword does.
    if (pass == PassFinal && m_Keyword.find(' ') != std::string_view::npos)
        for (const char* label : {"General Keys", "Master Keys", "Slave Keys", "no database", "User-defined Keys"})
            if (EqualsNoCase(m_Keyword, label)) return;
    if (pass == PassFinal) {
        Final();
        return;
    }
    try {
        if (pass == PassCollect)
            Collect(entry, keyword);
        else if (pass == PassEvaluate)
            Evaluate(entry, keyword);
    } catch (const std::bad_alloc&) {
        m_Context.Notify("Insufficent memory to perform\nthe check!");
    }
}

void CSemanticState::Collect(CKeyEntry& entry, int keyword) {
    const SKeywordRow& row = KeywordRow(keyword);
    if (!PlaceRules(entry, row, keyword)) return;
    ++Counter(keyword);
    switch (row.m_Count) {
        case ECount::First:
            if (!MultipleDefinition(keyword, 64301)) return;
            entry.m_bAccepted = 1;
            break;
        case ECount::FirstInModule:
            if (!MultipleDefinition(keyword, 64304)) return;
            entry.m_bAccepted = 1;
            break;
        case ECount::FirstAccepted:
            MultipleDefinition(keyword, 64301);
            entry.m_bAccepted = 1;
            break;
        case ECount::Each: entry.m_bAccepted = 1; break;
        case ECount::DataType: DataTypeDefinition(entry, keyword); return;
    }

    const bool syntax = entry.m_bSyntaxOk == 1;
    const bool inModule = entry.m_hParent != nullptr;
    if (InRange(keyword, KW_SUPP_FIRST)) {
        if (syntax && Atoi32(m_Value) == 1) m_BaudRates[static_cast<size_t>(keyword - KW_SUPP_FIRST)] = 1;
        return;
    }
    switch (keyword) {
        case KW_GSD_REVISION:
            if (syntax) {
                m_nGsdRevision = ReadNumber(m_Value);
                RevisionCheck(m_nGsdRevision);
            }
            break;
        case KW_IDENT_NUMBER: IdentNumber(ReadNumber(m_Value)); break;
        case KW_PROTOCOL_IDENT:
            if (syntax && ReadNumber(m_Value) != 0) Report(64643, {m_Keyword});
            break;
        case KW_STATION_TYPE:
            if (syntax) m_nStationType = ReadNumber(m_Value);
            break;
        case KW_USER_PRM_DATA_LEN:
            if (syntax) m_nUserPrmDataLen = ReadNumber(m_Value);
            break;
        case KW_MODULAR_STATION:
            if (syntax) m_nModular = Atoi32(m_Value);
            break;
        case KW_MAX_DIAG_DATA_LEN:
            if (syntax) m_nMaxDiagDataLen = ReadNumber(m_Value);
            break;
        case KW_MAX_USER_PRM_DATA_LEN:
            if (syntax) m_nMaxUserPrmDataLen = ReadNumber(m_Value);
            break;
        case KW_UNIT_DIAG_BIT:
            if (syntax) DiagnosticBits(UItem(entry, 0), UItem(entry, 0));
            break;
        case KW_EXT_MODULE_PRM_DATA_LEN:
            if (syntax) m_nDeclaredModuleLength = UItem(entry, 0);
            break;
        case KW_CHANNEL_DIAG:
            if (syntax) ChannelDiag(UItem(entry, 0));
            break;
        case KW_MODULE:
            Counter(KW_EXT_MODULE_PRM_DATA_LEN) = 0;
            Counter(KW_MODULE_REFERENCE) = 0;
            Counter(KW_CHANNEL_DIAG) = 0;
            m_nDeclaredModuleLength = 0;
            m_nUsedModuleLength = 0;
            m_ChannelDiags.clear();
            m_ModuleOffsets.clear();
            break;
        case KW_ENDMODULE:
            if (syntax) ModuleParameterLength();
            break;
        case KW_UNIT_DIAG_AREA:
            Counter(KW_VALUE) = 0;
            m_AreaValues.clear();
            if (syntax) {
                const std::int64_t first = Item(entry, 0), last = Item(entry, 1);
                DiagnosticBits(static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last));
                // A width of 32 bits or more admits every 32-bit value; an area
                // whose last bit lies below its first admits none.
                const std::int64_t width = last - first + 1;
                m_nAreaLimit = width <= 0 ? 0 : width >= 32 ? (std::uint64_t{1} << 32) : (std::uint64_t{1} << width);
            }
            break;
        case KW_UNIT_DIAG_AREA_END:
            if (!Counted(KW_VALUE)) Report(64218, {"Value", "Value"});
            break;
        case KW_VALUE:
            if (syntax) AreaValue(UItem(entry, 0));
            break;
        case KW_EXT_USER_PRM_DATA_REF:
            if (syntax) ReferenceRule(UItem(entry, 0), Item(entry, 1), inModule);
            break;
        case KW_EXT_USER_PRM_DATA_CONST:
            if (syntax) ConstantRule(UItem(entry, 0), static_cast<std::uint32_t>(entry.m_nValues), inModule);
            break;
        case KW_EXTUSERPRMDATA:
            if (syntax) ExtUserPrmDataOpening(Item(entry, 0));
            break;
        case KW_ENDEXTUSERPRMDATA:
            if (m_OpenExtUserPrmData) ExtUserPrmDataClosing();
            break;
        case KW_PRM_TEXT_REF:
            if (m_OpenExtUserPrmData && syntax) PrmTextReference(ReadNumber(m_Value));
            break;
        case KW_PRMTEXT:
            if (syntax) PrmTextOpening(Item(entry, 0));
            break;
        case KW_ENDPRMTEXT:
            if (m_OpenPrmText) PrmTextClosing();
            break;
        case KW_TEXT:
            if (syntax && m_OpenPrmText) TextValue(UItem(entry, 0));
            break;
        case KW_MODULE_REFERENCE:
            if (syntax) ModuleReference(UItem(entry, 0));
            break;
        default: break;
    }
}

void CSemanticState::Evaluate(const CKeyEntry& entry, int keyword) {
    StationRules(KeywordRow(keyword).m_nFlags);
    const bool accepted = entry.m_bSyntaxOk == 1 && entry.m_bAccepted == 1;
    if (InRange(keyword, KW_SUPP_FIRST)) {
        if (accepted) BaudRateSupport(entry, keyword - KW_SUPP_FIRST);
        return;
    }
    if (InRange(keyword, KW_MAXTSDR_FIRST)) {
        if (entry.m_bAccepted == 1 && !Counted(KW_SUPP_FIRST + keyword - KW_MAXTSDR_FIRST)) Report(64606);
        return;
    }
    for (int first : {KW_TRDY_FIRST, KW_TQUI_FIRST, KW_TSET_FIRST, KW_TSDI_FIRST}) {
        if (!InRange(keyword, first)) continue;
        if (entry.m_bAccepted == 1 && !Counted(KW_SUPP_FIRST + keyword - first)) Report(64607);
        return;
    }
    switch (keyword) {
        case KW_USER_PRM_DATA:
            UserPrmDataVersusExt();
            if (accepted) UserPrmDataLength(entry);
            break;
        case KW_MAX_USER_PRM_DATA_LEN:
            if (Counted(KW_USER_PRM_DATA_LEN)) Report(64622, {m_Keyword});
            break;
        case KW_UNIT_DIAG_BIT:
            if (accepted) DiagnosticPosition(UItem(entry, 0));
            break;
        case KW_EXT_MODULE_PRM_DATA_LEN:
            if (accepted) ExtModulePrmDataLen(Item(entry, 0));
            break;
        case KW_SLAVE_FAMILY:
            if (accepted) SlaveFamilyRange(ReadNumber(m_Value.substr(0, m_Value.find('@'))));
            break;
        case KW_UNIT_DIAG_AREA:
            if (accepted) DiagnosticPosition(UItem(entry, 1));
            break;
        case KW_EXT_USER_PRM_DATA_REF:
            if (accepted) ReferenceNumberRange(Item(entry, 1));
            break;
        case KW_EXTUSERPRMDATA:
            if (accepted) {
                UnreferencedExtUserPrmData(Item(entry, 0));
                ReferenceNumberRange(Item(entry, 0));
            }
            break;
        case KW_PRM_TEXT_REF:
            if (accepted) ReferenceNumberRange(Item(entry, 0));
            break;
        case KW_PRMTEXT:
            if (accepted) {
                UnreferencedPrmText(Item(entry, 0));
                ReferenceNumberRange(Item(entry, 0));
            }
            break;
        default: break;
    }
}

}  // namespace semantic

struct CSemanticCheck::CState : semantic::CSemanticState {
    using CSemanticState::CSemanticState;
};

CSemanticCheck::CSemanticCheck(CTalunaContext& context, const void* doc)
    : m_pState(std::make_unique<CState>(context, doc)) {}

CSemanticCheck::~CSemanticCheck() = default;

void CSemanticCheck::CheckEntry(CKeyEntry& entry, SemanticPass pass) {
    m_pState->CheckEntry(entry, pass);
}
