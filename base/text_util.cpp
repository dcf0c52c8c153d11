#include "base/text_util.h"

static char LowerByte(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::string ToUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = UpperByte(c);
    return out;
}

std::string ToLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LowerByte(c);
    return out;
}

std::string TrimLeft(std::string_view text) {
    size_t b = 0;
    while (b < text.size() && IsSpaceByte(text[b])) ++b;
    return std::string(text.substr(b));
}

std::string TrimRight(std::string_view text) {
    size_t e = text.size();
    while (e > 0 && IsSpaceByte(text[e - 1])) --e;
    return std::string(text.substr(0, e));
}

std::string Trim(std::string_view text) {
    return std::string(TrimmedView(text));
}

void TrimInPlace(std::string& text) {
    size_t e = text.size();
    while (e > 0 && IsSpaceByte(text[e - 1])) --e;
    text.resize(e);
    size_t b = 0;
    while (b < e && IsSpaceByte(text[b])) ++b;
    text.erase(0, b);
}

void ReplaceAll(std::string& text, char from, char to) {
    for (char& c : text)
        if (c == from) c = to;
}
