#pragma once
// The desktop editor's implementations of the core's seams that need no window
// of their own: the QSettings profile and the message boxes.

#include <QSettings>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "model/seams.h"

class QStatusBar;

// The per-user profile in QSettings (organisation Velmar, application Taluna).
class CQtProfileStore : public IProfileStore {
public:
    CQtProfileStore();
    int GetInt(const std::string& section, const std::string& name, int def) const override;
    std::string GetString(const std::string& section, const std::string& name, const std::string& def) const override;
    void PutInt(const std::string& section, const std::string& name, int value) override;
    void PutString(const std::string& section, const std::string& name, const std::string& value) override;
    bool MayHaveSection(const std::string& section) const override;
    QSettings& Settings() { return *m_pSettings; }

private:
    std::unique_ptr<QSettings> m_pSettings;
};

// Message boxes over a parent window. Tests replace the box by a recorder.
class CQtNotifier : public INotifier {
public:
    explicit CQtNotifier(QWidget* parent) : m_pParent(parent) {}
    void Notify(const std::string& text, ENotifyIcon icon) override;
    // When set, messages go here instead of a message box.
    std::function<void(const QString&, ENotifyIcon)> m_Recorder;
    // When set, questions go here instead of a message box; the answer is Yes
    // when it returns true.
    std::function<bool(const QString&)> m_Answerer;

private:
    QWidget* m_pParent;
};

// The status bar's message pane. The text is painted at once, since the checks
// that set it run without returning to the event loop.
class CQtStatusText : public IStatusText {
public:
    explicit CQtStatusText(QStatusBar* bar) : m_pBar(bar) {}
    void SetStatusText(const std::string& text) override;

private:
    QStatusBar* m_pBar;
};

// The same notifier for every part of the program, so that tests can record it.
CQtNotifier& AppNotifier();
// Shows a message through the application's notifier.
void ShowMessage(const QString& text, ENotifyIcon icon = ENotifyIcon::Exclamation);
// Asks a question with Yes and No through the application's notifier; true for Yes.
bool AskQuestion(const QString& text);
