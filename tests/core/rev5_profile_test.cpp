// The revision 5 profile: for each new keyword family, block, value rule and
// the revision gating, a line that must draw its finding and one that must
// stay silent; and the written rules unchanged in the classic profile.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/check_message.h"
#include "base/string_table.h"
#include "cli/file_check.h"

namespace {

// A slave with two modules (references 1 and 2), declaring GSD_Revision 5.
std::string Slave(const std::string& body, const std::string& revision = "5") {
    return "#Profibus_DP\nGSD_Revision = " + revision +
           "\nVendor_Name = \"V\"\nModel_Name = \"M\"\nStation_Type = 0\nModular_Station = 1\n"
           "Max_User_Prm_Data_Len = 20\n"
           "Module = \"M1\" 0x10\n1\nEndModule\nModule = \"M2\" 0x20\n2\nEndModule\n" +
           body;
}

std::vector<CCheckMessage> Rows(const std::string& text, EProfileChoice profile = EProfileChoice::Rev5) {
    CCheckOptions options;
    options.m_Profile = profile;
    return CheckGsdText(text, options);
}

// The kind of the first row with `id`, or -2 when there is none.
int KindOf(const std::vector<CCheckMessage>& rows, int id) {
    for (const auto& row : rows)
        if (row.m_nId == id) return row.m_nKind;
    return -2;
}

constexpr int NONE = -2;
constexpr int ERROR = CheckMessageKind::Error;
constexpr int WARNING = CheckMessageKind::Warning;

struct SCase {
    const char* name;
    std::string body;
    int id;
    int kind;  // the kind the finding must have, NONE when it must stay silent
    std::string revision = "5";
};

void PrintTo(const SCase& c, std::ostream* out) {
    *out << c.name;
}

class Rev5Profile : public testing::TestWithParam<SCase> {};

TEST_P(Rev5Profile, FindingFiresOrStaysSilent) {
    const SCase& c = GetParam();
    const auto rows = Rows(Slave(c.body, c.revision));
    EXPECT_EQ(KindOf(rows, c.id), c.kind) << c.body;
}

const std::string kLong(200, 'h');
const std::string kTooLong(300, 'h');

INSTANTIATE_TEST_SUITE_P(
    Cases, Rev5Profile,
    testing::Values(
        // Keywords of later revisions are known; their values are checked by type.
        SCase{"KnownKeyword", "DPV1_Slave = 1\nC1_Max_Data_Len = 240\n", IDS_UNKNOWN_KEY, NONE},
        SCase{"MakersKeyword", "DS248_FCT = 3\nDP_Encoder_manufacturer_specific_functions = 1\n", IDS_UNKNOWN_KEY,
              NONE},
        SCase{"BooleanOutOfRange", "DPV1_Slave = 2\n", IDS_NOT_ALLOWED_VALUES, ERROR},
        SCase{"InferredRowWarnsOnly", "Isochron_Mode_supp = 2\n", IDS_NOT_ALLOWED_VALUES, WARNING},
        SCase{"BitFieldTakesAByte", "Slave_Redundancy_supp = 8\n", IDS_NOT_ALLOWED_VALUES, NONE},
        SCase{"NumberTooWide", "C1_Max_Data_Len = 256\n", IDS_UNEXPECTED_FORMAT, ERROR},
        // Texts of up to 256 characters, with ';' and continued over lines.
        SCase{"HelpText256", "Unit_Diag_Bit(1) = \"b\"\nUnit_Diag_Bit_Help(1) = \"" + kLong + "\"\n",
              IDS_VALUE_EXCEEDS_LIMIT, NONE},
        SCase{"HelpTextTooLong", "Unit_Diag_Bit_Help(1) = \"" + kTooLong + "\"\n", IDS_VALUE_EXCEEDS_LIMIT, WARNING},
        SCase{"SemicolonInString", "Info_Text = \"Order-No: 750-833; Controller\"\n", IDS_STRING_CHARS, NONE},
        SCase{"ContinuedString", "Info_Text = \"first part \\\n  second part\"\n", IDS_STRING_CHARS, NONE},
        SCase{"UnclosedString", "Info_Text = \"no end\n", IDS_STRING_CHARS, ERROR},
        SCase{"HexIndexAndBlank",
              "UnitDiagType = 130\nX_Unit_Diag_Area = 24-25\nX_Value (0x03) = \"three\"\n"
              "X_Unit_Diag_Area_End\nEndUnitDiagType\n",
              IDS_UNEXPECTED_FORMAT, NONE},
        SCase{"BangKeyword", "Unit_Diag_Bit(1) = \"on\"\nUnit_Diag_!Bit(1) = \"off\"\n", IDS_KEYWORD_CHARS, NONE},
        // Blocks.
        SCase{"SlotBlockClosed", "SlotDefinition\nSlot(1) = \"S\" 1 1,2\nEndSlotDefinition\n", IDS_BLOCK_NOT_CLOSED,
              NONE},
        SCase{"SlotBlockOpen", "SlotDefinition\nSlot(1) = \"S\" 1 1,2\n", IDS_BLOCK_NOT_CLOSED, ERROR},
        SCase{"CloserWithoutOpener", "End_Physical_Interface\n", IDS_BLOCK_END_WITHOUT_OPENER, ERROR},
        SCase{"CloserWithOpener", "Physical_Interface = 0\nTransmission_Delay_9.6 = 0\nEnd_Physical_Interface\n",
              IDS_BLOCK_END_WITHOUT_OPENER, NONE},
        SCase{"NestedOpenAtParentEnd", "UnitDiagType = 1\nX_Unit_Diag_Area = 1-2\nEndUnitDiagType\n",
              IDS_BLOCK_OPEN_AT_PARENT_END, WARNING},
        SCase{"NestedClosed",
              "UnitDiagType = 1\nX_Unit_Diag_Area = 1-2\nX_Value(1) = \"a\"\nX_Unit_Diag_Area_End\n"
              "EndUnitDiagType\n",
              IDS_BLOCK_OPEN_AT_PARENT_END, NONE},
        SCase{"KeyOutsideItsBlock", "Transmission_Delay_9.6 = 0\n", IDS_KEY_OUTSIDE_BLOCK, ERROR},
        SCase{"KeyInsideItsBlock", "SlotDefinition\nSlot(1) = \"S\" 1 1\nEndSlotDefinition\n", IDS_KEY_OUTSIDE_BLOCK,
              NONE},
        SCase{"DataAreaOutsideModule", "Data_Area_Beg\nLength = 5\nData_Area_End\n", IDS_KEY_OUTSIDE_BLOCK, WARNING},
        SCase{"DataAreaInsideModule", "Module = \"M3\" 0x30\n3\nData_Area_Beg\nLength = 5\nData_Area_End\nEndModule\n",
              IDS_KEY_OUTSIDE_BLOCK, NONE},
        SCase{"JokerBlockOpen", "Jokerblock_Type = 1\n", IDS_BLOCK_NOT_CLOSED, WARNING},
        SCase{"JokerBlockClosed", "Jokerblock_Type = 1\nEnd_Jokerblock_Type\n", IDS_BLOCK_NOT_CLOSED, NONE},
        SCase{"FirmwareKeyOutside", "Version_Name = \"1.0\"\n", IDS_KEY_OUTSIDE_BLOCK, WARNING},
        SCase{"FirmwareKeyInside", "Version_Firmware_Download\nVersion_Name = \"1.0\"\nEnd_Version_Firmware_Download\n",
              IDS_KEY_OUTSIDE_BLOCK, NONE},
        // Slot lines against the file's modules.
        SCase{"SlotDefaultNotAllowed", "SlotDefinition\nSlot(1) = \"S\" 2 1\nEndSlotDefinition\n",
              IDS_SLOT_DEFAULT_NOT_ALLOWED, WARNING},
        SCase{"SlotDefaultInRange", "SlotDefinition\nSlot(1) = \"S\" 2 1-2\nEndSlotDefinition\n",
              IDS_SLOT_DEFAULT_NOT_ALLOWED, NONE},
        SCase{"SlotListedModuleUndefined", "SlotDefinition\nSlot(1) = \"S\" 1 1 , 7\nEndSlotDefinition\n",
              IDS_SLOT_UNDEFINED_MODULE, ERROR},
        SCase{"SlotRangeBeyondModules", "SlotDefinition\nSlot(1) = \"S\" 1 1-3\nEndSlotDefinition\n",
              IDS_SLOT_RANGE_UNDEFINED_MODULE, WARNING},
        SCase{"SlotWithoutName", "SlotDefinition\nSlot(1) = 1 1\nEndSlotDefinition\n", IDS_STRING_CHARS, ERROR},
        SCase{"SlotReversedRange", "SlotDefinition\nSlot(1) = \"S\" 1 2-1\nEndSlotDefinition\n", IDS_OUT_OF_RANGE,
              ERROR},
        // Revision gating: stated revisions only.
        SCase{"StatedAboveFileRevision", "DPV1_Slave = 1\n", IDS_KEYWORD_ABOVE_REVISION, WARNING, "2"},
        SCase{"StatedWithinFileRevision", "DPV1_Slave = 1\n", IDS_KEYWORD_ABOVE_REVISION, NONE, "3"},
        SCase{"InferredNeverGated", "Isochron_Mode_supp = 1\n", IDS_KEYWORD_ABOVE_REVISION, NONE, "1"},
        SCase{"Revision5Supported", "", 64433, NONE, "5"},
        SCase{"Revision6NotSupported", "", IDS_REVISION_ABOVE_5, WARNING, "6"},
        // Fixed values and one-bit diagnosis areas.
        SCase{"FixedValueAtItsDefault",
              "ExtUserPrmData = 1 \"P\"\nBit(0) 0 0-0\nEndExtUserPrmData\nExt_User_Prm_Data_Ref(0) = 1\n",
              IDS_OUT_OF_RANGE, NONE},
        SCase{"FixedValueOtherDefault", "ExtUserPrmData = 1 \"P\"\nBit(0) 1 0-0\nEndExtUserPrmData\n", IDS_OUT_OF_RANGE,
              ERROR},
        SCase{"MinimumAboveMaximum", "ExtUserPrmData = 1 \"P\"\nUnsigned8 3 5-2\nEndExtUserPrmData\n", IDS_OUT_OF_RANGE,
              ERROR},
        SCase{"OneBitArea", "Unit_Diag_Area = 28-28\nValue(0) = \"off\"\nValue(1) = \"on\"\nUnit_Diag_Area_End\n",
              IDS_OUT_OF_RANGE, NONE},
        SCase{"OneBitAreaValueBeyond", "Unit_Diag_Area = 28-28\nValue(2) = \"two\"\nUnit_Diag_Area_End\n", 64613,
              ERROR},
        SCase{"ReversedArea", "Unit_Diag_Area = 28-27\nValue(0) = \"off\"\nUnit_Diag_Area_End\n", IDS_OUT_OF_RANGE,
              ERROR},
        // Bit areas in the offset rule.
        SCase{"DisjointBitAreas",
              "ExtUserPrmData = 1 \"A\"\nBitArea(0-3) 0 0-15\nEndExtUserPrmData\n"
              "ExtUserPrmData = 2 \"B\"\nBitArea(4-7) 0 0-15\nEndExtUserPrmData\n"
              "Ext_User_Prm_Data_Ref(0) = 1\nExt_User_Prm_Data_Ref(0) = 2\n",
              64627, NONE},
        SCase{"OverlappingBitAreas",
              "ExtUserPrmData = 1 \"A\"\nBitArea(0-3) 0 0-15\nEndExtUserPrmData\n"
              "ExtUserPrmData = 2 \"B\"\nBitArea(3-5) 0 0-7\nEndExtUserPrmData\n"
              "Ext_User_Prm_Data_Ref(0) = 1\nExt_User_Prm_Data_Ref(0) = 2\n",
              64627, WARNING}),
    [](const testing::TestParamInfo<SCase>& info) { return std::string(info.param.name); });

// The written rules are the default and know none of this.
TEST(Rev5ProfileClassic, TheWrittenRulesStayAsTheyAre) {
    const std::string text = Slave("DPV1_Slave = 1\nUnit_Diag_Area = 28-28\nValue(0) = \"off\"\nUnit_Diag_Area_End\n");
    const auto classic = Rows(text, EProfileChoice::Classic);
    EXPECT_EQ(KindOf(classic, IDS_UNKNOWN_KEY), WARNING);
    EXPECT_EQ(KindOf(classic, IDS_OUT_OF_RANGE), ERROR);
    EXPECT_EQ(KindOf(classic, 64433), WARNING);
    EXPECT_EQ(KindOf(Rows(text, EProfileChoice::Auto), IDS_UNKNOWN_KEY), NONE);  // declares revision 5
    EXPECT_EQ(KindOf(Rows(Slave("DPV1_Slave = 1\n", "2"), EProfileChoice::Auto), IDS_UNKNOWN_KEY), WARNING);
}

// Hostile shapes of the new constructs stay linear and end with their findings.
TEST(Rev5ProfileHostile, ManyNestedOpenersAndReversedRanges) {
    std::string body;
    for (int i = 0; i < 10000; ++i) body += "UnitDiagType = 1\nX_Unit_Diag_Area = 2-1\n";
    body += "SlotDefinition\nSlot(1) = \"S\" 1 0-4000000000\nSlot(2)\nSlot = \nEndSlotDefinition\n";
    const auto rows = Rows(Slave(body));
    EXPECT_EQ(KindOf(rows, IDS_BLOCK_NOT_CLOSED), WARNING);
    EXPECT_EQ(KindOf(rows, IDS_OUT_OF_RANGE), WARNING);
    EXPECT_LT(rows.size(), 100000u);
}

}  // namespace
