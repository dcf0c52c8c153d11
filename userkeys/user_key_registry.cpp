#include "userkeys/user_key_registry.h"

#include "base/text_util.h"

CUserKeyRegistration CUserKeyRegistration::FromEntry(const CKeyEntry& entry) {
    CUserKeyRegistration r;
    switch (entry.m_TypeFlag) {
        case TYPE_SIMPLE_UINT: r.m_nDataType = 1; break;
        case TYPE_SIMPLE_BOOL: r.m_nDataType = 2; break;
        case TYPE_OCTET_STRING: r.m_nDataType = 3; break;
        default: r.m_nDataType = 0; break;
    }
    switch (entry.m_TreeGroup) {
        case PARENT_SLAVE: r.m_nGroup = 1; break;
        case PARENT_MASTER: r.m_nGroup = 2; break;
        case PARENT_MODULE: r.m_nGroup = 3; break;
        default: r.m_nGroup = 0; break;
    }
    r.m_Range = entry.m_RangeLen;
    return r;
}

std::string CUserKeyRegistration::Format() const {
    return std::to_string(m_nDataType) + ";" + std::to_string(m_nGroup) + ";" + m_Range;
}

int CUserKeyRegistration::TypeFlag() const {
    switch (m_nDataType) {
        case 0: return TYPE_SIMPLE_STRING;
        case 1: return TYPE_SIMPLE_UINT;
        case 2: return TYPE_SIMPLE_BOOL;
        default: return TYPE_OCTET_STRING;
    }
}

int CUserKeyRegistration::TreeGroup() const {
    switch (m_nGroup) {
        case 0: return PARENT_GENERAL;
        case 1: return PARENT_SLAVE;
        case 2: return PARENT_MASTER;
        default: return PARENT_MODULE;
    }
}

void RegisterUserKey(IProfileStore& profile, std::string_view keyword, const CUserKeyRegistration& registration,
                     CKeyEntry* entry) {
    const std::string name = ToUpper(keyword);
    profile.PutString("UserKeys", name, registration.Format());
    const std::string summary = profile.GetString("UserKeys", "Summary", "");
    if (summary.find(name + ",") == std::string::npos) profile.PutString("UserKeys", "Summary", summary + name + ",");
    if (entry != nullptr) {
        entry->m_TypeFlag = registration.TypeFlag();
        entry->m_TreeGroup = registration.TreeGroup();
        entry->SetRangeLen(registration.m_Range);
        // Its keyword is a user key now: the next check finds that out afresh.
        entry->m_Resolved.m_bValid = false;
    }
}

std::string RegisteredKeysText(const IProfileStore& profile) {
    std::string summary = profile.GetString("UserKeys", "Summary", "..no keys defined..");
    std::string text;
    for (char c : summary) {
        if (c == ',')
            text += "\r\n";
        else
            text += c;
    }
    return text;
}
