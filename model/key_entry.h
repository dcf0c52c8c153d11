#pragma once
// One keyword line of a GSD document (a continued line counts as one entry).

#include <string>
#include <vector>

// Value types of an entry.
constexpr int TYPE_SIMPLE_STRING = 1;
constexpr int TYPE_SIMPLE_UINT = 2;
constexpr int TYPE_SIMPLE_BOOL = 4;
constexpr int TYPE_OCTET_STRING = 8;
constexpr int TYPE_USER_KEY = 16;

// Tree groups of an entry; any other value, 0 included, means "User-defined Keys".
constexpr int PARENT_GENERAL = 0x8000;
constexpr int PARENT_SLAVE = 0x10000;
constexpr int PARENT_MASTER = 0x20000;
constexpr int PARENT_MODULE = 0x40000;

// Marks the entry that opens a block.
constexpr int TYPE_MODULE_BEGIN = 0x20;

// The builder puts this byte (the section sign in Windows-1252) for the closing
// quote of a string and the closing parenthesis of an index.
constexpr char MARKER_CHAR = '\xA7';

class CKeyEntry {
public:
    // Creates an unclassified entry; the builder classifies it right after.
    CKeyEntry(std::string keyword, std::string value, int line);
    virtual ~CKeyEntry() = default;

    CKeyEntry(const CKeyEntry&) = delete;
    CKeyEntry& operator=(const CKeyEntry&) = delete;

    int m_bSyntaxOk = 0;
    int m_bAccepted = 0;
    int m_TypeFlag = TYPE_USER_KEY;
    int m_nValues = 0;
    int m_Line = 0;      // last physical line, 0-based
    int m_LongLine = 0;  // first physical line, 0-based
    int m_TreeGroup = 0;
    int m_ModuleFlag = 0;
    void* m_hTree = nullptr;  // the entry's tree item while a tree shows it
    std::string m_RangeLen;
    std::string m_Keyword;
    std::string m_Value;
    CKeyEntry* m_hParent = nullptr;  // entry that opens the enclosing block
    std::vector<std::string> m_Ready;
    int m_bNoString = 1;

    // Position in the owning database, kept by the database.
    int Index() const { return m_nIndex; }

private:
    friend class CKeyDatabase;
    int m_nIndex = -1;
};
