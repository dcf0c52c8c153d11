#pragma once
// The output formats of the command-line checker, each a small class over one
// interface: a header, one call per checked file, and a footer.

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/file_check.h"

class COutputFormatter {
public:
    virtual ~COutputFormatter() = default;
    virtual void Begin(std::ostream&) {}
    virtual void File(std::ostream& out, const CFileResult& result) = 0;
    virtual void End(std::ostream&) {}
};

// "text", "gcc", "json" or "sarif"; null for any other name.
std::unique_ptr<COutputFormatter> MakeFormatter(const std::string& name);

// Whether the bytes are well-formed UTF-8. File names that are not are written
// as Windows-1252 text.
bool IsUtf8(std::string_view text);
// Windows-1252 bytes as UTF-8.
std::string Cp1252ToUtf8(const std::string& text);
// A JSON string literal of UTF-8 text.
std::string JsonString(const std::string& utf8);
