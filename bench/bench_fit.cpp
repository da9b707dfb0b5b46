// SPDX-License-Identifier: GPL-3.0-or-later
// Fitting each distribution model to 100,000 values (a right-skewed sample: the sum of a gamma
// and a little noise), the process limits and the fit criterion included.
#include "stats/Fit.h"
#include "stats/SampleBuffer.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace kivspc;

void BM_FitDistribution(benchmark::State& state) {
    std::mt19937 random(3);
    std::gamma_distribution<double> gamma(3.0, 2.0);
    std::vector<double> values(100'001);
    for (std::size_t i = 1; i < values.size(); ++i)
        values[i] = 1 + gamma(random);
    const int kind = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        SampleX = values;
        SampleN = 100'000;
        DistKind = kind;
        FitState.FixedKind = 0;
        state.ResumeTiming();
        FitDistribution();
        benchmark::DoNotOptimize(FitState.UPL);
    }
    state.SetLabel(DistKindName(kind));
}
BENCHMARK(BM_FitDistribution)->DenseRange(1, 11)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
