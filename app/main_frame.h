#pragma once
// The main window: menus, toolbar, status bar with caret and modified
// indicators, the docking output window and the multi-document area. Owns the
// application-wide context and the settings; reads them at construction and
// writes them at destruction.

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTextDocument>
#include <memory>

#include "model/taluna_context.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class CChildFrame;
class CFindReplaceDlg;
class CHelpWindow;
class CMyListBoxBar;
class CProgressSink;
class CQtProfileStore;
class CQtStatusText;
class CTalunaDoc;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int MAX_RECENT_FILES = 9;

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    CTalunaContext& Context() { return m_Context; }
    CQtProfileStore& Profile() { return *m_pProfile; }
    CMyListBoxBar* OutputBar() const { return m_pOutputBar; }
    QMdiArea* MdiArea() const { return m_pMdiArea; }
    QToolBar* ToolBar() const { return m_pToolBar; }
    CHelpWindow* HelpWindow();

    // The single entry point for messages: shows the output bar and adds the row.
    void AddCheckMessage(int kind, int line, const std::string& text, const void* doc);
    void ClearOutput();

    // Opens a file as a document, or activates the window that shows it already.
    // Null when the file could not be read.
    CChildFrame* OpenDocumentFile(const QString& path, bool readOnly = false);
    // The Open command after its file dialog: attribute checks, read-only box, LastDir.
    void OpenFiles(const QStringList& paths, bool readOnlyBox);
    // File New: the template chooser; false when no document was created.
    bool NewDocument();
    CChildFrame* NewEmptyDocument();
    // Reads a template into a new untitled document.
    CChildFrame* NewDocumentFromTemplate(const QString& path);

    // Output navigation: shows 0-based line `line` of the document `document`
    // (the key in its tree, the line in its text) and brings its window to the
    // front; nothing when no open document is `document`.
    void NavigateToLine(const void* document, int line);
    CChildFrame* ChildOfDocument(const void* document) const;

    // Compares the active document's file with the disk, announcing a change once.
    void CheckActiveDiskState();
    // "Rules: classic" or "Rules: revision 5" for the active document, empty without one.
    QString ProfileIndicatorText() const;
    // The document window the commands act on: the active one, or the one
    // that was active last while the focus is outside the document area.
    CChildFrame* ActiveChild() const;
    QMdiSubWindow* ActiveSubWindow() const;
    QList<CChildFrame*> Children() const;
    QString ModifiedIndicatorText() const;
    QString CaretIndicatorText() const;
    QStringList RecentFiles() const { return m_RecentFiles; }
    bool IsToolBarFlat() const { return m_bToolBarFlat; }
    void SetToolBarFlat(bool flat);
    // The help context of the window or command the user asks about with F1.
    int CurrentHelpContext() const;
    // Shows the splash window when the settings allow it.
    void ShowSplashIfWanted();
    // Find Next (F3) and Find Previous (Shift+F3): the find dialog's last
    // search again in the active text, from the caret on; without one the
    // find dialog opens. False when nothing was found.
    bool FindAgain(bool backward);
    QString LastFindText() const { return m_LastFindText; }

    // File attributes as the Open command tests them (see DESIGN.md).
    static unsigned QueryFileAttributes(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void RestoreWindowState();
    void SaveWindowState();
    QAction* AddCommand(QMenu* menu, int id, const QString& text, const QString& status,
                        const QKeySequence& shortcut = QKeySequence());
    CChildFrame* AddChild(CTalunaDoc* doc);
    CChildFrame* FindChild(const QString& path) const;
    void AddRecentFile(const QString& path);
    void RemoveRecentFile(const QString& path);
    void UpdateRecentMenu();
    void UpdateIndicators();
    void UpdateCommands();
    void UpdateWindowMenu();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFileClose();
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    void OnFindReplace(bool replace);
    void OnRebuild();
    void OnCheckGsd();
    void OnSlaveConfig();
    void OnSettings();
    void OnZoom(int steps);
    void OnAbout();
    void OnHelp(int command);

    CTalunaContext m_Context;
    std::unique_ptr<CQtProfileStore> m_pProfile;
    std::unique_ptr<CProgressSink> m_pProgress;
    std::unique_ptr<CQtStatusText> m_pStatusText;
    std::unique_ptr<IHelpRequest> m_pHelpRequest;
    QMdiArea* m_pMdiArea = nullptr;
    CMyListBoxBar* m_pOutputBar = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QLabel* m_pCaretPane = nullptr;
    QLabel* m_pModifiedPane = nullptr;
    QLabel* m_pProfilePane = nullptr;
    QMenu* m_pFileMenu = nullptr;
    QMenu* m_pRecentMenu = nullptr;
    QMenu* m_pWindowMenu = nullptr;
    QList<QAction*> m_DocActions;
    QAction* m_pFlatAction = nullptr;
    QAction* m_pSettingsAction = nullptr;
    QAction* m_pMenuOutput = nullptr;
    QStringList m_RecentFiles;
    bool m_bToolBarFlat = true;
    int m_nUntitled = 0;
    bool m_bDestroying = false;
    QPointer<CHelpWindow> m_pHelpWindow;
    QPointer<CFindReplaceDlg> m_pFindDlg;
    QString m_LastFindText;
    QTextDocument::FindFlags m_LastFindFlags;
    QPointer<QMdiSubWindow> m_pLastActive;
};
