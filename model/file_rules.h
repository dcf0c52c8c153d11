#pragma once
// The rules about document files that need no file system: the name
// of the backup file, and which attribute of a file the Open command warns about.

#include <string>
#include <vector>

// File attribute bits as the Open command tests them.
constexpr unsigned FILE_ATTR_READONLY = 0x01;
constexpr unsigned FILE_ATTR_HIDDEN = 0x02;
constexpr unsigned FILE_ATTR_SYSTEM = 0x04;
constexpr unsigned FILE_ATTR_DIRECTORY = 0x10;
constexpr unsigned FILE_ATTR_TEMPORARY = 0x100;
constexpr unsigned FILE_ATTR_OFFLINE = 0x1000;
// What a failed attribute query reads as.
constexpr unsigned FILE_ATTR_ALL = 0xFFFFFFFFu;

// "<title up to its first dot>.bak"; `title` is the file name without directory.
std::string BackupFileName(const std::string& title);

struct SAttributeMessage {
    int m_nId = 0;
    std::string m_Text;  // with the path filled in
};

// The Open command's verdict on one selected file.
struct SAttributeCheck {
    std::vector<SAttributeMessage> m_Messages;  // in the order they are shown
    bool m_bWarning = false;                    // the file opens write-protected
    bool m_bStop = false;                       // the directory rule: stop the whole command here
};

SAttributeCheck CheckFileAttributes(unsigned attributes, const std::string& path);

// LastDir after opening `path`: the path up to its last separator when that is
// not its last character, else unchanged (empty result).
std::string DirectoryForLastDir(const std::string& path);
