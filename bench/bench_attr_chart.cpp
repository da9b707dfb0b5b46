// SPDX-License-Identifier: GPL-3.0-or-later
// The attributes charts' limits over 100,000 points: a p chart with exact binomial limits and n
// drawn from 50..5,000 (and with a constant n), and a u chart with exact Poisson limits.
#include "charts/AttrChart.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace kivspc;

void Fill(TAttrType type, bool varyingN) {
    AttrChartSettings = TAttrChartSettings{};
    AttrChartSettings.ChartType = type;
    AttrChartSettings.LimitMethod = TAttrMethod::Exact;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> sizes(50, 5000);
    ClearAttrChart(false);
    for (int i = 1; i <= 100'000; ++i) {
        const double n = varyingN ? sizes(random) : 500;
        const double rate = type == TAttrType::P ? 0.02 : 0.5;
        std::poisson_distribution<int> counts(rate * n);
        AddAttrPoint(counts(random), n, 0, i);
    }
}

void BM_ExactP(benchmark::State& state) {
    Fill(TAttrType::P, state.range(0) != 0);
    for (auto _ : state)
        ComputeAttrLimits();
}
BENCHMARK(BM_ExactP)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_ExactU(benchmark::State& state) {
    Fill(TAttrType::U, true);
    for (auto _ : state)
        ComputeAttrLimits();
}
BENCHMARK(BM_ExactU)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
