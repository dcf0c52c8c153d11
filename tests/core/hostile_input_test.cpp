// Hostile input through the whole Check GSD flow: huge files and lines, long
// chains of joined lines, many modules, unfinished blocks, every byte value,
// oversized numbers, NUL bytes, binary garbage and foreign line ends. Every
// input is generated here. The checker must finish with its own messages, and
// the memory it takes must stay within a small multiple of the input's size.
// (Speed is measured in bench/; a hang shows as the test's timeout.)
//
// Also runs every input kept under fuzz/regressions/ through the fuzz targets'
// entry points, so that a fault once found by fuzzing stays fixed in every build.

#include <gtest/gtest.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/check_message.h"
#include "base/string_table.h"
#include "base/value_scanners.h"
#include "bench/gsd_generator.h"
#include "cli/file_check.h"
#include "message_texts.h"
#include "model/ini_profile.h"
#include "model/text_lines.h"

// The fuzz targets' entry points under their own names, without libFuzzer; a
// broken rule throws instead of stopping the process.
#define TALUNA_FUZZ_FAIL_THROWS 1
#define LLVMFuzzerTestOneInput TalunaFuzzCheckGsdOne
#include "fuzz/fuzz_check_gsd.cpp"
#undef LLVMFuzzerTestOneInput
#define LLVMFuzzerTestOneInput TalunaFuzzScannersOne
#include "fuzz/fuzz_scanners.cpp"
#undef LLVMFuzzerTestOneInput

#if defined(__SANITIZE_ADDRESS__)
#define TALUNA_HOSTILE_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TALUNA_HOSTILE_SANITIZED 1
#endif
#endif

namespace {

#ifdef TALUNA_HOSTILE_SANITIZED
// The sanitizers multiply time and memory; the shapes stay, the sizes shrink.
constexpr size_t kShrink = 10;
constexpr bool kSanitized = true;
#else
constexpr size_t kShrink = 1;
constexpr bool kSanitized = false;
#endif

constexpr size_t kMB = 1024 * 1024;
const std::string kHeader = "#Profibus_DP\r\n";
const std::string kEmptyDatabase = taluna_test::MessageText(IDS_DATABASE_EMPTY);

// ---- memory -------------------------------------------------------------

// A field of /proc/self/status in bytes, 0 when it cannot be read.
size_t StatusBytes(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(in, line)) {
        if (line.rfind(prefix, 0) == 0) return static_cast<size_t>(std::stoull(line.substr(prefix.size()))) * 1024;
    }
    return 0;
}

// Peak resident memory taken from its construction on: the high-water mark is
// set back to the current size first (clear_refs 5), so that an earlier
// test's peak does not count. Under the sanitizers, whose allocator keeps freed
// memory, the figure is a lower bound.
class CPeakGrowth {
public:
    CPeakGrowth() {
#ifdef __GLIBC__
        // Memory freed by earlier tests goes back to the system first, so that
        // reusing it does not hide the growth.
        malloc_trim(0);
#endif
        std::ofstream("/proc/self/clear_refs") << "5";
        m_Start = StatusBytes("VmRSS");
    }
    size_t Bytes() const {
        const size_t peak = StatusBytes("VmHWM");
        return peak > m_Start ? peak - m_Start : 0;
    }

private:
    size_t m_Start = 0;
};

// The allowed growth for checking `inputBytes` of text made of `keyLines` key
// lines: the text's copy and its line table, a fixed share per key entry (the
// entry, its keyword, value and value items), and some slack for the
// allocator, and room for a few findings per entry. Measured: about 2 bytes a
// byte and 370 to 460 bytes an entry with its findings in an optimised build.
size_t MemoryBudget(size_t inputBytes, size_t keyLines) {
    const size_t perByte = kSanitized ? 6 : 2;
    const size_t perEntry = kSanitized ? 2048 : 512;
    // The sanitizers hold freed memory back for a while, so short-lived
    // copies add up there instead of being reused.
    const size_t slack = kSanitized ? 96 * kMB : 16 * kMB;
    return perByte * inputBytes + perEntry * keyLines + slack;
}

// Checks the growth against the budget, plus `rowAllowance` for inputs whose
// findings are many by nature, and prints it.
void ExpectWithinBudget(const char* what, size_t used, size_t inputBytes, size_t keyLines, size_t rowAllowance = 0) {
    const size_t budget = MemoryBudget(inputBytes, keyLines) + rowAllowance;
    std::printf(
        "[ memory   ] %s: %.1f MB of text, %zu key lines: peak growth %.1f MB (%.2f per MB), budget %.1f MB"
        " (%.1f MB of it for rows)\n",
        what, double(inputBytes) / kMB, keyLines, double(used) / kMB, double(used) / double(inputBytes),
        double(budget) / kMB, double(rowAllowance) / kMB);
    EXPECT_LE(used, budget) << what;
}

// ---- rows ---------------------------------------------------------------

std::vector<CCheckMessage> Check(const std::string& text, bool noWarnings = false) {
    CCheckOptions options;
    options.m_bNoWarnings = noWarnings;
    return CheckGsdText(text, options);
}

size_t CountText(const std::vector<CCheckMessage>& rows, std::string_view text) {
    return static_cast<size_t>(
        std::count_if(rows.begin(), rows.end(), [&](const CCheckMessage& r) { return r.m_Text == text; }));
}

size_t CountContaining(const std::vector<CCheckMessage>& rows, std::string_view part) {
    return static_cast<size_t>(std::count_if(
        rows.begin(), rows.end(), [&](const CCheckMessage& r) { return r.m_Text.find(part) != std::string::npos; }));
}

size_t CountId(const std::vector<CCheckMessage>& rows, int id) {
    return static_cast<size_t>(
        std::count_if(rows.begin(), rows.end(), [&](const CCheckMessage& r) { return r.m_nId == id; }));
}

// The findings strictly between "Start Syntax-Check..." and "Stop Syntax-Check...".
std::vector<CCheckMessage> SyntaxRows(const std::vector<CCheckMessage>& rows) {
    std::vector<CCheckMessage> out;
    bool inside = false;
    for (const auto& row : rows) {
        if (row.m_nKind == CheckMessageKind::Note && row.m_Text == "Start Syntax-Check...") {
            inside = true;
            continue;
        }
        if (row.m_nKind == CheckMessageKind::Note && row.m_Text == "Stop Syntax-Check...") break;
        if (inside && row.m_nKind != CheckMessageKind::Note) out.push_back(row);
    }
    return out;
}

// The flow's frame: both stages noted, every finding on a line of the text.
void ExpectWholeFlow(const std::vector<CCheckMessage>& rows, size_t lineCount) {
    ASSERT_GE(rows.size(), 5u);
    EXPECT_EQ(rows.front().m_Text, "Start Syntax-Check...");
    EXPECT_EQ(CountText(rows, "Stop Syntax-Check..."), 1u);
    EXPECT_EQ(CountText(rows, "Start Semantic-Check..."), 1u);
    EXPECT_EQ(rows.back().m_Text, "Stop Semantic-Check...");
    for (const auto& row : rows) {
        if (row.m_nKind == CheckMessageKind::Note) continue;
        EXPECT_GE(row.m_nLine, -1) << row.m_Text;
        EXPECT_LT(row.m_nLine, static_cast<int>(lineCount)) << row.m_Text;
    }
}

std::string Block64217(const std::string& block) {
    return FormatString(64217, {block, block});
}

size_t CountLines(const std::string& text) {
    return SplitLines(text).size();
}

}  // namespace

// ---- size -----------------------------------------------------------------

TEST(HostileInput, FiftyMegabyteFileIsCheckedWithinAFewTimesItsSize) {
    const std::string text = GenerateGsd(50 * kMB / kShrink);
    const size_t lines = CountLines(text);
    const CPeakGrowth growth;
    const auto rows = Check(text);
    const size_t used = growth.Bytes();
    ExpectWholeFlow(rows, lines);
    EXPECT_EQ(CountText(rows, kEmptyDatabase), 0u);
    // Every block of the generated file is closed.
    EXPECT_EQ(CountId(rows, 64217), 0u);
    ExpectWithinBudget("generated file", used, text.size(), lines);
}

TEST(HostileInput, TenMegabyteLineIsCutAndJudgedLikeAnyLongLine) {
    const size_t length = 10 * kMB / kShrink;
    std::string text = kHeader + "Vendor_Name = \"" + std::string(length, 'A') + "\"\r\nGSD_Revision = 1\r\n";
    const CPeakGrowth growth;
    const auto rows = SyntaxRows(Check(text));
    const size_t used = growth.Bytes();
    ASSERT_EQ(rows.size(), 2u);
    // The line is read as its first 1024 characters: the quote never closes.
    EXPECT_EQ(rows[0].m_nKind, CheckMessageKind::Warning);
    EXPECT_EQ(rows[0].m_nLine, 1);
    EXPECT_EQ(rows[0].m_Text, taluna_test::MessageText(IDS_LINE_TOO_LONG));
    EXPECT_EQ(rows[1].m_nKind, CheckMessageKind::Error);
    EXPECT_EQ(rows[1].m_nLine, 1);
    EXPECT_EQ(rows[1].m_Text, FormatString(IDS_STRING_CHARS, {"Vendor_Name"}));
    ExpectWithinBudget("one long line", used, text.size(), 2);
}

TEST(HostileInput, TenMegabyteLineOfBackslashesJoinsOnlyTheLinesThatExist) {
    const size_t length = 10 * kMB / kShrink;
    std::string text = kHeader + "User_Prm_Data = " + std::string(length, '\\') + "\r\n0x01\r\nGSD_Revision = 1\r\n";
    const CPeakGrowth growth;
    const auto rows = Check(text);
    const size_t used = growth.Bytes();
    ExpectWholeFlow(rows, 4);
    // The joined lines swallow the rest of the file; the entry starts at line 1.
    for (const auto& row : SyntaxRows(rows)) EXPECT_EQ(row.m_nLine, 1) << row.m_Text;
    ExpectWithinBudget("one long line of backslashes", used, text.size(), 3);
}

TEST(HostileInput, HundredThousandContinuationLinesMakeOneEntry) {
    const size_t count = 100000 / kShrink;
    std::string text = kHeader + "User_Prm_Data_Len = 1\r\nUser_Prm_Data = 0x00,\\\r\n";
    for (size_t i = 0; i < count; ++i) text += "  0x00,\\\r\n";
    text += "  0x00\r\nGSD_Revision = 1\r\n";
    const size_t lines = CountLines(text);
    const CPeakGrowth growth;
    const auto rows = Check(text);
    const size_t used = growth.Bytes();
    ExpectWholeFlow(rows, lines);
    // Findings about the joined entry stand at its first line; the key after it
    // keeps its own line number.
    for (const auto& row : rows) {
        if (row.m_nKind == CheckMessageKind::Note) continue;
        if (row.m_Text.find("User_Prm_Data\"") != std::string::npos) {
            EXPECT_EQ(row.m_nLine, 2) << row.m_Text;
        }
        if (row.m_Text.find("GSD_Revision\"") != std::string::npos) {
            EXPECT_EQ(row.m_nLine, static_cast<int>(lines) - 1) << row.m_Text;
        }
    }
    // 100,001 bytes against a length of 1: the value list is judged, not ignored.
    EXPECT_GE(CountContaining(rows, "User_Prm_Data"), 1u);
    ExpectWithinBudget("joined lines", used, text.size(), 3);
}

TEST(HostileInput, HundredThousandModulesAreAllRead) {
    const size_t count = 100000 / kShrink;
    std::string text = kHeader + "Modular_Station = 1\r\nMax_Module = 244\r\n";
    for (size_t i = 1; i <= count; ++i)
        text += "Module = \"M" + std::to_string(i) + "\" 0x10\r\n" + std::to_string(i) + "\r\nEndModule\r\n";
    const size_t lines = CountLines(text);
    const CPeakGrowth growth;
    const auto rows = Check(text);
    const size_t used = growth.Bytes();
    ExpectWholeFlow(rows, lines);
    EXPECT_EQ(CountId(rows, 64217), 0u);
    // Every module's reference is its own: none is reported twice.
    EXPECT_EQ(CountId(rows, 64618), 0u);
    // Each module's reference line is read: the revision-0 warning names every one.
    EXPECT_EQ(CountText(rows, taluna_test::MessageText(64501, {"Module_Reference"})), count);
    ExpectWithinBudget("modules", used, text.size(), 3 * count + 2);
}

TEST(HostileInput, TenThousandUnfinishedBlockOpenersGiveOneUnfinishedBlockError) {
    const size_t count = 10000 / kShrink;
    const struct {
        const char* line;
        const char* block;
    } openers[] = {{"Module = \"M\" 0x10", "Module"},
                   {"PrmText = 1", "PrmText"},
                   {"ExtUserPrmData = 1 \"P\"", "ExtUserPrmData"},
                   {"Unit_Diag_Area = 1-2", "Unit_Diag_Area"}};
    for (const auto& opener : openers) {
        std::string text = kHeader;
        for (size_t i = 0; i < count; ++i) text += std::string(opener.line) + "\r\n";
        const auto rows = Check(text);
        ExpectWholeFlow(rows, count + 1);
        const std::string expected = Block64217(opener.block);
        ASSERT_EQ(CountText(rows, expected), 1u) << opener.block;
        const auto it =
            std::find_if(rows.begin(), rows.end(), [&](const CCheckMessage& r) { return r.m_Text == expected; });
        EXPECT_EQ(it->m_nKind, CheckMessageKind::Error);
        EXPECT_EQ(it->m_nLine, static_cast<int>(count)) << "reported at the last entry";
        EXPECT_EQ(CountId(rows, 64217), 1u) << opener.block;
    }
    // All four interleaved: the outermost block is the one left open.
    std::string text = kHeader;
    for (size_t i = 0; i < count; ++i) text += std::string(openers[i % 4].line) + "\r\n";
    const auto rows = Check(text);
    ExpectWholeFlow(rows, count + 1);
    EXPECT_EQ(CountText(rows, Block64217("Module")), 1u);
    EXPECT_EQ(CountId(rows, 64217), 1u);
}

// ---- bytes ----------------------------------------------------------------

TEST(HostileInput, EveryByteValueInAStringIsJudgedByTheStringCharacters) {
    for (int b = 1; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const std::string text = kHeader + "Vendor_Name = \"A" + std::string(1, c) + "B\"\r\nGSD_Revision = 1\r\n";
        const auto rows = SyntaxRows(Check(text));
        const std::string badString = FormatString(IDS_STRING_CHARS, {"Vendor_Name"});
        const bool ascii = b >= 0x20 && b < 0x7F;
        const bool special = c == '"' || c == '\\' || c == ';' || c == static_cast<char>(0xA7);
        if (ascii && !special) {
            // Every printable character but the quote and the backslash may stand in a string.
            EXPECT_TRUE(rows.empty()) << "byte " << b << ": " << (rows.empty() ? "" : rows[0].m_Text);
        } else if (b < 0x20 || b == 0x7F || c == '"' || c == '\\') {
            // Control characters, line breaks, a third quote or a joining backslash all fail the string.
            EXPECT_EQ(CountText(rows, badString), 1u) << "byte " << b;
        }
        if (b >= 0x80 && c != static_cast<char>(0xA7)) {
            // A byte above 127 fails exactly when it is no string character.
            EXPECT_EQ(CountText(rows, badString), IsStringByte(static_cast<unsigned char>(b)) ? 0u : 1u)
                << "byte " << b;
        }
        // A line break starts a new key line; any other byte keeps its findings on the string's line.
        if (c == '\r' || c == '\n') continue;
        for (const auto& row : rows) EXPECT_EQ(row.m_nLine, 1) << "byte " << b << ": " << row.m_Text;
        EXPECT_EQ(CountContaining(rows, "GSD_Revision"), 0u) << "byte " << b << " leaks into the next key";
    }
}

TEST(HostileInput, EveryByteValueInAKeywordMakesItAForeignKey) {
    for (int b = 1; b < 256; ++b) {
        const char c = static_cast<char>(b);
        // Bytes that end a keyword, a line, or start a comment, an index or a joined line.
        if (std::string_view(" =;()\"\\\r\n\t\v\f").find(c) != std::string_view::npos) continue;
        const std::string keyword = std::string("GSD_Rev") + c + "ision";
        const std::string text = kHeader + keyword + " = 1\r\nVendor_Name = \"V\"\r\n";
        const auto rows = SyntaxRows(Check(text));
        ASSERT_FALSE(rows.empty()) << "byte " << b;
        for (const auto& row : rows) EXPECT_EQ(row.m_nLine, 1) << "byte " << b << ": " << row.m_Text;
        // Never a known key: the unknown-key warning, and for a byte that may
        // not stand in a keyword the error about it as well.
        const std::string unknown = FormatString(IDS_UNKNOWN_KEY, {keyword});
        EXPECT_EQ(CountText(rows, unknown), 1u) << "byte " << b;
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           std::string_view("._#-").find(c) != std::string_view::npos;
        if (!plain && b < 0x80) {
            EXPECT_EQ(CountText(rows, FormatString(138, {keyword})), 1u) << "byte " << b;
        }
        for (const auto& row : rows) {
            if (row.m_Text != unknown) {
                EXPECT_EQ(row.m_nKind, CheckMessageKind::Error) << "byte " << b;
            }
        }
    }
}

TEST(HostileInput, KeywordFullOfForeignCharactersDoesNotMultiplyTheText) {
    // Each line is a keyword of 1000 characters that may not stand in a
    // keyword. Findings that repeat the keyword once per character would make
    // every line a megabyte of output.
    const size_t count = 200;
    std::string text = kHeader;
    for (size_t i = 0; i < count; ++i) text += std::string(1000, '!') + "\r\n";
    const CPeakGrowth growth;
    const auto rows = Check(text);
    const size_t used = growth.Bytes();
    ExpectWholeFlow(rows, count + 1);
    size_t rowText = 0;
    for (const auto& row : rows) rowText += row.m_Text.size();
    EXPECT_GE(CountId(rows, IDS_KEYWORD_CHARS), count);
    EXPECT_LE(rowText, 16 * text.size()) << rows.size() << " rows";
    ExpectWithinBudget("foreign keywords", used, text.size(), count);
}

TEST(HostileInput, NulByteEndsTheText) {
    const std::string good = kHeader + "GSD_Revision = 1\r\nVendor_Name = \"V\"\r\n";
    std::string withNul = good;
    withNul += '\0';
    withNul += "Vendor_Name = \"\x01\"\r\nUnknown_Key = 1\r\nModule = \"M\" 0x10\r\n";
    const auto expected = Check(good);
    const auto rows = Check(withNul);
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].m_nKind, expected[i].m_nKind);
        EXPECT_EQ(rows[i].m_nLine, expected[i].m_nLine);
        EXPECT_EQ(rows[i].m_Text, expected[i].m_Text);
    }
    // A NUL before the header leaves no key at all.
    const auto empty = Check(std::string("\0", 1) + good);
    EXPECT_EQ(CountText(empty, kEmptyDatabase), 1u);
}

TEST(HostileInput, TextWithoutHeaderIsAnEmptyDatabase) {
    const std::string text = "GSD_Revision = 1\r\nVendor_Name = \"V\"\r\nModule = \"M\" 0x10\r\n#Profibus_D\r\n";
    const auto rows = Check(text);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].m_Text, "Start Syntax-Check...");
    EXPECT_EQ(rows[1].m_nKind, CheckMessageKind::FatalError);
    EXPECT_EQ(rows[1].m_nLine, -1);
    EXPECT_EQ(rows[1].m_Text, kEmptyDatabase);
    EXPECT_EQ(rows[2].m_Text, "Stop Syntax-Check...");
    EXPECT_EQ(rows[3].m_Text, "Start Semantic-Check...");
    EXPECT_EQ(rows[4].m_Text, "... check finished without errors.");
    EXPECT_EQ(rows[5].m_Text, "Stop Semantic-Check...");
}

TEST(HostileInput, BinaryGarbageEndsWithTheFlowsOwnMessages) {
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> byte(1, 255);  // a NUL would only end the text
    std::string garbage(4 * kMB / kShrink, ' ');
    for (auto& c : garbage) c = static_cast<char>(byte(random));
    {
        const CPeakGrowth growth;
        const auto rows = Check(garbage);
        const size_t used = growth.Bytes();
        ExpectWholeFlow(rows, CountLines(garbage));
        EXPECT_EQ(CountText(rows, kEmptyDatabase), 1u);
        ExpectWithinBudget("garbage", used, garbage.size(), 0);
    }
    {
        // The same garbage after a header: every key line the builder finds is judged.
        const std::string text = kHeader + garbage;
        const CPeakGrowth growth;
        const auto rows = Check(text);
        const size_t used = growth.Bytes();
        ExpectWholeFlow(rows, CountLines(text));
        EXPECT_EQ(CountText(rows, kEmptyDatabase), 0u);
        EXPECT_GT(CountId(rows, IDS_UNKNOWN_KEY) + CountId(rows, IDS_KEYWORD_CHARS), 0u);
        // Garbage keywords draw up to eight character findings each, and every
        // finding repeats its keyword: the rows stay a bounded multiple of the
        // text, and the memory beyond the rows stays within the budget.
        size_t rowText = 0;
        for (const auto& row : rows) rowText += row.m_Text.size() + sizeof(CCheckMessage);
        EXPECT_LE(rowText, 16 * text.size());
        ExpectWithinBudget("garbage after a header", used, text.size(), CountLines(text), 2 * rowText);
    }
}

// ---- numbers --------------------------------------------------------------

TEST(HostileInput, OversizedNumbersAreRejectedWithTheirKeysMessage) {
    const std::string forty(40, '9');
    const std::string hex30 = "0x" + std::string(30, 'F');
    const std::string text = kHeader + "GSD_Revision = " + forty + "\r\nIdent_Number = " + hex30 +
                             "\r\nMax_Diag_Data_Len = " + forty + "\r\nMaxTsdr_12M = " + hex30 +
                             "\r\nMin_Slave_Intervall = -" + forty + "\r\n";
    const auto rows = SyntaxRows(Check(text));
    ASSERT_EQ(rows.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(rows[static_cast<size_t>(i)].m_nKind, CheckMessageKind::Error);
        EXPECT_EQ(rows[static_cast<size_t>(i)].m_nLine, i + 1);
    }
    EXPECT_EQ(rows[0].m_Text, FormatString(134, {"GSD_Revision", "Number"}));
    EXPECT_EQ(rows[1].m_Text, FormatString(134, {"Ident_Number", "Number"}));
    // The scanners themselves: no width takes these.
    for (const std::string& number : {forty, hex30}) {
        for (int width : {WIDTH_U8, WIDTH_U16, WIDTH_S8, WIDTH_S16, WIDTH_CHAR})
            EXPECT_FALSE(ScanNumber(number, width)) << number << " width " << width;
    }
    EXPECT_FALSE(ScanNumber(hex30, WIDTH_U32));
    EXPECT_FALSE(ScanNumber(hex30, WIDTH_S32));
    EXPECT_EQ(NumberValue(hex30), 0xFFFFFFFFll);
    EXPECT_EQ(NumberValue("-" + forty), -(std::int64_t{1} << 62));
}

TEST(HostileInput, UserKeysOfThirtyTwoBitsRejectDecimalNumbersBeyondThirtyTwoBits) {
    // The scanner reads a decimal text beyond 32 bits as the largest 32-bit
    // value, so the scan alone passes 40 digits; the key's type range must
    // still reject them, as it does for the Unsigned32 and Signed32 lines of a
    // parameter definition.
    const std::string forty(40, '9');
    CMemoryProfileStore profile;
    profile.PutString("UserKeys", "MY_UINT", "1;0;UINT");
    profile.PutString("UserKeys", "MY_INT", "1;0;INT");
    CCheckOptions options;
    options.m_pUserKeys = &profile;
    const std::string text = kHeader + "My_Uint = " + forty + "\r\nMy_Int = -" + forty +
                             "\r\nMy_Uint = 4294967296\r\nMy_Uint = 4294967295\r\nMy_Int = -2147483648\r\n";
    const auto rows = SyntaxRows(CheckGsdText(text, options));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].m_nLine, 1);
    EXPECT_EQ(rows[0].m_Text, FormatString(IDS_VALUE_EXCEEDS_LIMIT, {"My_Uint", LoadString(144)}));
    EXPECT_EQ(rows[1].m_nLine, 2);
    EXPECT_EQ(rows[1].m_Text, FormatString(IDS_VALUE_EXCEEDS_LIMIT, {"My_Int", LoadString(141)}));
    EXPECT_EQ(rows[2].m_nLine, 3);
    EXPECT_EQ(rows[2].m_Text, FormatString(IDS_VALUE_EXCEEDS_LIMIT, {"My_Uint", LoadString(144)}));
}

TEST(HostileInput, NegativeZeroReadsAsZero) {
    for (int width : {WIDTH_ANY, WIDTH_U8, WIDTH_U16, WIDTH_U32, WIDTH_S8, WIDTH_S16, WIDTH_S32}) {
        std::uint32_t out = 7;
        EXPECT_TRUE(ScanNumber("-0", width, &out)) << "width " << width;
        EXPECT_EQ(out, 0u) << "width " << width;
    }
    EXPECT_FALSE(ScanNumber("-0", WIDTH_CHAR));
    EXPECT_EQ(NumberValue("-0"), 0);
    EXPECT_EQ(ReadNumber("-0"), 0);
    // In a file: 0 is a valid station type, no valid diagnosis length, and -0 is
    // no one-character flag.
    const std::string text =
        kHeader + "Station_Type = -0\r\nMax_Diag_Data_Len = -0\r\nModular_Station = -0\r\nVendor_Name = \"V\"\r\n";
    const auto rows = SyntaxRows(Check(text));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].m_nLine, 2);
    EXPECT_EQ(rows[0].m_Text, FormatString(IDS_VALUE_EXCEEDS_LIMIT, {"Max_Diag_Data_Len", "UCHAR: 6|(8..244)"}));
    EXPECT_EQ(rows[1].m_nLine, 3);
    EXPECT_EQ(rows[1].m_Text, FormatString(134, {"Modular_Station", "Number"}));
}

// ---- line ends ------------------------------------------------------------

TEST(HostileInput, CarriageReturnOnlyLineEndsGiveTheSameRows) {
    std::ifstream in(std::string(TALUNA_SOURCE_DIR) + "/examples/taluna_demo.gsd", std::ios::binary);
    ASSERT_TRUE(in);
    std::string demo((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The demo with an unfinished module and an unknown key appended, so that
    // the rows hold findings with lines and not only notes.
    std::string crlf;
    for (char c : demo) {
        if (c == '\r') continue;
        if (c == '\n')
            crlf += "\r\n";
        else
            crlf += c;
    }
    crlf += "Some_Unknown_Key = 1\r\nModule = \"Open\" 0x10\r\n77\r\n";
    std::string cr = crlf, lf = crlf;
    cr.erase(std::remove(cr.begin(), cr.end(), '\n'), cr.end());
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());

    const auto expected = Check(crlf);
    ASSERT_GE(CountText(expected, FormatString(IDS_UNKNOWN_KEY, {"Some_Unknown_Key"})), 1u);
    ASSERT_EQ(CountText(expected, Block64217("Module")), 1u);
    for (const std::string* text : {&cr, &lf}) {
        const auto rows = Check(*text);
        ASSERT_EQ(rows.size(), expected.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].m_nKind, expected[i].m_nKind) << i;
            EXPECT_EQ(rows[i].m_nLine, expected[i].m_nLine) << i;
            EXPECT_EQ(rows[i].m_Text, expected[i].m_Text) << i;
        }
    }
}

// ---- inputs kept from fuzzing ---------------------------------------------

namespace {

size_t RunKept(const std::string& target, int (*entry)(const std::uint8_t*, std::size_t)) {
    const std::filesystem::path dir = std::filesystem::path(TALUNA_SOURCE_DIR) / "fuzz" / "regressions" / target;
    EXPECT_TRUE(std::filesystem::is_directory(dir)) << dir;
    std::vector<std::filesystem::path> files;
    for (const auto& item : std::filesystem::directory_iterator(dir))
        if (item.is_regular_file() && item.path().filename().string()[0] != '.') files.push_back(item.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        try {
            entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
    }
    return files.size();
}

}  // namespace

TEST(FuzzRegressions, EveryKeptInputOfTheCheckFlowRunsClean) {
    std::printf("[ kept     ] %zu inputs\n", RunKept("fuzz_check_gsd", TalunaFuzzCheckGsdOne));
}

TEST(FuzzRegressions, EveryKeptInputOfTheScannersRunsClean) {
    std::printf("[ kept     ] %zu inputs\n", RunKept("fuzz_scanners", TalunaFuzzScannersOne));
}
