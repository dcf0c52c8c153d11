#pragma once
// The splash window: a borderless picture shown at start for three seconds,
// closed early by any key or mouse button, which it consumes.

#include <QPointer>
#include <QWidget>

class CSplashWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int DISPLAY_MS = 3000;

    // Allowed by the command line (no splash for embedded starts).
    static void EnableSplashWindow(bool enable) { s_bEnabled = enable; }
    // Shows the splash over `mainWindow` unless one shows already; returns it.
    static CSplashWnd* ShowSplashWindow(QWidget* mainWindow);
    static CSplashWnd* Current() { return s_pCurrent; }

    ~CSplashWnd() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The application-wide hook: a key or button press closes the splash and is consumed.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CSplashWnd(QWidget* mainWindow);
    void HideSplash();

    QPointer<QWidget> m_pMainWindow;
    static bool s_bEnabled;
    static CSplashWnd* s_pCurrent;
};
