#pragma once
// The output formats of the command-line checker, each a small class over one
// interface: a header, per checked file its start, one call per row and its
// end, and a footer. The rows of a file can be written as the check finds them.

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/file_check.h"

class COutputFormatter {
public:
    virtual ~COutputFormatter() = default;
    virtual void Begin(std::ostream&) {}
    // The start of a file's output (its name, and why it could not be read).
    virtual void BeginFile(std::ostream&, const CFileResult&) {}
    virtual void Row(std::ostream& out, const CFileResult& result, const CCheckMessage& row) = 0;
    // The end of a file's output; `result` now tells whether the check finished.
    virtual void EndFile(std::ostream&, const CFileResult&) {}
    virtual void End(std::ostream&) {}
    // A whole file whose rows are held in `result`.
    void File(std::ostream& out, const CFileResult& result);
};

// The message catalogue: per message one line "GSD130<tab>Error<tab>title<tab>text",
// or with `json` one JSON document with every field of the catalogue.
void WriteMessageList(std::ostream& out, bool json);

// "text", "gcc", "json" or "sarif"; null for any other name.
std::unique_ptr<COutputFormatter> MakeFormatter(const std::string& name);

// Whether the bytes are well-formed UTF-8. File names that are not are written
// as Windows-1252 text.
bool IsUtf8(std::string_view text);
// Windows-1252 bytes as UTF-8.
std::string Cp1252ToUtf8(const std::string& text);
void AppendUtf8(std::string& out, std::string_view cp1252);
// The same put at `at`, at most MAX_UTF8_BYTES bytes for each byte; returns
// the end.
constexpr size_t MAX_UTF8_BYTES = 3;
char* PutUtf8(char* at, std::string_view cp1252);
// A JSON string literal of UTF-8 text.
std::string JsonString(const std::string& utf8);
void AppendJsonString(std::string& out, std::string_view utf8);
// The same put at `at`, at most MAX_JSON_BYTES bytes for each byte and the
// quotes; returns the end.
constexpr size_t MAX_JSON_BYTES = 6;
char* PutJsonString(char* at, std::string_view utf8);
// Whether every byte is below 0x80.
bool IsAscii(std::string_view text);
