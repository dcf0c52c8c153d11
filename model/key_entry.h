#pragma once
// One keyword line of a GSD document (a continued line counts as one entry).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/check_profile.h"

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

// The value items of an entry (`m_Ready`): four empty items until a value is
// split into them. Entries of lines without a value (a bare word, a block end)
// are common in large files and keep no storage of their own for them; the
// items of the others live in one allocation, a count and the texts.
class CValueItems {
public:
    CValueItems() = default;
    CValueItems(std::vector<std::string> items) { *this = std::move(items); }
    CValueItems& operator=(std::vector<std::string> items);
    CValueItems(const CValueItems&) = delete;
    CValueItems& operator=(const CValueItems&) = delete;
    ~CValueItems() { Release(); }

    size_t size() const { return m_pBlock ? m_pBlock->m_nSize : EMPTY_COUNT; }
    // Writing access: the items come into being with four empty ones.
    std::string& operator[](size_t index) { return Items()[index]; }
    const std::string& operator[](size_t index) const { return m_pBlock ? m_pBlock->Data()[index] : EmptyItem(); }
    void emplace_back();
    bool IsAllocated() const { return m_pBlock != nullptr; }
    const std::string* begin() const { return m_pBlock ? m_pBlock->Data() : EmptyItems(); }
    const std::string* end() const { return begin() + size(); }
    friend bool operator==(const CValueItems& a, const std::vector<std::string>& b);

private:
    static constexpr size_t EMPTY_COUNT = 4;
    struct SBlock {
        std::uint32_t m_nSize;
        std::uint32_t m_nCapacity;
        std::string* Data() { return reinterpret_cast<std::string*>(this + 1); }
        const std::string* Data() const { return reinterpret_cast<const std::string*>(this + 1); }
    };
    static_assert(sizeof(SBlock) % alignof(std::string) == 0);
    static const std::string& EmptyItem();
    static const std::string* EmptyItems();
    // A block of `size` items with room for `capacity`, the first `moved` taken from `from`.
    static SBlock* NewBlock(std::uint32_t capacity, std::uint32_t size, std::string* from, std::uint32_t moved);
    std::string* Items();
    void Release();
    SBlock* m_pBlock = nullptr;
};

// A text that is empty for nearly every entry (`m_RangeLen`, set for user keys
// only): no storage until it holds something.
class CRareText {
public:
    CRareText& operator=(std::string text);
    CRareText& operator=(const char* text) { return *this = std::string(text); }
    const std::string& str() const;
    operator const std::string&() const { return str(); }
    bool empty() const { return str().empty(); }
    friend bool operator==(const CRareText& a, const std::string& b) { return a.str() == b; }
    friend bool operator==(const CRareText& a, const char* b) { return a.str() == b; }

private:
    std::unique_ptr<std::string> m_pText;
};

class CKeyEntry {
public:
    // Creates an unclassified entry; the builder classifies it right after.
    CKeyEntry(std::string keyword, std::string value, int line);

    CKeyEntry(const CKeyEntry&) = delete;
    CKeyEntry& operator=(const CKeyEntry&) = delete;

    // What the classifier resolved the keyword to when the entry was built, so
    // that the checks that follow need not look it up again: its catalogue row
    // (an index of the check layer's catalogue, -1: none), its keyword of the
    // whole-file rules (-1: none) and whether the user registered it. Valid for
    // the profile it was resolved under. Packed small: large files hold many
    // entries.
    struct SResolution {
        std::int16_t m_nRow = -1;
        std::int16_t m_nRule = -1;
        bool m_bUserKey = false;
        bool m_bValid = false;
        ECheckProfile m_Profile = ECheckProfile::Classic;
    };

    int m_TypeFlag = TYPE_USER_KEY;
    int m_nValues = 0;
    int m_Line = 0;      // last physical line, 0-based
    int m_LongLine = 0;  // first physical line, 0-based
    int m_TreeGroup = 0;
    std::uint8_t m_bSyntaxOk = 0;
    std::uint8_t m_bAccepted = 0;
    std::uint8_t m_ModuleFlag = 0;
    std::uint8_t m_bNoString = 1;
    SResolution m_Resolved;
    CRareText m_RangeLen;
    std::string m_Keyword;
    std::string m_Value;
    CKeyEntry* m_hParent = nullptr;  // entry that opens the enclosing block
    CValueItems m_Ready;

    // Position in the owning database, kept by the database.
    int Index() const { return m_nIndex; }

private:
    friend class CKeyDatabase;
    int m_nIndex = -1;
};
