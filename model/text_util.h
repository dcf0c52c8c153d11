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
bool EqualsNoCase(std::string_view a, std::string_view b);

std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string Trim(std::string_view text);

// Hash and equality that ignore ASCII letter case, for keyword lookups.
struct CNoCaseHash {
    size_t operator()(std::string_view text) const;
};
struct CNoCaseEqual {
    bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }
};

// Replaces every occurrence of the byte `from` by `to`.
void ReplaceAll(std::string& text, char from, char to);
