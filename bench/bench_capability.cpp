// SPDX-License-Identifier: GPL-3.0-or-later
// The capability analysis' statistics table: the normal model with every test on 100,000 values,
// and 1,000 groups of 1,000 rows with the within-subgroup sigma pooled over the groups ("(All)").
#include "capability/CapabilityPlot.h"
#include "capability/CapabilitySetup.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/DataU.h"
#include "stats/Fit.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

using namespace kivspc;

// Diameters in column 1 with their specifications, the group number in column 2.
void FillTable(int rows, int groups) {
    NewDataTable();
    TDataTable& table = DataTable();
    table.SetColumnCount(2);
    table.SetRowCount(rows);
    table.ReserveRows(rows);
    table.SetDescription(1, kLSLRow, "24.94");
    table.SetDescription(1, kTargetRow, "25");
    table.SetDescription(1, kUSLRow, "25.06");
    std::mt19937 rng(11);
    std::normal_distribution<double> size(25.0, 0.02);
    for (int r = 1; r <= rows; ++r) {
        table.SetCell(1, r, std::to_string(size(rng)).substr(0, 7));
        table.SetCell(2, r, std::to_string((r - 1) % groups + 1));
    }
    DataList.RebuildValues();
}

void BM_StatisticsTableNormal(benchmark::State& state) {
    FillTable(100'000, 1);
    StoreCapabilitySetup({{1}});
    TCapabilityAnalysis a;
    OpenCapabilityAnalysis(a);
    DistKind = kDistNormal;
    for (auto _ : state) {
        auto rows = BuildStatisticsTable(a);
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_StatisticsTableNormal)->Unit(benchmark::kMillisecond);

void BM_StatisticsTablePooledGroups(benchmark::State& state) {
    FillTable(1'000'000, 1'000);
    StoreCapabilitySetup({{1}, {2}});
    TCapabilityAnalysis a;
    OpenCapabilityAnalysis(a); // lists the 1,000 groups; "(All)" selected
    DistKind = kDistNormal;
    for (auto _ : state) {
        auto rows = BuildStatisticsTable(a);
        benchmark::DoNotOptimize(rows);
    }
    state.SetLabel(NotMissing(a.PotentialSigma) ? "pooled" : "no estimate");
}
BENCHMARK(BM_StatisticsTablePooledGroups)->Unit(benchmark::kMillisecond);

// Opening the same analysis: the groups are formed and listed.
void BM_OpenPooledGroups(benchmark::State& state) {
    FillTable(1'000'000, 1'000);
    StoreCapabilitySetup({{1}, {2}});
    for (auto _ : state) {
        TCapabilityAnalysis a;
        OpenCapabilityAnalysis(a);
        benchmark::DoNotOptimize(a.Groups);
    }
}
BENCHMARK(BM_OpenPooledGroups)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
