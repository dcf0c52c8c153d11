// taluna-check: checks GSD files from the command line with the editor's rules.

#ifdef _WIN32
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which it needs.
#include <io.h>
#include <shellapi.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "base/text_util.h"
#include "cli/file_check.h"
#include "cli/formatters.h"
#include "cli/in_order_hand_off.h"
#include "cli/program_args.h"
#include "cli/read_ahead.h"
#include "model/file_io.h"
#include "model/ini_profile.h"

namespace {

constexpr int EXIT_CLEAN = 0;
constexpr int EXIT_FINDINGS = 1;
constexpr int EXIT_UNREAD = 2;

// Files checked ahead of the one being written, per thread.
constexpr size_t kFilesAheadPerJob = 2;
// Files read ahead of their check, and the bytes of text they may hold: the next
// file is read ahead only while less than this is held.
constexpr size_t kFilesReadAhead = 32;
constexpr size_t kBytesReadAhead = 8 << 20;

const char* const kUsage =
    "Usage: taluna-check [options] FILE|DIR...\n"
    "Checks PROFIBUS-DP device description files (GSD files): the syntax of every\n"
    "key and the semantic rules of the whole file. Directories are searched\n"
    "recursively for *.gs? files.\n"
    "\n"
    "Options:\n"
    "  --format FORMAT   text (default), gcc, json or sarif\n"
    "  --no-semantic     skip the semantic check (the fail-safe setting)\n"
    "  --no-warnings     do not list warnings\n"
    "  --profile NAME    the rules to check with: classic (the written revision 2\n"
    "                    rules, the default), rev5 (also the keywords, blocks and\n"
    "                    values of GSD revisions 3 to 5) or auto (rev5 for a file\n"
    "                    that declares GSD_Revision 3 or more, classic otherwise)\n"
    "  --userkeys FILE   read user-defined keys from the [UserKeys] section of an\n"
    "                    INI file instead of the editor's settings\n"
    "  --jobs N          check N files at a time (default: the number of cores)\n"
    "  --werror          count warnings as errors for the exit status\n"
    "  --list-messages   list the messages of the check instead of checking: id,\n"
    "                    kind, title and text (with --format json also the\n"
    "                    explanation, an example and its correction)\n"
    "  --help            show this help\n"
    "  --version         show the version\n"
    "\n"
    "Without --userkeys the keys registered in the editor apply, from the settings\n"
    "file Velmar/Taluna.conf under $XDG_CONFIG_HOME or ~/.config; one that is not a\n"
    "regular file or is larger than 16 MB is named and not read. A user-key file\n"
    "must be a regular file of at most 16 MB; /dev/null stands for no user keys.\n"
    "\n"
    "Exit status: 0 no error found, 1 an error was found, 2 a usage error, a file or\n"
    "directory that could not be read or checked, or output that could not be\n"
    "written.\n";

bool IsGsdName(const std::filesystem::path& path) {
    const std::string ext = ToLower(path.extension().string());
    return ext.size() == 4 && ext.rfind(".gs", 0) == 0;
}

// A file to check, or a name the search of a directory could not read, with the reason.
// `m_bSeenRegular`: the search saw a regular file there, not a link.
struct SInput {
    std::string m_Path;
    std::string m_Error;
    bool m_bSeenRegular = false;
};

// Adds the GSD files under `dir` to `found`, descending into directories but not into
// links to directories. A directory that cannot be read and a link with a GSD name
// that leads nowhere are added with the reason, to be named as unread files are.
// Where the listing gives a name's kind, no one asks the file system again.
void SearchDirectory(const std::filesystem::path& dir, std::vector<SInput>& found) {
    std::error_code ec;
    std::filesystem::directory_iterator it(dir, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::error_code linkEc;
        const bool link = it->is_symlink(linkEc);
        if (!link && it->is_directory(linkEc)) {
            SearchDirectory(it->path(), found);
            continue;
        }
        if (!IsGsdName(it->path())) continue;
        if (!link && it->is_regular_file(linkEc)) {
            found.push_back({it->path().string(), {}, true});
            continue;
        }
        std::error_code fileEc;
        const auto status = it->status(fileEc);
        if (std::filesystem::is_regular_file(status))
            found.push_back({it->path().string(), {}});
        else if (link && fileEc)
            found.push_back({it->path().string(), fileEc.message()});
    }
    if (ec) found.push_back({dir.string(), ec.message()});
}

// The files named by the arguments, directories expanded in name order.
std::vector<SInput> CollectFiles(const std::vector<std::string>& args) {
    std::vector<SInput> files;
    for (const std::string& arg : args) {
        std::error_code ec;
        if (!std::filesystem::is_directory(PathFromUtf8(arg), ec)) {
            files.push_back({arg, {}});
            continue;
        }
        std::vector<SInput> found;
        SearchDirectory(PathFromUtf8(arg), found);
        std::sort(found.begin(), found.end(), [](const SInput& a, const SInput& b) { return a.m_Path < b.m_Path; });
        files.insert(files.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    }
    return files;
}

// Standard output as far as it has been written: whether every write went through,
// and if not, the reason of the first failure seen.
class COutputState {
public:
    // `writerError`: the reason of a failed write that another thread saw, where
    // this thread's errno cannot tell it.
    bool Good(int writerError = 0) {
        if (m_nError == 0 && (!std::cout || std::ferror(stdout)))
            m_nError = errno != 0 ? errno : writerError != 0 ? writerError : EIO;
        return m_nError == 0;
    }
    // Flushes everything written; on failure names the reason on stderr and gives
    // the exit status for it, else gives `status`.
    int Finish(int status) {
        if (Good()) {
            errno = 0;
            std::cout.flush();
            std::fflush(stdout);
            Good();
        }
        if (m_nError == 0) return status;
        std::fprintf(stderr, "taluna-check: cannot write the output: %s\n", std::strerror(m_nError));
        return EXIT_UNREAD;
    }
    // For output that cannot be written to at all.
    int Fail(int error) {
        m_nError = error;
        return Finish(EXIT_UNREAD);
    }

private:
    int m_nError = 0;
};

class CProgressBar {
public:
    CProgressBar(size_t total, bool show) : m_nTotal(total), m_bShow(show) {}
    void Update(size_t done) {
        if (!m_bShow) return;
        const size_t width = 40;
        const size_t filled = m_nTotal ? done * width / m_nTotal : width;
        std::string bar(filled, '#');
        bar.resize(width, '.');
        std::fprintf(stderr, "\r[%s] %zu/%zu", bar.c_str(), done, m_nTotal);
        std::fflush(stderr);
    }
    void Finish() {
        if (m_bShow) std::fprintf(stderr, "\r%*s\r", 60, "");
    }

private:
    size_t m_nTotal;
    bool m_bShow;
};

// The output's turn: the rows of the file whose predecessors are all written go
// straight to the output while it is checked, so that a large file's rows are
// never held. Only the worker of that file writes until the writer has taken its
// result; the writer hands the turn on once it has finished a file.
class COutputTurn {
public:
    COutputTurn(COutputFormatter& formatter, std::ostream& out) : m_Formatter(formatter), m_Out(out) {}
    bool IsTurnOf(size_t index) const { return m_nWritten.load(std::memory_order_acquire) == index; }
    void Written(size_t count) { m_nWritten.store(count, std::memory_order_release); }
    // The reason of the first write of a worker that failed, 0 for none.
    void NoteWriteError() {
        int none = 0;
        if (!m_Out) m_nWriteError.compare_exchange_strong(none, errno != 0 ? errno : EIO);
    }
    int WriteError() const { return m_nWriteError.load(); }
    COutputFormatter& m_Formatter;
    std::ostream& m_Out;

private:
    std::atomic<int> m_nWriteError{0};
    // No file's turn before the output's header is written.
    std::atomic<size_t> m_nWritten{SIZE_MAX};
};

// The row writer of one file.
class CFileRowWriter : public IRowWriter {
public:
    CFileRowWriter(COutputTurn& turn, size_t index) : m_Turn(turn), m_nIndex(index) {}
    bool TryWrite(CFileResult& result, const CCheckMessage& row) override {
        if (!result.m_bStreamed && !m_Turn.IsTurnOf(m_nIndex)) return false;
        errno = 0;  // a failed write below leaves its reason
        if (!result.m_bStreamed) {
            m_Turn.m_Formatter.BeginFile(m_Turn.m_Out, result);
            for (const auto& held : result.m_Rows) m_Turn.m_Formatter.Row(m_Turn.m_Out, result, held);
            std::vector<CCheckMessage>().swap(result.m_Rows);
            result.m_bStreamed = true;
        }
        m_Turn.m_Formatter.Row(m_Turn.m_Out, result, row);
        m_Turn.NoteWriteError();
        return true;
    }

private:
    COutputTurn& m_Turn;
    size_t m_nIndex;
};

// The worker threads, stopped and joined however the run ends.
class CWorkers {
public:
    explicit CWorkers(CInOrderHandOff<CFileResult>& handOff) : m_HandOff(handOff) {}
    ~CWorkers() {
        m_HandOff.Stop();
        for (auto& thread : m_Threads) thread.join();
    }
    std::vector<std::thread> m_Threads;

private:
    CInOrderHandOff<CFileResult>& m_HandOff;
};

int Run(int argc, char** argv) {
    COutputState output;
    // A closed standard output: nothing can be written, and a file opened later
    // would take its place.
#ifdef _WIN32
    if (::_get_osfhandle(1) == -1) return output.Fail(EBADF);
#else
    if (::fcntl(STDOUT_FILENO, F_GETFD) < 0) return output.Fail(errno);
#endif
    // Rows go out through std::cout alone: its own buffer takes them, not a
    // locked C stream call per row.
    std::ios::sync_with_stdio(false);
#ifdef __GLIBC__
    // Each file's text and entries are freed before the next file is read. The C
    // library would give that memory back to the system at once (and serve larger
    // blocks by mapping fresh pages), so every file faulted its pages in anew. The
    // memory is kept for the next file instead; the peak stays that of the largest.
    ::mallopt(M_TRIM_THRESHOLD, 256 << 20);
    ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
#endif

    std::string format = "text";
    std::string userKeys;
    bool haveUserKeys = false;
    bool werror = false;
    bool listMessages = false;
    CCheckOptions options;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::string> args;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* name) -> std::string {
            const std::string prefix = std::string(name) + "=";
            if (arg.rfind(prefix, 0) == 0) return arg.substr(prefix.size());
            if (i + 1 >= argc) {
                std::cerr << "taluna-check: " << name << " needs a value\n" << kUsage;
                std::exit(EXIT_UNREAD);
            }
            return argv[++i];
        };
        auto is = [&](const char* name) { return arg == name || arg.rfind(std::string(name) + "=", 0) == 0; };
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return output.Finish(EXIT_CLEAN);
        } else if (arg == "--version") {
            std::cout << "taluna-check " TALUNA_VERSION "\n";
            return output.Finish(EXIT_CLEAN);
        } else if (is("--format")) {
            format = value("--format");
        } else if (arg == "--no-semantic") {
            options.m_bNoSemantic = true;
        } else if (arg == "--no-warnings") {
            options.m_bNoWarnings = true;
        } else if (is("--profile")) {
            const std::string name = value("--profile");
            if (name == "classic")
                options.m_Profile = EProfileChoice::Classic;
            else if (name == "rev5")
                options.m_Profile = EProfileChoice::Rev5;
            else if (name == "auto")
                options.m_Profile = EProfileChoice::Auto;
            else {
                std::cerr << "taluna-check: unknown profile " << name << " (classic, rev5 or auto)\n";
                return EXIT_UNREAD;
            }
        } else if (arg == "--list-messages") {
            listMessages = true;
        } else if (arg == "--werror") {
            werror = true;
        } else if (is("--userkeys")) {
            userKeys = value("--userkeys");
            haveUserKeys = true;
        } else if (is("--jobs") || arg == "-j") {
            const std::string text = value("--jobs");
            char* end = nullptr;
            const long n = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || n < 1 || n > 1024) {
                std::cerr << "taluna-check: --jobs takes a number from 1 to 1024\n";
                return EXIT_UNREAD;
            }
            jobs = static_cast<unsigned>(n);
        } else if (arg == "--") {
            for (++i; i < argc; ++i) args.emplace_back(argv[i]);
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::cerr << "taluna-check: unknown option " << arg << '\n' << kUsage;
            return EXIT_UNREAD;
        } else {
            args.push_back(arg);
        }
    }

    if (listMessages) {
        if (format != "text" && format != "json") {
            std::cerr << "taluna-check: --list-messages writes text or json, not " << format << '\n';
            return EXIT_UNREAD;
        }
        if (!args.empty()) {
            std::cerr << "taluna-check: --list-messages checks no file\n";
            return EXIT_UNREAD;
        }
        WriteMessageList(std::cout, format == "json");
        return output.Finish(EXIT_CLEAN);
    }

    auto formatter = MakeFormatter(format);
    if (!formatter) {
        std::cerr << "taluna-check: unknown format " << format << " (text, gcc, json or sarif)\n";
        return EXIT_UNREAD;
    }
    if (args.empty()) {
        std::cerr << "taluna-check: no file named\n" << kUsage;
        return EXIT_UNREAD;
    }

    CMemoryProfileStore profile;
    std::string why;
    if (haveUserKeys) {
        if (ReadIniFile(userKeys, profile, why) != EIniFile::Read) {
            std::cerr << "taluna-check: cannot read user keys from " << userKeys << ": " << why << '\n';
            return EXIT_UNREAD;
        }
    } else {
        // No settings file: no user keys.
        const std::string settings = DefaultSettingsPath();
        if (ReadIniFile(settings, profile, why) == EIniFile::Refused)
            std::cerr << "taluna-check: not reading the settings file " << settings << ": " << why << '\n';
    }
    options.m_pUserKeys = &profile;

    const std::vector<SInput> files = CollectFiles(args);
    const unsigned count = std::min<unsigned>(jobs, static_cast<unsigned>(std::max<size_t>(files.size(), 1)));
    CInOrderHandOff<CFileResult> handOff(files.size(), kFilesAheadPerJob * count);
    COutputTurn turn(*formatter, std::cout);
    // The next files are read while one is checked.
    CReadAhead<SFileText> readAhead(
        files.size(), kFilesReadAhead, kBytesReadAhead,
        [&](size_t i) {
            return files[i].m_Error.empty() ? ReadGsdFile(files[i].m_Path, files[i].m_bSeenRegular) : SFileText{};
        },
        [](const SFileText& text) { return text.Bytes(); });
    auto check = [&](size_t i) {
        CFileResult result;
        try {
            SFileText text = readAhead.Take(i);
            CFileRowWriter writer(turn, i);
            result = files[i].m_Error.empty() ? CheckFileText(files[i].m_Path, std::move(text), options, &writer)
                                              : UnreadFile(files[i].m_Path, files[i].m_Error);
        } catch (const std::bad_alloc&) {
            // Not even the name could be kept: the writer names the file.
            result.m_bOutOfMemory = true;
            result.m_ReadError = "out of memory";
        }
        handOff.Put(i, std::move(result));
    };
    CWorkers workers(handOff);
    // One job is done by the writer itself: a single worker would check each
    // file while the writer only waited for it, and the hand-over of every
    // file would wake a thread for nothing.
    for (unsigned t = 0; count > 1 && t < count; ++t) {
        try {
            workers.m_Threads.emplace_back([&] {
                while (const auto i = handOff.Take()) check(*i);
            });
        } catch (const std::system_error&) {
            break;  // fewer threads; with none at all, the writer checks each file itself
        }
    }
#ifdef _WIN32
    CProgressBar progress(files.size(), files.size() > 1 && ::_isatty(2));
#else
    CProgressBar progress(files.size(), files.size() > 1 && isatty(STDERR_FILENO));
#endif

    int status = EXIT_CLEAN;
    bool unread = false;
    formatter->Begin(std::cout);
    turn.Written(0);
    for (size_t i = 0; i < files.size() && output.Good(turn.WriteError()); ++i) {
        errno = 0;  // a failed write below leaves its reason
        if (workers.m_Threads.empty()) {
            if (const auto next = handOff.Take()) check(*next);
        }
        CFileResult result = handOff.Next();
        if (result.m_Path.empty()) result.m_Path = files[i].m_Path;
        progress.Update(i + 1);
        if (!result.m_bRead) {
            progress.Finish();
            if (result.m_bOutOfMemory)
                std::cerr << "taluna-check: " << result.m_Path << ": out of memory\n";
            else
                std::cerr << "taluna-check: cannot read " << result.m_Path << ": " << result.m_ReadError << '\n';
            unread = true;
            if (result.m_bStreamed)
                formatter->EndFile(std::cout, result);
            else if (format == "json")
                formatter->File(std::cout, result);
            turn.Written(i + 1);
            continue;
        }
        if (result.m_bStreamed)
            formatter->EndFile(std::cout, result);
        else
            formatter->File(std::cout, result);
        if (result.HasErrors() || (werror && result.HasWarnings())) status = EXIT_FINDINGS;
        turn.Written(i + 1);
    }
    if (output.Good(turn.WriteError())) formatter->End(std::cout);
    progress.Finish();
    return output.Finish(unread ? EXIT_UNREAD : status);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        std::vector<std::string> args = ProgramArguments(argc, argv);
        std::vector<char*> utf8Argv;
        for (std::string& arg : args) utf8Argv.push_back(arg.data());
        utf8Argv.push_back(nullptr);
        return Run(static_cast<int>(args.size()), utf8Argv.data());
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    std::fputs("taluna-check: out of memory\n", stderr);
    return EXIT_UNREAD;
}
