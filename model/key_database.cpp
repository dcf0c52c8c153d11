#include "model/key_database.h"

#include <utility>

CKeyEntry& CKeyDatabase::Emplace(std::string keyword, std::string value, int line) {
    CKeyEntry& entry = m_Entries.emplace_back(std::move(keyword), std::move(value), line);
    entry.m_nIndex = static_cast<int>(m_Entries.size()) - 1;
    return entry;
}

void CKeyDatabase::Clear() {
    while (!m_Entries.empty()) m_Entries.pop_back();
    // The blocks themselves go too.
    std::deque<CKeyEntry>().swap(m_Entries);
    ++m_nGeneration;
}

CKeyEntry* CKeyDatabase::GetAt(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return const_cast<CKeyEntry*>(&m_Entries[static_cast<size_t>(index)]);
}

int CKeyDatabase::IndexOf(const CKeyEntry* entry) const {
    if (entry == nullptr) return -1;
    const int index = entry->m_nIndex;
    if (index < 0 || index >= GetCount() || &m_Entries[static_cast<size_t>(index)] != entry) return -1;
    return index;
}
