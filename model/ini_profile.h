#pragma once
// Profile stores without Qt: one in memory, and one read from an INI file in the
// format the desktop editor's settings file is written in, so that the
// command-line checker sees the user keys registered in the editor.

#include <cstddef>
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
    bool MayHaveSection(const std::string& section) const override;

private:
    using CSection = std::map<std::string, std::string, std::less<>>;
    std::map<std::string, CSection, std::less<>> m_Sections;
};

// Reads an INI text (sections in brackets, `name=value` lines, values quoted and
// escaped as the editor's settings writer does) into `store`. Returns false when
// the text holds no section at all and is not empty.
bool ParseIniText(const std::string& text, CMemoryProfileStore& store);
// The largest INI file read: settings and user-key files are a few kilobytes.
constexpr size_t kMaxIniFileSize = 16 * 1024 * 1024;

enum class EIniFile {
    Read,     // read and parsed
    Missing,  // no such file, or none to be seen: a folder on the way cannot be searched
    Refused,  // not read: not a regular file, too large, or an error while reading
    NotIni,   // read, but the text holds no section at all
};

// Reads an INI file into `store`. Only a regular file of at most kMaxIniFileSize
// bytes is read, or the null device as an empty file; a directory, a FIFO or any
// other device is refused without reading from it or waiting for it. `why` says
// why the file was not read.
EIniFile ReadIniFile(const std::string& path, CMemoryProfileStore& store, std::string& why);
// Reads an INI file; false when it cannot be read or holds no section.
bool LoadIniFile(const std::string& path, CMemoryProfileStore& store);
// The editor's settings file of the current user: $XDG_CONFIG_HOME or ~/.config,
// then Velmar/Taluna.conf.
std::string DefaultSettingsPath();
