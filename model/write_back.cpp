#include "model/write_back.h"

#include "base/text_util.h"
#include "model/text_lines.h"

namespace {

// Takes the next piece of `rest` (up to its first "\r\n") and removes it with
// its line break; `last` tells whether nothing follows it.
std::string NextPiece(std::string& rest, bool& last) {
    const size_t br = rest.find("\r\n");
    std::string piece;
    if (br == std::string::npos) {
        piece = rest;
        rest.clear();
        last = true;
    } else {
        piece = rest.substr(0, br);
        rest.erase(0, br + 2);
        last = false;
    }
    return piece;
}

}  // namespace

SWriteBack ComposeWriteBack(const std::vector<std::string>& oldLines, std::string_view keyword,
                            std::string_view value) {
    SWriteBack result;
    for (const auto& line : oldLines)
        if (line.size() > static_cast<size_t>(MAX_LINE_LENGTH)) return result;

    std::string rest = std::string(keyword).append(value);
    const bool valueHasComment = value.find(';') != std::string::npos;
    std::string text;
    bool used = false;  // N is used up
    for (const auto& old : oldLines) {
        const size_t semi = old.find(';');
        bool last = true;
        std::string piece;
        if (!used) {
            piece = NextPiece(rest, last);
            if (last) used = true;
        }
        if (semi == std::string::npos || valueHasComment) {
            text += piece;
            text += last ? "\r\n" : "\\\r\n";
        } else {
            std::string line = piece;
            if (!last) line += '\\';
            if (line.size() < semi) line.append(semi - line.size(), ' ');
            line += old.substr(semi);
            text += line + "\r\n";
        }
    }
    while (!used) {
        bool last = true;
        const std::string piece = NextPiece(rest, last);
        text += piece;
        text += last ? "\r\n" : "\\\r\n";
        if (last) used = true;
    }

    text = TrimRight(text);
    const size_t lastFeed = text.rfind('\n');
    if (text.find('\\', lastFeed == std::string::npos ? 0 : lastFeed) != std::string::npos) text += "\r\n";

    if (text.find("Module_Reference") != std::string::npos) {
        const size_t eq = text.find('=');
        if (eq != std::string::npos) text = text.substr(eq + 1);
    }

    result.m_bOk = true;
    result.m_Text = text;
    for (char c : text)
        if (c == '\n') ++result.m_nLineFeeds;
    return result;
}
