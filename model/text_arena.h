#pragma once
// Append-only storage for the texts of a database's entries. A text copied in
// keeps its address until the arena is cleared or destroyed, so entries hold
// plain views of their texts and no allocation of their own.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class CTextArena {
public:
    CTextArena() = default;
    CTextArena(const CTextArena&) = delete;
    CTextArena& operator=(const CTextArena&) = delete;

    // `size` bytes aligned for any scalar type (or to `align`, a power of two),
    // valid until Clear.
    void* Allocate(size_t size, size_t align = alignof(std::max_align_t)) {
        size = size == 0 ? 1 : size;
        // Most pieces fit the current block: taken here, without a call.
        const size_t pad = (0 - reinterpret_cast<std::uintptr_t>(m_pNext)) & (align - 1);
        if (m_pNext != nullptr && pad + size <= m_nLeft) {
            std::byte* result = m_pNext + pad;
            m_pNext = result + size;
            m_nLeft -= pad + size;
            return result;
        }
        return TakeFromNewBlock(size);
    }
    // A copy of `text` in the arena; an empty text takes no room.
    std::string_view Store(std::string_view text);
    // Gives back every block but the first, which is kept for the next build.
    void Clear();
    // Bytes held in blocks, for measurements.
    size_t Capacity() const;

private:
    // A piece that does not fit the current block: a new block is aligned for
    // any scalar type, so no piece needs padding there.
    std::byte* TakeFromNewBlock(size_t size);
    static constexpr size_t BLOCK_BYTES = 64 * 1024;
    struct SBlock {
        std::unique_ptr<std::byte[]> m_pData;
        size_t m_nSize = 0;
    };
    std::vector<SBlock> m_Blocks;
    std::byte* m_pNext = nullptr;
    size_t m_nLeft = 0;
};
