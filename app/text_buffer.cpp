#include "app/text_buffer.h"

#include <QChar>
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

#include "app/cp1252.h"

namespace {

constexpr size_t NEVER_CLEAN = SIZE_MAX;

// What a byte of the code page is as far as the search cares.
struct SByteClasses {
    std::array<unsigned char, 256> m_Fold{};  // the byte of its lower-case letter
    std::array<bool, 256> m_bWordChar{};      // a letter or a digit
};

const SByteClasses& ByteClasses() {
    static const SByteClasses classes = [] {
        SByteClasses c;
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString decoded = DecodeCp1252(std::string_view(&byte, 1));
            const std::string lower = EncodeCp1252(decoded.toLower());
            c.m_Fold[static_cast<size_t>(b)] = lower.size() == 1 && lower[0] != '?'
                                                   ? static_cast<unsigned char>(lower[0])
                                                   : static_cast<unsigned char>(b);
            c.m_bWordChar[static_cast<size_t>(b)] = decoded.at(0).isLetterOrNumber();
        }
        return c;
    }();
    return classes;
}

// A text as the buffer holds it: line breaks as '\n', one byte a character.
std::string BytesOf(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar& c : lines)
        if (c == QChar('\r') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = QChar('\n');
    return EncodeCp1252(lines);
}

}  // namespace

CTextBuffer::CTextBuffer(QObject* parent)
    : QObject(parent), m_Starts{0}, m_Ends{static_cast<uint8_t>(ELineEnd::CrLf)} {}

void CTextBuffer::SetBytes(std::string_view bytes, ELineEnd lineEnd) {
    const bool wasModified = IsModified();
    const bool couldUndo = IsUndoAvailable();
    const bool couldRedo = IsRedoAvailable();
    const int oldLines = LineCount();
    const int oldLength = Length();
    m_LineEnd = lineEnd;
    size_t count = 0;
    ForEachLine(bytes, [&count](size_t, size_t) { ++count; });
    // The old text goes first: a large text is not held twice.
    std::string().swap(m_Bytes);
    std::vector<uint32_t>().swap(m_Starts);
    std::vector<uint8_t>().swap(m_Ends);
    m_Bytes.reserve(bytes.size());
    m_Starts.reserve(std::max<size_t>(count, 1));
    m_Ends.reserve(std::max<size_t>(count, 1));
    ForEachLine(bytes, [&](size_t start, size_t length) {
        if (!m_Starts.empty()) m_Bytes += '\n';
        m_Starts.push_back(static_cast<uint32_t>(m_Bytes.size()));
        m_Bytes.append(bytes.substr(start, length));
        const size_t after = start + length;
        m_Ends.push_back(static_cast<uint8_t>(after < bytes.size() ? LineEndAt(bytes, after) : lineEnd));
    });
    if (m_Starts.empty()) {
        m_Starts.push_back(0);
        m_Ends.push_back(static_cast<uint8_t>(lineEnd));
    }
    m_Steps.clear();
    m_nDone = m_nClean = 0;
    m_nGroupDepth = 0;
    m_bGroupOpen = false;
    emit contentsChange(0, oldLength, Length());
    EmitStateChanges(wasModified, couldUndo, couldRedo, oldLines);
}

void CTextBuffer::Clear() {
    SetBytes({}, m_LineEnd);
}

std::string_view CTextBuffer::LineBytes(int line) const {
    if (line < 0 || line >= LineCount()) return {};
    return std::string_view(m_Bytes).substr(static_cast<size_t>(LineStart(line)),
                                            static_cast<size_t>(LineLength(line)));
}

QString CTextBuffer::LineText(int line) const {
    return DecodeCp1252(LineBytes(line));
}

int CTextBuffer::LineStart(int line) const {
    if (line < 0) return 0;
    if (line >= LineCount()) return Length();
    return static_cast<int>(m_Starts[static_cast<size_t>(line)]);
}

int CTextBuffer::LineLength(int line) const {
    if (line < 0 || line >= LineCount()) return 0;
    const size_t next = static_cast<size_t>(line) + 1;
    const uint32_t end = next < m_Starts.size() ? m_Starts[next] - 1 : static_cast<uint32_t>(m_Bytes.size());
    return static_cast<int>(end - m_Starts[static_cast<size_t>(line)]);
}

int CTextBuffer::LineOf(int position) const {
    if (position <= 0) return 0;
    const auto after = std::upper_bound(m_Starts.begin(), m_Starts.end(), static_cast<uint32_t>(position));
    return static_cast<int>(after - m_Starts.begin()) - 1;
}

ELineEnd CTextBuffer::LineEndOf(int line) const {
    if (line < 0 || line >= LineCount()) return m_LineEnd;
    return static_cast<ELineEnd>(m_Ends[static_cast<size_t>(line)]);
}

QString CTextBuffer::Text() const {
    return DecodeCp1252(m_Bytes);
}

QString CTextBuffer::TextBetween(int from, int to) const {
    from = std::clamp(from, 0, Length());
    to = std::clamp(to, from, Length());
    return DecodeCp1252(std::string_view(m_Bytes).substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
}

QChar CTextBuffer::CharAt(int position) const {
    if (position < 0 || position >= Length()) return {};
    return DecodeCp1252(std::string_view(m_Bytes).substr(static_cast<size_t>(position), 1)).at(0);
}

void CTextBuffer::Apply(int from, int to, std::string_view bytes, const uint8_t* ends,
                        std::vector<uint8_t>* removedEnds) {
    const int firstLine = LineOf(from);
    const int lastLine = LineOf(to);
    const auto first = static_cast<size_t>(firstLine);
    const auto last = static_cast<size_t>(lastLine);
    if (removedEnds)
        removedEnds->assign(m_Ends.begin() + static_cast<long>(first), m_Ends.begin() + static_cast<long>(last));
    // The line the edit leaves keeps the end of the last line it touched.
    const uint8_t lastEnd = m_Ends[last];
    std::vector<uint32_t> starts;
    std::vector<uint8_t> newEnds;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n') continue;
        starts.push_back(static_cast<uint32_t>(static_cast<size_t>(from) + i + 1));
        newEnds.push_back(ends ? ends[newEnds.size()] : static_cast<uint8_t>(m_LineEnd));
    }
    newEnds.push_back(lastEnd);
    m_Bytes.replace(static_cast<size_t>(from), static_cast<size_t>(to - from), bytes);
    // Unsigned arithmetic: a shrinking text moves the starts back modulo 2^32.
    const auto delta = static_cast<uint32_t>(static_cast<int64_t>(bytes.size()) - (to - from));
    for (size_t line = last + 1; line < m_Starts.size(); ++line) m_Starts[line] += delta;
    const auto startsAt = m_Starts.begin() + static_cast<long>(first) + 1;
    m_Starts.insert(m_Starts.erase(startsAt, m_Starts.begin() + static_cast<long>(last) + 1), starts.begin(),
                    starts.end());
    const auto endsAt = m_Ends.begin() + static_cast<long>(first);
    m_Ends.insert(m_Ends.erase(endsAt, m_Ends.begin() + static_cast<long>(last) + 1), newEnds.begin(), newEnds.end());
    emit contentsChange(from, to - from, static_cast<int>(bytes.size()));
}

void CTextBuffer::Record(SEdit edit, bool typing) {
    m_Steps.resize(m_nDone);
    if (m_nClean != NEVER_CLEAN && m_nClean > m_nDone) m_nClean = NEVER_CLEAN;
    if (m_nGroupDepth > 0 && m_bGroupOpen) {
        m_Steps.back().m_Edits.push_back(std::move(edit));
        return;
    }
    if (typing && m_nDone > 0 && m_nClean != m_nDone && m_Steps.back().m_bTyping) {
        SEdit& previous = m_Steps.back().m_Edits.back();
        const bool adjacent = previous.m_Removed.empty() && edit.m_Removed.empty() &&
                              previous.m_nPosition + static_cast<int>(previous.m_Inserted.size()) == edit.m_nPosition;
        if (adjacent && edit.m_Inserted.find('\n') == std::string::npos) {
            previous.m_Inserted += edit.m_Inserted;
            return;
        }
    }
    m_Steps.push_back({{std::move(edit)}, typing});
    ++m_nDone;
    if (m_nGroupDepth > 0) m_bGroupOpen = true;
}

void CTextBuffer::Replace(int from, int to, const QString& text) {
    from = std::clamp(from, 0, Length());
    to = std::clamp(to, from, Length());
    std::string bytes = BytesOf(text);
    if (from == to && bytes.empty()) return;
    const bool wasModified = IsModified();
    const bool couldUndo = IsUndoAvailable();
    const bool couldRedo = IsRedoAvailable();
    const int oldLines = LineCount();
    SEdit edit{from, m_Bytes.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)), {}, {}};
    Apply(from, to, bytes, nullptr, &edit.m_RemovedEnds);
    edit.m_Inserted = std::move(bytes);
    Record(std::move(edit), m_bTyping);
    EmitStateChanges(wasModified, couldUndo, couldRedo, oldLines);
}

void CTextBuffer::Type(int from, int to, const QString& text) {
    m_bTyping = true;
    Replace(from, to, text);
    m_bTyping = false;
}

void CTextBuffer::BeginGroup() {
    if (m_nGroupDepth++ == 0) m_bGroupOpen = false;
}

void CTextBuffer::EndGroup() {
    if (m_nGroupDepth > 0 && --m_nGroupDepth == 0) m_bGroupOpen = false;
}

int CTextBuffer::Undo() {
    if (!IsUndoAvailable()) return -1;
    const bool wasModified = IsModified();
    const bool couldRedo = IsRedoAvailable();
    const int oldLines = LineCount();
    const SStep& step = m_Steps[--m_nDone];
    int position = -1;
    for (auto edit = step.m_Edits.rbegin(); edit != step.m_Edits.rend(); ++edit) {
        Apply(edit->m_nPosition, edit->m_nPosition + static_cast<int>(edit->m_Inserted.size()), edit->m_Removed,
              edit->m_RemovedEnds.data(), nullptr);
        position = edit->m_nPosition + static_cast<int>(edit->m_Removed.size());
    }
    EmitStateChanges(wasModified, true, couldRedo, oldLines);
    return position;
}

int CTextBuffer::Redo() {
    if (!IsRedoAvailable()) return -1;
    const bool wasModified = IsModified();
    const bool couldUndo = IsUndoAvailable();
    const int oldLines = LineCount();
    const SStep& step = m_Steps[m_nDone++];
    int position = -1;
    for (const SEdit& edit : step.m_Edits) {
        Apply(edit.m_nPosition, edit.m_nPosition + static_cast<int>(edit.m_Removed.size()), edit.m_Inserted, nullptr,
              nullptr);
        position = edit.m_nPosition + static_cast<int>(edit.m_Inserted.size());
    }
    EmitStateChanges(wasModified, couldUndo, true, oldLines);
    return position;
}

void CTextBuffer::SetModified(bool modified) {
    const bool wasModified = IsModified();
    m_nClean = modified ? NEVER_CLEAN : m_nDone;
    if (modified != wasModified) emit modificationChanged(modified);
}

void CTextBuffer::EmitStateChanges(bool wasModified, bool couldUndo, bool couldRedo, int oldLines) {
    if (LineCount() != oldLines) emit lineCountChanged(LineCount());
    if (IsModified() != wasModified) emit modificationChanged(IsModified());
    if (IsUndoAvailable() != couldUndo) emit undoAvailable(IsUndoAvailable());
    if (IsRedoAvailable() != couldRedo) emit redoAvailable(IsRedoAvailable());
}

int CTextBuffer::Find(const QString& text, int from, QTextDocument::FindFlags flags) const {
    if (text.isEmpty()) return -1;
    const std::string needle = EncodeCp1252(text);
    // A character the code page lacks cannot be in the text.
    if (DecodeCp1252(needle) != text) return -1;
    const SByteClasses& classes = ByteClasses();
    const bool caseSensitive = flags & QTextDocument::FindCaseSensitively;
    const auto same = [&](char a, char b) {
        return caseSensitive
                   ? a == b
                   : classes.m_Fold[static_cast<unsigned char>(a)] == classes.m_Fold[static_cast<unsigned char>(b)];
    };
    const auto isWord = [&](size_t at) { return classes.m_bWordChar[static_cast<unsigned char>(m_Bytes[at])]; };
    const auto whole = [&](size_t at) {
        if (!(flags & QTextDocument::FindWholeWords)) return true;
        const size_t end = at + needle.size();
        return !(at > 0 && isWord(at - 1)) && !(end < m_Bytes.size() && isWord(end));
    };
    if (needle.size() > m_Bytes.size()) return -1;
    const size_t lastStart = m_Bytes.size() - needle.size();
    if (flags & QTextDocument::FindBackward) {
        if (from < 0) return -1;
        for (size_t at = std::min(static_cast<size_t>(from), lastStart) + 1; at-- > 0;)
            if (std::equal(needle.begin(), needle.end(), m_Bytes.begin() + static_cast<long>(at), same) && whole(at))
                return static_cast<int>(at);
        return -1;
    }
    auto at = m_Bytes.begin() + std::clamp<long>(from, 0, static_cast<long>(m_Bytes.size()));
    while (true) {
        at = std::search(at, m_Bytes.end(), needle.begin(), needle.end(), same);
        if (at == m_Bytes.end()) return -1;
        const auto start = static_cast<size_t>(at - m_Bytes.begin());
        if (whole(start)) return static_cast<int>(start);
        ++at;
    }
}
