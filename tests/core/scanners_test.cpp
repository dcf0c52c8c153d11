// The lexical judges of the key syntax check: numbers of a given width, the
// separating equal sign of a key line, and the characters and quotes of strings.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "base/value_scanners.h"

namespace {

struct SNumberCase {
    const char* text;
    int width;
    bool pass;
};

void ExpectNumberCases(const SNumberCase* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(std::string("text \"") + c.text + "\" width " + std::to_string(c.width));
        EXPECT_EQ(ScanNumber(c.text, c.width), c.pass);
    }
}

TEST(ScanNumber, UnsignedWidthsAcceptTheirRangeInHexAndDecimal) {
    const SNumberCase cases[] = {
        {"0x1F", WIDTH_U8, true},        {"0X1f", WIDTH_U8, true},         {"0x100", WIDTH_U8, false},
        {"255", WIDTH_U8, true},         {"256", WIDTH_U8, false},         {"0", WIDTH_U8, true},
        {"0x00", WIDTH_U8, true},        {"0xff", WIDTH_U8, true},         {"65535", WIDTH_U16, true},
        {"65536", WIDTH_U16, false},     {"0xFFFF", WIDTH_U16, true},      {"0x10000", WIDTH_U16, false},
        {"0xFFFFFFFE", WIDTH_U32, true}, {"0xFFFFFFFF", WIDTH_U32, false}, {"0x1FFFFFFFF", WIDTH_U32, false},
        {"4000000000", WIDTH_U32, true}, {"999999999", WIDTH_U32, true},   {"99999", WIDTH_U16, false},
        {"0xFFFFFFFF", WIDTH_ANY, true},
    };
    ExpectNumberCases(cases, std::size(cases));
}

TEST(ScanNumber, RejectsMalformedTexts) {
    const SNumberCase cases[] = {
        {"", WIDTH_U8, false},
        {"   ", WIDTH_U8, false},
        {"12a", WIDTH_U8, false},
        {"1 2", WIDTH_U8, false},
        {"0x", WIDTH_U8, false},
        {"x1", WIDTH_U8, false},
        {"1x", WIDTH_U8, false},
        {"0x1x", WIDTH_U8, false},
        {"0xg", WIDTH_U8, false},
        {"1.5", WIDTH_U8, false},
        {"+1", WIDTH_U8, false},
        {"abc", WIDTH_ANY, false},
        {"1x2", WIDTH_ANY, false},
        {"0x1 2", WIDTH_U16, false},
        // Bytes that read as a hex letter or an x only with bit 5 set.
        {"0x1\xC1", WIDTH_ANY, false},
        {"0x1\xD8", WIDTH_ANY, false},
        {"0x1`", WIDTH_ANY, false},
    };
    ExpectNumberCases(cases, std::size(cases));
}

TEST(ScanNumber, DecimalTextIsReducedToItsLeadingNumber) {
    const SNumberCase cases[] = {
        {"007", WIDTH_U8, true},
        {"1-2", WIDTH_U8, true},
        {"12-", WIDTH_U8, true},
        {"00", WIDTH_U8, true},
        {"0-", WIDTH_U8, true},
        {"-0", WIDTH_U8, true},
        {" 12 ", WIDTH_U8, true},
        {"\t12", WIDTH_U8, true},
        {"0256", WIDTH_U8, false},
        {"256-1", WIDTH_U8, false},
        // A text of minus signs has the leading value 0 and is read as "0".
        {"-", WIDTH_U8, true},
        {"--", WIDTH_U16, true},
        {"-1-", WIDTH_U8, false},
    };
    ExpectNumberCases(cases, std::size(cases));

    std::uint32_t out = 99;
    ASSERT_TRUE(ScanNumber("007", WIDTH_U8, &out));
    EXPECT_EQ(out, 7u);
    ASSERT_TRUE(ScanNumber("1-2", WIDTH_U8, &out));
    EXPECT_EQ(out, 1u);
    ASSERT_TRUE(ScanNumber("0x1F", WIDTH_U8, &out));
    EXPECT_EQ(out, 31u);
    ASSERT_TRUE(ScanNumber("0X1f", WIDTH_U8, &out));
    EXPECT_EQ(out, 31u);
}

TEST(ScanNumber, FailingWidthEightScanLeavesTheOutValueAlone) {
    std::uint32_t out = 42;
    EXPECT_FALSE(ScanNumber("256", WIDTH_U8, &out));
    EXPECT_EQ(out, 42u);
    EXPECT_FALSE(ScanNumber("-1", WIDTH_U8, &out));
    EXPECT_EQ(out, 42u);
}

TEST(ScanNumber, LeadingMinusDependsOnTheWidthCode) {
    const SNumberCase cases[] = {
        {"-1", WIDTH_U8, false},
        {"-1", WIDTH_U16, false},
        {"-1", WIDTH_U32, false},
        {"-1", WIDTH_ANY, true},
        {"-0x10", WIDTH_U8, false},
        {"-0x10", WIDTH_S8, true},
        {"-0x10", WIDTH_ANY, true},
        // Signed widths take the most negative value of the width, and nothing
        // beyond either end.
        {"-127", WIDTH_S8, true},
        {"127", WIDTH_S8, true},
        {"-128", WIDTH_S8, true},
        {"-129", WIDTH_S8, false},
        {"128", WIDTH_S8, false},
        {"0x7F", WIDTH_S8, true},
        {"0x80", WIDTH_S8, false},
        {"-32767", WIDTH_S16, true},
        {"-32768", WIDTH_S16, true},
        {"-32769", WIDTH_S16, false},
        {"32767", WIDTH_S16, true},
        {"32768", WIDTH_S16, false},
        {"-5", WIDTH_S16, true},
        {"-5", WIDTH_U16, false},
        {"2147483646", WIDTH_S32, true},
        {"-2147483646", WIDTH_S32, true},
        {"-2147483648", WIDTH_S32, true},
        {"0x80000000", WIDTH_S32, false},
        {"0xFFFFFFFF", WIDTH_S32, false},
        {"-0x80000001", WIDTH_S32, false},
    };
    ExpectNumberCases(cases, std::size(cases));
}

// Signed widths convert the magnitude exactly: both ends of each range pass,
// one beyond either end fails (the unsigned widths keep their saturation rule).
TEST(ScanNumber, SignedWidthsTakeBothEndsOfTheirRange) {
    const SNumberCase cases[] = {
        {"2147483647", WIDTH_S32, true},  {"0x7FFFFFFF", WIDTH_S32, true},   {"-2147483648", WIDTH_S32, true},
        {"0x80000000", WIDTH_S32, false}, {"-0x80000001", WIDTH_S32, false}, {"127", WIDTH_S8, true},
        {"-128", WIDTH_S8, true},         {"128", WIDTH_S8, false},          {"-129", WIDTH_S8, false},
        {"-32768", WIDTH_S16, true},      {"32768", WIDTH_S16, false},       {"0xFFFFFFFF", WIDTH_U32, false},
    };
    ExpectNumberCases(cases, std::size(cases));
}

TEST(ScanNumber, SingleCharacterWidthTakesExactlyOneCharacter) {
    const SNumberCase cases[] = {
        {"0", WIDTH_CHAR, true},    {"1", WIDTH_CHAR, true},  {"5", WIDTH_CHAR, true},   {"10", WIDTH_CHAR, false},
        {"0x1", WIDTH_CHAR, false}, {"a", WIDTH_CHAR, false}, {" 1 ", WIDTH_CHAR, true}, {"", WIDTH_CHAR, false},
    };
    ExpectNumberCases(cases, std::size(cases));
}

TEST(ScanNumber, DecimalTextsBeyondThirtyTwoBitsSaturate) {
    // The decimal rendering saturates at 2147483647, which then fits every
    // width that has room for it.
    EXPECT_TRUE(ScanNumber("4294967295", WIDTH_U32));
    EXPECT_TRUE(ScanNumber("99999999999", WIDTH_U32));
    EXPECT_FALSE(ScanNumber("99999999999", WIDTH_U16));
    EXPECT_TRUE(ScanNumber("99999999999", WIDTH_ANY));
}

TEST(ScanNumber, WorksOnACopyOfTheText) {
    const std::string text = " 007 ";
    EXPECT_TRUE(ScanNumber(text, WIDTH_U8));
    EXPECT_EQ(text, " 007 ");
}

struct SLineCase {
    const char* line;
    bool pass;
};

TEST(CheckEqualSign, FindsOneSeparatingEqualSign) {
    const SLineCase cases[] = {
        {"GSD_Revision = 1", true},
        {"GSD_Revision=1", true},
        {"GSD_Revision 1", false},
        {"GSD_Revision", false},
        {"Vendor_Name = \"A=B\"", true},
        {"Foo \"x\" = 1", false},
        {"Foo ; = 1", false},
        {"Vendor_Name = \"A\" = ; c", false},
        {"Vendor_Name = \"A\" = x", true},
        {"GSD_Revision = 1 = 2", true},
        {"Foo = 1 = \"x\"", false},
        {"Foo = 1 ; x = 2", true},
        {"Foo = \"a\" ; = x", true},
        // An equal sign inside a second string still counts when a comment
        // follows it.
        {"Foo = \"a\" \"b=c\" ; x", false},
        {"Foo = \"a\" \"b=c\"", true},
        {"Vendor_Name = \"ABC\" ; say \"hi\"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(CheckEqualSign(c.line), c.pass);
    }
}

struct SStringCase {
    const char* value;
    const char* line;
    bool pass;
};

TEST(CheckString, NeedsAllowedCharactersAndOneClosedQuotedString) {
    const SStringCase cases[] = {
        {"ABC", "Vendor_Name = \"ABC\" ; remark", true},
        {"ABC", "Vendor_Name = \"ABC\"", true},
        {"abc", "Vendor_Name = \"ABC\"", true},
        {"ABD", "Vendor_Name = \"ABC\"", false},
        {"ABC", "Vendor_Name = \"  ABC  \"", true},
        {" ABC ", "Vendor_Name = \"ABC\"", true},
        {"M\xFCller \xC4\xD6\xDF", "Vendor_Name = \"M\xFCller \xC4\xD6\xDF\"", true},
        {"AB\"C", "Vendor_Name = \"AB\"C\"", false},
        {"A\\B", "Vendor_Name = \"A\\B\"", false},
        {"A\tB", "Vendor_Name = \"A\tB\"", false},
        {"ABC", "Vendor_Name = \"ABC\" ; say \"hi\"", true},
        {"ABC", "Vendor_Name = \"ABC", false},
        {"", "Vendor_Name = \"", false},
        {"ABC", "Vendor_Name = ABC", false},
        {"A", "Vendor_Name = \"A;B\"", false},
        {"a", "Foo = \"a\" \"b\"", false},
        {"", "Vendor_Name = \"\"", true},
        {"1 + 2 = 3", "Foo = \"1 + 2 = 3\"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("value [") + c.value + "] line [" + c.line + "]");
        EXPECT_EQ(CheckString(c.value, c.line), c.pass);
    }
}

TEST(CheckString, PrintableAsciiExceptQuoteAndBackslashIsAllowed) {
    for (int c = 0; c < 0x80; ++c) {
        const bool printable = c >= 0x20 && c < 0x7F;
        const bool expected = printable && c != '"' && c != '\\';
        EXPECT_EQ(IsStringByte(static_cast<unsigned char>(c)), expected) << "byte " << c;
    }
}

TEST(CheckString, HighBytesFromTheListAreAllowed) {
    const unsigned char listed[] = {
        0xE4, 0xC4, 0xF6, 0xD6, 0xFC, 0xDC, 0xDF, 0xE9, 0xE8, 0xE0, 0xE1, 0xEC, 0xED, 0xF3, 0xF2, 0xFA,
        0xF9, 0xBA, 0xB5, 0x80, 0xA3, 0xA9, 0xAE, 0x99, 0xA1, 0xA2, 0xA4, 0xA5, 0xA6, 0xAD, 0xAA, 0xAB,
        0xAC, 0xAF, 0xB0, 0xB1, 0xB9, 0xB2, 0xB3, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xC1, 0xC2, 0xC3,
        0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4,
        0xD5, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDD, 0xDE, 0xE2, 0xE3, 0xE5, 0xE6, 0xE7, 0xEA, 0xEB, 0xEE,
        0xEF, 0xF0, 0xF1, 0xF4, 0xF5, 0xF7, 0xF8, 0xFB, 0xFD, 0xFE, 0xFF, 0xB4,
    };
    for (unsigned char c : listed) EXPECT_TRUE(IsStringByte(c)) << "byte 0x" << std::hex << int(c);
}

TEST(CheckString, ControlAndUnlistedSymbolBytesAreRejected) {
    const unsigned char rejected[] = {0x00, 0x01, 0x09, 0x0A, 0x0D, 0x1F, 0x7F, 0x81, 0x84, 0x86,
                                      0x91, 0x93, 0x96, 0xA0, 0xA7, 0xA8, 0xB6, 0xB7, 0xB8};
    for (unsigned char c : rejected) EXPECT_FALSE(IsStringByte(c)) << "byte 0x" << std::hex << int(c);
    // The section sign inside a value makes the whole string fail.
    EXPECT_FALSE(
        CheckString("A\xA7"
                    "B",
                    "Foo = \"A\xA7"
                    "B\""));
}

}  // namespace
