#include "model/file_rules.h"

#include "base/string_table.h"

std::string BackupFileName(const std::string& title) {
    const size_t slash = title.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? title : title.substr(slash + 1);
    return name.substr(0, name.find('.')) + ".bak";
}

namespace {

struct SAttributeRule {
    unsigned m_nBit;
    int m_nId;  // string-table id of the message
    bool m_bStop;
};

// In the order the Open command tests them.
constexpr SAttributeRule kRules[] = {
    {FILE_ATTR_READONLY, 65124, false},  {FILE_ATTR_DIRECTORY, 65125, true}, {FILE_ATTR_OFFLINE, 65126, false},
    {FILE_ATTR_TEMPORARY, 65127, false}, {FILE_ATTR_SYSTEM, 65128, false},   {FILE_ATTR_HIDDEN, 65129, false},
};

}  // namespace

SAttributeCheck CheckFileAttributes(unsigned attributes, const std::string& path) {
    SAttributeCheck check;
    for (const SAttributeRule& rule : kRules) {
        if ((attributes & rule.m_nBit) == 0) continue;
        check.m_Messages.push_back({rule.m_nId, FormatString(rule.m_nId, {path})});
        if (rule.m_bStop) {
            check.m_bStop = true;
            return check;
        }
        check.m_bWarning = true;
    }
    return check;
}

std::string DirectoryForLastDir(const std::string& path) {
    const size_t sep = path.find_last_of('/');
    if (sep == std::string::npos || sep + 1 == path.size()) return {};
    return path.substr(0, sep);
}
