#pragma once
// The application-wide state shared by the commands: database cursor, key form
// record, message counter, document under check, settings and the platform seams.
// The GUI owns one; the CLI and the tests create one per run.

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/string_table.h"
#include "base/text_util.h"
#include "model/check_profile.h"
#include "model/seams.h"

class CKeyEntry;
struct CCheckMessage;

// What the key editor form shows for the current key.
struct CKeyFormRecord {
    int m_nFormMode = 0;
    // Every help text is one of the program's own, which live as long as it
    // does: the form views it rather than copying it for each key.
    std::string_view m_HelpText;
    std::array<std::string, 4> m_Labels;
    std::array<std::string, 4> m_Values;
};

// The settings variables, as read from the profile.
struct CSettings {
    int m_bFlatbar = 1;
    int m_bNoSemanticCheck = 0;
    int m_bNoWinPosSave = 0;
    int m_bShowSplash = 1;
    int m_bCoolMenu = 1;
    std::string m_LastDir;
    int m_nNoBackup = 0;
    int m_nSyntax = 0;
    int m_nWarnings = 0;
    // The check profile of the editor (a setting of ours, kept apart from the
    // written ones): 0 classic, 1 revision 5, 2 by each file's GSD_Revision.
    int m_nCheckProfile = 0;

    // Reads every value with its default; booleans follow the "exactly 1" rule.
    void Read(const IProfileStore& profile);
    // Writes every value back, `Expert` included.
    void Write(IProfileStore& profile) const;
};

// A document as the checks see it: an identity for the output rows and its text.
struct CDocumentRef {
    const void* m_pDoc = nullptr;
    const ILineSource* m_pLines = nullptr;
    // The index of m_pLines, where it has one (ILineSource::LineIndex).
    const CLineIndex* m_pIndex = nullptr;
    // The database was built from these lines and nothing changed them since,
    // so what its build noted about a line (CKeyEntry::m_EqualSign) holds.
    bool m_bAsBuilt = false;
};

class CTalunaContext {
public:
    CTalunaContext();

    // Database cursor.
    CKeyEntry* m_pCurEntry = nullptr;
    int m_nCurItem = 0;
    CKeyEntry* m_pOpenBlock = nullptr;
    int m_bInModule = 0;
    int m_bLoading = 0;
    int m_nLoadedLines = 0;

    CKeyFormRecord m_Form;
    int m_nCheckMessages = 0;
    CDocumentRef m_CheckedDoc;  // the document whose entries are checked
    CSettings m_Settings;
    // The rules a build and a check apply.
    ECheckProfile m_Profile = ECheckProfile::Classic;

    // Seams; any of them may be null, which drops what would go there.
    IProfileStore* m_pProfile = nullptr;
    INotifier* m_pNotifier = nullptr;
    IProgressSink* m_pProgress = nullptr;
    IMessageSink* m_pMessages = nullptr;
    IHelpRequest* m_pHelp = nullptr;
    IStatusText* m_pStatus = nullptr;

    // The single entry point for findings and notes: counts the message and lists
    // it unless warnings are suppressed.
    void AddCheckMessage(int kind, int line, std::string text, const void* doc, int id = 0);
    // A finding with the text of message `id` formatted with `args`, in storage
    // kept from the finding before.
    void AddFinding(int kind, int line, int id, std::initializer_list<CFormatArg> args, const void* doc);
    // A plain note of the check flow: kind -1, line 0, no document.
    void AddNote(const std::string& text, int id = 0);
    void ClearMessages();
    void SetStatusText(const std::string& text);
    void Notify(const std::string& text, ENotifyIcon icon = ENotifyIcon::Exclamation);
    // The user-key registration of a keyword (upper-cased here), empty when none.
    // Inside a CUserKeyScope answers are remembered, so that a build or a check
    // asks the profile once per keyword.
    const std::string& GetUserKeyRegistration(std::string_view keyword) const;
    // Whether the keyword has a user-key registration; answered here, without
    // a call, where no key is registered at all.
    bool IsUserKey(std::string_view keyword) const {
        if (m_pProfile == nullptr || (m_nUserKeyScopes > 0 && m_bNoUserKeys)) return false;
        return !GetUserKeyRegistration(keyword).empty();
    }
    // True inside a CUserKeyScope, where registrations stay as they were.
    bool RemembersUserKeys() const { return m_nUserKeyScopes > 0; }

private:
    friend class CUserKeyScope;
    mutable int m_nUserKeyScopes = 0;
    // Inside a scope: the profile registers no key at all, so every keyword
    // is answered without asking it.
    mutable bool m_bNoUserKeys = false;
    mutable std::string m_LastRegistration;
    mutable std::unordered_map<std::string, std::string, CNoCaseHash, CNoCaseEqual> m_UserKeyCache;
    // The storage of the last message's text, for the next finding.
    std::string m_FindingText;
};

// Remembers user-key registrations while one build or check runs.
class CUserKeyScope {
public:
    explicit CUserKeyScope(const CTalunaContext& context);
    ~CUserKeyScope();
    CUserKeyScope(const CUserKeyScope&) = delete;
    CUserKeyScope& operator=(const CUserKeyScope&) = delete;

private:
    const CTalunaContext& m_Context;
};
