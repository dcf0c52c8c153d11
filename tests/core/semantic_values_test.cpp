// Semantic check: values judged against each other — bus timing against the
// supported baud rates, user parameter lengths and offsets, references between
// numbered definitions, diagnosis bits and areas, module references.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "check/semantic_check.h"
#include "check/semantic_state.h"
#include "model/key_entry.h"
#include "model/taluna_context.h"
#include "semantic_test_support.h"

using namespace semantic_test;

namespace {

const auto* S = &SlaveBase();
const auto* M = &MasterBase();
constexpr int T = kSlaveEnd;
constexpr int TM = kMasterEnd;

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Completed definitions 1 to 4 of the data types Unsigned16, Bit 0, Bit 1 and
// Bit 3, referenced by nothing yet (lines T..T+15).
const std::vector<std::string> kDefinitions = {
    "ExtUserPrmData = 1 \"Word\"", "Unsigned16 0 0-1000", "EndExtUserPrmData", "",
    "ExtUserPrmData = 2 \"B0\"",   "Bit(0) 0 0-1",        "EndExtUserPrmData", "",
    "ExtUserPrmData = 3 \"B1\"",   "Bit(1) 0 0-1",        "EndExtUserPrmData", "",
    "ExtUserPrmData = 4 \"B3\"",   "Bit(3) 0 0-1",        "EndExtUserPrmData", "",
};
constexpr int D = T + 16;  // first line after the definitions

TEST(SemanticBaudRate, SupportAndMaxTsdrBelongTogether) {
    CheckCases({
        {"support with MaxTsdr", S, {}, {"12M_supp = 1", "MaxTsdr_12M = 800"}, {}},
        {"support without MaxTsdr", S, {}, {"12M_supp = 1"}, {R(64601, E, T)}},
        {"support of 0 without MaxTsdr", S, {}, {"12M_supp = 0"}, {}},
        {"support of 0 with MaxTsdr", S, {}, {"12M_supp = 0", "MaxTsdr_12M = 800"}, {}},
        {"MaxTsdr without support", S, {}, {"MaxTsdr_12M = 800"}, {R(64606, E, T)}},
        {"any letter case", S, {}, {"12m_SUPP = 1", "maxtsdr_12m = 800"}, {}},
        {"an invalid support value sets no rate", S, {}, {"12M_supp = 2"}, {}, false},
        {"MaxTsdr before its support keyword", S, {}, {"MaxTsdr_3M = 250", "3M_supp = 1"}, {}},
    });
}

TEST(SemanticBaudRate, TimeParametersOfAMaster) {
    CheckCases({
        {"a rate with all four",
         M,
         {},
         {"12M_supp = 1", "MaxTsdr_12M = 800", "Trdy_12M = 11", "Tqui_12M = 9", "Tset_12M = 16", "Tsdi_12M = 45"},
         {}},
        {"a rate with only Trdy",
         M,
         {},
         {"12M_supp = 1", "MaxTsdr_12M = 800", "Trdy_12M = 11"},
         {R(64603, E, TM), R(64604, E, TM), R(64605, E, TM)}},
        {"a rate with neither MaxTsdr nor time parameters",
         M,
         {},
         {"12M_supp = 1"},
         {R(64601, E, TM), R(64602, E, TM), R(64603, E, TM), R(64604, E, TM), R(64605, E, TM)}},
        {"time parameters without support",
         M,
         {},
         {"Trdy_3M = 11", "Tqui_3M = 0", "Tset_3M = 4", "Tsdi_3M = 30"},
         {R(64607, E, TM), R(64607, E, TM + 1), R(64607, E, TM + 2), R(64607, E, TM + 3)}},
        {"time parameters with support of 0", M, {}, {"3M_supp = 0", "Tqui_3M = 0"}, {}},
    });
}

TEST(SemanticUserPrmData, LengthAgainstUserPrmDataLen) {
    CheckCases({
        {"no User_Prm_Data_Len", S, {}, {"User_Prm_Data = 0x00"}, {R(64608, E, T, {"User_Prm_Data"})}},
        {"named as written", S, {}, {"user_prm_data = 0x00"}, {R(64608, E, T, {"user_prm_data"})}},
        {"one octet short", S, {}, {"User_Prm_Data_Len = 2", "User_Prm_Data = 0x00"}, {R(64609, E, T + 1)}},
        {"one octet too many", S, {}, {"User_Prm_Data_Len = 1", "User_Prm_Data = 0x00,0x01"}, {R(64609, E, T + 1)}},
        {"equal lengths", S, {}, {"User_Prm_Data_Len = 2", "User_Prm_Data = 0x00, 0x01"}, {}},
        {"length given after the data", S, {}, {"User_Prm_Data = 0x00,0x01,0x02", "User_Prm_Data_Len = 3"}, {}},
        {"invalid data is not measured",
         S,
         {},
         {"User_Prm_Data_Len = 2", "User_Prm_Data = 0x00,0x100,0x01"},
         {},
         false},
    });
}

TEST(SemanticUserPrmData, LengthKeywordsThatInvalidateEachOther) {
    CheckCases({
        {"Max_User_Prm_Data_Len with User_Prm_Data_Len",
         S,
         {},
         {"Max_User_Prm_Data_Len = 4", "User_Prm_Data_Len = 0"},
         {R(64622, W, T, {"Max_User_Prm_Data_Len"})}},
        {"Max_User_Prm_Data_Len alone", S, {}, {"Max_User_Prm_Data_Len = 4"}, {}},
        {"User_Prm_Data with a constant",
         S,
         {},
         {"User_Prm_Data_Len = 1", "User_Prm_Data = 0x00", "Ext_User_Prm_Data_Const(0) = 0x00"},
         {R(64624, W, T + 2, {"Ext_User_Prm_Data_Const"}), R(64623, W, T + 1, {"Ext_User_Prm_Data_Const"})}},
        {"User_Prm_Data with a reference",
         S,
         {},
         Join({"User_Prm_Data_Len = 2", "User_Prm_Data = 0x00,0x00"},
              {"ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "EndExtUserPrmData", "Ext_User_Prm_Data_Ref(1) = 1"}),
         {R(64624, W, T + 5, {"Ext_User_Prm_Data_Ref"}), R(64623, W, T + 1, {"Ext_User_Prm_Data_Ref"})}},
        {"User_Prm_Data with both names the constant",
         S,
         {},
         Join({"User_Prm_Data_Len = 2", "User_Prm_Data = 0x00,0x00", "Ext_User_Prm_Data_Const(0) = 0x00"},
              {"ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "EndExtUserPrmData", "Ext_User_Prm_Data_Ref(1) = 1"}),
         {R(64624, W, T + 2, {"Ext_User_Prm_Data_Const"}), R(64624, W, T + 6, {"Ext_User_Prm_Data_Ref"}),
          R(64623, W, T + 1, {"Ext_User_Prm_Data_Const"})}},
    });
}

TEST(SemanticUserPrmData, ConstantsAgainstTheDeclaredLengths) {
    CheckCases({
        {"within Max_User_Prm_Data_Len", S, {}, {"Max_User_Prm_Data_Len = 4", "Ext_User_Prm_Data_Const(3) = 0x00"}, {}},
        {"ending at Max_User_Prm_Data_Len",
         S,
         {},
         {"Max_User_Prm_Data_Len = 4", "Ext_User_Prm_Data_Const(3) = 0x00,0x00"},
         {R(64625, E, T + 1)}},
        {"Max_User_Prm_Data_Len given below the constant is not known yet",
         S,
         {},
         {"Ext_User_Prm_Data_Const(3) = 0x00,0x00", "Max_User_Prm_Data_Len = 4"},
         {R(64646, E, T, {"Ext_User_Prm_Data_Const"})}},
        {"only User_Prm_Data_Len: the first constant is told, a long one exceeds",
         S,
         {},
         {"User_Prm_Data_Len = 2", "Ext_User_Prm_Data_Const(0) = 0x00", "Ext_User_Prm_Data_Const(1) = 0x00",
          "Ext_User_Prm_Data_Const(1) = 0x00,0x00"},
         {R(64624, W, T + 1, {"Ext_User_Prm_Data_Const"}), R(64645, E, T + 3, {"Ext_User_Prm_Data_Const"}),
          R(64627, W, T + 3, {"1"})}},
        {"no length at all: only the first constant reports",
         S,
         {},
         {"Ext_User_Prm_Data_Const(0) = 0x00", "Ext_User_Prm_Data_Const(1) = 0x00"},
         {R(64646, E, T, {"Ext_User_Prm_Data_Const"})}},
    });
}

TEST(SemanticUserPrmData, ConstantsOnTheSameBytes) {
    CheckCases({
        {"adjacent constants",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Ext_User_Prm_Data_Const(0) = 0x00,0x00", "Ext_User_Prm_Data_Const(2) = 0x00"},
         {}},
        {"one shared byte",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Ext_User_Prm_Data_Const(0) = 0x00,0x00", "Ext_User_Prm_Data_Const(1) = 0x00"},
         {R(64627, W, T + 2, {"1"})}},
        {"two shared bytes name the last one",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Ext_User_Prm_Data_Const(0) = 0x00,0x00,0x00",
          "Ext_User_Prm_Data_Const(1) = 0x00,0x00,0x00"},
         {R(64627, W, T + 2, {"2"})}},
        {"a constant inside a module and one outside do not meet",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Ext_User_Prm_Data_Const(0) = 0x00", "Module = \"Out\" 0x20",
          "Ext_User_Prm_Data_Const(0) = 0x00", "EndModule"},
         {}},
        {"two modules have their own bytes",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Module = \"Out\" 0x20", "Ext_User_Prm_Data_Const(0) = 0x00", "EndModule",
          "Module = \"Both\" 0x30", "Ext_User_Prm_Data_Const(0) = 0x00", "EndModule"},
         {}},
        {"one module shares a byte",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Module = \"Out\" 0x20", "Ext_User_Prm_Data_Const(0) = 0x00",
          "Ext_User_Prm_Data_Const(0) = 0x01", "EndModule"},
         {R(64627, W, T + 3, {"0"})}},
    });
}

TEST(SemanticUserPrmData, ReferencesAgainstTheDeclaredLengths) {
    CheckCases({
        {"an Unsigned16 ending before Max_User_Prm_Data_Len",
         S,
         {},
         Join(kDefinitions, {"Max_User_Prm_Data_Len = 3", "Ext_User_Prm_Data_Ref(1) = 1"}),
         {R(64630, W, T + 4, {"2"}), R(64630, W, T + 8, {"3"}), R(64630, W, T + 12, {"4"})}},
        {"an Unsigned16 ending at Max_User_Prm_Data_Len",
         S,
         {},
         Join(kDefinitions, {"Max_User_Prm_Data_Len = 2", "Ext_User_Prm_Data_Ref(1) = 1"}),
         {R(64625, E, D + 1), R(64630, W, T + 4, {"2"}), R(64630, W, T + 8, {"3"}), R(64630, W, T + 12, {"4"})}},
        {"only User_Prm_Data_Len: the first reference is told, an exceeding one too",
         S,
         {},
         {"ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "EndExtUserPrmData", "User_Prm_Data_Len = 2",
          "Ext_User_Prm_Data_Ref(0) = 1", "Ext_User_Prm_Data_Ref(2) = 1"},
         {R(64624, W, T + 4, {"Ext_User_Prm_Data_Ref"}), R(64645, E, T + 5, {"Ext_User_Prm_Data_Ref"})}},
        {"no length at all: only the first reference reports",
         S,
         {},
         {"ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "EndExtUserPrmData", "Ext_User_Prm_Data_Ref(0) = 1",
          "Ext_User_Prm_Data_Ref(1) = 1"},
         {R(64646, E, T + 3, {"Ext_User_Prm_Data_Ref"})}},
        {"without Max_User_Prm_Data_Len overlapping references are not tracked",
         S,
         {},
         {"ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "EndExtUserPrmData", "User_Prm_Data_Len = 4",
          "Ext_User_Prm_Data_Ref(0) = 1", "Ext_User_Prm_Data_Ref(0) = 1"},
         {R(64624, W, T + 4, {"Ext_User_Prm_Data_Ref"})}},
    });
}

TEST(SemanticUserPrmData, ReferencesOnTheSameBytes) {
    const std::string max = "Max_User_Prm_Data_Len = 8";
    // Definitions 1..4 are all referenced in these cases, so none is unreferenced.
    const std::vector<std::string> useAll = {"Ext_User_Prm_Data_Ref(5) = 1", "Ext_User_Prm_Data_Ref(7) = 2",
                                             "Ext_User_Prm_Data_Ref(7) = 3", "Ext_User_Prm_Data_Ref(7) = 4"};
    CheckCases({
        {"a constant on the second byte of an Unsigned16",
         S,
         {},
         Join(kDefinitions, Join({max, "Ext_User_Prm_Data_Ref(1) = 1", "Ext_User_Prm_Data_Const(2) = 0x00"}, useAll)),
         {R(64627, W, D + 2, {"2"})}},
        {"bits 0 and 1 share a byte",
         S,
         {},
         Join(kDefinitions, Join({max, "Ext_User_Prm_Data_Ref(0) = 2", "Ext_User_Prm_Data_Ref(0) = 3"}, useAll)),
         {}},
        {"bit 3 twice",
         S,
         {},
         Join(kDefinitions, Join({max, "Ext_User_Prm_Data_Ref(0) = 4", "Ext_User_Prm_Data_Ref(0) = 4"}, useAll)),
         {R(64627, W, D + 2, {"0"})}},
        {"bit 3 after bits 0 and 1",
         S,
         {},
         Join(kDefinitions, Join({max, "Ext_User_Prm_Data_Ref(0) = 2", "Ext_User_Prm_Data_Ref(0) = 3",
                                  "Ext_User_Prm_Data_Ref(0) = 4"},
                                 useAll)),
         {}},
        {"bit 0 after bits 0 and 1 were merged",
         S,
         {},
         Join(kDefinitions, Join({max, "Ext_User_Prm_Data_Ref(0) = 3", "Ext_User_Prm_Data_Ref(0) = 2",
                                  "Ext_User_Prm_Data_Ref(0) = 2"},
                                 useAll)),
         {R(64627, W, D + 3, {"0"})}},
        {"a whole byte over a bit",
         S,
         {},
         Join(kDefinitions, Join({max, "Ext_User_Prm_Data_Ref(1) = 3", "Ext_User_Prm_Data_Ref(0) = 1"}, useAll)),
         {R(64627, W, D + 2, {"1"})}},
        {"a reference over a constant is not reported",
         S,
         {},
         Join(kDefinitions, Join({max, "Ext_User_Prm_Data_Const(0) = 0x00", "Ext_User_Prm_Data_Ref(0) = 1"}, useAll)),
         {}},
        {"a constant over a reference is",
         S,
         {},
         Join(kDefinitions, Join({max, "Ext_User_Prm_Data_Ref(0) = 2", "Ext_User_Prm_Data_Const(0) = 0x00"}, useAll)),
         {R(64627, W, D + 2, {"0"})}},
    });
}

TEST(SemanticUserPrmData, BitNumbersFromEightOnSelectNoBit) {
    // Bit(8) fails the syntax check but still gives its definition the data type
    // Bit, whose mask is then empty: references to it never share a bit.
    const std::vector<std::string> definitions = {
        "Max_User_Prm_Data_Len = 8", "ExtUserPrmData = 1 \"B8\"", "Bit(8) 0 0-1",
        "EndExtUserPrmData",         "ExtUserPrmData = 2 \"B7\"", "Bit(7) 0 0-1",
        "EndExtUserPrmData"};
    CheckCases({
        {"bit 8 twice",
         S,
         {},
         Join(definitions,
              {"Ext_User_Prm_Data_Ref(0) = 1", "Ext_User_Prm_Data_Ref(0) = 1", "Ext_User_Prm_Data_Ref(1) = 2"}),
         {},
         false},
        {"bit 40 twice",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "ExtUserPrmData = 1 \"B40\"", "Bit(40) 0 0-1", "EndExtUserPrmData",
          "Ext_User_Prm_Data_Ref(0) = 1", "Ext_User_Prm_Data_Ref(0) = 1"},
         {},
         false},
        {"bit 7 twice",
         S,
         {},
         Join(definitions,
              {"Ext_User_Prm_Data_Ref(0) = 1", "Ext_User_Prm_Data_Ref(1) = 2", "Ext_User_Prm_Data_Ref(1) = 2"}),
         {R(64627, W, T + 9, {"1"})},
         false},
    });
}

TEST(SemanticModuleParameters, ExtModulePrmDataLenAgainstTheFileLengths) {
    const std::vector<std::string> module = {"Module = \"Out\" 0x20", "Ext_Module_Prm_Data_Len = 2",
                                             "Ext_User_Prm_Data_Const(0) = 0x00,0x00", "EndModule"};
    CheckCases({
        {"within Max_User_Prm_Data_Len", S, {}, Join({"Max_User_Prm_Data_Len = 8"}, module), {}},
        {"above Max_User_Prm_Data_Len",
         S,
         {},
         Join({"Max_User_Prm_Data_Len = 1"}, module),
         {R(64625, E, T + 3), R(64620, E, T + 2)}},
        {"only User_Prm_Data_Len, large enough",
         S,
         {},
         Join({"User_Prm_Data_Len = 3"}, module),
         {R(64624, W, T + 3, {"Ext_User_Prm_Data_Const"}), R(64619, W, T + 2)}},
        {"only User_Prm_Data_Len, too small",
         S,
         {},
         Join({"User_Prm_Data_Len = 1"}, module),
         {R(64624, W, T + 3, {"Ext_User_Prm_Data_Const"}), R(64645, E, T + 3, {"Ext_User_Prm_Data_Const"}),
          R(64619, W, T + 2), R(64645, E, T + 2, {"Ext_Module_Prm_Data_Len"})}},
        {"no length at all",
         S,
         {},
         module,
         {R(64646, E, T + 2, {"Ext_User_Prm_Data_Const"}), R(64619, W, T + 1),
          R(64646, E, T + 1, {"Ext_Module_Prm_Data_Len"})}},
        {"a length of 0 is not judged",
         S,
         {},
         {"Module = \"Out\" 0x20", "Ext_Module_Prm_Data_Len = 0", "EndModule"},
         {}},
    });
}

TEST(SemanticModuleParameters, UsedLengthAgainstExtModulePrmDataLen) {
    CheckCases({
        {"declared 4, used 2",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Module = \"Out\" 0x20", "Ext_Module_Prm_Data_Len = 4",
          "Ext_User_Prm_Data_Const(0) = 0x00,0x00", "EndModule"},
         {R(64644, W, T + 4)}},
        {"declared 4, used 6",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Module = \"Out\" 0x20", "Ext_Module_Prm_Data_Len = 4",
          "Ext_User_Prm_Data_Const(0) = 0x00,0x00,0x00,0x00,0x00,0x00", "EndModule"},
         {R(64644, E, T + 4)}},
        {"declared 4, used 4 by a constant and a reference",
         S,
         {},
         Join(kDefinitions,
              {"Max_User_Prm_Data_Len = 8", "Module = \"Out\" 0x20", "Ext_Module_Prm_Data_Len = 4",
               "Ext_User_Prm_Data_Const(0) = 0x00,0x00", "Ext_User_Prm_Data_Ref(2) = 1", "Ext_User_Prm_Data_Ref(0) = 2",
               "Ext_User_Prm_Data_Ref(0) = 3", "Ext_User_Prm_Data_Ref(0) = 4", "EndModule"}),
         {}},
        {"declared 2, used 3 by a reference",
         S,
         {},
         Join(kDefinitions, {"Max_User_Prm_Data_Len = 8", "Module = \"Out\" 0x20", "Ext_Module_Prm_Data_Len = 2",
                             "Ext_User_Prm_Data_Ref(1) = 1", "Ext_User_Prm_Data_Ref(0) = 2",
                             "Ext_User_Prm_Data_Ref(0) = 3", "Ext_User_Prm_Data_Ref(0) = 4", "EndModule"}),
         {R(64644, E, D + 7)}},
        {"parameters without a declared length",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Module = \"Out\" 0x20", "Ext_User_Prm_Data_Const(0) = 0x00", "EndModule"},
         {}},
        {"the used length starts again in every module",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Module = \"Out\" 0x20", "Ext_Module_Prm_Data_Len = 2",
          "Ext_User_Prm_Data_Const(0) = 0x00,0x00", "EndModule", "Module = \"Both\" 0x30",
          "Ext_Module_Prm_Data_Len = 1", "Ext_User_Prm_Data_Const(0) = 0x00", "EndModule"},
         {}},
    });
}

TEST(SemanticReferences, ExtUserPrmDataDefinitionsAndReferences) {
    CheckCases({
        {"a reference above its definition is unresolved",
         S,
         {},
         {"Max_User_Prm_Data_Len = 4", "Ext_User_Prm_Data_Ref(0) = 1", "ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1",
          "EndExtUserPrmData"},
         {R(64628, E, T + 1, {"1"}), R(64630, W, T + 2, {"1"})}},
        {"a reference below its definition resolves",
         S,
         {},
         {"Max_User_Prm_Data_Len = 4", "ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "EndExtUserPrmData",
          "Ext_User_Prm_Data_Ref(0) = 1"},
         {}},
        {"a definition number used twice",
         S,
         {},
         {"Max_User_Prm_Data_Len = 4", "ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "EndExtUserPrmData",
          "ExtUserPrmData = 1 \"N\"", "Unsigned16 0 0-1", "EndExtUserPrmData", "Ext_User_Prm_Data_Ref(0) = 1"},
         {R(64629, E, T + 4, {"1"})}},
        {"a definition number used twice and never referenced",
         S,
         {},
         {"ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "EndExtUserPrmData", "ExtUserPrmData = 1 \"N\"",
          "Unsigned8 0 0-1", "EndExtUserPrmData"},
         {R(64629, E, T + 3, {"1"}), R(64630, W, T, {"1"}), R(64630, W, T + 3, {"1"})}},
        {"a definition without data type is not completed",
         S,
         {},
         {"Max_User_Prm_Data_Len = 4", "ExtUserPrmData = 1 \"M\"", "EndExtUserPrmData", "Ext_User_Prm_Data_Ref(0) = 1"},
         {R(64215, E, T + 2, {"Data_Type_Name"}), R(64628, E, T + 3, {"1"})}},
        {"a definition left open by another one that is",
         S,
         {},
         {"Max_User_Prm_Data_Len = 4", "ExtUserPrmData = 1 \"M\"", "EndExtUserPrmData", "ExtUserPrmData = 2 \"N\"",
          "Unsigned8 0 0-1", "EndExtUserPrmData", "Ext_User_Prm_Data_Ref(0) = 2"},
         {R(64215, E, T + 2, {"Data_Type_Name"})}},
    });
}

TEST(SemanticReferences, PrmTextDefinitionsAndReferences) {
    const std::vector<std::string> user = {"ExtUserPrmData = 1 \"M\"",  "Unsigned8 0 0-1",
                                           "Prm_Text_Ref = 1",          "EndExtUserPrmData",
                                           "Max_User_Prm_Data_Len = 4", "Ext_User_Prm_Data_Ref(0) = 1"};
    CheckCases({
        {"a PrmText used by a definition below it",
         S,
         {},
         Join({"PrmText = 1", "Text(0) = \"Off\"", "EndPrmText"}, user),
         {}},
        {"a Prm_Text_Ref above its PrmText is unresolved",
         S,
         {},
         Join(user, {"PrmText = 1", "Text(0) = \"Off\"", "EndPrmText"}),
         {R(64639, E, T + 2, {"1"}), R(64641, W, T + 6, {"1"})}},
        {"a Prm_Text_Ref in hexadecimal",
         S,
         {},
         Join({"PrmText = 1", "Text(0) = \"Off\"", "EndPrmText"},
              {"ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "Prm_Text_Ref = 0x01", "EndExtUserPrmData",
               "Max_User_Prm_Data_Len = 4", "Ext_User_Prm_Data_Ref(0) = 1"}),
         {}},
        {"an unused PrmText", S, {}, {"PrmText = 7", "Text(0) = \"Off\"", "EndPrmText"}, {R(64641, W, T, {"7"})}},
        {"a PrmText number used twice",
         S,
         {},
         Join({"PrmText = 1", "Text(0) = \"Off\"", "EndPrmText", "PrmText = 1", "Text(0) = \"Aus\"", "EndPrmText"},
              user),
         {R(64640, E, T + 3, {"1"})}},
        {"a PrmText without texts is not completed",
         S,
         {},
         Join({"PrmText = 1", "EndPrmText"}, user),
         {R(64214, E, T + 1, {"Text"}), R(64639, E, T + 4, {"1"})}},
        {"a text value twice in one PrmText",
         S,
         {},
         Join({"PrmText = 1", "Text(0) = \"Off\"", "Text(1) = \"On\"", "Text(0) = \"Aus\"", "EndPrmText"}, user),
         {R(64642, W, T + 3)}},
        {"text values twice among many: one of the first values, then one of the later ones",
         S,
         {},
         Join({"PrmText = 1", "Text(0) = \"A\"", "Text(1) = \"B\"", "Text(2) = \"C\"", "Text(3) = \"D\"",
               "Text(4) = \"E\"", "Text(5) = \"F\"", "Text(1) = \"G\"", "Text(5) = \"H\"", "Text(6) = \"I\"",
               "EndPrmText"},
              user),
         {R(64642, W, T + 7), R(64642, W, T + 8)}},
        {"the same text value in two PrmTexts",
         S,
         {},
         Join({"PrmText = 2", "Text(0) = \"Off\"", "EndPrmText", "PrmText = 1", "Text(0) = \"Off\"", "EndPrmText"},
              Join(user, {"ExtUserPrmData = 2 \"N\"", "Unsigned8 0 0-1", "Prm_Text_Ref = 2", "EndExtUserPrmData",
                          "Ext_User_Prm_Data_Ref(1) = 2"})),
         {}},
    });
}

TEST(SemanticDiagnosis, PositionsAgainstMaxDiagDataLen) {
    CheckCases({
        {"no Max_Diag_Data_Len",
         S,
         Revision0Edits(),
         {"Unit_Diag_Bit(0) = \"Low\""},
         {R(64610, W, T, {"Unit_Diag_Bit"})}},
        {"no Max_Diag_Data_Len for an area",
         S,
         Revision0Edits(),
         {"Unit_Diag_Area = 16-23", "Value(0) = \"a\"", "Unit_Diag_Area_End"},
         {R(64610, W, T, {"Unit_Diag_Area"})}},
        {"Max_Diag_Data_Len 6 leaves no position",
         S,
         {{kMaxDiagLine, "Max_Diag_Data_Len = 6"}},
         {"Unit_Diag_Bit(0) = \"Low\""},
         {R(64611, E, T, {"Unit_Diag_Bit"})}},
        {"Max_Diag_Data_Len 8: bit 7", S, {{kMaxDiagLine, "Max_Diag_Data_Len = 8"}}, {"Unit_Diag_Bit(7) = \"x\""}, {}},
        {"Max_Diag_Data_Len 8: bit 8",
         S,
         {{kMaxDiagLine, "Max_Diag_Data_Len = 8"}},
         {"Unit_Diag_Bit(8) = \"x\""},
         {R(64611, E, T, {"Unit_Diag_Bit"})}},
        {"Max_Diag_Data_Len 16: bit 71", S, {}, {"Unit_Diag_Bit(71) = \"x\""}, {}},
        {"Max_Diag_Data_Len 16: bit 72", S, {}, {"Unit_Diag_Bit(72) = \"x\""}, {R(64611, E, T, {"Unit_Diag_Bit"})}},
        {"an area is judged by its last bit",
         S,
         {{kMaxDiagLine, "Max_Diag_Data_Len = 8"}},
         {"Unit_Diag_Area = 0-7", "Value(0) = \"a\"", "Unit_Diag_Area_End", "Unit_Diag_Area = 1-8", "Value(0) = \"a\"",
          "Unit_Diag_Area_End"},
         {R(64612, W, T + 3), R(64611, E, T + 3, {"Unit_Diag_Area"})}},
        {"Max_Diag_Data_Len below the bits counts",
         S,
         {{kMaxDiagLine, ";"}},
         {"Unit_Diag_Bit(9) = \"x\"", "Max_Diag_Data_Len = 8"},
         {R(64611, E, T, {"Unit_Diag_Bit"})}},
    });
}

TEST(SemanticDiagnosis, BitsUsedTwice) {
    CheckCases({
        {"two bits", S, {}, {"Unit_Diag_Bit(3) = \"a\"", "Unit_Diag_Bit(4) = \"b\""}, {}},
        {"the same bit twice", S, {}, {"Unit_Diag_Bit(3) = \"a\"", "Unit_Diag_Bit(3) = \"b\""}, {R(64612, W, T + 1)}},
        {"a bit inside an earlier area",
         S,
         {},
         {"Unit_Diag_Area = 16-23", "Value(0) = \"a\"", "Unit_Diag_Area_End", "Unit_Diag_Bit(20) = \"b\""},
         {R(64612, W, T + 3)}},
        {"an area over two earlier bits reports once",
         S,
         {},
         {"Unit_Diag_Bit(16) = \"a\"", "Unit_Diag_Bit(17) = \"b\"", "Unit_Diag_Area = 16-23", "Value(0) = \"a\"",
          "Unit_Diag_Area_End"},
         {R(64612, W, T + 2)}},
        {"adjacent areas",
         S,
         {},
         {"Unit_Diag_Area = 16-23", "Value(0) = \"a\"", "Unit_Diag_Area_End", "Unit_Diag_Area = 24-31",
          "Value(0) = \"a\"", "Unit_Diag_Area_End"},
         {}},
    });
}

TEST(SemanticDiagnosis, AreaValues) {
    CheckCases({
        {"area 24-27 allows 0 to 15",
         S,
         {},
         {"Unit_Diag_Area = 24-27", "Value(0) = \"a\"", "Value(15) = \"b\"", "Unit_Diag_Area_End"},
         {}},
        {"area 24-27: 16 exceeds, a second 3 repeats",
         S,
         {},
         {"Unit_Diag_Area = 24-27", "Value(3) = \"a\"", "Value(16) = \"b\"", "Value(3) = \"c\"", "Unit_Diag_Area_End"},
         {R(64613, E, T + 2, {"16"}), R(64614, W, T + 3)}},
        {"area 16-23 allows 255, not 256",
         S,
         {},
         {"Unit_Diag_Area = 16-23", "Value(255) = \"a\"", "Value(256) = \"b\"", "Unit_Diag_Area_End"},
         {R(64613, E, T + 2, {"256"})}},
        {"area 16-17 allows 3, not 4",
         S,
         {},
         {"Unit_Diag_Area = 16-17", "Value(3) = \"a\"", "Value(4) = \"b\"", "Unit_Diag_Area_End"},
         {R(64613, E, T + 2, {"4"})}},
        {"area of 16 bits allows 65535",
         S,
         {},
         {"Unit_Diag_Area = 0-15", "Value(65535) = \"a\"", "Unit_Diag_Area_End"},
         {}},
        {"each area has its own values",
         S,
         {},
         {"Unit_Diag_Area = 16-23", "Value(3) = \"a\"", "Unit_Diag_Area_End", "Unit_Diag_Area = 24-31",
          "Value(3) = \"a\"", "Unit_Diag_Area_End"},
         {}},
    });
}

TEST(SemanticDiagnosis, AnInvalidAreaKeepsTheValueLimitItFound) {
    CheckCases({
        {"no valid area before: the limit is still 0",
         S,
         {},
         {"Unit_Diag_Area = 30-20", "Value(0) = \"a\"", "Unit_Diag_Area_End"},
         {R(64613, E, T + 1, {"0"})},
         false},
        {"the limit of the valid area before stays",
         S,
         {},
         {"Unit_Diag_Area = 16-17", "Value(3) = \"a\"", "Unit_Diag_Area_End", "Unit_Diag_Area = 30-20",
          "Value(3) = \"a\"", "Value(4) = \"b\"", "Unit_Diag_Area_End"},
         {R(64613, E, T + 5, {"4"})},
         false},
    });
}

TEST(SemanticModules, ModuleReferencesAndChannelDiagnosis) {
    CheckCases({
        {"different references",
         S,
         {},
         {"Module = \"Out\" 0x20", "1", "EndModule", "Module = \"Both\" 0x30", "2", "EndModule"},
         {}},
        {"one reference in two modules",
         S,
         {},
         {"Module = \"Out\" 0x20", "1", "EndModule", "Module = \"Both\" 0x30", "0x1", "EndModule"},
         {R(64618, E, T + 4, {"1"})}},
        {"Channel_Diag numbers in one module",
         S,
         {},
         {"Module = \"Out\" 0x20", "Channel_Diag(1) = \"Short\"", "Channel_Diag(2) = \"Open\"",
          "Channel_Diag(1) = \"Again\"", "EndModule"},
         {R(64621, W, T + 3)}},
        {"one Channel_Diag number in two modules",
         S,
         {},
         {"Module = \"Out\" 0x20", "Channel_Diag(1) = \"Short\"", "EndModule", "Module = \"Both\" 0x30",
          "Channel_Diag(1) = \"Short\"", "EndModule"},
         {}},
    });
}

TEST(SemanticUserPrmData, UnresolvedReferencesOccupyTheirOffsetWithoutBits) {
    CheckCases({
        {"a constant over an unresolved reference",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Ext_User_Prm_Data_Ref(0) = 9", "Ext_User_Prm_Data_Const(0) = 0x00"},
         {R(64628, E, T + 1, {"9"}), R(64627, W, T + 2, {"0"})}},
        {"a resolved reference over an unresolved one",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "EndExtUserPrmData",
          "Ext_User_Prm_Data_Ref(0) = 9", "Ext_User_Prm_Data_Ref(0) = 1"},
         {R(64628, E, T + 4, {"9"})}},
        {"an unresolved reference inside a module uses its offset",
         S,
         {},
         {"Max_User_Prm_Data_Len = 8", "Module = \"Out\" 0x20", "Ext_Module_Prm_Data_Len = 3",
          "Ext_User_Prm_Data_Ref(2) = 9", "EndModule"},
         {R(64628, E, T + 3, {"9"})}},
    });
}

TEST(SemanticUserPrmData, OnlyTheLastCoveredByteDecidesForAReference) {
    // A reference over two bytes looks at the entry of its highest occupied offset.
    CheckCases({
        {"a bit reference on the higher byte",
         S,
         {},
         Join(kDefinitions,
              {"Max_User_Prm_Data_Len = 8", "Ext_User_Prm_Data_Const(0) = 0x00", "Ext_User_Prm_Data_Ref(1) = 2",
               "Ext_User_Prm_Data_Ref(0) = 1", "Ext_User_Prm_Data_Ref(7) = 3", "Ext_User_Prm_Data_Ref(7) = 4"}),
         {R(64627, W, D + 3, {"1"})}},
        {"a constant on the higher byte",
         S,
         {},
         Join(kDefinitions,
              {"Max_User_Prm_Data_Len = 8", "Ext_User_Prm_Data_Ref(0) = 2", "Ext_User_Prm_Data_Const(1) = 0x00",
               "Ext_User_Prm_Data_Ref(0) = 1", "Ext_User_Prm_Data_Ref(7) = 3", "Ext_User_Prm_Data_Ref(7) = 4"}),
         {}},
    });
}

TEST(SemanticModules, RepeatedModuleReferenceInOneModuleIsNotRecorded) {
    CheckCases({
        {"the same number twice in one module",
         S,
         {},
         {"Module = \"Out\" 0x20", "1", "1", "EndModule"},
         {R(64304, E, T + 2, {"Module_Reference"})}},
    });
}

TEST(SemanticReferences, BlocksWhoseOpeningValueIsInvalid) {
    CheckCases({
        {"a PrmText without a valid number opens no record",
         S,
         {},
         {"PrmText = one", "Text(0) = \"a\"", "Text(0) = \"b\"", "EndPrmText"},
         {},
         false},
        {"a Text without a valid value is not compared",
         S,
         {},
         Join({"PrmText = 1", "Text(0) = \"a\"", "Text(x) = \"b\"", "Text(x) = \"c\"", "EndPrmText"},
              {"ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "Prm_Text_Ref = 1", "EndExtUserPrmData",
               "Max_User_Prm_Data_Len = 4", "Ext_User_Prm_Data_Ref(0) = 1"}),
         {},
         false},
        {"an invalid EndExtUserPrmData still completes the definition",
         S,
         {},
         {"Max_User_Prm_Data_Len = 4", "ExtUserPrmData = 1 \"M\"", "Unsigned8 0 0-1", "EndExtUserPrmData = 1",
          "Ext_User_Prm_Data_Ref(0) = 1"},
         {},
         false},
    });
}

TEST(SemanticReferences, RecordsLeftOpen) {
    const std::vector<std::string> user = {"ExtUserPrmData = 1 \"M\"",  "Unsigned8 0 0-1",
                                           "Prm_Text_Ref = 1",          "EndExtUserPrmData",
                                           "Max_User_Prm_Data_Len = 4", "Ext_User_Prm_Data_Ref(0) = 1"};
    CheckCases({
        {"an empty PrmText stays open and takes the texts after an invalid PrmText line",
         S,
         {},
         Join({"PrmText = 1", "EndPrmText", "PrmText = bad", "Text(0) = \"a\"", "EndPrmText"}, user),
         {R(64214, E, T + 1, {"Text"})},
         false},
        {"an open definition does not make its number ambiguous",
         S,
         {},
         {"Max_User_Prm_Data_Len = 4", "ExtUserPrmData = 1 \"M\"", "EndExtUserPrmData", "ExtUserPrmData = 1 \"N\"",
          "Unsigned8 0 0-1", "EndExtUserPrmData", "Ext_User_Prm_Data_Ref(0) = 1"},
         {R(64215, E, T + 2, {"Data_Type_Name"})}},
    });
}

TEST(SemanticUserPrmData, ConstantsAreTrackedWithoutMaxUserPrmDataLen) {
    CheckCases({
        {"two constants on one byte with only User_Prm_Data_Len",
         S,
         {},
         {"User_Prm_Data_Len = 4", "Ext_User_Prm_Data_Const(0) = 0x00", "Ext_User_Prm_Data_Const(0) = 0x01"},
         {R(64624, W, T + 1, {"Ext_User_Prm_Data_Const"}), R(64627, W, T + 2, {"0"})}},
        {"two constants on one byte without any length",
         S,
         {},
         {"Ext_User_Prm_Data_Const(0) = 0x00", "Ext_User_Prm_Data_Const(0) = 0x01"},
         {R(64646, E, T, {"Ext_User_Prm_Data_Const"}), R(64627, W, T + 1, {"0"})}},
    });
}

TEST(SemanticDiagnosis, InvalidEntriesOccupyNoBitsAndNoValues) {
    CheckCases({
        {"an invalid bit number", S, {}, {"Unit_Diag_Bit(496) = \"a\"", "Unit_Diag_Bit(496) = \"b\""}, {}, false},
        {"an invalid area value",
         S,
         {},
         {"Unit_Diag_Area = 16-23", "Value(x) = \"a\"", "Value(x) = \"b\"", "Unit_Diag_Area_End"},
         {},
         false},
        {"an invalid Channel_Diag number",
         S,
         {},
         {"Module = \"Out\" 0x20", "Channel_Diag(256) = \"a\"", "Channel_Diag(256) = \"b\"", "EndModule"},
         {},
         false},
    });
}

// Unit diagnosis areas whose width the syntax check never lets through, fed to
// the semantic check as if their values had passed.
class CAreaFeed : public IMessageSink {
public:
    void AddRow(const CCheckMessage& message) override {
        if (message.m_nId == 64613 || message.m_nId == 64614) m_Rows.push_back(Show(message));
    }
    std::vector<std::string> m_Rows;
};

std::vector<std::string> AreaValueRows(const std::string& first, const std::string& last,
                                       const std::vector<std::string>& values) {
    std::vector<std::unique_ptr<CKeyEntry>> entries;
    auto add = [&](const std::string& keyword, std::vector<std::string> ready, CKeyEntry* parent) {
        auto entry = std::make_unique<CKeyEntry>(keyword, "", static_cast<int>(entries.size()));
        entry->m_LongLine = entry->m_Line;
        ready.resize(4);
        entry->SetItems(ready);
        entry->m_hParent = parent;
        entry->m_bSyntaxOk = 1;
        entries.push_back(std::move(entry));
        return entries.back().get();
    };
    CKeyEntry* area = add("Unit_Diag_Area", {first, last}, nullptr);
    for (const auto& value : values) add("Value", {value, "v"}, area);
    add("Unit_Diag_Area_End", {}, area);

    CAreaFeed feed;
    CTalunaContext context;
    context.m_pMessages = &feed;
    CSemanticCheck check(context, nullptr);
    for (auto& entry : entries) check.CheckEntry(*entry, PassCollect);
    for (auto& entry : entries) check.CheckEntry(*entry, PassEvaluate);
    check.CheckEntry(*entries.back(), PassFinal);
    return feed.m_Rows;
}

TEST(SemanticDiagnosis, ValueLimitOfAreasOutsideTheSyntaxRange) {
    // Width 1: values 0 and 1.
    EXPECT_EQ(AreaValueRows("5", "5", {"1", "2"}), Show(std::vector<Row>{R(64613, E, 2, {"2"})}));
    // Width 31: up to 2^31 - 1.
    EXPECT_EQ(AreaValueRows("0", "30", {"0x7FFFFFFF"}), std::vector<std::string>{});
    // Width 32 and more: every 32-bit value fits.
    EXPECT_EQ(AreaValueRows("0", "31", {"0xffffffff", "0"}), std::vector<std::string>{});
    EXPECT_EQ(AreaValueRows("0", "40", {"0xffffffff"}), std::vector<std::string>{});
    // Last bit below the first: no value fits.
    EXPECT_EQ(AreaValueRows("20", "16", {"0"}), Show(std::vector<Row>{R(64613, E, 1, {"0"})}));
}

}  // namespace

// The occupied bytes of the user parameter data are kept as runs: against a
// map of single bytes, any sequence of frees and takes must report the same
// count and the same entry of the highest byte freed, however runs are split,
// for a few runs, for many, and for ranges that go on at 0.
TEST(OffsetSet, RunsAnswerAsSingleBytesWould) {
    struct SCase {
        const char* name;
        std::uint32_t spread;  // first offsets lie below this
        std::uint32_t length;  // ranges are shorter than this
        int wrapEvery;         // every so many steps a range goes past the largest offset
    };
    const SCase cases[] = {
        {"few runs", 64, 8, 0},
        {"many runs", 4096, 4, 0},
        {"ranges going on at 0", 64, 8, 7},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        semantic::COffsetSet runs;
        std::map<std::uint32_t, std::uint32_t> bytes;
        std::uint32_t seed = 12345;
        const auto next = [&seed](std::uint32_t bound) {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 8) % bound;
        };
        const auto packed = [](std::uint32_t o, std::uint32_t mask, bool reference) {
            return (o & 0xFFFFu) | ((mask & 0xFFu) << 16) | (reference ? 0xFFu << 24 : 0u);
        };
        for (int step = 0; step < 20000; ++step) {
            const bool wrap = c.wrapEvery > 0 && step % c.wrapEvery == 0;
            const std::uint32_t first = wrap ? UINT32_MAX - next(4) : next(c.spread);
            const std::uint32_t last = wrap ? next(4) : first + next(c.length);
            const std::uint32_t mask = next(256);
            const bool reference = next(2) == 1;
            std::uint32_t expectedLast = 0, lastRemoved = 0;
            size_t expected = 0;
            const auto free = [&](std::uint32_t from, std::uint32_t to) {
                for (auto it = bytes.lower_bound(from); it != bytes.end() && it->first <= to; it = bytes.erase(it)) {
                    expectedLast = it->second;
                    ++expected;
                }
            };
            if (wrap) {
                free(first, UINT32_MAX);
                free(0, last);
            } else {
                free(first, last);
            }
            const size_t removed = runs.Remove(first, last, lastRemoved);
            ASSERT_EQ(removed, expected) << "step " << step;
            if (expected > 0) {
                ASSERT_EQ(lastRemoved, expectedLast) << "step " << step;
            }
            if (step % 5 == 4) continue;  // some frees leave their bytes free
            runs.Take(first, last, mask, reference);
            for (std::uint32_t o = first;; ++o) {
                bytes[o] = packed(o, mask, reference);
                if (o == last) break;
            }
        }
    }
}

// The sets of the duplicate rules answer as a plain set of numbers would,
// across clears and on both sides of the table's limit.
TEST(NumberSet, AnswersAsASetWould) {
    semantic::CNumberSet numbers;
    std::set<std::uint32_t> model;
    std::uint32_t seed = 777;
    const auto next = [&seed](std::uint32_t bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % bound;
    };
    constexpr std::uint32_t kLimit = semantic::CNumberSet::SMALL_LIMIT;
    for (int step = 0; step < 50000; ++step) {
        if (next(500) == 0) {
            numbers.clear();
            model.clear();
        }
        // Mostly small numbers, some near the table's limit, some far beyond it.
        const std::uint32_t kind = next(10);
        const std::uint32_t value = kind < 6 ? next(300) : kind < 9 ? kLimit - 40 + next(80) : UINT32_MAX - next(50);
        ASSERT_EQ(numbers.Insert(value), model.insert(value).second) << "step " << step << " value " << value;
    }
}
