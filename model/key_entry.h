#pragma once
// One keyword line of a GSD document (a continued line counts as one entry).

#include <cstdint>
#include <cstring>
#include <span>
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

// The tree group of an entry (`m_TreeGroup`): reads and is set as one of the
// PARENT_ values, kept in one byte. Any other value reads as 0, which means
// "User-defined Keys" as every value but the PARENT_ ones does.
class CTreeGroup {
public:
    CTreeGroup() = default;
    CTreeGroup(int group) : m_nCode(Code(group)) {}
    operator int() const { return m_nCode == 0 ? 0 : PARENT_GENERAL << (m_nCode - 1); }

private:
    static std::uint8_t Code(int group) {
        switch (group) {
            case PARENT_GENERAL: return 1;
            case PARENT_SLAVE: return 2;
            case PARENT_MASTER: return 3;
            case PARENT_MODULE: return 4;
            default: return 0;
        }
    }
    std::uint8_t m_nCode = 0;
};

// A text of an entry (`m_Keyword`, `m_Value`, the items of `m_Ready`): a view
// of bytes in the arena of the entry's database, packed into one word because
// a large file holds millions of them. It reads as a std::string_view; only
// its entry sets it or narrows it.
//
// The word holds the address in its low 48 bits and the length in its high 16.
// A text of 65535 bytes or more (a long continued value) lies behind a
// record {address, length} in the arena instead, marked by the length 0xFFFF.
class CEntryText {
public:
    CEntryText() = default;

    std::string_view View() const {
        const std::uint64_t length = m_nBits >> ADDRESS_BITS;
        const auto* address = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(m_nBits & ADDRESS_MASK));
        if (length != LONG_MARK) return {address, static_cast<size_t>(length)};
        const auto* record = reinterpret_cast<const SLongText*>(address);
        return {record->m_pData, record->m_nSize};
    }
    operator std::string_view() const { return View(); }
    std::string str() const { return std::string(View()); }

    size_t size() const { return View().size(); }
    size_t length() const { return View().size(); }
    bool empty() const { return m_nBits == 0 || View().empty(); }
    const char* data() const { return View().data(); }
    char operator[](size_t index) const { return View()[index]; }
    char front() const { return View().front(); }
    char back() const { return View().back(); }
    std::string_view::const_iterator begin() const { return View().begin(); }
    std::string_view::const_iterator end() const { return View().end(); }
    std::string_view substr(size_t pos = 0, size_t count = std::string_view::npos) const {
        return View().substr(pos, count);
    }
    template <typename T>
    size_t find(T what, size_t pos = 0) const {
        return View().find(what, pos);
    }
    template <typename T>
    size_t rfind(T what, size_t pos = std::string_view::npos) const {
        return View().rfind(what, pos);
    }
    template <typename T>
    bool starts_with(T what) const {
        return View().starts_with(what);
    }
    friend bool operator==(const CEntryText& a, std::string_view b) { return a.View() == b; }
    friend bool operator==(const CEntryText& a, const CEntryText& b) { return a.View() == b.View(); }

private:
    friend class CKeyEntry;
    friend class CValueItems;
    struct SLongText {
        const char* m_pData;
        size_t m_nSize;
    };
    static constexpr int ADDRESS_BITS = 48;
    static constexpr std::uint64_t ADDRESS_MASK = (std::uint64_t{1} << ADDRESS_BITS) - 1;
    static constexpr std::uint64_t LONG_MARK = 0xFFFF;
    // Views `text`; a long text gets its record from `arena`. An address beyond
    // 48 bits cannot be packed and fails as an allocation would.
    CEntryText(std::string_view text, CTextArena& arena) {
        if (text.empty()) return;
        const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(text.data()));
        if (text.size() < LONG_MARK && (address & ~ADDRESS_MASK) == 0)
            m_nBits = address | (static_cast<std::uint64_t>(text.size()) << ADDRESS_BITS);
        else
            SetLong(text, arena);
    }
    void SetLong(std::string_view text, CTextArena& arena);
    static std::uint64_t Pack(const void* address, std::uint64_t length);
    std::uint64_t m_nBits = 0;
};

// The members below keep what nearly every entry holds in a few bytes, and
// what does not fit there (rare: a long list, a far link, a user key's range)
// in a side store of the process, found by the member's own address.
namespace entry_side {
CKeyEntry* Link(const void* member);
void SetLink(const void* member, CKeyEntry* target);
int Count(const void* member);
void SetCount(const void* member, int count);
std::string_view Text(const void* member);
void SetText(const void* member, std::string_view text);
void Forget(const void* member);
// How many values the side store holds, for tests.
size_t HeldCount();
}  // namespace entry_side

// A text that is empty for nearly every entry (`m_RangeLen`, set for user keys
// only): one byte while empty, the text itself in the side store.
class CRareText {
public:
    CRareText() = default;
    CRareText(const CRareText&) = delete;
    CRareText& operator=(const CRareText&) = delete;
    ~CRareText() {
        if (m_bStored) entry_side::Forget(this);
    }
    operator std::string_view() const { return m_bStored ? entry_side::Text(this) : std::string_view(); }
    std::string str() const { return std::string(std::string_view(*this)); }
    bool empty() const { return !m_bStored; }
    friend bool operator==(const CRareText& a, std::string_view b) { return std::string_view(a) == b; }

private:
    friend class CKeyEntry;
    void Set(std::string_view text);
    bool m_bStored = false;
};

// A count of an entry (`m_nValues`): reads and is set as an int, kept in two
// bytes; a count that does not fit them lies in the side store.
class CEntryCount {
public:
    CEntryCount() = default;
    CEntryCount(const CEntryCount&) = delete;
    CEntryCount& operator=(const CEntryCount&) = delete;
    ~CEntryCount() {
        if (m_nCount == SPILLED) entry_side::Forget(this);
    }
    operator int() const { return m_nCount == SPILLED ? entry_side::Count(this) : m_nCount; }
    CEntryCount& operator=(int count) {
        if (m_nCount == SPILLED) entry_side::Forget(this);
        if (count >= 0 && count < SPILLED) {
            m_nCount = static_cast<std::uint16_t>(count);
        } else {
            entry_side::SetCount(this, count);
            m_nCount = SPILLED;
        }
        return *this;
    }
    CEntryCount& operator++() { return *this = int(*this) + 1; }

private:
    static constexpr std::uint16_t SPILLED = 0xFFFF;
    std::uint16_t m_nCount = 0;
};

// A link of an entry to another (`m_hParent`): reads and is set as a
// CKeyEntry*, kept in four bytes as the distance from the link to its target,
// which for entries of one database is short. A target farther away lies in
// the side store. No entry starts at its own link, so 0 means no target.
class CEntryLink {
public:
    CEntryLink() = default;
    CEntryLink(const CEntryLink&) = delete;
    CEntryLink& operator=(const CEntryLink&) = delete;
    ~CEntryLink() {
        if (m_nDistance == ASIDE) entry_side::Forget(this);
    }
    operator CKeyEntry*() const {
        if (m_nDistance == 0) return nullptr;
        if (m_nDistance == ASIDE) return entry_side::Link(this);
        return reinterpret_cast<CKeyEntry*>(reinterpret_cast<std::intptr_t>(this) + m_nDistance);
    }
    CKeyEntry* operator->() const { return *this; }
    CEntryLink& operator=(CKeyEntry* target) {
        if (m_nDistance == ASIDE) entry_side::Forget(this);
        const std::intptr_t distance =
            target == nullptr ? 0 : reinterpret_cast<std::intptr_t>(target) - reinterpret_cast<std::intptr_t>(this);
        if (distance > INT32_MIN && distance <= INT32_MAX) {
            m_nDistance = static_cast<std::int32_t>(distance);
        } else {
            entry_side::SetLink(this, target);
            m_nDistance = ASIDE;
        }
        return *this;
    }

private:
    static constexpr std::int32_t ASIDE = INT32_MIN;
    std::int32_t m_nDistance = 0;
};

// The value items of an entry (`m_Ready`): four empty items until a value is
// split into them. One word: nothing for entries of lines without a value (a
// bare word, a block end), the item itself for the many values of one item, and
// otherwise a block in the arena of the entry's database: the count, the room
// and the items.
class CValueItems {
public:
    CValueItems() = default;
    CValueItems(const CValueItems&) = delete;
    CValueItems& operator=(const CValueItems&) = delete;

    size_t size() const { return Block() != nullptr ? Block()->m_nSize : EMPTY_COUNT; }
    // An item reads as a std::string_view; its entry sets it (SetItem).
    const CEntryText& operator[](size_t index) const {
        if (const SBlock* block = Block()) return index < block->m_nCapacity ? block->Items()[index] : EmptyItem();
        return index == 0 ? m_Word : EmptyItem();
    }
    bool IsAllocated() const { return Capacity() > 0; }
    friend bool operator==(const CValueItems& a, const std::vector<std::string>& b);

private:
    friend class CKeyEntry;
    static constexpr std::uint32_t EMPTY_COUNT = 4;
    // Aligned for the items that follow it.
    struct alignas(CEntryText) SBlock {
        std::uint32_t m_nSize;
        std::uint32_t m_nCapacity;
        CEntryText* Items() { return reinterpret_cast<CEntryText*>(this + 1); }
        const CEntryText* Items() const { return reinterpret_cast<const CEntryText*>(this + 1); }
    };
    static const CEntryText& EmptyItem();
    // The block of a value set to no items.
    static SBlock s_NoItems;
    // A word with no length is a block's address (or nothing); any other is
    // the first item, the only one set.
    SBlock* Block() const {
        return m_Word.m_nBits >> CEntryText::ADDRESS_BITS == 0 ? reinterpret_cast<SBlock*>(m_Word.m_nBits) : nullptr;
    }
    bool IsInline() const { return m_Word.m_nBits >> CEntryText::ADDRESS_BITS != 0; }
    std::uint32_t Capacity() const {
        if (const SBlock* block = Block()) return block->m_nCapacity;
        return IsInline() ? 1 : 0;
    }
    CEntryText& Item(size_t index) { return Block() != nullptr ? Block()->Items()[index] : m_Word; }
    // Every item slot there is room for: the block's, or the word itself
    // (empty when nothing was set).
    std::span<CEntryText> Slots() {
        if (SBlock* block = Block()) return {block->Items(), block->m_nCapacity};
        return {&m_Word, 1};
    }
    void SetBlock(SBlock* block);
    // Room for the item at `index` (the size grows to take it in).
    CEntryText& Slot(CTextArena& arena, size_t index);
    // A block of `capacity` items holding the items so far, of `size` items.
    void Grow(CTextArena& arena, size_t capacity, size_t size);
    CEntryText m_Word;
};

class CKeyEntry {
public:
    // Which texts of a new entry are views of text its database keeps for as
    // long as the entry lives, rather than copies. Value-initialized: none.
    struct SViewTexts {
        bool m_bKeyword;
        bool m_bValue;
        // The value is the builder's working copy, viewed until SettleTexts.
        bool m_bValueInScratch;
    };
    // An entry of its own, outside any database (a form's scratch entry).
    CKeyEntry(std::string_view keyword, std::string_view value, int line);
    ~CKeyEntry();

    CKeyEntry(const CKeyEntry&) = delete;
    CKeyEntry& operator=(const CKeyEntry&) = delete;

    // The texts are copied into the entry's storage.
    void SetKeyword(std::string_view keyword) { m_Keyword = Store(keyword); }
    void SetValue(std::string_view value) {
        m_Value = Store(value);
        m_bValueViewed = false;
    }
    void SetRangeLen(std::string_view range);
    // An item cut from the entry's value views the value's bytes.
    void SetItem(size_t index, std::string_view text);
    // Narrows the value to its text without the blanks around it, or without
    // its first `count` bytes; no byte changes.
    void TrimValue();
    void DropValuePrefix(size_t count);
    // Narrows the value to `part`, a piece of it.
    void NarrowValue(std::string_view part);
    // Replaces every byte `from` of the value by `to` in place; items that
    // view such a byte keep their text (they get a copy of their own first).
    void ReplaceInValue(char from, char to);
    // Room for `count` items, so that setting them one by one does not grow
    // the item array several times; the items themselves do not change.
    void ReserveItems(size_t count);
    // Appends an empty item.
    void AddItem();
    void SetItems(const std::vector<std::string>& items);
    // Gives the texts that view `scratch` (the builder's working copy of the
    // value) their lasting place once the entry is classified: a text that
    // reads as `source` (the value's piece of the line, kept by the database,
    // or empty) at its own place views it there; any other is copied.
    void SettleTexts(std::string_view scratch, std::string_view source);
    // Empties the texts that view `scratch`, for an entry whose classification
    // failed; nothing is allocated.
    void ForgetTexts(std::string_view scratch);

    // What the classifier resolved the keyword to when the entry was built, so
    // that the checks that follow need not look it up again: its catalogue row
    // (an index of the check layer's catalogue, -1: none), its keyword of the
    // whole-file rules (-1: none) and whether the user registered it. Valid for
    // the profile it was resolved under. Packed small: large files hold many
    // entries.
    // The bit fields share one 16-bit unit under every compiler's layout rules,
    // which pack only fields of one size together.
    struct SResolution {
        std::int16_t m_nRow = -1;
        std::int16_t m_nRule : 13 = -1;
        std::uint16_t m_bUserKey : 1 = false;
        std::uint16_t m_bValid : 1 = false;
        std::uint16_t m_bRev5 : 1 = false;  // resolved under the revision 5 profile, else the classic one
        ECheckProfile Profile() const { return m_bRev5 ? ECheckProfile::Rev5 : ECheckProfile::Classic; }
        void SetProfile(ECheckProfile profile) { m_bRev5 = profile == ECheckProfile::Rev5; }
    };
    static constexpr int MAX_RESOLVED_RULE = 4095;

    // Large files hold an entry per short line: the members are packed into
    // 48 bytes, flags as bit fields of one 16-bit unit.
    CEntryText m_Keyword;
    CEntryText m_Value;
    CValueItems m_Ready;
    CEntryLink m_hParent;  // entry that opens the enclosing block
    int m_Line = 0;        // last physical line, 0-based
    int m_LongLine = 0;    // first physical line, 0-based
    CEntryCount m_nValues;
    CRareText m_RangeLen;
    std::uint8_t m_TypeFlag = TYPE_USER_KEY;
    std::uint16_t m_bSyntaxOk : 1 = 0;
    std::uint16_t m_bAccepted : 1 = 0;
    std::uint16_t m_bNoString : 1 = 1;
    std::uint16_t m_ModuleFlag : 6 = 0;  // 0 or TYPE_MODULE_BEGIN
    // Whether the first line's equal sign stands as the syntax check wants it,
    // where the build could tell from the bytes it looked at anyway.
    std::uint16_t m_EqualSign : 2 = EQUAL_SIGN_UNKNOWN;
    static constexpr std::uint16_t EQUAL_SIGN_UNKNOWN = 0;
    static constexpr std::uint16_t EQUAL_SIGN_OK = 1;
    static constexpr std::uint16_t EQUAL_SIGN_WRONG = 2;

    // Position in the owning database; -1 for an entry of its own.
    int Index() const;

    // A database keeps its entries in chunks of CHUNK_BYTES aligned to their
    // size, each with this head in front, so that an entry finds its
    // database's arena and its position from its own address and holds
    // neither.
    struct SChunkHead {
        CTextArena* m_pArena;
        int m_nFirst;  // index of the chunk's first entry
    };
    static constexpr size_t CHUNK_BYTES = 64 * 1024;
    static constexpr size_t CHUNK_HEAD_BYTES = 16;

private:
    friend class CKeyDatabase;
    // An entry whose texts lie in `arena` (its database's) or, where `views`
    // says so, in the text its database keeps; the database places it in a
    // chunk and the builder classifies it right after.
    CKeyEntry(CTextArena& arena, std::string_view keyword, std::string_view value, int line, const SViewTexts& views);
    const SChunkHead* Head() const {
        return reinterpret_cast<const SChunkHead*>(reinterpret_cast<std::uintptr_t>(this) & ~(CHUNK_BYTES - 1));
    }
    CTextArena& Arena() const { return m_bOwnsArena ? OwnArena() : *Head()->m_pArena; }
    // The arena of an entry of its own, kept aside for it.
    CTextArena& OwnArena() const;
    CEntryText Store(std::string_view text) {
        CTextArena& arena = Arena();
        return CEntryText(arena.Store(text), arena);
    }
    CEntryText View(std::string_view text) {
        // Nearly every view packs into its word and needs no arena.
        const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(text.data()));
        if (text.size() >= CEntryText::LONG_MARK || (address & ~CEntryText::ADDRESS_MASK) != 0)
            return CEntryText(text, Arena());
        CEntryText packed;
        if (!text.empty())
            packed.m_nBits = address | (static_cast<std::uint64_t>(text.size()) << CEntryText::ADDRESS_BITS);
        return packed;
    }
    std::uint16_t m_bOwnsArena : 1 = false;
    // The value views text the database keeps for reading only: an edit in
    // place copies it first.
    std::uint16_t m_bValueViewed : 1 = false;

public:
    CTreeGroup m_TreeGroup;
    SResolution m_Resolved;
};
