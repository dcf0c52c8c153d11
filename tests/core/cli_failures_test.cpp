// taluna-check where things go wrong: too little memory, output that cannot be
// written, directories and links that cannot be read, file names that are not
// UTF-8, user-key and settings files that are not files, large files that are
// mostly a hole; and the in-order, bounded hand-off of results to the writer.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench/gsd_generator.h"
#include "cli/formatters.h"
#include "cli/in_order_hand_off.h"
#include "cli/read_ahead.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

enum class EStdout { Pipe, DevFull, Closed, ReaderGone, DevNull };

struct SChild {
    SChild(std::vector<std::string> args) : m_Args(std::move(args)) {}  // NOLINT: built from a list of arguments
    std::vector<std::string> m_Args;
    EStdout m_nStdout = EStdout::Pipe;
    rlim_t m_nAddressSpace = 0;      // bytes; 0 for no limit
    std::optional<uid_t> m_User;     // run as this user and group
    std::vector<std::string> m_Env;  // NAME=value, added to the environment
    unsigned m_nSeconds = 60;        // killed by SIGALRM after this
};

struct SExit {
    int m_nStatus = -1;  // exit status, or -1 when killed
    int m_nSignal = 0;
    long m_nMaxRssKb = 0;  // the child's peak resident memory
    std::string m_Out;
    std::string m_Err;
};

// Runs taluna-check with `child.m_Args`, collecting what it writes.
SExit RunChild(const SChild& child) {
    std::vector<std::string> args{TALUNA_CHECK_EXE};
    args.insert(args.end(), child.m_Args.begin(), child.m_Args.end());
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> env(child.m_Env);
    for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);  // the first of a name counts
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    if (pipe(err) != 0 || pipe(out) != 0) return {};
    if (child.m_nStdout == EStdout::ReaderGone) {
        close(out[0]);
        out[0] = -1;
    }
    const int full = child.m_nStdout == EStdout::DevFull   ? open("/dev/full", O_WRONLY)
                     : child.m_nStdout == EStdout::DevNull ? open("/dev/null", O_WRONLY)
                                                           : -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(err[1], STDERR_FILENO);
        if (child.m_nStdout == EStdout::Closed)
            close(STDOUT_FILENO);
        else
            dup2(full >= 0 ? full : out[1], STDOUT_FILENO);
        if (child.m_nStdout == EStdout::ReaderGone) signal(SIGPIPE, SIG_IGN);
        for (int fd : {out[0], out[1], err[0], err[1], full})
            if (fd > STDERR_FILENO) close(fd);
#if !defined(__SANITIZE_ADDRESS__)
        // Under AddressSanitizer the child could not reserve its shadow memory and
        // would die before main: it runs without the limit there.
        if (child.m_nAddressSpace != 0) {
            const rlimit limit{child.m_nAddressSpace, child.m_nAddressSpace};
            setrlimit(RLIMIT_AS, &limit);
        }
#endif
        if (child.m_User && (setgroups(0, nullptr) != 0 || setgid(*child.m_User) != 0 || setuid(*child.m_User) != 0))
            _exit(126);
        alarm(child.m_nSeconds);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    if (full >= 0) close(full);
    close(out[1]);
    close(err[1]);
    SExit result;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* texts[2] = {&result.m_Out, &result.m_Err};
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        if (poll(fds, 2, -1) < 0 && errno != EINTR) break;
        for (int k = 0; k < 2; ++k) {
            if (fds[k].fd < 0 || fds[k].revents == 0) continue;
            char buffer[65536];
            const ssize_t n = read(fds[k].fd, buffer, sizeof buffer);
            if (n > 0) {
                texts[k]->append(buffer, static_cast<size_t>(n));
            } else {
                close(fds[k].fd);
                fds[k].fd = -1;
            }
        }
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.m_nMaxRssKb = usage.ru_maxrss;
    result.m_nStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.m_nSignal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return result;
}

std::string Demo() {
    return std::string(TALUNA_SOURCE_DIR) + "/examples/taluna_demo.gsd";
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A folder of its own per test, removed afterwards, open to every user.
class CScratch {
public:
    explicit CScratch(const char* name)
        : m_Dir(fs::temp_directory_path() / (std::string(name) + "_" + std::to_string(getpid()))) {
        Remove();
        fs::create_directories(m_Dir);
        fs::permissions(m_Dir, fs::perms::all & ~fs::perms::group_write & ~fs::perms::others_write);
    }
    ~CScratch() { Remove(); }
    const fs::path& Dir() const { return m_Dir; }
    fs::path operator/(const std::string& name) const { return m_Dir / name; }

private:
    void Remove() {
        std::error_code ec;
        if (!fs::exists(m_Dir, ec)) return;
        for (auto it = fs::recursive_directory_iterator(m_Dir, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec))
            if (it->is_directory(ec) && !it->is_symlink(ec)) fs::permissions(it->path(), fs::perms::owner_all, ec);
        fs::remove_all(m_Dir, ec);
    }
    fs::path m_Dir;
};

TEST(CommandLineFailures, AFileTooLargeForTheMemoryIsNamedAndTheOthersKeepTheirRows) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "needs an address-space limit, which AddressSanitizer cannot run under";
#endif
    const CScratch scratch("taluna_cli_memory");
    // More text than the whole address space the run is given: it cannot be held
    // however the check keeps its data.
    const fs::path big = scratch / "big.gsd";
    {
        std::ofstream out(big, std::ios::binary);
        out << "#Profibus_DP\n";
        std::string block;
        while (block.size() < (1u << 20)) block += "Vendor_Name = \"Velmar Demo Devices\"\n";
        for (int k = 0; k < 80; ++k) out << block;
    }
    const SExit alone = RunChild({{Demo()}});
    ASSERT_EQ(alone.m_nStatus, 0);
    SChild child{{"--jobs", "1", Demo(), big.string(), Demo()}};
    child.m_nAddressSpace = 64u << 20;
    const SExit run = RunChild(child);
    EXPECT_EQ(run.m_nStatus, 2) << run.m_Err;
    EXPECT_EQ(run.m_Out, alone.m_Out + alone.m_Out);
    EXPECT_NE(run.m_Err.find("taluna-check: " + big.string() + ": out of memory\n"), std::string::npos) << run.m_Err;
}

TEST(CommandLineFailures, ReadingStopsAtTheFirstNul) {
    const CScratch scratch("taluna_cli_nul");
    // The text, a NUL, more text, then a hole up to a gigabyte: the check sees the
    // text before the NUL, and what lies after it is neither read nor held.
    const fs::path sparse = scratch / "sparse.gsd";
    std::ofstream(sparse, std::ios::binary) << ReadAll(Demo()) << '\0' << "Vendor_Name = 5\n";
    fs::resize_file(sparse, 1ull << 30);
    SChild child{{"--jobs", "1", sparse.string()}};
    child.m_nAddressSpace = 256u << 20;
    const SExit run = RunChild(child);
    const SExit alone = RunChild({{Demo()}});
    EXPECT_EQ(run.m_nStatus, 0) << run.m_Err;
    EXPECT_EQ(run.m_Out, sparse.string() + alone.m_Out.substr(Demo().size()));
}

// A file of a million one-word lines (each an entry with an "Unknown key!"
// warning) is checked within 150 bytes a line and 4 bytes an input byte: the
// entries are small and the rows go out as they are found, none held.
TEST(CommandLineFailures, AFileOfShortLinesStaysWithinItsMemoryBound) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' allocator keeps memory of its own";
#endif
    const CScratch scratch("taluna_cli_short_lines");
    constexpr long kLines = 1000000;
    for (const char* line : {"a\n", "B\r\n"}) {
        const fs::path file = scratch / "short.gsd";
        std::string text = "#Profibus_DP\n";
        for (long i = 0; i < kLines; ++i) text += line;
        std::ofstream(file, std::ios::binary) << text;
        for (const char* format : {"text", "json"}) {
            SChild child{{"--jobs", "1", "--format", format, file.string()}};
            child.m_nStdout = EStdout::DevNull;
            const SExit run = RunChild(child);
            EXPECT_EQ(run.m_nStatus, 1) << run.m_Err;
            const long boundKb = (150 * kLines + 4 * static_cast<long>(text.size())) / 1024;
            EXPECT_LT(run.m_nMaxRssKb, boundKb) << "lines of " << line << ", format " << format;
        }
    }
}

// The benchmark's generated slave (blocks of PrmText, ExtUserPrmData, modules
// and diagnosis bits, an entry for every 24 bytes or so) is checked within 4
// bytes an input byte plus 10 MB, with one worker.
TEST(CommandLineFailures, AGeneratedFileStaysWithinFourBytesAnInputByte) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' allocator keeps memory of its own";
#endif
    const CScratch scratch("taluna_cli_generated");
    for (const size_t megabytes : {4u, 16u}) {
        const fs::path file = scratch / "generated.gsd";
        const std::string text = GenerateGsd(megabytes << 20);
        std::ofstream(file, std::ios::binary) << text;
        SChild child{{"--jobs", "1", "--format", "json", file.string()}};
        child.m_nStdout = EStdout::DevNull;
        const SExit run = RunChild(child);
        EXPECT_EQ(run.m_nStatus, 1) << run.m_Err;
        const long boundKb = (4 * static_cast<long>(text.size()) + (10l << 20)) / 1024;
        EXPECT_LE(run.m_nMaxRssKb, boundKb) << megabytes << " MB";
    }
}

TEST(CommandLineFailures, OutputThatCannotBeWrittenEndsWithStatus2) {
    struct SCase {
        EStdout m_nStdout;
        const char* m_pFormat;
        int m_nError;
        const char* m_pJobs;
    };
    for (const SCase& c :
         {SCase{EStdout::DevFull, "text", ENOSPC, "1"}, SCase{EStdout::Closed, "json", EBADF, "1"},
          SCase{EStdout::ReaderGone, "sarif", EPIPE, "1"}, SCase{EStdout::ReaderGone, "gcc", EPIPE, "1"},
          // Rows written by workers: the reason of their failed write is named too.
          SCase{EStdout::DevFull, "text", ENOSPC, "3"}, SCase{EStdout::DevFull, "json", ENOSPC, "3"}}) {
        // Warnings only: every format has rows to write, and the status would be 0.
        const std::string warnings = std::string(TALUNA_CORPUS_DIR) + "/ABB_0812.gsd";
        std::vector<std::string> args{"--jobs", c.m_pJobs, "--format", c.m_pFormat};
        // Many files for many jobs, so that workers write most of the rows.
        for (int k = 0; k < (std::string(c.m_pJobs) == "1" ? 2 : 40); ++k) args.push_back(warnings);
        SChild child{args};
        child.m_nStdout = c.m_nStdout;
        const SExit run = RunChild(child);
        SCOPED_TRACE(testing::Message() << c.m_pFormat << ", " << c.m_pJobs << " jobs");
        EXPECT_EQ(run.m_nStatus, 2) << run.m_nSignal;
        EXPECT_EQ(run.m_Err, std::string("taluna-check: cannot write the output: ") + std::strerror(c.m_nError) + "\n");
    }
}

TEST(CommandLineFailures, ADirectorySearchTakesFilesAndLinksToFilesAndNamesBrokenLinks) {
    const CScratch scratch("taluna_cli_links");
    fs::create_directories(scratch / "sub");
    fs::copy_file(Demo(), scratch / "a.gsd");
    fs::copy_file(Demo(), scratch / "sub" / "c.gsd");
    fs::create_symlink(scratch / "gone.gsd", scratch / "b.gsd");
    fs::create_symlink(scratch / "gone.txt", scratch / "d.txt");   // not a GSD name: not looked at
    fs::create_symlink(scratch / "a.gsd", scratch / "e.gsd");      // a link to a file is checked
    fs::create_directory_symlink(scratch / "sub", scratch / "f");  // a link to a directory is not followed
    ASSERT_EQ(mkfifo((scratch / "g.gsd").c_str(), 0644), 0);       // neither opened nor named
    const std::string dir = scratch.Dir().string();

    const SExit text = RunChild({{dir}});
    EXPECT_EQ(text.m_nStatus, 2);
    EXPECT_EQ(text.m_Err, "taluna-check: cannot read " + dir + "/b.gsd: No such file or directory\n");
    const size_t a = text.m_Out.find(dir + "/a.gsd\n");
    const size_t e = text.m_Out.find(dir + "/e.gsd\n");
    const size_t c = text.m_Out.find(dir + "/sub/c.gsd\n");
    EXPECT_NE(a, std::string::npos);
    EXPECT_NE(c, std::string::npos);
    EXPECT_LT(a, e);
    EXPECT_LT(e, c);
    EXPECT_EQ(text.m_Out.find("/f/"), std::string::npos);
    EXPECT_EQ(text.m_Out.find("g.gsd"), std::string::npos);

    const SExit json = RunChild({{"--format", "json", dir}});
    EXPECT_EQ(json.m_nStatus, 2);
    const size_t b =
        json.m_Out.find("{\"file\": \"" + dir + "/b.gsd\", \"error\": \"No such file or directory\", \"rows\": []}");
    EXPECT_NE(b, std::string::npos) << json.m_Out.substr(0, 400);
    EXPECT_LT(json.m_Out.find(dir + "/a.gsd"), b);
    EXPECT_LT(b, json.m_Out.find(dir + "/sub/c.gsd"));
}

// Whether `user` (if given) can list `dir`; false too when it cannot run the checker.
bool CanList(const fs::path& dir, std::optional<uid_t> user, std::string& why) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (user && (setgroups(0, nullptr) != 0 || setgid(*user) != 0 || setuid(*user) != 0)) _exit(3);
        if (access(TALUNA_CHECK_EXE, X_OK) != 0) _exit(2);
        const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
        _exit(fd >= 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 4;
    why = code == 0   ? "a directory of mode 000 can still be read"
          : code == 2 ? "the user cannot run taluna-check from the build directory"
          : code == 3 ? "cannot change to another user"
                      : "";
    return code != 1;
}

TEST(CommandLineFailures, UnreadableDirectoriesAreNamed) {
    const CScratch scratch("taluna_cli_locked");
    fs::create_directories(scratch / "tree" / "locked");
    fs::create_directories(scratch / "shut");
    fs::copy_file(Demo(), scratch / "tree" / "a.gsd");
    fs::copy_file(Demo(), scratch / "tree" / "locked" / "x.gsd");
    fs::copy_file(Demo(), scratch / "shut" / "y.gsd");
    fs::permissions(scratch / "tree" / "locked", fs::perms::none);
    fs::permissions(scratch / "shut", fs::perms::none);
    // Root reads a directory whatever its mode: there the checker runs as nobody.
    const std::optional<uid_t> user = geteuid() == 0 ? std::optional<uid_t>(65534) : std::nullopt;
    std::string why;
    if (CanList(scratch / "shut", user, why)) GTEST_SKIP() << "not tested: " << why;

    SChild child{{(scratch / "tree").string(), (scratch / "shut").string(), Demo()}};
    child.m_User = user;
    child.m_Env = {"XDG_CONFIG_HOME=" + scratch.Dir().string()};
    const SExit run = RunChild(child);
    EXPECT_EQ(run.m_nStatus, 2);
    EXPECT_EQ(run.m_Err, "taluna-check: cannot read " + (scratch / "tree" / "locked").string() +
                             ": Permission denied\n"
                             "taluna-check: cannot read " +
                             (scratch / "shut").string() + ": Permission denied\n");
    EXPECT_NE(run.m_Out.find((scratch / "tree" / "a.gsd").string() + "\n"), std::string::npos);
    EXPECT_NE(run.m_Out.find(Demo() + "\n"), std::string::npos);
    EXPECT_EQ(run.m_Out.find("x.gsd"), std::string::npos);
}

TEST(CommandLineFailures, JsonFileNamesThatAreNotUtf8AreReadAsWindows1252) {
    const CScratch scratch("taluna_cli_names");
    struct SName {
        const char* m_pName;
        const char* m_pJson;
    };
    const SName names[] = {
        {"ok\xC3\xA9.gsd", "ok\xC3\xA9.gsd"},                                        // UTF-8: kept
        {"n\xC0\x80.gsd", "n\xC3\x80\xE2\x82\xAC.gsd"},                              // overlong NUL
        {"s\xED\xA0\x80.gsd", "s\xC3\xAD\xC2\xA0\xE2\x82\xAC.gsd"},                  // surrogate
        {"h\xF4\x90\x80\x80.gsd", "h\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC.gsd"},  // beyond 10FFFF
    };
    std::vector<std::string> args{"--format", "json"};
    for (const SName& name : names) {
        fs::copy_file(Demo(), scratch / name.m_pName);
        args.push_back((scratch / name.m_pName).string());
    }
    const SExit run = RunChild({args});
    EXPECT_EQ(run.m_nStatus, 0);
    EXPECT_TRUE(IsUtf8(run.m_Out));
    for (const SName& name : names)
        EXPECT_NE(run.m_Out.find("{\"file\": \"" + (scratch / name.m_pJson).string() + "\""), std::string::npos)
            << name.m_pJson;
}

TEST(CommandLineUtf8, WellFormedSequencesOnly) {
    struct SCase {
        const char* m_pBytes;
        bool m_bUtf8;
    };
    const SCase cases[] = {
        {"", true},
        {"plain.gsd", true},
        {"\xC2\x80\xDF\xBF", true},                  // two bytes, lowest and highest
        {"\xE0\xA0\x80\xEF\xBF\xBF", true},          // three bytes
        {"\xED\x9F\xBF\xEE\x80\x80", true},          // around the surrogates
        {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", true},  // four bytes up to 10FFFF
        {"\x80", false},                             // continuation without a lead
        {"\xC0\x80", false},                         // overlong
        {"\xC1\xBF", false},
        {"\xE0\x80\x80", false},
        {"\xE0\x9F\xBF", false},
        {"\xF0\x8F\xBF\xBF", false},
        {"\xED\xA0\x80", false},  // surrogates
        {"\xED\xBF\xBF", false},
        {"\xF4\x90\x80\x80", false},  // beyond 10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\xF7\xBF\xBF\xBF", false},
        {"\xF8\x88\x80\x80\x80", false},
        {"\xFF", false},
        {"a\xC3", false},  // cut short
        {"\xE2\x82", false},
        {"\xF0\x9F\x98", false},
        {"\xC3\x41", false},  // not a continuation
        {"\xE2\x28\xA1", false},
        {"\xF0\x90\x28\xBC", false},
    };
    for (const SCase& c : cases)
        EXPECT_EQ(IsUtf8(c.m_pBytes), c.m_bUtf8) << testing::PrintToString(std::string(c.m_pBytes));
}

// A row's text is Windows-1252: the text and JSON rows give it as UTF-8, and
// JSON escapes what may not stand in a string, however long the text and
// wherever the bytes stand in it.
TEST(CommandLineUtf8, RowTextsAreWrittenAsUtf8AndEscapedForJson) {
    struct SCase {
        std::string m_Text;
        std::string m_Utf8;
        std::string m_Json;  // the string literal
    };
    const std::string euro = "\xE2\x82\xAC";
    const SCase cases[] = {
        {"plain", "plain", "\"plain\""},
        {"\x80\xE9\x81\x9F", euro + "\xC3\xA9\xC2\x81\xC5\xB8", "\"" + euro + "\xC3\xA9\xC2\x81\xC5\xB8\""},
        {"Key \"a\\b\"", "Key \"a\\b\"", "\"Key \\\"a\\\\b\\\"\""},
        {"\t\n\r\x01\x1F", "\t\n\r\x01\x1F", "\"\\t\\n\\r\\u0001\\u001f\""},
        // A high byte after the first eight, and texts far longer than a row's head.
        {"abcdefghij\x80", "abcdefghij" + euro, "\"abcdefghij" + euro + "\""},
        {std::string(1000, '\x80'),
         [&] {
             std::string out;
             for (int i = 0; i < 1000; ++i) out += euro;
             return out;
         }(),
         ""},
        {std::string(1000, '\x01'), std::string(1000, '\x01'),
         [] {
             std::string out = "\"";
             for (int i = 0; i < 1000; ++i) out += "\\u0001";
             return out + "\"";
         }()},
    };
    CFileResult result;
    result.m_Path = "a.gsd";
    result.m_bRead = true;
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.m_Text.substr(0, 20)));
        const CCheckMessage row{CheckMessageKind::Error, 4, c.m_Text, nullptr, 130};
        std::ostringstream text;
        MakeFormatter("text")->Row(text, result, row);
        EXPECT_EQ(text.str(), "Error\tLine 5\t" + c.m_Utf8 + "\n");
        const std::string json = c.m_Json.empty() ? "\"" + c.m_Utf8 + "\"" : c.m_Json;
        std::ostringstream jsonRow;
        MakeFormatter("json")->Row(jsonRow, result, row);
        EXPECT_EQ(jsonRow.str(),
                  "\n      {\"kind\": \"Error\", \"kindCode\": 1, \"line\": 4, \"lineNumber\": 5, \"id\": 130, "
                  "\"text\": " +
                      json + "}");
        // Appended after what a string holds already, as the language server does.
        std::string appended = "x";
        AppendJsonString(appended, c.m_Utf8);
        EXPECT_EQ(appended, "x" + json);
        appended = "y";
        AppendUtf8(appended, c.m_Text);
        EXPECT_EQ(appended, "y" + c.m_Utf8);
    }
}

TEST(CommandLineFailures, UserKeyFilesThatAreNotFilesAreRefused) {
    const CScratch scratch("taluna_cli_userkeys");
    ASSERT_EQ(mkfifo((scratch / "fifo.ini").c_str(), 0644), 0);
    fs::create_directories(scratch / "dir.ini");
    // A valid start, then a hole beyond the size limit.
    std::ofstream(scratch / "large.ini") << "[UserKeys]\n";
    fs::resize_file(scratch / "large.ini", (16u << 20) + 1);
    struct SCase {
        std::string m_Path;
        const char* m_pWhy;
    };
    for (const SCase& c :
         {SCase{"/dev/zero", "is not a regular file"}, SCase{(scratch / "fifo.ini").string(), "is not a regular file"},
          SCase{(scratch / "dir.ini").string(), "is a directory"},
          SCase{(scratch / "large.ini").string(), "is larger than 16 MB"}}) {
        SChild child{{"--userkeys", c.m_Path, Demo()}};
        child.m_nAddressSpace = 512u << 20;
        child.m_nSeconds = 20;
        const SExit run = RunChild(child);
        SCOPED_TRACE(c.m_Path);
        EXPECT_EQ(run.m_nStatus, 2) << run.m_nSignal;
        EXPECT_EQ(run.m_Err, "taluna-check: cannot read user keys from " + c.m_Path + ": " + c.m_pWhy + "\n");
        EXPECT_EQ(run.m_Out, "");
    }
}

TEST(CommandLineFailures, ASettingsFileThatIsNotAFileIsNamedAndLeftUnread) {
    const CScratch scratch("taluna_cli_settings");
    fs::create_directories(scratch / "Velmar");
    const fs::path settings = scratch / "Velmar" / "Taluna.conf";
    ASSERT_EQ(mkfifo(settings.c_str(), 0644), 0);
    SChild child{{Demo()}};
    child.m_Env = {"XDG_CONFIG_HOME=" + scratch.Dir().string()};
    child.m_nSeconds = 20;
    const SExit run = RunChild(child);
    EXPECT_EQ(run.m_nStatus, 0) << run.m_nSignal;
    EXPECT_EQ(run.m_Err,
              "taluna-check: not reading the settings file " + settings.string() + ": is not a regular file\n");
    EXPECT_EQ(run.m_Out.rfind(Demo() + "\nInfo\t---\tStart Syntax-Check...\n", 0), 0u);

    // No settings file at all: no user keys, and nothing said.
    fs::remove(settings);
    const SExit none = RunChild(child);
    EXPECT_EQ(none.m_nStatus, 0);
    EXPECT_EQ(none.m_Err, "");
    EXPECT_EQ(none.m_Out, run.m_Out);
}

TEST(CommandLineFailures, ManyFilesKeepArgumentOrderWhateverTheJobs) {
    const CScratch scratch("taluna_cli_order");
    const std::string corpus = TALUNA_CORPUS_DIR;
    const char* sources[] = {"DPV10008.gsd", "ABB_0812.gsd", "B756_P33.GSD", "dummy.gsd"};
    std::vector<std::string> args{"--format", "gcc"};
    std::vector<std::string> names;
    for (int k = 0; k < 60; ++k) {
        // Large and small files mixed, so that workers finish out of order.
        const std::string name = (scratch / ("f" + std::to_string(100 + k) + ".gsd")).string();
        fs::create_symlink(corpus + "/" + sources[(k * 7) % 4], name);
        args.push_back(name);
        names.push_back(name);
    }
    args.push_back("--jobs");
    args.push_back("1");
    const SExit one = RunChild({args});
    args.back() = "3";
    const SExit three = RunChild({args});
    EXPECT_EQ(one.m_nStatus, 1);
    EXPECT_EQ(three.m_nStatus, 1);
    EXPECT_EQ(one.m_Out, three.m_Out);
    size_t last = 0;
    for (const std::string& name : names) {
        const size_t at = three.m_Out.find(name + ":", last);
        ASSERT_NE(at, std::string::npos) << name;
        last = at;
    }
}

// Waits up to ten seconds for `done`.
template <typename F>
bool WaitFor(F done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST(CommandLineHandOff, ResultsArriveInOrderAndWorkersStayWithinTheWindow) {
    struct SCase {
        unsigned m_nWorkers;  // 0: the writer takes each index itself
        size_t m_nWindow;
    };
    for (const SCase& c : {SCase{0, 1}, SCase{1, 2}, SCase{3, 4}, SCase{4, 1}, SCase{2, 7}}) {
        SCOPED_TRACE(testing::Message() << c.m_nWorkers << " workers, window " << c.m_nWindow);
        const size_t count = 300;
        CInOrderHandOff<std::string> handOff(count, c.m_nWindow);
        std::atomic<size_t> beyond{0};
        auto work = [&](size_t i) {
            // Uneven work, so that later indexes are often done first.
            if (i % 5 == 0) std::this_thread::sleep_for(std::chrono::microseconds(300));
            handOff.Put(i, "result " + std::to_string(i));
        };
        std::vector<std::thread> workers;
        for (unsigned w = 0; w < c.m_nWorkers; ++w)
            workers.emplace_back([&] {
                while (const auto i = handOff.Take()) {
                    if (*i >= handOff.Passed() + c.m_nWindow) ++beyond;
                    work(*i);
                }
            });
        for (size_t i = 0; i < count; ++i) {
            if (c.m_nWorkers == 0) {
                const auto taken = handOff.Take();
                ASSERT_TRUE(taken.has_value());
                EXPECT_EQ(*taken, i);
                work(*taken);
            }
            EXPECT_EQ(handOff.Next(), "result " + std::to_string(i));
        }
        for (auto& worker : workers) worker.join();
        EXPECT_FALSE(handOff.Take().has_value());
        EXPECT_EQ(beyond, 0u);
        EXPECT_EQ(handOff.Passed(), count);
    }
}

TEST(CommandLineHandOff, AWriterThatIsHeldUpHoldsTheWorkersAWindowAhead) {
    const size_t window = 3;
    CInOrderHandOff<size_t> handOff(100, window);
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w)
        workers.emplace_back([&] {
            while (const auto i = handOff.Take()) handOff.Put(*i, *i * 10);
        });
    ASSERT_TRUE(WaitFor([&] { return handOff.Taken() == window; }));
    // Four idle workers and ninety-seven indexes left: they would have run on by now.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(handOff.Taken(), window);
    EXPECT_EQ(handOff.Next(), 0u);
    ASSERT_TRUE(WaitFor([&] { return handOff.Taken() == window + 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(handOff.Taken(), window + 1);
    // Stopped: the workers waiting for room return; what was taken is still handed on.
    handOff.Stop();
    for (auto& worker : workers) worker.join();
    EXPECT_EQ(handOff.Next(), 10u);
    EXPECT_EQ(handOff.Next(), 20u);
    EXPECT_EQ(handOff.Next(), 30u);
    EXPECT_EQ(handOff.Taken(), window + 1);
}

TEST(CommandLineReadAhead, EveryTakerGetsItsFileWhateverTheTakersAndLimits) {
    struct SCase {
        unsigned m_nTakers;
        size_t m_nCount, m_nWindow, m_nBudget;
        size_t m_nLargeEvery;  // every such file is larger than the budget; 0: none
    };
    for (const SCase& c : {SCase{1, 300, 8, 1000, 0}, SCase{1, 300, 1, 1000, 0}, SCase{3, 300, 4, 1000, 7},
                           SCase{1, 300, 8, 50, 3}, SCase{4, 300, 2, 10, 1}, SCase{1, 1, 8, 1000, 0}}) {
        SCOPED_TRACE(testing::Message() << c.m_nTakers << " takers, window " << c.m_nWindow << ", budget "
                                        << c.m_nBudget << ", large every " << c.m_nLargeEvery);
        const auto size = [&](size_t i) {
            return c.m_nLargeEvery != 0 && i % c.m_nLargeEvery == 0 ? 2 * c.m_nBudget : size_t{10};
        };
        CReadAhead<std::pair<size_t, size_t>> ahead(
            c.m_nCount, c.m_nWindow, c.m_nBudget,
            [&](size_t i) {
                // Uneven reading, so that the reader is sometimes behind, sometimes ahead.
                if (i % 9 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
                return std::pair{i, size(i)};
            },
            [](const std::pair<size_t, size_t>& text) { return text.second; });
        std::atomic<size_t> next{0}, wrong{0};
        auto take = [&] {
            for (size_t i = next++; i < c.m_nCount; i = next++) {
                if (ahead.Take(i).first != i) ++wrong;
                if (i % 5 == 0) std::this_thread::sleep_for(std::chrono::microseconds(300));
            }
        };
        std::vector<std::thread> takers;
        for (unsigned t = 1; t < c.m_nTakers; ++t) takers.emplace_back(take);
        take();
        for (auto& taker : takers) taker.join();
        EXPECT_EQ(wrong, 0u);
    }
}

TEST(CommandLineReadAhead, TheReaderStaysWithinTheWindowAndTheBudget) {
    struct SCase {
        size_t m_nWindow, m_nBudget, m_nSize;
        size_t m_nReads[3];  // files read before any is taken, after one, after two
    };
    // Small files: a window ahead, and once one is taken the reader waits until it
    // can read half a window. Files of 60 bytes and a budget of 100: two are read,
    // and the reader goes on only once half the budget is free.
    for (const SCase& c : {SCase{4, 1000, 10, {4, 4, 6}}, SCase{8, 100, 60, {2, 2, 4}}}) {
        SCOPED_TRACE(testing::Message() << "window " << c.m_nWindow << ", budget " << c.m_nBudget);
        std::atomic<size_t> reads{0};
        CReadAhead<size_t> ahead(
            100, c.m_nWindow, c.m_nBudget, [&](size_t i) { return ++reads, i; }, [&](size_t) { return c.m_nSize; });
        for (size_t taken = 0; taken < 3; ++taken) {
            if (taken > 0) {
                EXPECT_EQ(ahead.Take(taken - 1), taken - 1);
            }
            EXPECT_TRUE(WaitFor([&] { return reads == c.m_nReads[taken]; })) << reads;
            // An idle reader with files left would have run on by now.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            EXPECT_EQ(reads, c.m_nReads[taken]);
        }
    }  // left with files not taken: the reader stops
}

}  // namespace
