// SPDX-License-Identifier: GPL-3.0-or-later
// The attributes charts over a data table: loading a p chart of 100,000 points with exact
// binomial limits and n drawn from 50..5,000 (and with a constant n), a u chart with exact Poisson
// limits, and listing the analyses of the Reference layout: 1,000 combinations of two grouping
// columns over 1,000,000 rows.
#include "CoreState.h"
#include "charts/AttrChart.h"
#include "data/DataList.h"
#include "data/DataTable.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

using namespace kivspc;

// Columns: 1 p-chart counts, 2 their sample sizes, 3 u-chart counts (rate 0.5 per unit).
void FillPoints() {
    static bool done = false;
    if (done) return;
    done = true;
    ResetCoreState();
    TDataTable& t = DataTable();
    constexpr int kPoints = 100'000;
    t.SetColumnCount(3);
    t.SetRowCount(kPoints);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> sizes(50, 5000);
    for (int r = 1; r <= kPoints; ++r) {
        const int n = sizes(random);
        std::poisson_distribution<int> defects(0.02 * n), rate(0.5 * n);
        t.SetCell(1, r, std::to_string(defects(random)));
        t.SetCell(2, r, std::to_string(n));
        t.SetCell(3, r, std::to_string(rate(random)));
    }
    DataList.RebuildValues();
}

void Setup(TAttrType type, int measure, bool constantN) {
    TAttrSetupEntries e;
    e.Type = type;
    e.Method = TAttrMethod::Exact;
    e.Measures = {measure};
    e.ConstantSampleSize = constantN;
    e.SampleSizeText = "500";
    e.SampleSizeColumn = 2;
    if (!StoreAttrSetup(e).Stored) throw std::runtime_error("setup refused");
}

void BM_LoadExactP(benchmark::State& state) {
    FillPoints();
    Setup(TAttrType::P, 1, state.range(0) == 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadAnalysis(1));
    state.SetLabel(state.range(0) ? "n from 50..5000" : "constant n");
}
BENCHMARK(BM_LoadExactP)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_LoadExactU(benchmark::State& state) {
    FillPoints();
    Setup(TAttrType::U, 3, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadAnalysis(3));
}
BENCHMARK(BM_LoadExactU)->Unit(benchmark::kMillisecond);

// 1,000,000 rows: 40 lines by 25 products, a count of defects per 200 units.
void BM_ReferenceLayoutList(benchmark::State& state) {
    ResetCoreState();
    TDataTable& t = DataTable();
    constexpr int kRows = 1'000'000;
    t.SetColumnCount(3);
    t.SetRowCount(kRows);
    t.ReserveRows(kRows);
    std::mt19937 random(11);
    std::uniform_int_distribution<int> lines(1, 40), products(1, 25);
    std::poisson_distribution<int> defects(4);
    for (int r = 1; r <= kRows; ++r) {
        t.SetCell(1, r, std::to_string(lines(random)));
        t.SetCell(2, r, std::to_string(products(random)));
        t.SetCell(3, r, std::to_string(defects(random)));
    }
    DataList.RebuildValues();
    TAttrSetupEntries e;
    e.Type = TAttrType::NP;
    e.Method = TAttrMethod::Exact;
    e.ReferenceLayout = true;
    e.SampleSizeText = "200";
    e.MeasureColumn = 3;
    e.GroupingColumns = {1, 2};
    for (auto _ : state) {
        if (!StoreAttrSetup(e).Stored) throw std::runtime_error("setup refused");
        BuildAnalysisList();
        benchmark::DoNotOptimize(AttrChart.AnalysisNumbers.size());
    }
    state.counters["analyses"] = static_cast<double>(AttrChart.AnalysisNumbers.size());
}
BENCHMARK(BM_ReferenceLayoutList)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
