#include "views/text_gutter.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>

#include "app/text_buffer.h"
#include "views/gsd_text_view.h"

CTextGutter::CTextGutter(CGSDTextView* view) : QWidget(view), m_pView(view) {
    setObjectName("TextGutter");
    setCursor(Qt::ArrowCursor);
}

QSize CTextGutter::sizeHint() const {
    return {m_pView->GutterWidth(), 0};
}

void CTextGutter::paintEvent(QPaintEvent* event) {
    m_pView->PaintGutter(event);
}

bool CTextGutter::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = m_pView->FindingsTextAt(m_pView->LineAtY(help->pos().y()));
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void CTextGutter::mousePressEvent(QMouseEvent* event) {
    // A click on a line number puts the caret at the start of its line.
    const int line = m_pView->LineAtY(event->position().toPoint().y());
    if (line < 0) return;
    m_pView->SetCaretPosition(m_pView->Text()->LineStart(line));
    m_pView->setFocus();
}
