// Semantic check: where keywords may stand, how often, which ones a file must
// have, and which ones fit its station type and GSD revision.

#include <gtest/gtest.h>

#include "semantic_test_support.h"

using namespace semantic_test;

namespace {

const auto* S = &SlaveBase();
const auto* M = &MasterBase();
constexpr int T = kSlaveEnd;    // first appended line of a slave case
constexpr int TM = kMasterEnd;  // first appended line of a master case

// A PrmText and an ExtUserPrmData that use each other, with the room for them:
// together silent.
const std::vector<std::string> kParameterBlock = {
    "Max_User_Prm_Data_Len = 4",     // +0
    "PrmText = 1",                   // +1
    "Text(0) = \"Off\"",             // +2
    "Text(1) = \"On\"",              // +3
    "EndPrmText",                    // +4
    "ExtUserPrmData = 1 \"Mode\"",   // +5
    "Unsigned8 0 0-1",               // +6
    "Prm_Text_Ref = 1",              // +7
    "EndExtUserPrmData",             // +8
    "Ext_User_Prm_Data_Ref(0) = 1",  // +9
};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(SemanticPlaces, BlockKeywordsOutsideTheirBlockAreNotCounted) {
    CheckCases({
        {"a complete parameter block in place stays silent", S, {}, kParameterBlock, {}},
        {"Text at top level", S, {}, {"Text(0) = \"a\""}, {R(64505, W, T, {"Text"})}},
        {"EndPrmText at top level", S, {}, {"EndPrmText"}, {R(64505, W, T, {"EndPrmText"})}},
        {"Prm_Text_Ref at top level", S, {}, {"Prm_Text_Ref = 1"}, {R(64506, W, T, {"Prm_Text_Ref"})}},
        {"data type at top level", S, {}, {"Bit(0) 0 0-1"}, {R(64506, W, T, {"Bit"})}},
        {"EndExtUserPrmData at top level", S, {}, {"EndExtUserPrmData"}, {R(64506, W, T, {"EndExtUserPrmData"})}},
        {"EndModule at top level, the module count stays balanced",
         S,
         {},
         {"EndModule"},
         {R(64507, W, T, {"EndModule"})}},
        {"Ext_Module_Prm_Data_Len at top level is not accepted, so its length rule stays silent",
         S,
         {},
         {"Ext_Module_Prm_Data_Len = 2"},
         {R(64507, W, T, {"Ext_Module_Prm_Data_Len"})}},
        {"Channel_Diag at top level", S, {}, {"Channel_Diag(3) = \"Short\""}, {R(64507, W, T, {"Channel_Diag"})}},
        {"Module_Reference written as a key at top level",
         S,
         {},
         {"Module_Reference = 5"},
         {R(64507, W, T, {"Module_Reference"})}},
        {"Value at top level", S, {}, {"Value(1) = \"High\""}, {R(64508, W, T, {"Value"})}},
        {"Unit_Diag_Area_End at top level", S, {}, {"Unit_Diag_Area_End"}, {R(64508, W, T, {"Unit_Diag_Area_End"})}},
    });
}

TEST(SemanticPlaces, TopLevelKeywordsInsideABlock) {
    CheckCases({
        {"inside a PrmText, then the unused PrmText",
         S,
         {},
         {"PrmText = 1", "Text(0) = \"a\"", "Redundancy = 0", "EndPrmText"},
         {R(64509, W, T + 2, {"Redundancy"}), R(64641, W, T, {"1"})}},
        {"inside an ExtUserPrmData, then the unused ExtUserPrmData",
         S,
         {},
         {"ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "Redundancy = 0", "EndExtUserPrmData"},
         {R(64510, W, T + 2, {"Redundancy"}), R(64630, W, T, {"1"})}},
        {"inside a Unit_Diag_Area",
         S,
         {},
         {"Unit_Diag_Area = 16-23", "Value(0) = \"a\"", "Redundancy = 0", "Unit_Diag_Area_End"},
         {R(64512, W, T + 2, {"Redundancy"})}},
        {"a Unit_Diag_Area with its value in place stays silent",
         S,
         {},
         {"Unit_Diag_Area = 16-23", "Value(0) = \"a\"", "Unit_Diag_Area_End"},
         {}},
        {"Vendor_Name only inside a Module is not counted and so is missing",
         S,
         {{kVendorLine, ";"}},
         {"Module = \"Out\" 0x20", "Vendor_Name = \"Inner\"", "EndModule"},
         {R(64511, W, T + 1, {"Vendor_Name"}), R(64202, E, T + 2, {"Vendor_Name"})}},
        {"constants and references may stand inside a Module",
         S,
         {},
         Join(kParameterBlock, {"Module = \"Out\" 0x20", "Ext_User_Prm_Data_Const(1) = 0x00", "EndModule"}),
         {}},
    });
}

TEST(SemanticPlaces, OnlyTheFirstFailingPlaceRuleIsReported) {
    // A PrmText keyword inside an ExtUserPrmData fails "inside PrmText" first and
    // so never reaches "not inside ExtUserPrmData".
    CheckCases({
        {"Text inside an ExtUserPrmData",
         S,
         {},
         {"ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "Text(0) = \"a\"", "EndExtUserPrmData"},
         {R(64505, W, T + 2, {"Text"}), R(64630, W, T, {"1"})}},
        {"EndModule inside a Unit_Diag_Area",
         S,
         {},
         {"Unit_Diag_Area = 16-23", "Value(0) = \"a\"", "EndModule", "Unit_Diag_Area_End"},
         {R(64507, W, T + 2, {"EndModule"})}},
    });
}

TEST(SemanticUniqueness, KeywordsDefinedTwice) {
    CheckCases({
        {"second Vendor_Name, named as written", S, {}, {"VENDOR_NAME = \"Other\""}, {R(64301, E, T, {"VENDOR_NAME"})}},
        {"second Station_Type is not recorded: the file stays a slave file",
         S,
         {},
         {"Station_Type = 1"},
         {R(64301, E, T, {"Station_Type"})}},
        {"second GSD_Revision is not recorded and not checked",
         S,
         {},
         {"GSD_Revision = 3"},
         {R(64301, E, T, {"GSD_Revision"})}},
        {"second Ident_Number of 0 is not checked", S, {}, {"Ident_Number = 0"}, {R(64301, E, T, {"Ident_Number"})}},
        {"second Protocol_Ident is accepted all the same and checked",
         S,
         {},
         {"Protocol_Ident = 16"},
         {R(64301, E, T, {"Protocol_Ident"}), R(64643, W, T, {"Protocol_Ident"})}},
        {"second 12M_supp of 1 sets no baud rate",
         S,
         {},
         {"12M_supp = 0", "12M_supp = 1"},
         {R(64301, E, T + 1, {"12M_supp"})}},
        {"every further occurrence reports",
         S,
         {},
         {"Model_Name = \"B\"", "Model_Name = \"C\""},
         {R(64301, E, T, {"Model_Name"}), R(64301, E, T + 1, {"Model_Name"})}},
    });
}

TEST(SemanticUniqueness, ContinuedEntriesReportAtTheirFirstLine) {
    CheckCases({
        {"a continued duplicate and the entry after it",
         S,
         {},
         {"Hardware_Release = \\", "  \"HW2\"", "Model_Name = \"M2\""},
         {R(64301, E, T, {"Hardware_Release"}), R(64301, E, T + 2, {"Model_Name"})},
         false},
    });
}

TEST(SemanticUniqueness, DataTypeAndPrmTextReferenceOncePerExtUserPrmData) {
    CheckCases({
        {"two data types",
         S,
         {},
         {"ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "Unsigned16 0 0-1", "EndExtUserPrmData"},
         {R(64303, E, T + 2), R(64630, W, T, {"1"})}},
        {"two Prm_Text_Ref",
         S,
         {},
         {"PrmText = 1", "Text(0) = \"a\"", "EndPrmText", "ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1",
          "Prm_Text_Ref = 1", "Prm_Text_Ref = 1", "EndExtUserPrmData"},
         {R(64303, E, T + 6), R(64630, W, T + 3, {"1"})}},
        {"one Prm_Text_Ref in each of two definitions",
         S,
         {},
         Join(kParameterBlock, {"ExtUserPrmData = 2 \"N\"", "Unsigned8 0 0-1", "Prm_Text_Ref = 1", "EndExtUserPrmData",
                                "Ext_User_Prm_Data_Ref(1) = 2"}),
         {}},
    });
}

TEST(SemanticUniqueness, ModuleKeywordsOncePerModule) {
    CheckCases({
        {"two Module_Reference in one module",
         S,
         {},
         {"Module = \"Out\" 0x20", "1", "2", "EndModule"},
         {R(64304, E, T + 2, {"Module_Reference"})}},
        {"one Module_Reference in each of two modules",
         S,
         {},
         {"Module = \"Out\" 0x20", "1", "EndModule", "Module = \"Both\" 0x30", "2", "EndModule"},
         {}},
        {"two Ext_Module_Prm_Data_Len in one module: the second is not recorded",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Module = \"Out\" 0x20", "Ext_Module_Prm_Data_Len = 2",
          "Ext_Module_Prm_Data_Len = 3", "Ext_User_Prm_Data_Const(0) = 0x00,0x00", "EndModule"},
         {R(64304, E, T + 3, {"Ext_Module_Prm_Data_Len"})}},
        {"one Ext_Module_Prm_Data_Len in each of two modules",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Module = \"Out\" 0x20", "Ext_Module_Prm_Data_Len = 1",
          "Ext_User_Prm_Data_Const(0) = 0x00", "EndModule", "Module = \"Both\" 0x30", "Ext_Module_Prm_Data_Len = 1",
          "Ext_User_Prm_Data_Const(0) = 0x00", "EndModule"},
         {}},
    });
}

TEST(SemanticFinalRules, MandatoryGeneralKeywords) {
    const std::vector<std::string> general = {"Vendor_Name",    "Model_Name",   "Revision",         "Ident_Number",
                                              "Protocol_Ident", "Station_Type", "Hardware_Release", "Software_Release"};
    std::vector<Row> all;
    for (const auto& keyword : general) all.push_back(R(64202, E, kEndModuleLine, {keyword}));
    CheckCases({
        {"all eight missing, in their order, at the last entry",
         S,
         {{kVendorLine, ";"},
          {kModelLine, ";"},
          {kRevisionTextLine, ";"},
          {kIdentLine, ";"},
          {kProtocolLine, ";"},
          {kStationLine, ";"},
          {kHardwareLine, ";"},
          {kSoftwareLine, ";"}},
         {},
         all},
        {"the last entry's line, not a comment after it",
         S,
         {{kSoftwareLine, ";"}},
         {"; trailing comment", ""},
         {R(64202, E, kEndModuleLine, {"Software_Release"})}},
        {"a keyword with an invalid value still counts as present",
         S,
         {{kIdentLine, "Ident_Number = 0x10000"}},
         {},
         {},
         false},
    });
}

TEST(SemanticFinalRules, BaudRateAndMaxTsdrGroups) {
    CheckCases({
        {"no rate has the value 1; MaxTsdr still finds its support keyword",
         S,
         {{kSupp96Line, "9.6_supp = 0"}},
         {},
         {R(64203, E, kEndModuleLine)}},
        {"no support keyword at all",
         S,
         {{kSupp96Line, ";"}},
         {},
         {R(64606, E, kMaxTsdr96Line), R(64203, E, kEndModuleLine)}},
        {"no MaxTsdr keyword", S, {{kMaxTsdr96Line, ";"}}, {}, {R(64601, E, kSupp96Line), R(64204, E, kEndModuleLine)}},
        {"a second rate with MaxTsdr stays silent", S, {}, {"12M_supp = 1", "MaxTsdr_12M = 800"}, {}},
    });
}

TEST(SemanticFinalRules, MasterKeywordGroups) {
    const int last = kMasterSlavesLine;
    CheckCases({
        {"five mandatory master keywords missing",
         M,
         {{kMasterMpsLine, ";"},
          {kMasterLsduMsLine, ";"},
          {kMasterLsduMmLine, ";"},
          {kMasterPollLine, ";"},
          {kMasterSlavesLine, ";"}},
         {},
         {R(64206, E, kMasterTsdiLine, {"Max_MPS_Length"}), R(64206, E, kMasterTsdiLine, {"Max_Lsdu_MS"}),
          R(64206, E, kMasterTsdiLine, {"Max_Lsdu_MM"}), R(64206, E, kMasterTsdiLine, {"Min_Poll_Timeout"}),
          R(64206, E, kMasterTsdiLine, {"Max_Slaves_supp"})}},
        {"no Trdy at all: once at the supported rate, once at the end",
         M,
         {{kMasterTrdyLine, ";"}},
         {},
         {R(64602, E, kMasterSupp96Line), R(64207, E, last)}},
        {"no time parameters at all",
         M,
         {{kMasterTrdyLine, ";"}, {kMasterTquiLine, ";"}, {kMasterTsetLine, ";"}, {kMasterTsdiLine, ";"}},
         {},
         {R(64602, E, kMasterSupp96Line), R(64603, E, kMasterSupp96Line), R(64604, E, kMasterSupp96Line),
          R(64605, E, kMasterSupp96Line), R(64207, E, last), R(64208, E, last), R(64209, E, last), R(64210, E, last)}},
    });
}

TEST(SemanticFinalRules, SlaveKeywordGroups) {
    const std::vector<std::string> modularKeys = {"Max_Module = 2", "Max_Input_Len = 2", "Max_Output_Len = 2",
                                                  "Max_Data_Len = 4"};
    CheckCases({
        {"no Min_Slave_Intervall and no Module",
         S,
         {{kMinSlaveLine, ";"}, {kModuleLine, ";"}, {kEndModuleLine, ";"}},
         {},
         {R(64211, E, kFamilyLine, {"Min_Slave_Intervall"}), R(64211, E, kFamilyLine, {"Module"})}},
        {"revision 1 without Max_Diag_Data_Len and Slave_Family",
         S,
         {{kMaxDiagLine, ";"}, {kFamilyLine, ";"}},
         {},
         {R(64212, E, kEndModuleLine, {"Max_Diag_Data_Len"}), R(64212, E, kEndModuleLine, {"Slave_Family"})}},
        {"revision 0 needs neither", S, Revision0Edits(), {}, {}},
        {"modular slave without its four keywords",
         S,
         {},
         {"Modular_Station = 1"},
         {R(64213, E, T, {"Max_Module"}), R(64213, E, T, {"Max_Input_Len"}), R(64213, E, T, {"Max_Output_Len"}),
          R(64213, E, T, {"Max_Data_Len"})}},
        {"modular slave with its four keywords", S, {}, Join({"Modular_Station = 1"}, modularKeys), {}},
        {"unknown station type: no slave and no master rule",
         S,
         {{kStationLine, ";"}, {kMinSlaveLine, ";"}, {kModuleLine, ";"}, {kEndModuleLine, ";"}},
         {"Download_supp = 1"},
         {R(64202, E, T, {"Station_Type"})}},
        {"an invalid Station_Type counts but leaves the type unknown",
         S,
         {{kStationLine, "Station_Type = 2"}, {kMinSlaveLine, ";"}},
         {"Download_supp = 1"},
         {},
         false},
    });
}

TEST(SemanticFinalRules, FinalRulesReportInTheirFixedOrder) {
    const int last = T + 2;
    CheckCases({
        {"one slave file missing something of every final family",
         S,
         {{kVendorLine, ";"},
          {kSupp96Line, "9.6_supp = 0"},
          {kMaxTsdr96Line, ";"},
          {kMinSlaveLine, ";"},
          {kMaxDiagLine, ";"}},
         {"Modular_Station = 1", "PrmText = 1", "Text(0) = \"a\""},
         {R(64202, E, last, {"Vendor_Name"}), R(64203, E, last), R(64204, E, last),
          R(64211, E, last, {"Min_Slave_Intervall"}), R(64212, E, last, {"Max_Diag_Data_Len"}),
          R(64213, E, last, {"Max_Module"}), R(64213, E, last, {"Max_Input_Len"}),
          R(64213, E, last, {"Max_Output_Len"}), R(64213, E, last, {"Max_Data_Len"}), R(64217, E, last, {"PrmText"})}},
    });
}

TEST(SemanticFinalRules, UnfinishedBlocks) {
    CheckCases({
        {"Unit_Diag_Area",
         S,
         {},
         {"Unit_Diag_Area = 16-23", "Value(0) = \"a\""},
         {R(64217, E, T + 1, {"Unit_Diag_Area"})}},
        {"ExtUserPrmData, which is then never completed and so not unreferenced",
         S,
         {},
         {"ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1"},
         {R(64217, E, T + 1, {"ExtUserPrmData"})}},
        {"PrmText", S, {}, {"PrmText = 1", "Text(0) = \"a\""}, {R(64217, E, T + 1, {"PrmText"})}},
        {"Module", S, {}, {"Module = \"Out\" 0x20"}, {R(64217, E, T, {"Module"})}},
        {"Module closed in another letter case", S, {}, {"Module = \"Out\" 0x20", "endmodule"}, {}},
    });
}

TEST(SemanticFinalRules, EmptyBlocks) {
    CheckCases({
        {"PrmText without Text", S, {}, {"PrmText = 1", "EndPrmText"}, {R(64214, E, T + 1, {"Text"})}},
        {"ExtUserPrmData without data type",
         S,
         {},
         {"ExtUserPrmData = 1 \"M\"", "EndExtUserPrmData"},
         {R(64215, E, T + 1, {"Data_Type_Name"})}},
        {"Unit_Diag_Area without Value",
         S,
         {},
         {"Unit_Diag_Area = 16-23", "Unit_Diag_Area_End"},
         {R(64218, E, T + 1, {"Value"})}},
    });
}

TEST(SemanticRevision, RevisionAboveTwoIsCheckedAsTwo) {
    CheckCases({
        {"revision 1, family 11", S, {{kFamilyLine, "Slave_Family = 11"}}, {}, {}},
        {"revision 1, family 12", S, {{kFamilyLine, "Slave_Family = 12"}}, {}, {R(64431, E, kFamilyLine, {"12", "1"})}},
        {"revision 1, family 12 with subfamilies",
         S,
         {{kFamilyLine, "Slave_Family = 12@Digital@24V"}},
         {},
         {R(64431, E, kFamilyLine, {"12", "1"})}},
        {"revision 2, family 12", S, {{kRevisionLine, "GSD_Revision = 2"}, {kFamilyLine, "Slave_Family = 12"}}, {}, {}},
        {"revision 2, family 13",
         S,
         {{kRevisionLine, "GSD_Revision = 2"}, {kFamilyLine, "Slave_Family = 13"}},
         {},
         {R(64431, E, kFamilyLine, {"13", "2"})}},
        {"revision 3, family 12",
         S,
         {{kRevisionLine, "GSD_Revision = 3"}, {kFamilyLine, "Slave_Family = 12"}},
         {},
         {R(64433, W, kRevisionLine, {"3"})}},
        {"revision 255, family 13",
         S,
         {{kRevisionLine, "GSD_Revision = 255"}, {kFamilyLine, "Slave_Family = 13"}},
         {},
         {R(64433, W, kRevisionLine, {"255"}), R(64431, E, kFamilyLine, {"13", "2"})}},
        {"revision 1, family 0x0c",
         S,
         {{kFamilyLine, "Slave_Family = 0x0c"}},
         {},
         {R(64431, E, kFamilyLine, {"12", "1"})}},
        {"revision 0, family 12",
         S,
         {{kRevisionLine, ";"}, {kMaxDiagLine, ";"}, {kFamilyLine, "Slave_Family = 12"}},
         {},
         {R(64501, W, kFamilyLine, {"Slave_Family"}), R(64431, E, kFamilyLine, {"12", "0"})}},
    });
}

TEST(SemanticRevision, RevisionOneKeywordsInARevisionZeroFile) {
    struct Item {
        std::string line;
        std::string keyword;
    };
    const std::vector<Item> items = {
        {"31.25_supp = 0", "31.25_supp"},
        {"45.45_supp = 0", "45.45_supp"},
        {"Implementation_Type = \"ASIC\"", "Implementation_Type"},
        {"Bitmap_Device = \"DEV\"", "Bitmap_Device"},
        {"Bitmap_Diag = \"DIAG\"", "Bitmap_Diag"},
        {"Bitmap_SF = \"SF\"", "Bitmap_SF"},
        {"Fail_Safe = 0", "Fail_Safe"},
        {"Modul_Offset = 0", "Modul_Offset"},
        {"Max_User_Prm_Data_Len = 4", "Max_User_Prm_Data_Len"},
    };
    for (const auto& item : items) {
        CheckCases({
            {item.line + " at revision 0", S, Revision0Edits(), {item.line}, {R(64501, W, T, {item.keyword})}},
            {item.line + " at revision 1", S, {}, {item.line}, {}},
        });
    }
}

TEST(SemanticRevision, RevisionZeroDetails) {
    CheckCases({
        {"GSD_Revision 0 written out reports itself",
         S,
         {{kRevisionLine, "GSD_Revision = 0"}, {kMaxDiagLine, ";"}, {kFamilyLine, ";"}},
         {},
         {R(64501, W, kRevisionLine, {"GSD_Revision"})}},
        {"MaxTsdr_31.25 without its support keyword",
         S,
         Revision0Edits(),
         {"MaxTsdr_31.25 = 10"},
         {R(64501, W, T, {"MaxTsdr_31.25"}), R(64606, E, T)}},
        {"31.25_supp of 1 without MaxTsdr",
         S,
         Revision0Edits(),
         {"31.25_supp = 1"},
         {R(64501, W, T, {"31.25_supp"}), R(64601, E, T)}},
        {"a parameter block: every line of it",
         S,
         Revision0Edits(),
         {"ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "EndExtUserPrmData"},
         {R(64501, W, T, {"ExtUserPrmData"}), R(64630, W, T, {"1"}), R(64501, W, T + 1, {"Unsigned8"}),
          R(64501, W, T + 2, {"EndExtUserPrmData"})}},
        {"Unit_Diag_Area, Value and Unit_Diag_Area_End are no revision-1 keywords",
         S,
         {{kRevisionLine, ";"}, {kFamilyLine, ";"}},
         {"Unit_Diag_Area = 16-23", "Value(0) = \"a\"", "Unit_Diag_Area_End"},
         {R(64501, W, kMaxDiagLine, {"Max_Diag_Data_Len"})}},
        {"a revision-1 keyword in a wrong place is not counted but still reported",
         S,
         Revision0Edits(),
         {"Ext_Module_Prm_Data_Len = 2"},
         {R(64507, W, T, {"Ext_Module_Prm_Data_Len"}), R(64501, W, T, {"Ext_Module_Prm_Data_Len"})}},
    });
}

TEST(SemanticIdentity, IdentNumber) {
    CheckCases({
        {"0", S, {{kIdentLine, "Ident_Number = 0"}}, {}, {R(64435, E, kIdentLine, {"0000"})}},
        {"0x0000", S, {{kIdentLine, "Ident_Number = 0x0000"}}, {}, {R(64435, E, kIdentLine, {"0000"})}},
        {"1", S, {{kIdentLine, "Ident_Number = 1"}}, {}, {}},
        {"0xFFFF", S, {{kIdentLine, "Ident_Number = 0xFFFF"}}, {}, {}},
    });
}

TEST(SemanticIdentity, ReferenceNumberRangeDependsOnTheRevision) {
    const std::vector<std::string> bigNumbers = {
        "Max_User_Prm_Data_Len = 4",     "PrmText = 256",   "Text(0) = \"a\"",    "EndPrmText",
        "ExtUserPrmData = 300 \"M\"",    "Unsigned8 0 0-1", "Prm_Text_Ref = 256", "EndExtUserPrmData",
        "Ext_User_Prm_Data_Ref(0) = 300"};
    CheckCases({
        {"revision 1 limits to 255",
         S,
         {},
         bigNumbers,
         {R(64434, E, T + 1, {"256", "1"}), R(64434, E, T + 4, {"300", "1"}), R(64434, E, T + 6, {"256", "1"}),
          R(64434, E, T + 8, {"300", "1"})}},
        {"revision 2 allows them", S, {{kRevisionLine, "GSD_Revision = 2"}}, bigNumbers, {}},
        {"revision 1, numbers of 255",
         S,
         {},
         {"Max_User_Prm_Data_Len = 4", "PrmText = 255", "Text(0) = \"a\"", "EndPrmText", "ExtUserPrmData = 255 \"M\"",
          "Unsigned8 0 0-1", "Prm_Text_Ref = 255", "EndExtUserPrmData", "Ext_User_Prm_Data_Ref(0) = 255"},
         {}},
        {"an unresolved reference number above the range",
         S,
         {},
         {"Max_User_Prm_Data_Len = 4", "Ext_User_Prm_Data_Ref(0) = 256"},
         {R(64628, E, T + 1, {"256"}), R(64434, E, T + 1, {"256", "1"})}},
        {"an unreferenced definition above the range",
         S,
         {},
         {"ExtUserPrmData = 256 \"M\"", "Unsigned8 0 0-1", "EndExtUserPrmData"},
         {R(64630, W, T, {"256"}), R(64434, E, T, {"256", "1"})}},
        {"numbers of 4096 and more: twice defined, referenced, unresolved, unreferenced",
         S,
         {{kRevisionLine, "GSD_Revision = 2"}},
         {"Max_User_Prm_Data_Len = 4",
          "PrmText = 5000",
          "Text(0) = \"a\"",
          "EndPrmText",
          "PrmText = 5000",
          "Text(0) = \"b\"",
          "EndPrmText",
          "ExtUserPrmData = 60000 \"M\"",
          "Unsigned8 0 0-1",
          "Prm_Text_Ref = 5000",
          "EndExtUserPrmData",
          "ExtUserPrmData = 60000 \"N\"",
          "Unsigned8 0 0-1",
          "EndExtUserPrmData",
          "ExtUserPrmData = 4096 \"O\"",
          "Unsigned8 0 0-1",
          "Prm_Text_Ref = 4097",
          "EndExtUserPrmData",
          "Ext_User_Prm_Data_Ref(0) = 60000",
          "Ext_User_Prm_Data_Ref(1) = 5001"},
         {R(64640, E, T + 4, {"5000", "5000"}), R(64629, E, T + 11, {"60000", "60000"}), R(64639, E, T + 16, {"4097"}),
          R(64628, E, T + 19, {"5001"}), R(64630, W, T + 14, {"4096"})}},
    });
}

TEST(SemanticStation, SlaveKeywordsInAMasterFile) {
    CheckCases({
        {"master base", M, {}, {}, {}},
        {"Freeze_Mode_supp", M, {}, {"Freeze_Mode_supp = 1"}, {R(64502, W, TM, {"Freeze_Mode_supp"})}},
        {"User_Prm_Data_Len", M, {}, {"User_Prm_Data_Len = 0"}, {R(64502, W, TM, {"User_Prm_Data_Len"})}},
        {"Max_Module in a master is slave-specific, not modular-specific",
         M,
         {},
         {"Max_Module = 1"},
         {R(64502, W, TM, {"Max_Module"})}},
        {"a Module block: both lines",
         M,
         {},
         {"Module = \"In\" 0x10", "EndModule"},
         {R(64502, W, TM, {"Module"}), R(64502, W, TM + 1, {"EndModule"})}},
        {"Unit_Diag_Bit, then its missing Max_Diag_Data_Len",
         M,
         {},
         {"Unit_Diag_Bit(0) = \"a\""},
         {R(64502, W, TM, {"Unit_Diag_Bit"}), R(64610, W, TM, {"Unit_Diag_Bit"})}},
    });
}

TEST(SemanticStation, MasterKeywordsInASlaveFile) {
    CheckCases({
        {"Download_supp", S, {}, {"Download_supp = 1"}, {R(64503, W, T, {"Download_supp"})}},
        {"Max_Master_Input_Len", S, {}, {"Max_Master_Input_Len = 10"}, {R(64503, W, T, {"Max_Master_Input_Len"})}},
        {"Trdy of a supported rate", S, {}, {"Trdy_9.6 = 11"}, {R(64503, W, T, {"Trdy_9.6"})}},
        {"Trdy of an unsupported rate", S, {}, {"Trdy_12M = 11"}, {R(64503, W, T, {"Trdy_12M"}), R(64607, E, T)}},
    });
}

TEST(SemanticStation, ModularKeywordsInACompactSlave) {
    CheckCases({
        {"Modular_Station 0", S, {}, {"Modular_Station = 0", "Max_Module = 1"}, {R(64504, W, T + 1, {"Max_Module"})}},
        {"Modular_Station absent", S, {}, {"Max_Data_Len = 4"}, {R(64504, W, T, {"Max_Data_Len"})}},
        {"Modular_Station 1 after the keyword",
         S,
         {},
         {"Max_Module = 2", "Max_Input_Len = 2", "Max_Output_Len = 2", "Max_Data_Len = 4", "Modular_Station = 1"},
         {}},
    });
}

TEST(SemanticProtocol, ProtocolIdentOtherThanDp) {
    CheckCases({
        {"0 is DP", S, {}, {}, {}},
        {"16 is not",
         S,
         {{kProtocolLine, "Protocol_Ident = 16"}},
         {},
         {R(64643, W, kProtocolLine, {"Protocol_Ident"})}},
        {"named as written",
         S,
         {{kProtocolLine, "PROTOCOL_IDENT = 255"}},
         {},
         {R(64643, W, kProtocolLine, {"PROTOCOL_IDENT"})}},
        {"an invalid value is not judged", S, {{kProtocolLine, "Protocol_Ident = 5"}}, {}, {}, false},
    });
}

TEST(SemanticSyntaxFlag, RulesThatUseAValueOnlyWhenItPassedTheSyntaxCheck) {
    CheckCases({
        {"an invalid GSD_Revision leaves the file at revision 0",
         S,
         {{kRevisionLine, "GSD_Revision = two"}},
         {},
         {R(64501, W, kRevisionLine, {"GSD_Revision"}), R(64501, W, kMaxDiagLine, {"Max_Diag_Data_Len"}),
          R(64501, W, kFamilyLine, {"Slave_Family"})},
         false},
        {"an invalid MaxTsdr still counts for the group and for its rate",
         S,
         {{kMaxTsdr96Line, "MaxTsdr_9.6 = 0"}},
         {},
         {},
         false},
        {"an invalid MaxTsdr is still accepted and needs its rate",
         S,
         {},
         {"MaxTsdr_12M = 0"},
         {R(64606, E, T)},
         false},
        {"an invalid time parameter is still accepted and needs its rate",
         M,
         {},
         {"Trdy_12M = 0"},
         {R(64607, E, TM)},
         false},
        {"a family whose subfamily is empty is still judged",
         S,
         {{kFamilyLine, "Slave_Family = 12@@Digital"}},
         {},
         {R(64431, E, kFamilyLine, {"12", "1"})},
         false},
        {"an invalid EndModule counts but does not judge the module length",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Module = \"Out\" 0x20", "Ext_Module_Prm_Data_Len = 4", "EndModule = 1"},
         {},
         false},
    });
}

TEST(SemanticIdentity, IdentNumberIsReadWithoutTheSyntaxFlag) {
    CheckCases({
        {"a text that is no number reads as 0",
         S,
         {{kIdentLine, "Ident_Number = none"}},
         {},
         {R(64435, E, kIdentLine, {"0000"})},
         false},
        {"a number too large for 16 bits is not 0", S, {{kIdentLine, "Ident_Number = 0x10000"}}, {}, {}, false},
    });
}

TEST(SemanticPlaces, BlocksInsideBlocksDoNotNest) {
    CheckCases({
        {"a Module inside a Module",
         S,
         {},
         {"Module = \"Out\" 0x20", "Module = \"Inner\" 0x10", "EndModule"},
         {R(64511, W, T + 1, {"Module"})}},
        {"a PrmText inside a Module",
         S,
         {},
         {"Module = \"Out\" 0x20", "PrmText = 1", "Text(0) = \"a\"", "EndPrmText", "EndModule"},
         {R(64511, W, T + 1, {"PrmText"}), R(64505, W, T + 2, {"Text"}), R(64505, W, T + 3, {"EndPrmText"})}},
    });
}

TEST(SemanticStation, EvaluateRulesIgnoreThePlace) {
    CheckCases({
        {"a misplaced slave keyword in a master",
         M,
         {},
         {"Text(0) = \"a\""},
         {R(64505, W, TM, {"Text"}), R(64502, W, TM, {"Text"})}},
        {"a second Max_User_Prm_Data_Len is told about User_Prm_Data_Len as well",
         S,
         {},
         {"User_Prm_Data_Len = 0", "Max_User_Prm_Data_Len = 4", "Max_User_Prm_Data_Len = 4"},
         {R(64301, E, T + 2, {"Max_User_Prm_Data_Len"}), R(64622, W, T + 1, {"Max_User_Prm_Data_Len"}),
          R(64622, W, T + 2, {"Max_User_Prm_Data_Len"})}},
        {"a second User_Prm_Data is told about constants but not measured",
         S,
         {},
         {"User_Prm_Data_Len = 1", "User_Prm_Data = 0x00", "User_Prm_Data = 0x00,0x00",
          "Ext_User_Prm_Data_Const(0) = 0x00"},
         {R(64301, E, T + 2, {"User_Prm_Data"}), R(64624, W, T + 3, {"Ext_User_Prm_Data_Const"}),
          R(64623, W, T + 1, {"Ext_User_Prm_Data_Const"}), R(64623, W, T + 2, {"Ext_User_Prm_Data_Const"})}},
        {"a module reference at revision 0",
         S,
         Revision0Edits(),
         {"Module = \"Out\" 0x20", "1", "EndModule"},
         {R(64501, W, T + 1, {"Module_Reference"})}},
    });
}

TEST(SemanticFinalRules, ReportedAtTheFirstLineOfAContinuedLastEntry) {
    CheckCases({
        {"continued last entry",
         S,
         {{kSoftwareLine, ";"}},
         {"Redundancy = 0 ; note \\", "more of the note"},
         {R(64202, E, T, {"Software_Release"})},
         false},
    });
}

TEST(SemanticNames, KeywordsAreNamedAsWrittenAndBlocksByTheirFixedNames) {
    CheckCases({
        {"an unfinished area written in capitals",
         S,
         {},
         {"UNIT_DIAG_AREA = 16-23", "VALUE(0) = \"a\""},
         {R(64217, E, T + 1, {"Unit_Diag_Area"})}},
        {"an unfinished definition written in small letters",
         S,
         {},
         {"extuserprmdata = 1 \"M\"", "unsigned8 0 0-1"},
         {R(64217, E, T + 1, {"ExtUserPrmData"})}},
        {"a second module length in capitals",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Module = \"Out\" 0x20", "EXT_MODULE_PRM_DATA_LEN = 1",
          "EXT_MODULE_PRM_DATA_LEN = 1", "Ext_User_Prm_Data_Const(0) = 0x00", "EndModule"},
         {R(64304, E, T + 3, {"EXT_MODULE_PRM_DATA_LEN"})}},
        {"a diagnosis bit in small letters",
         S,
         {{kMaxDiagLine, "Max_Diag_Data_Len = 6"}},
         {"unit_diag_bit(0) = \"a\""},
         {R(64611, E, T, {"unit_diag_bit"})}},
        {"a constant in small letters, while 64623 keeps its own spelling",
         S,
         {},
         {"User_Prm_Data_Len = 1", "User_Prm_Data = 0x00", "ext_user_prm_data_const(0) = 0x00"},
         {R(64624, W, T + 2, {"ext_user_prm_data_const"}), R(64623, W, T + 1, {"Ext_User_Prm_Data_Const"})}},
        {"a misplaced keyword in mixed letters", S, {}, {"endPrmText"}, {R(64505, W, T, {"endPrmText"})}},
        {"a master keyword in capitals", S, {}, {"MAX_LSDU_MM = 10"}, {R(64503, W, T, {"MAX_LSDU_MM"})}},
    });
}

TEST(SemanticUniqueness, AMisplacedFirstOccurrenceDoesNotCount) {
    CheckCases({
        {"Vendor_Name inside a Module, then at top level",
         S,
         {{kVendorLine, ";"}},
         {"Module = \"Out\" 0x20", "Vendor_Name = \"Inner\"", "EndModule", "Vendor_Name = \"Outer\""},
         {R(64511, W, T + 1, {"Vendor_Name"})}},
    });
}

}  // namespace
