#pragma once
// Byte-string helpers in the "C" locale: only ASCII letters change case and only
// blank, tab, CR, LF, VT and FF count as white space.

#include <string>
#include <string_view>

bool IsSpaceByte(char c);
bool IsAlphaByte(char c);
bool IsDigitByte(char c);
bool IsAlnumByte(char c);

std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
inline char UpperByte(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperByte(a[i]) != UpperByte(b[i])) return false;
    return true;
}

std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string Trim(std::string_view text);

// Hash and equality that ignore ASCII letter case, for keyword lookups.
struct CNoCaseHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const {
        size_t hash = 1469598103934665603ull;
        for (char c : text) hash = (hash ^ static_cast<unsigned char>(UpperByte(c))) * 1099511628211ull;
        return hash;
    }
};
struct CNoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }
};

// Replaces every occurrence of the byte `from` by `to`.
void ReplaceAll(std::string& text, char from, char to);
