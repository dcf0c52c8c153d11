#pragma once
// Byte-string helpers in the "C" locale: only ASCII letters change case and only
// blank, tab, CR, LF, VT and FF count as white space.

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Asked for every byte of every line: defined here so that they inline.
inline bool IsSpaceByte(char c) {
    // Tab, LF, VT, FF and CR are the bytes 9 to 13.
    return c == ' ' || static_cast<unsigned char>(c - '\t') <= '\r' - '\t';
}
constexpr bool IsAlphaByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
constexpr bool IsDigitByte(char c) {
    return c >= '0' && c <= '9';
}
constexpr bool IsAlnumByte(char c) {
    return IsAlphaByte(c) || IsDigitByte(c);
}

std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
inline char UpperByte(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// The bytes 'a' to 'z' of eight bytes at once turned to capitals, all other
// bytes unchanged (no carry crosses a byte: each sum stays below 0x100).
inline std::uint64_t UpperWord(std::uint64_t word) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    const std::uint64_t low7 = word & kLow7;
    const std::uint64_t atLeastSmallA = low7 + 0x1F1F1F1F1F1F1F1Full;  // high bit: byte >= 'a'
    const std::uint64_t aboveSmallZ = low7 + 0x0505050505050505ull;    // high bit: byte > 'z'
    const std::uint64_t small = atLeastSmallA & ~aboveSmallZ & ~word & kHigh;
    return word ^ (small >> 2);
}

// The last one to seven bytes of a text as one word, the other bytes zero:
// the same bytes give the same word. A text of eight bytes or more is read
// with one load that ends at its last byte, a shorter one byte by byte, so
// that no call copies a handful of bytes.
inline std::uint64_t TailWord(std::string_view text, size_t count) {
    std::uint64_t word = 0;
    if (text.size() >= 8) {
        std::memcpy(&word, text.data() + text.size() - 8, 8);
        const unsigned drop = static_cast<unsigned>(8 - count) * 8u;
        return std::endian::native == std::endian::little ? word >> drop : word << drop;
    }
    for (size_t j = text.size() - count; j < text.size(); ++j) word = (word << 8) | static_cast<unsigned char>(text[j]);
    return word;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    size_t i = 0;
    for (; i + 8 <= a.size(); i += 8) {
        std::uint64_t wa, wb;
        std::memcpy(&wa, a.data() + i, 8);
        std::memcpy(&wb, b.data() + i, 8);
        if (wa != wb && UpperWord(wa) != UpperWord(wb)) return false;
    }
    if (i == a.size()) return true;
    const std::uint64_t wa = TailWord(a, a.size() - i);
    const std::uint64_t wb = TailWord(b, b.size() - i);
    return wa == wb || UpperWord(wa) == UpperWord(wb);
}

std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string Trim(std::string_view text);
// The text without the blanks around it, as a view into it.
inline std::string_view TrimmedView(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && IsSpaceByte(text[b])) ++b;
    while (e > b && IsSpaceByte(text[e - 1])) --e;
    return text.substr(b, e - b);
}
// Removes the blanks around `text` in place, keeping its storage.
void TrimInPlace(std::string& text);

// Hash and equality that ignore ASCII letter case, for keyword lookups.
struct CNoCaseHash {
    using is_transparent = void;
    // Clearing bit 5 of every byte maps both cases of a letter to one value,
    // so texts equal but for case hash alike; eight bytes are mixed at a time.
    size_t operator()(std::string_view text) const {
        constexpr std::uint64_t kFold = 0xDFDFDFDFDFDFDFDFull;
        std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ text.size();
        size_t i = 0;
        for (; i + 8 <= text.size(); i += 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + i, 8);
            hash = (hash ^ (word & kFold)) * 0xFF51AFD7ED558CCDull;
            hash ^= hash >> 29;
        }
        if (i < text.size()) {
            const std::uint64_t word = TailWord(text, text.size() - i);
            hash = (hash ^ (word & kFold)) * 0xFF51AFD7ED558CCDull;
            hash ^= hash >> 29;
        }
        return static_cast<size_t>(hash ^ (hash >> 32));
    }
};
struct CNoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }
};

// A map from texts, compared without regard to ASCII letter case, to values,
// built once and then only read (the keyword tables). The slots lie in one
// power-of-two array, probed linearly; each keeps a text's hash beside its
// place in the list, so that a lookup hashes once and compares texts only
// where the hashes agree.
template <typename Value>
class CNoCaseIndex {
public:
    // Adds `text` unless it is there already (the first of equal texts stays,
    // as with emplace into a map). The text must outlive the index.
    void Add(std::string_view text, Value value) {
        if (Find(text) != nullptr) return;
        m_Items.emplace_back(text, std::move(value));
        if (m_Items.size() * 2 > m_Slots.size())
            Rehash(m_Slots.empty() ? 64 : m_Slots.size() * 2);
        else
            Place(CNoCaseHash{}(text), static_cast<std::uint32_t>(m_Items.size()));
    }
    const Value* Find(std::string_view text) const {
        if (m_Slots.empty()) return nullptr;
        const std::uint64_t hash = CNoCaseHash{}(text);
        const size_t mask = m_Slots.size() - 1;
        for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
            const SSlot& slot = m_Slots[i];
            if (slot.m_nItem == 0) return nullptr;
            const auto& item = m_Items[slot.m_nItem - 1];
            if (slot.m_nHash == hash && EqualsNoCase(item.first, text)) return &item.second;
        }
    }

private:
    struct SSlot {
        std::uint64_t m_nHash = 0;
        std::uint32_t m_nItem = 0;  // place in m_Items plus one; 0: empty
    };
    void Place(std::uint64_t hash, std::uint32_t item) {
        const size_t mask = m_Slots.size() - 1;
        size_t i = static_cast<size_t>(hash) & mask;
        while (m_Slots[i].m_nItem != 0) i = (i + 1) & mask;
        m_Slots[i] = SSlot{hash, item};
    }
    void Rehash(size_t size) {
        m_Slots.assign(size, SSlot{});
        for (size_t i = 0; i < m_Items.size(); ++i)
            Place(CNoCaseHash{}(m_Items[i].first), static_cast<std::uint32_t>(i + 1));
    }
    std::vector<std::pair<std::string_view, Value>> m_Items;
    std::vector<SSlot> m_Slots;
};

// Where given bytes stand in a short text: bit i of mask k is set where byte
// i of `text` (at most BYTE_MASK_SIZE bytes) is the k-th of `Wanted`. The
// text is read once, in place, 16 bytes at a time, so that several searches
// of one short line cost less than one search call each. A NUL byte is never
// wanted.
constexpr size_t BYTE_MASK_SIZE = 64;

namespace byte_masks {
#if defined(__SSE2__)
// Adds the masks of 16 bytes that stand from byte `at` on, the first `skip` of
// them repeated from the block before; one step per wanted byte, unrolled.
template <char... Wanted, size_t... K>
inline void AddBlock(std::array<std::uint64_t, sizeof...(Wanted)>& masks, __m128i block, size_t at, unsigned skip,
                     std::index_sequence<K...>) {
    ((masks[K] |= static_cast<std::uint64_t>(
                      static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(Wanted)))) >> skip)
                  << at),
     ...);
}
#endif
}  // namespace byte_masks

template <char... Wanted>
std::array<std::uint64_t, sizeof...(Wanted)> ByteMasks(std::string_view text) {
    std::array<std::uint64_t, sizeof...(Wanted)> masks{};
    const char* data = text.data();
    const size_t size = text.size();
#if defined(__SSE2__)
    const auto add = [&](__m128i block, size_t at, unsigned skip) {
        byte_masks::AddBlock<Wanted...>(masks, block, at, skip, std::make_index_sequence<sizeof...(Wanted)>());
    };
    if (size >= 16) {
        size_t at = 0;
        for (; at + 16 <= size; at += 16) add(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at)), at, 0);
        // The last bytes: the 16 that end the text.
        if (at < size)
            add(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + size - 16)), at,
                static_cast<unsigned>(at + 16 - size));
        return masks;
    }
    // A shorter text from loads of 8 bytes, zero after its end.
    std::uint64_t low = 0, high = 0;
    if (size >= 8) {
        std::memcpy(&low, data, 8);
        std::memcpy(&high, data + size - 8, 8);
        high = size == 8 ? 0 : high >> (8 * (16 - size));  // the bytes from 8 on, in order
    } else {
        for (size_t i = size; i-- > 0;) low = (low << 8) | static_cast<unsigned char>(data[i]);
    }
    add(_mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low)), 0, 0);
#else
    constexpr char wanted[] = {Wanted...};
    for (size_t i = 0; i < size; ++i)
        for (size_t k = 0; k < sizeof...(Wanted); ++k)
            if (data[i] == wanted[k]) masks[k] |= std::uint64_t{1} << i;
#endif
    return masks;
}

// The position of the lowest bit of a byte mask, or npos for none.
inline size_t FirstOf(std::uint64_t mask) {
    return mask == 0 ? std::string_view::npos : static_cast<size_t>(std::countr_zero(mask));
}
// The bits of a byte mask for the positions before `pos`.
inline std::uint64_t BitsBelow(size_t pos) {
    return pos >= BYTE_MASK_SIZE ? ~std::uint64_t{0} : (std::uint64_t{1} << pos) - 1;
}

// The place of the first CR or LF in data[from, size), or `size` when there
// is none: one search for both bytes, 16 at a time, in place of a search per
// byte (lines are short, and a search call costs more than its bytes).
inline size_t FindLineBreak(const char* data, size_t from, size_t size) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; from + 16 <= size; from += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
        const auto found = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf))));
        if (found != 0) return from + static_cast<size_t>(std::countr_zero(found));
    }
#endif
    for (; from < size; ++from)
        if (data[from] == '\r' || data[from] == '\n') return from;
    return size;
}

// Replaces every occurrence of the byte `from` by `to`.
void ReplaceAll(std::string& text, char from, char to);
