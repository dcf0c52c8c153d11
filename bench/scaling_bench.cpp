// Scaling of the whole Check GSD flow (builder, key syntax check, semantic
// check, rows) on generated files of 1, 4, 16 and 64 MB: time per MB of input,
// which should stay flat as the file grows, and the peak memory the flow takes
// per MB of input. Also the hostile shapes (one entry joined from many lines,
// many modules, block openers without ends, many distinct unknown keys) at
// 100,000 and 400,000 lines: time per line must stay flat there too.
//
//   taluna_scaling_bench [--benchmark_repetitions=N]

#include <benchmark/benchmark.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <chrono>
#include <fstream>
#include <map>
#include <string>

#include "bench/gsd_generator.h"
#include "cli/file_check.h"

namespace {

constexpr double kMB = 1024.0 * 1024.0;

const std::string& GeneratedText(size_t megabytes) {
    static std::map<size_t, std::string> texts;
    auto it = texts.find(megabytes);
    if (it == texts.end()) it = texts.emplace(megabytes, GenerateGsd(megabytes << 20)).first;
    return it->second;
}

// A field of /proc/self/status in bytes, 0 when it cannot be read.
double StatusBytes(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.rfind(prefix, 0) == 0) return std::stod(line.substr(prefix.size())) * 1024.0;
    return 0.0;
}

// Gives freed memory back and sets the high-water mark to the current size.
double StartPeak() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    std::ofstream("/proc/self/clear_refs") << "5";
    return StatusBytes("VmRSS");
}

void BM_WholeCheckScaling(benchmark::State& state) {
    const std::string& text = GeneratedText(static_cast<size_t>(state.range(0)));
    const double megabytes = static_cast<double>(text.size()) / kMB;
    const CCheckOptions options;
    double seconds = 0.0;
    double peakGrowth = 0.0;
    size_t rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double start = StartPeak();
        state.ResumeTiming();
        const auto begin = std::chrono::steady_clock::now();
        auto result = CheckGsdText(text, options);
        const auto end = std::chrono::steady_clock::now();
        state.PauseTiming();
        seconds += std::chrono::duration<double>(end - begin).count();
        const double growth = StatusBytes("VmHWM") - start;
        if (growth > peakGrowth) peakGrowth = growth;
        rows = result.size();
        result = {};
        state.ResumeTiming();
    }
    const double iterations = static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    state.counters["input_MB"] = megabytes;
    state.counters["ms_per_MB"] = seconds * 1000.0 / iterations / megabytes;
    state.counters["peak_MB"] = peakGrowth / kMB;
    state.counters["peak_MB_per_MB"] = peakGrowth / kMB / megabytes;
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_WholeCheckScaling)->Arg(1)->Arg(4)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond)->MinTime(2.0);

std::string HostileShape(int shape, size_t n) {
    std::string text = "#Profibus_DP\r\n";
    switch (shape) {
        case 0:  // one entry joined from n lines
            text += "User_Prm_Data = 0x00,\\\r\n";
            for (size_t i = 0; i < n; ++i) text += "  0x00,\\\r\n";
            text += "  0x00\r\n";
            break;
        case 1:  // n modules, each with its reference line and end
            text += "Modular_Station = 1\r\n";
            for (size_t i = 1; i <= n; ++i)
                text += "Module = \"M" + std::to_string(i) + "\" 0x10\r\n" + std::to_string(i) + "\r\nEndModule\r\n";
            break;
        case 2:  // n block openers without ends
            for (size_t i = 0; i < n; ++i) text += "Module = \"M\" 0x10\r\n";
            break;
        default:  // n distinct unknown keys
            for (size_t i = 0; i < n; ++i) text += "Some_Key_" + std::to_string(i) + " = 1\r\n";
            break;
    }
    return text;
}

void BM_HostileShapeScaling(benchmark::State& state) {
    const size_t lines = static_cast<size_t>(state.range(1));
    const std::string text = HostileShape(static_cast<int>(state.range(0)), lines);
    const CCheckOptions options;
    double seconds = 0.0;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(CheckGsdText(text, options));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    }
    state.counters["us_per_line"] =
        seconds * 1e6 / static_cast<double>(state.iterations()) / static_cast<double>(lines);
}
BENCHMARK(BM_HostileShapeScaling)
    ->ArgNames({"shape", "lines"})
    ->ArgsProduct({{0, 1, 2, 3}, {100000, 400000}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
