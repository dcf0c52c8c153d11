#include "app/child_frame.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QScrollArea>
#include <QSplitter>

#include "app/command_ids.h"
#include "app/qt_seams.h"
#include "app/taluna_doc.h"
#include "check/check_gsd.h"
#include "check/process_key.h"
#include "model/database_builder.h"
#include "model/taluna_context.h"
#include "views/finding_recorder.h"
#include "views/gsd_text_view.h"
#include "views/gsd_tree_view.h"
#include "views/input_view.h"
#include "views/slave_config_window.h"
#include "views/view_text.h"

namespace {
// Wide enough for the usual key texts; longer ones scroll.
constexpr int TREE_WIDTH = 260;
// The key form opens at a third of the height, so that its help and fields
// are seen without dragging the splitter first. The share stays when the
// window is resized, and until the user drags the splitter.
constexpr int TEXT_SHARE = 2;
constexpr int FORM_SHARE = 1;
}  // namespace

CChildFrame::CChildFrame(CTalunaDoc* document, QWidget* parent) : QWidget(parent), m_pDoc(document) {
    setAttribute(Qt::WA_DeleteOnClose);
    setProperty("helpContext", HID_BASE_RESOURCE + IDR_GSDTYPE);
    setAcceptDrops(false);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pOuter = new QSplitter(Qt::Horizontal, this);
    m_pTreeView = new CGSDTreeView(*this, m_pOuter);
    m_pInner = new QSplitter(Qt::Vertical, m_pOuter);
    m_pTextView = new CGSDTextView(document, m_pInner);
    // The form shows different fields for every key; it scrolls within its
    // share instead of taking the text's height.
    m_pFormArea = new QScrollArea(m_pInner);
    m_pFormArea->setObjectName("FormArea");
    m_pFormArea->setWidgetResizable(true);
    m_pFormArea->setFrameShape(QFrame::NoFrame);
    m_pInputView = new CInputView(*this);
    m_pFormArea->setWidget(m_pInputView);
    m_pOuter->addWidget(m_pTreeView);
    m_pOuter->addWidget(m_pInner);
    m_pInner->addWidget(m_pTextView);
    m_pInner->addWidget(m_pFormArea);
    m_pOuter->setSizes({TREE_WIDTH, 740});
    m_pOuter->setStretchFactor(1, 1);
    m_pInner->setSizes({TEXT_SHARE * 200, FORM_SHARE * 200});
    m_pInner->setStretchFactor(0, TEXT_SHARE);
    m_pInner->setStretchFactor(1, FORM_SHARE);
    m_pInner->setCollapsible(0, false);
    m_pInner->setCollapsible(1, true);
    layout->addWidget(m_pOuter);
    setFocusProxy(m_pTextView);
    document->setParent(this);
    connect(document, &CTalunaDoc::titleChanged, this, &CChildFrame::UpdateTitle);
    connect(document, &CTalunaDoc::modifiedChanged, this, [this](bool modified) { setWindowModified(modified); });
    connect(m_pTextView, &CGSDTextView::lineDoubleClicked, m_pTreeView, &CGSDTreeView::SelectKeyAtLine);
    // A reload rebuilds the database under the tree: until the refill the tree
    // does not act on its items.
    connect(document, &CTalunaDoc::aboutToReload, this, [this] {
        SetTreeRefresh(true);
        Context().m_pCurEntry = nullptr;
    });
    connect(document, &CTalunaDoc::reloaded, this, [this] {
        m_pTreeView->SetStale(false);
        SetKeyFormEnabled(true);
        UpdateAllViews(nullptr);
        ShowRootInformation();
        if (m_pSlaveConfig) m_pSlaveConfig->Reread();
    });
    UpdateTitle();
    m_pTreeView->OnInitialUpdate();
}

CChildFrame::~CChildFrame() {
    // The configurator window has no parent (it may lie behind the main window); it goes with its document.
    delete m_pSlaveConfig;
}

CTalunaContext& CChildFrame::Context() {
    return m_pDoc->Context();
}
CKeyDatabase& CChildFrame::Database() {
    return m_pDoc->Database();
}
const ILineSource& CChildFrame::Lines() const {
    return m_pDoc->Lines();
}
bool CChildFrame::IsWriteProtected() const {
    return m_pDoc->m_bWriteProtected != 0;
}
bool CChildFrame::IsTreeRefresh() const {
    return m_pDoc->m_bTreeRefresh != 0;
}
void CChildFrame::SetTreeRefresh(bool refresh) {
    m_pDoc->m_bTreeRefresh = refresh ? 1 : 0;
}
void CChildFrame::SelectLine(int line) {
    m_pTextView->SelectLine(line);
}
bool CChildFrame::WriteBackEntry(CKeyEntry& entry) {
    return m_pDoc->WriteBackEntry(entry);
}

void CChildFrame::UpdateAllViews(QWidget* sender) {
    if (sender != m_pTreeView) m_pTreeView->OnUpdate();
    if (sender != m_pInputView) m_pInputView->OnUpdate();
}

void CChildFrame::SetKeyFormEnabled(bool enabled) {
    m_pInputView->setEnabled(enabled);
}

void CChildFrame::ReportStaleDatabase() {
    m_pTreeView->ReportStale();
}

void CChildFrame::EntryChanged(const CKeyEntry& entry) {
    m_pTreeView->RenameEntryItem(entry);
}

void CChildFrame::CheckSyntax() {
    m_pDoc->ApplyCheckProfile();
    CFindingRecorder findings(Context(), m_pDoc);
    RunCheckSyntax(Context(), Lines(), Database(), m_pDoc);
    m_pTextView->SetFindings(findings.Findings(), findings.Texts());
    UpdateAllViews(nullptr);
}

void CChildFrame::Rebuild() {
    try {
        // One reading of the text for the whole command.
        const ILineSource& lines = m_pDoc->TakeSnapshot();
        m_pDoc->ApplyCheckProfile(lines);
        RebuildDatabase(Context(), KeyClassifier(), lines, Database());
    } catch (const std::bad_alloc&) {
        OnOutOfMemory(tr("Rebuild"));
    }
    // The marks of the last check go: the text they were found in is read again.
    m_pTextView->ClearFindings();
    SetTreeRefresh(true);
    m_pTreeView->SetStale(false);
    SetKeyFormEnabled(true);
    UpdateAllViews(nullptr);
    ShowRootInformation();
    if (m_pSlaveConfig) m_pSlaveConfig->Reread();
}

void CChildFrame::CheckGsd() {
    // The check starts with a rebuild, which makes a tree and form disabled by
    // the stale-database test usable again; until the refill at the end the tree
    // does not act on its items, which show entries of the old database.
    SetTreeRefresh(true);
    m_pTreeView->SetStale(false);
    SetKeyFormEnabled(true);
    try {
        // One reading of the text for the whole command; the marks of the
        // last check stay until this one's replace them.
        const ILineSource& lines = m_pDoc->TakeSnapshot();
        m_pDoc->ApplyCheckProfile(lines);
        CFindingRecorder findings(Context(), m_pDoc);
        RunCheckGsd(Context(), lines, Database(), m_pDoc);
        m_pTextView->SetFindings(findings.Findings(), findings.Texts());
    } catch (const std::bad_alloc&) {
        OnOutOfMemory(tr("Check GSD"));
    }
    UpdateAllViews(nullptr);
    ShowRootInformation();
    // The output window keeps the rows of the check.
    if (m_pSlaveConfig) m_pSlaveConfig->Reread(false);
}

CSlaveConfigWindow* CChildFrame::SlaveConfigWindow() const {
    return m_pSlaveConfig;
}

CSlaveConfigWindow* CChildFrame::ShowSlaveConfig() {
    if (!m_pSlaveConfig) {
        m_pSlaveConfig = new CSlaveConfigWindow(m_pDoc);
        // It does not keep the program running once the main window is closed.
        m_pSlaveConfig->setAttribute(Qt::WA_QuitOnClose, false);
        const QRect frame = window()->geometry();
        m_pSlaveConfig->move(frame.left() + 40, frame.top() + 40);
        connect(m_pSlaveConfig, &CSlaveConfigWindow::rebuildRequested, this, &CChildFrame::Rebuild);
        connect(m_pSlaveConfig, &CSlaveConfigWindow::lineRequested, this, [this](int line) {
            m_pTreeView->SelectKeyAtLine(line);
            SelectLine(line);
        });
    }
    m_pSlaveConfig->show();
    m_pSlaveConfig->raise();
    m_pSlaveConfig->activateWindow();
    return m_pSlaveConfig;
}

void CChildFrame::OnOutOfMemory(const QString& command) {
    m_pTextView->ClearFindings();
    // The database and the rows so far are given back, so that the program and
    // the other documents go on; the text stays as it is.
    CTalunaContext& context = Context();
    context.m_pCurEntry = nullptr;
    context.m_pOpenBlock = nullptr;
    context.m_bInModule = 0;
    context.m_Form.m_nFormMode = 0;
    context.ClearMessages();
    Database().Clear();
    if (context.m_pProgress) context.m_pProgress->Reset();
    ShowMessage(tr("Not enough memory to finish %1 of \"%2\".\nThe text is unchanged; the key database is empty "
                   "until the next Rebuild (F5).")
                    .arg(command, m_pDoc->Title()));
}

void CChildFrame::ShowRootInformation() {
    // The refill selects the root without preparing the form; without this the
    // form would go on showing the help of whichever key was processed last.
    const QModelIndex root = m_pTreeView->RootItem();
    if (!root.isValid() || m_pTreeView->IsStale() || m_pTreeView->currentIndex() != root) return;
    ProcessKey(Context(), QtToGsd(root.data().toString()), MODE_INFORMATION, "");
    m_pInputView->OnUpdate();
}

void CChildFrame::UpdateTitle() {
    setWindowTitle(m_pDoc->Title() + (m_pDoc->IsReadOnly() ? tr(" [read-only]") : QString()) + "[*]");
}

bool CChildFrame::Save() {
    if (m_pDoc->PathName().isEmpty()) return SaveAs();
    const bool ok = m_pDoc->SaveDocument(m_pDoc->PathName());
    if (ok) emit documentSaved(m_pDoc->PathName());
    return ok;
}

bool CChildFrame::SaveAs() {
    QString start = m_pDoc->PathName();
    if (start.isEmpty()) start = m_pDoc->Title() + ".GSD";
    const QString path =
        QFileDialog::getSaveFileName(this, tr("Save As"), start, tr("GSD-Files (*.gsd);;All Files (*)"));
    if (path.isEmpty()) return false;
    const bool ok = m_pDoc->SaveDocument(path);
    if (ok) emit documentSaved(m_pDoc->PathName());
    return ok;
}

bool CChildFrame::QueryClose() {
    if (!m_pDoc->IsModified()) return true;
    const auto answer = QMessageBox::question(this, "Taluna", tr("Save changes to %1?").arg(m_pDoc->Title()),
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Yes) return Save();
    return true;
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!QueryClose()) {
        event->ignore();
        return;
    }
    m_pDoc->OnCloseDocument();
    event->accept();
}
