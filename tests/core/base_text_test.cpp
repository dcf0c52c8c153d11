// Text helpers of the base layer: the message texts' formatter against what
// printf makes of every kind of conversion, and the case-blind comparison of
// keywords against a byte-by-byte reading, and the byte masks of short texts.

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "base/string_table.h"
#include "base/text_util.h"

namespace {

struct SFormatCase {
    const char* format;
    std::string (*run)(const char* format);
    const char* expected;
};

TEST(FormatText, ConversionsAsPrintfMakesThem) {
    const SFormatCase cases[] = {
        {"plain text", [](const char* f) { return FormatText(f, {}); }, "plain text"},
        {"100%% sure", [](const char* f) { return FormatText(f, {}); }, "100% sure"},
        {"ends in %", [](const char* f) { return FormatText(f, {}); }, "ends in %"},
        {"%s and %s",
         [](const char* f) {
             return FormatText(f, {"one", std::string("two")});
         },
         "one and two"},
        {"[%s]", [](const char* f) { return FormatText(f, {42}); }, "[42]"},
        {"[%s]", [](const char* f) { return FormatText(f, {}); }, "[]"},
        {"%d|%i",
         [](const char* f) {
             return FormatText(f, {0xFFFFFFFEu, -7});
         },
         "-2|-7"},
        {"0x%04X 0x%x %u",
         [](const char* f) {
             return FormatText(f, {0xABu, 255, -1});
         },
         "0x00AB 0xff 4294967295"},
        {"%0.2d|%5d|%-5d|",
         [](const char* f) {
             return FormatText(f, {3, 42, 42});
         },
         "03|   42|42   |"},
        {"%X|%d|%x|%u",
         [](const char* f) {
             return FormatText(f, {0xBEEFu, -2147483647 - 1, 0, 0x1FFFFFFFFll});
         },
         "BEEF|-2147483648|0|4294967295"},
        {"a%cb", [](const char* f) { return FormatText(f, {65}); }, "aAb"},
        {"a%cb", [](const char* f) { return FormatText(f, {0}); }, "ab"},
        {"%5f %q",
         [](const char* f) {
             return FormatText(f, {1, 2});
         },
         "%5f %q"},
        {"%d %s",
         [](const char* f) {
             return FormatText(f, {"text", 7});
         },
         "0 7"},
        {"trailing %05", [](const char* f) { return FormatText(f, {1}); }, "trailing %05"},
        {"%0000000000000000000000000000000000000000005d", [](const char* f) { return FormatText(f, {7}); }, "00007"},
        {"Line %d: \"%s\"",
         [](const char* f) {
             return FormatText(f, {12, std::string_view("Vendor_Name")});
         },
         "Line 12: \"Vendor_Name\""},
    };
    for (const SFormatCase& c : cases) EXPECT_EQ(c.run(c.format), c.expected) << c.format;
}

// Every pair of bytes, at every place of a word and of the bytes after the
// last whole word: equal exactly when they are equal after 'a'-'z' became capitals.
TEST(EqualsNoCase, EveryBytePairAtEveryPlace) {
    for (const size_t length : {1u, 7u, 8u, 9u, 17u}) {
        for (const size_t place : {size_t{0}, length / 2, length - 1}) {
            std::string a(length, 'k'), b(length, 'K');
            for (int x = 0; x < 256; ++x) {
                for (int y = 0; y < 256; ++y) {
                    a[place] = static_cast<char>(x);
                    b[place] = static_cast<char>(y);
                    const bool expected = UpperByte(a[place]) == UpperByte(b[place]);
                    if (EqualsNoCase(a, b) != expected) {
                        ADD_FAILURE() << "bytes " << x << " and " << y << " at " << place << " of " << length;
                        return;
                    }
                }
            }
        }
    }
    EXPECT_TRUE(EqualsNoCase("", ""));
    EXPECT_FALSE(EqualsNoCase("Module", "Modul"));
}

// Through its growth: every text added is found in either case with its
// value, the first of two equal texts keeps its value, others are not found.
TEST(NoCaseIndex, FindsWhatWasAddedInEitherCase) {
    std::vector<std::string> texts;
    for (int i = 0; i < 1000; ++i) texts.push_back("Key_" + std::to_string(i * 7919));
    CNoCaseIndex<int> index;
    for (size_t i = 0; i < texts.size(); ++i) index.Add(texts[i], static_cast<int>(i));
    index.Add("KEY_0", -1);
    for (size_t i = 0; i < texts.size(); ++i) {
        std::string upper = texts[i];
        for (char& c : upper) c = UpperByte(c);
        const int* found = index.Find(upper);
        ASSERT_NE(found, nullptr) << texts[i];
        EXPECT_EQ(*found, static_cast<int>(i));
    }
    EXPECT_EQ(index.Find("Key_1"), nullptr);
    EXPECT_EQ(index.Find(""), nullptr);
    EXPECT_EQ(CNoCaseIndex<int>().Find("Key_0"), nullptr);
}

}  // namespace

// Texts of every size up to 64 bytes, read from the middle of a larger buffer
// whose neighbouring bytes are the byte asked for: a mask sets exactly the
// text's own places of the byte, whichever way the text was loaded.
TEST(ByteMasks, EveryPlaceOfEverySize) {
    std::mt19937 random(5);
    const char bytes[] = {'=', ';', '"', 'a', ' ', '\0', '\xA7'};
    for (size_t size = 0; size <= BYTE_MASK_SIZE; ++size) {
        for (int round = 0; round < 40; ++round) {
            std::string buffer(size + 32, '=');
            for (size_t i = 16; i < 16 + size; ++i) buffer[i] = bytes[random() % sizeof bytes];
            const std::string_view text = std::string_view(buffer).substr(16, size);
            const std::array wanted{'=', ';', '"', '\xA7'};
            const auto masks = ByteMasks<'=', ';', '"', '\xA7'>(text);
            for (size_t k = 0; k < wanted.size(); ++k) {
                std::uint64_t expected = 0;
                for (size_t i = 0; i < size; ++i)
                    if (text[i] == wanted[k]) expected |= std::uint64_t{1} << i;
                ASSERT_EQ(masks[k], expected) << "size " << size << " byte " << int(wanted[k]);
            }
        }
    }
}

// White space is what isspace calls it in the "C" locale, for every byte.
TEST(IsSpaceByte, EveryByteAsTheCLocaleReadsIt) {
    for (int c = 0; c < 256; ++c) EXPECT_EQ(IsSpaceByte(static_cast<char>(c)), std::isspace(c) != 0) << c;
}
