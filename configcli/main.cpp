// taluna-config: shows what a DP master sends to the slave of a GSD file once
// modules are plugged and parameters set: configuration data, user parameter
// data, input and output lengths against the file's limits, and the findings.

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

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "base/text_util.h"
#include "cli/file_check.h"
#include "cli/formatters.h"
#include "cli/program_args.h"
#include "config/slave_config.h"
#include "configcli/config_report.h"
#include "model/file_io.h"
#include "model/key_database.h"

namespace {

constexpr int EXIT_CLEAN = 0;
constexpr int EXIT_FINDINGS = 1;
constexpr int EXIT_USAGE = 2;

const char* const kUsage =
    "Usage: taluna-config FILE [--module NAME|#N]... [--set [#N:]PARAMETER=VALUE]...\n"
    "                     [--format text|json]\n"
    "       taluna-config FILE --list-modules [--format text|json]\n"
    "Shows what a DP master sends to the slave described by a GSD file: the\n"
    "configuration data of the plugged modules, the user parameter data (the\n"
    "device part, then each module's part), the input and output lengths against\n"
    "the limits the file declares, and the findings.\n"
    "\n"
    "Options:\n"
    "  --module NAME|#N  plug the Module of that name, or the N-th Module of the\n"
    "                    file (from #0), into the next slot; a compact station\n"
    "                    has its module plugged when none is named\n"
    "  --set [#N:]PARAMETER=VALUE\n"
    "                    set a parameter (the name of its ExtUserPrmData) of the\n"
    "                    device part, or with #N: of the module in slot N (from\n"
    "                    #0), to a text of its PrmText or a number\n"
    "  --list-modules    list every Module of the file with its configuration\n"
    "                    bytes and the parameter bytes of its defaults\n"
    "  --format FORMAT   text (default) or json\n"
    "  --help            show this help\n"
    "  --version         show the version\n"
    "\n"
    "Exit status: 0 no error found, 1 a finding is an error, 2 a usage error, a\n"
    "file that could not be read, or output that could not be written.\n";

// UTF-8 text of the command line as the file's Windows-1252; characters it cannot
// hold become '?'. Text that is not UTF-8 is taken as it stands.
std::string Utf8ToCp1252(const std::string& text) {
    static const unsigned kHigh[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                       0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    if (!IsUtf8(text)) return text;
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        unsigned code = lead;
        size_t extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        if (extra > 0) code = lead & (0x3F >> extra);
        for (size_t k = 1; k <= extra; ++k) code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += extra + 1;
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out += static_cast<char>(code);
            continue;
        }
        char mapped = '?';
        for (unsigned k = 0; k < 32; ++k)
            if (kHigh[k] == code) mapped = static_cast<char>(0x80 + k);
        out += mapped;
    }
    return out;
}

// "#N" with N a number from 0: N; -1 for anything else.
int IndexOf(const std::string& text) {
    if (text.size() < 2 || text[0] != '#' || text.size() > 10) return -1;
    int n = 0;
    for (size_t i = 1; i < text.size(); ++i) {
        if (!IsDigitByte(text[i])) return -1;
        n = n * 10 + (text[i] - '0');
    }
    return n;
}

struct SSetArg {
    int m_nSlot = -1;
    std::string m_Text;  // PARAMETER=VALUE, as the file's text
};

int Usage(const std::string& message) {
    std::cerr << "taluna-config: " << message << '\n';
    return EXIT_USAGE;
}

int Finish(int status) {
    std::cout.flush();
    if (!std::cout || std::ferror(stdout) != 0 || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "taluna-config: cannot write the output: %s\n", std::strerror(errno != 0 ? errno : EIO));
        return EXIT_USAGE;
    }
    return status;
}

int Run(const std::vector<std::string>& args) {
    std::string format = "text";
    std::string file;
    bool list = false;
    std::vector<std::string> modules;
    std::vector<SSetArg> sets;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        auto takes = [&](const char* name) {
            const std::string prefix = std::string(name) + "=";
            if (arg.rfind(prefix, 0) == 0) {
                value = arg.substr(prefix.size());
                return true;
            }
            if (arg != name) return false;
            if (i + 1 >= args.size()) throw std::invalid_argument(std::string(name) + " needs a value");
            value = args[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return Finish(EXIT_CLEAN);
        } else if (arg == "--version") {
            std::cout << "taluna-config " TALUNA_VERSION "\n";
            return Finish(EXIT_CLEAN);
        } else if (arg == "--list-modules") {
            list = true;
        } else if (takes("--format")) {
            format = value;
        } else if (takes("--module")) {
            modules.push_back(value);
        } else if (takes("--set")) {
            SSetArg set;
            const size_t colon = value.find(':');
            if (!value.empty() && value[0] == '#' && colon != std::string::npos) {
                set.m_nSlot = IndexOf(value.substr(0, colon));
                if (set.m_nSlot < 0) throw std::invalid_argument("--set " + value + ": the slot is no #N");
                value.erase(0, colon + 1);
            }
            if (value.find('=') == std::string::npos)
                throw std::invalid_argument("--set " + value + ": PARAMETER=VALUE expected");
            set.m_Text = Utf8ToCp1252(value);
            sets.push_back(std::move(set));
        } else if (arg == "--") {
            for (++i; i < args.size(); ++i) {
                if (!file.empty()) throw std::invalid_argument("one FILE only");
                file = args[i];
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw std::invalid_argument("unknown option " + arg);
        } else {
            if (!file.empty()) throw std::invalid_argument("one FILE only");
            file = arg;
        }
    }
    if (format != "text" && format != "json")
        throw std::invalid_argument("unknown format " + format + " (text or json)");
    if (file.empty()) throw std::invalid_argument("no file named");
    if (list && (!modules.empty() || !sets.empty()))
        throw std::invalid_argument("--list-modules takes no --module and no --set");

    std::string bytes;
    const std::string why = ReadUpToNul(file, bytes);
    if (!why.empty()) return Usage("cannot read " + file + ": " + why);
    CKeyDatabase database;
    BuildConfigDatabase(std::move(bytes), database);
    const CSlaveDescription description(database);

    if (list) {
        const CModuleList modulesOfFile = description.ListModules();
        if (format == "json")
            WriteModulesJson(std::cout, file, description.IsModular(), modulesOfFile);
        else
            WriteModulesText(std::cout, file, modulesOfFile);
        return Finish(modulesOfFile.HasErrors() ? EXIT_FINDINGS : EXIT_CLEAN);
    }

    CSlaveConfigRequest request;
    for (const std::string& module : modules) {
        int index = IndexOf(module);
        if (index < 0) index = description.FindModule(Utf8ToCp1252(module));
        if (index < 0) return Usage("the file has no Module named \"" + module + "\" (see --list-modules)");
        request.m_Modules.push_back(index);
    }
    std::vector<int> plugged = request.m_Modules;
    if (plugged.empty() && !description.IsModular() && description.ModuleCount() > 0) plugged.push_back(0);
    for (const SSetArg& set : sets) {
        // PARAMETER=VALUE splits at the first '=' after which a parameter of the part is named:
        // names may hold '=' themselves.
        const int module = set.m_nSlot < 0                                  ? -1
                           : set.m_nSlot < static_cast<int>(plugged.size()) ? plugged[static_cast<size_t>(set.m_nSlot)]
                                                                            : description.ModuleCount();
        const std::vector<std::string> names = description.ParameterNames(module);
        size_t split = set.m_Text.find('=');
        for (size_t at = split; at != std::string::npos; at = set.m_Text.find('=', at + 1)) {
            const std::string name = Trim(std::string_view(set.m_Text).substr(0, at));
            bool known = false;
            for (const std::string& candidate : names) known = known || EqualsNoCase(candidate, name);
            if (known) {
                split = at;
                break;
            }
        }
        request.m_Settings.push_back(
            {set.m_nSlot, Trim(std::string_view(set.m_Text).substr(0, split)), set.m_Text.substr(split + 1)});
    }

    const CSlaveConfig config = description.Build(request);
    if (!config.m_RequestErrors.empty()) {
        for (const std::string& error : config.m_RequestErrors)
            std::cerr << "taluna-config: " << Cp1252ToUtf8(error) << '\n';
        return EXIT_USAGE;
    }
    if (format == "json")
        WriteConfigJson(std::cout, file, description.IsModular(), config);
    else
        WriteConfigText(std::cout, file, config);
    return Finish(config.HasErrors() ? EXIT_FINDINGS : EXIT_CLEAN);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(ProgramArguments(argc, argv));
    } catch (const std::invalid_argument& usage) {
        std::cerr << "taluna-config: " << usage.what() << '\n' << kUsage;
        return EXIT_USAGE;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    std::fputs("taluna-config: out of memory\n", stderr);
    return EXIT_USAGE;
}
