// Fuzz target: the value scanners and the module configuration check. The
// input is read as lines (so whole GSD files make good seeds); every line, the
// value after its first equal sign and every comma-separated token of that
// value go through ScanNumber with every width code, the number readers,
// CheckEqualSign and CheckString, and the value through CheckModuleConfig.
//
// Besides crashes and sanitizer reports it stops on results that contradict
// each other: a number that passes a narrow width must pass the wider ones with
// the same value and lie in the width's range, and a configuration that passes
// counts one value per token.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/check_message.h"
#include "base/value_scanners.h"
#include "check/module_config.h"
#include "model/key_entry.h"
#include "model/taluna_context.h"

namespace fuzz_scanners {

// Stops the run on a broken rule; where the entry point runs inside a test
// suite (TALUNA_FUZZ_FAIL_THROWS), it throws instead, so that the suite goes on.
[[noreturn]] inline void Fail(const char* what) {
#ifdef TALUNA_FUZZ_FAIL_THROWS
    throw std::runtime_error(std::string("fuzz_scanners: broken rule: ") + what);
#else
    std::fprintf(stderr, "fuzz_scanners: broken rule: %s\n", what);
    std::abort();
#endif
}

#define FUZZ_REQUIRE(cond)                         \
    do {                                           \
        if (!(cond)) ::fuzz_scanners::Fail(#cond); \
    } while (0)

constexpr int kWidths[] = {WIDTH_ANY, WIDTH_CHAR, WIDTH_U8,  WIDTH_U16, WIDTH_U32,
                           WIDTH_S8,  WIDTH_S16,  WIDTH_S32, 2,         -1};

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

inline std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

inline void ScanOne(std::string_view text) {
    struct SResult {
        bool ok = false;
        std::uint32_t out = 0;
    };
    SResult r[sizeof(kWidths) / sizeof(kWidths[0])];
    for (size_t i = 0; i < sizeof(kWidths) / sizeof(kWidths[0]); ++i) {
        std::uint32_t out = 0xDEADBEEFu;
        r[i].ok = ScanNumber(text, kWidths[i], &out);
        r[i].out = out;
        // Without an out value the answer is the same.
        FUZZ_REQUIRE(ScanNumber(text, kWidths[i]) == r[i].ok);
        if (r[i].ok) FUZZ_REQUIRE(!Trimmed(text).empty());
    }
    const SResult& any = r[0];
    const SResult& one = r[1];
    const SResult& u8 = r[2];
    const SResult& u16 = r[3];
    const SResult& u32 = r[4];
    const SResult& s8 = r[5];
    const SResult& s16 = r[6];
    const SResult& s32 = r[7];
    if (one.ok) FUZZ_REQUIRE(Trimmed(text).size() == 1);
    if (u8.ok) FUZZ_REQUIRE(u8.out <= 0xFFu && u16.ok && u16.out == u8.out);
    if (u16.ok) FUZZ_REQUIRE(u16.out <= 0xFFFFu && u32.ok && u32.out == u16.out);
    if (u32.ok) FUZZ_REQUIRE(u32.out != 0xFFFFFFFFu && any.ok);
    if (s8.ok) {
        const auto v = static_cast<std::int32_t>(s8.out);
        FUZZ_REQUIRE(v >= -128 && v <= 127 && s16.ok && s16.out == s8.out);
    }
    if (s16.ok) {
        const auto v = static_cast<std::int32_t>(s16.out);
        FUZZ_REQUIRE(v >= -32768 && v <= 32767 && s32.ok && s32.out == s16.out);
    }
    // An unsigned pass of a hexadecimal or a short decimal text reads the same
    // value as the range tests do.
    const std::string_view t = Trimmed(text);
    const bool hex = t.find_first_of("xX") != std::string_view::npos;
    if (u32.ok && (hex || t.size() <= 9)) FUZZ_REQUIRE(NumberValue(text) == static_cast<std::int64_t>(u32.out));

    const std::int64_t nv = NumberValue(text);
    FUZZ_REQUIRE(nv >= -(std::int64_t{1} << 62) && nv <= (std::int64_t{1} << 62));
    size_t rest = 0;
    (void)StrToUL32(text, &rest);
    FUZZ_REQUIRE(rest <= text.size());
    rest = 0;
    (void)StrToL32(text, &rest);
    FUZZ_REQUIRE(rest <= text.size());
    // The semantic reader: hexadecimal with an x or an X anywhere, else decimal.
    if (text.find_first_of("xX") == std::string_view::npos)
        FUZZ_REQUIRE(ReadNumber(text) == Atoi32(text));
    else
        FUZZ_REQUIRE(ReadNumber(text) == static_cast<std::int32_t>(StrToUL32(text)));
}

class CRowCollector : public IMessageSink {
public:
    void AddRow(const CCheckMessage& message) override { m_Rows.push_back(message); }
    std::vector<CCheckMessage> m_Rows;
};

inline void CheckConfig(const std::string& config, int line) {
    CRowCollector rows;
    CTalunaContext context;
    context.m_pMessages = &rows;
    CKeyEntry entry("Module", config, line);
    entry.m_Line = line;
    entry.m_LongLine = line;
    CheckModuleConfig(context, entry, config);
    FUZZ_REQUIRE(rows.m_Rows.size() <= 1);
    for (const auto& row : rows.m_Rows) {
        FUZZ_REQUIRE(row.m_nKind == CheckMessageKind::Error);
        FUZZ_REQUIRE(row.m_nLine == line);
        FUZZ_REQUIRE(!row.m_Text.empty());
    }
    FUZZ_REQUIRE(entry.m_nValues >= 1);
    if (entry.m_bSyntaxOk != 0) {
        int tokens = 1;
        for (char c : config)
            if (c == ',') ++tokens;
        FUZZ_REQUIRE(entry.m_nValues == tokens);
    }
}

inline void ScanLine(std::string_view line, int number) {
    ScanOne(line);
    (void)CheckEqualSign(line);
    const size_t eq = line.find('=');
    const std::string_view value = eq == std::string_view::npos ? line : line.substr(eq + 1);
    ScanOne(value);
    (void)CheckString(value, line);
    (void)CheckString(Trimmed(value), line);
    size_t pos = 0;
    for (int n = 0; n < 64; ++n) {
        const size_t comma = value.find(',', pos);
        ScanOne(value.substr(pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos));
        if (comma == std::string_view::npos) break;
        pos = comma + 1;
    }
    CheckConfig(std::string(Trimmed(value)), number);
    // The bytes after a module's quoted name.
    const size_t close = value.rfind('"');
    if (close != std::string_view::npos) CheckConfig(std::string(Trimmed(value.substr(close + 1))), number);
}

}  // namespace fuzz_scanners

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fuzz_scanners;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ScanOne(text);
    size_t pos = 0;
    int number = 0;
    while (pos <= text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        ScanLine(text.substr(pos, end - pos), number++);
        if (end == text.size()) break;
        pos = end + 1;
    }
    return 0;
}

#undef FUZZ_REQUIRE
