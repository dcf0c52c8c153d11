// taluna-lsp with a real client: Neovim's built-in one, started headless on a
// corpus file; the diagnostics it received are read back from it.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "lsp_client.h"

namespace {

using taluna_test::json;
namespace fs = std::filesystem;

bool HaveNvim() {
    return std::system("command -v nvim >/dev/null 2>&1") == 0;
}

std::string RunCommand(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

// The client's side: start the server, attach it to the file's buffer, wait
// for its diagnostics and write them out as JSON.
constexpr const char* kScript = R"(
local client = vim.lsp.start_client({
  name = 'taluna',
  cmd = { vim.env.TALUNA_LSP },
  root_dir = vim.fn.getcwd(),
  init_options = { profile = 'auto', userKeys = '/dev/null', debounceMs = 50 },
})
vim.cmd('edit ' .. vim.fn.fnameescape(vim.env.TALUNA_GSD))
vim.lsp.buf_attach_client(0, client)
local arrived = vim.wait(60000, function() return #vim.diagnostic.get(0) > 0 end, 20)
local rows = {}
for _, d in ipairs(vim.diagnostic.get(0)) do
  table.insert(rows, { lnum = d.lnum, end_lnum = d.end_lnum, message = d.message, severity = d.severity,
                       code = d.code or vim.NIL, source = d.source })
end
vim.fn.writefile({ vim.fn.json_encode({ arrived = arrived, rows = rows }) }, vim.env.TALUNA_OUT)
vim.lsp.stop_client(client)
vim.wait(5000, function() return vim.lsp.client_is_stopped(client) end, 20)
vim.cmd('qa!')
)";

TEST(LspNeovim, BuiltInClientReceivesTheRowsOfTalunaCheck) {
    if (!HaveNvim()) GTEST_SKIP() << "nvim is not installed (apt-get install neovim): the real-client test is skipped";
    const fs::path scratch = fs::temp_directory_path() / "taluna_lsp_nvim";
    fs::create_directories(scratch);
    const fs::path script = scratch / "client.lua", out = scratch / "diagnostics.json";
    std::ofstream(script) << kScript;
    fs::remove(out);
    const fs::path gsd = fs::path(TALUNA_CORPUS_DIR) / "DPV10008.gsd";
    const std::string command = "cd '" + scratch.string() + "' && HOME='" + scratch.string() +
                                "' TALUNA_LSP='" TALUNA_LSP_EXE "' TALUNA_GSD='" + gsd.string() + "' TALUNA_OUT='" +
                                out.string() + "' timeout 180 nvim --headless -u NONE -i NONE -n -c 'luafile " +
                                script.string() + "' </dev/null >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(out);
    ASSERT_TRUE(in.good()) << "Neovim wrote no diagnostics";
    const json received = json::parse(in);
    ASSERT_EQ(received["arrived"], true);

    // What taluna-check reports for the same file with the same settings.
    const json check = json::parse(RunCommand(
        std::string(TALUNA_CHECK_EXE) + " --format json --profile auto --userkeys /dev/null '" + gsd.string() + "'"));
    using SRow = std::tuple<std::string, int, int, int, int>;  // text, severity, id, first line, last line
    std::vector<SRow> expected, got;
    for (const json& row : check["files"][0]["rows"]) {
        const std::string kind = row["kind"];
        if (kind != "Error" && kind != "Fatal Error" && kind != "Warning") continue;
        const int line = row["line"].is_null() ? 0 : row["line"].get<int>();
        expected.emplace_back(row["text"], kind == "Warning" ? 2 : 1, row["id"].is_null() ? 0 : row["id"].get<int>(),
                              line, line);
    }
    for (const json& d : received["rows"]) {
        EXPECT_EQ(d["source"], "taluna");
        got.emplace_back(d["message"], d["severity"], d["code"].is_null() ? 0 : d["code"].get<int>(),
                         d["lnum"].get<int>(), d["end_lnum"].get<int>());
    }
    ASSERT_FALSE(expected.empty());
    std::sort(expected.begin(), expected.end());
    std::sort(got.begin(), got.end());
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(std::get<0>(expected[i]));
        EXPECT_EQ(std::get<0>(got[i]), std::get<0>(expected[i]));
        EXPECT_EQ(std::get<1>(got[i]), std::get<1>(expected[i]));
        EXPECT_EQ(std::get<2>(got[i]), std::get<2>(expected[i]));
        // Neovim keeps a diagnostic's lines: the row's line lies among them.
        EXPECT_LE(std::get<3>(got[i]), std::get<3>(expected[i]));
        EXPECT_GE(std::get<4>(got[i]), std::get<3>(expected[i]));
    }
    fs::remove_all(scratch);
}

}  // namespace
