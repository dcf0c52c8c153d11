#include "model/key_entry.h"

#include <algorithm>
#include <functional>
#include <new>
#include <type_traits>

#include "base/text_util.h"

void CEntryText::Trim() {
    static_cast<std::string_view&>(*this) = TrimmedView(*this);
}

void CValueItems::Grow(CTextArena& arena, size_t capacity) {
    auto* grown = static_cast<CEntryText*>(arena.Allocate(capacity * sizeof(CEntryText)));
    for (size_t i = 0; i < capacity; ++i) ::new (grown + i) CEntryText(i < m_nCapacity ? m_pItems[i] : CEntryText());
    m_pItems = grown;
    m_nCapacity = static_cast<std::uint32_t>(capacity);
}

CEntryText& CValueItems::Slot(CTextArena& arena, size_t index) {
    if (index >= m_nCapacity) {
        // The first item of a value alone takes one slot: most values have one.
        const size_t wanted = m_pItems == nullptr && index == 0 ? 1 : std::max<size_t>(EMPTY_COUNT, index + 1);
        Grow(arena, std::max<size_t>(wanted, m_nCapacity * 2));
    }
    if (index >= m_nSize) m_nSize = static_cast<std::uint32_t>(index + 1);
    return m_pItems[index];
}

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

#if defined(__GLIBCXX__) && UINTPTR_MAX == UINT64_MAX
// A file of short lines holds an entry per line: keep entries small.
static_assert(sizeof(CKeyEntry) <= 112, "CKeyEntry grew");
#endif
static_assert(std::is_trivially_destructible_v<CEntryText>);

CKeyEntry::CKeyEntry(CTextArena& arena, std::string_view keyword, std::string_view value, int line)
    : m_Line(line), m_LongLine(line), m_pArena(&arena) {
    SetKeyword(keyword);
    SetValue(value);
}

CKeyEntry::CKeyEntry(std::string_view keyword, std::string_view value, int line)
    : m_Line(line), m_LongLine(line), m_pArena(new CTextArena), m_bOwnsArena(true) {
    SetKeyword(keyword);
    SetValue(value);
}

CKeyEntry::~CKeyEntry() {
    if (m_bOwnsArena) delete m_pArena;
}

void CKeyEntry::SetItem(size_t index, std::string_view text) {
    CEntryText& slot = m_Ready.Slot(*m_pArena, index);
    // An item cut from the entry's own value (the split of a value hands out
    // pieces of it) views the value's copy instead of copying it again.
    const std::string_view value = m_Value;
    const bool inValue = !text.empty() && !value.empty() && std::less_equal<>()(value.data(), text.data()) &&
                         std::less_equal<>()(text.data() + text.size(), value.data() + value.size());
    slot = inValue ? CEntryText(text) : Store(text);
}

void CKeyEntry::SetRangeLen(std::string_view range) {
    if (range.empty()) {
        m_RangeLen.m_pStored = nullptr;
        return;
    }
    const auto size = static_cast<std::uint32_t>(range.size());
    auto* stored = static_cast<char*>(m_pArena->Allocate(sizeof size + range.size()));
    std::memcpy(stored, &size, sizeof size);
    std::memcpy(stored + sizeof size, range.data(), range.size());
    m_RangeLen.m_pStored = stored;
}

void CKeyEntry::ReplaceInValue(char from, char to) {
    const std::string_view value = m_Value;
    if (value.find(from) == std::string_view::npos) return;
    const auto overlaps = [&](std::string_view item) {
        return !item.empty() && std::less<>()(item.data(), value.data() + value.size()) &&
               std::less<>()(value.data(), item.data() + item.size());
    };
    for (std::uint32_t i = 0; i < m_Ready.m_nCapacity; ++i) {
        CEntryText& item = m_Ready.m_pItems[i];
        if (overlaps(item) && item.find(from) != std::string_view::npos) item = Store(item);
    }
    // The value is the entry's own copy in the arena: it may be changed in place.
    char* bytes = const_cast<char*>(value.data());
    std::replace(bytes, bytes + value.size(), from, to);
}

void CKeyEntry::ReserveItems(size_t count) {
    if (count > m_Ready.m_nCapacity) m_Ready.Grow(*m_pArena, count);
}

void CKeyEntry::AddItem() {
    m_Ready.Slot(*m_pArena, m_Ready.size());
}

void CKeyEntry::SetItems(const std::vector<std::string>& items) {
    m_Ready.m_pItems = nullptr;
    m_Ready.m_nCapacity = 0;
    m_Ready.m_nSize = 0;
    for (size_t i = 0; i < items.size(); ++i) SetItem(i, items[i]);
}
