#include "check/key_syntax_check.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/check_message.h"
#include "base/message_catalogue.h"
#include "base/string_table.h"
#include "base/text_util.h"
#include "base/value_scanners.h"
#include "check/module_config.h"
#include "model/text_lines.h"

namespace {

constexpr size_t npos = std::string::npos;

// Runs the steps of one rule for one entry; every step returns false after it
// reported its message, so that a rule reads as a chain of `&&`.
class CRuleRun {
public:
    CRuleRun(CTalunaContext& context, CKeyEntry& entry) : m_Context(context), m_Entry(entry) {}

    std::string_view R(int i) const { return m_Entry.m_Ready[static_cast<size_t>(i)]; }

    // The entry's first physical line as the editor holds it.
    std::string_view SourceLine() {
        if (!m_bLineRead) {
            const CDocumentRef& doc = m_Context.m_CheckedDoc;
            m_Line = doc.m_pLines ? LineView(*doc.m_pLines, doc.m_pIndex, m_Entry.m_LongLine, m_LineBuffer)
                                  : std::string_view();
            m_bLineRead = true;
        }
        return m_Line;
    }

    bool Fail(int id, std::string_view text = {}) {
        m_Context.AddFinding(m_bLenient ? CheckMessageKind::Warning : KindOf(id), m_Entry.m_LongLine, id,
                             {m_Entry.m_Keyword, text}, m_Context.m_CheckedDoc.m_pDoc);
        return false;
    }

    bool EqualSign() {
        const bool known = m_Context.m_CheckedDoc.m_bAsBuilt && m_Entry.m_EqualSign != CKeyEntry::EQUAL_SIGN_UNKNOWN;
        const bool ok = known ? m_Entry.m_EqualSign == CKeyEntry::EQUAL_SIGN_OK : CheckEqualSign(SourceLine());
        return ok || Fail(IDS_EQUAL_SIGN);
    }

    bool Scan(std::string_view text, int width, const char* what = "Number") {
        return ScanNumber(text, width) || Fail(IDS_UNEXPECTED_FORMAT, what);
    }

    // The value of a number text as the range tests compare it: as a signed
    // 32-bit number, except within an Unsigned32 definition, whose range needs
    // the full unsigned 32 bits.
    std::int64_t Value(std::string_view text) const { return m_bUnsigned32 ? NumberValue(text) : ReadNumber(text); }

    bool Range(std::string_view text, std::int64_t low, std::int64_t high, std::string_view rangeText,
               int id = IDS_VALUE_EXCEEDS_LIMIT) {
        const std::int64_t value = Value(text);
        return (value >= low && value <= high) || Fail(id, rangeText);
    }

    // The string value steps: characters and quotes, then the length.
    // `limit` may be negative (a user key's range text "-5"): then every text is too long.
    bool String(std::string_view text, std::int64_t limit, std::string_view limitText) {
        if (Rev5()) {
            if (!Rev5String(text)) return Fail(IDS_STRING_CHARS);
            const std::string joined = Unjoined(text);
            if (static_cast<std::int64_t>(joined.size()) > limit || (joined.empty() && m_Entry.m_bNoString == 1))
                return Fail(IDS_VALUE_EXCEEDS_LIMIT, limitText);
            return true;
        }
        if (!CheckString(text, SourceLine())) return Fail(IDS_STRING_CHARS);
        if (static_cast<std::int64_t>(text.size()) > limit || (text.empty() && m_Entry.m_bNoString == 1))
            return Fail(IDS_VALUE_EXCEEDS_LIMIT, limitText);
        return true;
    }

    // A comma-separated list of bytes; counts the values in `m_nValues`.
    bool Octets(std::string_view text, int failId, std::string_view failText) {
        m_Entry.m_nValues = 1;
        if (text.find(',') == npos) return ScanNumber(text, WIDTH_U8) || Fail(failId, failText);
        size_t pos = 0;
        for (;;) {
            const size_t comma = text.find(',', pos);
            const std::string_view token = text.substr(pos, comma == npos ? npos : comma - pos);
            if (!ScanNumber(token, WIDTH_U8)) return Fail(failId, failText);
            if (comma == npos) return true;
            pos = comma + 1;
            while (pos < text.size() && text[pos] == ' ') ++pos;
            ++m_Entry.m_nValues;
        }
    }

    // A text as one line: the line joins of a continued string (a backslash at
    // the end of a line, CR LF in the value) go, and runs of blanks become one.
    static std::string Unjoined(std::string_view text) {
        std::string out;
        for (char c : text) {
            if (c == '\r' || c == '\n' || c == '\\') c = ' ';
            if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
            out += c;
        }
        while (!out.empty() && out.back() == ' ') out.pop_back();
        return out;
    }

    // In the revision 5 profile a string may hold ';' and continue over lines.
    bool Rev5String(std::string_view text) {
        if (m_Entry.m_Line == m_Entry.m_LongLine) return CheckString(text, SourceLine(), true);
        const ILineSource* lines = m_Context.m_CheckedDoc.m_pLines;
        std::string source, buffer;
        for (int line = m_Entry.m_LongLine; lines != nullptr && line <= m_Entry.m_Line; ++line)
            source.append(lines->GetLineView(line, buffer)).append(" ");
        return CheckString(Unjoined(text), Unjoined(source), true);
    }

    void Pass() { m_Entry.m_bSyntaxOk = 1; }
    bool Rev5() const { return m_Context.m_Profile == ECheckProfile::Rev5; }

    CTalunaContext& m_Context;
    CKeyEntry& m_Entry;
    // A row whose revision is not firmly known: its findings are warnings.
    bool m_bLenient = false;
    // Within an Unsigned32 definition the range tests compare 64-bit values.
    bool m_bUnsigned32 = false;

private:
    bool m_bLineRead = false;
    std::string m_LineBuffer;
    std::string_view m_Line;
};

struct SRange {
    std::int64_t low;
    std::int64_t high;
    std::int64_t alone;  // a single value allowed besides low..high, or -1
};

SRange RangeOfText(std::string_view text) {
    if (text == "UCHAR: 0|(16..255)") return {16, 255, 0};
    if (text == "UCHAR: 6|(8..244)") return {8, 244, 6};
    if (text == "UCHAR: 0|1") return {0, 1, -1};
    // "TYPE: low..high"
    const size_t colon = text.find(':');
    const size_t dots = text.find("..");
    const std::int64_t low = NumberValue(text.substr(colon + 1, dots - colon - 1));
    const std::int64_t high = NumberValue(text.substr(dots + 2));
    return {low, high, -1};
}

struct STypeRange {
    std::int64_t low;
    std::int64_t high;
    const char* text;
    int defaultWidth;
};

STypeRange TypeRangeOf(std::string_view keyword) {
    if (EqualsNoCase(keyword, "UNSIGNED8")) return {0, 255, "UCHAR: 0..255", WIDTH_ANY};
    if (EqualsNoCase(keyword, "UNSIGNED16")) return {0, 65535, "USHORT: 0..65535", WIDTH_U16};
    if (EqualsNoCase(keyword, "UNSIGNED32")) return {0, 4294967295ll, "UINT: 0..4294967295", WIDTH_U32};
    if (EqualsNoCase(keyword, "SIGNED8")) return {-128, 127, "CHAR: -128..127", WIDTH_ANY};
    if (EqualsNoCase(keyword, "SIGNED16")) return {-32768, 32767, "SHORT: -32768..32767", WIDTH_ANY};
    return {-2147483648ll, 2147483647ll, "INT: -2147483648..2147483647", WIDTH_ANY};
}

// Splits a Min-Max text at its separating '-' (a '-' in first place belongs to
// a negative minimum).
void SplitMinMax(std::string_view text, std::string_view& min, std::string_view& max) {
    const size_t sep = text.find('-', 1);
    min = text.substr(0, sep);
    max = sep == npos ? std::string_view() : text.substr(sep + 1);
}

std::vector<std::string_view> SplitCommas(std::string_view text) {
    std::vector<std::string_view> tokens;
    size_t pos = 0;
    for (;;) {
        const size_t comma = text.find(',', pos);
        tokens.push_back(text.substr(pos, comma == npos ? npos : comma - pos));
        if (comma == npos) return tokens;
        pos = comma + 1;
    }
}

// The allowed values of a parameter definition: a list or a Min-Max range,
// checked against the type's range and the default.
bool AllowedValues(CRuleRun& run, std::string_view allowed, std::string_view def, int defaultWidth, std::int64_t low,
                   std::int64_t high, std::string_view rangeText, bool isUnsigned, std::int64_t areaLimit = -1) {
    CKeyEntry& entry = run.m_Entry;
    entry.m_nValues = 1;
    if (allowed.find(',') != npos) {
        const auto tokens = SplitCommas(allowed);
        entry.m_nValues = static_cast<int>(tokens.size());
        bool found = false;
        for (std::string_view token : tokens) {
            if (!run.Scan(token, defaultWidth) || !run.Range(token, low, high, rangeText)) return false;
            if (token == def) found = true;
        }
        return found || run.Fail(IDS_NOT_ALLOWED_VALUES, allowed);
    }
    if (allowed.find('-') != npos) {
        if (isUnsigned && allowed[0] == '-') return run.Fail(IDS_OUT_OF_RANGE, rangeText);
        std::string_view min, max;
        SplitMinMax(allowed, min, max);
        if (!run.Scan(min, WIDTH_ANY, "Min-Max") || !run.Scan(max, WIDTH_ANY, "Min-Max")) return false;
        if (!run.Range(min, low, high, rangeText, IDS_OUT_OF_RANGE) ||
            !run.Range(max, low, high, rangeText, IDS_OUT_OF_RANGE))
            return false;
        const std::int64_t vMin = run.Value(min), vMax = run.Value(max), vDef = run.Value(def);
        bool ok = true;
        // Revision 5 files write a fixed value as a range of one value, its default.
        const bool fixedValue = run.Rev5() && vMin == vMax && vDef == vMin;
        if (!fixedValue && !(vMin < vMax && vMin <= vDef && vDef <= vMax)) {
            run.Fail(IDS_OUT_OF_RANGE, "Min<Max & Min<=Default<=Max");
            if (areaLimit < 0) return false;
            ok = false;
        }
        if (areaLimit >= 0 && (vMin < 0 || vMin > areaLimit || vMax < 0 || vMax > areaLimit))
            return run.Fail(IDS_OUT_OF_RANGE, "Min..Max too large for area");
        return ok;
    }
    return run.Fail(IDS_UNEXPECTED_FORMAT, "Min-Max");
}

bool DataTypeRule(CRuleRun& run) {
    const STypeRange type = TypeRangeOf(run.m_Entry.m_Keyword);
    run.m_bUnsigned32 = type.defaultWidth == WIDTH_U32;
    std::string_view def = run.R(0);
    return run.Scan(def, type.defaultWidth) && run.Range(def, type.low, type.high, type.text) &&
           AllowedValues(run, run.R(1), def, type.defaultWidth, type.low, type.high, type.text, type.low == 0);
}

// A number in low..high; a text that is no number fails with the same message.
bool NumberIn(CRuleRun& run, std::string_view text, std::int64_t low, std::int64_t high, const char* rangeText,
              int id) {
    if (ScanNumber(text, WIDTH_ANY)) {
        const std::int64_t value = run.Value(text);
        if (value >= low && value <= high) return true;
    }
    return run.Fail(id, rangeText);
}

bool BitRule(CRuleRun& run) {
    return NumberIn(run, run.R(0), 0, 7, "UCHAR: 0..7", IDS_OUT_OF_RANGE) &&
           NumberIn(run, run.R(1), 0, 1, "BIT: 0|1", IDS_VALUE_EXCEEDS_LIMIT) &&
           AllowedValues(run, run.R(2), run.R(1), WIDTH_ANY, 0, 1, "BIT: 0|1", true);
}

bool BitAreaRule(CRuleRun& run) {
    std::string_view area = run.R(0);
    if (area.find('-') == npos) return run.Fail(IDS_UNEXPECTED_FORMAT, "Area: UCHAR-UCHAR");
    if (area[0] == '-') return run.Fail(IDS_OUT_OF_RANGE, "UCHAR: 0..255");
    const size_t sep = area.find('-');
    const std::string_view first = area.substr(0, sep), last = area.substr(sep + 1);
    if (!run.Scan(first, WIDTH_ANY) || !run.Scan(last, WIDTH_ANY) ||
        !run.Range(first, 0, 7, "UCHAR: 0..7", IDS_OUT_OF_RANGE) ||
        !run.Range(last, 0, 7, "UCHAR: 0..7", IDS_OUT_OF_RANGE))
        return false;
    const std::int64_t vFirst = run.Value(first), vLast = run.Value(last);
    if (vLast < vFirst || vLast - vFirst > 7)
        return run.Fail(IDS_OUT_OF_RANGE, "First_Bit<=Last_Bit & Last_Bit-FirstBit<7");
    const std::int64_t areaLimit = (std::int64_t{1} << (vLast - vFirst + 1)) - 1;
    return NumberIn(run, run.R(1), 0, 255, "UCHAR: 0..255", IDS_VALUE_EXCEEDS_LIMIT) &&
           AllowedValues(run, run.R(2), run.R(1), WIDTH_ANY, 0, 255, "UCHAR: 0..255", true, areaLimit);
}

bool FamilyRule(CRuleRun& run) {
    std::string_view family = run.R(0);
    if (family.find('@') == npos) {
        run.Scan(family, WIDTH_U8, "UCHAR");
        return true;
    }
    const auto parts = [&] {
        std::vector<std::string_view> out;
        size_t pos = 0;
        for (;;) {
            const size_t at = family.find('@', pos);
            out.push_back(family.substr(pos, at == npos ? npos : at - pos));
            if (at == npos) return out;
            pos = at + 1;
        }
    }();
    size_t read = 0;
    for (std::string_view part : parts) {
        ++read;
        if (read == 1) {
            if (!run.Scan(part, WIDTH_U8, "UCHAR")) break;
        } else if (part.empty()) {
            run.Fail(IDS_UNEXPECTED_FORMAT, "Subfamily");
            break;
        }
    }
    return read <= 4 || run.Fail(IDS_TOO_MANY_VALUES);
}

bool StringSteps(CRuleRun& run, std::string_view text) {
    return run.String(text, 32, "String32");
}

bool LongStringSteps(CRuleRun& run, std::string_view text) {
    return run.String(text, 256, "String256");
}

// A bit area "first-last" of at most 16 bits within 0..495; in the revision 5
// profile one bit (first equal to last) is an area too.
bool DiagArea(CRuleRun& run, std::string_view r0, std::string_view r1) {
    if (!run.Scan(r0, WIDTH_U16) || !run.Range(r0, 0, 495, "USHORT: 0..495") || !run.Scan(r1, WIDTH_U16) ||
        !run.Range(r1, 0, 495, "USHORT: 0..495"))
        return false;
    const std::int64_t first = NumberValue(r0), last = NumberValue(r1);
    const bool ordered = run.Rev5() ? first <= last : first < last;
    return (ordered && last - first <= 15) || run.Fail(IDS_OUT_OF_RANGE, "First_Bit<Last_Bit and Last_Bit-FirstBit<15");
}

// Slot(n) = "name" default allowed: the allowed modules are a comma list, one
// reference or a range of module reference numbers.
bool SlotRule(CRuleRun& run) {
    static constexpr std::string_view kFormat = "Slot(n) = \"name\" default allowed";
    if (!run.EqualSign() || !run.Scan(run.R(0), WIDTH_U8) || !StringSteps(run, run.R(1))) return false;
    if (run.R(2).empty() || run.R(3).empty()) return run.Fail(IDS_UNEXPECTED_FORMAT, kFormat);
    if (!run.Scan(run.R(2), WIDTH_U16)) return false;
    std::string_view allowed = run.R(3);
    if (allowed.find(',') != npos) {
        for (std::string_view token : SplitCommas(allowed))
            if (!run.Scan(token, WIDTH_U16)) return false;
        return true;
    }
    if (allowed.find('-') != npos) {
        std::string_view low, high;
        SplitMinMax(allowed, low, high);
        if (!run.Scan(low, WIDTH_U16, "Min-Max") || !run.Scan(high, WIDTH_U16, "Min-Max")) return false;
        return NumberValue(low) <= NumberValue(high) || run.Fail(IDS_OUT_OF_RANGE, "Min<=Max");
    }
    return run.Scan(allowed, WIDTH_U16);
}

bool RunRule(CRuleRun& run, const SCatalogueRow& row) {
    const auto& r0 = run.R(0);
    const auto& r1 = run.R(1);
    switch (row.m_Check) {
        case ECheck::N8:
        case ECheck::N16:
        case ECheck::N32: {
            const int width = row.m_Check == ECheck::N8 ? WIDTH_U8 : row.m_Check == ECheck::N16 ? WIDTH_U16 : WIDTH_U32;
            if (!run.EqualSign() || !run.Scan(r0, width)) return false;
            if (row.m_pszRange == nullptr) return true;
            const SRange range = RangeOfText(row.m_pszRange);
            const std::int64_t value = NumberValue(r0);
            return value == range.alone || (value >= range.low && value <= range.high) ||
                   run.Fail(IDS_VALUE_EXCEEDS_LIMIT, row.m_pszRange);
        }
        case ECheck::BOOL:
            return run.EqualSign() && run.Scan(r0, WIDTH_CHAR) &&
                   (NumberValue(r0) == 0 || NumberValue(r0) == 1 || run.Fail(IDS_NOT_ALLOWED_VALUES, "0|1"));
        case ECheck::S32: return run.EqualSign() && StringSteps(run, r0);
        case ECheck::FILE8:
            return run.EqualSign() && run.String(r0, 8, "String8") &&
                   (r0.find_first_of(".+[]?/<>,;:") == npos || run.Fail(IDS_FILE_NAME_CHARS));
        case ECheck::OCTETS: return run.EqualSign() && run.Octets(r0, IDS_OUT_OF_RANGE, "0x00-0xff");
        case ECheck::FAMILY: return run.EqualSign() && FamilyRule(run);
        case ECheck::MODLINE:
            // The configuration check sets the syntax flag itself.
            if (run.EqualSign() && StringSteps(run, r0)) CheckModuleConfig(run.m_Context, run.m_Entry, r1);
            return false;
        case ECheck::DIAGBIT:
            return run.EqualSign() && run.Scan(r0, WIDTH_U16) && run.Range(r0, 0, 495, "USHORT: 0..495") &&
                   StringSteps(run, r1);
        case ECheck::CHANDIAG: return run.EqualSign() && run.Scan(r0, WIDTH_U8) && StringSteps(run, r1);
        case ECheck::NUMTEXT: return run.EqualSign() && run.Scan(r0, WIDTH_U16) && StringSteps(run, r1);
        case ECheck::NUMTEXT32: return run.EqualSign() && run.Scan(r0, WIDTH_U32) && StringSteps(run, r1);
        case ECheck::DIAGAREA: return run.EqualSign() && DiagArea(run, r0, r1);
        case ECheck::XAREA: return run.EqualSign() && DiagArea(run, Trim(r0), Trim(r1));
        case ECheck::S256: return run.EqualSign() && LongStringSteps(run, r0);
        case ECheck::XTEXT32: return run.EqualSign() && run.Scan(r0, WIDTH_U16) && StringSteps(run, r1);
        case ECheck::XTEXT256: return run.EqualSign() && run.Scan(r0, WIDTH_U16) && LongStringSteps(run, r1);
        case ECheck::SLOT: return SlotRule(run);
        case ECheck::ANY: return run.m_Entry.m_Value.empty() || run.EqualSign();
        case ECheck::PRMREF: return run.EqualSign() && run.Scan(r0, WIDTH_U8) && run.Scan(r1, WIDTH_U16);
        case ECheck::PRMCONST:
            return run.EqualSign() && run.Scan(r0, WIDTH_U8) && run.Range(r0, 0, 237, "UCHAR: 0..237") &&
                   run.Octets(r1, IDS_OUT_OF_RANGE, "0x00-0xff");
        case ECheck::END: return run.m_Entry.m_Value.empty() || run.Fail(IDS_TOO_MANY_VALUES);
        case ECheck::MODREF: return run.Scan(r0, WIDTH_ANY) && run.Range(r0, 0, 65535, "USHORT: 0..65535");
        case ECheck::DTYPE: return DataTypeRule(run);
        case ECheck::BITDEF: return BitRule(run);
        case ECheck::AREADEF: return BitAreaRule(run);
    }
    return false;
}

// The length limit of a string user key: the decimal number at the start of
// its range text, read as atoi reads it ("32" is 32, "Len 10" is 0).
std::int64_t LengthLimit(std::string_view range) {
    return Atoi32(range);
}

void UserKeyNumber(CRuleRun& run) {
    const std::string_view r0 = run.R(0);
    const std::string_view range = run.m_Entry.m_RangeLen;
    const std::string upper = ToUpper(range);
    struct SName {
        const char* name;
        int width;
        int textId;
    };
    constexpr SName kNames[] = {{"UCHAR", WIDTH_U8, 142}, {"USHORT", WIDTH_U16, 143}, {"UINT", WIDTH_U32, 144},
                                {"CHAR", WIDTH_S8, 139},  {"SHORT", WIDTH_S16, 140},  {"INT", WIDTH_S32, 141}};
    for (const SName& name : kNames) {
        if (upper.find(name.name) == npos) continue;
        // Decimal texts beyond 32 bits pass the scan as its saturation value;
        // their real value decides for the 32-bit types.
        const std::int64_t value = NumberValue(r0);
        const bool inRange = name.width == WIDTH_U32   ? value >= 0 && value <= 0xFFFFFFFFll
                             : name.width == WIDTH_S32 ? value >= INT32_MIN && value <= INT32_MAX
                                                       : true;
        if (!ScanNumber(r0, name.width) || !inRange) run.Fail(IDS_VALUE_EXCEEDS_LIMIT, LoadString(name.textId));
        return;
    }
    const bool hyphen = range.find('-') != npos;
    const bool comma = range.find(',') != npos;
    if (comma) {
        // A list of allowed values, with or without negative members.
        if (!run.Scan(r0, WIDTH_ANY)) return;
        const std::int64_t value = run.Value(r0);
        bool found = false;
        for (std::string_view element : SplitCommas(range)) {
            if (!run.Scan(element, WIDTH_ANY, "Allowed Value")) return;
            if (run.Value(element) == value) found = true;
        }
        if (!found) run.Fail(IDS_NOT_ALLOWED_VALUES, range);
    } else if (hyphen) {
        std::string_view min, max;
        SplitMinMax(range, min, max);
        if (!run.Scan(min, WIDTH_ANY, "Min-Max") || !run.Scan(max, WIDTH_ANY, "Min-Max") || !run.Scan(r0, WIDTH_ANY))
            return;
        const std::int64_t value = run.Value(r0);
        if (value < run.Value(min) || value > run.Value(max)) run.Fail(IDS_OUT_OF_RANGE, range);
    } else {
        if (!run.Scan(r0, WIDTH_ANY) || !run.Scan(range, WIDTH_ANY, "Allowed Value")) return;
        if (run.Value(r0) != run.Value(range)) run.Fail(IDS_NOT_ALLOWED_VALUES, range);
    }
}

}  // namespace

void CheckKeyLines(CTalunaContext& context, const CKeyEntry& entry) {
    const CDocumentRef& doc = context.m_CheckedDoc;
    if (doc.m_pLines != nullptr) {
        for (int line = entry.m_LongLine; line <= entry.m_Line; ++line) {
            const int length = doc.m_pIndex != nullptr ? doc.m_pIndex->Length(line) : doc.m_pLines->GetLineLength(line);
            if (length > 80)
                context.AddCheckMessage(KindOf(IDS_LINE_TOO_LONG), line, LoadString(IDS_LINE_TOO_LONG),
                                        context.m_CheckedDoc.m_pDoc, IDS_LINE_TOO_LONG);
        }
    }
    static constexpr auto kKeywordBytes = [] {
        std::array<bool, 256> allowed{};
        for (int c = 0; c < 256; ++c)
            allowed[static_cast<size_t>(c)] =
                IsAlnumByte(static_cast<char>(c)) || c == '.' || c == '_' || c == '#' || c == '-';
        return allowed;
    }();
    // A keyword found in the catalogue differs from the row's only in the case
    // of its letters: where the row's keyword is made of allowed characters
    // only, so is the entry's.
    static const std::vector<bool> cleanRows = [] {
        std::vector<bool> clean(static_cast<size_t>(KeywordCatalogue::AllRowCount()));
        for (size_t i = 0; i < clean.size(); ++i) {
            const std::string_view keyword = KeywordCatalogue::Row(static_cast<int>(i)).m_pszKeyword;
            clean[i] = std::all_of(keyword.begin(), keyword.end(),
                                   [](char c) { return kKeywordBytes[static_cast<unsigned char>(c)]; });
        }
        return clean;
    }();
    if (const SCatalogueRow* row = CatalogueRowOf(entry, context.m_Profile);
        row != nullptr && cleanRows[static_cast<size_t>(KeywordCatalogue::IndexOf(*row))])
        return;
    // One finding per character that may not stand in a keyword, but at most
    // MAX_KEYWORD_CHAR_FINDINGS: each repeats the keyword, so a line of garbage
    // would otherwise list a thousand copies of itself.
    int reported = 0;
    // One maker writes the text of a bit at 0 as Unit_Diag_!Bit, a keyword of the
    // revision 5 profile.
    const bool bang = context.m_Profile == ECheckProfile::Rev5 && EqualsNoCase(entry.m_Keyword, "Unit_Diag_!Bit");
    for (char c : entry.m_Keyword) {
        if (kKeywordBytes[static_cast<unsigned char>(c)] || (bang && c == '!')) continue;
        if (++reported > MAX_KEYWORD_CHAR_FINDINGS) break;
        context.AddFinding(KindOf(IDS_KEYWORD_CHARS), entry.m_LongLine, IDS_KEYWORD_CHARS, {entry.m_Keyword},
                           context.m_CheckedDoc.m_pDoc);
    }
}

void CheckUserKey(CTalunaContext& context, CKeyEntry& entry) {
    CRuleRun run(context, entry);
    if (!run.EqualSign()) return;
    const std::string_view r0 = run.R(0);
    switch (entry.m_TypeFlag) {
        case TYPE_SIMPLE_STRING:
            run.String(r0, LengthLimit(entry.m_RangeLen), "String" + entry.m_RangeLen.str());
            break;
        case TYPE_SIMPLE_UINT: UserKeyNumber(run); break;
        case TYPE_SIMPLE_BOOL:
            if (run.Scan(r0, WIDTH_CHAR) && NumberValue(r0) != 0 && NumberValue(r0) != 1)
                run.Fail(IDS_NOT_ALLOWED_VALUES, "0|1");
            break;
        case TYPE_OCTET_STRING: run.Octets(r0, IDS_VALUE_EXCEEDS_LIMIT, LoadString(142)); break;
        default: break;
    }
}

void CheckCatalogueRule(CTalunaContext& context, CKeyEntry& entry, const SCatalogueRow& row) {
    CRuleRun run(context, entry);
    run.m_bLenient = row.IsLenient();
    if (RunRule(run, row)) run.Pass();
}

void ReportUnknownKey(CTalunaContext& context, const CKeyEntry& entry) {
    if (entry.m_Keyword.empty()) return;
    const int id = entry.m_Keyword[0] == '#' ? IDS_HASH_KEY : IDS_UNKNOWN_KEY;
    context.AddFinding(KindOf(id), entry.m_LongLine, id, {entry.m_Keyword}, context.m_CheckedDoc.m_pDoc);
}
