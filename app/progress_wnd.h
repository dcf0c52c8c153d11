#pragma once
// The progress window of long operations: status line, bar and percent text.
// Advances process pending events, at most once a frame, while the owner
// window stays disabled.

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <string>

#include "model/seams.h"

class QLabel;
class QProgressBar;

class CProgressWnd : public QDialog {
    Q_OBJECT
public:
    // `titleId` is the caption's string-table id (57 "Processing GSD file...").
    explicit CProgressWnd(QWidget* parent, int titleId = 57);
    ~CProgressWnd() override;

    void SetStatus(const QString& text);
    QString StatusText() const;
    void SetRange(int low, int high);
    void SetPos(int pos);
    void OffsetPos(int delta);
    void SetStep(int step) { m_nStep = step; }
    void StepIt() { SetPos(m_nPos + m_nStep); }
    bool CheckCancel();
    QString PercentText() const;

    // p = (pos - low) * 100 / (high - low), taken modulo 100 unless it is 100.
    static int Percent(int low, int high, int pos);

private:
    // Shows status, position and percent and processes pending events, unless
    // that was done less than REFRESH_MS ago.
    void Refresh();
    static constexpr qint64 REFRESH_MS = 16;

    int m_nLow = 0;
    int m_nHigh = 100;
    int m_nStep = 1;
    int m_nPos = 0;
    bool m_bCancel = false;
    QString m_Status;
    QElapsedTimer m_SinceRefresh;
    QPointer<QWidget> m_pOwner;
    bool m_bDisabledOwner = false;
    QLabel* m_pStatus = nullptr;
    QLabel* m_pPercent = nullptr;
    QProgressBar* m_pBar = nullptr;
};

// The progress seam of the core: opens a progress window on Begin and closes it
// on End. The windows take the focus and the activation from the main window;
// once the last window of a command has closed, both come back.
class CProgressSink : public IProgressSink {
public:
    explicit CProgressSink(QWidget* parent) : m_pParent(parent) {}
    void Begin(const std::string& caption) override;
    void SetStatus(const std::string& text) override;
    void StepIt() override;
    void End() override;
    void Reset() override;

private:
    void Close();
    void RestoreFocus();

    QWidget* m_pParent;
    CProgressWnd* m_pWnd = nullptr;
    int m_nDepth = 0;
    // Where the keyboard focus was before the first window opened, and
    // whether the main window was the active one.
    QPointer<QWidget> m_pFocus;
    bool m_bWasActive = false;
    bool m_bRestorePending = false;
    // The documents' area of the main window, which is not painted while a
    // command shows its progress: the progress steps return to the event
    // loop, and the tree and the text would be painted at every step (in the
    // disabled look, over a database the command is rebuilding).
    QPointer<QWidget> m_pFrozen;
};
