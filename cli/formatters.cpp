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

void AppendNumber(std::string& out, long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// Rows are many: each is formatted into one reused buffer and written at once.
class CRowBuffer {
public:
    std::string& Start() {
        m_Text.clear();
        return m_Text;
    }
    void WriteTo(std::ostream& out) const { out.write(m_Text.data(), static_cast<std::streamsize>(m_Text.size())); }

private:
    std::string m_Text;
};

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
        std::string& text = m_Row.Start();
        text += KindName(row.m_nKind);
        text += '\t';
        if (row.HasLine()) {
            text += "Line ";
            AppendNumber(text, static_cast<long long>(row.m_nLine) + 1);
        } else {
            text += "---";
        }
        text += '\t';
        AppendUtf8(text, row.m_Text);
        text += '\n';
        m_Row.WriteTo(out);
    }

private:
    CRowBuffer m_Row;
};

class CGccFormatter : public COutputFormatter {
public:
    void Row(std::ostream& out, const CFileResult& result, const CCheckMessage& row) override {
        if (row.m_nKind < CheckMessageKind::Info || row.m_nKind > CheckMessageKind::Warning) return;
        std::string& text = m_Row.Start();
        text += result.m_Path;
        text += ':';
        if (row.HasLine()) {
            AppendNumber(text, static_cast<long long>(row.m_nLine) + 1);
            text += ':';
        }
        text += ' ';
        text += Level(row.m_nKind);
        text += ": ";
        AppendUtf8(text, row.m_Text);
        if (row.m_nId > 0) {
            text += " [GSD";
            AppendNumber(text, row.m_nId);
            text += ']';
        }
        text += '\n';
        m_Row.WriteTo(out);
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
        std::string& text = m_Row.Start();
        text += m_bFirstRow ? "\n      {\"kind\": \"" : ",\n      {\"kind\": \"";
        m_bFirstRow = false;
        text += KindName(row.m_nKind);
        text += "\", \"kindCode\": ";
        AppendNumber(text, row.m_nKind);
        text += ", \"line\": ";
        if (row.HasLine()) {
            AppendNumber(text, row.m_nLine);
            text += ", \"lineNumber\": ";
            AppendNumber(text, static_cast<long long>(row.m_nLine) + 1);
        } else {
            text += "null, \"lineNumber\": null";
        }
        text += ", \"id\": ";
        if (row.m_nId > 0)
            AppendNumber(text, row.m_nId);
        else
            text += "null";
        text += ", \"text\": ";
        const bool ascii = std::all_of(row.m_Text.begin(), row.m_Text.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        AppendJsonString(text, ascii ? row.m_Text : Cp1252ToUtf8(row.m_Text));
        text += '}';
        m_Row.WriteTo(out);
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

void AppendUtf8(std::string& out, std::string_view text) {
    static const unsigned kHigh[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                       0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    // Plain ASCII, nearly every text, is the same in both encodings.
    size_t ascii = 0;
    for (std::uint64_t word; ascii + 8 <= text.size(); ascii += 8) {
        std::memcpy(&word, text.data() + ascii, 8);
        if ((word & 0x8080808080808080ull) != 0) break;
    }
    while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80) ++ascii;
    out.append(text.substr(0, ascii));
    for (unsigned char c : text.substr(ascii)) {
        unsigned code = c < 0x80 ? c : (c < 0xA0 ? kHigh[c - 0x80] : c);
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
}

std::string Cp1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    AppendUtf8(out, text);
    return out;
}

void AppendJsonString(std::string& out, std::string_view utf8) {
    out += '"';
    size_t done = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x20 && c != '"' && c != '\\') continue;
        // The plain run before it goes in at once.
        out.append(utf8.substr(done, i - done));
        done = i + 1;
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            }
        }
    }
    out.append(utf8.substr(done));
    out += '"';
}

std::string JsonString(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size() + 2);
    AppendJsonString(out, utf8);
    return out;
}
