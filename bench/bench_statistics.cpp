// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics over large current samples: Shapiro-Wilk with its coefficients already
// cached, and the sort plus two passes of BasicStatistics.
#include "stats/Zizize87.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

std::vector<double> NormalValues(int n, unsigned seed) {
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> normal(50.0, 4.0);
    std::vector<double> v(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 1; i <= n; ++i)
        v[static_cast<std::size_t>(i)] = normal(rng);
    return v;
}

void BM_ShapiroWilkCached(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    kivspc::SampleX = NormalValues(n, 42);
    kivspc::SampleN = n;
    kivspc::OrderStatistics();
    kivspc::ShapiroWilkCoefficients(n);
    for (auto _ : state) {
        kivspc::ShapiroWilkTest(false);
        benchmark::DoNotOptimize(kivspc::SampleStats.SWP);
    }
}
BENCHMARK(BM_ShapiroWilkCached)->Arg(5000)->Unit(benchmark::kMillisecond);

// Building the coefficients once for a new n (not part of the cached figure).
void BM_ShapiroWilkCoefficients(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        kivspc::ResetNormalityState();
        kivspc::ShapiroWilkCoefficients(n);
        benchmark::DoNotOptimize(kivspc::ShapiroWilkCoefficientData());
    }
}
BENCHMARK(BM_ShapiroWilkCoefficients)->Arg(5000)->Unit(benchmark::kMillisecond);

// Each pass gets the unsorted values back, outside the timing.
void BM_BasicStatistics(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> data = NormalValues(n, 7);
    for (auto _ : state) {
        state.PauseTiming();
        kivspc::SampleX = data;
        kivspc::SampleN = n;
        state.ResumeTiming();
        kivspc::BasicStatistics();
        benchmark::DoNotOptimize(kivspc::SampleStats.StdDev);
    }
}
BENCHMARK(BM_BasicStatistics)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
