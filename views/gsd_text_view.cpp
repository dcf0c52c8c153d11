#include "views/gsd_text_view.h"

#include <QDate>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>
#include <algorithm>
#include <memory>

#include "app/cp1252.h"
#include "app/qt_seams.h"
#include "app/taluna_doc.h"
#include "views/list_box_bar.h"
#include "views/text_gutter.h"

namespace {

constexpr int TAB_STOP_TWIPS = 288;
constexpr int PRINT_MARGIN_TWIPS = 720;
constexpr double TWIPS_PER_INCH = 1440.0;
// Room of the gutter's finding mark, left of the numbers, and around the numbers.
constexpr int GUTTER_MARK = 16;
constexpr int GUTTER_PADDING = 4;
constexpr int MIN_POINT_SIZE = 4;
constexpr int MAX_POINT_SIZE = 72;
// A key is never longer than a line may be: an edit moves only the findings
// that start after this many characters before it.
constexpr int MAX_KEY_SPAN = 1024;

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
std::pair<int, int> KeyRange(const QString& line) {
    int start = 0;
    while (start < line.size() && line.at(start).isSpace()) ++start;
    int end = start;
    const int limit = std::min(static_cast<int>(line.size()), start + MAX_KEY_SPAN);
    while (end < limit && line.at(end) != QChar('=') && line.at(end) != QChar(';') && !line.at(end).isSpace()) ++end;
    // A line that starts with '=' or ';': the mark goes under that character.
    if (end == start && start < line.size()) end = start + 1;
    return {start, end};
}

// A copy of the text that carries the highlighter's colours as real formats,
// for printing.
std::unique_ptr<QTextDocument> ColouredCopy(const QTextDocument* source) {
    auto copy = std::make_unique<QTextDocument>();
    copy->setDefaultFont(source->defaultFont());
    copy->setPlainText(source->toRawText().replace(QChar::ParagraphSeparator, QChar('\n')));
    QTextCursor cursor(copy.get());
    QTextBlock to = copy->firstBlock();
    for (QTextBlock from = source->firstBlock(); from.isValid() && to.isValid(); from = from.next(), to = to.next()) {
        for (const QTextLayout::FormatRange& range : from.layout()->formats()) {
            cursor.setPosition(to.position() + range.start);
            cursor.setPosition(to.position() + range.start + range.length, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(range.format);
        }
    }
    return copy;
}

}  // namespace

CGSDTextView::CGSDTextView(CTalunaDoc* document, QWidget* parent) : QPlainTextEdit(parent), m_pDoc(document) {
    setDocument(document->TextDocument());
    setFont(document->TextDocument()->defaultFont());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setTabStopDistance(TAB_STOP_TWIPS * logicalDpiX() / TWIPS_PER_INCH);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setReadOnly(document->IsReadOnlyView());
    setAcceptDrops(true);
    setBackgroundVisible(false);
    m_pGutter = new CTextGutter(this);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CGSDTextView::ReportCaret);
    connect(this, &QPlainTextEdit::selectionChanged, this, &CGSDTextView::ReportCaret);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CGSDTextView::HighlightCurrentLine);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &CGSDTextView::UpdateGutterWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &CGSDTextView::UpdateGutter);
    connect(document->TextDocument(), &QTextDocument::contentsChange, this, &CGSDTextView::MoveFindings);
    // A reload replaces the text the marks were found in.
    connect(document, &CTalunaDoc::aboutToReload, this, &CGSDTextView::ClearFindings);
    ApplyEditorFont();
    HighlightCurrentLine();
    // The key form's Apply edits the document; the caret goes to the end of
    // the lines it wrote.
    connect(document, &CTalunaDoc::entryWrittenBack, this, [this](int position) {
        QTextCursor cursor(this->document());
        cursor.setPosition(position);
        setTextCursor(cursor);
    });
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
    // The pane's font is its document's default font: printing uses it too.
    setFont(font);
    m_pGutter->setFont(font);
    UpdateGutterWidth();
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

void CGSDTextView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int delta = event->angleDelta().y();
        if (delta > 0) ZoomIn();
        if (delta < 0) ZoomOut();
        event->accept();
        return;
    }
    QPlainTextEdit::wheelEvent(event);
}

void CGSDTextView::HighlightCurrentLine() {
    QTextEdit::ExtraSelection line;
    line.format.setBackground(QColor(255, 250, 205));
    line.format.setProperty(QTextFormat::FullWidthSelection, true);
    line.cursor = textCursor();
    line.cursor.clearSelection();
    setExtraSelections({line});
    // The gutter shows the caret's line number in bold.
    m_pGutter->update();
}

int CGSDTextView::GutterWidth() const {
    int digits = 1;
    for (int count = std::max(1, blockCount()); count >= 10; count /= 10) ++digits;
    QFont bold = m_pGutter->font();
    bold.setBold(true);
    return GUTTER_MARK + 2 * GUTTER_PADDING + QFontMetrics(bold).horizontalAdvance(QChar('9')) * digits;
}

void CGSDTextView::UpdateGutterWidth() {
    setViewportMargins(GutterWidth(), 0, 0, 0);
    const QRect area = contentsRect();
    m_pGutter->setGeometry(QRect(area.left(), area.top(), GutterWidth(), area.height()));
}

void CGSDTextView::UpdateGutter(const QRect& rect, int dy) {
    if (dy != 0)
        m_pGutter->scroll(0, dy);
    else
        m_pGutter->update(0, rect.y(), m_pGutter->width(), rect.height());
}

void CGSDTextView::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    m_pGutter->setGeometry(QRect(area.left(), area.top(), GutterWidth(), area.height()));
}

int CGSDTextView::LineAtY(int y) const {
    QTextBlock block = firstVisibleBlock();
    const QPointF offset = contentOffset();
    while (block.isValid()) {
        const QRectF rect = blockBoundingGeometry(block).translated(offset);
        if (rect.top() > y) return -1;
        if (block.isVisible() && y < rect.bottom()) return block.blockNumber();
        block = block.next();
    }
    return -1;
}

void CGSDTextView::PaintGutter(QPaintEvent* event) {
    QPainter painter(m_pGutter);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    const int caretLine = textCursor().blockNumber();
    const int width = m_pGutter->width();
    const QFont normal = m_pGutter->font();
    QFont bold = normal;
    bold.setBold(true);
    QTextBlock block = firstVisibleBlock();
    const QPointF offset = contentOffset();
    while (block.isValid()) {
        const QRectF rect = blockBoundingGeometry(block).translated(offset);
        if (rect.top() > event->rect().bottom()) break;
        if (block.isVisible() && rect.bottom() >= event->rect().top()) {
            const int line = block.blockNumber();
            const int kind = FindingKindAt(line);
            if (kind != CheckMessageKind::Note) {
                const int size = std::min(GUTTER_MARK - 2, static_cast<int>(rect.height()) - 2);
                const QRect mark(2, static_cast<int>(rect.top() + (rect.height() - size) / 2), size, size);
                CMyListBoxBar::KindIcon(kind).paint(&painter, mark);
            }
            painter.setFont(line == caretLine ? bold : normal);
            painter.setPen(line == caretLine ? palette().color(QPalette::WindowText)
                                             : palette().color(QPalette::Disabled, QPalette::WindowText));
            painter.drawText(QRectF(GUTTER_MARK, rect.top(), width - GUTTER_MARK - GUTTER_PADDING, rect.height()),
                             Qt::AlignRight | Qt::AlignVCenter, QString::number(line + 1));
        }
        block = block.next();
    }
}

void CGSDTextView::SetFindings(const std::vector<CCheckMessage>& messages) {
    QTextDocument* text = document();
    std::vector<STextFinding> findings;
    for (const CCheckMessage& message : messages) {
        if (message.m_pDoc != m_pDoc || !message.HasLine() || message.m_nLine >= text->blockCount()) continue;
        const QTextBlock block = text->findBlockByNumber(message.m_nLine);
        const auto [start, end] = KeyRange(block.text());
        findings.push_back(
            {block.position() + start, block.position() + end, message.m_nKind, DecodeCp1252(message.m_Text)});
    }
    std::stable_sort(findings.begin(), findings.end(),
                     [](const STextFinding& a, const STextFinding& b) { return a.m_nStart < b.m_nStart; });
    m_Findings = std::move(findings);
    viewport()->update();
    m_pGutter->update();
}

void CGSDTextView::MoveFindings(int position, int removed, int added) {
    if (m_Findings.empty() || removed == added) return;
    const int delta = added - removed;
    const int removedEnd = position + removed;
    // A position in the removed text goes to where the change starts; the
    // positions after it move by the change in length.
    const auto move = [&](int& at) {
        if (at >= removedEnd)
            at += delta;
        else if (at > position)
            at = position;
    };
    const auto first = std::lower_bound(m_Findings.begin(), m_Findings.end(), position - MAX_KEY_SPAN,
                                        [](const STextFinding& f, int at) { return f.m_nStart < at; });
    for (auto it = first; it != m_Findings.end(); ++it) {
        move(it->m_nStart);
        move(it->m_nEnd);
    }
}

QString CGSDTextView::FindingKey(const STextFinding& finding) const {
    QTextCursor key(document());
    key.setPosition(finding.m_nStart);
    key.setPosition(finding.m_nEnd, QTextCursor::KeepAnchor);
    return key.selectedText();
}

int CGSDTextView::FindingLine(const STextFinding& finding) const {
    return document()->findBlock(finding.m_nStart).blockNumber();
}

void CGSDTextView::ClearFindings() {
    if (m_Findings.empty()) return;
    m_Findings.clear();
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
    const QTextBlock block = document()->findBlockByNumber(line);
    if (line < 0 || !block.isValid() || m_Findings.empty()) return {};
    const auto [first, last] = FindingsBetween(block.position(), block.position() + block.length());
    QStringList texts;
    for (size_t i = first; i < last; ++i) texts << m_Findings[i].m_Text;
    return texts.join('\n');
}

int CGSDTextView::FindingKindAt(int line) const {
    const QTextBlock block = document()->findBlockByNumber(line);
    int kind = CheckMessageKind::Note;
    if (line < 0 || !block.isValid() || m_Findings.empty()) return kind;
    const auto [first, last] = FindingsBetween(block.position(), block.position() + block.length());
    for (size_t i = first; i < last; ++i)
        if (Gravity(m_Findings[i].m_nKind) > Gravity(kind)) kind = m_Findings[i].m_nKind;
    return kind;
}

void CGSDTextView::paintEvent(QPaintEvent* event) {
    QPlainTextEdit::paintEvent(event);
    if (!m_Findings.empty()) PaintFindings(event);
}

void CGSDTextView::PaintFindings(QPaintEvent* event) {
    QTextBlock block = firstVisibleBlock();
    if (!block.isValid()) return;
    const QPointF offset = contentOffset();
    QTextBlock last = block;
    for (QTextBlock next = block; next.isValid(); next = next.next()) {
        if (blockBoundingGeometry(next).translated(offset).top() > event->rect().bottom()) break;
        last = next;
    }
    const auto [first, end] = FindingsBetween(block.position(), last.position() + last.length());
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    for (size_t i = first; i < end; ++i) {
        const STextFinding& finding = m_Findings[i];
        const QTextBlock at = document()->findBlock(finding.m_nStart);
        const int from = finding.m_nStart - at.position();
        const int to = std::min(finding.m_nEnd - at.position(), at.length() - 1);
        const QTextLayout* layout = at.layout();
        if (to <= from || layout == nullptr || layout->lineCount() == 0) continue;
        const QTextLine line = layout->lineForTextPosition(from);
        if (!line.isValid()) continue;
        const QPointF origin = blockBoundingGeometry(at).translated(offset).topLeft();
        const qreal x1 = origin.x() + line.cursorToX(from);
        const qreal x2 = origin.x() + line.cursorToX(to);
        const qreal y = origin.y() + line.y() + line.ascent() + 2;
        // A wave of two pixels up and down, four pixels long.
        QPainterPath wave(QPointF(x1, y));
        bool up = true;
        for (qreal x = x1 + 2; x <= x2 + 1; x += 2, up = !up) wave.lineTo(x, up ? y - 2 : y);
        painter.setPen(QPen(UnderlineColour(finding.m_nKind), 1));
        painter.drawPath(wave);
    }
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
    return QPlainTextEdit::viewportEvent(event);
}

bool CGSDTextView::FindAgain(const QString& text, QTextDocument::FindFlags flags) {
    if (text.isEmpty()) return false;
    if (find(text, flags)) return true;
    // From the other end of the text; the caret stays where it was when the
    // text holds no occurrence.
    const QTextCursor before = textCursor();
    QTextCursor wrapped(document());
    wrapped.movePosition((flags & QTextDocument::FindBackward) ? QTextCursor::End : QTextCursor::Start);
    setTextCursor(wrapped);
    if (find(text, flags)) return true;
    setTextCursor(before);
    return false;
}

void CGSDTextView::ReportCaret() {
    const QTextCursor cursor = textCursor();
    const QTextBlock block = cursor.block();
    m_pDoc->SetCaret(block.blockNumber(), cursor.selectionEnd() - block.position());
}

void CGSDTextView::SelectLine(int line) {
    QTextDocument* text = document();
    if (line < 0 || line > text->blockCount()) return;
    const QTextBlock block = text->findBlockByNumber(line);
    if (!block.isValid()) return;
    verticalScrollBar()->setValue(line);
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    verticalScrollBar()->setValue(line);
}

void CGSDTextView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragEnterEvent(event);
}

void CGSDTextView::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragMoveEvent(event);
}

void CGSDTextView::dropEvent(QDropEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->ignore();
        ShowMessage(tr("Dropping files in this window is not allowed!"));
        return;
    }
    QPlainTextEdit::dropEvent(event);
}

namespace {

// Whether a key would change the text of an editable view.
bool IsEditingKey(const QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
        event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
        event->matches(QKeySequence::Delete) || event->matches(QKeySequence::DeleteStartOfWord) ||
        event->matches(QKeySequence::DeleteEndOfWord) || event->matches(QKeySequence::DeleteEndOfLine))
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

void CGSDTextView::keyPressEvent(QKeyEvent* event) {
    if (isReadOnly() && IsEditingKey(event)) {
        emit editRefused();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CGSDTextView::mouseDoubleClickEvent(QMouseEvent* event) {
    emit lineDoubleClicked(textCursor().blockNumber());
    QPlainTextEdit::mouseDoubleClickEvent(event);
}

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

    auto copy = ColouredCopy(document());
    copy->documentLayout()->setPaintDevice(printer);
    copy->setDefaultFont(document()->defaultFont());
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
