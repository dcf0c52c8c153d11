#pragma once
// The text of a document: its Windows-1252 bytes, one byte a character, the
// lines joined by '\n' in one buffer with the start of every line beside it,
// each line with the line end it is written back with, and the undo history.
// A file of millions of short lines costs a few bytes a line here; the text
// pane lays out and colours only the lines it shows.
//
// Positions count characters from the start of the text, the '\n' between two
// lines included (line 1 starts at LineStart(0) + LineLength(0) + 1).

#include <QObject>
#include <QString>
#include <QTextDocument>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/text_lines.h"

class CTextBuffer : public QObject {
    Q_OBJECT
public:
    explicit CTextBuffer(QObject* parent = nullptr);

    // Replaces the whole text by the lines of `bytes` (CR LF, LF or a lone CR end
    // a line; each keeps its own end). Clears the undo history and the modified
    // flag. `lineEnd` is the end of lines typed later and of a last line that
    // had none.
    void SetBytes(std::string_view bytes, ELineEnd lineEnd);
    void Clear();

    int LineCount() const { return static_cast<int>(m_Starts.size()); }
    // The characters of the text, the '\n' between lines included.
    int Length() const { return static_cast<int>(m_Bytes.size()); }
    bool IsEmpty() const { return m_Bytes.empty(); }
    // Line `line` without its end; empty beyond the last line.
    std::string_view LineBytes(int line) const;
    QString LineText(int line) const;
    int LineStart(int line) const;
    int LineLength(int line) const;
    // The line that holds `position` (a '\n' belongs to the line it ends).
    int LineOf(int position) const;
    ELineEnd LineEndOf(int line) const;
    // All lines joined by '\n', as bytes and as text.
    std::string_view Bytes() const { return m_Bytes; }
    QString Text() const;
    QString TextBetween(int from, int to) const;
    QChar CharAt(int position) const;
    const std::vector<uint32_t>& LineStarts() const { return m_Starts; }

    // Replaces the characters [from, to) by `text` (CR LF and lone CRs become
    // line breaks; a character the code page lacks becomes '?'), as an undo
    // step of its own unless a group is open. Emits contentsChange.
    void Replace(int from, int to, const QString& text);
    void Insert(int position, const QString& text) { Replace(position, position, text); }
    void Remove(int from, int to) { Replace(from, to, QString()); }
    // Typing: consecutive characters typed one after another undo as one step.
    void Type(int from, int to, const QString& text);
    // The edits between these two calls undo as one step; groups may nest.
    void BeginGroup();
    void EndGroup();

    bool IsUndoAvailable() const { return m_nDone > 0; }
    bool IsRedoAvailable() const { return m_nDone < m_Steps.size(); }
    // Undo and Redo return the position after the step's last change, or -1.
    int Undo();
    int Redo();

    bool IsModified() const { return m_nDone != m_nClean; }
    void SetModified(bool modified);

    // The next occurrence of `text` that starts at or after `from` (FindBackward:
    // the last that starts at or before `from`), as its start; -1 when there is none. Flags as Qt's
    // text document takes them: FindCaseSensitively, FindWholeWords, FindBackward.
    int Find(const QString& text, int from, QTextDocument::FindFlags flags) const;

signals:
    // `added` characters replaced `removed` at `position`, as QTextDocument says it.
    void contentsChange(int position, int removed, int added);
    // The number of lines changed.
    void lineCountChanged(int count);
    void modificationChanged(bool modified);
    void undoAvailable(bool available);
    void redoAvailable(bool available);

private:
    struct SEdit {
        int m_nPosition;
        std::string m_Removed;  // with the line ends of the removed lines, one byte each
        std::string m_Inserted;
        std::vector<uint8_t> m_RemovedEnds;  // ELineEnd of every line break removed
    };
    struct SStep {
        std::vector<SEdit> m_Edits;
        bool m_bTyping = false;
    };

    // Replaces [from, to) by `bytes` (lines joined by '\n') without undo; the
    // new line breaks take `ends` in order, or the default line end.
    void Apply(int from, int to, std::string_view bytes, const uint8_t* ends, std::vector<uint8_t>* removedEnds);
    void Record(SEdit edit, bool typing);
    void EmitStateChanges(bool wasModified, bool couldUndo, bool couldRedo, int oldLines);

    std::string m_Bytes;
    std::vector<uint32_t> m_Starts;  // where every line starts
    std::vector<uint8_t> m_Ends;     // the ELineEnd of every line
    ELineEnd m_LineEnd = ELineEnd::CrLf;
    std::vector<SStep> m_Steps;
    size_t m_nDone = 0;   // steps done; the others can be redone
    size_t m_nClean = 0;  // steps done when last loaded or saved; SIZE_MAX: never
    int m_nGroupDepth = 0;
    bool m_bGroupOpen = false;  // the current group has a step already
    bool m_bTyping = false;     // the edit being made is typing
};
