// taluna-check as a process: output formats, exit status, file order.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "base/check_message.h"
#include "base/message_catalogue.h"
#include "json_checker.h"

namespace {

struct SRun {
    int status = -1;
    std::string out;
};

SRun RunCheck(const std::string& args) {
    SRun run;
    const std::string command = std::string(TALUNA_CHECK_EXE) + " " + args + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Corpus(const char* name) {
    return std::string(TALUNA_CORPUS_DIR) + "/" + name;
}
std::string Demo() {
    return std::string(TALUNA_SOURCE_DIR) + "/examples/taluna_demo.gsd";
}

TEST(CommandLine, TextRowsOfACleanFile) {
    const SRun run = RunCheck(Demo());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, Demo() +
                           "\n"
                           "Info\t---\tStart Syntax-Check...\n"
                           "Info\t---\t... check finished without errors.\n"
                           "Info\t---\tStop Syntax-Check...\n"
                           "Info\t---\tStart Semantic-Check...\n"
                           "Info\t---\t... check finished without errors.\n"
                           "Info\t---\tStop Semantic-Check...\n");
}

TEST(CommandLine, ExitStatusFollowsTheWorstFinding) {
    // wagob757.gsd has errors; ABB_0812.gsd only warnings.
    EXPECT_EQ(RunCheck(Corpus("ABB_0812.gsd")).status, 0);
    EXPECT_EQ(RunCheck("--werror " + Corpus("ABB_0812.gsd")).status, 1);
    EXPECT_EQ(RunCheck("--werror --no-warnings " + Corpus("ABB_0812.gsd")).status, 0);
    EXPECT_EQ(RunCheck(Corpus("B756_P33.GSD")).status, 1);
    EXPECT_EQ(RunCheck("--bogus " + Demo()).status, 2);
    EXPECT_EQ(RunCheck("--format xml " + Demo()).status, 2);
    EXPECT_EQ(RunCheck("").status, 2);
}

TEST(CommandLine, UnreadableFilesAreNamedAndTheOthersStillChecked) {
    const SRun run = RunCheck("/nonexistent/file.gsd " + Demo());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.out.find(Demo() + "\n"), std::string::npos);
    EXPECT_NE(run.out.find("Stop Semantic-Check..."), std::string::npos);
}

TEST(CommandLine, GccFormatNamesFileLineLevelAndId) {
    const SRun run = RunCheck("--format gcc " + Corpus("DPV10008.gsd"));
    const std::regex line(R"(^[^:]+:(\d+:)? (error|warning|note): .+( \[GSD\d+\])?$)");
    size_t count = 0;
    size_t start = 0;
    while (start < run.out.size()) {
        const size_t end = run.out.find('\n', start);
        const std::string row = run.out.substr(start, end - start);
        EXPECT_TRUE(std::regex_match(row, line)) << row;
        ++count;
        start = end + 1;
    }
    EXPECT_GT(count, 5u);
    EXPECT_NE(run.out.find(":131: warning: Line length exceeds the limit of 80 characters. [GSD136]"),
              std::string::npos);
}

TEST(CommandLine, JsonIsOneValidDocumentWithEveryFile) {
    const SRun run = RunCheck("--format json " + Demo() + " " + Corpus("DPV10008.gsd") + " /nonexistent.gsd");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(taluna_test::CJsonChecker(run.out).Valid()) << run.out.substr(0, 2000);
    EXPECT_NE(run.out.find("\"kind\": \"Warning\", \"kindCode\": 3, \"line\": 130, \"lineNumber\": 131, \"id\": 136"),
              std::string::npos);
    EXPECT_NE(run.out.find("\"line\": null, \"lineNumber\": null, \"id\": null"), std::string::npos);
    EXPECT_NE(run.out.find("\"error\""), std::string::npos);
}

TEST(CommandLine, ProfileIsChosenPerRunAndNamed) {
    // ABB_0812 declares a revision below 3, DPV10008 one of 3 or more.
    const std::string files = Corpus("ABB_0812.gsd") + " " + Corpus("DPV10008.gsd");
    const SRun byFile = RunCheck("--format json --profile auto " + files);
    EXPECT_TRUE(taluna_test::CJsonChecker(byFile.out).Valid());
    const size_t first = byFile.out.find("\"profile\": \"classic\"");
    const size_t second = byFile.out.find("\"profile\": \"rev5\"");
    EXPECT_NE(first, std::string::npos);
    EXPECT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    const SRun sarif = RunCheck("--format sarif --profile rev5 " + Corpus("DPV10008.gsd"));
    EXPECT_NE(sarif.out.find("\"properties\": {\"profile\": \"rev5\"}"), std::string::npos);
    EXPECT_EQ(RunCheck("--profile rev9 " + Demo()).status, 2);
}

TEST(CommandLine, SarifHasItsRequiredFields) {
    const SRun run = RunCheck("--format sarif " + Corpus("DPV10008.gsd") + " " + Corpus("B756_P33.GSD"));
    EXPECT_TRUE(taluna_test::CJsonChecker(run.out).Valid());
    for (const char* field : {"\"version\": \"2.1.0\"", "\"runs\": [", "\"driver\": {\"name\": \"taluna-check\"",
                              "\"rules\": [", "\"id\": \"GSD136\"", "\"results\": [", "\"ruleId\": \"GSD136\"",
                              "\"level\": \"warning\"", "\"startLine\": 131", "\"artifactLocation\": {\"uri\": "})
        EXPECT_NE(run.out.find(field), std::string::npos) << field;
}

// The rules of a SARIF log are described by the message catalogue.
TEST(CommandLine, SarifRulesComeFromTheMessageCatalogue) {
    const SRun run = RunCheck("--format sarif " + Corpus("DPV10008.gsd"));
    const SMessageInfo* longLine = FindMessage(136);
    ASSERT_NE(longLine, nullptr);
    const std::string rule = std::string("{\"id\": \"GSD136\", \"shortDescription\": {\"text\": \"") +
                             longLine->m_pszTitle + "\"}, \"fullDescription\": {\"text\": \"" + longLine->m_pszText +
                             "\"}, \"help\": {\"text\": \"" + longLine->m_pszExplanation +
                             "\"}, \"helpUri\": \"msg_136.htm\", \"defaultConfiguration\": {\"level\": \"warning\"}}";
    EXPECT_NE(run.out.find(rule), std::string::npos) << run.out.substr(0, 2000);
}

// --list-messages prints the catalogue, one line per message or as JSON.
TEST(CommandLine, ListMessagesPrintsTheCatalogue) {
    const SRun text = RunCheck("--list-messages");
    EXPECT_EQ(text.status, 0);
    std::string expected;
    for (const SMessageInfo& m : Messages())
        expected += "GSD" + std::to_string(m.m_nId) + "\t" + CheckMessageKind::Name(m.m_nKind) + "\t" + m.m_pszTitle +
                    "\t" + m.m_pszText + "\n";
    EXPECT_EQ(text.out, expected);

    const SRun json = RunCheck("--list-messages --format json");
    EXPECT_EQ(json.status, 0);
    EXPECT_TRUE(taluna_test::CJsonChecker(json.out).Valid());
    size_t at = 0;
    for (const SMessageInfo& m : Messages()) {
        at = json.out.find("{\"id\": " + std::to_string(m.m_nId) + ", \"rule\": \"GSD" + std::to_string(m.m_nId) +
                               "\", \"kind\": \"" + CheckMessageKind::Name(m.m_nKind) + "\"",
                           at);
        ASSERT_NE(at, std::string::npos) << m.m_nId << " missing or out of order";
    }
    EXPECT_NE(json.out.find("\"corrected\": \"Station_Type = 0\", \"help\": \"msg_130.htm\"}"), std::string::npos);

    EXPECT_EQ(RunCheck("--list-messages --format sarif").status, 2);
    EXPECT_EQ(RunCheck("--list-messages " + Demo()).status, 2);
}

TEST(CommandLine, OutputKeepsArgumentOrderWhateverTheJobs) {
    std::string files;
    for (const char* name : {"DPV10008.gsd", "ABB_0812.gsd", "B756_P33.GSD", "AVR_C0DE.GSD", "dummy.gsd"})
        files += " " + Corpus(name);
    const SRun one = RunCheck("--jobs 1" + files);
    const SRun two = RunCheck("--jobs 2" + files);
    const SRun many = RunCheck("--jobs=5" + files);
    EXPECT_EQ(one.out, two.out);
    EXPECT_EQ(one.out, many.out);
    EXPECT_LT(one.out.find("DPV10008.gsd"), one.out.find("ABB_0812.gsd"));
    EXPECT_LT(one.out.find("AVR_C0DE.GSD"), one.out.find("dummy.gsd"));
}

TEST(CommandLine, DirectoriesAreSearchedForGsdFiles) {
    const auto dir = std::filesystem::temp_directory_path() / "taluna_cli_dir_test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "sub");
    std::filesystem::copy_file(Demo(), dir / "sub" / "A.GSE");
    std::filesystem::copy_file(Demo(), dir / "b.gsd");
    std::ofstream(dir / "notes.txt") << "no GSD";
    std::ofstream(dir / "c.gsdx") << "no GSD";
    const SRun run = RunCheck(dir.string());
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find((dir / "b.gsd").string() + "\n"), std::string::npos);
    EXPECT_NE(run.out.find((dir / "sub" / "A.GSE").string() + "\n"), std::string::npos);
    EXPECT_EQ(run.out.find("notes.txt"), std::string::npos);
    EXPECT_EQ(run.out.find("c.gsdx"), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(CommandLine, UserKeysFromAnIniFile) {
    const auto dir = std::filesystem::temp_directory_path() / "taluna_cli_userkeys";
    std::filesystem::create_directories(dir);
    const auto gsd = dir / "k.gsd";
    std::ofstream(gsd) << "#Profibus_DP\nMy_Key = 300\n";
    const auto ini = dir / "keys.ini";
    std::ofstream(ini) << "[UserKeys]\nMY_KEY=\"1;0;UCHAR\"\nSummary=\"MY_KEY,\"\n";
    const SRun without = RunCheck("--no-semantic --userkeys /dev/null " + gsd.string());
    EXPECT_NE(without.out.find("Key \"My_Key\": Unknown key!"), std::string::npos);
    const SRun with = RunCheck("--no-semantic --userkeys " + ini.string() + " " + gsd.string());
    EXPECT_NE(with.out.find("Key \"My_Key\": Value exceeds limit (UCHAR: 0..255 (unsigned 8 Bit))!"), std::string::npos)
        << with.out;
    EXPECT_EQ(RunCheck("--userkeys " + (dir / "missing.ini").string() + " " + gsd.string()).status, 2);
    std::filesystem::remove_all(dir);
}

}  // namespace
