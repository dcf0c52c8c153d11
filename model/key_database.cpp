#include "model/key_database.h"

CKeyEntry& CKeyDatabase::Append(std::unique_ptr<CKeyEntry> entry) {
    entry->m_nIndex = static_cast<int>(m_Entries.size());
    m_Entries.push_back(std::move(entry));
    return *m_Entries.back();
}

void CKeyDatabase::Clear() {
    while (!m_Entries.empty()) m_Entries.pop_back();
}

CKeyEntry* CKeyDatabase::GetAt(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return m_Entries[static_cast<size_t>(index)].get();
}

int CKeyDatabase::IndexOf(const CKeyEntry* entry) const {
    if (entry == nullptr) return -1;
    const int index = entry->m_nIndex;
    if (index < 0 || index >= GetCount() || m_Entries[static_cast<size_t>(index)].get() != entry)
        return -1;
    return index;
}

CKeyEntry* CKeyDatabase::FindByTreeItem(const void* item) const {
    if (item == nullptr) return nullptr;
    for (const auto& entry : m_Entries)
        if (entry->m_hTree == item) return entry.get();
    return nullptr;
}
