// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of the range-distribution integrals for subgroup sizes above the factor tables. Each
// iteration asks for a size that differs from the previous one, so the single-entry caches
// never answer.
#include "stats/CC_calc.h"

#include <benchmark/benchmark.h>

namespace {

// Sizes 31..1030 in turn.
int NextSize(int& i) { return 31 + (i++ % 1000); }

void BM_D3IntegralNewSize(benchmark::State& state) {
    kivspc::ResetRangeConstants();
    kivspc::D3Integral(30); // the normal table is built once per run, as in the program
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(kivspc::D3Integral(NextSize(i)));
}
BENCHMARK(BM_D3IntegralNewSize)->Unit(benchmark::kMillisecond);

// The first d3 integration of a run, normal table included.
void BM_D3IntegralCold(benchmark::State& state) {
    for (auto _ : state) {
        kivspc::ResetRangeConstants();
        benchmark::DoNotOptimize(kivspc::D3Integral(31));
    }
}
BENCHMARK(BM_D3IntegralCold)->Unit(benchmark::kMillisecond);

void BM_D2IntegralNewSize(benchmark::State& state) {
    kivspc::ResetRangeConstants();
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(kivspc::D2Integral(NextSize(i)));
}
BENCHMARK(BM_D2IntegralNewSize)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
