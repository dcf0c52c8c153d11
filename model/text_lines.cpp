#include "model/text_lines.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    ForEachLine(text, [&](size_t start, size_t length) { lines.emplace_back(text.substr(start, length)); });
    return lines;
}

CTextLayout DetectLayout(std::string_view text) {
    CTextLayout layout;
    const size_t pos = text.find_first_of("\r\n");
    if (pos != std::string_view::npos) {
        if (text[pos] == '\n')
            layout.m_LineEnd = ELineEnd::Lf;
        else if (pos + 1 < text.size() && text[pos + 1] == '\n')
            layout.m_LineEnd = ELineEnd::CrLf;
        else
            layout.m_LineEnd = ELineEnd::Cr;
    }
    layout.m_bFinalLineEnd = !text.empty() && (text.back() == '\n' || text.back() == '\r');
    return layout;
}

const char* LineEndChars(ELineEnd lineEnd) {
    switch (lineEnd) {
        case ELineEnd::Lf: return "\n";
        case ELineEnd::Cr: return "\r";
        default: return "\r\n";
    }
}

std::string JoinLines(const std::vector<std::string>& lines, const CTextLayout& layout) {
    const std::string end = LineEndChars(layout.m_LineEnd);
    std::string text;
    size_t total = 0;
    for (const auto& line : lines) total += line.size() + end.size();
    text.reserve(total);
    for (size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (i + 1 < lines.size() || layout.m_bFinalLineEnd) text += end;
    }
    return text;
}

ELineEnd LineEndAt(std::string_view text, size_t at) {
    if (text[at] == '\n') return ELineEnd::Lf;
    return at + 1 < text.size() && text[at + 1] == '\n' ? ELineEnd::CrLf : ELineEnd::Cr;
}

std::vector<ELineEnd> SplitLineEnds(std::string_view text) {
    const ELineEnd first = DetectLayout(text).m_LineEnd;
    std::vector<ELineEnd> ends;
    ForEachLine(text, [&](size_t start, size_t length) {
        const size_t at = start + length;
        ends.push_back(at < text.size() ? LineEndAt(text, at) : first);
    });
    return ends;
}

std::string JoinLinesWithEnds(const std::vector<std::string>& lines, const std::vector<ELineEnd>& ends,
                              const CTextLayout& layout) {
    std::string text;
    size_t total = 0;
    for (const auto& line : lines) total += line.size() + 2;
    text.reserve(total);
    for (size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (i + 1 < lines.size() || layout.m_bFinalLineEnd)
            text += LineEndChars(i < ends.size() ? ends[i] : layout.m_LineEnd);
    }
    return text;
}

std::string_view CutAtNul(std::string_view text) {
    const size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

std::string CVectorLineSource::GetLine(int line) const {
    if (line < 0 || line >= GetLineCount()) return {};
    const std::string& text = m_Lines[static_cast<size_t>(line)];
    return text.size() > MAX_LINE_LENGTH ? text.substr(0, MAX_LINE_LENGTH) : text;
}

CTextLineSource::CTextLineSource(std::string text)
    : CTextLineSource(std::make_shared<const std::string>(std::move(text))) {}

CTextLineSource::CTextLineSource(std::shared_ptr<const std::string> text)
    : m_pText(std::move(text)), m_Index(*m_pText) {}

CLineIndex::CLineIndex(std::string_view text) : m_pText(text.data()) {
    // One pass, with room for lines of a usual length; room left over beyond
    // an eighth is given back, as the index lives as long as the text.
    const auto index = [&](auto& starts) {
        using Offset = typename std::remove_reference_t<decltype(starts)>::value_type;
        starts.reserve(text.size() / 24 + 16);
        ForEachLine(text, [&](size_t start, size_t length) {
            starts.push_back(static_cast<Offset>(start));
            m_nLastEnd = start + length;
        });
        if (starts.capacity() - starts.size() > starts.size() / 8) starts.shrink_to_fit();
    };
    if (text.size() <= UINT32_MAX)
        index(m_Starts32);
    else
        index(m_Starts64);
}

std::string CTextLineSource::GetLine(int line) const {
    return std::string(m_Index.View(line));
}

std::string_view CVectorLineSource::GetLineView(int line, std::string&) const {
    if (line < 0 || line >= GetLineCount()) return {};
    const std::string& text = m_Lines[static_cast<size_t>(line)];
    return std::string_view(text).substr(0, MAX_LINE_LENGTH);
}

int CVectorLineSource::GetLineLength(int line) const {
    if (line < 0 || line >= GetLineCount()) return 0;
    return static_cast<int>(m_Lines[static_cast<size_t>(line)].size());
}
