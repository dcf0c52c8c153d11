#pragma once
// An open GSD document as the language server sees it: the file's Windows-1252
// bytes, and what one Check GSD of them left behind: the rows and the key
// entries. Everything the server answers about a document (diagnostics, hover,
// completion, symbols, definitions) is read from here.
//
// Positions: the protocol counts columns in UTF-16 code units. The text a client
// sends is turned into one byte per UTF-16 code unit (Utf8ToGsdBytes), so a
// column is a byte offset into the line, both ways.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/check_message.h"
#include "cli/file_check.h"
#include "model/check_profile.h"
#include "model/key_database.h"
#include "model/text_lines.h"

struct SPosition {
    int m_nLine = 0;
    int m_nColumn = 0;
    friend bool operator==(const SPosition&, const SPosition&) = default;
};

struct SRange {
    SPosition m_Start;
    SPosition m_End;
    friend bool operator==(const SRange&, const SRange&) = default;
};

// UTF-8 text as Windows-1252 bytes, one byte per UTF-16 code unit: a character
// Windows-1252 has becomes its byte, any other '?' (two for a character outside
// the basic plane, which takes two code units). Ill-formed UTF-8 bytes become
// '?' each.
std::string Utf8ToGsdBytes(std::string_view utf8);
// Windows-1252 bytes as UTF-8 (the inverse for every byte).
std::string GsdBytesToUtf8(std::string_view bytes);

// A key entry that definitions and references lead to or from.
struct SDefinition {
    long long m_nNumber = 0;
    const CKeyEntry* m_pEntry = nullptr;
};

class CGsdDocument {
public:
    // Takes the text as the file's bytes and checks it with `options`. A text too
    // large for the memory available is kept without rows (OutOfMemory()).
    CGsdDocument(std::string bytes, const CCheckOptions& options);

    const std::string& Text() const { return *m_pText; }
    const CLineIndex& Lines() const { return m_Lines; }
    const std::vector<CCheckMessage>& Rows() const { return m_Rows; }
    const CKeyDatabase& Database() const { return *m_pDatabase; }
    ECheckProfile Profile() const { return m_Profile; }
    bool OutOfMemory() const { return m_bOutOfMemory; }

    // The lines of the entry that covers `line`: from its first line's start to
    // its last line's end; just that line when no entry covers it.
    SRange RangeOfLine(int line) const;
    SRange RangeOfEntry(const CKeyEntry& entry) const;
    // The entry whose lines hold `line`, or null.
    const CKeyEntry* EntryAt(int line) const;

    // The ExtUserPrmData or PrmText definitions of the text, in order, with
    // their numbers, and the module references (the number standing on the line
    // after a Module line) with the Module entries.
    std::vector<SDefinition> ExtUserPrmDataDefinitions() const { return NumberedEntries("ExtUserPrmData"); }
    std::vector<SDefinition> PrmTextDefinitions() const { return NumberedEntries("PrmText"); }
    std::vector<SDefinition> ModuleReferences() const;

private:
    std::vector<SDefinition> NumberedEntries(std::string_view keyword) const;

    // Shared with the database, whose entries view it.
    std::shared_ptr<const std::string> m_pText;
    CLineIndex m_Lines;
    std::vector<CCheckMessage> m_Rows;
    std::unique_ptr<CKeyDatabase> m_pDatabase;
    ECheckProfile m_Profile = ECheckProfile::Classic;
    bool m_bOutOfMemory = false;
};

// A number as GSD values write it: decimal, or hexadecimal after 0x. False for
// any other text.
bool ReadGsdNumber(std::string_view text, long long& value);
