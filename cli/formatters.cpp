#include "cli/formatters.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "base/message_catalogue.h"

namespace {

const char* Level(int kind) {
    switch (kind) {
        case CheckMessageKind::Error:
        case CheckMessageKind::FatalError: return "error";
        case CheckMessageKind::Warning: return "warning";
        default: return "note";
    }
}

// File names as UTF-8 for JSON and SARIF: names that are not UTF-8 are read as Windows-1252.
std::string PathText(const std::string& path) {
    return IsUtf8(path) ? path : Cp1252ToUtf8(path);
}

std::string IdTag(int id) {
    return id > 0 ? "GSD" + std::to_string(id) : std::string();
}

// Rows are many: each is put into one buffer, kept from row to row, and
// written at once. A row asks for room for its longest form first; its
// pieces are then put in place one after the other without a check each.
class CRowBuffer {
public:
    char* Room(size_t bytes) {
        if (m_Room.size() < bytes) m_Room.resize(bytes);
        return m_Room.data();
    }
    // Writes the row put into the room, up to `end`.
    void WriteTo(std::ostream& out, const char* end) const {
        out.write(m_Room.data(), static_cast<std::streamsize>(end - m_Room.data()));
    }

private:
    std::string m_Room;
};

template <size_t N>
char* Put(char* at, const char (&literal)[N]) {
    std::memcpy(at, literal, N - 1);
    return at + N - 1;
}
char* Put(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}
// At most 20 bytes.
char* PutNumber(char* at, long long value) {
    return std::to_chars(at, at + 24, value).ptr;
}

const char* KindName(int kind) {
    switch (kind) {
        case CheckMessageKind::Error: return "Error";
        case CheckMessageKind::FatalError: return "Fatal Error";
        case CheckMessageKind::Warning: return "Warning";
        default: return "Info";
    }
}

class CTextFormatter : public COutputFormatter {
public:
    void BeginFile(std::ostream& out, const CFileResult& result) override { out << result.m_Path << '\n'; }
    // The row as the output window shows it: kind, line, text, by tabs.
    void Row(std::ostream& out, const CFileResult&, const CCheckMessage& row) override {
        char* at = m_Row.Room(64 + MAX_UTF8_BYTES * row.m_Text.size());
        at = Put(at, KindName(row.m_nKind));
        *at++ = '\t';
        if (row.HasLine()) {
            at = Put(at, "Line ");
            at = PutNumber(at, static_cast<long long>(row.m_nLine) + 1);
        } else {
            at = Put(at, "---");
        }
        *at++ = '\t';
        at = PutUtf8(at, row.m_Text);
        *at++ = '\n';
        m_Row.WriteTo(out, at);
    }

private:
    CRowBuffer m_Row;
};

class CGccFormatter : public COutputFormatter {
public:
    void Row(std::ostream& out, const CFileResult& result, const CCheckMessage& row) override {
        if (row.m_nKind < CheckMessageKind::Info || row.m_nKind > CheckMessageKind::Warning) return;
        char* at = m_Row.Room(result.m_Path.size() + 96 + MAX_UTF8_BYTES * row.m_Text.size());
        at = Put(at, result.m_Path);
        *at++ = ':';
        if (row.HasLine()) {
            at = PutNumber(at, static_cast<long long>(row.m_nLine) + 1);
            *at++ = ':';
        }
        *at++ = ' ';
        at = Put(at, Level(row.m_nKind));
        at = Put(at, ": ");
        at = PutUtf8(at, row.m_Text);
        if (row.m_nId > 0) {
            at = Put(at, " [GSD");
            at = PutNumber(at, row.m_nId);
            *at++ = ']';
        }
        *at++ = '\n';
        m_Row.WriteTo(out, at);
    }

private:
    CRowBuffer m_Row;
};

class CJsonFormatter : public COutputFormatter {
public:
    void Begin(std::ostream& out) override {
        out << "{\n  \"tool\": \"taluna-check\",\n  \"version\": \"" TALUNA_VERSION "\",\n  \"files\": [";
    }
    void BeginFile(std::ostream& out, const CFileResult& result) override {
        out << (m_bFirst ? "\n" : ",\n") << "    {\"file\": " << JsonString(PathText(result.m_Path));
        m_bFirst = false;
        if (result.m_bRead) out << ", \"profile\": \"" << ProfileName(result.m_Profile) << '"';
        m_bErrorWritten = !result.m_bRead;
        if (!result.m_bRead) out << ", \"error\": " << JsonString(result.m_ReadError);
        out << ", \"rows\": [";
        m_bFirstRow = true;
    }
    void Row(std::ostream& out, const CFileResult&, const CCheckMessage& row) override {
        // Windows-1252 text other than plain ASCII is written as UTF-8.
        std::string converted;
        const std::string_view text =
            IsAscii(row.m_Text) ? std::string_view(row.m_Text) : std::string_view(converted = Cp1252ToUtf8(row.m_Text));
        char* at = m_Row.Room(256 + MAX_JSON_BYTES * text.size());
        at = m_bFirstRow ? Put(at, "\n      {\"kind\": \"") : Put(at, ",\n      {\"kind\": \"");
        m_bFirstRow = false;
        at = Put(at, KindName(row.m_nKind));
        at = Put(at, "\", \"kindCode\": ");
        at = PutNumber(at, row.m_nKind);
        at = Put(at, ", \"line\": ");
        if (row.HasLine()) {
            at = PutNumber(at, row.m_nLine);
            at = Put(at, ", \"lineNumber\": ");
            at = PutNumber(at, static_cast<long long>(row.m_nLine) + 1);
        } else {
            at = Put(at, "null, \"lineNumber\": null");
        }
        at = Put(at, ", \"id\": ");
        at = row.m_nId > 0 ? PutNumber(at, row.m_nId) : Put(at, "null");
        at = Put(at, ", \"text\": ");
        at = PutJsonString(at, text);
        *at++ = '}';
        m_Row.WriteTo(out, at);
    }
    void EndFile(std::ostream& out, const CFileResult& result) override {
        out << (m_bFirstRow ? "]" : "\n    ]");
        // A check that failed after its first rows were written names the reason last.
        if (!result.m_bRead && !m_bErrorWritten) out << ", \"error\": " << JsonString(result.m_ReadError);
        out << "}";
    }
    void End(std::ostream& out) override { out << (m_bFirst ? "]\n}\n" : "\n  ]\n}\n"); }

private:
    bool m_bFirst = true;
    bool m_bFirstRow = true;
    bool m_bErrorWritten = false;
    CRowBuffer m_Row;
};

// SARIF 2.1.0: one rule per message id, one result per finding.
class CSarifFormatter : public COutputFormatter {
public:
    void Row(std::ostream&, const CFileResult& result, const CCheckMessage& row) override {
        if (row.m_nKind < CheckMessageKind::Info || row.m_nKind > CheckMessageKind::Warning || row.m_nId <= 0) return;
        m_Rules.emplace(row.m_nId, row.m_Text);
        std::string r = "        {\"ruleId\": " + JsonString(IdTag(row.m_nId)) + ", \"level\": \"" +
                        Level(row.m_nKind) + "\", \"message\": {\"text\": " + JsonString(Cp1252ToUtf8(row.m_Text)) +
                        "}, \"locations\": [{\"physicalLocation\": {\"artifactLocation\": {\"uri\": " +
                        JsonString(Uri(PathText(result.m_Path))) + "}";
        if (row.HasLine())
            r += ", \"region\": {\"startLine\": " + std::to_string(static_cast<long long>(row.m_nLine) + 1) + "}";
        r += std::string("}}], \"properties\": {\"profile\": \"") + ProfileName(result.m_Profile) + "\"}}";
        m_Results.push_back(std::move(r));
    }
    void End(std::ostream& out) override {
        out << "{\n  \"$schema\": \"https://json.schemastore.org/sarif-2.1.0.json\",\n  \"version\": \"2.1.0\",\n"
               "  \"runs\": [\n    {\n      \"tool\": {\"driver\": {\"name\": \"taluna-check\", \"version\": "
               "\"" TALUNA_VERSION "\", \"rules\": [";
        bool first = true;
        for (const auto& [id, text] : m_Rules) {
            out << (first ? "\n" : ",\n") << "        {\"id\": " << JsonString(IdTag(id));
            if (const SMessageInfo* message = FindMessage(id)) {
                out << ", \"shortDescription\": {\"text\": " << JsonString(Cp1252ToUtf8(message->m_pszTitle))
                    << "}, \"fullDescription\": {\"text\": " << JsonString(Cp1252ToUtf8(message->m_pszText))
                    << "}, \"help\": {\"text\": " << JsonString(Cp1252ToUtf8(message->m_pszExplanation))
                    << "}, \"helpUri\": " << JsonString(HelpPageName(id))
                    << ", \"defaultConfiguration\": {\"level\": \"" << Level(message->m_nKind) << "\"}}";
            } else {
                out << ", \"shortDescription\": {\"text\": " << JsonString(Cp1252ToUtf8(text)) << "}}";
            }
            first = false;
        }
        out << (first ? "]}},\n" : "\n      ]}},\n") << "      \"results\": [";
        first = true;
        for (const auto& r : m_Results) {
            out << (first ? "\n" : ",\n") << r;
            first = false;
        }
        out << (first ? "]\n" : "\n      ]\n") << "    }\n  ]\n}\n";
    }

private:
    static std::string Uri(const std::string& path) {
        std::string out;
        for (unsigned char c : path) {
#ifdef _WIN32
            // URIs separate with slashes, whatever the system's separator.
            if (c == '\\') {
                out += '/';
                continue;
            }
#endif
            if (c == ' ' || c == '%' || c == '#' || c == '?' || c >= 0x80) {
                char buf[4];
                std::snprintf(buf, sizeof buf, "%%%02X", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
        return out;
    }
    std::map<int, std::string> m_Rules;
    std::vector<std::string> m_Results;
};

}  // namespace

void COutputFormatter::File(std::ostream& out, const CFileResult& result) {
    BeginFile(out, result);
    for (const auto& row : result.m_Rows) Row(out, result, row);
    EndFile(out, result);
}

void WriteMessageList(std::ostream& out, bool json) {
    if (!json) {
        for (const SMessageInfo& m : Messages())
            out << IdTag(m.m_nId) << '\t' << CheckMessageKind::Name(m.m_nKind) << '\t' << Cp1252ToUtf8(m.m_pszTitle)
                << '\t' << Cp1252ToUtf8(m.m_pszText) << '\n';
        return;
    }
    out << "{\n  \"tool\": \"taluna-check\",\n  \"version\": \"" TALUNA_VERSION "\",\n  \"messages\": [";
    bool first = true;
    for (const SMessageInfo& m : Messages()) {
        out << (first ? "\n" : ",\n") << "    {\"id\": " << m.m_nId << ", \"rule\": " << JsonString(IdTag(m.m_nId))
            << ", \"kind\": " << JsonString(CheckMessageKind::Name(m.m_nKind)) << ", \"kindCode\": " << m.m_nKind
            << ", \"title\": " << JsonString(Cp1252ToUtf8(m.m_pszTitle))
            << ", \"text\": " << JsonString(Cp1252ToUtf8(m.m_pszText))
            << ", \"explanation\": " << JsonString(Cp1252ToUtf8(m.m_pszExplanation))
            << ", \"exampleFile\": " << JsonString(ExampleFileName(m.m_File))
            << ", \"example\": " << JsonString(Cp1252ToUtf8(m.m_pszExample))
            << ", \"corrected\": " << JsonString(Cp1252ToUtf8(m.m_pszCorrected))
            << ", \"help\": " << JsonString(HelpPageName(m.m_nId)) << "}";
        first = false;
    }
    out << (first ? "]\n}\n" : "\n  ]\n}\n");
}

std::unique_ptr<COutputFormatter> MakeFormatter(const std::string& name) {
    if (name == "text") return std::make_unique<CTextFormatter>();
    if (name == "gcc") return std::make_unique<CGccFormatter>();
    if (name == "json") return std::make_unique<CJsonFormatter>();
    if (name == "sarif") return std::make_unique<CSarifFormatter>();
    return nullptr;
}

bool IsUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The length of the sequence and the range of its second byte, which rules out
        // overlong forms, the surrogates D800-DFFF and code points beyond 10FFFF.
        size_t extra = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (text.size() - i <= extra) return false;
        const auto second = static_cast<unsigned char>(text[i + 1]);
        if (second < low || second > high) return false;
        for (size_t k = 2; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

namespace {
// How many bytes at the start of the text are below 0x80; eight are tested at once.
size_t AsciiPrefix(std::string_view text) {
    size_t ascii = 0;
    for (std::uint64_t word; ascii + 8 <= text.size(); ascii += 8) {
        std::memcpy(&word, text.data() + ascii, 8);
        if ((word & 0x8080808080808080ull) != 0) break;
    }
    while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80) ++ascii;
    return ascii;
}
}  // namespace

bool IsAscii(std::string_view text) {
    return AsciiPrefix(text) == text.size();
}

char* PutUtf8(char* at, std::string_view text) {
    static const unsigned kHigh[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                       0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    // Plain ASCII, nearly every text, is the same in both encodings.
    const size_t ascii = AsciiPrefix(text);
    at = Put(at, text.substr(0, ascii));
    for (unsigned char c : text.substr(ascii)) {
        unsigned code = c < 0x80 ? c : (c < 0xA0 ? kHigh[c - 0x80] : c);
        if (code < 0x80) {
            *at++ = static_cast<char>(code);
        } else if (code < 0x800) {
            *at++ = static_cast<char>(0xC0 | (code >> 6));
            *at++ = static_cast<char>(0x80 | (code & 0x3F));
        } else {
            *at++ = static_cast<char>(0xE0 | (code >> 12));
            *at++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            *at++ = static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return at;
}

void AppendUtf8(std::string& out, std::string_view text) {
    const size_t size = out.size();
    out.resize(size + MAX_UTF8_BYTES * text.size());
    out.resize(static_cast<size_t>(PutUtf8(out.data() + size, text) - out.data()));
}

std::string Cp1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    AppendUtf8(out, text);
    return out;
}

char* PutJsonString(char* at, std::string_view utf8) {
    *at++ = '"';
    for (const char byte : utf8) {
        const auto c = static_cast<unsigned char>(byte);
        if (c >= 0x20 && c != '"' && c != '\\') {
            *at++ = byte;
            continue;
        }
        *at++ = '\\';
        switch (c) {
            case '"': *at++ = '"'; break;
            case '\\': *at++ = '\\'; break;
            case '\n': *at++ = 'n'; break;
            case '\r': *at++ = 'r'; break;
            case '\t': *at++ = 't'; break;
            default: {
                static constexpr char kHex[] = "0123456789abcdef";
                at = Put(at, "u00");
                *at++ = kHex[c >> 4];
                *at++ = kHex[c & 0xF];
            }
        }
    }
    *at++ = '"';
    return at;
}

void AppendJsonString(std::string& out, std::string_view utf8) {
    const size_t size = out.size();
    out.resize(size + MAX_JSON_BYTES * utf8.size() + 2);
    out.resize(static_cast<size_t>(PutJsonString(out.data() + size, utf8) - out.data()));
}

std::string JsonString(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size() + 2);
    AppendJsonString(out, utf8);
    return out;
}
