#pragma once
// Byte-string helpers in the "C" locale: only ASCII letters change case and only
// blank, tab, CR, LF, VT and FF count as white space.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// Asked for every byte of every line: defined here so that they inline.
inline bool IsSpaceByte(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
inline bool IsAlphaByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool IsDigitByte(char c) {
    return c >= '0' && c <= '9';
}
inline bool IsAlnumByte(char c) {
    return IsAlphaByte(c) || IsDigitByte(c);
}

std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
inline char UpperByte(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (a == b) return true;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperByte(a[i]) != UpperByte(b[i])) return false;
    return true;
}

std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string Trim(std::string_view text);
// The text without the blanks around it, as a view into it.
inline std::string_view TrimmedView(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && IsSpaceByte(text[b])) ++b;
    while (e > b && IsSpaceByte(text[e - 1])) --e;
    return text.substr(b, e - b);
}
// Removes the blanks around `text` in place, keeping its storage.
void TrimInPlace(std::string& text);

// Hash and equality that ignore ASCII letter case, for keyword lookups.
struct CNoCaseHash {
    using is_transparent = void;
    // Clearing bit 5 of every byte maps both cases of a letter to one value,
    // so texts equal but for case hash alike; eight bytes are mixed at a time.
    size_t operator()(std::string_view text) const {
        constexpr std::uint64_t kFold = 0xDFDFDFDFDFDFDFDFull;
        std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ text.size();
        size_t i = 0;
        for (; i + 8 <= text.size(); i += 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + i, 8);
            hash = (hash ^ (word & kFold)) * 0xFF51AFD7ED558CCDull;
            hash ^= hash >> 29;
        }
        for (; i < text.size(); ++i) hash = (hash ^ (static_cast<unsigned char>(text[i]) & 0xDFu)) * 0x100000001B3ull;
        return static_cast<size_t>(hash ^ (hash >> 32));
    }
};
struct CNoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }
};

// Replaces every occurrence of the byte `from` by `to`.
void ReplaceAll(std::string& text, char from, char to);
