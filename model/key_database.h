#pragma once
// The document's ordered, owning list of key entries, addressed by 0-based index.

#include <memory>
#include <vector>

#include "model/key_entry.h"

class CKeyDatabase {
public:
    CKeyDatabase() = default;
    CKeyDatabase(const CKeyDatabase&) = delete;
    CKeyDatabase& operator=(const CKeyDatabase&) = delete;

    CKeyEntry& Append(std::unique_ptr<CKeyEntry> entry);
    // Removes the entries from the tail, deleting each.
    void Clear();

    int GetCount() const { return static_cast<int>(m_Entries.size()); }
    bool IsEmpty() const { return m_Entries.empty(); }
    CKeyEntry* GetAt(int index) const;
    CKeyEntry* GetTail() const { return m_Entries.empty() ? nullptr : m_Entries.back().get(); }
    // Index of an entry of this database, -1 for any other pointer.
    int IndexOf(const CKeyEntry* entry) const;
    bool Contains(const CKeyEntry* entry) const { return IndexOf(entry) >= 0; }
    // The entry whose tree item is `item`, or null.
    CKeyEntry* FindByTreeItem(const void* item) const;

    auto begin() const { return m_Entries.begin(); }
    auto end() const { return m_Entries.end(); }

private:
    std::vector<std::unique_ptr<CKeyEntry>> m_Entries;
};
