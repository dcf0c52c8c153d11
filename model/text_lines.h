#pragma once
// The text of a GSD file as lines: splitting file bytes into lines and joining
// them again with the file's own line-end style, so that an unedited file
// survives a load and a save byte for byte.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_util.h"
#include "model/seams.h"

// Longest line the editor hands to the builder and the checks.
constexpr int MAX_LINE_LENGTH = 1024;

enum class ELineEnd { CrLf, Lf, Cr };

struct CTextLayout {
    ELineEnd m_LineEnd = ELineEnd::CrLf;  // style of the first line end; CR LF when none
    bool m_bFinalLineEnd = false;         // whether the text ends with a line end
};

// Calls `line(start, length)` for every line of `text`, in order. A line ends
// at CR LF, LF or a lone CR; a final line end does not start an empty last
// line, and an empty text has no lines.
template <typename F>
void ForEachLine(std::string_view text, F line) {
    const char* data = text.data();
    const size_t size = text.size();
    size_t start = 0;
    while (start < size) {
        const size_t end = FindLineBreak(data, start, size);
        line(start, end - start);
        start = end + 1;
        if (end + 1 < size && data[end] == '\r' && data[end + 1] == '\n') ++start;
    }
}

// The lines of ForEachLine as strings.
std::vector<std::string> SplitLines(std::string_view text);
CTextLayout DetectLayout(std::string_view text);
std::string JoinLines(const std::vector<std::string>& lines, const CTextLayout& layout);
// The line end that starts at `at`, a CR or LF of `text`.
ELineEnd LineEndAt(std::string_view text, size_t at);
// The line end of every line of SplitLines(text), in order; the last line takes
// the style of the first line end when the text does not end with one.
std::vector<ELineEnd> SplitLineEnds(std::string_view text);
// Joins lines with their own line ends (`ends` may be shorter than `lines`; the
// missing ones take the layout's style). Together with SplitLineEnds this gives
// back the bytes of a text that mixes line-end styles.
std::string JoinLinesWithEnds(const std::vector<std::string>& lines, const std::vector<ELineEnd>& ends,
                              const CTextLayout& layout);
// The text up to its first NUL byte.
std::string_view CutAtNul(std::string_view text);
const char* LineEndChars(ELineEnd lineEnd);

// Where the lines of a text held in memory lie: where each starts, 4 bytes a
// line for texts under 4 GB. A line ends at the line end before the next one
// starts, the last at the end of the last line.
class CLineIndex {
public:
    CLineIndex() = default;  // of an empty text
    explicit CLineIndex(std::string_view text);
    int Count() const { return static_cast<int>(m_Starts32.empty() ? m_Starts64.size() : m_Starts32.size()); }
    // The whole line without its line end; empty for a line that does not exist.
    std::string_view Whole(int line) const {
        if (line < 0 || line >= Count()) return {};
        const auto [start, length] = Span(static_cast<size_t>(line));
        return {m_pText + start, length};
    }
    // The line without its line end, cut at MAX_LINE_LENGTH; empty for a line
    // that does not exist.
    std::string_view View(int line) const {
        if (line < 0 || line >= Count()) return {};
        const auto [start, length] = Span(static_cast<size_t>(line));
        return {m_pText + start, std::min<size_t>(length, MAX_LINE_LENGTH)};
    }
    // The length of the whole line; 0 for a line that does not exist.
    int Length(int line) const {
        if (line < 0 || line >= Count()) return 0;
        return static_cast<int>(Span(static_cast<size_t>(line)).second);
    }

private:
    // Start and length of an existing line.
    std::pair<size_t, size_t> Span(size_t line) const {
        return m_Starts32.empty() ? Span(m_Starts64, line) : Span(m_Starts32, line);
    }
    template <typename Starts>
    std::pair<size_t, size_t> Span(const Starts& starts, size_t line) const {
        const size_t start = starts[line];
        if (line + 1 == starts.size()) return {start, m_nLastEnd - start};
        // The line end before the next line: CR LF, or one CR or LF. A line holds
        // neither, so a CR before a closing LF belongs to the line end.
        size_t end = static_cast<size_t>(starts[line + 1]) - 1;
        if (m_pText[end] == '\n' && end > start && m_pText[end - 1] == '\r') --end;
        return {start, end - start};
    }
    const char* m_pText = nullptr;
    std::vector<std::uint32_t> m_Starts32;
    std::vector<size_t> m_Starts64;  // for larger texts
    size_t m_nLastEnd = 0;
};

// The lines of one text held in memory without copying them: the text and where
// each line starts and ends. For the command-line checker.
class CTextLineSource : public ILineSource {
public:
    explicit CTextLineSource(std::string text);
    // Shares `text` with its other holders.
    explicit CTextLineSource(std::shared_ptr<const std::string> text);
    int GetLineCount() const override { return m_Index.Count(); }
    std::string GetLine(int line) const override;
    int GetLineLength(int line) const override { return m_Index.Length(line); }
    std::string_view GetLineView(int line, std::string&) const override { return m_Index.View(line); }
    std::shared_ptr<const std::string> SharedText() const override { return m_pText; }
    const CLineIndex* LineIndex() const override { return &m_Index; }

private:
    // Shared with the databases built from it, whose entries view it.
    std::shared_ptr<const std::string> m_pText;
    CLineIndex m_Index;
};

// A line as GetLineView gives it, from the index where the source has one.
inline std::string_view LineView(const ILineSource& lines, const CLineIndex* index, int line, std::string& buffer) {
    return index != nullptr ? index->View(line) : lines.GetLineView(line, buffer);
}

// Lines held in memory, for the command-line checker and the tests.
class CVectorLineSource : public ILineSource {
public:
    CVectorLineSource() = default;
    explicit CVectorLineSource(std::vector<std::string> lines) : m_Lines(std::move(lines)) {}
    int GetLineCount() const override { return static_cast<int>(m_Lines.size()); }
    std::string GetLine(int line) const override;
    int GetLineLength(int line) const override;
    std::string_view GetLineView(int line, std::string& buffer) const override;
    std::vector<std::string>& Lines() { return m_Lines; }
    const std::vector<std::string>& Lines() const { return m_Lines; }

private:
    std::vector<std::string> m_Lines;
};
