#include "model/key_database.h"

#include <functional>
#include <new>

CKeyEntry& CKeyDatabase::Emplace(std::string_view keyword, std::string_view value, int line,
                                 CKeyEntry::SViewTexts views) {
    const auto chunk = static_cast<size_t>(m_nCount >> CHUNK_SHIFT);
    if (chunk == m_Chunks.size()) m_Chunks.push_back(std::make_unique_for_overwrite<SChunk>());
    auto* slot = reinterpret_cast<CKeyEntry*>(m_Chunks[chunk]->m_Storage) + (m_nCount & (CHUNK_SIZE - 1));
    CKeyEntry* entry = ::new (slot) CKeyEntry(m_Texts, keyword, value, line, views);
    entry->m_nIndex = m_nCount++;
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
    for (int i = m_nCount - 1; i >= 0; --i) At(i)->~CKeyEntry();
    m_nCount = 0;
    m_Chunks.clear();
    m_Texts.Clear();
    m_HeldTexts.clear();
    ++m_nGeneration;
}

CKeyEntry* CKeyDatabase::GetAt(int index) const {
    if (index < 0 || index >= m_nCount) return nullptr;
    return At(index);
}

int CKeyDatabase::IndexOf(const CKeyEntry* entry) const {
    if (entry == nullptr) return -1;
    const int index = entry->m_nIndex;
    if (index < 0 || index >= m_nCount || At(index) != entry) return -1;
    return index;
}
