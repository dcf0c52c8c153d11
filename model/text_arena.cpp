#include "model/text_arena.h"

#include <cstdint>
#include <cstring>

std::byte* CTextArena::TakeFromNewBlock(size_t size) {
    // A piece larger than a quarter block gets a block of its own, put before
    // the current block, which keeps serving the small pieces.
    if (size > BLOCK_BYTES / 4) {
        const auto at = m_Blocks.empty() ? m_Blocks.end() : m_Blocks.end() - 1;
        return m_Blocks.insert(at, {std::make_unique_for_overwrite<std::byte[]>(size), size})->m_pData.get();
    }
    m_Blocks.push_back({std::make_unique_for_overwrite<std::byte[]>(BLOCK_BYTES), BLOCK_BYTES});
    std::byte* result = m_Blocks.back().m_pData.get();
    m_pNext = result + size;
    m_nLeft = BLOCK_BYTES - size;
    return result;
}

std::string_view CTextArena::Store(std::string_view text) {
    if (text.empty()) return {};
    auto* copy = static_cast<char*>(Allocate(text.size(), 1));
    std::memcpy(copy, text.data(), text.size());
    return {copy, text.size()};
}

void CTextArena::Clear() {
    // One standard block stays for the next build.
    SBlock keep;
    for (auto& block : m_Blocks)
        if (block.m_nSize == BLOCK_BYTES) {
            keep = std::move(block);
            break;
        }
    m_Blocks.clear();
    m_pNext = nullptr;
    m_nLeft = 0;
    if (keep.m_pData) {
        m_pNext = keep.m_pData.get();
        m_nLeft = BLOCK_BYTES;
        m_Blocks.push_back(std::move(keep));
    }
}

size_t CTextArena::Capacity() const {
    size_t total = 0;
    for (const auto& block : m_Blocks) total += block.m_nSize;
    return total;
}
