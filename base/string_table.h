#pragma once
// The system's texts by string-table id, and printf-style formatting of them.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

// The text of a string-table id; empty for an unknown id.
const std::string& LoadString(int id);

// One argument of a formatted text: a string or a number. A text argument
// views its text, which lives as long as the call it is passed to.
class CFormatArg {
public:
    CFormatArg(const std::string& text) : m_bText(true), m_Text(text) {}
    CFormatArg(const char* text) : m_bText(true), m_Text(text) {}
    CFormatArg(std::string_view text) : m_bText(true), m_Text(text) {}
    // Any other text that reads as a std::string_view (an entry's texts).
    template <typename T>
    requires(std::is_convertible_v<const T&, std::string_view> && !std::is_convertible_v<const T&, std::string>)
        CFormatArg(const T& text)
        : m_bText(true), m_Text(std::string_view(text)) {}
    CFormatArg(int value) : m_nValue(value) {}
    CFormatArg(long value) : m_nValue(value) {}
    CFormatArg(long long value) : m_nValue(value) {}
    CFormatArg(unsigned value) : m_nValue(value) {}
    CFormatArg(unsigned long value) : m_nValue(static_cast<long long>(value)) {}

    bool m_bText = false;
    std::string_view m_Text;
    long long m_nValue = 0;
};

// Formats %s, %d, %u, %x, %X and %c with optional flags, width and precision
// (as in "0x%04X" or "%0.2d") and %% ; %d reads its number as a signed 32-bit
// value and %u, %x, %X as an unsigned one, as the checker's integers are.
std::string FormatText(std::string_view format, std::initializer_list<CFormatArg> args);
std::string FormatString(int id, std::initializer_list<CFormatArg> args);
// The same into `out`, which is emptied first and keeps its storage.
void FormatTextInto(std::string& out, std::string_view format, std::initializer_list<CFormatArg> args);
void FormatStringInto(std::string& out, int id, std::initializer_list<CFormatArg> args);

// Message texts of the key syntax check.
constexpr int IDS_VALUE_EXCEEDS_LIMIT = 130;
constexpr int IDS_NOT_ALLOWED_VALUES = 131;
constexpr int IDS_OUT_OF_RANGE = 132;
constexpr int IDS_UNKNOWN_KEY = 133;
constexpr int IDS_UNEXPECTED_FORMAT = 134;
constexpr int IDS_TOO_MANY_VALUES = 135;
constexpr int IDS_LINE_TOO_LONG = 136;
constexpr int IDS_FILE_NAME_CHARS = 137;
constexpr int IDS_KEYWORD_CHARS = 138;
constexpr int IDS_STRING_CHARS = 145;
constexpr int IDS_EQUAL_SIGN = 65134;
constexpr int IDS_HASH_KEY = 65139;
constexpr int IDS_DATABASE_EMPTY = 65140;
constexpr int IDS_CONFIG_INVALID = 65141;
constexpr int IDS_CHECK_FINISHED = 65146;
constexpr int IDS_WAIT_SYNTAX = 65132;
constexpr int IDS_WAIT_SEMANTIC = 65133;
constexpr int IDS_IDLE = 57345;
constexpr int IDS_PRODUCT_INFO = 65001;
constexpr int IDS_USER_KEY_HELP = 65089;
constexpr int IDS_STALE_DATABASE = 65149;

// Findings of the revision 5 profile, in a range of their own above every
// written id.
constexpr int IDS_BLOCK_END_WITHOUT_OPENER = 70100;
constexpr int IDS_BLOCK_NOT_CLOSED = 70101;
constexpr int IDS_BLOCK_OPEN_AT_PARENT_END = 70102;
constexpr int IDS_KEY_OUTSIDE_BLOCK = 70103;
constexpr int IDS_SLOT_DEFAULT_NOT_ALLOWED = 70110;
constexpr int IDS_SLOT_UNDEFINED_MODULE = 70111;
constexpr int IDS_SLOT_RANGE_UNDEFINED_MODULE = 70112;
constexpr int IDS_KEYWORD_ABOVE_REVISION = 70120;
constexpr int IDS_REVISION_ABOVE_5 = 70130;
