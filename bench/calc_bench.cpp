// The calculation runs after every accepted edit, so it must stay well inside
// what a keystroke may cost (2 ms) on the deepest borings users keep.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "core/calc_driver.h"
#include "core/result_csv.h"
#include "deep_boring.h"
#include "support/recording_sinks.h"

namespace {

void BM_CalcLiquefaction(benchmark::State& state) {
    Document doc = DeepBoring();
    RecordingCalcMessageSink messages;
    for (auto _ : state) {
        CalcLiquefaction(doc, messages);
        benchmark::DoNotOptimize(doc.calcResults.data());
    }
    if (!messages.messages.empty() || doc.calcPoints.size() != 300)
        state.SkipWithError("the benchmark boring does not calculate");
}
BENCHMARK(BM_CalcLiquefaction)->Unit(benchmark::kMicrosecond);

void BM_SaveResultCsv(benchmark::State& state) {
    Document doc = DeepBoring();
    RecordingMessageSink messages;
    RecordingCalcMessageSink calcMessages;
    const std::string path =
        (std::filesystem::temp_directory_path() / "qm_calc_bench.CSV").string();
    for (auto _ : state)
        SaveResultCsv(path, doc, messages, calcMessages);
    if (!messages.messages.empty())
        state.SkipWithError("the results file could not be written");
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveResultCsv)->Unit(benchmark::kMicrosecond);

}  // namespace
