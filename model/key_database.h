#pragma once
// The document's ordered, owning list of key entries, addressed by 0-based index.
// Entries lie in blocks of the database's own, not one allocation each, and
// keep their addresses while the database grows.

#include <deque>
#include <iterator>
#include <string>

#include "model/key_entry.h"

class CKeyDatabase {
public:
    CKeyDatabase() = default;
    CKeyDatabase(const CKeyDatabase&) = delete;
    CKeyDatabase& operator=(const CKeyDatabase&) = delete;

    // Appends a new entry at the tail.
    CKeyEntry& Emplace(std::string keyword, std::string value, int line);
    // Removes the entries from the tail, deleting each.
    void Clear();
    int GetCount() const { return static_cast<int>(m_Entries.size()); }
    bool IsEmpty() const { return m_Entries.empty(); }
    CKeyEntry* GetAt(int index) const;
    CKeyEntry* GetTail() const { return m_Entries.empty() ? nullptr : const_cast<CKeyEntry*>(&m_Entries.back()); }
    // Index of an entry of this database, -1 for any other pointer.
    int IndexOf(const CKeyEntry* entry) const;
    bool Contains(const CKeyEntry* entry) const { return IndexOf(entry) >= 0; }
    // Changes with every Clear: what was derived from the entries of one
    // generation (a tree's items) does not lead to the entries of the next.
    unsigned Generation() const { return m_nGeneration; }

    // Walks the entries in order, handing out a pointer to each.
    class CIterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = CKeyEntry*;
        using difference_type = std::ptrdiff_t;
        using pointer = CKeyEntry**;
        using reference = CKeyEntry*;
        CIterator() = default;
        explicit CIterator(std::deque<CKeyEntry>::const_iterator it) : m_It(it) {}
        CKeyEntry* operator*() const { return const_cast<CKeyEntry*>(&*m_It); }
        CIterator& operator++() {
            ++m_It;
            return *this;
        }
        CIterator operator++(int) {
            CIterator old = *this;
            ++m_It;
            return old;
        }
        bool operator==(const CIterator& other) const { return m_It == other.m_It; }

    private:
        std::deque<CKeyEntry>::const_iterator m_It;
    };
    CIterator begin() const { return CIterator(m_Entries.begin()); }
    CIterator end() const { return CIterator(m_Entries.end()); }

private:
    std::deque<CKeyEntry> m_Entries;
    unsigned m_nGeneration = 0;
};
