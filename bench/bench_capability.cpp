// SPDX-License-Identifier: GPL-3.0-or-later
// The capability analysis' statistics table: the normal model with every test on 100,000 values,
// and 1,000 groups of 1,000 rows with the within-subgroup sigma pooled over the groups ("(All)").
#include "capability/CapabilityGraphs.h"
#include "capability/CapabilityPlot.h"
#include "capability/CapabilitySetup.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/DataU.h"
#include "stats/Descriptive.h"
#include "stats/Fit.h"
#include "stats/SampleBuffer.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

using namespace kivspc;

// Diameters in column 1 with their tolerance limits, the group number in column 2.
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

// The graphs of a sorted sample with its model fitted: the histogram of 1,000,000 values with a
// Johnson curve, and the probability plot of 100,000 values with a Johnson curve on the
// probability axis.
void SortedSkewedSample(int n) {
    std::mt19937 rng(5);
    std::gamma_distribution<double> gamma(3.0, 2.0);
    SampleX.assign(static_cast<std::size_t>(n) + 1, 0);
    for (int i = 1; i <= n; ++i)
        SampleX[static_cast<std::size_t>(i)] = 1 + gamma(rng);
    SampleN = n;
    OrderStatistics();
    MeanAndStdDev();
    DistKind = kDistJohnson;
    FitState.FixedKind = 0;
    FitDistribution();
}

void BM_DescribeHistogramJohnson(benchmark::State& state) {
    SortedSkewedSample(1'000'000);
    TCapabilityAnalysis a;
    a.AnalysisLabel = "Col1";
    TGraphOptions o;
    o.ProcessLimits = true;
    for (auto _ : state) {
        TChartScene scene;
        TGraphResult r;
        DescribeHistogram(a, o, scene, r);
        benchmark::DoNotOptimize(scene);
    }
    state.SetLabel(JohnsonO.TypeText);
}
BENCHMARK(BM_DescribeHistogramJohnson)->Unit(benchmark::kMillisecond);

void BM_DescribeProbabilityPlotJohnson(benchmark::State& state) {
    SortedSkewedSample(100'000);
    TCapabilityAnalysis a;
    a.AnalysisLabel = "Col1";
    TGraphOptions o;
    o.ProbabilityPaper = true;
    for (auto _ : state) {
        TChartScene scene;
        DescribeProbabilityPlot(a, o, scene);
        benchmark::DoNotOptimize(scene);
    }
}
BENCHMARK(BM_DescribeProbabilityPlotJohnson)->Unit(benchmark::kMillisecond);

// The whole histogram page of 1,000,000 values: extraction, the statistics table with the Johnson
// fit both ways, and the graph.
void BM_DrawHistogramJohnsonWhole(benchmark::State& state) {
    FillTable(1'000'000, 1);
    StoreCapabilitySetup({{1}});
    TCapabilityAnalysis a;
    OpenCapabilityAnalysis(a);
    for (auto _ : state) {
        DistKind = kDistJohnson;
        TChartScene scene;
        auto r = DrawHistogram(a, {}, scene);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_DrawHistogramJohnsonWhole)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
