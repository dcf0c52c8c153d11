#pragma once
// The text that replaces a key entry's lines when the key editor writes an
// edited entry back: continuation backslashes, and old comments kept at their column.

#include <string>
#include <string_view>
#include <vector>

struct SWriteBack {
    bool m_bOk = false;    // false when an old line is longer than 1024 characters
    std::string m_Text;    // the replacement, lines joined by "\r\n", no final line end unless forced
    int m_nLineFeeds = 0;  // line feeds in m_Text; the entry's last line = first line + this
};

// `oldLines` are the entry's current lines (first to last); `keyword` and `value`
// its new keyword and value text (the value starts with "=" after a compose).
SWriteBack ComposeWriteBack(const std::vector<std::string>& oldLines, std::string_view keyword, std::string_view value);
