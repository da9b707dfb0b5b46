// SPDX-License-Identifier: GPL-3.0-or-later
// The distribution routines that analyses call in loops: the fast normal tail, the refined
// quantiles, the exact attribute-chart tails and the normal generator.
#include "stats/Distributions.h"

#include <benchmark/benchmark.h>

namespace {

using kivspc::Extended;

void BM_NormalProb(benchmark::State& state) {
    Extended z = -4;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kivspc::NormalProb(1, z));
        z = z > 4 ? -4 : z + 0.01L;
    }
}
BENCHMARK(BM_NormalProb);

void BM_NormalProbSeries(benchmark::State& state) {
    Extended z = -4;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kivspc::NormalProbSeries(1, z));
        z = z > 4 ? -4 : z + 0.01L;
    }
}
BENCHMARK(BM_NormalProbSeries);

void BM_InvNormal(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(kivspc::InvNormal(2, 0.0027L));
}
BENCHMARK(BM_InvNormal);

// Confidence intervals: the t quantile with few (exact series) and many (asymptotic) df.
void BM_InvT(benchmark::State& state) {
    const auto df = static_cast<Extended>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(kivspc::InvT(2, 0.05L, df));
}
BENCHMARK(BM_InvT)->Arg(4)->Arg(29)->Arg(99);

void BM_InvChiSq(benchmark::State& state) {
    const auto df = static_cast<Extended>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(kivspc::InvChiSq(2, 0.05L, df));
}
BENCHMARK(BM_InvChiSq)->Arg(4)->Arg(29)->Arg(99);

void BM_FProb(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(kivspc::FProb(1, 2.5L, 7, 40));
}
BENCHMARK(BM_FProb);

// Exact attribute limits step through the tails one count at a time.
void BM_PoissonUpperTail(benchmark::State& state) {
    const auto lambda = static_cast<Extended>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(kivspc::PoissonUpperTail(lambda, lambda * 1.5L));
}
BENCHMARK(BM_PoissonUpperTail)->Arg(5)->Arg(250)->Arg(10000);

void BM_BinomialUpperTail(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(kivspc::BinomialUpperTail(n / 10, n, 0.07L));
}
BENCHMARK(BM_BinomialUpperTail)->Arg(50)->Arg(5000);

void BM_GaussRandom(benchmark::State& state) {
    kivspc::SeedRandom(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(kivspc::GaussRandom());
}
BENCHMARK(BM_GaussRandom);

} // namespace

BENCHMARK_MAIN();
