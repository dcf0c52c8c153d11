#pragma once
// Checking one GSD file with the whole Check GSD flow, as the command-line
// checker does it: read the bytes, split the lines, check, keep the rows.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/check_message.h"
#include "model/check_profile.h"
#include "model/seams.h"
#include "model/text_lines.h"

class CKeyDatabase;

// The check profile asked for: one for every file, or by each file's GSD_Revision.
enum class EProfileChoice { Classic, Rev5, Auto };

struct CCheckOptions {
    EProfileChoice m_Profile = EProfileChoice::Classic;
    bool m_bNoSemantic = false;
    bool m_bNoWarnings = false;
    const IProfileStore* m_pUserKeys = nullptr;  // registrations of user keys, may be null
};

struct CFileResult {
    std::string m_Path;
    bool m_bRead = false;               // false when the file could not be read or checked
    bool m_bOutOfMemory = false;        // it could not, for want of memory
    std::string m_ReadError;            // why, when it could not
    std::vector<CCheckMessage> m_Rows;  // the rows not written yet
    bool m_bStreamed = false;           // rows were written while the check ran
    bool m_bHasErrors = false;          // of every row, written or held
    bool m_bHasWarnings = false;
    ECheckProfile m_Profile = ECheckProfile::Classic;  // the rules the file was checked with

    bool HasErrors() const;
    bool HasWarnings() const;
};

// Takes a file's rows as the check finds them, when they can be written at once.
class IRowWriter {
public:
    virtual ~IRowWriter() = default;
    // Writes `row` of the file of `result` (and the rows held before it, which it
    // takes out of `result`) when the file's turn has come; false to hold it.
    virtual bool TryWrite(CFileResult& result, const CCheckMessage& row) = 0;
};

// Checks GSD text given as the file's bytes (taken over, so a caller that has no
// more use for them can move them in).
std::vector<CCheckMessage> CheckGsdText(std::string bytes, const CCheckOptions& options);
// The same, handing every row to `sink`; `profile`, when given, learns the
// profile the text is checked with before the first row. With `database` the
// check builds its key entries there, so that a caller can look at them after.
void CheckGsdText(std::string bytes, const CCheckOptions& options, IMessageSink& sink, ECheckProfile* profile = nullptr,
                  CKeyDatabase* database = nullptr);
// The same for a text shared with the caller, which the database keeps too.
void CheckGsdText(std::shared_ptr<const std::string> text, const CCheckOptions& options, IMessageSink& sink,
                  ECheckProfile* profile = nullptr, CKeyDatabase* database = nullptr);
// A file's text as read for its check, split into lines, or why it could not be read.
struct SFileText {
    std::optional<CTextLineSource> m_Lines;  // up to the first NUL; none when not read
    std::string m_Error;                     // empty when the file was read
    bool m_bOutOfMemory = false;             // it could not be, for want of memory
    // The memory the text and its index of lines hold.
    size_t Bytes() const;
};
// Reads a file and splits it into lines for CheckFileText; want of memory is told
// in the result, not thrown.
// `seenRegular`: the caller has just seen a regular file at `path` (see ReadUpToNul).
SFileText ReadGsdFile(const std::string& path, bool seenRegular = false);
// Checks a file read by ReadGsdFile, taking over its text. A file too large for the
// memory available comes back unread, marked out of memory, instead of ending the
// program. With a `writer`, rows that can be written while the check runs are not held.
CFileResult CheckFileText(const std::string& path, SFileText text, const CCheckOptions& options,
                          IRowWriter* writer = nullptr);
// Reads and checks one file: ReadGsdFile, then CheckFileText. The text ends at its
// first NUL byte: reading stops there.
CFileResult CheckGsdFile(const std::string& path, const CCheckOptions& options, IRowWriter* writer = nullptr,
                         bool seenRegular = false);
// Reads a regular file's bytes up to its first NUL into `bytes` (without
// blocking on a FIFO put in its place); an error text when it cannot. Nothing
// but a regular file is opened; a caller that has just seen one at `path` says
// so with `seenRegular`, and the file is not asked about before it is opened.
std::string ReadUpToNul(const std::string& path, std::string& bytes, bool seenRegular = false);
// A result for a file that could not be read, for `reason`.
CFileResult UnreadFile(const std::string& path, const std::string& reason);
