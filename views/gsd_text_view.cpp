#include "views/gsd_text_view.h"

#include <QDate>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <memory>

#include "app/cp1252.h"
#include "app/qt_seams.h"
#include "app/taluna_doc.h"
#include "model/key_entry.h"
#include "model/write_back.h"

namespace {

constexpr int TAB_STOP_TWIPS = 288;
constexpr int PRINT_MARGIN_TWIPS = 720;
constexpr double TWIPS_PER_INCH = 1440.0;

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
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CGSDTextView::ReportCaret);
    connect(this, &QPlainTextEdit::selectionChanged, this, &CGSDTextView::ReportCaret);
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

bool CGSDTextView::WriteBackEntry(CKeyEntry& entry) {
    QTextDocument* text = document();
    std::vector<std::string> oldLines;
    for (int line = entry.m_LongLine; line <= entry.m_Line; ++line) {
        const QTextBlock block = text->findBlockByNumber(line);
        oldLines.push_back(block.isValid() ? EncodeCp1252(block.text()) : std::string());
    }
    const SWriteBack result = ComposeWriteBack(oldLines, entry.m_Keyword, entry.m_Value);
    if (!result.m_bOk) {
        ShowMessage(tr("LineLength greater than expected!"));
        return false;
    }
    const QTextBlock first = text->findBlockByNumber(entry.m_LongLine);
    const QTextBlock last = text->findBlockByNumber(entry.m_Line);
    if (!first.isValid()) return false;
    QTextCursor cursor(first);
    const QTextBlock end = last.isValid() ? last : text->lastBlock();
    cursor.setPosition(end.position() + end.length() - 1, QTextCursor::KeepAnchor);
    QString replacement = DecodeCp1252(result.m_Text);
    replacement.replace("\r\n", "\n");
    cursor.beginEditBlock();
    cursor.insertText(replacement);
    cursor.endEditBlock();
    setTextCursor(cursor);
    entry.m_Line = entry.m_LongLine + result.m_nLineFeeds;
    return true;
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
