#include "model/ini_profile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/text_util.h"
#include "base/value_scanners.h"
#include "model/file_io.h"
#include "model/text_lines.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Appends a code point as Windows-1252 where it has a byte there, else as '?'.
void AppendCodePoint(std::string& out, unsigned code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        out += static_cast<char>(code);
        return;
    }
    static const unsigned kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                       0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (unsigned i = 0; i < 32; ++i) {
        if (kHigh[i] == code && code != 0) {
            out += static_cast<char>(0x80 + i);
            return;
        }
    }
    out += '?';
}

// Decodes UTF-8 text into Windows-1252 bytes.
std::string FromUtf8(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        unsigned code = c;
        int extra = 0;
        if (c >= 0xF0) {
            code = c & 0x07;
            extra = 3;
        } else if (c >= 0xE0) {
            code = c & 0x0F;
            extra = 2;
        } else if (c >= 0xC0) {
            code = c & 0x1F;
            extra = 1;
        }
        ++i;
        for (int k = 0; k < extra && i < text.size(); ++k, ++i)
            code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        AppendCodePoint(out, code);
    }
    return out;
}

// Section and key names: %XX and %UXXXX escapes.
std::string UnescapeKey(const std::string& key) {
    std::string out;
    for (size_t i = 0; i < key.size(); ++i) {
        if (key[i] == '%' && i + 5 < key.size() && key[i + 1] == 'U') {
            unsigned code = 0;
            for (int k = 2; k < 6; ++k)
                code = code * 16 + static_cast<unsigned>(std::max(0, HexValue(key[i + static_cast<size_t>(k)])));
            AppendCodePoint(out, code);
            i += 5;
        } else if (key[i] == '%' && i + 2 < key.size() && HexValue(key[i + 1]) >= 0 && HexValue(key[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(key[i + 1]) * 16 + HexValue(key[i + 2]));
            i += 2;
        } else {
            out += key[i];
        }
    }
    return out;
}

// Values: quoted parts, backslash escapes, \xNNNN code points; the rest UTF-8.
std::string UnescapeValue(const std::string& raw) {
    std::string utf8;
    std::string out;
    bool quoted = false;
    const std::string text = Trim(raw);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (c == '\\' && i + 1 < text.size()) {
            const char e = text[++i];
            switch (e) {
                case 'a': utf8 += '\a'; break;
                case 'b': utf8 += '\b'; break;
                case 'f': utf8 += '\f'; break;
                case 'n': utf8 += '\n'; break;
                case 'r': utf8 += '\r'; break;
                case 't': utf8 += '\t'; break;
                case 'v': utf8 += '\v'; break;
                case 'x': {
                    unsigned code = 0;
                    while (i + 1 < text.size() && HexValue(text[i + 1]) >= 0)
                        code = code * 16 + static_cast<unsigned>(HexValue(text[++i]));
                    out += FromUtf8(utf8);
                    utf8.clear();
                    AppendCodePoint(out, code);
                    break;
                }
                default:
                    if (e >= '0' && e <= '7') {
                        unsigned code = static_cast<unsigned>(e - '0');
                        while (i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7')
                            code = code * 8 + static_cast<unsigned>(text[++i] - '0');
                        out += FromUtf8(utf8);
                        utf8.clear();
                        AppendCodePoint(out, code);
                    } else {
                        utf8 += e;
                    }
                    break;
            }
            continue;
        }
        if (!quoted && (c == ';' || c == ',')) {
            // An unquoted list separator: the editor writes single strings quoted.
            utf8 += c;
            continue;
        }
        utf8 += c;
    }
    out += FromUtf8(utf8);
    if (out.rfind("@@", 0) == 0) out.erase(0, 1);
    return out;
}

}  // namespace

int CMemoryProfileStore::GetInt(const std::string& section, const std::string& name, int def) const {
    const std::string text = Trim(GetString(section, name, ""));
    return text.empty() ? def : Atoi32(text);
}

std::string CMemoryProfileStore::GetString(const std::string& section, const std::string& name,
                                           const std::string& def) const {
    const auto s = m_Sections.find(section);
    if (s == m_Sections.end()) return def;
    const auto it = s->second.find(name);
    return it == s->second.end() ? def : it->second;
}

void CMemoryProfileStore::PutInt(const std::string& section, const std::string& name, int value) {
    m_Sections[section][name] = std::to_string(value);
}

void CMemoryProfileStore::PutString(const std::string& section, const std::string& name, const std::string& value) {
    m_Sections[section][name] = value;
}

bool CMemoryProfileStore::Contains(const std::string& section, const std::string& name) const {
    const auto s = m_Sections.find(section);
    return s != m_Sections.end() && s->second.count(name) != 0;
}

bool CMemoryProfileStore::MayHaveSection(const std::string& section) const {
    const auto s = m_Sections.find(section);
    return s != m_Sections.end() && !s->second.empty();
}

bool ParseIniText(const std::string& text, CMemoryProfileStore& store) {
    std::string section = "General";
    bool sawSection = false;
    for (const std::string& raw : SplitLines(text)) {
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = UnescapeKey(line.substr(1, line.size() - 2));
            sawSection = true;
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        store.PutString(section, UnescapeKey(Trim(line.substr(0, eq))), UnescapeValue(line.substr(eq + 1)));
    }
    return sawSection || Trim(text).empty();
}

EIniFile ReadIniFile(const std::string& path, CMemoryProfileStore& store, std::string& why) {
    why.clear();
    FileInfo info{};
    if (InfoOfPath(path, info) != 0) {
        why = std::strerror(errno);
        return EIniFile::Missing;
    }
    // Checked before opening, so that a device is never opened; checked again on
    // the open descriptor, in case the name now stands for something else.
    auto refusal = [](const FileInfo& s) -> const char* {
        if (S_ISDIR(s.st_mode)) return "is a directory";
#ifndef _WIN32
        if (S_ISCHR(s.st_mode)) {
            struct stat null {};
            if (::stat("/dev/null", &null) == 0 && S_ISCHR(null.st_mode) && null.st_rdev == s.st_rdev) return nullptr;
        }
#endif
        if (!S_ISREG(s.st_mode)) return "is not a regular file";
        if (static_cast<unsigned long long>(s.st_size) > kMaxIniFileSize) return "is larger than 16 MB";
        return nullptr;
    };
    if (const char* reason = refusal(info)) {
        why = reason;
        return EIniFile::Refused;
    }
    // Non-blocking, so that a FIFO put in place after the check does not stop the program.
    const int fd = OpenForReading(path);
    if (fd < 0) {
        const int error = errno;
        why = std::strerror(error);
        return error == ENOENT ? EIniFile::Missing : EIniFile::Refused;
    }
    std::string text;
    const char* reason = InfoOfOpenFile(fd, info) == 0 ? refusal(info) : std::strerror(errno);
    // A file that grew past the limit since the check is refused as well.
    char buffer[65536];
    while (reason == nullptr) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            reason = std::strerror(errno);
        } else if (n == 0) {
            break;
        } else if (text.size() + static_cast<size_t>(n) > kMaxIniFileSize) {
            reason = "is larger than 16 MB";
        } else {
            text.append(buffer, static_cast<size_t>(n));
        }
    }
    ::close(fd);
    if (reason != nullptr) {
        why = reason;
        return EIniFile::Refused;
    }
    if (!ParseIniText(text, store)) {
        why = "holds no INI section";
        return EIniFile::NotIni;
    }
    return EIniFile::Read;
}

bool LoadIniFile(const std::string& path, CMemoryProfileStore& store) {
    std::string why;
    return ReadIniFile(path, store, why) == EIniFile::Read;
}

std::string DefaultSettingsPath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg != nullptr && *xdg != '\0') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : ".") + "/.config";
    }
    return base + "/Velmar/Taluna.conf";
}
