#pragma once
// The text pane of a document window: the document's text in a fixed font
// with tab stops and no word wrap, coloured by the document's highlighter,
// with line numbers in a gutter and the caret's line highlighted. Lays out and
// colours only the lines it shows, so that a file of millions of lines opens
// at once. Edits go to the document's text (CTextBuffer), which keeps the undo
// history. Reports the caret, selects lines on request, marks the findings of
// a check in the text, zooms, refuses dropped files and prints with a header
// and a footer.

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <vector>

#include "base/check_message.h"
#include "views/finding_recorder.h"

class CTalunaDoc;
class CTextBuffer;
class CTextGutter;
class QPrinter;

// A finding of a check as the text shows it: the key of its line underlined
// (the positions follow the text through edits), a mark in the gutter and its
// message as tooltip.
struct STextFinding {
    int m_nStart = 0;  // the key's characters in the text, [m_nStart, m_nEnd)
    int m_nEnd = 0;
    int m_nKind = CheckMessageKind::Info;
    uint32_t m_nText = 0;  // its message, in the pane's finding texts
};

class CGSDTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CGSDTextView(CTalunaDoc* document, QWidget* parent = nullptr);

    CTalunaDoc* GetDocument() const { return m_pDoc; }
    CTextBuffer* Text() const { return m_pText; }
    // Makes 0-based line `line` the first visible line and selects its text;
    // ignored beyond the last line.
    void SelectLine(int line);
    // Paints the whole text onto `printer` with the page header and footer.
    void PrintDocument(QPrinter* printer);

    // The caret and the selection, as positions in the text: the selection runs
    // from the anchor to the caret.
    int CaretPosition() const { return m_nCaret; }
    int AnchorPosition() const { return m_nAnchor; }
    int CaretLine() const;
    bool HasSelection() const { return m_nCaret != m_nAnchor; }
    int SelectionStart() const { return std::min(m_nCaret, m_nAnchor); }
    int SelectionEnd() const { return std::max(m_nCaret, m_nAnchor); }
    QString SelectedText() const;
    // Moves the caret, keeping the anchor or with it; the caret is kept visible.
    void SetCaretPosition(int position, bool keepAnchor = false);
    void SetSelection(int anchor, int position);
    // Replaces the selection by `text` as the user's edit (ignored read-only).
    void InsertText(const QString& text);
    // The caret's rectangle, and line `line`'s, in the viewport.
    QRect CaretRect() const;
    QRect LineRect(int line) const;
    int FirstVisibleLine() const;

    bool IsReadOnly() const { return m_bReadOnly; }
    void SetReadOnly(bool readOnly);

    // The font of every text pane (Extras, Settings); a pane shows it enlarged
    // or reduced by its own zoom steps.
    static QFont DefaultEditorFont();
    static QFont EditorFont();
    static void SetEditorFont(const QFont& font);
    // Takes the editor font again, keeping the pane's zoom steps.
    void ApplyEditorFont();
    // Zoom steps of one point each; ZoomReset goes back to the editor font.
    void ZoomIn();
    void ZoomOut();
    void ZoomReset();
    int ZoomSteps() const { return m_nZoom; }

    // Marks `findings` (lines of this pane's document, their messages in
    // `texts`); replaces the marks of the previous check.
    void SetFindings(const std::vector<SLineFinding>& findings, const CTextTable& texts);
    void ClearFindings();
    const std::vector<STextFinding>& Findings() const { return m_Findings; }
    // The key a finding underlines, and its 0-based line.
    QString FindingKey(const STextFinding& finding) const;
    int FindingLine(const STextFinding& finding) const;
    // The messages of the findings on 0-based line `line`, one a line; empty
    // when the line has none.
    QString FindingsTextAt(int line) const;
    // The kind the gutter shows for line `line` (the gravest of its findings),
    // or CheckMessageKind::Note when the line has none.
    int FindingKindAt(int line) const;

    // The next occurrence after (before) the selection, which it selects;
    // false when there is none.
    bool Find(const QString& text, QTextDocument::FindFlags flags);
    // Find Next and Find Previous: Find, going on from the other end of the
    // text when there is none; false when the text holds none.
    bool FindAgain(const QString& text, QTextDocument::FindFlags flags);

    // The gutter: its width, and its painting and tooltips.
    CTextGutter* Gutter() const { return m_pGutter; }
    int GutterWidth() const;
    void PaintGutter(QPaintEvent* event);
    // The 0-based line at height `y` of the viewport, or -1.
    int LineAtY(int y) const;

public slots:
    void Undo();
    void Redo();
    void Cut();
    void Copy();
    void Paste();
    void SelectAll();

signals:
    void cursorPositionChanged();
    void selectionChanged();
    // The user double-clicked into a line (the tree selects its key).
    void lineDoubleClicked(int line);
    // A key that would change the text was pressed while the text is read-only.
    void editRefused();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // Tab is typed into an editable text rather than moving the focus.
    bool focusNextPrevChild(bool next) override;
    bool viewportEvent(QEvent* event) override;
    // The editing keys go to the pane before the window's shortcuts, so that
    // a read-only pane can say why it refuses them.
    bool event(QEvent* event) override;

private:
    // The line laid out as the pane shows it, with its colours.
    void LayOut(QTextLayout& layout, int line) const;
    // The position under a point of the viewport.
    int PositionAt(const QPoint& point) const;
    // The x of a position within its line, in the text's coordinates.
    qreal XOf(int position) const;
    int LineHeight() const;
    int VisibleLines() const;
    void UpdateScrollBars();
    void EnsureCaretVisible();
    // Replaces the selection by `text` (typing: as a keystroke, which undoes
    // together with the keystrokes before it) and puts the caret after it.
    void ReplaceSelection(const QString& text, bool typing);
    // Where Ctrl+Left (Ctrl+Right) goes from `position`: over the blanks, then
    // over the word before (after) it; one character when there is neither.
    int WordBoundaryBefore(int position) const;
    int WordBoundaryAfter(int position) const;
    // Moves the caret for a navigation key; false when the key is none.
    bool Navigate(QKeyEvent* event);
    void OnTextChanged(int position, int removed, int added);
    void RestartBlink();
    void ReportCaret();
    void UpdateGutterWidth();
    // The findings whose key starts within [from, to), as indices into m_Findings.
    std::pair<size_t, size_t> FindingsBetween(int from, int to) const;
    void PaintFindings(QPainter& painter, int line, const QTextLayout& layout, const QPointF& origin);

    CTalunaDoc* m_pDoc;
    CTextBuffer* m_pText;
    CTextGutter* m_pGutter;
    int m_nZoom = 0;
    int m_nCaret = 0;
    int m_nAnchor = 0;
    qreal m_PreferredX = -1;  // the column Up and Down keep, or -1
    int m_nLongestLine = 0;   // characters of the longest line seen
    bool m_bReadOnly = false;
    bool m_bCaretShown = true;
    QBasicTimer m_Blink;
    QBasicTimer m_AutoScroll;       // while a drag selects beyond the pane's edge
    QPoint m_DragPoint;             // where that drag is
    qint64 m_nLastDoubleClick = 0;  // a press soon after it, at its place, is a triple click
    QPoint m_DoubleClickPoint;
    QBasicTimer m_MeasureLines;  // measures the longest line again after removals
    // In text order, which edits keep. Plain positions: the text moves them.
    std::vector<STextFinding> m_Findings;
    std::vector<QString> m_FindingTexts;
};
