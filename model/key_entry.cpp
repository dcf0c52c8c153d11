#include "model/key_entry.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <type_traits>
#include <unordered_map>

#include "base/text_util.h"

std::uint64_t CEntryText::Pack(const void* address, std::uint64_t length) {
    const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(address));
    if ((bits & ~ADDRESS_MASK) != 0) throw std::bad_alloc();
    return bits | (length << ADDRESS_BITS);
}

void CEntryText::SetLong(std::string_view text, CTextArena& arena) {
    // A short text whose address needs more than 48 bits fails in Pack.
    if (text.size() < LONG_MARK) {
        m_nBits = Pack(text.data(), text.size());
        return;
    }
    auto* record = static_cast<SLongText*>(arena.Allocate(sizeof(SLongText), alignof(SLongText)));
    *record = {text.data(), text.size()};
    m_nBits = Pack(record, LONG_MARK);
}

void CValueItems::SetBlock(SBlock* block) {
    m_Word.m_nBits = CEntryText::Pack(block, 0);
}

void CValueItems::Grow(CTextArena& arena, size_t capacity, size_t size) {
    auto* grown = static_cast<SBlock*>(arena.Allocate(sizeof(SBlock) + capacity * sizeof(CEntryText), alignof(SBlock)));
    const std::uint32_t old = Capacity();
    grown->m_nSize = static_cast<std::uint32_t>(size);
    grown->m_nCapacity = static_cast<std::uint32_t>(capacity);
    // The items so far (in the word or the old block), then empty room.
    const CEntryText* items = Block() != nullptr ? Block()->Items() : &m_Word;
    size_t i = 0;
    for (; i < old && i < capacity; ++i) ::new (grown->Items() + i) CEntryText(items[i]);
    for (; i < capacity; ++i) ::new (grown->Items() + i) CEntryText();
    SetBlock(grown);
}

CEntryText& CValueItems::Slot(CTextArena& arena, size_t index) {
    if (index >= Capacity()) {
        // The first item of a value alone takes one slot: most values have one.
        const size_t wanted = !IsAllocated() && index == 0 ? 1 : std::max<size_t>(EMPTY_COUNT, index + 1);
        Grow(arena, std::max<size_t>(wanted, size_t{Capacity()} * 2), size());
    }
    SBlock* block = Block();
    if (index >= block->m_nSize) block->m_nSize = static_cast<std::uint32_t>(index + 1);
    return block->Items()[index];
}

CValueItems::SBlock CValueItems::s_NoItems{0, 0};

const CEntryText& CValueItems::EmptyItem() {
    static const CEntryText empty;
    return empty;
}

bool operator==(const CValueItems& a, const std::vector<std::string>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < b.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

namespace {

// What compact members keep aside, by the member's address. Entries of every
// database and thread share it; members use it rarely.
struct SSideStore {
    std::mutex m_Mutex;
    std::unordered_map<const void*, CKeyEntry*> m_Links;
    std::unordered_map<const void*, int> m_Counts;
    std::unordered_map<const void*, std::string> m_Texts;
};

SSideStore& SideStore() {
    static SSideStore store;
    return store;
}

}  // namespace

namespace entry_side {

CKeyEntry* Link(const void* member) {
    SSideStore& store = SideStore();
    const std::lock_guard lock(store.m_Mutex);
    return store.m_Links.at(member);
}

void SetLink(const void* member, CKeyEntry* target) {
    SSideStore& store = SideStore();
    const std::lock_guard lock(store.m_Mutex);
    store.m_Links[member] = target;
}

int Count(const void* member) {
    SSideStore& store = SideStore();
    const std::lock_guard lock(store.m_Mutex);
    return store.m_Counts.at(member);
}

void SetCount(const void* member, int count) {
    SSideStore& store = SideStore();
    const std::lock_guard lock(store.m_Mutex);
    store.m_Counts[member] = count;
}

std::string_view Text(const void* member) {
    SSideStore& store = SideStore();
    const std::lock_guard lock(store.m_Mutex);
    // The node of a text stays put until its member forgets it.
    return store.m_Texts.at(member);
}

void SetText(const void* member, std::string_view text) {
    SSideStore& store = SideStore();
    const std::lock_guard lock(store.m_Mutex);
    store.m_Texts[member] = std::string(text);
}

void Forget(const void* member) {
    SSideStore& store = SideStore();
    const std::lock_guard lock(store.m_Mutex);
    store.m_Links.erase(member);
    store.m_Counts.erase(member);
    store.m_Texts.erase(member);
}

size_t HeldCount() {
    SSideStore& store = SideStore();
    const std::lock_guard lock(store.m_Mutex);
    return store.m_Links.size() + store.m_Counts.size() + store.m_Texts.size();
}

}  // namespace entry_side

void CRareText::Set(std::string_view text) {
    if (text.empty()) {
        if (m_bStored) entry_side::Forget(this);
        m_bStored = false;
        return;
    }
    entry_side::SetText(this, text);
    m_bStored = true;
}

#if defined(__GLIBCXX__) && UINTPTR_MAX == UINT64_MAX
// A file of short lines holds an entry per line: keep entries small.
static_assert(sizeof(CKeyEntry) <= 48, "CKeyEntry grew");
static_assert(sizeof(CKeyEntry::SResolution) == 4 && sizeof(CTreeGroup) == 1);
#endif
static_assert(sizeof(CEntryText) == sizeof(std::uint64_t) && sizeof(CValueItems) == sizeof(std::uint64_t));
static_assert(std::is_trivially_destructible_v<CEntryText>);

CKeyEntry::CKeyEntry(CTextArena& arena, std::string_view keyword, std::string_view value, int line,
                     const SViewTexts& views)
    : m_Line(line), m_LongLine(line), m_bValueViewed(views.m_bValue) {
    m_Keyword = views.m_bKeyword ? CEntryText(keyword, arena) : CEntryText(arena.Store(keyword), arena);
    m_Value =
        views.m_bValue || views.m_bValueInScratch ? CEntryText(value, arena) : CEntryText(arena.Store(value), arena);
}

namespace {

// The arenas of entries of their own (a form's scratch entry), by entry.
struct SOwnArenas {
    std::mutex m_Mutex;
    std::unordered_map<const CKeyEntry*, std::unique_ptr<CTextArena>> m_Arenas;
};

SOwnArenas& OwnArenas() {
    static SOwnArenas arenas;
    return arenas;
}

}  // namespace

CKeyEntry::CKeyEntry(std::string_view keyword, std::string_view value, int line)
    : m_Line(line), m_LongLine(line), m_bOwnsArena(true) {
    SOwnArenas& arenas = OwnArenas();
    {
        const std::lock_guard lock(arenas.m_Mutex);
        arenas.m_Arenas[this] = std::make_unique<CTextArena>();
    }
    try {
        SetKeyword(keyword);
        SetValue(value);
    } catch (...) {
        // No destructor runs for an entry that was never made: give its arena back.
        const std::lock_guard lock(arenas.m_Mutex);
        arenas.m_Arenas.erase(this);
        throw;
    }
}

CKeyEntry::~CKeyEntry() {
    if (!m_bOwnsArena) return;
    SOwnArenas& arenas = OwnArenas();
    const std::lock_guard lock(arenas.m_Mutex);
    arenas.m_Arenas.erase(this);
}

CTextArena& CKeyEntry::OwnArena() const {
    SOwnArenas& arenas = OwnArenas();
    const std::lock_guard lock(arenas.m_Mutex);
    return *arenas.m_Arenas.at(this);
}

int CKeyEntry::Index() const {
    if (m_bOwnsArena) return -1;
    const auto* first = reinterpret_cast<const std::byte*>(Head()) + CHUNK_HEAD_BYTES;
    return Head()->m_nFirst + static_cast<int>((reinterpret_cast<const std::byte*>(this) - first) /
                                               static_cast<std::ptrdiff_t>(sizeof(CKeyEntry)));
}

void CKeyEntry::SetItem(size_t index, std::string_view text) {
    // An item cut from the entry's own value (the split of a value hands out
    // pieces of it) views the value's bytes instead of copying them again.
    const std::string_view value = m_Value;
    const bool inValue = !text.empty() && !value.empty() && std::less_equal<>()(value.data(), text.data()) &&
                         std::less_equal<>()(text.data() + text.size(), value.data() + value.size());
    const CEntryText item = inValue ? View(text) : Store(text);
    // The first item, while it is the only one, stands in the word itself: four
    // empty items and four with an empty first read the same.
    CValueItems::SBlock* block = m_Ready.Block();
    if (index == 0 && block == nullptr) {
        m_Ready.m_Word = item;
        return;
    }
    // Room that is there already needs no arena.
    if (block != nullptr && index < block->m_nCapacity) {
        if (index >= block->m_nSize) block->m_nSize = static_cast<std::uint32_t>(index + 1);
        block->Items()[index] = item;
        return;
    }
    m_Ready.Slot(Arena(), index) = item;
}

void CKeyEntry::SetRangeLen(std::string_view range) {
    m_RangeLen.Set(range);
}

void CKeyEntry::TrimValue() {
    m_Value = View(TrimmedView(m_Value));
}

void CKeyEntry::NarrowValue(std::string_view part) {
    m_Value = View(part);
}

void CKeyEntry::DropValuePrefix(size_t count) {
    m_Value = View(m_Value.View().substr(std::min(count, m_Value.size())));
}

void CKeyEntry::ReplaceInValue(char from, char to) {
    const size_t first = m_Value.find(from);
    if (first == std::string_view::npos) return;
    if (m_bValueViewed) {
        // Items that view the kept text keep reading it as it was.
        m_Value = Store(m_Value);
        m_bValueViewed = false;
    }
    const std::string_view value = m_Value;
    const auto overlaps = [&](std::string_view item) {
        return !item.empty() && std::less<>()(item.data(), value.data() + value.size()) &&
               std::less<>()(value.data(), item.data() + item.size());
    };
    for (CEntryText& item : m_Ready.Slots())
        if (overlaps(item) && item.find(from) != std::string_view::npos) item = Store(item);
    // The value is the entry's own copy (in the arena or the builder's working
    // copy): it may be changed in place.
    char* bytes = const_cast<char*>(value.data());
    std::replace(bytes + first, bytes + value.size(), from, to);
}

namespace {

bool Within(std::string_view text, std::string_view in) {
    const std::less_equal<> le;
    return !text.empty() && le(in.data(), text.data()) && le(text.data() + text.size(), in.data() + in.size());
}

}  // namespace

void CKeyEntry::SettleTexts(std::string_view scratch, std::string_view source) {
    // True when the text now views `source`.
    const auto settle = [&](CEntryText& text) {
        const std::string_view view = text;
        if (!Within(view, scratch)) return false;
        const auto offset = static_cast<size_t>(view.data() - scratch.data());
        if (offset + view.size() <= source.size()) {
            const std::string_view original = source.substr(offset, view.size());
            if (original == view) {
                text = View(original);
                return true;
            }
        }
        text = Store(view);
        return false;
    };
    // The value of a working copy was the entry's own until now.
    m_bValueViewed = settle(m_Value);
    for (CEntryText& item : m_Ready.Slots()) settle(item);
}

void CKeyEntry::ForgetTexts(std::string_view scratch) {
    if (Within(m_Value, scratch)) m_Value = CEntryText();
    for (CEntryText& item : m_Ready.Slots())
        if (Within(item, scratch)) item = CEntryText();
}

void CKeyEntry::ReserveItems(size_t count) {
    // A first item alone needs no block.
    if (count > m_Ready.Capacity() && (count > 1 || m_Ready.Block() != nullptr))
        m_Ready.Grow(Arena(), count, m_Ready.size());
}

void CKeyEntry::AddItem() {
    m_Ready.Slot(Arena(), m_Ready.size());
}

void CKeyEntry::SetItems(const std::vector<std::string>& items) {
    // No items at all until the first is set; nothing is written to this block.
    m_Ready.SetBlock(&CValueItems::s_NoItems);
    for (size_t i = 0; i < items.size(); ++i) SetItem(i, items[i]);
}
