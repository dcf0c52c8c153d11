#include "app/main_frame.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "app/about_dlg.h"
#include "app/app_icons.h"
#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/cp1252.h"
#include "app/help_window.h"
#include "app/progress_wnd.h"
#include "app/qt_seams.h"
#include "app/settings_dlg.h"
#include "app/splash_wnd.h"
#include "app/taluna_doc.h"
#include "base/check_message.h"
#include "base/string_table.h"
#include "check/check_gsd.h"
#include "model/database_builder.h"
#include "model/file_rules.h"
#include "views/find_replace_dlg.h"
#include "views/gsd_text_view.h"
#include "views/gsd_tree_view.h"
#include "views/list_box_bar.h"
#include "views/template_dlg.h"

namespace {

const char* const kCommandId = "commandId";
const char* const kRecentSection = "Recent File List";
const char* const kEditorFontKey = "Settings/EditorFont";

QString Text(int id) {
    return DecodeCp1252(LoadString(id));
}

// Help requests of the core (Key Info): the help window is made when first asked for.
class CFrameHelpRequest : public IHelpRequest {
public:
    explicit CFrameHelpRequest(CMainFrame& frame) : m_Frame(frame) {}
    void ShowHelp(const std::string& page, const std::string& anchor) override {
        m_Frame.HelpWindow()->ShowHelp(page, anchor);
    }

private:
    CMainFrame& m_Frame;
};

QPrinter& AppPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent), m_pProfile(std::make_unique<CQtProfileStore>()) {
    setObjectName("MainFrame");
    setWindowTitle(Text(128));
    setWindowIcon(AppIcon());
    setProperty("helpContext", HID_BASE_RESOURCE + IDR_MAINFRAME);
    m_Context.m_Settings.Read(*m_pProfile);
    m_Context.m_Settings.m_nCheckProfile = m_pProfile->GetInt("Settings", "CheckProfile", 0);
    QFont editorFont = CGSDTextView::DefaultEditorFont();
    const QString storedFont = m_pProfile->Settings().value(kEditorFontKey).toString();
    if (!storedFont.isEmpty() && editorFont.fromString(storedFont)) CGSDTextView::SetEditorFont(editorFont);
    m_pProgress = std::make_unique<CProgressSink>(this);
    m_Context.m_pProfile = m_pProfile.get();
    m_Context.m_pNotifier = &AppNotifier();
    m_Context.m_pProgress = m_pProgress.get();
    m_pHelpRequest = std::make_unique<CFrameHelpRequest>(*this);
    m_Context.m_pHelp = m_pHelpRequest.get();

    m_pMdiArea = new QMdiArea(this);
    m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_pMdiArea);
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        // The area forgets its active window whenever the program loses the
        // focus (a floating output window, another program); the commands go
        // on acting on the document window the user worked in last.
        if (sub != nullptr) m_pLastActive = sub;
        UpdateIndicators();
        UpdateCommands();
        CheckActiveDiskState();
    });
    // Coming back to the program, the active file is compared with the disk.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) CheckActiveDiskState();
    });

    CreateActions();
    CreateStatusBar();
    m_pOutputBar = new CMyListBoxBar(this);
    addDockWidget(Qt::BottomDockWidgetArea, m_pOutputBar);
    m_pOutputBar->AddRow(CCheckMessage{CheckMessageKind::Note, 0, LoadString(65113), nullptr, 65113});
    m_Context.m_pMessages = m_pOutputBar;
    connect(m_pOutputBar, &CMyListBoxBar::navigateRequested, this, &CMainFrame::NavigateToLine);
    connect(m_pOutputBar, &CMyListBoxBar::helpRequested, this,
            [this](const QString& page) { HelpWindow()->WinHelp(page, HELP_DISPLAY_TOPIC); });
    m_pMenuOutput->setChecked(true);
    connect(m_pOutputBar, &QDockWidget::visibilityChanged, this,
            [this] { m_pMenuOutput->setChecked(!m_pOutputBar->isHidden()); });

    SetToolBarFlat(m_Context.m_Settings.m_bFlatbar == 1);
    QApplication::setAttribute(Qt::AA_DontShowIconsInMenus, m_Context.m_Settings.m_bCoolMenu != 1);
    RestoreWindowState();

    const QSettings& settings = m_pProfile->Settings();
    for (int i = 1; i <= MAX_RECENT_FILES; ++i) {
        const QString file = settings.value(QString("%1/File%2").arg(kRecentSection).arg(i)).toString();
        if (!file.isEmpty()) m_RecentFiles << file;
    }
    UpdateRecentMenu();
    setAcceptDrops(true);
    resize(1000, 720);
    UpdateIndicators();
    UpdateCommands();
}

CMainFrame::~CMainFrame() {
    // The document windows go first, while the frame they report to still exists.
    m_bDestroying = true;
    delete m_pMdiArea;
    m_pMdiArea = nullptr;
    m_Context.m_pMessages = nullptr;
    m_Context.m_pStatus = nullptr;
    m_Context.m_pHelp = nullptr;
    m_Context.m_Settings.Write(*m_pProfile);
    m_pProfile->PutInt("Settings", "CheckProfile", m_Context.m_Settings.m_nCheckProfile);
    QSettings& settings = m_pProfile->Settings();
    settings.remove(kRecentSection);
    for (int i = 0; i < m_RecentFiles.size(); ++i)
        settings.setValue(QString("%1/File%2").arg(kRecentSection).arg(i + 1), m_RecentFiles[i]);
    settings.sync();
}

QAction* CMainFrame::AddCommand(QMenu* menu, int id, const QString& text, const QString& status,
                                const QKeySequence& shortcut) {
    auto* action = new QAction(text, this);
    action->setProperty(kCommandId, id);
    action->setStatusTip(status);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    if (menu) menu->addAction(action);
    return action;
}

void CMainFrame::CreateActions() {
    m_pFileMenu = menuBar()->addMenu(tr("&File"));
    QAction* newAction =
        AddCommand(m_pFileMenu, ID_FILE_NEW, tr("&New"), tr("Create a new document"), QKeySequence::New);
    newAction->setIcon(CommandIcon("document-new"));
    connect(newAction, &QAction::triggered, this, [this] { NewDocument(); });
    QAction* openAction =
        AddCommand(m_pFileMenu, ID_FILE_OPEN, tr("&Open..."), tr("Open an existing document"), QKeySequence::Open);
    openAction->setIcon(CommandIcon("document-open"));
    connect(openAction, &QAction::triggered, this, &CMainFrame::OnFileOpen);
    QAction* closeAction = AddCommand(m_pFileMenu, ID_FILE_CLOSE, tr("&Close"), tr("Close the active document"));
    connect(closeAction, &QAction::triggered, this, &CMainFrame::OnFileClose);
    QAction* saveAction =
        AddCommand(m_pFileMenu, ID_FILE_SAVE, tr("&Save"), tr("Save the active document"), QKeySequence::Save);
    saveAction->setIcon(CommandIcon("document-save"));
    connect(saveAction, &QAction::triggered, this, &CMainFrame::OnFileSave);
    QAction* saveAsAction =
        AddCommand(m_pFileMenu, ID_FILE_SAVE_AS, tr("Save &As..."), tr("Save the active document with a new name"));
    connect(saveAsAction, &QAction::triggered, this, &CMainFrame::OnFileSaveAs);
    m_pFileMenu->addSeparator();
    QAction* printAction =
        AddCommand(m_pFileMenu, ID_FILE_PRINT, tr("&Print..."), tr("Print the active document"), QKeySequence::Print);
    printAction->setIcon(CommandIcon("document-print"));
    connect(printAction, &QAction::triggered, this, &CMainFrame::OnFilePrint);
    QAction* previewAction =
        AddCommand(m_pFileMenu, ID_FILE_PRINT_PREVIEW, tr("Print Pre&view"), tr("Display full pages"));
    connect(previewAction, &QAction::triggered, this, &CMainFrame::OnFilePrintPreview);
    QAction* setupAction = AddCommand(m_pFileMenu, ID_FILE_PRINT_SETUP, tr("P&rint Setup..."),
                                      tr("Change the printer and printing options"));
    connect(setupAction, &QAction::triggered, this, &CMainFrame::OnFilePrintSetup);
    m_pFileMenu->addSeparator();
    m_pRecentMenu = m_pFileMenu->addMenu(tr("Recent &Files"));
    m_pFileMenu->addSeparator();
    QAction* exitAction =
        AddCommand(m_pFileMenu, ID_APP_EXIT, tr("E&xit"), tr("Quit the application; prompts to save documents"));
    connect(exitAction, &QAction::triggered, this, &QWidget::close);
    m_DocActions << closeAction << saveAction << saveAsAction << printAction << previewAction;

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    struct SEdit {
        int m_nId;
        QString m_Text;
        QString m_Status;
        QKeySequence m_Key;
        void (CGSDTextView::*m_pSlot)();
        const char* m_pszIcon;
    };
    const SEdit edits[] = {
        {ID_EDIT_UNDO, tr("&Undo"), tr("Undo the last action"), QKeySequence::Undo, &CGSDTextView::Undo, "edit-undo"},
        {ID_EDIT_CUT, tr("Cu&t"), tr("Cut the selection and put it on the Clipboard"), QKeySequence::Cut,
         &CGSDTextView::Cut, "edit-cut"},
        {ID_EDIT_COPY, tr("&Copy"), tr("Copy the selection and put it on the Clipboard"), QKeySequence::Copy,
         &CGSDTextView::Copy, "edit-copy"},
        {ID_EDIT_PASTE, tr("&Paste"), tr("Insert Clipboard contents"), QKeySequence::Paste, &CGSDTextView::Paste,
         "edit-paste"},
    };
    for (const SEdit& e : edits) {
        QAction* action = AddCommand(edit, e.m_nId, e.m_Text, e.m_Status, e.m_Key);
        action->setIcon(CommandIcon(e.m_pszIcon));
        const auto slot = e.m_pSlot;
        connect(action, &QAction::triggered, this, [this, slot] {
            if (CChildFrame* child = ActiveChild()) (child->TextView()->*slot)();
        });
        m_DocActions << action;
    }
    edit->addSeparator();
    QAction* find = AddCommand(edit, ID_EDIT_FIND, tr("&Find..."), tr("Find the specified text"), QKeySequence::Find);
    find->setIcon(CommandIcon("edit-find"));
    connect(find, &QAction::triggered, this, [this] { OnFindReplace(false); });
    QAction* findNext = AddCommand(edit, ID_EDIT_FIND_NEXT, tr("Find &Next"),
                                   tr("Find the next occurrence of the last search"), QKeySequence(Qt::Key_F3));
    findNext->setIcon(CommandIcon("go-down"));
    connect(findNext, &QAction::triggered, this, [this] { FindAgain(false); });
    QAction* findPrevious =
        AddCommand(edit, ID_EDIT_FIND_PREVIOUS, tr("Find Pre&vious"),
                   tr("Find the previous occurrence of the last search"), QKeySequence(Qt::SHIFT | Qt::Key_F3));
    findPrevious->setIcon(CommandIcon("go-up"));
    connect(findPrevious, &QAction::triggered, this, [this] { FindAgain(true); });
    QAction* replace = AddCommand(edit, ID_EDIT_REPLACE, tr("R&eplace..."),
                                  tr("Replace specific text with different text"), QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(replace, &QAction::triggered, this, [this] { OnFindReplace(true); });
    m_DocActions << find << findNext << findPrevious << replace;

    QMenu* view = menuBar()->addMenu(tr("&View"));
    m_pToolBar = addToolBar(tr("Toolbar"));
    m_pToolBar->setObjectName("MainToolBar");
    m_pToolBar->setProperty("helpContext", HID_BASE_CONTROL + AFX_IDW_TOOLBAR);
    QAction* toolbarToggle = m_pToolBar->toggleViewAction();
    toolbarToggle->setText(tr("&Toolbar"));
    toolbarToggle->setProperty(kCommandId, ID_VIEW_TOOLBAR);
    toolbarToggle->setStatusTip(tr("Show or hide the toolbar"));
    view->addAction(toolbarToggle);
    m_pFlatAction = AddCommand(view, ID_VIEW_FLATBAR, tr("&Flat Toolbar"), tr("Flatbar"));
    m_pFlatAction->setCheckable(true);
    connect(m_pFlatAction, &QAction::triggered, this, [this](bool on) { SetToolBarFlat(on); });
    QAction* statusToggle = AddCommand(view, ID_VIEW_STATUS_BAR, tr("&Status Bar"), tr("Show or hide the status bar"));
    statusToggle->setCheckable(true);
    statusToggle->setChecked(true);
    connect(statusToggle, &QAction::triggered, this, [this](bool on) { statusBar()->setVisible(on); });
    m_pMenuOutput =
        AddCommand(view, ID_VIEW_OUTPUT_BAR, tr("&Output"), tr("Shows the output window.\nOutput").section('\n', 0, 0));
    m_pMenuOutput->setCheckable(true);
    connect(m_pMenuOutput, &QAction::triggered, this, [this](bool on) { m_pOutputBar->setVisible(on); });
    view->addSeparator();
    QAction* zoomIn = AddCommand(view, ID_VIEW_ZOOM_IN, tr("Zoom &In"), tr("Enlarge the text of the active window"));
    zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    zoomIn->setIcon(CommandIcon("zoom-in"));
    connect(zoomIn, &QAction::triggered, this, [this] { OnZoom(1); });
    QAction* zoomOut = AddCommand(view, ID_VIEW_ZOOM_OUT, tr("Zoom O&ut"), tr("Reduce the text of the active window"),
                                  QKeySequence::ZoomOut);
    zoomOut->setIcon(CommandIcon("zoom-out"));
    connect(zoomOut, &QAction::triggered, this, [this] { OnZoom(-1); });
    QAction* zoomReset = AddCommand(view, ID_VIEW_ZOOM_RESET, tr("&Reset Zoom"),
                                    tr("Show the text of the active window in the editor font again"),
                                    QKeySequence(Qt::CTRL | Qt::Key_0));
    zoomReset->setIcon(CommandIcon("zoom-original"));
    connect(zoomReset, &QAction::triggered, this, [this] { OnZoom(0); });
    m_DocActions << zoomIn << zoomOut << zoomReset;

    QMenu* extras = menuBar()->addMenu(tr("E&xtras"));
    QAction* rebuild =
        AddCommand(extras, ID_EXTRAS_REBUILD, "&Rebuild", "Rebuilds the internal database.", QKeySequence(Qt::Key_F5));
    rebuild->setToolTip("Rebuild");
    rebuild->setIcon(CommandIcon("view-refresh"));
    connect(rebuild, &QAction::triggered, this, &CMainFrame::OnRebuild);
    QAction* check = AddCommand(extras, ID_EXTRAS_CHECK, "&Check GSD", "Perfoms a check of the active GSD file.",
                                QKeySequence(Qt::Key_F7));
    check->setToolTip("Check GSD");
    check->setIcon(CommandIcon("tools-check-spelling"));
    connect(check, &QAction::triggered, this, &CMainFrame::OnCheckGsd);
    QAction* slaveConfig =
        AddCommand(extras, ID_EXTRAS_SLAVE_CONFIG, tr("Slave &Configuration..."),
                   tr("Plugs modules, sets parameters and shows the bytes a DP master sends for the active file."),
                   QKeySequence(Qt::Key_F8));
    slaveConfig->setToolTip(tr("Slave Configuration"));
    slaveConfig->setIcon(CommandIcon("taluna-slave-configuration"));
    connect(slaveConfig, &QAction::triggered, this, &CMainFrame::OnSlaveConfig);
    extras->addSeparator();
    m_pSettingsAction = AddCommand(extras, ID_EXTRAS_SETTINGS, "&Settings...", "Change program settings.");
    connect(m_pSettingsAction, &QAction::triggered, this, &CMainFrame::OnSettings);
    m_DocActions << rebuild << check << slaveConfig << m_pSettingsAction;

    m_pWindowMenu = menuBar()->addMenu(tr("&Window"));
    connect(m_pWindowMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateWindowMenu);
    UpdateWindowMenu();

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* topics = AddCommand(help, ID_HELP_FINDER, tr("&Help Topics"), tr("List Help topics"));
    connect(topics, &QAction::triggered, this, [this] { OnHelp(ID_HELP_FINDER); });
    QAction* index = AddCommand(help, ID_HELP_INDEX, tr("&Index"), tr("Show the index of the help"));
    connect(index, &QAction::triggered, this, [this] { OnHelp(ID_HELP_INDEX); });
    QAction* context = AddCommand(help, ID_CONTEXT_HELP, tr("&Context Help"), tr("Show help for the active window"),
                                  QKeySequence(Qt::Key_F1));
    connect(context, &QAction::triggered, this, [this] { HelpWindow()->ContextHelp(CurrentHelpContext()); });
    help->addSeparator();
    QAction* about = AddCommand(help, ID_APP_ABOUT, tr("&About Taluna..."), tr("Display program information"));
    about->setIcon(CommandIcon("help-about"));
    connect(about, &QAction::triggered, this, &CMainFrame::OnAbout);

    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) menu->installEventFilter(this);

    CreateToolBar();
    for (QAction* action : {newAction, openAction, saveAction}) m_pToolBar->addAction(action);
    m_pToolBar->addSeparator();
    for (QAction* action : edit->actions())
        if (!action->isSeparator() && action->property(kCommandId).toInt() != ID_EDIT_UNDO &&
            action->property(kCommandId).toInt() != ID_EDIT_REPLACE &&
            action->property(kCommandId).toInt() != ID_EDIT_FIND_NEXT &&
            action->property(kCommandId).toInt() != ID_EDIT_FIND_PREVIOUS)
            m_pToolBar->addAction(action);
    m_pToolBar->addSeparator();
    m_pToolBar->addAction(printAction);
    m_pToolBar->addSeparator();
    m_pToolBar->addAction(rebuild);
    m_pToolBar->addAction(check);
    m_pToolBar->addAction(slaveConfig);
    m_pToolBar->addAction(about);
}

void CMainFrame::CreateToolBar() {
    m_pToolBar->setMovable(true);
    m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_pToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setProperty("helpContext", HID_BASE_CONTROL + AFX_IDW_STATUS_BAR);
    m_pCaretPane = new QLabel(this);
    m_pCaretPane->setObjectName("CaretPane");
    m_pCaretPane->setMinimumWidth(m_pCaretPane->fontMetrics().horizontalAdvance("Line: 99999, Char: 99999") + 8);
    m_pModifiedPane = new QLabel(this);
    m_pModifiedPane->setObjectName("ModifiedPane");
    m_pModifiedPane->setMinimumWidth(m_pModifiedPane->fontMetrics().horizontalAdvance("Modified") + 8);
    bar->addPermanentWidget(m_pCaretPane);
    bar->addPermanentWidget(m_pModifiedPane);
    m_pProfilePane = new QLabel(this);
    m_pProfilePane->setObjectName("ProfilePane");
    m_pProfilePane->setToolTip(tr("The rules Check GSD applies to the active file (Extras, Settings)"));
    bar->addPermanentWidget(m_pProfilePane);
    // The idle text stands whenever no other message does.
    connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& message) {
        if (message.isEmpty()) bar->showMessage(Text(IDS_IDLE));
    });
    bar->showMessage(Text(IDS_IDLE));
    m_pStatusText = std::make_unique<CQtStatusText>(bar);
    m_Context.m_pStatus = m_pStatusText.get();
}

void CMainFrame::SetToolBarFlat(bool flat) {
    m_bToolBarFlat = flat;
    for (QToolButton* button : m_pToolBar->findChildren<QToolButton*>()) button->setAutoRaise(flat);
    if (m_pFlatAction) m_pFlatAction->setChecked(flat);
    m_pToolBar->update();
}

void CMainFrame::RestoreWindowState() {
    if (m_Context.m_Settings.m_bNoWinPosSave == 1) return;
    const QSettings& settings = m_pProfile->Settings();
    restoreGeometry(settings.value("FloatBars/Geometry").toByteArray());
    restoreState(settings.value("FloatBars/State").toByteArray());
}

void CMainFrame::SaveWindowState() {
    if (m_Context.m_Settings.m_bNoWinPosSave == 1) return;
    QSettings& settings = m_pProfile->Settings();
    settings.setValue("FloatBars/Geometry", saveGeometry());
    settings.setValue("FloatBars/State", saveState());
}

CHelpWindow* CMainFrame::HelpWindow() {
    if (!m_pHelpWindow) {
        m_pHelpWindow = new CHelpWindow(this);
    }
    return m_pHelpWindow;
}

void CMainFrame::AddCheckMessage(int kind, int line, const std::string& text, const void* doc) {
    m_Context.AddCheckMessage(kind, line, text, doc);
}

void CMainFrame::ClearOutput() {
    m_Context.ClearMessages();
}

void CMainFrame::CheckActiveDiskState() {
    // After the activation has finished: the question may open a window.
    QTimer::singleShot(0, this, [this] {
        if (CChildFrame* child = ActiveChild()) child->GetDocument()->CheckDiskState();
    });
}

QMdiSubWindow* CMainFrame::ActiveSubWindow() const {
    if (QMdiSubWindow* sub = m_pMdiArea->activeSubWindow()) return sub;
    if (m_pLastActive && m_pMdiArea->subWindowList().contains(m_pLastActive.data())) return m_pLastActive;
    return m_pMdiArea->currentSubWindow();
}

CChildFrame* CMainFrame::ActiveChild() const {
    QMdiSubWindow* sub = ActiveSubWindow();
    return sub ? qobject_cast<CChildFrame*>(sub->widget()) : nullptr;
}

QList<CChildFrame*> CMainFrame::Children() const {
    QList<CChildFrame*> children;
    for (QMdiSubWindow* sub : m_pMdiArea->subWindowList())
        if (auto* child = qobject_cast<CChildFrame*>(sub->widget())) children << child;
    return children;
}

CChildFrame* CMainFrame::FindChild(const QString& path) const {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty()) return nullptr;
    for (CChildFrame* child : Children())
        if (!child->GetDocument()->PathName().isEmpty() &&
            QFileInfo(child->GetDocument()->PathName()).canonicalFilePath() == canonical)
            return child;
    return nullptr;
}

CChildFrame* CMainFrame::AddChild(CTalunaDoc* doc) {
    auto* child = new CChildFrame(doc);
    QMdiSubWindow* sub = m_pMdiArea->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    connect(doc, &CTalunaDoc::caretChanged, this, &CMainFrame::UpdateIndicators);
    connect(doc, &CTalunaDoc::modifiedChanged, this, &CMainFrame::UpdateIndicators);
    connect(doc, &CTalunaDoc::titleChanged, this, &CMainFrame::UpdateCommands);
    connect(child, &CChildFrame::documentSaved, this, &CMainFrame::AddRecentFile);
    // Typing into a read-only text changes nothing: the status bar says why.
    connect(child->TextView(), &CGSDTextView::editRefused, this, [this, doc] {
        statusBar()->showMessage(tr("%1 is read-only: the text cannot be changed.").arg(doc->Title()), 5000);
    });
    connect(child, &QObject::destroyed, this, [this] {
        UpdateIndicators();
        UpdateCommands();
    });
    sub->showMaximized();
    child->TextView()->setFocus();
    m_pMdiArea->setActiveSubWindow(sub);
    UpdateIndicators();
    UpdateCommands();
    return child;
}

CChildFrame* CMainFrame::OpenDocumentFile(const QString& path, bool readOnly) {
    if (CChildFrame* open = FindChild(path)) {
        m_pMdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(open->parentWidget()));
        return open;
    }
    auto* doc = new CTalunaDoc(m_Context, this);
    if (!doc->OpenDocument(path, readOnly)) {
        delete doc;
        RemoveRecentFile(QFileInfo(path).absoluteFilePath());
        return nullptr;
    }
    AddRecentFile(doc->PathName());
    return AddChild(doc);
}

unsigned CMainFrame::QueryFileAttributes(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) return FILE_ATTR_ALL;
    unsigned attributes = 0;
    if (::access(native.constData(), W_OK) != 0) attributes |= FILE_ATTR_READONLY;
    if (S_ISDIR(info.st_mode))
        attributes |= FILE_ATTR_DIRECTORY;
    else if (!S_ISREG(info.st_mode))
        attributes |= FILE_ATTR_SYSTEM;
    if (QFileInfo(path).fileName().startsWith('.')) attributes |= FILE_ATTR_HIDDEN;
    return attributes;
}

void CMainFrame::OpenFiles(const QStringList& paths, bool readOnlyBox) {
    for (const QString& path : paths) {
        const SAttributeCheck check =
            CheckFileAttributes(QueryFileAttributes(path), EncodeCp1252(QDir::toNativeSeparators(path)));
        for (const SAttributeMessage& message : check.m_Messages) ShowMessage(DecodeCp1252(message.m_Text));
        if (check.m_bStop) return;
        const bool protect = readOnlyBox || check.m_bWarning;
        // A file that is no regular file (device, FIFO) would block the read.
        if (QFileInfo(path).exists() && !QFileInfo(path).isFile()) continue;
        if (CChildFrame* child = OpenDocumentFile(path, protect)) {
            if (protect) child->GetDocument()->SetWriteProtected();
        }
    }
    if (!paths.isEmpty()) {
        const std::string dir = DirectoryForLastDir(EncodeCp1252(paths.last()));
        if (!dir.empty()) m_Context.m_Settings.m_LastDir = dir;
    }
}

void CMainFrame::OnFileOpen() {
    QFileDialog dialog(this, tr("Open"), DecodeCp1252(m_Context.m_Settings.m_LastDir));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters({tr("GSD-Files (*.gs*)"), tr("All Files (*)")});
    // Qt's own dialog, so that it can carry the read-only box.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    auto* readOnly = new QCheckBox(tr("Open as &read-only"), &dialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) grid->addWidget(readOnly, grid->rowCount(), 0, 1, -1);
    if (dialog.exec() != QDialog::Accepted) return;
    OpenFiles(dialog.selectedFiles(), readOnly->isChecked());
}

bool CMainFrame::NewDocument() {
    CTemplateDlg chooser(m_pProfile.get(), this);
    if (chooser.exec() != QDialog::Accepted) return false;
    if (chooser.IsEmptyDoc()) return NewEmptyDocument() != nullptr;
    return NewDocumentFromTemplate(chooser.SelectedPath()) != nullptr;
}

CChildFrame* CMainFrame::NewEmptyDocument() {
    auto* doc = new CTalunaDoc(m_Context, this);
    doc->SetUntitledNumber(++m_nUntitled);
    return AddChild(doc);
}

CChildFrame* CMainFrame::NewDocumentFromTemplate(const QString& path) {
    auto* doc = new CTalunaDoc(m_Context, this);
    if (!doc->OpenTemplate(path)) {
        delete doc;
        return nullptr;
    }
    doc->SetUntitledNumber(++m_nUntitled);
    return AddChild(doc);
}

void CMainFrame::OnFileSave() {
    if (CChildFrame* child = ActiveChild()) child->Save();
}

void CMainFrame::OnFileSaveAs() {
    if (CChildFrame* child = ActiveChild()) child->SaveAs();
}

void CMainFrame::OnFileClose() {
    if (QMdiSubWindow* sub = ActiveSubWindow()) sub->close();
}

void CMainFrame::OnFilePrint() {
    CChildFrame* child = ActiveChild();
    if (!child) return;
    QPrintDialog dialog(&AppPrinter(), this);
    if (dialog.exec() == QDialog::Accepted) child->TextView()->PrintDocument(&AppPrinter());
}

void CMainFrame::OnFilePrintPreview() {
    CChildFrame* child = ActiveChild();
    if (!child) return;
    QPrintPreviewDialog preview(&AppPrinter(), this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, child->TextView(), &CGSDTextView::PrintDocument);
    preview.exec();
}

void CMainFrame::OnFilePrintSetup() {
    QPageSetupDialog dialog(&AppPrinter(), this);
    dialog.exec();
}

void CMainFrame::OnFindReplace(bool replace) {
    CChildFrame* child = ActiveChild();
    if (!child) return;
    delete m_pFindDlg;
    m_pFindDlg = new CFindReplaceDlg(child->TextView(), replace, this);
    m_pFindDlg->setAttribute(Qt::WA_DeleteOnClose);
    const QString selected = child->TextView()->SelectedText();
    m_pFindDlg->m_pFind->setText(selected.isEmpty() ? m_LastFindText : selected);
    // What the user types replaces the proposed text.
    m_pFindDlg->m_pFind->selectAll();
    connect(m_pFindDlg, &CFindReplaceDlg::searched, this, [this](const QString& text, QTextDocument::FindFlags flags) {
        m_LastFindText = text;
        m_LastFindFlags = flags;
    });
    m_pFindDlg->show();
}

bool CMainFrame::FindAgain(bool backward) {
    CChildFrame* child = ActiveChild();
    if (!child) return false;
    if (m_LastFindText.isEmpty()) {
        OnFindReplace(false);
        return false;
    }
    // The dialog searches in the window it was opened for; F3 in the active one.
    if (m_pFindDlg) m_pFindDlg->SetEditor(child->TextView());
    QTextDocument::FindFlags flags = m_LastFindFlags;
    if (backward) flags |= QTextDocument::FindBackward;
    if (child->TextView()->FindAgain(m_LastFindText, flags)) return true;
    statusBar()->showMessage(tr("\"%1\" was not found.").arg(m_LastFindText), 5000);
    return false;
}

void CMainFrame::OnZoom(int steps) {
    CChildFrame* child = ActiveChild();
    if (!child) return;
    if (steps > 0) child->TextView()->ZoomIn();
    if (steps < 0) child->TextView()->ZoomOut();
    if (steps == 0) child->TextView()->ZoomReset();
}

void CMainFrame::OnRebuild() {
    CChildFrame* child = ActiveChild();
    if (!child) return;
    child->Rebuild();
}

void CMainFrame::OnCheckGsd() {
    CChildFrame* child = ActiveChild();
    if (!child) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    child->CheckGsd();
    QApplication::restoreOverrideCursor();
}

void CMainFrame::OnSlaveConfig() {
    if (CChildFrame* child = ActiveChild()) child->ShowSlaveConfig();
}

CChildFrame* CMainFrame::ChildOfDocument(const void* document) const {
    if (document == nullptr || m_pMdiArea == nullptr) return nullptr;
    for (CChildFrame* child : Children())
        if (child->GetDocument() == document) return child;
    return nullptr;
}

void CMainFrame::NavigateToLine(const void* document, int line) {
    CChildFrame* child = ChildOfDocument(document);
    if (child == nullptr || line < 0) return;
    // The output list keeps the focus, so that the arrow keys go on moving
    // through its rows.
    QWidget* focus = QApplication::focusWidget();
    if (CGSDTreeView* tree = child->TreeView()) tree->SelectKeyAtLine(line);
    child->SelectLine(line);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(child->parentWidget())) m_pMdiArea->setActiveSubWindow(sub);
    if (focus != nullptr && m_pOutputBar->isAncestorOf(focus)) focus->setFocus();
}

void CMainFrame::OnSettings() {
    QFont font = CGSDTextView::EditorFont();
    if (RunSettingsDialog(this, m_Context.m_Settings, &font) && font != CGSDTextView::EditorFont()) {
        CGSDTextView::SetEditorFont(font);
        m_pProfile->Settings().setValue(kEditorFontKey, font.toString());
        for (CChildFrame* child : Children()) child->TextView()->ApplyEditorFont();
    }
    UpdateIndicators();
}

void CMainFrame::OnAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CMainFrame::OnHelp(int command) {
    if (command == ID_HELP_INDEX)
        HelpWindow()->WinHelp("default.htm", HELP_DISPLAY_INDEX);
    else
        HelpWindow()->WinHelp("default.htm", HELP_DISPLAY_TOC);
}

void CMainFrame::ShowSplashIfWanted() {
    if (m_Context.m_Settings.m_bShowSplash == 1) CSplashWnd::ShowSplashWindow(this);
}

void CMainFrame::AddRecentFile(const QString& path) {
    if (path.isEmpty()) return;
    m_RecentFiles.removeAll(path);
    m_RecentFiles.prepend(path);
    while (m_RecentFiles.size() > MAX_RECENT_FILES) m_RecentFiles.removeLast();
    UpdateRecentMenu();
}

void CMainFrame::RemoveRecentFile(const QString& path) {
    m_RecentFiles.removeAll(path);
    UpdateRecentMenu();
}

void CMainFrame::UpdateRecentMenu() {
    m_pRecentMenu->clear();
    for (int i = 0; i < m_RecentFiles.size(); ++i) {
        const QString path = m_RecentFiles[i];
        QAction* action = m_pRecentMenu->addAction(QString("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        action->setProperty(kCommandId, ID_FILE_MRU_FIRST + i);
        connect(action, &QAction::triggered, this, [this, path] { OpenDocumentFile(path); });
    }
    m_pRecentMenu->setEnabled(!m_RecentFiles.isEmpty());
}

void CMainFrame::UpdateWindowMenu() {
    m_pWindowMenu->clear();
    QAction* cascade =
        AddCommand(m_pWindowMenu, ID_WINDOW_CASCADE, tr("&Cascade"), tr("Arrange windows so they overlap"));
    connect(cascade, &QAction::triggered, m_pMdiArea, &QMdiArea::cascadeSubWindows);
    QAction* tile =
        AddCommand(m_pWindowMenu, ID_WINDOW_TILE_HORZ, tr("&Tile"), tr("Arrange windows as non-overlapping tiles"));
    connect(tile, &QAction::triggered, m_pMdiArea, &QMdiArea::tileSubWindows);
    QAction* next = AddCommand(m_pWindowMenu, ID_WINDOW_ARRANGE, tr("&Next Window"), tr("Activate the next window"),
                               QKeySequence::NextChild);
    connect(next, &QAction::triggered, m_pMdiArea, &QMdiArea::activateNextSubWindow);
    const auto subs = m_pMdiArea->subWindowList();
    if (!subs.isEmpty()) m_pWindowMenu->addSeparator();
    for (int i = 0; i < subs.size(); ++i) {
        QMdiSubWindow* sub = subs[i];
        QAction* action = m_pWindowMenu->addAction(QString("&%1 %2").arg(i + 1).arg(sub->windowTitle().remove("[*]")));
        action->setProperty(kCommandId, AFX_IDM_FIRST_MDICHILD);
        action->setCheckable(true);
        action->setChecked(sub == ActiveSubWindow());
        connect(action, &QAction::triggered, this, [this, sub] { m_pMdiArea->setActiveSubWindow(sub); });
    }
}

QString CMainFrame::ModifiedIndicatorText() const {
    const CChildFrame* child = ActiveChild();
    if (!child || !child->GetDocument()) return "---";
    return Text(child->GetDocument()->IsModified() ? 65130 : 65131);
}

QString CMainFrame::CaretIndicatorText() const {
    const CChildFrame* child = ActiveChild();
    if (!child || !child->GetDocument()) return "---";
    return DecodeCp1252(
        FormatString(65122, {child->GetDocument()->CaretLine() + 1, child->GetDocument()->CaretColumn() + 1}));
}

void CMainFrame::UpdateIndicators() {
    if (m_bDestroying) return;
    m_pCaretPane->setText(CaretIndicatorText());
    m_pModifiedPane->setText(ModifiedIndicatorText());
    m_pProfilePane->setText(ProfileIndicatorText());
}

QString CMainFrame::ProfileIndicatorText() const {
    const CChildFrame* child = ActiveChild();
    if (child == nullptr) return {};
    return ProfileOfSetting(m_Context.m_Settings.m_nCheckProfile, child->GetDocument()->Lines()) == ECheckProfile::Rev5
               ? tr("Rules: revision 5")
               : tr("Rules: classic");
}

void CMainFrame::UpdateCommands() {
    if (m_bDestroying) return;
    const CChildFrame* child = ActiveChild();
    const bool hasDoc = child != nullptr;
    // A read-only text offers no command that would change it; a
    // write-protected document none that would save it over its file.
    const bool textReadOnly = hasDoc && child->TextView()->IsReadOnly();
    const bool writeProtected = hasDoc && child->GetDocument()->m_bWriteProtected != 0;
    for (QAction* action : m_DocActions) {
        const int id = action->property(kCommandId).toInt();
        bool enabled = hasDoc;
        if (id == ID_EDIT_CUT || id == ID_EDIT_PASTE || id == ID_EDIT_REPLACE) enabled = enabled && !textReadOnly;
        if (id == ID_FILE_SAVE) enabled = enabled && !writeProtected;
        action->setEnabled(enabled);
    }
}

int CMainFrame::CurrentHelpContext() const {
    for (QWidget* w = QApplication::widgetAt(QCursor::pos()); w; w = w->parentWidget()) {
        const int context = w->property("helpContext").toInt();
        if (context == HID_BASE_CONTROL + AFX_IDW_TOOLBAR || context == HID_BASE_CONTROL + AFX_IDW_STATUS_BAR)
            return context;
    }
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        const int context = w->property("helpContext").toInt();
        if (context != 0) return context;
    }
    return HID_BASE_RESOURCE + IDR_MAINFRAME;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    for (CChildFrame* child : Children()) {
        if (!child->QueryClose()) {
            event->ignore();
            return;
        }
    }
    SaveWindowState();
    for (CChildFrame* child : Children()) child->GetDocument()->SetModified(false);
    m_pMdiArea->closeAllSubWindows();
    if (m_pHelpWindow) m_pHelpWindow->close();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) OpenDocumentFile(url.toLocalFile());
    event->acceptProposedAction();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        if (auto* menu = qobject_cast<QMenu*>(watched)) {
            const QAction* action = menu->activeAction();
            const int id = action ? action->property(kCommandId).toInt() : 0;
            menu->close();
            HelpWindow()->ContextHelp(id != 0 ? HID_BASE_COMMAND + id : HID_BASE_RESOURCE + IDR_MAINFRAME);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
