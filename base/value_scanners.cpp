#include "base/value_scanners.h"

#include <array>
#include <charconv>
#include <limits>

#include "base/text_util.h"

namespace {

constexpr size_t npos = std::string_view::npos;

std::array<bool, 256> BuildStringBytes() {
    std::array<bool, 256> allowed{};
    for (int c = 0; c < 256; ++c) allowed[static_cast<size_t>(c)] = IsAlnumByte(static_cast<char>(c));
    const std::string_view ascii = " _.-+*/<>()[]{}!$%&?^|=#;,:`";
    for (char c : ascii) allowed[static_cast<unsigned char>(c)] = true;
    constexpr unsigned char kHigh[] = {
        0xB4, 0xE4, 0xC4, 0xF6, 0xD6, 0xFC, 0xDC, 0xDF, 0xE9, 0xE8, 0xE0, 0xE1, 0xEC, 0xED, 0xF3, 0xF2, 0xFA,
        0xF9, 0x27, 0xBA, 0xB5, 0x40, 0x7E, 0x80, 0xA3, 0xA9, 0xAE, 0x99, 0xA1, 0xA2, 0xA4, 0xA5, 0xA6, 0xAD,
        0xAE, 0xA9, 0xAA, 0xAB, 0xAC, 0xAF, 0xB0, 0xB1, 0xB9, 0xB2, 0xB3, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF,
        0xC0, 0xC1, 0xC2, 0xC3, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF, 0xD0, 0xD1,
        0xD2, 0xD3, 0xD4, 0xD5, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDD, 0xDE, 0xE2, 0xE3, 0xE5, 0xE6, 0xE7, 0xEA,
        0xEB, 0xEE, 0xEF, 0xF0, 0xF1, 0xF4, 0xF5, 0xF7, 0xF8, 0xFB, 0xFD, 0xFE, 0xFF};
    for (unsigned char c : kHigh) allowed[c] = true;
    return allowed;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// The common part of strtoul and strtol with base 0: white space, sign, base
// prefix and digits. `magnitude` saturates at UINT64_MAX.
struct SParsed {
    bool negative = false;
    bool overflow = false;  // more than 64 bits
    std::uint64_t magnitude = 0;
    size_t end = 0;  // first unconverted position; 0 when nothing was converted
};

SParsed ParseBase0(std::string_view text) {
    SParsed parsed;
    size_t i = 0;
    while (i < text.size() && IsSpaceByte(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        parsed.negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '0') {
        if (i + 2 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') && DigitValue(text[i + 2]) < 16) {
            base = 16;
            i += 2;
        } else {
            base = 8;
        }
    }
    const size_t first = i;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= base) break;
        const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
        if (parsed.magnitude > (max - static_cast<std::uint64_t>(digit)) / static_cast<std::uint64_t>(base)) {
            parsed.overflow = true;
            parsed.magnitude = max;
        } else if (!parsed.overflow) {
            parsed.magnitude = parsed.magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        }
    }
    parsed.end = i > first ? i : 0;
    return parsed;
}

bool Contains(std::string_view text, char c) {
    return text.find(c) != npos;
}

// The value of a plain decimal text of one to nine digits without a leading
// zero (or "0" itself), the form nearly every number is written in; -1 for
// any other text. Such a text reads back as itself and cannot overflow.
std::int64_t ShortDecimal(std::string_view text) {
    if (text.empty() || text.size() > 9 || (text[0] == '0' && text.size() > 1)) return -1;
    std::int64_t value = 0;
    for (char c : text) {
        if (!IsDigitByte(c)) return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The value of "0x" or "0X" and one to eight hexadecimal digits, the other
// form numbers are written in; -1 for any other text.
std::int64_t ShortHex(std::string_view text) {
    if (text.size() < 3 || text.size() > 10 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return -1;
    std::int64_t value = 0;
    for (char c : text.substr(2)) {
        const int digit = DigitValue(c);
        if (digit >= 16) return -1;
        value = value * 16 + digit;
    }
    return value;
}

// Whether the text holds an 'x' or an 'X' (numbers are short: one loop
// instead of a search for each).
bool ContainsX(std::string_view text) {
    for (char c : text)
        if ((static_cast<unsigned char>(c) | 0x20u) == 'x') return true;
    return false;
}

const std::array<bool, 256>& StringBytes() {
    static const std::array<bool, 256> allowed = BuildStringBytes();
    return allowed;
}

}  // namespace

bool IsStringByte(unsigned char c) {
    return StringBytes()[c];
}

std::uint32_t StrToUL32(std::string_view text, size_t* rest) {
    const SParsed parsed = ParseBase0(text);
    if (rest) *rest = parsed.end;
    if (parsed.overflow || parsed.magnitude > 0xFFFFFFFFull) return 0xFFFFFFFFu;
    const auto value = static_cast<std::uint32_t>(parsed.magnitude);
    return parsed.negative ? static_cast<std::uint32_t>(0u - value) : value;
}

std::int32_t StrToL32(std::string_view text, size_t* rest) {
    const SParsed parsed = ParseBase0(text);
    if (rest) *rest = parsed.end;
    if (parsed.negative) {
        if (parsed.overflow || parsed.magnitude > 0x80000000ull) return std::numeric_limits<std::int32_t>::min();
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(parsed.magnitude));
    }
    if (parsed.overflow || parsed.magnitude > 0x7FFFFFFFull) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(parsed.magnitude);
}

std::int32_t Atoi32(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsSpaceByte(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t magnitude = 0;
    for (; i < text.size() && IsDigitByte(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > 0x80000000ll) magnitude = 0x80000001ll;  // saturated, stays out of range
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::int32_t ReadNumber(std::string_view text) {
    // Most numbers are a few decimal digits and nothing else.
    if (const std::int64_t plain = ShortDecimal(text); plain >= 0) return static_cast<std::int32_t>(plain);
    // A capital X marks hexadecimal as well: the syntax check accepts 0X1F as 31.
    if (ContainsX(text)) return static_cast<std::int32_t>(StrToUL32(text));
    return Atoi32(text);
}

std::int64_t NumberValue(std::string_view raw) {
    const std::string_view text = TrimmedView(raw);
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    const std::string_view digits = text.substr(i);
    std::uint64_t magnitude = 0;
    if (ContainsX(digits)) {
        size_t j = 0;
        if (digits.size() >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) j = 2;
        for (; j < digits.size() && DigitValue(digits[j]) < 16; ++j) {
            magnitude = magnitude * 16 + static_cast<std::uint64_t>(DigitValue(digits[j]));
            if (magnitude > 0xFFFFFFFFull) magnitude = 0xFFFFFFFFull;
        }
    } else {
        for (size_t j = 0; j < digits.size() && IsDigitByte(digits[j]); ++j) {
            magnitude = magnitude * 10 + static_cast<std::uint64_t>(digits[j] - '0');
            if (magnitude > (1ull << 62)) magnitude = 1ull << 62;
        }
    }
    const auto value = static_cast<std::int64_t>(magnitude);
    return negative ? -value : value;
}

bool CheckEqualSign(std::string_view line) {
    // Most lines: one '=', with no ';' or quote before it.
    if (line.size() <= BYTE_MASK_SIZE) {
        const auto [equals, semis, quotes] = ByteMasks<'=', ';', '"'>(line);
        if (equals == 0) return false;
        if (((semis | quotes) & BitsBelow(FirstOf(equals))) != 0) return false;
        if ((equals & (equals - 1)) == 0) return true;
    }
    const size_t e = line.find('=');
    if (e == npos) return false;
    const std::string_view head = line.substr(0, e);
    if (Contains(head, ';') || Contains(head, '"')) return false;
    std::string_view rest = line.substr(e + 1);
    if (!Contains(rest, '=')) return true;
    const size_t e2 = rest.find('=');
    const size_t q = rest.find('"');
    if (q != npos && e2 < q) return false;
    if (q != npos) rest = rest.substr(q + 1);
    for (;;) {
        const size_t eq = rest.find('=');
        const size_t quote = rest.find('"');
        const size_t semi = rest.find(';');
        if (eq != npos && quote != npos && semi != npos && quote < eq && eq < semi) return false;
        if (eq == npos) return true;
        rest = rest.substr(eq + 1);
    }
}

bool CheckString(std::string_view value, std::string_view line, bool semicolonInString) {
    const std::array<bool, 256>& allowed = StringBytes();
    for (char c : value)
        if (!allowed[static_cast<unsigned char>(c)]) return false;
    const size_t open = line.find('"');
    if (open == npos || open + 1 == line.size()) return false;
    const std::string_view r = line.substr(open + 1);
    const size_t close = r.find('"');
    if (close == npos) return false;
    const size_t semi = r.find(';');
    if (semi != npos && semi < close && !semicolonInString) return false;
    const std::string_view t = r.substr(close + 1);
    const size_t extra = t.find('"');
    if (extra == npos) return EqualsNoCase(TrimmedView(r.substr(0, close)), TrimmedView(value));
    const size_t comment = t.find(';');
    return comment != npos && comment < extra;
}

namespace {

// Whether a number read from its text fits the width.
bool FitsWidth(int width, std::int64_t value, bool overflow, bool falseZero) {
    switch (width) {
        case WIDTH_U8: return !overflow && !falseZero && value < 256;
        case WIDTH_U16: return !overflow && !falseZero && value < 65536;
        case WIDTH_U32:
        case WIDTH_S8:
        case WIDTH_S16:
        case WIDTH_S32: return !overflow && !falseZero;
        default: return true;
    }
}

}  // namespace

bool ScanNumber(std::string_view raw, int width, std::uint32_t* out) {
    // A view of the number's text; a decimal text read back in its canonical
    // form views `canonical`.
    std::string_view text = TrimmedView(raw);
    char canonical[16];
    if (text.empty()) return false;
    if (width == WIDTH_CHAR && text.size() > 1) return false;
    if (const std::int64_t plain = ShortDecimal(text); plain >= 0) {
        const std::uint64_t limit = width == WIDTH_S8 ? 127u : width == WIDTH_S16 ? 32767u : 0xFFFFFFFFu;
        const bool overflow = static_cast<std::uint64_t>(plain) > limit;
        const std::int64_t value = overflow ? 0 : plain;
        const bool pass = FitsWidth(width, value, overflow, false);
        if (pass && out) *out = static_cast<std::uint32_t>(value);
        return pass;
    }
    if (const std::int64_t hexValue = ShortHex(text); hexValue >= 0) {
        // As the general steps read it: a signed width holds its positive
        // range, any other reads all bits set as too large.
        const bool signedWidth = width == WIDTH_S8 || width == WIDTH_S16 || width == WIDTH_S32;
        const std::int64_t limit = width == WIDTH_S8 ? 127 : width == WIDTH_S16 ? 32767 : 2147483647;
        const bool overflow = signedWidth ? hexValue > limit : hexValue == 0xFFFFFFFF;
        const std::int64_t value = signedWidth && overflow ? 0 : hexValue;
        const bool pass = FitsWidth(width, value, overflow, false);
        if (pass && out) *out = static_cast<std::uint32_t>(value);
        return pass;
    }
    bool hex = false;
    for (char c : text) {
        // 'a'-'f', 'x' and their capitals.
        const unsigned folded = static_cast<unsigned char>(c) | 0x20u;
        const bool letter = (folded >= 'a' && folded <= 'f') || folded == 'x';
        if (!IsDigitByte(c) && c != '-' && !letter) return false;
        if (folded == 'x') hex = true;
    }
    if (!hex) {
        for (char c : text)
            if (!IsDigitByte(c) && c != '-') return false;
        const std::string_view d(
            canonical,
            static_cast<size_t>(std::to_chars(canonical, canonical + sizeof canonical, Atoi32(text)).ptr - canonical));
        if (d != text) {
            if (d != "0") {
                text = d;
            } else {
                for (char c : text)
                    if (c != '0' && c != '-') return false;
                text = "0";
            }
        }
    }
    const bool signedWidth = width == WIDTH_S8 || width == WIDTH_S16 || width == WIDTH_S32;
    bool negative = false;
    if (width == WIDTH_U8 || width == WIDTH_U16 || width == WIDTH_U32) {
        if (text[0] == '-') return false;
    } else if (signedWidth && text[0] == '-') {
        negative = true;
        text.remove_prefix(1);
        while (!text.empty() && IsSpaceByte(text.front())) text.remove_prefix(1);
    }

    size_t end = 0;
    std::int64_t value = 0;
    bool overflow = false;
    if (signedWidth) {
        // The magnitude is converted exactly, so that the most negative value of
        // each width is accepted as well as the most positive one.
        const SParsed parsed = ParseBase0(text);
        end = parsed.end;
        const std::uint64_t limit = (width == WIDTH_S8    ? 127u
                                     : width == WIDTH_S16 ? 32767u
                                                          : 2147483647u) +
                                    (negative ? 1u : 0u);
        overflow = parsed.overflow || parsed.negative || parsed.magnitude > limit;
        value = overflow ? 0
                         : (negative ? -static_cast<std::int64_t>(parsed.magnitude)
                                     : static_cast<std::int64_t>(parsed.magnitude));
    } else {
        const std::uint32_t v = StrToUL32(text, &end);
        overflow = v == 0xFFFFFFFFu;
        value = v;
    }
    if (end != text.size()) return false;
    const bool falseZero = !overflow && value == 0 && !Contains(text, '0');

    const bool pass = FitsWidth(width, value, overflow, falseZero);
    if (pass && out) *out = static_cast<std::uint32_t>(value);
    return pass;
}
