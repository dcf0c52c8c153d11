#include "model/key_entry.h"

#include <algorithm>
#include <new>
#include <utility>

CValueItems::SBlock* CValueItems::NewBlock(std::uint32_t capacity, std::uint32_t size, std::string* from,
                                           std::uint32_t moved) {
    void* memory = ::operator new(sizeof(SBlock) + capacity * sizeof(std::string));
    auto* block = ::new (memory) SBlock{size, capacity};
    std::string* data = block->Data();
    for (std::uint32_t i = 0; i < capacity; ++i)
        ::new (data + i) std::string(i < moved ? std::move(from[i]) : std::string());
    return block;
}

void CValueItems::Release() {
    if (m_pBlock == nullptr) return;
    std::string* data = m_pBlock->Data();
    for (std::uint32_t i = 0; i < m_pBlock->m_nCapacity; ++i) data[i].~basic_string();
    ::operator delete(m_pBlock);
    m_pBlock = nullptr;
}

CValueItems& CValueItems::operator=(std::vector<std::string> items) {
    Release();
    const auto count = static_cast<std::uint32_t>(items.size());
    m_pBlock = NewBlock(count, count, items.data(), count);
    return *this;
}

void CValueItems::emplace_back() {
    std::string* data = Items();
    const std::uint32_t size = m_pBlock->m_nSize;
    if (size == m_pBlock->m_nCapacity) {
        SBlock* grown = NewBlock(std::max<std::uint32_t>(EMPTY_COUNT, size * 2), size, data, size);
        Release();
        m_pBlock = grown;
    }
    // The texts beyond the size are empty: taking one in is the new item.
    ++m_pBlock->m_nSize;
}

const std::string& CValueItems::EmptyItem() {
    return EmptyItems()[0];
}

const std::string* CValueItems::EmptyItems() {
    static const std::string empty[EMPTY_COUNT];
    return empty;
}

std::string* CValueItems::Items() {
    if (m_pBlock == nullptr) m_pBlock = NewBlock(EMPTY_COUNT, EMPTY_COUNT, nullptr, 0);
    return m_pBlock->Data();
}

bool operator==(const CValueItems& a, const std::vector<std::string>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

CRareText& CRareText::operator=(std::string text) {
    if (m_pText)
        *m_pText = std::move(text);
    else if (!text.empty())
        m_pText = std::make_unique<std::string>(std::move(text));
    return *this;
}

const std::string& CRareText::str() const {
    static const std::string empty;
    return m_pText ? *m_pText : empty;
}

#if defined(__GLIBCXX__) && UINTPTR_MAX == UINT64_MAX
// A file of short lines holds an entry per line; keep them at two cache lines.
static_assert(sizeof(CKeyEntry) <= 128, "CKeyEntry grew");
#endif

CKeyEntry::CKeyEntry(std::string keyword, std::string value, int line)
    : m_Line(line), m_LongLine(line), m_Keyword(std::move(keyword)), m_Value(std::move(value)) {}
