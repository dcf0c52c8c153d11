// The key syntax check as Check GSD runs it over every key: line lengths,
// keyword characters, the equal sign, the value rules of the catalogue's keys,
// the configuration data of module lines and the checks of user-defined keys.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/string_table.h"
#include "check/process_key.h"
#include "check_rows_helpers.h"
#include "message_texts.h"
#include "model/key_entry.h"

namespace {

using taluna_test::CCheckedText;
using taluna_test::CRowSink;
using taluna_test::Err;
using taluna_test::kFinished;
using taluna_test::Row;
using taluna_test::SyntaxRows;
using taluna_test::Warn;

using taluna_test::MessageText;

// The texts of the findings, from the message catalogue.
std::string Limit(const std::string& k, const std::string& t) {
    return MessageText(IDS_VALUE_EXCEEDS_LIMIT, {k, t});
}
std::string Allowed(const std::string& k, const std::string& t) {
    return MessageText(IDS_NOT_ALLOWED_VALUES, {k, t});
}
std::string OutOfRange(const std::string& k, const std::string& t) {
    return MessageText(IDS_OUT_OF_RANGE, {k, t});
}
std::string Unknown(const std::string& k) {
    return MessageText(IDS_UNKNOWN_KEY, {k});
}
std::string Format(const std::string& k, const std::string& t) {
    return MessageText(IDS_UNEXPECTED_FORMAT, {k, t});
}
std::string TooMany(const std::string& k) {
    return MessageText(IDS_TOO_MANY_VALUES, {k});
}
std::string FileName(const std::string& k) {
    return MessageText(IDS_FILE_NAME_CHARS, {k});
}
std::string BadKeyChar(const std::string& k) {
    return MessageText(IDS_KEYWORD_CHARS, {k});
}
std::string BadString(const std::string& k) {
    return MessageText(IDS_STRING_CHARS, {k});
}
std::string EqualSign(const std::string& k) {
    return MessageText(IDS_EQUAL_SIGN, {k});
}
std::string Hash(const std::string& k) {
    return MessageText(IDS_HASH_KEY, {k});
}
std::string BadConfig(const std::string& k) {
    return MessageText(IDS_CONFIG_INVALID, {k});
}
const std::string kLongLine = MessageText(IDS_LINE_TOO_LONG);

const std::string kMinMax = "Min<Max & Min<=Default<=Max";
const std::string kArea = "First_Bit<Last_Bit and Last_Bit-FirstBit<15";

// One GSD text after the header and the rows its keys give; no rows means the
// check finishes without errors.
struct SCase {
    std::string body;
    std::vector<Row> rows;
};

void ExpectCases(const std::vector<SCase>& cases, const IProfileStore* userKeys = nullptr) {
    for (const auto& c : cases) {
        SCOPED_TRACE("text after the header: [" + c.body + "]");
        const std::vector<Row> expected = c.rows.empty() ? std::vector<Row>{kFinished} : c.rows;
        EXPECT_EQ(SyntaxRows(c.body, userKeys), expected);
    }
}

SCase Pass(std::string body) {
    return {std::move(body), {}};
}
SCase Fail(std::string body, std::string text) {
    return {std::move(body), {Err(1, std::move(text))}};
}

TEST(KeySyntaxCheck, NumbersWithoutRange) {
    ExpectCases({
        Pass("GSD_Revision = 1"),
        Pass("GSD_Revision=0xff"),
        Fail("GSD_Revision = 256", Format("GSD_Revision", "Number")),
        Fail("GSD_Revision = -1", Format("GSD_Revision", "Number")),
        Fail("GSD_Revision =", Format("GSD_Revision", "Number")),
        Fail("GSD_Revision = 1a", Format("GSD_Revision", "Number")),
        Fail("gsd_revision = 300", Format("gsd_revision", "Number")),
        Pass("Ident_Number = 0xFFFF"),
        Fail("Ident_Number = 0x10000", Format("Ident_Number", "Number")),
        Pass("Max_MPS_Length = 0xFFFFFFFE"),
        Fail("Max_MPS_Length = 0xFFFFFFFF", Format("Max_MPS_Length", "Number")),
        Fail("Tqui_9.6 = 256", Format("Tqui_9.6", "Number")),
        Pass("LAS_Len = 0xff"),
        Pass("Prm_Text_Ref = 65535"),
        Fail("PrmText = 65536", Format("PrmText", "Number")),
        Fail("Ext_Module_Prm_Data_Len = 0x100", Format("Ext_Module_Prm_Data_Len", "Number")),
    });
}

TEST(KeySyntaxCheck, NumbersWithRangeText) {
    ExpectCases({
        Fail("Revision_Number = 64", Limit("Revision_Number", "UCHAR: 0..63")),
        Fail("Revision_Number = 0x40", Limit("Revision_Number", "UCHAR: 0..63")),
        Pass("Revision_Number = 0x3F"),
        Pass("Revision_Number = 63"),
        Fail("Protocol_Ident = 5", Limit("Protocol_Ident", "UCHAR: 0|(16..255)")),
        Fail("Protocol_Ident = 15", Limit("Protocol_Ident", "UCHAR: 0|(16..255)")),
        Pass("Protocol_Ident = 0"),
        Pass("Protocol_Ident = 16"),
        Pass("Protocol_Ident = 255"),
        Fail("Station_Type = 2", Limit("Station_Type", "UCHAR: 0|1")),
        Pass("Station_Type = 1"),
        Fail("Max_Diag_Data_Len = 7", Limit("Max_Diag_Data_Len", "UCHAR: 6|(8..244)")),
        Fail("Max_Diag_Data_Len = 5", Limit("Max_Diag_Data_Len", "UCHAR: 6|(8..244)")),
        Fail("Max_Diag_Data_Len = 245", Limit("Max_Diag_Data_Len", "UCHAR: 6|(8..244)")),
        Pass("Max_Diag_Data_Len = 6"),
        Pass("Max_Diag_Data_Len = 8"),
        Pass("Max_Diag_Data_Len = 244"),
        Fail("Repeater_Ctrl_Sig = 3", Limit("Repeater_Ctrl_Sig", "UCHAR: 0..2")),
        Pass("24V_Pins = 2"),
        Fail("User_Prm_Data_Len = 238", Limit("User_Prm_Data_Len", "UCHAR: 0..237")),
        Pass("User_Prm_Data_Len = 237"),
        Fail("Max_Module = 0", Limit("Max_Module", "UCHAR: 1..244")),
        Fail("Max_Input_Len = 245", Limit("Max_Input_Len", "UCHAR: 0..244")),
        Fail("Max_Lsdu_MS = 245", Limit("Max_Lsdu_MS", "UCHAR: 0..244")),
        Fail("Trdy_9.6 = 0", Limit("Trdy_9.6", "UCHAR: 1..255")),
        Pass("Tset_12M = 255"),
        Fail("Max_Slaves_supp = 126", Limit("Max_Slaves_supp", "UCHAR: 1..125")),
        Fail("Max_Master_Input_Len = 0", Limit("Max_Master_Input_Len", "UCHAR: 1..244")),
        Fail("MaxTsdr_9.6 = 0", Limit("MaxTsdr_9.6", "USHORT: 1..65535")),
        Pass("MaxTsdr_12M = 65535"),
        Fail("MaxTsdr_12M = 65536", Format("MaxTsdr_12M", "Number")),
        Fail("Min_Poll_Timeout = 0", Limit("Min_Poll_Timeout", "USHORT: 1..65535")),
        Fail("Min_Slave_Intervall = 0", Limit("Min_Slave_Intervall", "USHORT: 1..65535")),
        Fail("Max_Data_Len = 489", Limit("Max_Data_Len", "USHORT: 0..488")),
        Fail("Max_Master_Data_Len = 489", Limit("Max_Master_Data_Len", "USHORT: 0..488")),
        Pass("Max_Data_Len = 488"),
        Pass("Protocol_Ident = 0x10"),
    });
}

TEST(KeySyntaxCheck, BooleanKeysTakeOneCharacterZeroOrOne) {
    ExpectCases({
        Pass("FMS_supp = 1"),
        Pass("FMS_supp = 0"),
        Fail("FMS_supp = 2", Allowed("FMS_supp", "0|1")),
        Fail("FMS_supp = 10", Format("FMS_supp", "Number")),
        Fail("FMS_supp = a", Format("FMS_supp", "Number")),
        Fail("Redundancy = 0x1", Format("Redundancy", "Number")),
        Fail("Download_supp = 3", Allowed("Download_supp", "0|1")),
        Fail("FMS_supp", EqualSign("FMS_supp")),
    });
}

TEST(KeySyntaxCheck, VisibleStringsOfThirtyTwoCharacters) {
    const std::string name32(32, 'N');
    ExpectCases({
        Pass("Vendor_Name = \"Maker\""),
        Pass("Vendor_Name = \"Maker\" ; remark"),
        Pass("Vendor_Name = \"ABC\" ; say \"hi\""),
        Pass("Vendor_Name = \"" + name32 + "\""),
        Fail("Vendor_Name = \"" + name32 + "X\"", Limit("Vendor_Name", "String32")),
        // An empty string counts as missing only when the builder saw no string.
        Fail("Vendor_Name=\"\"", Limit("Vendor_Name", "String32")),
        Pass("Vendor_Name = \"\""),
        Fail("Vendor_Name = Maker", BadString("Vendor_Name")),
        Fail("Vendor_Name = \"A;B\"", BadString("Vendor_Name")),
        Fail("Vendor_Name = \"A\tB\"", BadString("Vendor_Name")),
        Fail("Vendor_Name = \"ABC\" \"DEF\"", BadString("Vendor_Name")),
        Fail("Vendor_Name = \"ABC", BadString("Vendor_Name")),
        Fail("Vendor_Name \"ABC\"", EqualSign("Vendor_Name")),
        Pass("Model_Name = \"M\xFCller & S\xF6hne\""),
        Pass("Implementation_Type = \"x=y\""),
        Fail("Vendor_Name = \"A\" = ; c", EqualSign("Vendor_Name")),
        // Passes the equal-sign test, but the string no longer matches the line.
        Fail("Vendor_Name = \"A\" = x", BadString("Vendor_Name")),
        Pass("Revision = \"V1.0\""),
        Fail("Hardware_Release = \"" + name32 + "1\"", Limit("Hardware_Release", "String32")),
        // A section sign in the text is not kept in the value item.
        Fail("Vendor_Name = \"A\xA7"
             "B\"",
             BadString("Vendor_Name")),
        // A string continued onto the next line holds its line break.
        Fail("Vendor_Name = \"abc\\\ndef\"", BadString("Vendor_Name")),
    });
}

TEST(KeySyntaxCheck, BitmapFileNamesOfEightCharacters) {
    std::vector<SCase> cases = {
        Pass("Bitmap_Device = \"ABCDEFGH\""),
        Pass("Bitmap_Device = \"a-b_c\""),
        Fail("Bitmap_Device = \"ABCDEFGHI\"", Limit("Bitmap_Device", "String8")),
        Fail("Bitmap_Device = \"abcd.efgh\"", Limit("Bitmap_Device", "String8")),
        Fail("Bitmap_Device = \"abc.bmp\"", FileName("Bitmap_Device")),
        Pass("Bitmap_Device = \"a b\""),
        Fail("Bitmap_SF=\"\"", Limit("Bitmap_SF", "String8")),
        Fail("Bitmap_SF = \"a;b\"", BadString("Bitmap_SF")),
    };
    for (char separator : std::string(".+[]?/<>,:"))
        cases.push_back(Fail(std::string("Bitmap_Diag = \"ab") + separator + "c\"", FileName("Bitmap_Diag")));
    ExpectCases(cases);
}

TEST(KeySyntaxCheck, OctetStringsOfBytes) {
    const std::string r = "0x00-0xff";
    ExpectCases({
        Fail("User_Prm_Data = 0x01,0x100,0x02", OutOfRange("User_Prm_Data", r)),
        Pass("User_Prm_Data = 0x01, 0x02"),
        Pass("User_Prm_Data = 0x01 ,0x02"),
        Pass("User_Prm_Data = 5"),
        Fail("User_Prm_Data = 0x100", OutOfRange("User_Prm_Data", r)),
        Fail("User_Prm_Data = 1,,2", OutOfRange("User_Prm_Data", r)),
        Fail("User_Prm_Data = 1,", OutOfRange("User_Prm_Data", r)),
        Fail("User_Prm_Data =", OutOfRange("User_Prm_Data", r)),
        Fail("User_Prm_Data = 1,-2", OutOfRange("User_Prm_Data", r)),
        Fail("User_Prm_Data 1,2", EqualSign("User_Prm_Data")),
        Pass("User_Prm_Data = 0x01,\\\n  0x02,\\\n  0x03"),
    });
}

TEST(KeySyntaxCheck, SlaveFamilyWithSubfamilies) {
    ExpectCases({
        Pass("Slave_Family = 3"),
        Pass("Slave_Family = 3@Digital@24V"),
        Pass("Slave_Family = 3@a@b@c"),
        Fail("Slave_Family = 3@a@b@c@d", TooMany("Slave_Family")),
        Fail("Slave_Family = 3@@x", Format("Slave_Family", "Subfamily")),
        Fail("Slave_Family = 3@", Format("Slave_Family", "Subfamily")),
        Fail("Slave_Family = x@a", Format("Slave_Family", "UCHAR")),
        Fail("Slave_Family = 256", Format("Slave_Family", "UCHAR")),
        // A message ends the reading of parts, so no count follows it.
        Fail("Slave_Family = 256@a@b@c@d", Format("Slave_Family", "UCHAR")),
        Fail("Slave_Family = 3@@b@c@d", Format("Slave_Family", "Subfamily")),
        Fail("Slave_Family 3", EqualSign("Slave_Family")),
    });
}

TEST(KeySyntaxCheck, ModuleNameAndConfigurationData) {
    const std::string name33(33, 'M');
    const std::string r = "0x00-0xff";
    ExpectCases({
        Pass("Module = \"M\" 0x10"),
        Pass("Module = \"M\" 0x00"),
        Pass("Module = \"M\" 0x30"),
        Fail("Module = \"M\" 0x40", BadConfig("Module")),
        Fail("Module = \"M\" 0x80", BadConfig("Module")),
        // A single special identifier fails even when it claims no bytes.
        Fail("Module = \"M\" 0x0F", BadConfig("Module")),
        Pass("Module = \"M\" 0x40,0x83"),
        Pass("Module = \"M\" 0x40, 0x83"),
        Fail("Module = \"M\" 0xC1,0x05", BadConfig("Module")),
        Pass("Module = \"M\" 0xC1,0x05,0x06,0x07"),
        Pass("Module = \"M\" 0x0F,0x10"),
        Pass("Module = \"M\" 0x13,0x23,0x33"),
        Fail("Module = \"M\" 0x41,0x01", BadConfig("Module")),
        Pass("Module = \"M\" 0x41,0x01,0x02"),
        Pass("Module = \"M\" 0x8F,0x01"),
        // Bytes that belong to an identifier are not read as identifiers.
        Pass("Module = \"M\" 0xC0,0x40,0x40"),
        Pass("Module = \"M\" 0x81,0x01,0x02,0x10"),
        Fail("Module = \"M\" 0x81,0x01,0x02,0x40", BadConfig("Module")),
        Fail("Module = \"M\" 0x10,0x100", OutOfRange("Module", r)),
        Fail("Module = \"M\" 0x40,0x100", OutOfRange("Module", r)),
        Fail("Module = \"M\" 0x100", OutOfRange("Module", r)),
        Fail("Module = \"M\" 0x10,", OutOfRange("Module", r)),
        Fail("Module = \"M\"", OutOfRange("Module", r)),
        Fail("Module = M 0x10", BadString("Module")),
        Fail("Module = \"M;N\" 0x40", BadString("Module")),
        Fail("Module=\"\"", Limit("Module", "String32")),
        Pass("Module = \"\" 0x10"),
        Fail("Module = \"" + name33 + "\" 0x40", Limit("Module", "String32")),
        Fail("Module \"M\" 0x10", EqualSign("Module")),
        Fail("MODULE = \"M\" 0x40", BadConfig("MODULE")),
    });
}

TEST(KeySyntaxCheck, IndexedKeysWithText) {
    const std::string text33 = "\"" + std::string(33, 't') + "\"";
    ExpectCases({
        Pass("Unit_Diag_Bit(16) = \"Overflow\""),
        Pass("Unit_Diag_Bit(495) = \"x\""),
        Pass("Unit_Diag_Bit(1) = \"\""),
        Pass("Unit_Diag_Bit(0x1EF) = \"x\""),
        Fail("Unit_Diag_Bit(0x1F0) = \"x\"", Limit("Unit_Diag_Bit", "USHORT: 0..495")),
        Fail("Unit_Diag_Bit(496) = \"x\"", Limit("Unit_Diag_Bit", "USHORT: 0..495")),
        Fail("Unit_Diag_Bit(70000) = \"x\"", Format("Unit_Diag_Bit", "Number")),
        Fail("Unit_Diag_Bit(1) = x", BadString("Unit_Diag_Bit")),
        Fail("Unit_Diag_Bit(1) = " + text33, Limit("Unit_Diag_Bit", "String32")),
        Fail("Unit_Diag_Bit(1) \"x\"", EqualSign("Unit_Diag_Bit")),
        Pass("Channel_Diag(255) = \"x\""),
        Fail("Channel_Diag(256) = \"x\"", Format("Channel_Diag", "Number")),
        Fail("Channel_Diag(1) = \"a;b\"", BadString("Channel_Diag")),
        Pass("Value(65535) = \"x\""),
        Fail("Value(65536) = \"x\"", Format("Value", "Number")),
        Fail("Value(1) = " + text33, Limit("Value", "String32")),
        Pass("ExtUserPrmData = 1 \"Name\""),
        Fail("ExtUserPrmData = 70000 \"Name\"", Format("ExtUserPrmData", "Number")),
        Fail("ExtUserPrmData = 1 Name", BadString("ExtUserPrmData")),
        Pass("Text(4) = \"x\""),
        Pass("Text(0xFFFFFFFE) = \"x\""),
        Fail("Text(0xFFFFFFFF) = \"x\"", Format("Text", "Number")),
        Fail("Text(-1) = \"x\"", Format("Text", "Number")),
    });
}

TEST(KeySyntaxCheck, IndexedKeysWithNumbers) {
    ExpectCases({
        Pass("Ext_User_Prm_Data_Ref(0) = 65535"),
        Pass("Ext_User_Prm_Data_Ref(255) = 0"),
        Fail("Ext_User_Prm_Data_Ref(256) = 1", Format("Ext_User_Prm_Data_Ref", "Number")),
        Fail("Ext_User_Prm_Data_Ref(0) = 65536", Format("Ext_User_Prm_Data_Ref", "Number")),
        Pass("Ext_User_Prm_Data_Const(237) = 0x01"),
        Pass("Ext_User_Prm_Data_Const(0) = 0x01, 0x02,0x03"),
        Fail("Ext_User_Prm_Data_Const(238) = 0x01", Limit("Ext_User_Prm_Data_Const", "UCHAR: 0..237")),
        Fail("Ext_User_Prm_Data_Const(256) = 0x01", Format("Ext_User_Prm_Data_Const", "Number")),
        Fail("Ext_User_Prm_Data_Const(0) = 0x01,0x100", OutOfRange("Ext_User_Prm_Data_Const", "0x00-0xff")),
        Fail("Ext_User_Prm_Data_Const(0) 0x01", EqualSign("Ext_User_Prm_Data_Const")),
    });
}

TEST(KeySyntaxCheck, UnitDiagAreaOfAtMostSixteenBits) {
    ExpectCases({
        Pass("Unit_Diag_Area = 16-31"),
        Pass("Unit_Diag_Area = 0-1"),
        Pass("Unit_Diag_Area = 480-495"),
        Pass("Unit_Diag_Area = 0x10-0x1F"),
        Fail("Unit_Diag_Area = 16-32", OutOfRange("Unit_Diag_Area", kArea)),
        Fail("Unit_Diag_Area = 20-20", OutOfRange("Unit_Diag_Area", kArea)),
        Fail("Unit_Diag_Area = 21-20", OutOfRange("Unit_Diag_Area", kArea)),
        // Without a hyphen both bits are the same number.
        Fail("Unit_Diag_Area = 16", OutOfRange("Unit_Diag_Area", kArea)),
        Fail("Unit_Diag_Area = 0-496", Limit("Unit_Diag_Area", "USHORT: 0..495")),
        Fail("Unit_Diag_Area = 496-500", Limit("Unit_Diag_Area", "USHORT: 0..495")),
        Fail("Unit_Diag_Area = x-5", Format("Unit_Diag_Area", "Number")),
        Fail("Unit_Diag_Area 16-23", EqualSign("Unit_Diag_Area")),
    });
}

TEST(KeySyntaxCheck, BlockEndsTakeNoValueAndNeedNoEqualSign) {
    ExpectCases({
        Pass("EndModule"),
        Pass("EndModule ; end of the module"),
        Pass("EndModule ="),
        Fail("EndModule = 1", TooMany("EndModule")),
        Fail("EndPrmText = x", TooMany("EndPrmText")),
        Fail("EndExtUserPrmData 1", TooMany("EndExtUserPrmData")),
        Fail("Unit_Diag_Area_End = 2", TooMany("Unit_Diag_Area_End")),
    });
}

TEST(KeySyntaxCheck, ModuleReferences) {
    ExpectCases({
        Pass("Module = \"M\" 0x10\n1\nEndModule"),
        Pass("Module = \"M\" 0x10\n0x10\nEndModule"),
        Pass("Module = \"M\" 0x10\n65535\nEndModule"),
        {"Module = \"M\" 0x10\n70000\nEndModule", {Err(2, Limit("Module_Reference", "USHORT: 0..65535"))}},
        {"Module = \"M\" 0x10\n1a2\nEndModule", {Err(2, Format("Module_Reference", "Number"))}},
        {"Module = \"M\" 0x10\n1k\nEndModule", {Warn(2, Unknown("1k"))}},
        {"1", {Warn(1, Unknown("1"))}},
        // Written out, the keyword is checked by its row and needs no equal sign.
        Pass("Module_Reference = 5"),
        Pass("Module_Reference 5"),
        Fail("Module_Reference = 70000", Limit("Module_Reference", "USHORT: 0..65535")),
        Fail("Module_Reference = x", Format("Module_Reference", "Number")),
    });
}

TEST(KeySyntaxCheck, ParameterDataTypeLines) {
    ExpectCases({
        Pass("Unsigned8 2 1,2,3"),
        Pass("Unsigned8 5 5-10"),
        Pass("Unsigned8 10 0x05-0x20"),
        Pass("Unsigned8 = 5 0-10"),
        Fail("Unsigned8 5 10-20", OutOfRange("Unsigned8", kMinMax)),
        Fail("UNSIGNED8 5 10-20", OutOfRange("UNSIGNED8", kMinMax)),
        Fail("Unsigned8 5 10-5", OutOfRange("Unsigned8", kMinMax)),
        Fail("Unsigned8 5 5-5", OutOfRange("Unsigned8", kMinMax)),
        Fail("Unsigned8 5 1,2,3", Allowed("Unsigned8", "1,2,3")),
        // The default is compared with the list by its text.
        Fail("Unsigned8 5 1,05,3", Allowed("Unsigned8", "1,05,3")),
        Fail("Unsigned8 256 0-255", Limit("Unsigned8", "UCHAR: 0..255")),
        Fail("Unsigned8 -1 0-255", Limit("Unsigned8", "UCHAR: 0..255")),
        Fail("Unsigned8 x 0-10", Format("Unsigned8", "Number")),
        Fail("Unsigned8 5 -1-10", OutOfRange("Unsigned8", "UCHAR: 0..255")),
        Fail("Unsigned8 5 0-300", OutOfRange("Unsigned8", "UCHAR: 0..255")),
        Fail("Unsigned8 5 a-10", Format("Unsigned8", "Min-Max")),
        Fail("Unsigned8 5 5", Format("Unsigned8", "Min-Max")),
        Fail("Unsigned8 5", Format("Unsigned8", "Min-Max")),
        Fail("Unsigned8 5 1,x,3", Format("Unsigned8", "Number")),
        Fail("Unsigned8 5 1,300,5", Limit("Unsigned8", "UCHAR: 0..255")),
        Fail("Unsigned8 5 1,5,", Format("Unsigned8", "Number")),
        // The default of an Unsigned8 is read without width, those of the wider
        // unsigned types with theirs.
        Fail("Unsigned8 0x1FF 0-10", Limit("Unsigned8", "UCHAR: 0..255")),
        Fail("Unsigned16 0x1FFFF 0-10", Format("Unsigned16", "Number")),
        Fail("Signed8 0x80 0-10", Limit("Signed8", "CHAR: -128..127")),
        Fail("Unsigned16 65536 0-65535", Format("Unsigned16", "Number")),
        Fail("Unsigned16 5 0-65536", OutOfRange("Unsigned16", "USHORT: 0..65535")),
        Pass("Unsigned16 65535 0-65535"),
        Fail("Unsigned32 0xFFFFFFFF 0-10", Format("Unsigned32", "Number")),
        Pass("Unsigned32 4294967295 0-4294967295"),
        Pass("Signed8 -5 -10-10"),
        Pass("Signed8 -5 -10--1"),
        Pass("Signed8 -128 -128-127"),
        Fail("Signed8 -129 -128-127", Limit("Signed8", "CHAR: -128..127")),
        Fail("Signed8 0 -129-0", OutOfRange("Signed8", "CHAR: -128..127")),
        Fail("Signed8 0 -1--5", OutOfRange("Signed8", kMinMax)),
        Fail("Signed16 0 -40000-0", OutOfRange("Signed16", "SHORT: -32768..32767")),
        Pass("Signed16 -32768 -32768,0"),
        Pass("Signed32 -2147483648 -2147483648-2147483647"),
        // Range tests read values as signed 32-bit numbers; only the range of
        // an Unsigned32 definition is compared in full.
        Pass("Signed32 0xFFFFFFFE -5-5"),
        Pass("Signed32 -2 -5,0xFFFFFFFE,-2"),
        Pass("Signed32 0 0xFFFFFFFB-5"),
        Pass("Signed8 -1 0xFFFFFFFB-0x5"),
        Pass("Unsigned32 0xFFFFFFFE 0-0xFFFFFFFE"),
    });
}

TEST(KeySyntaxCheck, BitLines) {
    ExpectCases({
        Pass("Bit(0) 1 0-1"),
        Pass("Bit(7) 0 0-1"),
        Pass("Bit(0) 1 0,1"),
        Fail("Bit(8) 1 0-1", OutOfRange("Bit", "UCHAR: 0..7")),
        Fail("Bit(0) 2 0-1", Limit("Bit", "BIT: 0|1")),
        Fail("Bit(0) 1 0-2", OutOfRange("Bit", "BIT: 0|1")),
        Fail("Bit(0) 1 -1-1", OutOfRange("Bit", "BIT: 0|1")),
        Fail("Bit(0) 1 0,2", Limit("Bit", "BIT: 0|1")),
        Fail("Bit(0) 1 0,0", Allowed("Bit", "0,0")),
        Fail("Bit(0) 1 0", Format("Bit", "Min-Max")),
        Fail("Bit(0) 0 1-1", OutOfRange("Bit", kMinMax)),
    });
}

TEST(KeySyntaxCheck, BitAreaLines) {
    const std::string tooLarge = "Min..Max too large for area";
    ExpectCases({
        Pass("BitArea(0-3) 5 0-15"),
        Pass("BitArea(0-7) 1 0-255"),
        Pass("BitArea(2-2) 1 0-1"),
        // The list form is not held to the area's width.
        Pass("BitArea(0-1) 1 0,1,200"),
        Fail("BitArea(0-3) 5 0-16", OutOfRange("BitArea", tooLarge)),
        Fail("BitArea(2-2) 1 0-2", OutOfRange("BitArea", tooLarge)),
        Fail("BitArea(3) 1 0-1", Format("BitArea", "Area: UCHAR-UCHAR")),
        Fail("BitArea(-1-2) 1 0-1", OutOfRange("BitArea", "UCHAR: 0..255")),
        Fail("BitArea(a-2) 1 0-1", Format("BitArea", "Number")),
        Fail("BitArea(0-8) 1 0-1", OutOfRange("BitArea", "UCHAR: 0..7")),
        Fail("BitArea(4-2) 1 0-1", OutOfRange("BitArea", "First_Bit<=Last_Bit & Last_Bit-FirstBit<7")),
        Fail("BitArea(0-3) 300 0-15", Limit("BitArea", "UCHAR: 0..255")),
        Fail("BitArea(0-3) 5 1,2,3", Allowed("BitArea", "1,2,3")),
        // The Min<Max message does not end the rule.
        {"BitArea(0-1) 9 9-1", {Err(1, OutOfRange("BitArea", kMinMax)), Err(1, OutOfRange("BitArea", tooLarge))}},
    });
}

TEST(KeySyntaxCheck, UnknownKeysAndKeywordCharacters) {
    ExpectCases({
        {"Foo = 1", {Warn(1, Unknown("Foo"))}},
        {"Foo", {Warn(1, Unknown("Foo"))}},
        {"#Foo = 1", {Warn(1, Hash("#Foo"))}},
        {"#PROFIBUS_DP", {Warn(1, Hash("#PROFIBUS_DP"))}},
        {"Vendor-Name#2 = 1", {Warn(1, Unknown("Vendor-Name#2"))}},
        {"Foo.Bar_1-2 = 1", {Warn(1, Unknown("Foo.Bar_1-2"))}},
        {"Key\t5", {Err(1, BadKeyChar("Key\t5")), Warn(1, Unknown("Key\t5"))}},
        {"Foo@Bar/x = 1",
         {Err(1, BadKeyChar("Foo@Bar/x")), Err(1, BadKeyChar("Foo@Bar/x")), Warn(1, Unknown("Foo@Bar/x"))}},
        {"GSD_Revision = 1\nFoo = 1\nBar = 2", {Warn(2, Unknown("Foo")), Warn(3, Unknown("Bar"))}},
    });
}

TEST(KeySyntaxCheck, BlanksInsideAKeywordAreReportedOneByOne) {
    struct {
        std::string keyword;
        int blanks;
    } cases[] = {{"A B", 1}, {"A B C", 2}, {"AB", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keyword);
        CVectorLineSource lines({"#Profibus_DP", c.keyword + " = 1"});
        CRowSink sink;
        CTalunaContext context;
        context.m_pMessages = &sink;
        context.m_CheckedDoc = {&lines, &lines};
        CKeyEntry entry(c.keyword, "1", 1);
        context.m_pCurEntry = &entry;
        ProcessKey(context, c.keyword, MODE_CHECK, "");
        std::vector<Row> expected(c.blanks, Err(1, BadKeyChar(c.keyword)));
        expected.push_back(Warn(1, Unknown(c.keyword)));
        EXPECT_EQ(taluna_test::ToRows(sink.m_Rows), expected);
    }
}

TEST(KeySyntaxCheck, LinesLongerThanEightyCharacters) {
    auto padded = [](std::string line, size_t length) {
        line += " ;";
        line.resize(length, 'x');
        return line;
    };
    const std::string long1 = padded("User_Prm_Data = 0x01,", 81) + "\\";
    const std::string long2 = padded("0x02,", 85) + "\\";
    const std::string long3 = "0x03" + std::string(90, ' ');
    ExpectCases({
        Pass(padded("GSD_Revision = 1", 80)),
        {padded("GSD_Revision = 1", 81), {Warn(1, kLongLine)}},
        {"GSD_Revision = 1" + std::string(65, ' '), {Warn(1, kLongLine)}},
        Pass("; " + std::string(100, 'c') + "\nGSD_Revision = 1"),
        {padded("GSD_Revision = 300", 90), {Warn(1, kLongLine), Err(1, Format("GSD_Revision", "Number"))}},
        // Every line of a continued key is measured.
        {long1 + "\n" + long2 + "\n" + long3 + "\nGSD_Revision = 1",
         {Warn(1, kLongLine), Warn(2, kLongLine), Warn(3, kLongLine)}},
        {"User_Prm_Data = 1,\\\n" + padded("2", 81) + "\nGSD_Revision = 1", {Warn(2, kLongLine)}},
    });
}

TEST(KeySyntaxCheck, LongHeaderAndCommentLinesAreNotMeasured) {
    CCheckOptions options;
    options.m_bNoSemantic = true;
    const std::string text =
        "; " + std::string(90, 'c') + "\n#Profibus_DP ;" + std::string(100, 'c') + "\nGSD_Revision = 1\n";
    EXPECT_EQ(taluna_test::SyntaxSection(CheckGsdText(text, options)), std::vector<Row>{kFinished});
}

TEST(KeySyntaxCheck, LinesAreReadAsAtMost1024Characters) {
    // The closing quote beyond the 1024th character is not seen.
    const std::string longName = "Vendor_Name = \"" + std::string(1020, 'x') + "\"";
    // The backslash beyond the 1024th character does not join the next line.
    const std::string longList = "User_Prm_Data = 1," + std::string(1010, ' ') + "\\";
    ExpectCases({
        {longName, {Warn(1, kLongLine), Err(1, BadString("Vendor_Name"))}},
        {longList + "\nFoo = 1",
         {Warn(1, kLongLine), Err(1, OutOfRange("User_Prm_Data", "0x00-0xff")), Warn(2, Unknown("Foo"))}},
    });
}

TEST(KeySyntaxCheck, MessagesOfAContinuedKeyNameItsFirstLine) {
    ExpectCases({
        Fail("GSD_Revision = \\\n300", Format("GSD_Revision", "Number")),
        {"\nUser_Prm_Data = 1,\\\n0x100\nFoo = 1",
         {Err(2, OutOfRange("User_Prm_Data", "0x00-0xff")), Warn(4, Unknown("Foo"))}},
    });
}

TEST(KeySyntaxCheck, EqualSignRules) {
    ExpectCases({
        Fail("GSD_Revision 1", EqualSign("GSD_Revision")),
        Fail("GSD_Revision = 1 = 2", Format("GSD_Revision", "Number")),
        Pass("GSD_Revision = 1 ; = 2"),
        Pass("Vendor_Name = \"A=B\""),
        Fail("Model_Name = 1 = \"x\"", EqualSign("Model_Name")),
        // Only the first line of a continued key is read for the equal sign.
        Fail("GSD_Revision \\\n= 1", EqualSign("GSD_Revision")),
    });
}

struct SUserKeyCase {
    std::string registration;
    std::string line;
    std::vector<Row> rows;
};

void ExpectUserKeyCases(const std::string& name, const std::vector<SUserKeyCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE("registration [" + c.registration + "] line [" + c.line + "]");
        CMemoryProfileStore profile;
        profile.PutString("UserKeys", name, c.registration);
        const std::vector<Row> expected = c.rows.empty() ? std::vector<Row>{kFinished} : c.rows;
        EXPECT_EQ(SyntaxRows(c.line, &profile), expected);
    }
}

TEST(UserKeyCheck, StringKeysAreLimitedByTheRangeText) {
    ExpectUserKeyCases("MYSTR",
                       {
                           {"0;0;8", "MyStr = \"ABCDEFGH\"", {}},
                           {"0;0;8", "MyStr = \"ABCDEFGH\" ; note", {}},
                           {"0;0;8", "MyStr = \"ABCDEFGHI\"", {Err(1, Limit("MyStr", "String8"))}},
                           {"0;0;8", "MyStr = ABC", {Err(1, BadString("MyStr"))}},
                           {"0;0;8", "MyStr=\"\"", {Err(1, Limit("MyStr", "String8"))}},
                           {"0;0;8", "MyStr = \"\"", {}},
                           {"0;0;8", "MyStr \"ABC\"", {Err(1, EqualSign("MyStr"))}},
                           {"0;0;32", "mystr = \"" + std::string(33, 'a') + "\"", {Err(1, Limit("mystr", "String32"))}},
                           // The limit is the number at the start of the range text, as atoi reads it.
                           {"0;0; 4 chars", "MyStr = \"ABCD\"", {}},
                           {"0;0;Len 10", "MyStr = \"A\"", {Err(1, Limit("MyStr", "StringLen 10"))}},
                           {"0;0;-1", "MyStr = \"\"", {Err(1, Limit("MyStr", "String-1"))}},
                           {"", "MyStr = \"ABC\"", {Warn(1, Unknown("MyStr"))}},
                       });
}

TEST(UserKeyCheck, NumberKeysWithATypeName) {
    const std::string u8 = "UCHAR: 0..255 (unsigned 8 Bit)";
    const std::string u16 = "USHORT: 0..65535 (unsigned 16 Bit)";
    const std::string u32 = "UINT: 0..4194967295 (unsigned 32 Bit)";
    const std::string s8 = "CHAR: -128..127 (signed 8 Bit)";
    const std::string s16 = "SHORT: -32768..32767 (signed 16 Bit)";
    const std::string s32 = "INT: -2147483648..2147483647 (signed 32 Bit)";
    ExpectUserKeyCases("MYNUM", {
                                    {"1;1;UCHAR", "MyNum = 255", {}},
                                    {"1;1;UCHAR", "MyNum = 256", {Err(1, Limit("MyNum", u8))}},
                                    {"1;1;UCHAR", "MyNum = -1", {Err(1, Limit("MyNum", u8))}},
                                    {"1;1;UCHAR", "MyNum =", {Err(1, Limit("MyNum", u8))}},
                                    {"1;1;uchar: 0..255", "MyNum = 256", {Err(1, Limit("MyNum", u8))}},
                                    {"1;1;USHORT", "MyNum = 65535", {}},
                                    {"1;1;USHORT", "MyNum = 65536", {Err(1, Limit("MyNum", u16))}},
                                    {"1;1;UINT", "MyNum = 0xFFFFFFFE", {}},
                                    {"1;1;UINT", "MyNum = 0xFFFFFFFF", {Err(1, Limit("MyNum", u32))}},
                                    {"1;1;CHAR", "MyNum = 127", {}},
                                    {"1;1;CHAR", "MyNum = -128", {}},
                                    {"1;1;CHAR", "MyNum = 128", {Err(1, Limit("MyNum", s8))}},
                                    {"1;1;CHAR", "MyNum = -129", {Err(1, Limit("MyNum", s8))}},
                                    {"1;1;SHORT", "MyNum = -32768", {}},
                                    {"1;1;SHORT", "MyNum = 32768", {Err(1, Limit("MyNum", s16))}},
                                    {"1;1;INT", "MyNum = -2147483648", {}},
                                    {"1;1;INT", "MyNum = 0x80000000", {Err(1, Limit("MyNum", s32))}},
                                    {"1;1;UCHAR", "MyNum 5", {Err(1, EqualSign("MyNum"))}},
                                });
}

TEST(UserKeyCheck, NumberKeysWithValuesOrARange) {
    ExpectUserKeyCases("MYNUM", {
                                    {"1;1;5", "MyNum = 5", {}},
                                    {"1;1;5", "MyNum = 0x5", {}},
                                    {"1;1;5", "MyNum = 6", {Err(1, Allowed("MyNum", "5"))}},
                                    {"1;1;5", "MyNum = x", {Err(1, Format("MyNum", "Number"))}},
                                    {"1;1;abc", "MyNum = 5", {Err(1, Format("MyNum", "Allowed Value"))}},
                                    {"1;1;10-20", "MyNum = 10", {}},
                                    {"1;1;10-20", "MyNum = 20", {}},
                                    {"1;1;10-20", "MyNum = 9", {Err(1, OutOfRange("MyNum", "10-20"))}},
                                    {"1;1;10-20", "MyNum = 21", {Err(1, OutOfRange("MyNum", "10-20"))}},
                                    {"1;1;10-20", "MyNum = x", {Err(1, Format("MyNum", "Number"))}},
                                    {"1;1;x-20", "MyNum = 15", {Err(1, Format("MyNum", "Min-Max"))}},
                                    {"1;1;-5-5", "MyNum = -3", {}},
                                    {"1;1;-5-5", "MyNum = -6", {Err(1, OutOfRange("MyNum", "-5-5"))}},
                                    {"1;1;-5-5", "MyNum = 0xFFFFFFFE", {}},
                                    {"1;1;-2,0,1", "MyNum = 0xFFFFFFFE", {}},
                                    {"1;1;-1,0,1", "MyNum = -1", {}},
                                    {"1;1;-1,0,1", "MyNum = 1", {}},
                                    {"1;1;-1,0,1", "MyNum = 2", {Err(1, Allowed("MyNum", "-1,0,1"))}},
                                    {"1;1;-1,0,1", "MyNum = x", {Err(1, Format("MyNum", "Number"))}},
                                    {"1;1;1,2,3", "MyNum = 2", {}},
                                    {"1;1;1,2,3", "MyNum = 4", {Err(1, Allowed("MyNum", "1,2,3"))}},
                                });
}

TEST(UserKeyCheck, BooleanAndOctetKeys) {
    ExpectUserKeyCases("MYBOOL", {
                                     {"2;0;", "MyBool = 1", {}},
                                     {"2;0;", "MyBool = 0", {}},
                                     {"2;0;", "MyBool = 2", {Err(1, Allowed("MyBool", "0|1"))}},
                                     {"2;0;", "MyBool = 10", {Err(1, Format("MyBool", "Number"))}},
                                     {"2;0;", "MyBool 1", {Err(1, EqualSign("MyBool"))}},
                                 });
    ExpectUserKeyCases("MYOCT",
                       {
                           {"3;3;", "MyOct = 1,2,3", {}},
                           {"3;3;", "MyOct = 0xff", {}},
                           {"3;3;", "MyOct = 1,2,0x100", {Err(1, Limit("MyOct", "UCHAR: 0..255 (unsigned 8 Bit)"))}},
                           {"3;3;", "MyOct = 0x100", {Err(1, Limit("MyOct", "UCHAR: 0..255 (unsigned 8 Bit)"))}},
                       });
}

TEST(UserKeyCheck, RegisteredCatalogueKeyIsCheckedByItsRegistration) {
    ExpectUserKeyCases("GSD_REVISION", {
                                           {"1;0;10", "GSD_Revision = 10", {}},
                                           {"1;0;10", "GSD_Revision = 5", {Err(1, Allowed("GSD_Revision", "10"))}},
                                           // The registration's range replaces the catalogue's width.
                                           {"1;0;300", "GSD_Revision = 300", {}},
                                       });
    ExpectUserKeyCases("VENDOR_NAME",
                       {
                           {"0;0;8", "Vendor_Name = \"ABCDEFGH\"", {}},
                           {"0;0;8", "Vendor_Name = \"ABCDEFGHI\"", {Err(1, Limit("Vendor_Name", "String8"))}},
                       });
}

TEST(SyntaxFlag, SetOnlyWhenTheRulePasses) {
    struct {
        std::string line;
        int syntaxOk;
        int values;
    } cases[] = {
        {"User_Prm_Data = 0x01,0x100,0x02", 0, -1},
        {"User_Prm_Data = 0x01, 0x02", 1, 2},
        {"User_Prm_Data = 7", 1, 1},
        {"Module = \"M\" 0x13,0x23,0x33", 1, 3},
        {"Module = \"M\" 0x40", 1, 1},
        {"Module = \"M\" 0xC1,0x05", 1, 2},
        {"Module = \"M\" 0x10,0x100", 0, -1},
        {"Module = M 0x10", 0, -1},
        {"Ext_User_Prm_Data_Const(0) = 1,2,3", 1, 3},
        {"Unsigned8 2 1,2,3", 1, 3},
        {"Unsigned8 5 1,2,3", 0, -1},
        {"Slave_Family = 3@@x", 1, -1},
        {"Slave_Family = 3@a@b@c@d", 0, -1},
        {"BitArea(0-1) 9 9-1", 0, -1},
        {"FMS_supp = 2", 0, -1},
        {"FMS_supp = 1", 1, -1},
        {"EndModule", 1, -1},
        {"EndModule = 1", 0, -1},
        {"Module_Reference = 5", 1, -1},
        {"Unit_Diag_Area = 16-31", 1, -1},
        {"Vendor_Name = \"v\"", 1, -1},
        {"Vendor_Name=\"\"", 0, -1},
        {"Foo = 1", 0, -1},
        {"#Foo = 1", 0, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CCheckedText doc(c.line);
        doc.Run();
        const CKeyEntry* e = doc.EntryAtLine(1);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->m_bSyntaxOk, c.syntaxOk);
        if (c.values >= 0) {
            EXPECT_EQ(e->m_nValues, c.values);
        }
    }
}

TEST(SyntaxFlag, UserKeyCheckNeverSetsIt) {
    CCheckedText doc("MyNum = 5\nGSD_Revision = 10");
    doc.m_Profile.PutString("UserKeys", "MYNUM", "1;1;5");
    doc.m_Profile.PutString("UserKeys", "GSD_REVISION", "1;0;10");
    doc.Run();
    ASSERT_EQ(doc.m_Database.GetCount(), 2);
    EXPECT_EQ(doc.m_Database.GetAt(0)->m_bSyntaxOk, 0);
    EXPECT_EQ(doc.m_Database.GetAt(1)->m_bSyntaxOk, 0);
    EXPECT_EQ(taluna_test::SyntaxSection(doc.m_Sink.m_Rows), std::vector<Row>{kFinished});
}

TEST(CheckGsdFlow, TextWithoutHeaderReportsAnEmptyDatabase) {
    CCheckOptions options;
    const std::vector<Row> expected = {
        {CheckMessageKind::Note, 0, "Start Syntax-Check..."},
        {CheckMessageKind::FatalError, -1, MessageText(IDS_DATABASE_EMPTY)},
        {CheckMessageKind::Note, 0, "Stop Syntax-Check..."},
        {CheckMessageKind::Note, 0, "Start Semantic-Check..."},
        kFinished,
        {CheckMessageKind::Note, 0, "Stop Semantic-Check..."},
    };
    EXPECT_EQ(taluna_test::ToRows(CheckGsdText("GSD_Revision = 1\n", options)), expected);
}

TEST(CheckGsdFlow, EmptyDatabaseAndCleanPassRowsCarryTheirIds) {
    CCheckOptions options;
    options.m_bNoSemantic = true;
    const auto rows = CheckGsdText("; no header\n", options);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1].m_nKind, CheckMessageKind::FatalError);
    EXPECT_EQ(rows[1].m_nId, 65140);
    EXPECT_EQ(rows[1].LineText(), "---");
    EXPECT_EQ(rows[1].KindText(), "Fatal Error");
    const auto clean = CheckGsdText("#Profibus_DP\nGSD_Revision = 1\n", options);
    ASSERT_EQ(clean.size(), 4u);
    EXPECT_EQ(clean[1].m_Text, kFinished.text);
    EXPECT_EQ(clean[1].m_nId, 65146);
    EXPECT_EQ(clean[1].LineText(), "---");
    EXPECT_EQ(clean[1].KindText(), "Info");
}

TEST(CheckGsdFlow, FailSafeSettingSkipsTheSemanticCheck) {
    CCheckOptions options;
    options.m_bNoSemantic = true;
    const std::vector<Row> clean = {
        {CheckMessageKind::Note, 0, "Start Syntax-Check..."},
        kFinished,
        {CheckMessageKind::Note, 0, "Stop Syntax-Check..."},
        {CheckMessageKind::Note, 0, "FailSafe-Mode: Skipping semantic check."},
    };
    EXPECT_EQ(taluna_test::ToRows(CheckGsdText("#Profibus_DP\nGSD_Revision = 1\n", options)), clean);
}

TEST(CheckGsdFlow, SuppressedWarningsStillCountAsMessages) {
    CCheckOptions options;
    options.m_bNoSemantic = true;
    options.m_bNoWarnings = true;
    const std::vector<Row> expected = {
        {CheckMessageKind::Note, 0, "Start Syntax-Check..."},
        {CheckMessageKind::Note, 0, "Stop Syntax-Check..."},
        {CheckMessageKind::Note, 0, "FailSafe-Mode: Skipping semantic check."},
    };
    EXPECT_EQ(taluna_test::ToRows(CheckGsdText("#Profibus_DP\nFoo = 1\n#Bar = 2\n", options)), expected);
    // Errors are still listed.
    const auto rows = taluna_test::SyntaxSection(CheckGsdText("#Profibus_DP\nFoo = 1\nFMS_supp = 2\n", options));
    EXPECT_EQ(rows, std::vector<Row>{Err(2, Allowed("FMS_supp", "0|1"))});
}

TEST(CheckGsdFlow, FindingsCarryTheirIdAndDocument) {
    CCheckedText doc(
        "Revision_Number = 64\nFMS_supp = 2\nUser_Prm_Data = 0x100\nFoo = 1\nEndModule = 1\n"
        "Bitmap_SF = \"a.b\"\nVendor_Name = x\nGSD_Revision 1\n#Foo = 1\nModule = \"M\" 0x40\n"
        "GSD_Revision = 300\nK@y = 1\n" +
        std::string(81, ';'));
    doc.Run();
    struct {
        int id;
        int line;
    } expected[] = {{130, 1},   {131, 2},   {132, 3},    {133, 4},  {135, 5},  {137, 6}, {145, 7},
                    {65134, 8}, {65139, 9}, {65141, 10}, {134, 11}, {138, 12}, {133, 12}};
    std::vector<CCheckMessage> findings;
    for (const auto& m : doc.m_Sink.m_Rows) {
        if (m.m_nKind == CheckMessageKind::Note) {
            EXPECT_EQ(m.m_pDoc, nullptr) << m.m_Text;
            continue;
        }
        findings.push_back(m);
    }
    ASSERT_EQ(findings.size(), std::size(expected));
    for (size_t i = 0; i < findings.size(); ++i) {
        SCOPED_TRACE(findings[i].m_Text);
        EXPECT_EQ(findings[i].m_nId, expected[i].id);
        EXPECT_EQ(findings[i].m_nLine, expected[i].line);
        EXPECT_EQ(findings[i].m_pDoc, &doc);
    }
}

TEST(CheckGsdFlow, LongLineWarningCarriesItsId) {
    CCheckedText doc("GSD_Revision = 1 ;" + std::string(70, 'x'));
    doc.Run();
    const auto rows = taluna_test::SyntaxSection(doc.m_Sink.m_Rows);
    ASSERT_EQ(rows, std::vector<Row>{Warn(1, kLongLine)});
    for (const auto& m : doc.m_Sink.m_Rows)
        if (m.m_nKind == CheckMessageKind::Warning) {
            EXPECT_EQ(m.m_nId, 136);
        }
}

TEST(CheckGsdFlow, RunningTwiceGivesTheSameRowsAndLeavesNoCursor) {
    CCheckedText doc("Module = \"M\" 0x40\nFMS_supp = 2\nFoo = 1");
    doc.Run();
    const auto first = taluna_test::ToRows(doc.m_Sink.m_Rows);
    doc.Run();
    EXPECT_EQ(taluna_test::ToRows(doc.m_Sink.m_Rows), first);
    EXPECT_EQ(doc.m_Database.GetCount(), 3);
    EXPECT_EQ(doc.m_Context.m_pCurEntry, nullptr);
    EXPECT_EQ(doc.m_Context.m_pOpenBlock, nullptr);
    EXPECT_EQ(doc.m_Context.m_Form.m_nFormMode, 0);
}

}  // namespace
