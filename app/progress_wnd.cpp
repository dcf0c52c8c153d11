#include "app/progress_wnd.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/cp1252.h"
#include "base/string_table.h"

CProgressWnd::CProgressWnd(QWidget* parent, int titleId)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    if (parent != nullptr) {
        QWidget* owner = parent->window();
        if (owner->isEnabled()) {
            owner->setEnabled(false);
            m_bDisabledOwner = true;
        }
        m_pOwner = owner;
    }
    setModal(false);
    setWindowTitle(DecodeCp1252(LoadString(titleId)));
    auto* layout = new QVBoxLayout(this);
    m_pStatus = new QLabel(this);
    m_pStatus->setMinimumWidth(320);
    m_pBar = new QProgressBar(this);
    m_pBar->setRange(m_nLow, m_nHigh);
    m_pBar->setValue(m_nPos);
    m_pBar->setTextVisible(false);
    m_pPercent = new QLabel(" 0 %", this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setVisible(false);
    connect(cancel, &QPushButton::clicked, this, [this] { m_bCancel = true; });
    layout->addWidget(m_pStatus);
    layout->addWidget(m_pBar);
    layout->addWidget(m_pPercent);
    layout->addWidget(cancel);
    // The window stays enabled although its owner is disabled.
    setEnabled(true);
    show();
}

CProgressWnd::~CProgressWnd() {
    if (m_bDisabledOwner && m_pOwner) m_pOwner->setEnabled(true);
}

void CProgressWnd::SetStatus(const QString& text) {
    m_Status = text;
    Refresh();
}

QString CProgressWnd::StatusText() const {
    return m_Status;
}

void CProgressWnd::SetRange(int low, int high) {
    m_nLow = low;
    m_nHigh = high;
    m_pBar->setRange(low, high);
}

void CProgressWnd::SetPos(int pos) {
    m_nPos = pos;
    Refresh();
}

void CProgressWnd::OffsetPos(int delta) {
    SetPos(m_nPos + delta);
}

bool CProgressWnd::CheckCancel() {
    Refresh();
    const bool cancel = m_bCancel;
    m_bCancel = false;
    return cancel;
}

int CProgressWnd::Percent(int low, int high, int pos) {
    if (high == low) return 0;
    int p = (pos - low) * 100 / (high - low);
    if (p != 100) p %= 100;
    return p;
}

QString CProgressWnd::PercentText() const {
    return QString("%1%").arg(Percent(m_nLow, m_nHigh, m_nPos));
}

void CProgressWnd::Refresh() {
    // A command advances and renames its window tens of thousands of times a
    // second; the window shows where it stands at most once a frame.
    if (m_SinceRefresh.isValid() && m_SinceRefresh.elapsed() < REFRESH_MS) return;
    if (m_pStatus->text() != m_Status) m_pStatus->setText(m_Status);
    m_pBar->setValue(m_nPos);
    const QString percent = PercentText();
    if (m_pPercent->text() != percent) m_pPercent->setText(percent);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    m_SinceRefresh.start();
}

void CProgressSink::Begin(const std::string& caption) {
    if (m_nDepth++ > 0) return;
    // A command may open several windows one after the other: the focus
    // before the first one is the one to come back.
    QWidget* owner = m_pParent != nullptr ? m_pParent->window() : nullptr;
    if (!m_bRestorePending && owner != nullptr) {
        QWidget* focus = QApplication::focusWidget();
        m_pFocus = focus != nullptr && focus->window() == owner ? focus : nullptr;
        m_bWasActive = owner->isActiveWindow();
        m_bRestorePending = m_bWasActive || m_pFocus;
    }
    if (auto* main = qobject_cast<QMainWindow*>(owner);
        main != nullptr && main->centralWidget() != nullptr && main->centralWidget()->updatesEnabled()) {
        m_pFrozen = main->centralWidget();
        m_pFrozen->setUpdatesEnabled(false);
    }
    m_pWnd = new CProgressWnd(m_pParent);
    m_pWnd->setWindowTitle(DecodeCp1252(caption));
}

void CProgressSink::SetStatus(const std::string& text) {
    if (m_pWnd) m_pWnd->SetStatus(DecodeCp1252(text));
}

void CProgressSink::StepIt() {
    if (m_pWnd) m_pWnd->StepIt();
}

void CProgressSink::Reset() {
    m_nDepth = 0;
    Close();
}

void CProgressSink::End() {
    if (m_nDepth == 0 || --m_nDepth > 0) return;
    Close();
}

void CProgressSink::Close() {
    delete m_pWnd;
    m_pWnd = nullptr;
    // The documents' area is painted again once the command has returned to
    // the event loop: a command shows several progress windows one after the
    // other, and the area would be painted between them.
    if (m_pFrozen && m_pParent != nullptr)
        QTimer::singleShot(0, m_pParent, [this] {
            if (m_pWnd != nullptr || !m_pFrozen) return;
            m_pFrozen->setUpdatesEnabled(true);
            m_pFrozen = nullptr;
        });
    // After the command, when its last window has closed.
    if (m_bRestorePending && m_pParent != nullptr) QTimer::singleShot(0, m_pParent, [this] { RestoreFocus(); });
}

void CProgressSink::RestoreFocus() {
    if (m_pWnd != nullptr || !m_bRestorePending) return;
    m_bRestorePending = false;
    QWidget* owner = m_pParent->window();
    if (m_bWasActive && QApplication::activeWindow() == nullptr) owner->activateWindow();
    if (m_pFocus && m_pFocus->isVisible() && m_pFocus->isEnabled()) m_pFocus->setFocus(Qt::OtherFocusReason);
}
