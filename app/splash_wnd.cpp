#include "app/splash_wnd.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "app/about_dlg.h"

bool CSplashWnd::s_bEnabled = true;
CSplashWnd* CSplashWnd::s_pCurrent = nullptr;

namespace {
constexpr int SPLASH_WIDTH = 400;
constexpr int SPLASH_HEIGHT = 220;
}  // namespace

CSplashWnd* CSplashWnd::ShowSplashWindow(QWidget* mainWindow) {
    if (!s_bEnabled || s_pCurrent != nullptr) return nullptr;
    s_pCurrent = new CSplashWnd(mainWindow);
    s_pCurrent->show();
    return s_pCurrent;
}

CSplashWnd::CSplashWnd(QWidget* mainWindow)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_pMainWindow(mainWindow) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(SPLASH_WIDTH, SPLASH_HEIGHT);
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    qApp->installEventFilter(this);
    QTimer::singleShot(DISPLAY_MS, this, &CSplashWnd::HideSplash);
}

CSplashWnd::~CSplashWnd() {
    qApp->removeEventFilter(this);
    if (s_pCurrent == this) s_pCurrent = nullptr;
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, ProgramPicture(width(), height()));
}

bool CSplashWnd::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Accepted, so that no shortcut fires; the key press follows and closes the splash.
            event->accept();
            return true;
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::NonClientAreaMouseButtonPress: HideSplash(); return true;
        default: return QWidget::eventFilter(watched, event);
    }
}

void CSplashWnd::HideSplash() {
    qApp->removeEventFilter(this);
    if (s_pCurrent == this) s_pCurrent = nullptr;
    close();
    if (m_pMainWindow) m_pMainWindow->update();
}
