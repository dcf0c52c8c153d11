#include "model/key_database.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <new>

void CKeyDatabase::AddChunk() {
    if (m_nSlabRest == 0) {
        // Slabs grow with the database, up to 16 chunks (1 MB).
        const size_t chunks = std::clamp<size_t>(m_Chunks.size(), 1, 16);
        auto slab = std::make_unique_for_overwrite<std::byte[]>((chunks + 1) * CKeyEntry::CHUNK_BYTES);
        const auto raw = reinterpret_cast<std::uintptr_t>(slab.get());
        const std::uintptr_t aligned = (raw + CKeyEntry::CHUNK_BYTES - 1) & ~std::uintptr_t{CKeyEntry::CHUNK_BYTES - 1};
        m_pSlabRest = slab.get() + (aligned - raw);
        m_nSlabRest = chunks;
        m_Slabs.push_back(std::move(slab));
    }
    ::new (m_pSlabRest) CKeyEntry::SChunkHead{&m_Texts, static_cast<int>(m_Chunks.size()) * CHUNK_SIZE};
    m_Chunks.push_back(m_pSlabRest);
    m_pSlabRest += CKeyEntry::CHUNK_BYTES;
    --m_nSlabRest;
}

CKeyEntry& CKeyDatabase::Emplace(std::string_view keyword, std::string_view value, int line,
                                 const CKeyEntry::SViewTexts& views) {
    if (m_nSlotsLeft == 0) {
        AddChunk();
        m_pNextSlot = reinterpret_cast<CKeyEntry*>(m_Chunks.back() + CKeyEntry::CHUNK_HEAD_BYTES);
        m_nSlotsLeft = CHUNK_SIZE;
    }
    CKeyEntry* entry = ::new (m_pNextSlot) CKeyEntry(m_Texts, keyword, value, line, views);
    ++m_pNextSlot;
    --m_nSlotsLeft;
    ++m_nCount;
    return *entry;
}

void CKeyDatabase::HoldText(std::shared_ptr<const std::string> text) {
    if (text != nullptr && (m_HeldTexts.empty() || m_HeldTexts.back() != text)) m_HeldTexts.push_back(std::move(text));
}

bool CKeyDatabase::IsInHeldText(std::string_view text) const {
    if (m_HeldTexts.empty()) return false;
    const std::string& held = *m_HeldTexts.back();
    const std::less_equal<> le;
    return le(held.data(), text.data()) && le(text.data() + text.size(), held.data() + held.size());
}

void CKeyDatabase::Clear() {
    // The entries go in the reverse order of their making, a chunk at a time.
    int index = m_nCount;
    for (size_t chunk = m_Chunks.size(); chunk-- > 0;) {
        CKeyEntry* first = std::launder(reinterpret_cast<CKeyEntry*>(m_Chunks[chunk] + CKeyEntry::CHUNK_HEAD_BYTES));
        const int count = index - static_cast<int>(chunk) * CHUNK_SIZE;
        for (int k = count; k-- > 0;) first[k].~CKeyEntry();
        index -= count;
    }
    m_nCount = 0;
    m_pNextSlot = nullptr;
    m_nSlotsLeft = 0;
    m_Chunks.clear();
    m_Slabs.clear();
    m_pSlabRest = nullptr;
    m_nSlabRest = 0;
    m_Texts.Clear();
    m_HeldTexts.clear();
    ++m_nGeneration;
}

int CKeyDatabase::IndexOf(const CKeyEntry* entry) const {
    if (entry == nullptr) return -1;
    const int index = entry->Index();
    if (index < 0 || index >= m_nCount || At(index) != entry) return -1;
    return index;
}
