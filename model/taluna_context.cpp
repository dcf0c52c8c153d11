#include "model/taluna_context.h"

#include <utility>

#include "base/check_message.h"
#include "base/text_util.h"

namespace {
int ExactlyOne(int value) {
    return value == 1 ? 1 : 0;
}
}  // namespace

void CSettings::Read(const IProfileStore& profile) {
    m_bFlatbar = ExactlyOne(profile.GetInt("Settings", "Flatbar", 1));
    m_bNoSemanticCheck = ExactlyOne(profile.GetInt("FailSafe", "NoSemanticCheck", 0));
    m_bNoWinPosSave = ExactlyOne(profile.GetInt("FailSafe", "NoWinPosSave", 0));
    m_bShowSplash = ExactlyOne(profile.GetInt("Settings", "ShowSplash", 1));
    m_bCoolMenu = ExactlyOne(profile.GetInt("Settings", "CoolMenu", 1));
    m_LastDir = profile.GetString("Settings", "LastDir", "");
    m_nNoBackup = profile.GetInt("Settings", "NoBackup", 0);
    m_nSyntax = profile.GetInt("Settings", "Syntax", 0);
    m_nWarnings = profile.GetInt("Settings", "Warnings", 0);
}

void CSettings::Write(IProfileStore& profile) const {
    profile.PutInt("Settings", "Expert", 1);
    profile.PutInt("Settings", "Flatbar", ExactlyOne(m_bFlatbar));
    profile.PutInt("FailSafe", "NoSemanticCheck", ExactlyOne(m_bNoSemanticCheck));
    profile.PutInt("FailSafe", "NoWinPosSave", ExactlyOne(m_bNoWinPosSave));
    profile.PutInt("Settings", "ShowSplash", ExactlyOne(m_bShowSplash));
    profile.PutInt("Settings", "CoolMenu", ExactlyOne(m_bCoolMenu));
    profile.PutString("Settings", "LastDir", m_LastDir);
    profile.PutInt("Settings", "NoBackup", ExactlyOne(m_nNoBackup));
    profile.PutInt("Settings", "Syntax", ExactlyOne(m_nSyntax));
    profile.PutInt("Settings", "Warnings", ExactlyOne(m_nWarnings));
}

CTalunaContext::CTalunaContext() = default;

void CTalunaContext::AddCheckMessage(int kind, int line, std::string text, const void* doc, int id) {
    ++m_nCheckMessages;
    if (m_Settings.m_nWarnings == 1 && kind == CheckMessageKind::Warning) return;
    if (m_pMessages == nullptr) return;
    CCheckMessage message{kind, line, std::move(text), doc, id};
    m_pMessages->AddRow(message);
    // A sink that keeps the row has copied it: the text's storage serves the
    // next finding.
    m_FindingText = std::move(message.m_Text);
}

void CTalunaContext::AddFinding(int kind, int line, int id, std::initializer_list<CFormatArg> args, const void* doc) {
    std::string text = std::move(m_FindingText);
    FormatStringInto(text, id, args);
    AddCheckMessage(kind, line, std::move(text), doc, id);
}

void CTalunaContext::AddNote(const std::string& text, int id) {
    AddCheckMessage(CheckMessageKind::Note, 0, text, nullptr, id);
}

void CTalunaContext::ClearMessages() {
    if (m_pMessages != nullptr) m_pMessages->Clear();
}

void CTalunaContext::SetStatusText(const std::string& text) {
    if (m_pStatus != nullptr) m_pStatus->SetStatusText(text);
}

void CTalunaContext::Notify(const std::string& text, ENotifyIcon icon) {
    if (m_pNotifier != nullptr) m_pNotifier->Notify(text, icon);
}

namespace {
const std::string kUserKeysSection = "UserKeys";
}  // namespace

CUserKeyScope::CUserKeyScope(const CTalunaContext& context) : m_Context(context) {
    if (m_Context.m_nUserKeyScopes++ == 0)
        m_Context.m_bNoUserKeys =
            m_Context.m_pProfile == nullptr || !m_Context.m_pProfile->MayHaveSection(kUserKeysSection);
}

CUserKeyScope::~CUserKeyScope() {
    if (--m_Context.m_nUserKeyScopes > 0) return;
    m_Context.m_UserKeyCache.clear();
    m_Context.m_bNoUserKeys = false;
}

const std::string& CTalunaContext::GetUserKeyRegistration(std::string_view keyword) const {
    static const std::string none;
    if (m_pProfile == nullptr) return none;
    if (m_nUserKeyScopes > 0) {
        if (m_bNoUserKeys) return none;
        const auto it = m_UserKeyCache.find(keyword);
        if (it != m_UserKeyCache.end()) return it->second;
    }
    std::string registration = m_pProfile->GetString(kUserKeysSection, ToUpper(keyword), none);
    if (m_nUserKeyScopes == 0) {
        m_LastRegistration = std::move(registration);
        return m_LastRegistration;
    }
    return m_UserKeyCache.emplace(keyword, std::move(registration)).first->second;
}
