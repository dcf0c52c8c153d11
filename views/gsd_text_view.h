#pragma once
// The text pane of a document window: the GSD text in a fixed font with tab
// stops and no word wrap, coloured by the document's highlighter, with line
// numbers in a gutter and the caret's line highlighted. Reports the caret,
// selects lines on request, marks the findings of a check in the text, zooms,
// refuses dropped files and prints with a header and a footer.

#include <QPlainTextEdit>
#include <QTextCursor>
#include <vector>

#include "base/check_message.h"

class CTalunaDoc;
class CTextGutter;
class QPrinter;

// A finding of a check as the text shows it: the key of its line underlined
// (the positions follow the text through edits), a mark in the gutter and its
// message as tooltip.
struct STextFinding {
    int m_nStart = 0;  // the key's characters in the text, [m_nStart, m_nEnd)
    int m_nEnd = 0;
    int m_nKind = CheckMessageKind::Info;
    QString m_Text;
};

class CGSDTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CGSDTextView(CTalunaDoc* document, QWidget* parent = nullptr);

    CTalunaDoc* GetDocument() const { return m_pDoc; }
    // Makes 0-based line `line` the first visible line and selects its text;
    // ignored beyond the last line.
    void SelectLine(int line);
    // Paints the whole text onto `printer` with the page header and footer.
    void PrintDocument(QPrinter* printer);

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

    // Marks the findings of `messages` that belong to this pane's document and
    // name a line; replaces the marks of the previous check.
    void SetFindings(const std::vector<CCheckMessage>& messages);
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

    // Find Next and Find Previous: the next occurrence after (before) the
    // caret, going on from the other end of the text when there is none;
    // false when the text holds none.
    bool FindAgain(const QString& text, QTextDocument::FindFlags flags);

    // The gutter: its width, and its painting and tooltips.
    CTextGutter* Gutter() const { return m_pGutter; }
    int GutterWidth() const;
    void PaintGutter(QPaintEvent* event);
    // The 0-based line at height `y` of the viewport, or -1.
    int LineAtY(int y) const;

signals:
    // The user double-clicked into a line (the tree selects its key).
    void lineDoubleClicked(int line);
    // A key that would change the text was pressed while the text is read-only.
    void editRefused();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void ReportCaret();
    void HighlightCurrentLine();
    void UpdateGutterWidth();
    void UpdateGutter(const QRect& rect, int dy);
    // The findings whose key starts within [from, to), as indices into m_Findings.
    std::pair<size_t, size_t> FindingsBetween(int from, int to) const;
    void PaintFindings(QPaintEvent* event);
    // Moves the findings with an edit of the text.
    void MoveFindings(int position, int removed, int added);

    CTalunaDoc* m_pDoc;
    CTextGutter* m_pGutter;
    int m_nZoom = 0;
    // In text order, which edits keep. Plain positions rather than text
    // cursors: the document would move thousands of cursors on every key.
    std::vector<STextFinding> m_Findings;
};
