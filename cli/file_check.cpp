#include "cli/file_check.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>

#include "check/check_gsd.h"
#include "model/file_io.h"
#include "model/key_database.h"
#include "model/taluna_context.h"
#include "model/text_lines.h"

namespace {

// The rows of one file: written through the writer when they can be, else held.
class CResultSink : public IMessageSink {
public:
    CResultSink(CFileResult& result, IRowWriter* writer) : m_Result(result), m_pWriter(writer) {}
    void AddRow(const CCheckMessage& message) override {
        if (message.m_nKind == CheckMessageKind::Error || message.m_nKind == CheckMessageKind::FatalError)
            m_Result.m_bHasErrors = true;
        if (message.m_nKind == CheckMessageKind::Warning) m_Result.m_bHasWarnings = true;
        if (m_pWriter != nullptr && m_pWriter->TryWrite(m_Result, message)) return;
        m_Result.m_Rows.push_back(message);
    }
    void Clear() override {
        if (!m_Result.m_bStreamed) m_Result.m_Rows.clear();
    }

private:
    CFileResult& m_Result;
    IRowWriter* m_pWriter;
};

class CRowCollector : public IMessageSink {
public:
    void AddRow(const CCheckMessage& message) override { m_Rows.push_back(message); }
    void Clear() override { m_Rows.clear(); }
    std::vector<CCheckMessage> m_Rows;
};

// A read-only view of a const profile, for the context's writable seam.
class CReadOnlyProfile : public IProfileStore {
public:
    explicit CReadOnlyProfile(const IProfileStore* inner) : m_pInner(inner) {}
    int GetInt(const std::string& s, const std::string& n, int def) const override {
        return m_pInner ? m_pInner->GetInt(s, n, def) : def;
    }
    std::string GetString(const std::string& s, const std::string& n, const std::string& def) const override {
        return m_pInner ? m_pInner->GetString(s, n, def) : def;
    }
    void PutInt(const std::string&, const std::string&, int) override {}
    void PutString(const std::string&, const std::string&, const std::string&) override {}
    bool MayHaveSection(const std::string& s) const override { return m_pInner && m_pInner->MayHaveSection(s); }

private:
    const IProfileStore* m_pInner;
};

}  // namespace

bool CFileResult::HasErrors() const {
    if (m_bHasErrors) return true;
    for (const auto& row : m_Rows)
        if (row.m_nKind == CheckMessageKind::Error || row.m_nKind == CheckMessageKind::FatalError) return true;
    return false;
}

bool CFileResult::HasWarnings() const {
    if (m_bHasWarnings) return true;
    for (const auto& row : m_Rows)
        if (row.m_nKind == CheckMessageKind::Warning) return true;
    return false;
}

std::vector<CCheckMessage> CheckGsdText(std::string bytes, const CCheckOptions& options) {
    CRowCollector rows;
    CheckGsdText(std::move(bytes), options, rows);
    return std::move(rows.m_Rows);
}

namespace {

void CheckLines(const CTextLineSource& lines, const CCheckOptions& options, IMessageSink& sink, ECheckProfile* resolved,
                CKeyDatabase* database) {
    CReadOnlyProfile profile(options.m_pUserKeys);
    CTalunaContext context;
    context.m_Profile = options.m_Profile == EProfileChoice::Rev5   ? ECheckProfile::Rev5
                        : options.m_Profile == EProfileChoice::Auto ? ProfileForRevision(DeclaredGsdRevision(lines))
                                                                    : ECheckProfile::Classic;
    if (resolved != nullptr) *resolved = context.m_Profile;
    context.m_pMessages = &sink;
    context.m_pProfile = &profile;
    context.m_Settings.m_bNoSemanticCheck = options.m_bNoSemantic ? 1 : 0;
    context.m_Settings.m_nWarnings = options.m_bNoWarnings ? 1 : 0;
    CKeyDatabase own;
    RunCheckGsd(context, lines, database != nullptr ? *database : own, &lines);
}

}  // namespace

void CheckGsdText(std::string bytes, const CCheckOptions& options, IMessageSink& sink, ECheckProfile* resolved,
                  CKeyDatabase* database) {
    bytes.resize(CutAtNul(bytes).size());
    CheckLines(CTextLineSource{std::move(bytes)}, options, sink, resolved, database);
}

void CheckGsdText(std::shared_ptr<const std::string> text, const CCheckOptions& options, IMessageSink& sink,
                  ECheckProfile* resolved, CKeyDatabase* database) {
    if (const std::string_view upToNul = CutAtNul(*text); upToNul.size() != text->size()) {
        CheckGsdText(std::string(upToNul), options, sink, resolved, database);
        return;
    }
    CheckLines(CTextLineSource{std::move(text)}, options, sink, resolved, database);
}

// Reads the file's bytes up to its first NUL into `bytes`; an error text when it cannot.
std::string ReadUpToNul(const std::string& path, std::string& bytes, bool seenRegular) {
    // Only regular files are opened: opening a device can have effects of its own.
    if (!seenRegular) {
        std::error_code ec;
        const auto status = std::filesystem::status(PathFromUtf8(path), ec);
        if (ec) return ec.message();
        if (std::filesystem::is_directory(status)) return "is a directory";
        if (!std::filesystem::is_regular_file(status)) return "is not a regular file";
    }
    // Non-blocking, so that a FIFO put in place of the file since does not stop the program.
    const int fd = OpenForReading(path);
    if (fd < 0) return std::strerror(errno);
    struct CloseFile {
        int fd;
        ~CloseFile() { ::close(fd); }
    } closeFile{fd};
    FileInfo info{};
    if (InfoOfOpenFile(fd, info) != 0) return std::strerror(errno);
    if (S_ISDIR(info.st_mode)) return "is a directory";
    if (!S_ISREG(info.st_mode)) return "is not a regular file";
    // One string of the file's size holds the whole text without a copy. Memory is
    // taken only as the text arrives, so a large file that is mostly a hole costs
    // what is read before its first NUL; where even the address space is not to be
    // had, the string grows as it is read instead.
    if (info.st_size > 0) {
        try {
            bytes.reserve(static_cast<size_t>(info.st_size));
        } catch (const std::bad_alloc&) {
        } catch (const std::length_error&) {
        }
    }
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::strerror(errno);
        if (n == 0) break;
        const auto* nul = static_cast<const char*>(std::memchr(chunk, '\0', static_cast<size_t>(n)));
        bytes.append(chunk, nul != nullptr ? static_cast<size_t>(nul - chunk) : static_cast<size_t>(n));
        if (nul != nullptr) {
            if (bytes.capacity() - bytes.size() > sizeof chunk) bytes.shrink_to_fit();
            break;
        }
    }
    return {};
}

CFileResult UnreadFile(const std::string& path, const std::string& reason) {
    CFileResult result;
    result.m_Path = path;
    result.m_ReadError = reason;
    return result;
}

size_t SFileText::Bytes() const {
    if (!m_Lines) return 0;
    return m_Lines->SharedText()->capacity() + sizeof(int) * 2 * static_cast<size_t>(m_Lines->GetLineCount());
}

SFileText ReadGsdFile(const std::string& path, bool seenRegular) {
    SFileText text;
    try {
        std::string bytes;
        text.m_Error = ReadUpToNul(path, bytes, seenRegular);
        if (text.m_Error.empty()) text.m_Lines.emplace(std::move(bytes));
    } catch (const std::bad_alloc&) {
        text.m_bOutOfMemory = true;
    } catch (const std::length_error&) {
        text.m_bOutOfMemory = true;
    }
    // What was read of a text that could not be read whole is given back at once.
    if (text.m_bOutOfMemory) text.m_Lines.reset();
    return text;
}

CFileResult CheckFileText(const std::string& path, SFileText text, const CCheckOptions& options, IRowWriter* writer) {
    CFileResult result;
    result.m_bOutOfMemory = text.m_bOutOfMemory;
    try {
        result.m_Path = path;
        result.m_ReadError = std::move(text.m_Error);
        if (text.m_Lines) {
            result.m_bRead = true;
            CResultSink sink(result, writer);
            CheckLines(*text.m_Lines, options, sink, &result.m_Profile, nullptr);
        }
    } catch (const std::bad_alloc&) {
        result.m_bOutOfMemory = true;
    } catch (const std::length_error&) {
        result.m_bOutOfMemory = true;
    }
    if (result.m_bOutOfMemory) {
        // Whatever the check had gathered is given back before anything else is asked for.
        std::vector<CCheckMessage>().swap(result.m_Rows);
        result.m_bRead = false;
        result.m_ReadError = "out of memory";
    }
    return result;
}

CFileResult CheckGsdFile(const std::string& path, const CCheckOptions& options, IRowWriter* writer, bool seenRegular) {
    return CheckFileText(path, ReadGsdFile(path, seenRegular), options, writer);
}
