#include "lsp/gsd_document.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "base/text_util.h"
#include "cli/formatters.h"
#include "model/text_lines.h"

namespace {

// The characters of Windows-1252 bytes 0x80..0x9F; the five bytes it leaves
// undefined stand for the control characters of the same number.
constexpr unsigned kHigh[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

char ByteOfCodePoint(unsigned code) {
    if (code < 0x80 || (code >= 0xA0 && code < 0x100)) return static_cast<char>(code);
    for (unsigned i = 0; i < 32; ++i)
        if (kHigh[i] == code) return static_cast<char>(0x80 + i);
    return '?';
}

class CRowCollector : public IMessageSink {
public:
    void AddRow(const CCheckMessage& message) override { m_Rows.push_back(message); }
    void Clear() override { m_Rows.clear(); }
    std::vector<CCheckMessage> m_Rows;
};

// The value of a key line: what follows its first '=', or empty.
std::string_view ValueOfLine(std::string_view line) {
    const size_t eq = line.find('=');
    return eq == std::string_view::npos ? std::string_view{} : line.substr(eq + 1);
}

std::string_view FirstToken(std::string_view text) {
    size_t begin = 0;
    while (begin < text.size() && IsSpaceByte(text[begin])) ++begin;
    size_t end = begin;
    while (end < text.size() && !IsSpaceByte(text[end]) && text[end] != ';' && text[end] != '"') ++end;
    return text.substr(begin, end - begin);
}

}  // namespace

std::string Utf8ToGsdBytes(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const int length = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
        bool wellFormed = length > 0 && i + static_cast<size_t>(length) <= utf8.size();
        unsigned code = length == 4 ? c & 0x07u : length == 3 ? c & 0x0Fu : c & 0x1Fu;
        for (int k = 1; wellFormed && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) wellFormed = false;
            code = (code << 6) | (next & 0x3Fu);
        }
        if (wellFormed && ((length == 3 && (code < 0x800 || (code >= 0xD800 && code < 0xE000))) ||
                           (length == 4 && (code < 0x10000 || code > 0x10FFFF))))
            wellFormed = false;
        if (!wellFormed) {
            out += '?';
            ++i;
            continue;
        }
        out += ByteOfCodePoint(code);
        // Outside the basic plane a character takes two UTF-16 code units.
        if (code >= 0x10000) out += '?';
        i += static_cast<size_t>(length);
    }
    return out;
}

std::string GsdBytesToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    AppendUtf8(out, bytes);
    return out;
}

bool ReadGsdNumber(std::string_view text, long long& value) {
    if (text.empty() || text.size() > 18) return false;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    long long result = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return false;
        result = result * base + digit;
    }
    value = result;
    return true;
}

CGsdDocument::CGsdDocument(std::string bytes, const CCheckOptions& options)
    : m_pDatabase(std::make_unique<CKeyDatabase>()) {
    bytes.resize(CutAtNul(bytes).size());
    m_pText = std::make_shared<const std::string>(std::move(bytes));
    m_Lines = CLineIndex(*m_pText);
    try {
        CRowCollector rows;
        CheckGsdText(m_pText, options, rows, &m_Profile, m_pDatabase.get());
        m_Rows = std::move(rows.m_Rows);
    } catch (const std::bad_alloc&) {
        m_bOutOfMemory = true;
    } catch (const std::length_error&) {
        m_bOutOfMemory = true;
    }
    if (m_bOutOfMemory) {
        std::vector<CCheckMessage>().swap(m_Rows);
        m_pDatabase->Clear();
    }
}

const CKeyEntry* CGsdDocument::EntryAt(int line) const {
    const CKeyDatabase& database = *m_pDatabase;
    // Entries stand in the order of their lines: the last one starting at or
    // before `line` is the only one that can hold it.
    int low = 0, high = database.GetCount();
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (database.GetAt(mid)->m_LongLine <= line)
            low = mid + 1;
        else
            high = mid;
    }
    if (low == 0) return nullptr;
    const CKeyEntry* entry = database.GetAt(low - 1);
    return entry->m_Line >= line ? entry : nullptr;
}

SRange CGsdDocument::RangeOfEntry(const CKeyEntry& entry) const {
    const int last = std::max(entry.m_Line, entry.m_LongLine);
    return {{entry.m_LongLine, 0}, {last, static_cast<int>(m_Lines.Whole(last).size())}};
}

SRange CGsdDocument::RangeOfLine(int line) const {
    if (line < 0) return {};
    if (const CKeyEntry* entry = EntryAt(line)) return RangeOfEntry(*entry);
    return {{line, 0}, {line, static_cast<int>(m_Lines.Whole(line).size())}};
}

std::vector<SDefinition> CGsdDocument::NumberedEntries(std::string_view keyword) const {
    std::vector<SDefinition> found;
    for (const CKeyEntry* entry : *m_pDatabase) {
        if (!EqualsNoCase(entry->m_Keyword, keyword)) continue;
        long long number = 0;
        if (ReadGsdNumber(FirstToken(ValueOfLine(m_Lines.Whole(entry->m_LongLine))), number))
            found.push_back({number, entry});
    }
    return found;
}

std::vector<SDefinition> CGsdDocument::ModuleReferences() const {
    std::vector<SDefinition> found;
    const CKeyDatabase& database = *m_pDatabase;
    for (int i = 0; i + 1 < database.GetCount(); ++i) {
        const CKeyEntry* module = database.GetAt(i);
        if (!EqualsNoCase(module->m_Keyword, "Module")) continue;
        // The reference stands alone on the next key line (the revision 5 rules
        // name that entry Module_Reference, the written ones keep the number).
        const CKeyEntry* next = database.GetAt(i + 1);
        const std::string_view line = m_Lines.Whole(next->m_LongLine);
        long long number = 0;
        if (next->m_Value.empty() && ReadGsdNumber(TrimmedView(line.substr(0, line.find(';'))), number))
            found.push_back({number, module});
    }
    return found;
}
