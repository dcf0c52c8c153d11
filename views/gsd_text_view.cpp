#include "views/gsd_text_view.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolTip>
#include <algorithm>
#include <memory>

#include "app/cp1252.h"
#include "app/qt_seams.h"
#include "app/taluna_doc.h"
#include "app/text_buffer.h"
#include "base/text_util.h"
#include "views/gsd_highlighter.h"
#include "views/list_box_bar.h"
#include "views/text_gutter.h"

namespace {

constexpr int TAB_STOP_TWIPS = 288;
constexpr int PRINT_MARGIN_TWIPS = 720;
constexpr double TWIPS_PER_INCH = 1440.0;
// Room of the gutter's finding mark, left of the numbers, and around the numbers.
constexpr int GUTTER_MARK = 16;
constexpr int GUTTER_PADDING = 4;
// Room between the gutter and the text.
constexpr int TEXT_MARGIN = 4;
constexpr int MIN_POINT_SIZE = 4;
constexpr int MAX_POINT_SIZE = 72;
// A key is never longer than a line may be: an edit moves only the findings
// that start after this many characters before it.
constexpr int MAX_KEY_SPAN = 1024;
// How long after the last removal the longest line is measured again.
constexpr int MEASURE_DELAY_MS = 300;
// How often a drag beyond the pane's edge scrolls it.
constexpr int AUTO_SCROLL_MS = 50;
// Wide enough for any line: the pane does not wrap.
constexpr qreal UNWRAPPED_WIDTH = 1e6;

QFont& SharedEditorFont() {
    static QFont font = CGSDTextView::DefaultEditorFont();
    return font;
}

// How grave a kind of finding is; the gutter shows the gravest of a line.
int Gravity(int kind) {
    switch (kind) {
        case CheckMessageKind::FatalError: return 4;
        case CheckMessageKind::Error: return 3;
        case CheckMessageKind::Warning: return 2;
        case CheckMessageKind::Info: return 1;
        default: return 0;
    }
}

QColor UnderlineColour(int kind) {
    switch (kind) {
        case CheckMessageKind::FatalError:
        case CheckMessageKind::Error: return QColor(220, 30, 30);
        case CheckMessageKind::Warning: return QColor(230, 150, 0);
        default: return QColor(30, 100, 200);
    }
}

// The key of a line: from its first character that is no blank up to the
// first '=', ';' or blank after it ("Ident_Number", "Bit(0)"); [n, n) for a
// blank line.
std::pair<int, int> KeyRange(std::string_view line) {
    const int size = static_cast<int>(line.size());
    int start = 0;
    while (start < size && IsSpaceByte(line[static_cast<size_t>(start)])) ++start;
    int end = start;
    const int limit = std::min(size, start + MAX_KEY_SPAN);
    while (end < limit && line[static_cast<size_t>(end)] != '=' && line[static_cast<size_t>(end)] != ';' &&
           !IsSpaceByte(line[static_cast<size_t>(end)]))
        ++end;
    // A line that starts with '=' or ';': the mark goes under that character.
    if (end == start && start < size) end = start + 1;
    return {start, end};
}

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QChar('_');
}

// Whether a key would change the text of an editable view.
bool IsEditingKey(const QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
        event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
        event->matches(QKeySequence::Delete) || event->matches(QKeySequence::DeleteStartOfWord) ||
        event->matches(QKeySequence::DeleteEndOfWord) || event->matches(QKeySequence::DeleteEndOfLine) ||
        (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier))
        return true;
    switch (event->key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
        case Qt::Key_Return:
        case Qt::Key_Enter: return true;
        default: break;
    }
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint() &&
           (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
}

}  // namespace

CGSDTextView::CGSDTextView(CTalunaDoc* document, QWidget* parent)
    : QAbstractScrollArea(parent), m_pDoc(document), m_pText(document->Text()) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    m_bReadOnly = document->IsReadOnlyView();
    m_pGutter = new CTextGutter(this);
    connect(m_pText, &CTextBuffer::contentsChange, this, &CGSDTextView::OnTextChanged);
    connect(m_pText, &CTextBuffer::lineCountChanged, this, &CGSDTextView::UpdateGutterWidth);
    connect(document->Highlighter(), &CGSDHighlighter::profileChanged, viewport(), qOverload<>(&QWidget::update));
    // A reload replaces the text the marks were found in.
    connect(document, &CTalunaDoc::aboutToReload, this, &CGSDTextView::ClearFindings);
    // The key form's Apply edits the document; the caret goes to the end of
    // the lines it wrote.
    connect(document, &CTalunaDoc::entryWrittenBack, this, [this](int position) { SetCaretPosition(position); });
    OnTextChanged(0, 0, m_pText->Length());
    ApplyEditorFont();
}

QFont CGSDTextView::DefaultEditorFont() {
    QFont font("Courier New", 10);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QFont CGSDTextView::EditorFont() {
    return SharedEditorFont();
}

void CGSDTextView::SetEditorFont(const QFont& font) {
    SharedEditorFont() = font;
}

void CGSDTextView::ApplyEditorFont() {
    QFont font = EditorFont();
    const int base = font.pointSize() > 0 ? font.pointSize() : 10;
    font.setPointSize(std::clamp(base + m_nZoom, MIN_POINT_SIZE, MAX_POINT_SIZE));
    setFont(font);
    m_pGutter->setFont(font);
    UpdateGutterWidth();
    UpdateScrollBars();
    viewport()->update();
}

void CGSDTextView::ZoomIn() {
    const int base = EditorFont().pointSize() > 0 ? EditorFont().pointSize() : 10;
    if (base + m_nZoom >= MAX_POINT_SIZE) return;
    ++m_nZoom;
    ApplyEditorFont();
}

void CGSDTextView::ZoomOut() {
    const int base = EditorFont().pointSize() > 0 ? EditorFont().pointSize() : 10;
    if (base + m_nZoom <= MIN_POINT_SIZE) return;
    --m_nZoom;
    ApplyEditorFont();
}

void CGSDTextView::ZoomReset() {
    m_nZoom = 0;
    ApplyEditorFont();
}

void CGSDTextView::SetReadOnly(bool readOnly) {
    m_bReadOnly = readOnly;
    viewport()->update();
}

// ---------------------------------------------------------------- geometry

int CGSDTextView::LineHeight() const {
    return std::max(1, QFontMetrics(font()).lineSpacing());
}

int CGSDTextView::VisibleLines() const {
    return std::max(1, viewport()->height() / LineHeight());
}

int CGSDTextView::FirstVisibleLine() const {
    return verticalScrollBar()->value();
}

int CGSDTextView::CaretLine() const {
    return m_pText->LineOf(m_nCaret);
}

void CGSDTextView::LayOut(QTextLayout& layout, int line) const {
    const std::string_view bytes = m_pText->LineBytes(line);
    layout.setText(DecodeCp1252(bytes));
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(TAB_STOP_TWIPS * logicalDpiX() / TWIPS_PER_INCH);
    layout.setTextOption(option);
    layout.setFormats(m_pDoc->Highlighter()->Formats(bytes));
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    if (textLine.isValid()) {
        textLine.setLineWidth(UNWRAPPED_WIDTH);
        textLine.setPosition(QPointF(0, 0));
    }
    layout.endLayout();
}

qreal CGSDTextView::XOf(int position) const {
    const int line = m_pText->LineOf(position);
    QTextLayout layout;
    LayOut(layout, line);
    const QTextLine textLine = layout.lineAt(0);
    return textLine.isValid() ? textLine.cursorToX(position - m_pText->LineStart(line)) : 0;
}

int CGSDTextView::PositionAt(const QPoint& point) const {
    const int line = std::clamp(
        FirstVisibleLine() + (point.y() < 0 ? -1 - (-point.y() - 1) / LineHeight() : point.y() / LineHeight()), 0,
        m_pText->LineCount() - 1);
    QTextLayout layout;
    LayOut(layout, line);
    const QTextLine textLine = layout.lineAt(0);
    const qreal x = point.x() + horizontalScrollBar()->value() - TEXT_MARGIN;
    const int column = textLine.isValid() ? textLine.xToCursor(x) : 0;
    return m_pText->LineStart(line) + std::clamp(column, 0, m_pText->LineLength(line));
}

QRect CGSDTextView::CaretRect() const {
    const int x = static_cast<int>(XOf(m_nCaret)) - horizontalScrollBar()->value() + TEXT_MARGIN;
    return QRect(x, (CaretLine() - FirstVisibleLine()) * LineHeight(), 1, LineHeight());
}

QRect CGSDTextView::LineRect(int line) const {
    const int left = TEXT_MARGIN - horizontalScrollBar()->value();
    return QRect(left, (line - FirstVisibleLine()) * LineHeight(), viewport()->width() - left, LineHeight());
}

int CGSDTextView::LineAtY(int y) const {
    if (y < 0) return -1;
    const int line = FirstVisibleLine() + y / LineHeight();
    return line < m_pText->LineCount() ? line : -1;
}

void CGSDTextView::UpdateScrollBars() {
    const int visible = VisibleLines();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, std::max(0, m_pText->LineCount() - visible));
    vertical->setPageStep(visible);
    vertical->setSingleStep(1);
    const int charWidth = std::max(1, QFontMetrics(font()).horizontalAdvance(QChar('W')));
    const int width = m_nLongestLine * charWidth + 2 * TEXT_MARGIN + charWidth;
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, width - viewport()->width()));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(charWidth);
}

void CGSDTextView::EnsureCaretVisible() {
    const int line = CaretLine();
    const int top = FirstVisibleLine();
    const int visible = VisibleLines();
    if (line < top)
        verticalScrollBar()->setValue(line);
    else if (line >= top + visible)
        verticalScrollBar()->setValue(line - visible + 1);
    const int x = static_cast<int>(XOf(m_nCaret)) + TEXT_MARGIN;
    QScrollBar* horizontal = horizontalScrollBar();
    const int room = viewport()->width();
    const int charWidth = horizontal->singleStep();
    if (x - TEXT_MARGIN < horizontal->value()) {
        horizontal->setValue(std::max(0, x - TEXT_MARGIN - room / 4));
    } else if (x + charWidth > horizontal->value() + room) {
        if (x + charWidth > horizontal->maximum() + room) horizontal->setMaximum(x + charWidth - room + room / 4);
        horizontal->setValue(x + charWidth - room + room / 4);
    }
}

void CGSDTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    const QRect area = contentsRect();
    m_pGutter->setGeometry(QRect(area.left(), area.top(), GutterWidth(), area.height()));
    UpdateScrollBars();
}

bool CGSDTextView::focusNextPrevChild(bool next) {
    if (!m_bReadOnly) return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void CGSDTextView::scrollContentsBy(int, int) {
    viewport()->update();
    m_pGutter->update();
}

int CGSDTextView::GutterWidth() const {
    int digits = 1;
    for (int count = std::max(1, m_pText->LineCount()); count >= 10; count /= 10) ++digits;
    QFont bold = m_pGutter->font();
    bold.setBold(true);
    return GUTTER_MARK + 2 * GUTTER_PADDING + QFontMetrics(bold).horizontalAdvance(QChar('9')) * digits;
}

void CGSDTextView::UpdateGutterWidth() {
    setViewportMargins(GutterWidth(), 0, 0, 0);
    const QRect area = contentsRect();
    m_pGutter->setGeometry(QRect(area.left(), area.top(), GutterWidth(), area.height()));
    m_pGutter->update();
}

// ---------------------------------------------------------------- the text changes

void CGSDTextView::OnTextChanged(int position, int removed, int added) {
    const int removedEnd = position + removed;
    const int delta = added - removed;
    // A position in the removed text goes to where the change starts; the
    // positions after it move by the change in length.
    const auto move = [&](int& at) {
        if (at >= removedEnd)
            at += delta;
        else if (at > position)
            at = position;
    };
    const int oldCaret = m_nCaret;
    const int oldAnchor = m_nAnchor;
    move(m_nCaret);
    move(m_nAnchor);
    m_nCaret = std::clamp(m_nCaret, 0, m_pText->Length());
    m_nAnchor = std::clamp(m_nAnchor, 0, m_pText->Length());
    if (!m_Findings.empty() && removed != added) {
        const auto first = std::lower_bound(m_Findings.begin(), m_Findings.end(), position - MAX_KEY_SPAN,
                                            [](const STextFinding& f, int at) { return f.m_nStart < at; });
        for (auto it = first; it != m_Findings.end(); ++it) {
            move(it->m_nStart);
            move(it->m_nEnd);
        }
    }
    // The longest line grows with the lines an edit touched; after a removal
    // every line is measured again once the edits pause.
    if (position == 0 && removed > 0 && added > 0 && removed + added > m_pText->Length() / 2) m_nLongestLine = 0;
    const int lastLine = m_pText->LineOf(position + added);
    for (int line = m_pText->LineOf(position); line <= lastLine; ++line)
        m_nLongestLine = std::max(m_nLongestLine, m_pText->LineLength(line));
    if (removed > 0) m_MeasureLines.start(MEASURE_DELAY_MS, this);
    UpdateScrollBars();
    viewport()->update();
    m_pGutter->update();
    if (m_nCaret != oldCaret || m_nAnchor != oldAnchor) ReportCaret();
}

// ---------------------------------------------------------------- caret and selection

QString CGSDTextView::SelectedText() const {
    return m_pText->TextBetween(SelectionStart(), SelectionEnd());
}

void CGSDTextView::SetSelection(int anchor, int position) {
    SetCaretPosition(anchor);
    SetCaretPosition(position, true);
}

void CGSDTextView::SetCaretPosition(int position, bool keepAnchor) {
    const bool hadSelection = HasSelection();
    const int oldCaret = m_nCaret;
    const int oldAnchor = m_nAnchor;
    m_nCaret = std::clamp(position, 0, m_pText->Length());
    if (!keepAnchor) m_nAnchor = m_nCaret;
    m_PreferredX = -1;
    EnsureCaretVisible();
    RestartBlink();
    viewport()->update();
    m_pGutter->update();
    if (m_nCaret != oldCaret || m_nAnchor != oldAnchor) {
        ReportCaret();
        if (HasSelection() || hadSelection) emit selectionChanged();
    }
}

void CGSDTextView::ReportCaret() {
    const int line = CaretLine();
    m_pDoc->SetCaret(line, SelectionEnd() - m_pText->LineStart(line));
    emit cursorPositionChanged();
}

void CGSDTextView::SelectLine(int line) {
    if (line < 0 || line >= m_pText->LineCount()) return;
    const int start = m_pText->LineStart(line);
    SetSelection(start, start + m_pText->LineLength(line));
    verticalScrollBar()->setValue(line);
    // The line is read from its start, also when it is wider than the pane.
    horizontalScrollBar()->setValue(0);
}

void CGSDTextView::SelectAll() {
    SetSelection(0, m_pText->Length());
}

void CGSDTextView::RestartBlink() {
    m_bCaretShown = true;
    if (hasFocus()) {
        const int flash = QApplication::cursorFlashTime();
        if (flash > 0)
            m_Blink.start(flash / 2, this);
        else
            m_Blink.stop();
    }
}

void CGSDTextView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_MeasureLines.timerId()) {
        m_MeasureLines.stop();
        int longest = 0;
        for (int line = 0; line < m_pText->LineCount(); ++line) longest = std::max(longest, m_pText->LineLength(line));
        m_nLongestLine = longest;
        UpdateScrollBars();
        return;
    }
    if (event->timerId() == m_AutoScroll.timerId()) {
        if (!(QApplication::mouseButtons() & Qt::LeftButton) || viewport()->rect().contains(m_DragPoint)) {
            m_AutoScroll.stop();
            return;
        }
        SetCaretPosition(PositionAt(m_DragPoint), true);
        return;
    }
    if (event->timerId() != m_Blink.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    m_bCaretShown = !m_bCaretShown;
    viewport()->update(CaretRect().adjusted(-2, 0, 2, 0));
}

void CGSDTextView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    RestartBlink();
    viewport()->update();
}

void CGSDTextView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    m_Blink.stop();
    viewport()->update();
}

// ---------------------------------------------------------------- editing

void CGSDTextView::InsertText(const QString& text) {
    ReplaceSelection(text, false);
}

void CGSDTextView::ReplaceSelection(const QString& text, bool typing) {
    if (m_bReadOnly) return;
    const int start = SelectionStart();
    const int end = SelectionEnd();
    const int before = m_pText->Length();
    if (typing)
        m_pText->Type(start, end, text);
    else
        m_pText->Replace(start, end, text);
    // The caret goes after the new text, whose length the buffer decides
    // (a CR LF is one line break).
    SetCaretPosition(start + m_pText->Length() - before + (end - start));
}

void CGSDTextView::Undo() {
    if (m_bReadOnly) return;
    const int position = m_pText->Undo();
    if (position >= 0) SetCaretPosition(position);
}

void CGSDTextView::Redo() {
    if (m_bReadOnly) return;
    const int position = m_pText->Redo();
    if (position >= 0) SetCaretPosition(position);
}

void CGSDTextView::Copy() {
    if (HasSelection()) QApplication::clipboard()->setText(SelectedText());
}

void CGSDTextView::Cut() {
    if (m_bReadOnly || !HasSelection()) return;
    Copy();
    InsertText(QString());
}

void CGSDTextView::Paste() {
    if (m_bReadOnly) return;
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty()) InsertText(text);
}

int CGSDTextView::WordBoundaryBefore(int position) const {
    int at = position;
    while (at > 0 && m_pText->CharAt(at - 1).isSpace() && m_pText->CharAt(at - 1) != QChar('\n')) --at;
    while (at > 0 && IsWordChar(m_pText->CharAt(at - 1))) --at;
    return at == position ? std::max(0, position - 1) : at;
}

int CGSDTextView::WordBoundaryAfter(int position) const {
    int at = position;
    while (at < m_pText->Length() && IsWordChar(m_pText->CharAt(at))) ++at;
    while (at < m_pText->Length() && m_pText->CharAt(at).isSpace() && m_pText->CharAt(at) != QChar('\n')) ++at;
    return at == position ? std::min(m_pText->Length(), position + 1) : at;
}

bool CGSDTextView::Navigate(QKeyEvent* event) {
    enum EMove { Left, Right, WordLeft, WordRight, Up, Down, PageUp, PageDown, LineStart, LineEnd, Start, End };
    struct SKey {
        QKeySequence::StandardKey m_Key;
        EMove m_Move;
        bool m_bSelect;
    };
    static const SKey keys[] = {
        {QKeySequence::MoveToPreviousChar, Left, false},      {QKeySequence::SelectPreviousChar, Left, true},
        {QKeySequence::MoveToNextChar, Right, false},         {QKeySequence::SelectNextChar, Right, true},
        {QKeySequence::MoveToPreviousWord, WordLeft, false},  {QKeySequence::SelectPreviousWord, WordLeft, true},
        {QKeySequence::MoveToNextWord, WordRight, false},     {QKeySequence::SelectNextWord, WordRight, true},
        {QKeySequence::MoveToPreviousLine, Up, false},        {QKeySequence::SelectPreviousLine, Up, true},
        {QKeySequence::MoveToNextLine, Down, false},          {QKeySequence::SelectNextLine, Down, true},
        {QKeySequence::MoveToPreviousPage, PageUp, false},    {QKeySequence::SelectPreviousPage, PageUp, true},
        {QKeySequence::MoveToNextPage, PageDown, false},      {QKeySequence::SelectNextPage, PageDown, true},
        {QKeySequence::MoveToStartOfLine, LineStart, false},  {QKeySequence::SelectStartOfLine, LineStart, true},
        {QKeySequence::MoveToStartOfBlock, LineStart, false}, {QKeySequence::SelectStartOfBlock, LineStart, true},
        {QKeySequence::MoveToEndOfLine, LineEnd, false},      {QKeySequence::SelectEndOfLine, LineEnd, true},
        {QKeySequence::MoveToEndOfBlock, LineEnd, false},     {QKeySequence::SelectEndOfBlock, LineEnd, true},
        {QKeySequence::MoveToStartOfDocument, Start, false},  {QKeySequence::SelectStartOfDocument, Start, true},
        {QKeySequence::MoveToEndOfDocument, End, false},      {QKeySequence::SelectEndOfDocument, End, true},
    };
    const auto key =
        std::find_if(std::begin(keys), std::end(keys), [event](const SKey& k) { return event->matches(k.m_Key); });
    if (key == std::end(keys)) return false;
    const int line = CaretLine();
    const int lineStart = m_pText->LineStart(line);
    int position = m_nCaret;
    const auto toLine = [&](int target) {
        target = std::clamp(target, 0, m_pText->LineCount() - 1);
        if (m_PreferredX < 0) m_PreferredX = XOf(m_nCaret);
        QTextLayout layout;
        LayOut(layout, target);
        const QTextLine textLine = layout.lineAt(0);
        const int column = textLine.isValid() ? textLine.xToCursor(m_PreferredX) : 0;
        return m_pText->LineStart(target) + std::clamp(column, 0, m_pText->LineLength(target));
    };
    switch (key->m_Move) {
        case Left: position = HasSelection() && !key->m_bSelect ? SelectionStart() : m_nCaret - 1; break;
        case Right: position = HasSelection() && !key->m_bSelect ? SelectionEnd() : m_nCaret + 1; break;
        case WordLeft: position = WordBoundaryBefore(m_nCaret); break;
        case WordRight: position = WordBoundaryAfter(m_nCaret); break;
        case Up: position = line > 0 ? toLine(line - 1) : m_nCaret; break;
        case Down: position = line + 1 < m_pText->LineCount() ? toLine(line + 1) : m_nCaret; break;
        case PageUp:
            verticalScrollBar()->setValue(FirstVisibleLine() - VisibleLines());
            position = toLine(line - VisibleLines());
            break;
        case PageDown:
            verticalScrollBar()->setValue(FirstVisibleLine() + VisibleLines());
            position = toLine(line + VisibleLines());
            break;
        case LineStart: position = lineStart; break;
        case LineEnd: position = lineStart + m_pText->LineLength(line); break;
        case Start: position = 0; break;
        case End: position = m_pText->Length(); break;
    }
    const qreal preferredX = m_PreferredX;
    SetCaretPosition(position, key->m_bSelect);
    const bool vertical = key->m_Move == Up || key->m_Move == Down || key->m_Move == PageUp || key->m_Move == PageDown;
    if (vertical) m_PreferredX = preferredX;
    return true;
}

void CGSDTextView::keyPressEvent(QKeyEvent* event) {
    if (m_bReadOnly && IsEditingKey(event)) {
        emit editRefused();
        event->accept();
        return;
    }
    event->accept();
    if (Navigate(event)) return;
    if (event->matches(QKeySequence::SelectAll)) return SelectAll();
    if (event->matches(QKeySequence::Copy)) return Copy();
    if (event->matches(QKeySequence::Cut)) return Cut();
    if (event->matches(QKeySequence::Paste)) return Paste();
    if (event->matches(QKeySequence::Undo)) return Undo();
    // Ctrl+Y as well, as on the desktops whose standard redo key is another.
    if (event->matches(QKeySequence::Redo) || (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier))
        return Redo();
    const auto removeTo = [this](int position) {
        if (HasSelection()) return InsertText(QString());
        if (position == m_nCaret) return;
        SetSelection(m_nCaret, position);
        InsertText(QString());
    };
    if (event->matches(QKeySequence::DeleteStartOfWord)) return removeTo(WordBoundaryBefore(m_nCaret));
    if (event->matches(QKeySequence::DeleteEndOfWord)) return removeTo(WordBoundaryAfter(m_nCaret));
    if (event->matches(QKeySequence::DeleteEndOfLine)) {
        const int line = CaretLine();
        return removeTo(m_pText->LineStart(line) + m_pText->LineLength(line));
    }
    if (event->matches(QKeySequence::Delete)) return removeTo(std::min(m_pText->Length(), m_nCaret + 1));
    if (event->key() == Qt::Key_Backspace && (event->modifiers() & ~Qt::ShiftModifier) == 0)
        return removeTo(std::max(0, m_nCaret - 1));
    const auto type = [this](const QString& text) { ReplaceSelection(text, true); };
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return type(QStringLiteral("\n"));
    if (event->key() == Qt::Key_Tab && (event->modifiers() & ~Qt::KeypadModifier) == 0 && !m_bReadOnly)
        return type(QStringLiteral("\t"));
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint() &&
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0)
        return type(text);
    event->ignore();
}

void CGSDTextView::inputMethodEvent(QInputMethodEvent* event) {
    if (m_bReadOnly || event->commitString().isEmpty()) {
        event->accept();
        return;
    }
    ReplaceSelection(event->commitString(), true);
    event->accept();
}

QVariant CGSDTextView::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
        case Qt::ImEnabled: return !m_bReadOnly;
        case Qt::ImCursorRectangle: return CaretRect().translated(viewport()->pos());
        case Qt::ImCursorPosition: return m_nCaret - m_pText->LineStart(CaretLine());
        case Qt::ImAnchorPosition: return m_nAnchor - m_pText->LineStart(CaretLine());
        case Qt::ImSurroundingText: return m_pText->LineText(CaretLine());
        case Qt::ImCurrentSelection: return SelectedText();
        case Qt::ImFont: return font();
        default: return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// ---------------------------------------------------------------- mouse

void CGSDTextView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    QClipboard* clipboard = QApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection() && !m_bReadOnly) {
        // X11's primary selection goes where the middle button points.
        const QString text = clipboard->text(QClipboard::Selection);
        SetCaretPosition(PositionAt(event->position().toPoint()));
        if (!text.isEmpty()) InsertText(text);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    const int position = PositionAt(event->position().toPoint());
    if (QDateTime::currentMSecsSinceEpoch() - m_nLastDoubleClick < QApplication::doubleClickInterval() &&
        (event->position().toPoint() - m_DoubleClickPoint).manhattanLength() < QApplication::startDragDistance()) {
        // A triple click selects the line.
        m_nLastDoubleClick = 0;
        const int line = m_pText->LineOf(position);
        const int start = m_pText->LineStart(line);
        SetSelection(start, std::min(m_pText->Length(), start + m_pText->LineLength(line) + 1));
        return;
    }
    SetCaretPosition(position, event->modifiers() & Qt::ShiftModifier);
}

void CGSDTextView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    m_DragPoint = event->position().toPoint();
    SetCaretPosition(PositionAt(m_DragPoint), true);
    // Beyond the edge the selection goes on growing while the button is held.
    if (!viewport()->rect().contains(m_DragPoint)) m_AutoScroll.start(AUTO_SCROLL_MS, this);
}

void CGSDTextView::mouseReleaseEvent(QMouseEvent* event) {
    // What the mouse selected is X11's primary selection.
    QClipboard* clipboard = QApplication::clipboard();
    if (event->button() == Qt::LeftButton && HasSelection() && clipboard->supportsSelection())
        clipboard->setText(SelectedText(), QClipboard::Selection);
}

void CGSDTextView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int position = PositionAt(event->position().toPoint());
    m_nLastDoubleClick = QDateTime::currentMSecsSinceEpoch();
    m_DoubleClickPoint = event->position().toPoint();
    emit lineDoubleClicked(m_pText->LineOf(position));
    int start = position;
    int end = position;
    while (start > 0 && IsWordChar(m_pText->CharAt(start - 1))) --start;
    while (end < m_pText->Length() && IsWordChar(m_pText->CharAt(end))) ++end;
    SetSelection(start, end);
}

void CGSDTextView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int delta = event->angleDelta().y();
        if (delta > 0) ZoomIn();
        if (delta < 0) ZoomOut();
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void CGSDTextView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    const bool editable = !m_bReadOnly;
    menu.addAction(tr("&Undo"), this, &CGSDTextView::Undo)->setEnabled(editable && m_pText->IsUndoAvailable());
    menu.addAction(tr("&Redo"), this, &CGSDTextView::Redo)->setEnabled(editable && m_pText->IsRedoAvailable());
    menu.addSeparator();
    menu.addAction(tr("Cu&t"), this, &CGSDTextView::Cut)->setEnabled(editable && HasSelection());
    menu.addAction(tr("&Copy"), this, &CGSDTextView::Copy)->setEnabled(HasSelection());
    menu.addAction(tr("&Paste"), this, &CGSDTextView::Paste)
        ->setEnabled(editable && !QApplication::clipboard()->text().isEmpty());
    menu.addAction(tr("Delete"), this, [this] { InsertText(QString()); })->setEnabled(editable && HasSelection());
    menu.addSeparator();
    menu.addAction(tr("Select All"), this, &CGSDTextView::SelectAll)->setEnabled(!m_pText->IsEmpty());
    menu.exec(event->globalPos());
}

void CGSDTextView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() || (event->mimeData()->hasText() && !m_bReadOnly))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CGSDTextView::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls() || (event->mimeData()->hasText() && !m_bReadOnly))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CGSDTextView::dropEvent(QDropEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->ignore();
        ShowMessage(tr("Dropping files in this window is not allowed!"));
        return;
    }
    if (m_bReadOnly || !event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    SetCaretPosition(PositionAt(event->position().toPoint()));
    InsertText(event->mimeData()->text());
    event->acceptProposedAction();
}

// ---------------------------------------------------------------- painting

void CGSDTextView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = event->rect();
    painter.fillRect(area, palette().color(QPalette::Base));
    const int height = LineHeight();
    const int top = FirstVisibleLine();
    const qreal left = TEXT_MARGIN - horizontalScrollBar()->value();
    const int caretLine = CaretLine();
    const int selectionStart = SelectionStart();
    const int selectionEnd = SelectionEnd();
    const int first = top + std::max(0, area.top()) / height;
    const int last = std::min(m_pText->LineCount() - 1, top + area.bottom() / height);
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));
    for (int line = first; line <= last; ++line) {
        const int y = (line - top) * height;
        if (line == caretLine) painter.fillRect(QRect(0, y, viewport()->width(), height), QColor(255, 250, 205));
        QTextLayout layout;
        LayOut(layout, line);
        const int start = m_pText->LineStart(line);
        const int length = m_pText->LineLength(line);
        QList<QTextLayout::FormatRange> selections;
        if (selectionStart < selectionEnd && selectionStart <= start + length && selectionEnd > start) {
            const int from = std::max(selectionStart, start) - start;
            const int to = std::min(selectionEnd, start + length) - start;
            if (to > from) selections.append({from, to - from, selected});
            // A selected line end shows as a selected blank after the text.
            if (selectionEnd > start + length) {
                const QTextLine textLine = layout.lineAt(0);
                const qreal x = left + (textLine.isValid() ? textLine.cursorToX(length) : 0);
                painter.fillRect(QRectF(x, y, QFontMetrics(font()).horizontalAdvance(QChar(' ')), height),
                                 selected.background());
            }
        }
        layout.draw(&painter, QPointF(left, y), selections);
        if (line == caretLine && m_bCaretShown && hasFocus())
            layout.drawCursor(&painter, QPointF(left, y), m_nCaret - start, 1);
        if (!m_Findings.empty()) PaintFindings(painter, line, layout, QPointF(left, y));
    }
}

void CGSDTextView::PaintFindings(QPainter& painter, int line, const QTextLayout& layout, const QPointF& origin) {
    const int start = m_pText->LineStart(line);
    const int length = m_pText->LineLength(line);
    const auto [first, end] = FindingsBetween(start, start + length + 1);
    const QTextLine textLine = layout.lineAt(0);
    if (first == end || !textLine.isValid()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (size_t i = first; i < end; ++i) {
        const STextFinding& finding = m_Findings[i];
        const int from = finding.m_nStart - start;
        const int to = std::min(finding.m_nEnd - start, length);
        if (to <= from) continue;
        const qreal x1 = origin.x() + textLine.cursorToX(from);
        const qreal x2 = origin.x() + textLine.cursorToX(to);
        const qreal y = origin.y() + textLine.ascent() + 2;
        // A wave of two pixels up and down, four pixels long.
        QPainterPath wave(QPointF(x1, y));
        bool up = true;
        for (qreal x = x1 + 2; x <= x2 + 1; x += 2, up = !up) wave.lineTo(x, up ? y - 2 : y);
        painter.setPen(QPen(UnderlineColour(finding.m_nKind), 1));
        painter.drawPath(wave);
    }
    painter.restore();
}

void CGSDTextView::PaintGutter(QPaintEvent* event) {
    QPainter painter(m_pGutter);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    const int caretLine = CaretLine();
    const int width = m_pGutter->width();
    const int height = LineHeight();
    const int top = FirstVisibleLine();
    // The gutter lies beside the viewport, level with it.
    const int offset = viewport()->geometry().top() - m_pGutter->geometry().top();
    const QFont normal = m_pGutter->font();
    QFont bold = normal;
    bold.setBold(true);
    const int first = top + std::max(0, event->rect().top() - offset) / height;
    const int last = std::min(m_pText->LineCount() - 1, top + std::max(0, event->rect().bottom() - offset) / height);
    for (int line = first; line <= last; ++line) {
        const QRect rect(0, offset + (line - top) * height, width, height);
        const int kind = FindingKindAt(line);
        if (kind != CheckMessageKind::Note) {
            const int size = std::min(GUTTER_MARK - 2, height - 2);
            const QRect mark(2, rect.top() + (height - size) / 2, size, size);
            CMyListBoxBar::KindIcon(kind).paint(&painter, mark);
        }
        painter.setFont(line == caretLine ? bold : normal);
        painter.setPen(line == caretLine ? palette().color(QPalette::WindowText)
                                         : palette().color(QPalette::Disabled, QPalette::WindowText));
        painter.drawText(QRect(GUTTER_MARK, rect.top(), width - GUTTER_MARK - GUTTER_PADDING, height),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(line + 1));
    }
}

// ---------------------------------------------------------------- findings

void CGSDTextView::SetFindings(const std::vector<SLineFinding>& findings, const CTextTable& texts) {
    std::vector<STextFinding> marks;
    marks.reserve(findings.size());
    for (const SLineFinding& finding : findings) {
        if (finding.m_nLine < 0 || finding.m_nLine >= m_pText->LineCount()) continue;
        const int start = m_pText->LineStart(finding.m_nLine);
        const auto [from, to] = KeyRange(m_pText->LineBytes(finding.m_nLine));
        marks.push_back({start + from, start + to, finding.m_nKind, finding.m_nText});
    }
    std::stable_sort(marks.begin(), marks.end(),
                     [](const STextFinding& a, const STextFinding& b) { return a.m_nStart < b.m_nStart; });
    std::vector<QString> shown;
    shown.reserve(texts.Size());
    for (uint32_t i = 0; i < texts.Size(); ++i) shown.push_back(DecodeCp1252(texts.At(i)));
    m_Findings = std::move(marks);
    m_FindingTexts = std::move(shown);
    viewport()->update();
    m_pGutter->update();
}

QString CGSDTextView::FindingKey(const STextFinding& finding) const {
    return m_pText->TextBetween(finding.m_nStart, finding.m_nEnd);
}

int CGSDTextView::FindingLine(const STextFinding& finding) const {
    return m_pText->LineOf(finding.m_nStart);
}

void CGSDTextView::ClearFindings() {
    if (m_Findings.empty()) return;
    std::vector<STextFinding>().swap(m_Findings);
    std::vector<QString>().swap(m_FindingTexts);
    viewport()->update();
    m_pGutter->update();
}

std::pair<size_t, size_t> CGSDTextView::FindingsBetween(int from, int to) const {
    const auto before = [](const STextFinding& finding, int position) { return finding.m_nStart < position; };
    const auto first = std::lower_bound(m_Findings.begin(), m_Findings.end(), from, before);
    const auto last = std::lower_bound(first, m_Findings.end(), to, before);
    return {static_cast<size_t>(first - m_Findings.begin()), static_cast<size_t>(last - m_Findings.begin())};
}

QString CGSDTextView::FindingsTextAt(int line) const {
    if (line < 0 || line >= m_pText->LineCount() || m_Findings.empty()) return {};
    const int start = m_pText->LineStart(line);
    const auto [first, last] = FindingsBetween(start, start + m_pText->LineLength(line) + 1);
    QStringList texts;
    for (size_t i = first; i < last; ++i) texts << m_FindingTexts[m_Findings[i].m_nText];
    return texts.join('\n');
}

int CGSDTextView::FindingKindAt(int line) const {
    int kind = CheckMessageKind::Note;
    if (line < 0 || line >= m_pText->LineCount() || m_Findings.empty()) return kind;
    const int start = m_pText->LineStart(line);
    const auto [first, last] = FindingsBetween(start, start + m_pText->LineLength(line) + 1);
    for (size_t i = first; i < last; ++i)
        if (Gravity(m_Findings[i].m_nKind) > Gravity(kind)) kind = m_Findings[i].m_nKind;
    return kind;
}

bool CGSDTextView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsEditingKey(key) || key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll)) {
            key->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

bool CGSDTextView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = FindingsTextAt(LineAtY(help->pos().y()));
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

// ---------------------------------------------------------------- find

bool CGSDTextView::Find(const QString& text, QTextDocument::FindFlags flags) {
    if (text.isEmpty()) return false;
    const bool backward = flags & QTextDocument::FindBackward;
    const int start = m_pText->Find(text, backward ? SelectionStart() - 1 : SelectionEnd(), flags);
    if (start < 0) return false;
    SetSelection(start, start + static_cast<int>(EncodeCp1252(text).size()));
    return true;
}

bool CGSDTextView::FindAgain(const QString& text, QTextDocument::FindFlags flags) {
    if (text.isEmpty()) return false;
    if (Find(text, flags)) return true;
    // From the other end of the text; the caret stays where it was when the
    // text holds none.
    const int anchor = m_nAnchor;
    const int caret = m_nCaret;
    const bool backward = flags & QTextDocument::FindBackward;
    const int from = m_pText->Find(text, backward ? m_pText->Length() : 0, flags);
    if (from < 0) {
        SetSelection(anchor, caret);
        return false;
    }
    SetSelection(from, from + static_cast<int>(EncodeCp1252(text).size()));
    return true;
}

// ---------------------------------------------------------------- printing

namespace {

// A copy of the text that carries the highlighter's colours, for printing.
std::unique_ptr<QTextDocument> ColouredCopy(const CTextBuffer* text, const CGSDHighlighter* highlighter) {
    auto copy = std::make_unique<QTextDocument>();
    copy->setPlainText(text->Text());
    int line = 0;
    for (QTextBlock block = copy->firstBlock(); block.isValid(); block = block.next(), ++line)
        block.layout()->setFormats(highlighter->Formats(text->LineBytes(line)));
    return copy;
}

}  // namespace

void CGSDTextView::PrintDocument(QPrinter* printer) {
    const double margin = PRINT_MARGIN_TWIPS / TWIPS_PER_INCH * 25.4;
    printer->setPageMargins(QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(printer)) return;

    const QRectF area = printer->pageLayout()
                            .paintRectPixels(printer->resolution())
                            .translated(-printer->pageLayout().paintRectPixels(printer->resolution()).topLeft());
    QFont headerFont("Arial");
    headerFont.setStyleHint(QFont::SansSerif);
    headerFont.setPointSizeF(9.5);
    headerFont.setWeight(QFont::Medium);
    painter.setFont(headerFont);
    const QFontMetricsF metrics(headerFont, printer);
    const double textHeight = metrics.height();
    const double charWidth = metrics.maxWidth();
    const QRectF body(area.left() + charWidth, area.top() + 2.5 * textHeight, area.width() - 2 * charWidth,
                      area.height() - 5 * textHeight);

    auto copy = ColouredCopy(m_pText, m_pDoc->Highlighter());
    copy->documentLayout()->setPaintDevice(printer);
    copy->setDefaultFont(font());
    copy->setPageSize(body.size());
    const int pages = copy->pageCount();

    const QString title = m_pDoc->Title().section('.', 0, 0) + ".GSD";
    const QDate today = QDate::currentDate();
    const QString date =
        QString("%1/%2/%3").arg(today.year()).arg(today.month(), 2, 10, QChar('0')).arg(today.day(), 2, 10, QChar('0'));
    for (int page = 0; page < pages; ++page) {
        if (page > 0) printer->newPage();
        painter.setFont(headerFont);
        painter.setPen(Qt::black);
        painter.drawRect(area);
        const double headerY = area.top() + 0.5 * textHeight;
        painter.drawText(QRectF(area.left() + charWidth, headerY, area.width() / 2, textHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, title);
        painter.drawText(QRectF(area.center().x(), headerY, area.width() / 2 - charWidth, textHeight),
                         Qt::AlignRight | Qt::AlignVCenter, date);
        const double footerY = area.bottom() - 1.5 * textHeight;
        painter.drawText(QRectF(area.left() + charWidth, footerY, area.width() / 2, textHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, "Orvan Taluna V2.1");
        painter.drawText(QRectF(area.left(), footerY, area.width(), textHeight), Qt::AlignHCenter | Qt::AlignVCenter,
                         QString("-%1-").arg(page + 1));

        painter.save();
        painter.translate(body.left(), body.top() - page * body.height());
        const QRectF clip(0, page * body.height(), body.width(), body.height());
        painter.setClipRect(clip);
        copy->drawContents(&painter, clip);
        painter.restore();
    }
    painter.end();
}
