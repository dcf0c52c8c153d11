// The bytes a master sends for hand-written files: configuration data in slot
// order, the user parameter data of every data type, bit fields sharing a byte,
// Const bytes under parameters, padding, settings, and the input and output
// counts of general-format, word-unit, special-format and empty identifiers.

#include <gtest/gtest.h>

#include <cctype>

#include "slave_config_test_support.h"

namespace {

using namespace slave_config_test;

struct SBytesCase {
    const char* m_pszName;
    std::string m_Text;
    CSlaveConfigRequest m_Request;
    const char* m_pszCfg;
    const char* m_pszDevicePrm;
    const char* m_pszPrm;
    long long m_nInputs;
    long long m_nOutputs;
};

// Definitions of one parameter of each data type, with texts for the bit area.
const std::initializer_list<std::string> kAllTypes = {
    "PrmText = 1",
    "Text(0) = \"off\"",
    "Text(5) = \"five\"",
    "Text(7) = \"seven\"",
    "EndPrmText",
    "ExtUserPrmData = 1 \"u8\"",
    "Unsigned8 0xAB 0-255",
    "EndExtUserPrmData",
    "ExtUserPrmData = 2 \"u16\"",
    "Unsigned16 0x1234 0-0xFFFF",
    "EndExtUserPrmData",
    "ExtUserPrmData = 3 \"u32\"",
    "Unsigned32 0x01020304 0-0xFFFFFFFF",
    "EndExtUserPrmData",
    "ExtUserPrmData = 4 \"s8\"",
    "Signed8 -2 -128-127",
    "EndExtUserPrmData",
    "ExtUserPrmData = 5 \"s16\"",
    "Signed16 -2 -32768-32767",
    "EndExtUserPrmData",
    "ExtUserPrmData = 6 \"s32\"",
    "Signed32 -100000 -16777216-16777215",
    "EndExtUserPrmData",
    "ExtUserPrmData = 7 \"bit\"",
    "Bit(3) 1 0-1",
    "EndExtUserPrmData",
    "ExtUserPrmData = 8 \"area\"",
    "BitArea(4-6) 5 0,5,7",
    "Prm_Text_Ref = 1",
    "EndExtUserPrmData",
    "ExtUserPrmData = 9 \"low\"",
    "Bit(0) 1 0-1",
    "EndExtUserPrmData",
    "ExtUserPrmData = 10 \"high\"",
    "Bit(7) 1 0-1",
    "EndExtUserPrmData",
    "ExtUserPrmData = 11 \"middle\"",
    "BitArea(2-4) 3 0-7",
    "EndExtUserPrmData",
    "ExtUserPrmData = 12 \"clear\"",
    "Bit(2) 0 0-1",
    "EndExtUserPrmData",
    "ExtUserPrmData = 13 \"nibble\"",
    "BitArea(0-3) 0 0-15",
    "EndExtUserPrmData",
};

std::string WithDefinitions(std::initializer_list<std::string> lines) {
    std::string text = Gsd(kAllTypes);
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

CSlaveConfigRequest Plug(std::vector<int> modules, std::vector<CPrmSettingRequest> settings = {}) {
    CSlaveConfigRequest request;
    request.m_Modules = std::move(modules);
    request.m_Settings = std::move(settings);
    return request;
}

std::vector<SBytesCase> Cases() {
    return {
        {"compact station plugs its module by default",
         Gsd({"Station_Type = 0", "Module = \"8 DI\" 0x10", "EndModule"}),
         {},
         "10",
         "",
         "",
         1,
         0},
        {"User_Prm_Data padded to User_Prm_Data_Len",
         Gsd({"User_Prm_Data_Len = 5", "User_Prm_Data = 0x01,0x02, \\", "0x03", "Module = \"8 DO\" 0x20", "EndModule"}),
         {},
         "20",
         "01 02 03 00 00",
         "01 02 03 00 00",
         0,
         1},
        {"every data type at its offset, big-endian",
         WithDefinitions(
             {"Ext_User_Prm_Data_Ref(0) = 1", "Ext_User_Prm_Data_Ref(1) = 2", "Ext_User_Prm_Data_Ref(3) = 3",
              "Ext_User_Prm_Data_Ref(7) = 4", "Ext_User_Prm_Data_Ref(8) = 5", "Ext_User_Prm_Data_Ref(10) = 6",
              "Ext_User_Prm_Data_Ref(14) = 7", "Ext_User_Prm_Data_Ref(14) = 8", "Module = \"m\" 0x10", "EndModule"}),
         {},
         "10",
         "AB 12 34 01 02 03 04 FE FF FE FF FE 79 60 58",
         "AB 12 34 01 02 03 04 FE FF FE FF FE 79 60 58",
         1,
         0},
        {"bit fields sharing a byte keep each other's bits",
         WithDefinitions({"Ext_User_Prm_Data_Ref(2) = 9", "Ext_User_Prm_Data_Ref(2) = 10",
                          "Ext_User_Prm_Data_Ref(2) = 11", "Module = \"m\" 0x10", "EndModule"}),
         {},
         "10",
         "00 00 8D",
         "00 00 8D",
         1,
         0},
        {"Const bytes lie under the parameters, a value 0 clears only its bits",
         WithDefinitions({"Ext_User_Prm_Data_Ref(0) = 12", "Ext_User_Prm_Data_Ref(1) = 13",
                          "Ext_User_Prm_Data_Const(0) = 0xFF,0xFF,0x5A", "Module = \"m\" 0x10", "EndModule"}),
         {},
         "10",
         "FB F0 5A",
         "FB F0 5A",
         1,
         0},
        {"settings by text and by number, in the device part and in a slot",
         WithDefinitions({"Modular_Station = 1", "Ext_User_Prm_Data_Ref(0) = 8", "Ext_User_Prm_Data_Ref(1) = 2",
                          "Module = \"a\" 0x10", "Ext_User_Prm_Data_Ref(0) = 8", "EndModule", "Module = \"b\" 0x20",
                          "Ext_User_Prm_Data_Ref(0) = 1", "EndModule"}),
         Plug({1, 0, 1},
              {{-1, "area", "seven"}, {-1, "U16", "0x0102"}, {0, "u8", "17"}, {1, "area", "OFF"}, {2, "u8", "0xFF"}}),
         "20 10 20", "70 01 02", "70 01 02 11 00 FF", 1, 2},
        {"module parts padded to Ext_Module_Prm_Data_Len, after the device part",
         WithDefinitions({"Modular_Station = 1", "Ext_User_Prm_Data_Const(0) = 0x80", "Module = \"padded\" 0x10",
                          "Ext_Module_Prm_Data_Len = 4", "Ext_User_Prm_Data_Ref(1) = 1", "EndModule",
                          "Module = \"only length\" 0x20", "Ext_Module_Prm_Data_Len = 2", "EndModule",
                          "Module = \"none\" 0x00", "EndModule"}),
         Plug({0, 2, 1}), "10 00 20", "80", "80 00 AB 00 00 00 00", 1, 1},
        {"the Slot lines plug their default modules position by position, whatever their order",
         Gsd({"Modular_Station = 1", "Modul_Offset = 1", "Module = \"A\" 0x10", "1", "EndModule", "Module = \"B\" 0x20",
              "2", "EndModule", "SlotDefinition", "Slot(2) = \"second\" 1 1-2", "Slot(1) = \"first\" 2 1,2",
              "EndSlotDefinition"}),
         {},
         "20 10",
         "",
         "",
         1,
         1},
        {"without Modul_Offset the slots count from 1, and a gap ends the defaults",
         Gsd({"Modular_Station = 1", "Module = \"A\" 0x10", "1", "EndModule", "Module = \"B\" 0x20", "2", "EndModule",
              "SlotDefinition", "Slot(1) = \"first\" 2 2", "Slot(3) = \"third\" 1 1", "EndSlotDefinition"}),
         {},
         "20",
         "",
         "",
         0,
         1},
        {"Modul_Offset 0: Slot(0) is the first position",
         Gsd({"Modular_Station = 1", "Modul_Offset = 0", "Module = \"A\" 0x10", "1", "EndModule", "Module = \"B\" 0x20",
              "2", "EndModule", "SlotDefinition", "Slot(0) = \"first\" 2 0 , 1 , 2", "Slot(1) = \"second\" 2 2",
              "EndSlotDefinition"}),
         {},
         "20 20",
         "",
         "",
         0,
         2},
        {"general format: bytes, words, both directions",
         Gsd({"Modular_Station = 1", "Module = \"16 bytes in\" 0x1F", "EndModule", "Module = \"1 word in\" 0x50",
              "EndModule", "Module = \"2 words both\" 0xF1", "EndModule", "Module = \"4 words in, consistent\" 0xD3",
              "EndModule", "Module = \"3 bytes out\" 0xA2", "EndModule"}),
         Plug({0, 1, 2, 3, 4}), "1F 50 F1 D3 A2", "", "", 16 + 2 + 4 + 8, 4 + 3},
        {"special format: length bytes with their own units, manufacturer bytes, empty slot",
         Gsd({"Modular_Station = 1", "Module = \"both\" 0xC0,0x41,0x05", "EndModule",
              "Module = \"in with 2 vendor bytes\" 0x42,0x0A,0x11,0x22", "EndModule",
              "Module = \"out words, 1 vendor byte\" 0x81,0xC3,0xAA", "EndModule", "Module = \"empty\" 0x00",
              "EndModule", "Module = \"two identifiers\" 0x13,0x23", "EndModule"}),
         Plug({0, 1, 2, 3, 4}), "C0 41 05 42 0A 11 22 81 C3 AA 00 13 23", "", "", 6 + 11 + 4, 4 + 8 + 4},
    };
}

class SlaveConfigBytes : public ::testing::TestWithParam<SBytesCase> {};

TEST_P(SlaveConfigBytes, BuildsWhatTheMasterSends) {
    const SBytesCase& c = GetParam();
    const CSlaveConfig config = Configure(c.m_Text, c.m_Request);
    EXPECT_TRUE(config.m_RequestErrors.empty()) << config.m_RequestErrors.front();
    EXPECT_EQ(Rows(config.m_Findings), "");
    EXPECT_EQ(Hex(config.m_Cfg), c.m_pszCfg);
    EXPECT_EQ(Hex(config.m_DevicePrm), c.m_pszDevicePrm);
    EXPECT_EQ(Hex(config.m_Prm), c.m_pszPrm);
    EXPECT_EQ(config.m_nInputs, c.m_nInputs);
    EXPECT_EQ(config.m_nOutputs, c.m_nOutputs);
    // The parts add up to the whole.
    std::vector<std::uint8_t> cfg, prm = config.m_DevicePrm;
    long long inputs = 0, outputs = 0;
    for (const CPluggedModule& module : config.m_Plugged) {
        cfg.insert(cfg.end(), module.m_Cfg.begin(), module.m_Cfg.end());
        prm.insert(prm.end(), module.m_Prm.begin(), module.m_Prm.end());
        inputs += module.m_nInputs;
        outputs += module.m_nOutputs;
    }
    EXPECT_EQ(cfg, config.m_Cfg);
    EXPECT_EQ(prm, config.m_Prm);
    EXPECT_EQ(inputs, config.m_nInputs);
    EXPECT_EQ(outputs, config.m_nOutputs);
}

INSTANTIATE_TEST_SUITE_P(Cases, SlaveConfigBytes, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<SBytesCase>& info) {
                             std::string name;
                             for (const char* p = info.param.m_pszName; *p != '\0'; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(SlaveConfigBytes, ModulesAreListedWithTheBytesOfTheirDefaults) {
    const CModuleList list = ListModules(
        WithDefinitions({"Modular_Station = 1", "Module = \"DI 8\" 0x10", "1", "Ext_Module_Prm_Data_Len = 3",
                         "Ext_User_Prm_Data_Const(0) = 0x0F", "Ext_User_Prm_Data_Ref(0) = 12",
                         "Ext_User_Prm_Data_Ref(1) = 2", "EndModule", "Module = \"AI 2\" 0x51", "2", "EndModule"}));
    EXPECT_EQ(Rows(list.m_Findings), "");
    ASSERT_EQ(list.m_Modules.size(), 2u);
    EXPECT_EQ(list.m_Modules[0].m_Name, "DI 8");
    EXPECT_EQ(list.m_Modules[0].m_Reference, "1");
    EXPECT_EQ(Hex(list.m_Modules[0].m_Cfg), "10");
    EXPECT_EQ(Hex(list.m_Modules[0].m_Prm), "0B 12 34");
    EXPECT_EQ(list.m_Modules[1].m_nIndex, 1);
    EXPECT_EQ(Hex(list.m_Modules[1].m_Prm), "");
    EXPECT_EQ(list.m_Modules[1].m_nInputs, 4);
    EXPECT_EQ(list.m_Modules[1].m_nOutputs, 0);
}

TEST(SlaveConfigBytes, NoDefaultsWhenAskedForNone) {
    CKeyDatabase database;
    BuildConfigDatabase(Gsd({"Modular_Station = 1", "Max_Module = 4", "Module = \"A\" 0x10", "1", "EndModule",
                             "SlotDefinition", "Slot(1) = \"first\" 1 1", "EndSlotDefinition"}),
                        database);
    const CSlaveDescription description(database);
    CSlaveConfigRequest none;
    none.m_bDefaults = false;
    const CSlaveConfig config = description.Build(none);
    EXPECT_TRUE(config.m_Plugged.empty());
    EXPECT_NE(Rows(config.m_Findings).find("No module is plugged"), std::string::npos);
    EXPECT_EQ(description.Build({}).m_Plugged.size(), 1u);
    EXPECT_EQ(description.MaxModules(), 4);
    ASSERT_NE(description.SlotOfPosition(0), nullptr);
    EXPECT_EQ(description.SlotOfPosition(0)->m_Name, "first");
    EXPECT_EQ(description.SlotOfPosition(1), nullptr);
    EXPECT_EQ(description.SlotOfPosition(-1), nullptr);

    CKeyDatabase compact, undeclared;
    BuildConfigDatabase(Gsd({"Module = \"A\" 0x10", "EndModule"}), compact);
    BuildConfigDatabase(Gsd({"Modular_Station = 1", "Module = \"A\" 0x10", "EndModule"}), undeclared);
    EXPECT_EQ(CSlaveDescription(compact).MaxModules(), 1);
    EXPECT_EQ(CSlaveDescription(undeclared).MaxModules(), -1);
}

// Every byte names the lines that wrote it, with the bits each wrote last; the
// parameters of each part come with their definitions, texts and values.
TEST(SlaveConfigBytes, EachByteNamesTheLinesThatWroteIt) {
    const std::string text = WithDefinitions(
        {"Modular_Station = 1", "User_Prm_Data_Len = 2", "User_Prm_Data = 0x05", "Module = \"m\" 0x51,0x10",
         "Ext_Module_Prm_Data_Len = 5", "Ext_User_Prm_Data_Const(0) = 0xFF,0x11", "Ext_User_Prm_Data_Ref(0) = 8",
         "Ext_User_Prm_Data_Ref(0) = 12", "Ext_User_Prm_Data_Ref(3) = 1", "EndModule"});
    const CSlaveConfig config = Configure(text, Plug({0}, {{0, "area", "seven"}}));
    ASSERT_EQ(Hex(config.m_Prm), "05 00 FB 11 00 AB 00");
    ASSERT_EQ(config.m_PrmSources.size(), config.m_Prm.size());
    ASSERT_EQ(config.m_CfgSources.size(), config.m_Cfg.size());
    const int definitions = 46;  // the header and the lines of kAllTypes
    auto line = [&](int n) { return std::to_string(definitions + n); };
    EXPECT_EQ(config.m_PrmSources[0].Text(), "the device part, byte 0\nUser_Prm_Data, line " + line(3));
    EXPECT_EQ(config.m_PrmSources[1].Text(),
              "the device part, byte 1\npadding to User_Prm_Data_Len = 2, line " + line(2));
    EXPECT_EQ(config.m_PrmSources[2].Text(),
              "the part of module \"m\" in slot #0, byte 0\nbits 0-1, 3, 7: Ext_User_Prm_Data_Const(0), line " +
                  line(6) + "\nbits 4-6: parameter \"area\" = 7 \"seven\" (Ext_User_Prm_Data_Ref(0) = 8), line " +
                  line(7) + "\nbit 2: parameter \"clear\" = 0 (Ext_User_Prm_Data_Ref(0) = 12), line " + line(8));
    EXPECT_EQ(config.m_PrmSources[3].Text(),
              "the part of module \"m\" in slot #0, byte 1\nExt_User_Prm_Data_Const(0), line " + line(6));
    EXPECT_EQ(config.m_PrmSources[4].Text(), "the part of module \"m\" in slot #0, byte 2\nno line writes it: 0");
    EXPECT_EQ(config.m_PrmSources[6].Text(),
              "the part of module \"m\" in slot #0, byte 4\npadding to Ext_Module_Prm_Data_Len = 5, line " + line(5));
    EXPECT_EQ(config.m_CfgSources[1].Text(),
              "module \"m\" in slot #0, byte 1\nthe configuration data of its Module line, line " + line(4));

    EXPECT_TRUE(config.m_DeviceParameters.empty());
    ASSERT_EQ(config.m_Plugged.size(), 1u);
    const std::vector<CParameterValue>& values = config.m_Plugged[0].m_Parameters;
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].m_Definition.m_Name, "area");
    EXPECT_EQ(values[0].m_Definition.TypeText(), "BitArea(4-6)");
    EXPECT_EQ(values[0].m_nValue, 7);
    EXPECT_TRUE(values[0].m_bSet);
    EXPECT_EQ(values[0].TextOf(values[0].m_nValue), "seven");
    EXPECT_EQ(values[0].TextOf(values[0].m_Definition.m_nDefault), "five");
    EXPECT_EQ(values[0].m_Texts.size(), 3u);
    EXPECT_EQ(values[0].m_nLine + 1, definitions + 7);
    EXPECT_EQ(values[1].m_Definition.m_Name, "clear");
    EXPECT_FALSE(values[1].m_bSet);
    EXPECT_EQ(values[1].TextOf(1), "1");
    EXPECT_EQ(values[2].m_Definition.m_Name, "u8");
    EXPECT_EQ(values[2].m_nOffset, 3);
    EXPECT_EQ(values[2].m_Definition.AllowedText(), "0-255");
}

TEST(SlaveConfigBytes, ModulesAreFoundByNameAndTheirParametersNamed) {
    CKeyDatabase database;
    BuildConfigDatabase(
        WithDefinitions({"Modular_Station = 1", "Ext_User_Prm_Data_Ref(0) = 1", "Module = \" Mixed Case \" 0x10",
                         "Ext_User_Prm_Data_Ref(0) = 9", "Ext_User_Prm_Data_Ref(0) = 10",
                         "Ext_User_Prm_Data_Ref(1) = 9", "EndModule", "Module = \"mixed case\" 0x20", "EndModule"}),
        database);
    const CSlaveDescription description(database);
    EXPECT_TRUE(description.IsModular());
    EXPECT_EQ(description.FindModule("mixed case"), 1);
    EXPECT_EQ(description.FindModule("MIXED CASE "), 0);
    EXPECT_EQ(description.FindModule("other"), -1);
    EXPECT_EQ(description.ParameterNames(-1), std::vector<std::string>{"u8"});
    EXPECT_EQ(description.ParameterNames(0), (std::vector<std::string>{"low", "high"}));
    EXPECT_TRUE(description.ParameterNames(1).empty());
}

}  // namespace
