// taluna-check: checks GSD files from the command line with the editor's rules.

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cli/file_check.h"
#include "cli/formatters.h"
#include "model/ini_profile.h"
#include "model/text_util.h"

namespace {

constexpr int EXIT_CLEAN = 0;
constexpr int EXIT_FINDINGS = 1;
constexpr int EXIT_UNREAD = 2;

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
    "  --userkeys FILE   read user-defined keys from the [UserKeys] section of an\n"
    "                    INI file instead of the editor's settings\n"
    "  --jobs N          check N files at a time (default: the number of cores)\n"
    "  --werror          count warnings as errors for the exit status\n"
    "  --help            show this help\n"
    "  --version         show the version\n"
    "\n"
    "Exit status: 0 no error found, 1 an error was found, 2 a usage error or a\n"
    "file that could not be read.\n";

bool IsGsdName(const std::filesystem::path& path) {
    const std::string ext = ToLower(path.extension().string());
    return ext.size() == 4 && ext.rfind(".gs", 0) == 0;
}

// The files named by the arguments, directories expanded in name order.
std::vector<std::string> CollectFiles(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        std::error_code ec;
        if (!std::filesystem::is_directory(arg, ec)) {
            files.push_back(arg);
            continue;
        }
        std::vector<std::string> found;
        std::filesystem::recursive_directory_iterator it(arg, std::filesystem::directory_options::skip_permission_denied, ec);
        for (; !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            std::error_code fileEc;
            if (it->is_regular_file(fileEc) && IsGsdName(it->path())) found.push_back(it->path().string());
        }
        if (ec) std::cerr << "taluna-check: " << arg << ": " << ec.message() << '\n';
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

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

}  // namespace

int main(int argc, char** argv) {
    std::string format = "text";
    std::string userKeys;
    bool haveUserKeys = false;
    bool werror = false;
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
            return EXIT_CLEAN;
        } else if (arg == "--version") {
            std::cout << "taluna-check " TALUNA_VERSION "\n";
            return EXIT_CLEAN;
        } else if (is("--format")) {
            format = value("--format");
        } else if (arg == "--no-semantic") {
            options.m_bNoSemantic = true;
        } else if (arg == "--no-warnings") {
            options.m_bNoWarnings = true;
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
    if (haveUserKeys) {
        if (!LoadIniFile(userKeys, profile)) {
            std::cerr << "taluna-check: cannot read user keys from " << userKeys << '\n';
            return EXIT_UNREAD;
        }
    } else {
        LoadIniFile(DefaultSettingsPath(), profile);  // no settings file: no user keys
    }
    options.m_pUserKeys = &profile;

    const std::vector<std::string> files = CollectFiles(args);
    std::vector<CFileResult> results(files.size());
    std::vector<char> done(files.size(), 0);
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<size_t> next{0};
    CProgressBar progress(files.size(), files.size() > 1 && isatty(STDERR_FILENO));

    auto worker = [&] {
        for (size_t i = next++; i < files.size(); i = next++) {
            CFileResult result = CheckGsdFile(files[i], options);
            std::lock_guard<std::mutex> lock(mutex);
            results[i] = std::move(result);
            done[i] = 1;
            ready.notify_all();
        }
    };
    std::vector<std::thread> threads;
    const unsigned count = std::min<unsigned>(jobs, static_cast<unsigned>(std::max<size_t>(files.size(), 1)));
    for (unsigned t = 0; t < count; ++t) threads.emplace_back(worker);

    int status = EXIT_CLEAN;
    bool unread = false;
    formatter->Begin(std::cout);
    for (size_t i = 0; i < files.size(); ++i) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            ready.wait(lock, [&] { return done[i] != 0; });
        }
        progress.Update(i + 1);
        const CFileResult& result = results[i];
        if (!result.m_bRead) {
            progress.Finish();
            std::cerr << "taluna-check: cannot read " << result.m_Path << ": " << result.m_ReadError << '\n';
            unread = true;
            if (format == "json") formatter->File(std::cout, result);
            continue;
        }
        formatter->File(std::cout, result);
        if (result.HasErrors() || (werror && result.HasWarnings())) status = EXIT_FINDINGS;
        results[i].m_Rows.clear();
    }
    formatter->End(std::cout);
    progress.Finish();
    for (auto& thread : threads) thread.join();
    std::cout.flush();
    return unread ? EXIT_UNREAD : status;
}
