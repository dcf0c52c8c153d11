#pragma once
// The document's ordered, owning list of key entries, addressed by 0-based index.
// Entries lie in fixed-size chunks of the database's own, not one allocation
// each, and keep their addresses while the database grows; their texts lie in
// the database's arena.

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/key_entry.h"

class CKeyDatabase {
public:
    CKeyDatabase() = default;
    ~CKeyDatabase() { Clear(); }
    CKeyDatabase(const CKeyDatabase&) = delete;
    CKeyDatabase& operator=(const CKeyDatabase&) = delete;

    // Appends a new entry at the tail; its texts are copied into the database,
    // but for those `views` names, which lie in a text the database holds.
    // (`views` comes by reference: a copy of its flags, stored a byte each
    // just before the call, would be read back as one word and wait for them.)
    CKeyEntry& Emplace(std::string_view keyword, std::string_view value, int line,
                       const CKeyEntry::SViewTexts& views = {});
    // Keeps `text` until Clear, so that entries may view it instead of
    // holding copies (the text a database is built from).
    void HoldText(std::shared_ptr<const std::string> text);
    // Whether `text` lies in the text held last.
    bool IsInHeldText(std::string_view text) const;
    // Removes every entry and the texts they held.
    void Clear();
    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    CKeyEntry* GetAt(int index) const { return index < 0 || index >= m_nCount ? nullptr : At(index); }
    CKeyEntry* GetTail() const { return m_nCount == 0 ? nullptr : At(m_nCount - 1); }
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
        CIterator(const CKeyDatabase* database, int index) : m_pDatabase(database), m_nIndex(index) {}
        CKeyEntry* operator*() const { return m_pDatabase->At(m_nIndex); }
        CIterator& operator++() {
            ++m_nIndex;
            return *this;
        }
        CIterator operator++(int) {
            CIterator old = *this;
            ++m_nIndex;
            return old;
        }
        bool operator==(const CIterator& other) const { return m_nIndex == other.m_nIndex; }

    private:
        const CKeyDatabase* m_pDatabase = nullptr;
        int m_nIndex = 0;
    };
    CIterator begin() const { return CIterator(this, 0); }
    CIterator end() const { return CIterator(this, m_nCount); }

    // Calls f(entry, index) for every entry in order, a chunk at a time; f
    // adds no entries.
    template <typename F>
    void ForEachEntry(F&& f) const {
        int index = 0;
        for (std::byte* chunk : m_Chunks) {
            CKeyEntry* first = std::launder(reinterpret_cast<CKeyEntry*>(chunk + CKeyEntry::CHUNK_HEAD_BYTES));
            const int count = std::min(CHUNK_SIZE, m_nCount - index);
            for (int k = 0; k < count; ++k, ++index) f(first[k], index);
        }
    }

private:
    // A chunk: its head, then room for CHUNK_SIZE entries, constructed one by
    // one as the database grows.
    static constexpr int CHUNK_SIZE =
        static_cast<int>((CKeyEntry::CHUNK_BYTES - CKeyEntry::CHUNK_HEAD_BYTES) / sizeof(CKeyEntry));
    static_assert(sizeof(CKeyEntry::SChunkHead) <= CKeyEntry::CHUNK_HEAD_BYTES &&
                  CKeyEntry::CHUNK_HEAD_BYTES % alignof(CKeyEntry) == 0);
    CKeyEntry* At(int index) const {
        std::byte* chunk = m_Chunks[static_cast<size_t>(index / CHUNK_SIZE)];
        return std::launder(reinterpret_cast<CKeyEntry*>(chunk + CKeyEntry::CHUNK_HEAD_BYTES) + index % CHUNK_SIZE);
    }
    CTextArena m_Texts;
    std::vector<std::shared_ptr<const std::string>> m_HeldTexts;
    // Chunks are cut from slabs of several, each allocated with a chunk's
    // room to spare so that its chunks can start on their alignment; the
    // spare bytes are never touched.
    void AddChunk();
    std::vector<std::unique_ptr<std::byte[]>> m_Slabs;
    std::vector<std::byte*> m_Chunks;
    std::byte* m_pSlabRest = nullptr;  // the next chunk of the last slab
    size_t m_nSlabRest = 0;            // chunks left there
    // Where the next entry goes in the last chunk, and how many more fit there.
    CKeyEntry* m_pNextSlot = nullptr;
    int m_nSlotsLeft = 0;
    int m_nCount = 0;
    unsigned m_nGeneration = 0;
};
