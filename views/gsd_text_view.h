#pragma once
// The text pane of a document window: the GSD text in a fixed font with tab
// stops and no word wrap, coloured by the document's highlighter. Reports the
// caret, selects lines on request, writes edited key entries back, refuses
// dropped files and prints with a header and a footer.

#include <QPlainTextEdit>

class CTalunaDoc;
class CKeyEntry;
class QPrinter;

class CGSDTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CGSDTextView(CTalunaDoc* document, QWidget* parent = nullptr);

    CTalunaDoc* GetDocument() const { return m_pDoc; }
    // Makes 0-based line `line` the first visible line and selects its text;
    // ignored beyond the last line.
    void SelectLine(int line);
    // Replaces the entry's lines by its keyword and value (one undo step) and
    // updates its last line. False when an old line is too long (message shown).
    bool WriteBackEntry(CKeyEntry& entry);
    // Paints the whole text onto `printer` with the page header and footer.
    void PrintDocument(QPrinter* printer);

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

private:
    void ReportCaret();

    CTalunaDoc* m_pDoc;
};
