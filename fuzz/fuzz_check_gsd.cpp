// Fuzz target: arbitrary bytes through the whole Check GSD flow (builder, key
// syntax check, semantic check), once with a small set of user-key
// registrations so that the user-key check runs as well.
//
// Besides crashes and sanitizer reports it stops on rows that break the flow's
// own rules: the notes that frame each pass, lines inside the text, the fatal
// error for a text without header, the same rows on a second run, the rows
// without warnings being exactly the rows with warnings minus the warnings,
// and rows that stay within a few times the size of the text.
//
// Leading lines of the form "@NAME=registration" (they stand before the header,
// so the builder skips them) add registrations to the profile, so that the
// fuzzer can vary the user-key types and range texts too.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/check_message.h"
#include "cli/file_check.h"
#include "model/ini_profile.h"
#include "model/text_lines.h"

namespace fuzz_check_gsd {

// Stops the run on a broken rule; where the entry point runs inside a test
// suite (TALUNA_FUZZ_FAIL_THROWS), it throws instead, so that the suite goes on.
[[noreturn]] inline void Fail(const char* what) {
#ifdef TALUNA_FUZZ_FAIL_THROWS
    throw std::runtime_error(std::string("fuzz_check_gsd: broken rule: ") + what);
#else
    std::fprintf(stderr, "fuzz_check_gsd: broken rule: %s\n", what);
    std::abort();
#endif
}

#define FUZZ_REQUIRE(cond)                          \
    do {                                            \
        if (!(cond)) ::fuzz_check_gsd::Fail(#cond); \
    } while (0)

inline CMemoryProfileStore MakeProfile(std::string_view text) {
    CMemoryProfileStore profile;
    // One registration of each data type, with the range-text forms the
    // user-key check reads.
    profile.PutString("UserKeys", "USER_STRING", "0;0;32");
    profile.PutString("UserKeys", "USER_UCHAR", "1;1;UCHAR: 0..255");
    profile.PutString("UserKeys", "USER_SHORT", "1;1;SHORT");
    profile.PutString("UserKeys", "USER_VALUE", "1;2;7");
    profile.PutString("UserKeys", "USER_RANGE", "1;3;-5-100");
    profile.PutString("UserKeys", "USER_LIST", "1;0;1-2,4,0x10");
    profile.PutString("UserKeys", "USER_BOOL", "2;1;");
    profile.PutString("UserKeys", "USER_OCTETS", "3;3;");
    profile.PutString("UserKeys", "Summary",
                      "USER_STRING,USER_UCHAR,USER_SHORT,USER_VALUE,USER_RANGE,USER_LIST,USER_BOOL,USER_OCTETS,");
    size_t pos = 0;
    for (int n = 0; n < 8 && pos < text.size() && text[pos] == '@'; ++n) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos + 1, end - pos - 1);
        const size_t eq = line.find('=');
        if (eq != std::string_view::npos && eq > 0)
            profile.PutString("UserKeys", std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)));
        pos = end;
        while (pos < text.size() && (text[pos] == '\r' || text[pos] == '\n')) ++pos;
    }
    return profile;
}

inline bool HasHeaderText(std::string_view text) {
    static constexpr std::string_view kHeader = "#PROFIBUS_DP";
    if (text.size() < kHeader.size()) return false;
    for (size_t i = 0; i + kHeader.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < kHeader.size()) {
            char c = text[i + k];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            if (c != kHeader[k]) break;
            ++k;
        }
        if (k == kHeader.size()) return true;
    }
    return false;
}

inline bool SameRows(const std::vector<CCheckMessage>& a, const std::vector<CCheckMessage>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].m_nKind != b[i].m_nKind || a[i].m_nLine != b[i].m_nLine || a[i].m_Text != b[i].m_Text ||
            a[i].m_nId != b[i].m_nId)
            return false;
    }
    return true;
}

inline int CountNotes(const std::vector<CCheckMessage>& rows, std::string_view text) {
    int n = 0;
    for (const auto& row : rows)
        if (row.m_nKind == CheckMessageKind::Note && row.m_Text == text) ++n;
    return n;
}

inline void CheckRows(const std::vector<CCheckMessage>& rows, int lineCount, bool semantic, bool headerText) {
    FUZZ_REQUIRE(rows.size() >= 3);
    FUZZ_REQUIRE(rows.front().m_nKind == CheckMessageKind::Note && rows.front().m_Text == "Start Syntax-Check...");
    FUZZ_REQUIRE(CountNotes(rows, "Start Syntax-Check...") == 1);
    FUZZ_REQUIRE(CountNotes(rows, "Stop Syntax-Check...") == 1);
    if (semantic) {
        FUZZ_REQUIRE(CountNotes(rows, "Start Semantic-Check...") == 1);
        FUZZ_REQUIRE(rows.back().m_nKind == CheckMessageKind::Note && rows.back().m_Text == "Stop Semantic-Check...");
    } else {
        FUZZ_REQUIRE(rows.back().m_nKind == CheckMessageKind::Note &&
                     rows.back().m_Text == "FailSafe-Mode: Skipping semantic check.");
    }
    bool emptyDatabase = false;
    for (const auto& row : rows) {
        FUZZ_REQUIRE(!row.m_Text.empty());
        if (row.m_nKind == CheckMessageKind::Note) continue;
        FUZZ_REQUIRE(row.m_nKind >= CheckMessageKind::Info && row.m_nKind <= CheckMessageKind::Warning);
        FUZZ_REQUIRE(row.m_nLine >= -1 && row.m_nLine < lineCount);
        if (row.m_Text == "Database is empty! Please check if the #PROFIBUS_DP entry exists.") emptyDatabase = true;
    }
    if (!headerText) FUZZ_REQUIRE(emptyDatabase);
}

// The rows may not multiply the text: a bounded number of findings per line
// (up to eight about the characters of a keyword), each at most a line's text
// plus its own words.
inline void CheckOutputSize(const std::vector<CCheckMessage>& rows, size_t inputBytes, int lineCount) {
    size_t rowBytes = 0;
    for (const auto& row : rows) rowBytes += row.m_Text.size();
    FUZZ_REQUIRE(rowBytes <= 16 * inputBytes + 1024 * static_cast<size_t>(lineCount) + 65536);
}

inline std::vector<CCheckMessage> WithoutWarnings(const std::vector<CCheckMessage>& rows) {
    std::vector<CCheckMessage> kept;
    for (const auto& row : rows)
        if (row.m_nKind != CheckMessageKind::Warning) kept.push_back(row);
    return kept;
}

}  // namespace fuzz_check_gsd

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fuzz_check_gsd;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string_view text = CutAtNul(bytes);
    const int lineCount = CTextLineSource(std::string(text)).GetLineCount();
    const bool headerText = HasHeaderText(text);
    const CMemoryProfileStore profile = MakeProfile(text);

    CCheckOptions options;
    options.m_pUserKeys = &profile;
    const std::vector<CCheckMessage> rows = CheckGsdText(bytes, options);
    CheckRows(rows, lineCount, true, headerText);
    CheckOutputSize(rows, text.size(), lineCount);

    // The revision 5 rules over the same text: nested blocks, Slot lines and the rest.
    CCheckOptions rev5 = options;
    rev5.m_Profile = EProfileChoice::Rev5;
    const std::vector<CCheckMessage> rev5Rows = CheckGsdText(bytes, rev5);
    CheckRows(rev5Rows, lineCount, true, headerText);
    CheckOutputSize(rev5Rows, text.size(), lineCount);

    // The dearer cross-checks only on small inputs, so that the fuzzer keeps its pace.
    if (size <= 8192) {
        FUZZ_REQUIRE(SameRows(rows, CheckGsdText(bytes, options)));

        CCheckOptions quiet = options;
        quiet.m_bNoWarnings = true;
        FUZZ_REQUIRE(SameRows(WithoutWarnings(rows), CheckGsdText(bytes, quiet)));

        CCheckOptions failSafe;
        failSafe.m_bNoSemantic = true;
        CheckRows(CheckGsdText(bytes, failSafe), lineCount, false, headerText);
    }
    return 0;
}

#undef FUZZ_REQUIRE
