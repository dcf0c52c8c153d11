#pragma once
// Checking one GSD file with the whole Check GSD flow, as the command-line
// checker does it: read the bytes, split the lines, check, keep the rows.

#include <string>
#include <vector>

#include "model/seams.h"
#include "output/check_message.h"

struct CCheckOptions {
    bool m_bNoSemantic = false;
    bool m_bNoWarnings = false;
    const IProfileStore* m_pUserKeys = nullptr;  // registrations of user keys, may be null
};

struct CFileResult {
    std::string m_Path;
    bool m_bRead = false;         // false when the file could not be read or checked
    bool m_bOutOfMemory = false;  // it could not, for want of memory
    std::string m_ReadError;      // why, when it could not
    std::vector<CCheckMessage> m_Rows;

    bool HasErrors() const;
    bool HasWarnings() const;
};

// Checks GSD text given as the file's bytes (taken over, so a caller that has no
// more use for them can move them in).
std::vector<CCheckMessage> CheckGsdText(std::string bytes, const CCheckOptions& options);
// Reads and checks one file. The text ends at its first NUL byte: reading stops
// there. A file too large for the memory available comes back unread, marked
// out of memory, instead of ending the program.
CFileResult CheckGsdFile(const std::string& path, const CCheckOptions& options);
// A result for a file that could not be read, for `reason`.
CFileResult UnreadFile(const std::string& path, const std::string& reason);
