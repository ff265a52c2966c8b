#include <benchmark/benchmark.h>

#include "quorlith.h"

namespace {

QuorlithArgs Point(double alphaMax, double z, double sigmaZ, double sigmaZe, double n, double fc) {
    QuorlithArgs a;
    a.betaMethod = 2;
    a.magnitude = 7.5;
    a.alphaMax = alphaMax;
    a.depth = z;
    a.sigmaZ = sigmaZ;
    a.sigmaZe = sigmaZe;
    a.nValue = n;
    a.finesContent = fc;
    a.thickness = 1;
    return a;
}

void BM_QuorlithLiquefying(benchmark::State& state) {
    QuorlithArgs a = Point(350, 12, 220, 130, 15, 5);
    for (auto _ : state) {
        CallQuorlith(Quorlith, a);
        benchmark::DoNotOptimize(a);
    }
}
BENCHMARK(BM_QuorlithLiquefying);

void BM_QuorlithStable(benchmark::State& state) {
    QuorlithArgs a = Point(200, 5, 90, 60, 10, 10);
    for (auto _ : state) {
        CallQuorlith(Quorlith, a);
        benchmark::DoNotOptimize(a);
    }
}
BENCHMARK(BM_QuorlithStable);

}  // namespace
