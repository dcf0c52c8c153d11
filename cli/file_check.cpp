#include "cli/file_check.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>
#include <filesystem>

#include "check/check_gsd.h"
#include "model/key_database.h"
#include "model/taluna_context.h"
#include "model/text_lines.h"

namespace {

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

private:
    const IProfileStore* m_pInner;
};

}  // namespace

bool CFileResult::HasErrors() const {
    for (const auto& row : m_Rows)
        if (row.m_nKind == CheckMessageKind::Error || row.m_nKind == CheckMessageKind::FatalError) return true;
    return false;
}

bool CFileResult::HasWarnings() const {
    for (const auto& row : m_Rows)
        if (row.m_nKind == CheckMessageKind::Warning) return true;
    return false;
}

std::vector<CCheckMessage> CheckGsdText(std::string bytes, const CCheckOptions& options) {
    bytes.resize(CutAtNul(bytes).size());
    CTextLineSource lines{std::move(bytes)};
    CRowCollector rows;
    CReadOnlyProfile profile(options.m_pUserKeys);
    CTalunaContext context;
    context.m_pMessages = &rows;
    context.m_pProfile = &profile;
    context.m_Settings.m_bNoSemanticCheck = options.m_bNoSemantic ? 1 : 0;
    context.m_Settings.m_nWarnings = options.m_bNoWarnings ? 1 : 0;
    CKeyDatabase database;
    RunCheckGsd(context, lines, database, &lines);
    return std::move(rows.m_Rows);
}

CFileResult CheckGsdFile(const std::string& path, const CCheckOptions& options) {
    CFileResult result;
    result.m_Path = path;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec) {
        result.m_ReadError = ec.message();
        return result;
    }
    if (std::filesystem::is_directory(status)) {
        result.m_ReadError = "is a directory";
        return result;
    }
    if (!std::filesystem::is_regular_file(status)) {
        result.m_ReadError = "is not a regular file";
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.m_ReadError = std::strerror(errno);
        return result;
    }
    // Read straight into one string: the text is the largest thing the check holds.
    std::string bytes;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0) {
        bytes.resize(static_cast<size_t>(size));
        in.read(bytes.data(), size);
        bytes.resize(static_cast<size_t>(in.gcount()));
    }
    if (in.bad()) {
        result.m_ReadError = "read error";
        return result;
    }
    result.m_bRead = true;
    result.m_Rows = CheckGsdText(std::move(bytes), options);
    return result;
}
