// taluna-lsp from a didChange of a 300 KB document to its diagnostics: the
// framed message is read, its JSON parsed, the text turned into Windows-1252
// bytes, checked, and the publishDiagnostics message written. The debounce
// wait is set to nothing: it is time the server waits on purpose, not work.
// The goal is a median under 50 ms.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "bench/gsd_generator.h"
#include "lsp/lsp_server.h"
#include "lsp/lsp_transport.h"

namespace {

constexpr size_t kDocumentBytes = 300 * 1024;

// A corpus file repeated up to the size: many keys twice, many findings.
std::string RepeatedCorpusFile(const char* name) {
    std::ifstream in(std::filesystem::path(TALUNA_CORPUS_DIR) / name, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    const std::string once = buffer.str();
    if (once.empty()) throw std::runtime_error(std::string("no corpus file ") + name);
    std::string text;
    while (text.size() < kDocumentBytes) text += once;
    return text;
}

void DidChangeToDiagnostics(benchmark::State& state, const std::string& text) {
    // The client's reading of the answers is not timed: the last one is kept.
    size_t messages = 0;
    std::string last;
    CLspServer server([&](const std::string& body) {
        ++messages;
        last = body;
    });
    CFrameReader reader([&](const std::string& body) { server.Handle(body); }, [](const std::string&) {});
    auto send = [&](const json& message) { reader.Feed(FrameMessage(message.dump())); };
    send(
        {{"jsonrpc", "2.0"},
         {"id", 1},
         {"method", "initialize"},
         {"params", {{"initializationOptions", {{"profile", "auto"}, {"userKeys", "/dev/null"}, {"debounceMs", 0}}}}}});
    const std::string utf8 = GsdBytesToUtf8(text);
    const std::string uri = "file:///bench/document.gsd";
    send({{"jsonrpc", "2.0"},
          {"method", "textDocument/didOpen"},
          {"params", {{"textDocument", {{"uri", uri}, {"languageId", "gsd"}, {"version", 1}, {"text", utf8}}}}}});
    server.RunDueChecks(CLspServer::Clock::now());
    // The client's side, made before the clock runs: two versions in turn.
    std::string changes[2];
    for (int v = 0; v < 2; ++v)
        changes[v] = FrameMessage(json{
            {"jsonrpc", "2.0"},
            {"method", "textDocument/didChange"},
            {"params", {{"textDocument", {{"uri", uri}, {"version", v + 2}}}, {"contentChanges", {{{"text", utf8}}}}}}}
                                      .dump());
    int turn = 0;
    for (auto _ : state) {
        reader.Feed(changes[turn]);
        turn ^= 1;
        server.RunDueChecks(CLspServer::Clock::now());
    }
    // initialize's answer, then one publishDiagnostics per version.
    const json published = json::parse(last);
    if (messages != static_cast<size_t>(state.iterations()) + 2 ||
        published.value("method", "") != "textDocument/publishDiagnostics")
        state.SkipWithError("a change was not published");
    state.counters["diagnostics"] = static_cast<double>(published["params"]["diagnostics"].size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_LspDidChangeGenerated(benchmark::State& state) {
    DidChangeToDiagnostics(state, GenerateGsd(kDocumentBytes));
}
void BM_LspDidChangeCorpusRepeated(benchmark::State& state) {
    DidChangeToDiagnostics(state, RepeatedCorpusFile("DESY_MSyS_V11.gsd"));
}

}  // namespace

BENCHMARK(BM_LspDidChangeGenerated)->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(BM_LspDidChangeCorpusRepeated)->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
