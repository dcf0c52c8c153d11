#pragma once
// The lexical judges of the key syntax check: the separating equal sign, the
// characters and quotes of a string value, and numbers of a given width; plus
// the C library's number conversions with the 32-bit results the checks rely on.

#include <cstdint>
#include <string>
#include <string_view>

// Width codes of ScanNumber.
constexpr int WIDTH_ANY = 0;
constexpr int WIDTH_CHAR = 1;  // exactly one character
constexpr int WIDTH_U8 = 8;
constexpr int WIDTH_U16 = 16;
constexpr int WIDTH_U32 = 32;
constexpr int WIDTH_S8 = -8;
constexpr int WIDTH_S16 = -16;
constexpr int WIDTH_S32 = -32;

// Whether the key line `line` has one separating equal sign.
bool CheckEqualSign(std::string_view line);
// Whether `value` holds only allowed characters and stands properly quoted in `line`.
bool CheckString(std::string_view value, std::string_view line, bool semicolonInString = false);
// Whether the byte may stand in a string value.
bool IsStringByte(unsigned char c);
// Whether `text` is a number of the width; on success `out` (if given) gets the
// converted value.
bool ScanNumber(std::string_view text, int width, std::uint32_t* out = nullptr);

// The value of a number text as the range tests read it: hexadecimal when it
// holds an x or X, else decimal; an optional leading minus sign; in 64 bits.
std::int64_t NumberValue(std::string_view text);

// strtoul with base 0 and a 32-bit unsigned long: saturates at 0xFFFFFFFF; a
// minus sign negates modulo 2^32. `rest` gets the first unconverted position.
std::uint32_t StrToUL32(std::string_view text, size_t* rest = nullptr);
// strtol with base 0 and a 32-bit long: saturates at the limits.
std::int32_t StrToL32(std::string_view text, size_t* rest = nullptr);
// atoi with a 32-bit int: decimal, leading white space and sign, saturating.
std::int32_t Atoi32(std::string_view text);
// The semantic check's number reader: strtoul with base 0 when the text holds
// an x or X, else atoi; as a signed 32-bit value.
std::int32_t ReadNumber(std::string_view text);
