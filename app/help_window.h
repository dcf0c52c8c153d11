#pragma once
// The help window: shows the help pages shipped as Qt resources (":/help/"),
// by page and anchor, with contents and index views on default.htm.

#include <QMainWindow>
#include <string>

#include "model/seams.h"

class QTextBrowser;

class CHelpWindow : public QMainWindow, public IHelpRequest {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // The application's help function, taking a page (and anchor) and a command.
    void WinHelp(const QString& data, int command);
    // Context help for a context id (command, resource or bar id with its base).
    void ContextHelp(int contextId);
    void ShowHelp(const std::string& page, const std::string& anchor) override;
    void ShowPage(const QString& page, const QString& anchor = QString());

    QTextBrowser* Browser() const { return m_pBrowser; }
    // Page and anchor shown last (for tests).
    QString CurrentPage() const { return m_CurrentPage; }
    QString CurrentAnchor() const { return m_CurrentAnchor; }

private:
    // Centres the window on the main window, within the screen, when it opens.
    void PlaceOverOwner();

    QTextBrowser* m_pBrowser;
    QString m_CurrentPage;
    QString m_CurrentAnchor;
};
