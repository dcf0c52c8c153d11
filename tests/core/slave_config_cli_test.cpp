// taluna-config as a process: the module list and a configuration in text and
// JSON, names given and shown as UTF-8, the exit status, and usage errors.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "json_checker.h"

namespace {

struct SRun {
    int status = -1;
    std::string out;
};

// Runs taluna-config with arguments, each quoted for the shell.
SRun RunConfig(const std::vector<std::string>& args) {
    std::string command = TALUNA_CONFIG_EXE;
    for (const std::string& arg : args) {
        command += " '";
        for (char c : arg) command += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += "'";
    }
    command += " 2>/dev/null";
    SRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class SlaveConfigCli : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir =
            std::filesystem::temp_directory_path() / ("taluna_config_cli_" + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_Dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_Dir); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const auto path = m_Dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    std::filesystem::path m_Dir;
};

// A modular slave in Windows-1252: "Gerät" is written with the byte E4, and a
// parameter name holds an equal sign.
const std::string kSlave =
    "#Profibus_DP\r\n"
    "Station_Type = 0\r\n"
    "Modular_Station = 1\r\n"
    "Max_Module = 2\r\n"
    "Max_Input_Len = 5\r\n"
    "Max_User_Prm_Data_Len = 8\r\n"
    "PrmText = 1\r\n"
    "Text(0) = \"aus\"\r\n"
    "Text(1) = \"\xFC"
    "ber\"\r\n"
    "EndPrmText\r\n"
    "ExtUserPrmData = 1 \"Mode (0 = off)\"\r\n"
    "Bit(0) 0 0-1\r\n"
    "Prm_Text_Ref = 1\r\n"
    "EndExtUserPrmData\r\n"
    "ExtUserPrmData = 2 \"Filter\"\r\n"
    "Unsigned16 10 0-1000\r\n"
    "EndExtUserPrmData\r\n"
    "Ext_User_Prm_Data_Const(0) = 0x80,0x00,0x00\r\n"
    "Ext_User_Prm_Data_Ref(1) = 1\r\n"
    "Module = \"Ger\xE4t 8 DI\" 0x10\r\n"
    "1\r\n"
    "EndModule\r\n"
    "Module = \"AI 2\" 0x51\r\n"
    "2\r\n"
    "Ext_Module_Prm_Data_Len = 3\r\n"
    "Ext_User_Prm_Data_Ref(1) = 2\r\n"
    "EndModule\r\n";

TEST_F(SlaveConfigCli, ListsTheModulesAsJson) {
    const std::string file = Write("slave.gsd", kSlave);
    const SRun run = RunConfig({file, "--list-modules", "--format", "json"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(taluna_test::CJsonChecker(run.out).Valid()) << run.out;
    EXPECT_NE(run.out.find("\"modular\": true"), std::string::npos);
    EXPECT_NE(run.out.find("{\"index\": 0, \"name\": \"Ger\xC3\xA4t 8 DI\", \"reference\": \"1\", \"lineNumber\": 20, "
                           "\"cfg\": \"10\", \"prm\": \"\", \"inputs\": 1, \"outputs\": 0}"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("{\"index\": 1, \"name\": \"AI 2\", \"reference\": \"2\", \"lineNumber\": 23, "
                           "\"cfg\": \"51\", \"prm\": \"00 00 0A\", \"inputs\": 4, \"outputs\": 0}"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"findings\": []"), std::string::npos);
}

TEST_F(SlaveConfigCli, BuildsTheConfigurationAsJson) {
    const std::string file = Write("slave.gsd", kSlave);
    const SRun run = RunConfig({file, "--module", "ger\xC3\xA4t 8 di", "--module=#1", "--set",
                                "Mode (0 = off)=\xC3\xBC"
                                "ber",
                                "--set", "#1:Filter=0x102", "--format=json"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(taluna_test::CJsonChecker(run.out).Valid()) << run.out;
    EXPECT_NE(run.out.find("\"findings\": []"), std::string::npos) << run.out;
    for (const char* part : {
             "\"cfg\": \"10 51\"",
             "\"device_prm\": \"80 01 00\"",
             "\"prm\": \"80 01 00 00 01 02\"",
             "\"inputs\": 5,",
             "{\"slot\": 0, \"index\": 0, \"name\": \"Ger\xC3\xA4t 8 DI\", \"cfg\": \"10\", \"prm\": \"\", "
             "\"inputs\": 1, \"outputs\": 0}",
             "{\"slot\": 1, \"index\": 1, \"name\": \"AI 2\", \"cfg\": \"51\", \"prm\": \"00 01 02\", "
             "\"inputs\": 4, \"outputs\": 0}",
             "{\"key\": \"Max_Module\", \"limit\": 2, \"used\": 2, \"exceeded\": false, \"lineNumber\": 4}",
             "{\"key\": \"Max_User_Prm_Data_Len\", \"limit\": 8, \"used\": 6, \"exceeded\": false, \"lineNumber\": 6}",
             "{\"key\": \"Max_Input_Len\", \"limit\": 5, \"used\": 5, \"exceeded\": false, \"lineNumber\": 5}",
         })
        EXPECT_NE(run.out.find(part), std::string::npos) << part << "\n" << run.out;
}

TEST_F(SlaveConfigCli, AnErrorFindingGivesStatusOneAndItsRow) {
    const std::string file = Write("slave.gsd", kSlave);
    const SRun run = RunConfig({file, "--module", "#1", "--module", "#1", "--set", "#0:Filter=2000"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Configuration data:  51 51  (2 bytes)\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("User parameter data: 80 00 00 00 07 D0 00 00 0A  (9 bytes)\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("  Max_Input_Len          8 of 5  EXCEEDED\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Error\tLine 5\tThe configuration exceeds Max_Input_Len = 5: it has 8 bytes of input "
                           "data.\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Error\tLine 26\tThe value 2000 set for parameter \"Filter\" of module \"AI 2\" lies "
                           "outside its allowed values 0-1000.\n"),
              std::string::npos)
        << run.out;
}

TEST_F(SlaveConfigCli, TheTextEndsAtItsFirstNul) {
    std::string bytes = kSlave;
    bytes += std::string(1, '\0') + "Module = \"hidden\" 0x20\r\nEndModule\r\n";
    const SRun run = RunConfig({Write("nul.gsd", bytes), "--list-modules"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.find("hidden"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("#1  \"AI 2\"  reference 2  cfg 51  prm 00 00 0A  inputs 4  outputs 0\n"), std::string::npos)
        << run.out;
}

TEST_F(SlaveConfigCli, UsageErrorsAndUnreadableFilesGiveStatusTwo) {
    const std::string file = Write("slave.gsd", kSlave);
    const std::vector<std::vector<std::string>> cases = {
        {},
        {file, "--module", "no such module"},
        {file, "--module", "#2"},
        {file, "--module"},
        {file, "--set", "Filter"},
        {file, "--set", "Nothing=1"},
        {file, "--module", "#1", "--set", "#1:Filter=1"},
        {file, "--module", "#0", "--set", "#0:Filter=1"},
        {file, "--format", "xml"},
        {file, "--list-modules", "--module", "#0"},
        {file, file},
        {file, "--unknown"},
        {(m_Dir / "missing.gsd").string()},
        {m_Dir.string()},
        {"/dev/null"},
    };
    for (const auto& args : cases) {
        std::string joined;
        for (const std::string& arg : args) joined += arg + " ";
        SCOPED_TRACE(joined);
        const SRun run = RunConfig(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(SlaveConfigCli, AFileWithoutModulesIsAFinding) {
    const SRun run = RunConfig({Write("empty.gsd", "#Profibus_DP\r\nStation_Type = 0\r\n"), "--list-modules"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Error\t---\tThe file defines no Module; there is nothing to plug.\n"), std::string::npos)
        << run.out;
}

}  // namespace
