#pragma once
// A document window stand-in for the tests of the tree, the key form and the
// user-key dialog: lines in memory, a database built from them, an in-memory
// profile, and a record of every request the views make.

#include <QFile>
#include <string>
#include <vector>

#include "base/check_message.h"
#include "base/string_table.h"
#include "check/check_gsd.h"
#include "check/process_key.h"
#include "model/database_builder.h"
#include "model/ini_profile.h"
#include "model/text_lines.h"
#include "views/gsd_tree_view.h"
#include "views/gsd_view_host.h"
#include "views/input_view.h"

class CRecordingNotifier : public INotifier {
public:
    void Notify(const std::string& text, ENotifyIcon icon) override {
        m_Texts.push_back(text);
        m_Icons.push_back(icon);
    }
    std::vector<std::string> m_Texts;
    std::vector<ENotifyIcon> m_Icons;
};

class CRecordingSink : public IMessageSink {
public:
    void AddRow(const CCheckMessage& message) override { m_Rows.push_back(message); }
    void Clear() override {
        m_Rows.clear();
        ++m_nClears;
    }
    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const CCheckMessage& row : m_Rows) ids.push_back(row.m_nId);
        return ids;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const CCheckMessage& row : m_Rows) texts.push_back(row.m_Text);
        return texts;
    }
    std::vector<CCheckMessage> m_Rows;
    int m_nClears = 0;
};

class CRecordingHelp : public IHelpRequest {
public:
    void ShowHelp(const std::string& page, const std::string& anchor) override {
        m_Page = page;
        m_Anchor = anchor;
    }
    std::string m_Page, m_Anchor;
};

class CTestViewHost : public IGsdViewHost {
public:
    CTestViewHost() {
        m_Context.m_pProfile = &m_Profile;
        m_Context.m_pNotifier = &m_Notifier;
        m_Context.m_pMessages = &m_Sink;
        m_Context.m_pHelp = &m_Help;
    }

    // Loads `text` as the document and builds its database; then creates the views.
    void Load(const std::string& text) {
        m_Lines.Lines() = SplitLines(text);
        m_Database.Clear();
        m_Context.m_pCurEntry = nullptr;
        BuildDatabase(m_Context, KeyClassifier(), m_Lines, m_Database);
        if (m_pTree == nullptr) m_pTree = new CGSDTreeView(*this);
        if (m_pForm == nullptr) m_pForm = new CInputView(*this);
        m_pTree->OnInitialUpdate();
        m_pForm->OnUpdate();
    }
    bool LoadFile(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return false;
        const QByteArray bytes = file.readAll();
        Load(std::string(CutAtNul(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())))));
        return true;
    }
    // The document's Rebuild: empties and rebuilds the database, enables the views, refills.
    void Rebuild() {
        RebuildDatabase(m_Context, KeyClassifier(), m_Lines, m_Database);
        m_pTree->SetStale(false);
        m_bFormEnabled = true;
        m_bTreeRefresh = true;
        m_Context.m_Form.m_nFormMode = 0;
        m_Context.m_pCurEntry = nullptr;
        UpdateAllViews(nullptr);
    }

    ~CTestViewHost() override {
        delete m_pTree;
        delete m_pForm;
    }

    CTalunaContext& Context() override { return m_Context; }
    CKeyDatabase& Database() override { return m_Database; }
    const ILineSource& Lines() const override { return m_Lines; }
    const void* Document() const override { return this; }
    bool IsWriteProtected() const override { return m_bWriteProtected; }
    bool IsTreeRefresh() const override { return m_bTreeRefresh; }
    void SetTreeRefresh(bool refresh) override { m_bTreeRefresh = refresh; }
    void SelectLine(int line) override { m_SelectedLines.push_back(line); }
    bool WriteBackEntry(CKeyEntry& entry) override {
        // One line per entry is enough for these tests: the entry's first line
        // becomes keyword and value, its further lines are dropped.
        const std::string text = entry.m_Keyword.str() + entry.m_Value.str();
        auto& lines = m_Lines.Lines();
        lines.erase(lines.begin() + entry.m_LongLine + 1, lines.begin() + entry.m_Line + 1);
        lines[static_cast<size_t>(entry.m_LongLine)] = text;
        entry.m_Line = entry.m_LongLine;
        m_WrittenBack.push_back(text);
        return true;
    }
    void UpdateAllViews(QWidget* sender) override {
        ++m_nUpdates;
        if (m_pTree != nullptr && sender != m_pTree) m_pTree->OnUpdate();
        if (m_pForm != nullptr && sender != m_pForm) m_pForm->OnUpdate();
    }
    void SetKeyFormEnabled(bool enabled) override {
        m_bFormEnabled = enabled;
        if (m_pForm != nullptr) m_pForm->setEnabled(enabled);
    }
    void CheckSyntax() override {
        ++m_nCheckSyntax;
        RunCheckSyntax(m_Context, m_Lines, m_Database, this);
        CKeyEntry* current = m_Context.m_pCurEntry;
        m_bTreeRefresh = true;
        UpdateAllViews(nullptr);
        m_Context.m_pCurEntry = current;
    }
    void ReportStaleDatabase() override {
        if (m_pTree != nullptr) {
            m_pTree->ReportStale();
            return;
        }
        SetKeyFormEnabled(false);
        m_Context.Notify(LoadString(IDS_STALE_DATABASE), ENotifyIcon::Information);
    }
    void EntryChanged(const CKeyEntry& entry) override {
        if (m_pTree != nullptr) m_pTree->RenameEntryItem(entry);
    }

    // The tree item of the first entry with `keyword` (exact), or invalid.
    QModelIndex ItemOf(const std::string& keyword) {
        for (const auto& entry : m_Database)
            if (entry->m_Keyword == keyword) return m_pTree->ItemOfEntry(*entry);
        return {};
    }
    CKeyEntry* EntryOf(const std::string& keyword) {
        for (const auto& entry : m_Database)
            if (entry->m_Keyword == keyword) return entry;
        return nullptr;
    }
    // Selects the key's item as a user does; the form renders through the update.
    void Select(const std::string& keyword) { m_pTree->setCurrentIndex(ItemOf(keyword)); }

    CTalunaContext m_Context;
    CMemoryProfileStore m_Profile;
    CRecordingNotifier m_Notifier;
    CRecordingSink m_Sink;
    CRecordingHelp m_Help;
    CVectorLineSource m_Lines;
    CKeyDatabase m_Database;
    CGSDTreeView* m_pTree = nullptr;
    CInputView* m_pForm = nullptr;
    bool m_bWriteProtected = false;
    bool m_bTreeRefresh = false;
    bool m_bFormEnabled = true;
    int m_nUpdates = 0;
    int m_nCheckSyntax = 0;
    std::vector<int> m_SelectedLines;
    std::vector<std::string> m_WrittenBack;
};
