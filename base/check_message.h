#pragma once
// One finding or note of a check, and the texts its output row shows.

#include <string>

namespace CheckMessageKind {
constexpr int Note = -1;  // plain note of the check flow, shown as "Info" and "---"
constexpr int Info = 0;
constexpr int Error = 1;
constexpr int FatalError = 2;
constexpr int Warning = 3;
// "Info", "Error", "Fatal Error" or "Warning"; other kinds read "Info".
const char* Name(int kind);
}  // namespace CheckMessageKind

struct CCheckMessage {
    int m_nKind = CheckMessageKind::Info;
    int m_nLine = -1;  // 0-based; negative for none
    std::string m_Text;
    const void* m_pDoc = nullptr;  // the document the line belongs to, may be null
    int m_nId = 0;                 // string-table id of the text, 0 for none

    // "Info", "Error", "Fatal Error" or "Warning"; other kinds read "Info".
    std::string KindText() const;
    // "Line %d" (1-based) or "---" for no line or a plain note.
    std::string LineText() const;
    // The three columns joined by tabs, as the command-line checker prints them.
    std::string RowText() const;
    // Whether the row names a line it can lead to.
    bool HasLine() const;
};
