#pragma once
// The window of one document: the tree pane left, the text pane top right and
// the key editor form below it, in two splitters.

#include <QPointer>
#include <QWidget>

#include "views/gsd_view_host.h"

class QScrollArea;
class QSplitter;
class CTalunaDoc;
class CGSDTreeView;
class CGSDTextView;
class CInputView;
class CSlaveConfigWindow;

class CChildFrame : public QWidget, public IGsdViewHost {
    Q_OBJECT
public:
    explicit CChildFrame(CTalunaDoc* document, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CTalunaDoc* GetDocument() const { return m_pDoc; }
    CGSDTreeView* TreeView() const { return m_pTreeView; }
    CGSDTextView* TextView() const { return m_pTextView; }
    CInputView* InputView() const { return m_pInputView; }
    QSplitter* OuterSplitter() const { return m_pOuter; }
    QSplitter* InnerSplitter() const { return m_pInner; }
    // The scrolling pane of the key form, below the text.
    QScrollArea* FormArea() const { return m_pFormArea; }

    // The view host of the tree and the key form.
    CTalunaContext& Context() override;
    CKeyDatabase& Database() override;
    const ILineSource& Lines() const override;
    const void* Document() const override { return m_pDoc; }
    bool IsWriteProtected() const override;
    bool IsTreeRefresh() const override;
    void SetTreeRefresh(bool refresh) override;
    void SelectLine(int line) override;
    bool WriteBackEntry(CKeyEntry& entry) override;
    void UpdateAllViews(QWidget* sender) override;
    void SetKeyFormEnabled(bool enabled) override;
    void CheckSyntax() override;
    void ReportStaleDatabase() override;
    void EntryChanged(const CKeyEntry& entry) override;
    // Rebuild (F5): the database again from the text; the tree refills.
    void Rebuild();
    // Check GSD (F7): rebuild, check every key and the whole file, list the
    // findings with this document as their target, refill the tree.
    void CheckGsd();
    // Slave Configuration (F8): shows the document's configurator window, made
    // when first asked for; it follows every Rebuild and Check GSD. It is a
    // window of its own beside the main window, closed with the document.
    CSlaveConfigWindow* ShowSlaveConfig();
    // The configurator window; null until it was first shown.
    CSlaveConfigWindow* SlaveConfigWindow() const;

    // Asks whether to save a modified document; false when the user cancels.
    bool QueryClose();
    // Saves to the document's path, or asks for one; false when nothing was saved.
    bool Save();
    bool SaveAs();

signals:
    void documentSaved(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void UpdateTitle();
    // After a refill: the form shows the information of the selected root.
    void ShowRootInformation();
    // A command ran out of memory: empty the database, tell the user.
    void OnOutOfMemory(const QString& command);

    CTalunaDoc* m_pDoc;
    QSplitter* m_pOuter;
    QSplitter* m_pInner;
    CGSDTreeView* m_pTreeView;
    CGSDTextView* m_pTextView;
    QScrollArea* m_pFormArea;
    CInputView* m_pInputView;
    QPointer<CSlaveConfigWindow> m_pSlaveConfig;
};
