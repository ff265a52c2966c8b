// Composing printed page 2, the results sheet, for a 300 m boring: 300 N-value
// rows, 60 layers, every point calculated and shown.
#include <benchmark/benchmark.h>

#include "sheets/sheet_composition.h"
#include "sheets/sheet_context.h"
#include "sheets/sheet_test_support.h"

namespace {

Document DeepBoring() {
    Document doc;
    doc.layerColumnUsed[3] = 1;
    doc.layerColumnUsed[4] = 1;
    doc.calcConditions.calcDepth = 300;
    doc.calcConditions.excludeFinesPlastic = 1;
    for (int i = 0; i < 60; ++i) {
        LayerRecord layer;
        layer.Thickness = 5;
        layer.SoilName = i % 2 == 0 ? "砂" : "シルト質砂";
        layer.SoilCode = i % 2 == 0 ? 200 : 205;
        doc.layers.push_back(layer);
    }
    for (int i = 0; i < 300; ++i) {
        double depth = 1.3 + i;
        doc.nPoints.push_back({depth, 5.0 + i % 40, 30, 0});
        doc.calcPoints.push_back(
            {5.0 + i % 40, depth, 18.0 * depth, 9.0 * depth + 10, 12.5, 4.5, 3.5});
        CalcResult r;
        r.rn = 0.8;
        r.rd = 1 - 0.015 * depth;
        r.tauD = 2.5 * depth;
        r.tauDRatio = 0.25 + i * 0.001;
        r.cn = 1.7 - i * 0.002;
        r.n1 = 12 + i % 30;
        r.deltaNf = 3.5;
        r.na = 15.5 + i % 30;
        r.tauLRatio = 0.2 + (i % 17) * 0.01;
        r.tauL = 1.8 * depth;
        r.fl = 0.6 + (i % 23) * 0.05;
        r.beta = 0.5;
        r.plShare = i % 5 == 0 ? 0 : 0.12;
        r.dcyShare = i % 3 == 0 ? 0 : 0.34;
        doc.calcResults.push_back(r);
    }
    doc.calcResults.back().PLTotal = 23.4;
    doc.calcResults.back().DcyTotal = 45.6;
    return doc;
}

void BM_DrawResultSheetPage(benchmark::State& state) {
    const Document doc = DeepBoring();
    const Settings settings;
    const FakePrinter a4 = A4Printer();
    SheetInputs in(doc, settings, &a4);
    in.program = {2.0, "Bench User", 1000, "Bench Co."};
    SheetCanvases canvases;
    for (auto _ : state) {
        PageStatus status = DrawResultSheetPage(canvases, in);
        benchmark::DoNotOptimize(status);
    }
    state.counters["bytes"] = static_cast<double>(canvases.pageMeta[2].PageBits().size());
}
BENCHMARK(BM_DrawResultSheetPage)->Unit(benchmark::kMillisecond);

}  // namespace
