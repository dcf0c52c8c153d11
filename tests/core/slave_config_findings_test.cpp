// Faults of a file or of a configuration: one case per kind, each a finding at
// its line, never a crash, and the bytes still what a master would send. The
// declared limits, each just kept and just exceeded, and the bounds of DP.

#include <gtest/gtest.h>

#include "slave_config_test_support.h"

namespace {

using namespace slave_config_test;

struct SFindingCase {
    const char* m_pszName;
    std::string m_Text;
    CSlaveConfigRequest m_Request;
    int m_nKind;
    const char* m_pszLineOf;  // text of the line the finding names; null for none
    const char* m_pszText;    // part of the finding's text
    const char* m_pszPrm;     // the user parameter data; null when not compared
    int m_nPrmSize;           // their length; -1 when not compared
};

// The 1-based number of the first line of `text` holding `part`; 0 for none.
int LineOf(const std::string& text, const char* part) {
    int number = 1;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find("\r\n", start);
        if (text.substr(start, end - start).find(part) != std::string::npos) return number;
        if (end == std::string::npos) return 0;
        start = end + 2;
        ++number;
    }
}

const std::initializer_list<std::string> kDefinitions = {
    "PrmText = 1",
    "Text(0) = \"off\"",
    "Text(1) = \"on\"",
    "EndPrmText",
    "ExtUserPrmData = 1 \"switch\"",
    "Bit(0) 0 0-1",
    "Prm_Text_Ref = 1",
    "EndExtUserPrmData",
    "ExtUserPrmData = 2 \"level\"",
    "Unsigned8 3 0-5",
    "EndExtUserPrmData",
    "ExtUserPrmData = 3 \"nibble\"",
    "BitArea(0-3) 0 0-15",
    "EndExtUserPrmData",
    "ExtUserPrmData = 4 \"word\"",
    "Unsigned16 0x0102 0-0xFFFF",
    "EndExtUserPrmData",
};

// The definitions above, then the lines.
std::string Defined(std::initializer_list<std::string> lines) {
    std::string text = Gsd(kDefinitions);
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

CSlaveConfigRequest Setting(int slot, const char* parameter, const char* value) {
    CSlaveConfigRequest request;
    request.m_Settings.push_back({slot, parameter, value});
    return request;
}

CSlaveConfigRequest Plug(std::vector<int> modules) {
    CSlaveConfigRequest request;
    request.m_Modules = std::move(modules);
    return request;
}

constexpr int E = CheckMessageKind::Error;
constexpr int W = CheckMessageKind::Warning;

// A modular station of three modules, "A" (reference 1), "B" (reference 2) and
// "C" (no reference), then the lines.
std::string Slotted(std::initializer_list<std::string> lines) {
    std::string text = Gsd({"Modular_Station = 1", "Max_Module = 3", "Module = \"A\" 0x10", "1", "EndModule",
                            "Module = \"B\" 0x20", "2", "EndModule", "Module = \"C\" 0x30", "EndModule"});
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::vector<SFindingCase> Cases() {
    return {
        {"a module the Slot line does not allow",
         Slotted({"SlotDefinition", "Slot(1) = \"first\" 1 1", "EndSlotDefinition"}), Plug({1}), E, "Slot(1)",
         "Slot(1) \"first\" takes the modules 1; module \"B\" in slot #0 has the reference 2 and may not stand there.",
         "", -1},
        {"a module without reference where a Slot line decides",
         Slotted({"SlotDefinition", "Slot(1) = \"first\" 1 1-2", "EndSlotDefinition"}), Plug({2, 0}), E, "Slot(1)",
         "\"C\" in slot #0 has no module reference", "", -1},
        {"a Slot default that no Module has",
         Slotted({"SlotDefinition", "Slot(1) = \"first\" 7 1-7", "EndSlotDefinition"}),
         {},
         W,
         "Slot(1)",
         "Slot(1) names the default module reference 7, which no Module of the file has; the slot has no default "
         "module.",
         "",
         -1},
        {"a Slot before the first slot of the modules",
         Slotted({"Modul_Offset = 2", "SlotDefinition", "Slot(1) = \"first\" 1 1", "EndSlotDefinition"}),
         {},
         W,
         "Slot(1)",
         "Slot(1) lies before the first slot of the modules (Modul_Offset = 2); it is not used.",
         "",
         -1},
        {"a Slot defined twice",
         Slotted({"SlotDefinition", "Slot(1) = \"first\" 1 1", "Slot(1) = \"again\" 2 2", "EndSlotDefinition"}),
         {},
         W,
         "again",
         "Slot(1) is defined again; the first (line 13) counts.",
         "",
         -1},
        {"allowed modules that are no references",
         Slotted({"SlotDefinition", "Slot(1) = \"first\" 1 one-two", "EndSlotDefinition"}), Plug({1}), W, "Slot(1)",
         "The allowed modules \"one-two\" of Slot(1) are no list or range of module references; the slot takes any "
         "module.",
         "", -1},
        {"a Slot line without a name",
         Slotted({"SlotDefinition", "Slot(1) = 1 1", "EndSlotDefinition"}),
         {},
         W,
         "Slot(1)",
         "Slot(1) has no quoted name; it is not used.",
         "",
         -1},
        {"a Modul_Offset that is no number",
         Slotted({"Modul_Offset = first", "SlotDefinition", "Slot(1) = \"first\" 1 1", "EndSlotDefinition"}),
         {},
         W,
         "Modul_Offset",
         "The value \"first\" of Modul_Offset is no slot number; the slots count from 1.",
         "",
         -1},
        {"file without modules",
         Gsd({"Station_Type = 0", "User_Prm_Data_Len = 1"}),
         {},
         E,
         nullptr,
         "The file defines no Module",
         "00",
         -1},
        {"master file", Gsd({"Station_Type = 1"}), {}, E, "Station_Type", "describes a DP master", "", -1},
        {"Ref to an undefined ExtUserPrmData",
         Defined({"Module = \"m\" 0x10", "Ext_User_Prm_Data_Ref(1) = 99", "Ext_User_Prm_Data_Ref(0) = 2", "EndModule"}),
         {},
         E,
         "= 99",
         "refers to ExtUserPrmData 99, which the file does not define",
         "03",
         -1},
        {"PrmText without texts",
         Gsd({"PrmText = 7", "EndPrmText", "ExtUserPrmData = 1 \"x\"", "Unsigned8 4 0-9", "Prm_Text_Ref = 7",
              "EndExtUserPrmData", "Module = \"m\" 0x10", "Ext_User_Prm_Data_Ref(0) = 1", "EndModule"}),
         {},
         E,
         "PrmText = 7",
         "PrmText 7 has no Text lines",
         "04",
         -1},
        {"Prm_Text_Ref to an undefined PrmText",
         Gsd({"ExtUserPrmData = 1 \"x\"", "Unsigned8 4 0-9", "Prm_Text_Ref = 8", "EndExtUserPrmData",
              "Module = \"m\" 0x10", "Ext_User_Prm_Data_Ref(0) = 1", "EndModule"}),
         {},
         W,
         "Prm_Text_Ref",
         "names PrmText 8, which the file does not define",
         "04",
         -1},
        {"Const offset beyond 244",
         Defined({"Module = \"m\" 0x10", "Ext_User_Prm_Data_Const(99999999999) = 0x01",
                  "Ext_User_Prm_Data_Const(250) = 0x01", "EndModule"}),
         {},
         E,
         "Const(250)",
         "reaches beyond the 244 bytes",
         "",
         -1},
        {"Ref reaching beyond 244",
         Defined({"Module = \"m\" 0x10", "Ext_User_Prm_Data_Ref(243) = 4", "EndModule"}),
         {},
         E,
         "Ref(243)",
         "reaches beyond the 244 bytes",
         nullptr,
         244},
        {"BitArea of reversed bits",
         Gsd({"ExtUserPrmData = 1 \"x\"", "BitArea(5-2) 1 0-3", "EndExtUserPrmData", "Module = \"m\" 0x10",
              "Ext_User_Prm_Data_Const(0) = 0xFF", "Ext_User_Prm_Data_Ref(0) = 1", "EndModule"}),
         {},
         E,
         "BitArea(5-2)",
         "names its first bit after its last",
         "FF",
         -1},
        {"Bit outside the byte",
         Gsd({"ExtUserPrmData = 1 \"x\"", "Bit(9) 1 0-1", "EndExtUserPrmData", "Module = \"m\" 0x10",
              "Ext_User_Prm_Data_Ref(0) = 1", "EndModule"}),
         {},
         E,
         "Bit(9)",
         "lies outside the byte (bits 0-7)",
         "",
         -1},
        {"default outside its range",
         Gsd({"ExtUserPrmData = 1 \"x\"", "Unsigned8 9 0-5", "EndExtUserPrmData", "Module = \"m\" 0x10",
              "Ext_User_Prm_Data_Ref(0) = 1", "EndModule"}),
         {},
         E,
         "Unsigned8 9",
         "The default value 9 of ExtUserPrmData 1 \"x\" lies outside its allowed values 0-5",
         "09",
         -1},
        {"default outside its list",
         Gsd({"ExtUserPrmData = 1 \"x\"", "Signed8 -2 -1,3,5", "EndExtUserPrmData", "Module = \"m\" 0x10",
              "Ext_User_Prm_Data_Ref(0) = 1", "EndModule"}),
         {},
         E,
         "Signed8",
         "lies outside its allowed values -1,3,5",
         "FE",
         -1},
        {"default beyond its data type",
         Gsd({"ExtUserPrmData = 1 \"x\"", "Unsigned8 0x1FF 0-0x1FF", "EndExtUserPrmData", "Module = \"m\" 0x10",
              "Ext_User_Prm_Data_Ref(0) = 1", "EndModule"}),
         {},
         E,
         "Unsigned8",
         "does not fit in Unsigned8",
         "FF",
         -1},
        {"no default value",
         Gsd({"ExtUserPrmData = 1 \"x\"", "Bit(1)  0-1", "EndExtUserPrmData", "Module = \"m\" 0x10",
              "Ext_User_Prm_Data_Const(0) = 0xFF", "Ext_User_Prm_Data_Ref(0) = 1", "EndModule"}),
         {},
         E,
         "Bit(1)",
         "has no default value; 0 is taken",
         "FD",
         -1},
        {"no data type",
         Gsd({"ExtUserPrmData = 1 \"x\"", "EndExtUserPrmData", "Module = \"m\" 0x10", "Ext_User_Prm_Data_Ref(0) = 1",
              "EndModule"}),
         {},
         E,
         "ExtUserPrmData = 1",
         "has no data type",
         "",
         -1},
        {"two Refs writing the same bits",
         Defined({"Module = \"m\" 0x10", "Ext_User_Prm_Data_Ref(0) = 3", "Ext_User_Prm_Data_Ref(0) = 1 ; second",
                  "EndModule"}),
         Setting(0, "nibble", "15"), E, "; second", "Parameters \"nibble\" (line", "0E", -1},
        {"module part longer than Ext_Module_Prm_Data_Len",
         Defined({"Module = \"m\" 0x10", "Ext_Module_Prm_Data_Len = 1", "Ext_User_Prm_Data_Ref(0) = 4", "EndModule"}),
         {},
         E,
         "Ext_Module_Prm_Data_Len",
         "hold 2 bytes, more than its Ext_Module_Prm_Data_Len = 1",
         "01 02",
         -1},
        {"Ext_Module_Prm_Data_Len beyond 244",
         Defined({"Module = \"m\" 0x10", "Ext_Module_Prm_Data_Len = 100000", "EndModule"}),
         {},
         E,
         "Ext_Module_Prm_Data_Len",
         "exceeds the 244 bytes",
         nullptr,
         244},
        {"User_Prm_Data longer than User_Prm_Data_Len",
         Gsd({"User_Prm_Data_Len = 2", "User_Prm_Data = 1,2,3", "Module = \"m\" 0x10", "EndModule"}),
         {},
         E,
         "User_Prm_Data =",
         "holds 3 bytes, more than User_Prm_Data_Len = 2",
         "01 02",
         -1},
        {"DP-V1 slave without its status bytes",
         Gsd({"DPV1_Slave = 1", "Ext_User_Prm_Data_Const(0) = 0x80,0x00", "Module = \"m\" 0x10", "EndModule"}),
         {},
         E,
         "DPV1_Slave",
         "three DP-V1 status bytes, but the device part has 2",
         "80 00",
         -1},
        {"a text not among the parameter's texts",
         Defined({"Module = \"m\" 0x10", "Ext_User_Prm_Data_Ref(0) = 1", "EndModule"}), Setting(0, "switch", "maybe"),
         E, "Ref(0) = 1", "\"maybe\" is not a text of parameter \"switch\" of module \"m\" (PrmText 1)", "00", -1},
        {"a set value outside the range", Defined({"Module = \"m\" 0x10", "Ext_User_Prm_Data_Ref(0) = 2", "EndModule"}),
         Setting(0, "level", "6"), E, "Ref(0) = 2",
         "The value 6 set for parameter \"level\" of module \"m\" lies outside its allowed values 0-5", "06", -1},
        {"a set text for a parameter without texts",
         Defined({"Module = \"m\" 0x10", "Ext_User_Prm_Data_Ref(0) = 2", "EndModule"}), Setting(0, "level", "high"), E,
         "Ref(0) = 2", "is no number, and parameter \"level\" of module \"m\" has no texts", "03", -1},
        {"configuration data ending inside an identifier",
         Gsd({"Module = \"m\" 0x13,0x40", "EndModule"}),
         {},
         E,
         "Module",
         "end inside an identifier: 1 of its bytes are missing",
         "",
         -1},
        {"configuration data with a value that is no byte",
         Gsd({"Module = \"m\" 0x10,0x100,0x20", "EndModule"}),
         {},
         E,
         "Module",
         "hold \"0x100\", which is no byte value",
         "",
         -1},
        {"a Module line without configuration data",
         Gsd({"Module = \"m\"", "EndModule"}),
         {},
         E,
         "Module",
         "has no configuration data",
         "",
         -1},
        {"a compact station with two modules", Gsd({"Module = \"a\" 0x10", "EndModule"}), Plug({0, 0}), E, nullptr,
         "A compact station (Modular_Station absent or 0) takes one module; 2 are plugged", "", -1},
        {"a modular station with none plugged",
         Gsd({"Modular_Station = 1", "Module = \"a\" 0x10", "EndModule"}),
         {},
         W,
         "Modular_Station",
         "No module is plugged",
         "",
         -1},
        {"F_ parameters left out",
         Gsd({"Module = \"safe\" 0x10", "F_Ext_Module_Prm_Data_Len = 10", "F_Ext_User_Prm_Data_Const(0) = 1",
              "EndModule"}),
         {},
         W,
         "F_Ext_Module",
         "The F_ parameter lines of module \"safe\" are not part",
         "",
         -1},
        {"a parameter line inside another block",
         Gsd({"ExtUserPrmData = 1 \"x\"", "Ext_User_Prm_Data_Const(0) = 1", "Unsigned8 0 0-1", "EndExtUserPrmData",
              "Module = \"m\" 0x10", "EndModule"}),
         {},
         W,
         "Const(0)",
         "stands inside ExtUserPrmData and belongs to no parameter data",
         "",
         -1},
    };
}

class SlaveConfigFindings : public ::testing::TestWithParam<SFindingCase> {};

TEST_P(SlaveConfigFindings, ReportsTheFaultAtItsLine) {
    const SFindingCase& c = GetParam();
    const CSlaveConfig config = Configure(c.m_Text, c.m_Request);
    ASSERT_TRUE(config.m_RequestErrors.empty()) << config.m_RequestErrors.front();
    const int line = c.m_pszLineOf != nullptr ? LineOf(c.m_Text, c.m_pszLineOf) : 0;
    ASSERT_TRUE(c.m_pszLineOf == nullptr || line > 0) << "no line holds " << c.m_pszLineOf;
    bool found = false;
    for (const CCheckMessage& row : config.m_Findings)
        found = found || (row.m_Text.find(c.m_pszText) != std::string::npos && row.m_nKind == c.m_nKind &&
                          (line > 0 ? row.m_nLine == line - 1 : !row.HasLine()));
    EXPECT_TRUE(found) << Rows(config.m_Findings);
    EXPECT_EQ(config.HasErrors(), c.m_nKind == E);
    if (c.m_pszPrm != nullptr) {
        EXPECT_EQ(Hex(config.m_Prm), c.m_pszPrm);
    }
    if (c.m_nPrmSize >= 0) {
        EXPECT_EQ(static_cast<int>(config.m_Prm.size()), c.m_nPrmSize);
    }
    EXPECT_LE(config.m_DevicePrm.size(), static_cast<size_t>(244));
    for (const CPluggedModule& module : config.m_Plugged) EXPECT_LE(module.m_Prm.size(), static_cast<size_t>(244));
    // Listing the modules meets the faults of the modules as well, and the listing is found again.
    const CModuleList list = ListModules(c.m_Text);
    for (const CModuleListing& module : list.m_Modules) EXPECT_LE(module.m_Prm.size(), static_cast<size_t>(244));
}

INSTANTIATE_TEST_SUITE_P(Cases, SlaveConfigFindings, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<SFindingCase>& info) {
                             std::string name;
                             for (const char* p = info.param.m_pszName; *p != '\0'; ++p)
                                 name +=
                                     (*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9')
                                         ? *p
                                         : '_';
                             return name;
                         });

TEST(SlaveConfigFindings, ConstBytesUnderAParameterAreNoFinding) {
    const CSlaveConfig config =
        Configure(Defined({"Module = \"m\" 0x10", "Ext_User_Prm_Data_Const(0) = 0xF0,0x00",
                           "Ext_User_Prm_Data_Ref(0) = 1", "Ext_User_Prm_Data_Ref(1) = 2", "EndModule"}));
    EXPECT_EQ(Rows(config.m_Findings), "");
    EXPECT_EQ(Hex(config.m_Prm), "F0 03");
}

TEST(SlaveConfigFindings, RequestsThatNameNothingAreRefused) {
    const std::string text =
        Defined({"Modular_Station = 1", "Module = \"m\" 0x10", "Ext_User_Prm_Data_Ref(0) = 1", "EndModule"});
    CSlaveConfigRequest noModule = Plug({1});
    CSlaveConfigRequest noSlot = Plug({0});
    noSlot.m_Settings.push_back({1, "switch", "on"});
    CSlaveConfigRequest noParameter = Plug({0});
    noParameter.m_Settings.push_back({-1, "switch", "on"});
    noParameter.m_Settings.push_back({0, "level", "1"});
    EXPECT_EQ(Configure(text, noModule).m_RequestErrors,
              std::vector<std::string>{"There is no Module #1; the file has 1 (#0 to #0)."});
    EXPECT_EQ(Configure(text, noSlot).m_RequestErrors,
              std::vector<std::string>{"There is no slot #1 for \"switch\"; 1 modules are plugged."});
    EXPECT_EQ(Configure(text, noParameter).m_RequestErrors,
              (std::vector<std::string>{"The device part has no parameter \"switch\".",
                                        "Module \"m\" in slot #0 has no parameter \"level\"."}));
}

// Lines no parameter data can be built from: each a finding, never a crash.
TEST(SlaveConfigFindings, HostileLinesGiveFindings) {
    const struct {
        std::string m_Line;
        const char* m_pszText;
    } cases[] = {
        {"Ext_User_Prm_Data_Const(-1) = 1", "has no offset"},
        {"Ext_User_Prm_Data_Const(x) = 1", "has no offset"},
        {"Ext_User_Prm_Data_Const(0) = 1,,2", "\"\" is no byte value"},
        {"Ext_User_Prm_Data_Const(0) = 0x1,256", "\"256\" is no byte value"},
        {"Ext_User_Prm_Data_Ref(0) = abc", "names no ExtUserPrmData number"},
        {"Ext_User_Prm_Data_Ref(1099511627777) = 1", "has no offset"},
        {"Ext_User_Prm_Data_Ref(0) = 5", "names no bits"},
        {"Ext_User_Prm_Data_Ref(0) = 6", "has no default value and no allowed values"},
        {"Ext_User_Prm_Data_Ref(0) = 7", "are no range and no list of numbers"},
        {"Ext_User_Prm_Data_Ref(0) = 8", "\"zero\" of ExtUserPrmData 8 \"bad default\" is no number"},
        {"Ext_User_Prm_Data_Ref(0) = 9", "ends below its start"},
        {"Ext_User_Prm_Data_Ref(0) = 10", "has a second data type"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.m_Line);
        const std::string text = Gsd({"ExtUserPrmData = 5 \"no bits\"",
                                      "BitArea(a-b) 0 0-1",
                                      "EndExtUserPrmData",
                                      "ExtUserPrmData = 6 \"empty\"",
                                      "Unsigned8",
                                      "EndExtUserPrmData",
                                      "ExtUserPrmData = 7 \"words\"",
                                      "Unsigned8 0 low-high",
                                      "EndExtUserPrmData",
                                      "ExtUserPrmData = 8 \"bad default\"",
                                      "Unsigned8 zero 0-1",
                                      "EndExtUserPrmData",
                                      "ExtUserPrmData = 9 \"reversed\"",
                                      "Unsigned8 0 5-1",
                                      "EndExtUserPrmData",
                                      "ExtUserPrmData = 10 \"twice\"",
                                      "Unsigned8 0 0-1",
                                      "Unsigned16 0 0-1",
                                      "EndExtUserPrmData",
                                      "Module = \"m\" 0x10",
                                      c.m_Line,
                                      "EndModule"});
        const CSlaveConfig config = Configure(text);
        EXPECT_NE(Rows(config.m_Findings).find(c.m_pszText), std::string::npos) << Rows(config.m_Findings);
        EXPECT_LE(config.m_Prm.size(), static_cast<size_t>(244));
    }
}

// Each declared limit, just kept and just exceeded. Every module "m" has one
// input byte, one output byte and one parameter byte.
TEST(SlaveConfigLimits, EachLimitJustKeptAndJustExceeded) {
    const struct {
        const char* m_pszKey;
        int m_nLimit;
        int m_nKept;       // modules plugged that use the limit to the full
        int m_nBase;       // what the configuration uses without modules
        int m_nPerModule;  // and what each module adds
        const char* m_pszWhat;
    } limits[] = {
        {"Max_Module", 2, 2, 0, 1, "modules plugged"},
        {"Max_Input_Len", 2, 2, 0, 1, "bytes of input data"},
        {"Max_Output_Len", 2, 2, 0, 1, "bytes of output data"},
        {"Max_Data_Len", 4, 2, 0, 2, "bytes of input and output data"},
        {"Max_User_Prm_Data_Len", 2, 2, 0, 1, "bytes of user parameter data"},
        // Without Max_User_Prm_Data_Len the device's length bounds the whole.
        {"User_Prm_Data_Len", 3, 0, 3, 1, "bytes of user parameter data"},
    };
    for (const auto& limit : limits) {
        for (const int plugged : {limit.m_nKept, limit.m_nKept + 1}) {
            SCOPED_TRACE(std::string(limit.m_pszKey) + " with " + std::to_string(plugged) + " modules");
            const std::string declaration = std::string(limit.m_pszKey) + " = " + std::to_string(limit.m_nLimit);
            const std::string text = Gsd({"Modular_Station = 1", declaration, "Module = \"m\" 0x30",
                                          "Ext_Module_Prm_Data_Len = 1", "EndModule"});
            const CSlaveConfig config = Configure(text, Plug(std::vector<int>(static_cast<size_t>(plugged), 0)));
            ASSERT_EQ(config.m_Limits.size(), 1u);
            const CConfigLimit& row = config.m_Limits[0];
            EXPECT_EQ(row.m_Key, limit.m_pszKey);
            EXPECT_EQ(row.m_nLimit, limit.m_nLimit);
            EXPECT_EQ(row.m_nLine, 2);
            const bool exceeded = plugged > limit.m_nKept;
            EXPECT_EQ(row.m_nUsed, limit.m_nBase + limit.m_nPerModule * plugged);
            EXPECT_EQ(row.Exceeded(), exceeded);
            const std::string expected = "The configuration exceeds " + declaration + ": it has " +
                                         std::to_string(row.m_nUsed) + " " + limit.m_pszWhat + ".";
            std::vector<CCheckMessage> errors;
            for (const CCheckMessage& finding : config.m_Findings)
                if (finding.m_nKind == CheckMessageKind::Error) errors.push_back(finding);
            EXPECT_EQ(Rows(errors), exceeded ? "Error\tLine 3\t" + expected + "\n" : "");
        }
    }
}

TEST(SlaveConfigLimits, MaxUserPrmDataLenTakesThePlaceOfUserPrmDataLen) {
    const CSlaveConfig config = Configure(Gsd({"User_Prm_Data_Len = 1", "Max_User_Prm_Data_Len = 3",
                                               "Module = \"m\" 0x30", "Ext_Module_Prm_Data_Len = 2", "EndModule"}));
    ASSERT_EQ(config.m_Limits.size(), 1u);
    EXPECT_EQ(config.m_Limits[0].m_Key, "Max_User_Prm_Data_Len");
    EXPECT_EQ(config.m_Limits[0].m_nUsed, 3);
    EXPECT_EQ(Rows(config.m_Findings), "");
}

TEST(SlaveConfigLimits, ALimitThatIsNoNumberIsNamed) {
    const CSlaveConfig config = Configure(Gsd({"Max_Input_Len = many", "Module = \"m\" 0x30", "EndModule"}));
    EXPECT_TRUE(config.m_Limits.empty());
    EXPECT_EQ(Rows(config.m_Findings),
              "Warning\tLine 2\tThe value \"many\" of Max_Input_Len is no number; the configuration is not compared "
              "with it.\n");
}

// What a DP slave takes at most, declared or not: 244 bytes of configuration,
// input, output and user parameter data.
TEST(SlaveConfigLimits, TheBoundsOfDpHoldWithoutDeclarations) {
    const std::string text = Gsd({"Modular_Station = 1", "Module = \"in\" 0x10", "EndModule", "Module = \"prm\" 0x20",
                                  "Ext_Module_Prm_Data_Len = 122", "EndModule"});
    const CSlaveConfig kept = Configure(text, Plug(std::vector<int>(244, 0)));
    EXPECT_EQ(Rows(kept.m_Findings), "");
    EXPECT_EQ(kept.m_Cfg.size(), 244u);
    EXPECT_EQ(kept.m_nInputs, 244);

    std::vector<int> modules(245, 0);
    const CSlaveConfig tooMany = Configure(text, Plug(modules));
    EXPECT_EQ(Rows(tooMany.m_Findings),
              "Error\t---\tThe configuration has 245 bytes of configuration data; a DP slave takes at most 244.\n"
              "Error\t---\tThe configuration has 245 bytes of input data; a DP slave takes at most 244.\n");

    const CSlaveConfig longPrm = Configure(text, Plug({1, 1, 1}));
    EXPECT_EQ(longPrm.m_Prm.size(), 366u);
    EXPECT_EQ(Rows(longPrm.m_Findings),
              "Error\t---\tThe configuration has 366 bytes of user parameter data; a DP slave takes at most 244.\n");
}

}  // namespace
