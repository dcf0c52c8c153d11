#pragma once
// One keyword line of a GSD document (a continued line counts as one entry).

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "model/check_profile.h"
#include "model/text_arena.h"

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

class CKeyEntry;

// A text of an entry (`m_Keyword`, `m_Value`, the items of `m_Ready`): a view
// of the entry's own copy, which lies in the arena of its database. It reads
// as a std::string_view; only its entry sets it or changes its bytes.
class CEntryText : public std::string_view {
public:
    CEntryText() = default;
    CEntryText(const CEntryText&) = default;
    std::string str() const { return std::string(*this); }
    // Drops the blanks around the text (the view narrows; no byte changes).
    void Trim();

private:
    friend class CKeyEntry;
    friend class CValueItems;
    explicit CEntryText(std::string_view stored) : std::string_view(stored) {}
    CEntryText& operator=(const CEntryText&) = default;
};

// A text that is empty for nearly every entry (`m_RangeLen`, set for user keys
// only): one pointer to its length and bytes in the arena, null while empty.
class CRareText {
public:
    operator std::string_view() const {
        if (m_pStored == nullptr) return {};
        std::uint32_t size;
        std::memcpy(&size, m_pStored, sizeof size);
        return {m_pStored + sizeof size, size};
    }
    std::string str() const { return std::string(std::string_view(*this)); }
    bool empty() const { return m_pStored == nullptr; }
    friend bool operator==(const CRareText& a, std::string_view b) { return std::string_view(a) == b; }

private:
    friend class CKeyEntry;
    const char* m_pStored = nullptr;
};

// The value items of an entry (`m_Ready`): four empty items until a value is
// split into them. Entries of lines without a value (a bare word, a block end)
// are common in large files and store nothing for them; the items of the others
// are views in the arena of the entry's database, their array too.
class CValueItems {
public:
    CValueItems() = default;
    CValueItems(const CValueItems&) = delete;
    CValueItems& operator=(const CValueItems&) = delete;

    size_t size() const { return m_nSize; }
    // An item reads as a std::string_view; its entry sets it (SetItem).
    const CEntryText& operator[](size_t index) const { return index < m_nCapacity ? m_pItems[index] : EmptyItem(); }
    bool IsAllocated() const { return m_pItems != nullptr; }
    friend bool operator==(const CValueItems& a, const std::vector<std::string>& b);

private:
    friend class CKeyEntry;
    static constexpr std::uint32_t EMPTY_COUNT = 4;
    static const CEntryText& EmptyItem();
    // Room for the item at `index` (the size grows to take it in).
    CEntryText& Slot(CTextArena& arena, size_t index);
    void Grow(CTextArena& arena, size_t capacity);
    CEntryText* m_pItems = nullptr;
    std::uint32_t m_nSize = EMPTY_COUNT;
    std::uint32_t m_nCapacity = 0;
};

class CKeyEntry {
public:
    // An entry whose texts lie in `arena` (its database's); the builder
    // classifies it right after.
    CKeyEntry(CTextArena& arena, std::string_view keyword, std::string_view value, int line);
    // An entry of its own, outside any database (a form's scratch entry).
    CKeyEntry(std::string_view keyword, std::string_view value, int line);
    ~CKeyEntry();

    CKeyEntry(const CKeyEntry&) = delete;
    CKeyEntry& operator=(const CKeyEntry&) = delete;

    // The texts are copied into the entry's storage.
    void SetKeyword(std::string_view keyword) { m_Keyword = Store(keyword); }
    void SetValue(std::string_view value) { m_Value = Store(value); }
    void SetRangeLen(std::string_view range);
    // An item cut from the entry's value views the value's bytes.
    void SetItem(size_t index, std::string_view text);
    // Replaces every byte `from` of the value by `to` in place; items that
    // view such a byte keep their text (they get a copy of their own first).
    void ReplaceInValue(char from, char to);
    // Room for `count` items, so that setting them one by one does not grow
    // the item array several times; the items themselves do not change.
    void ReserveItems(size_t count);
    // Appends an empty item.
    void AddItem();
    void SetItems(const std::vector<std::string>& items);

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

    CEntryText m_Keyword;
    CEntryText m_Value;
    CValueItems m_Ready;
    CRareText m_RangeLen;
    CKeyEntry* m_hParent = nullptr;  // entry that opens the enclosing block
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

    // Position in the owning database, kept by the database.
    int Index() const { return m_nIndex; }

private:
    friend class CKeyDatabase;
    CEntryText Store(std::string_view text) { return CEntryText(m_pArena->Store(text)); }
    CTextArena* m_pArena;
    int m_nIndex = -1;
    bool m_bOwnsArena = false;
};
