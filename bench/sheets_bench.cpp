#include <benchmark/benchmark.h>

#include "sheets/sample_boring.h"
#include "sheets/sheet_composition.h"
#include "sheets/sheet_test_support.h"

namespace {

// 300 m with an N row every metre, 60 layers and a calculation point per row.
Document Deep() {
    Document doc = DeepBoring(300, 60);
    doc.layerColumnUsed.fill(1);
    return doc;
}

void BM_DrawViewsWhole(benchmark::State& state) {
    Document doc = Deep();
    SheetCanvases canvases;
    for (auto _ : state) {
        DrawViews(canvases, doc, 0);
        benchmark::DoNotOptimize(canvases.viewMeta[5].PageBits().data());
    }
}
BENCHMARK(BM_DrawViewsWhole)->Unit(benchmark::kMillisecond);

void BM_DrawViewsFlMarks(benchmark::State& state) {
    Document doc = Deep();
    SheetCanvases canvases;
    DrawViews(canvases, doc, 0);
    for (auto _ : state) {
        DrawViews(canvases, doc, 5);
        benchmark::DoNotOptimize(canvases.viewMeta[5].PageBits().data());
    }
}
BENCHMARK(BM_DrawViewsFlMarks)->Unit(benchmark::kMillisecond);

void BM_DrawLogSheetPage(benchmark::State& state) {
    Document doc = Deep();
    Settings settings;
    FakePrinter a4 = A4Printer();
    SheetInputs in(doc, settings, &a4);
    PrintItemFlags items{};
    for (std::size_t i = 0; i < 8; ++i)
        items[i] = 1;
    SheetCanvases canvases;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DrawLogSheetPage(canvases, in, items));
    }
}
BENCHMARK(BM_DrawLogSheetPage)->Unit(benchmark::kMillisecond);

}  // namespace
