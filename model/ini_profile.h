#pragma once
// Profile stores without Qt: one in memory, and one read from an INI file in the
// format the desktop editor's settings file is written in, so that the
// command-line checker sees the user keys registered in the editor.

#include <map>
#include <string>
#include <utility>

#include "model/seams.h"

class CMemoryProfileStore : public IProfileStore {
public:
    int GetInt(const std::string& section, const std::string& name, int def) const override;
    std::string GetString(const std::string& section, const std::string& name, const std::string& def) const override;
    void PutInt(const std::string& section, const std::string& name, int value) override;
    void PutString(const std::string& section, const std::string& name, const std::string& value) override;
    bool Contains(const std::string& section, const std::string& name) const;

private:
    using CSection = std::map<std::string, std::string, std::less<>>;
    std::map<std::string, CSection, std::less<>> m_Sections;
};

// Reads an INI text (sections in brackets, `name=value` lines, values quoted and
// escaped as the editor's settings writer does) into `store`. Returns false when
// the text holds no section at all and is not empty.
bool ParseIniText(const std::string& text, CMemoryProfileStore& store);
// Reads an INI file; false when it cannot be read.
bool LoadIniFile(const std::string& path, CMemoryProfileStore& store);
// The editor's settings file of the current user: $XDG_CONFIG_HOME or ~/.config,
// then Velmar/Taluna.conf.
std::string DefaultSettingsPath();
