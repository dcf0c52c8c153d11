// Throughput of the core: building the database, the syntax pass and the whole
// Check GSD flow, on the real files and on generated files of growing size.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "bench/gsd_generator.h"
#include "check/process_key.h"
#include "cli/file_check.h"
#include "model/database_builder.h"
#include "model/text_lines.h"

namespace {

const std::vector<std::string>& CorpusTexts() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> out;
        std::vector<std::filesystem::path> paths;
        for (const auto& entry : std::filesystem::directory_iterator(TALUNA_CORPUS_DIR))
            if (entry.path().extension().string().size() == 4) paths.push_back(entry.path());
        std::sort(paths.begin(), paths.end());
        for (const auto& path : paths) {
            std::ifstream in(path, std::ios::binary);
            std::ostringstream buffer;
            buffer << in.rdbuf();
            out.push_back(buffer.str());
        }
        return out;
    }();
    return texts;
}

size_t CorpusBytes() {
    size_t total = 0;
    for (const auto& text : CorpusTexts()) total += text.size();
    return total;
}

void BM_BuildCorpus(benchmark::State& state) {
    for (auto _ : state) {
        for (const auto& text : CorpusTexts()) {
            CVectorLineSource lines(SplitLines(CutAtNul(text)));
            CTalunaContext context;
            CKeyDatabase database;
            BuildDatabase(context, KeyClassifier(), lines, database);
            benchmark::DoNotOptimize(database.GetCount());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * CorpusBytes()));
}
BENCHMARK(BM_BuildCorpus)->Unit(benchmark::kMillisecond);

void BM_SyntaxCheckCorpus(benchmark::State& state) {
    CCheckOptions options;
    options.m_bNoSemantic = true;
    for (auto _ : state)
        for (const auto& text : CorpusTexts()) benchmark::DoNotOptimize(CheckGsdText(text, options).size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * CorpusBytes()));
}
BENCHMARK(BM_SyntaxCheckCorpus)->Unit(benchmark::kMillisecond);

void BM_FullCheckCorpus(benchmark::State& state) {
    for (auto _ : state)
        for (const auto& text : CorpusTexts()) benchmark::DoNotOptimize(CheckGsdText(text, {}).size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * CorpusBytes()));
}
BENCHMARK(BM_FullCheckCorpus)->Unit(benchmark::kMillisecond);

// Time per byte must stay flat as files grow: the argument is the size in MiB.
void BM_SyntaxCheckGenerated(benchmark::State& state) {
    const std::string text = GenerateGsd(static_cast<size_t>(state.range(0)) << 20);
    CCheckOptions options;
    options.m_bNoSemantic = true;
    for (auto _ : state) benchmark::DoNotOptimize(CheckGsdText(text, options).size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SyntaxCheckGenerated)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_FullCheckGenerated(benchmark::State& state) {
    const std::string text = GenerateGsd(static_cast<size_t>(state.range(0)) << 20);
    for (auto _ : state) benchmark::DoNotOptimize(CheckGsdText(text, {}).size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FullCheckGenerated)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
