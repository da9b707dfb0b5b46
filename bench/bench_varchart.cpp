// SPDX-License-Identifier: GPL-3.0-or-later
// The variables chart computation over a million rows: individual values with moving ranges,
// means and ranges of five (with and without sets), and the chart list of 100 chart groups.
#include "CoreState.h"
#include "app/NumberFormat.h"
#include "charts/ControlTests.h"
#include "charts/VARchart.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Extract.h"
#include "data/TableEdit.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <tuple>

namespace {

using namespace kivspc;

// Column 1: measurements; column 2: set numbers (1..sets); column 3: chart group (1..groups).
void MakeTable(int rows, int sets, int groups) {
    // The benchmark library calls each benchmark several times; the table is made once per shape.
    static std::tuple<int, int, int> made{};
    if (made == std::make_tuple(rows, sets, groups)) return;
    made = {rows, sets, groups};
    ResetCoreState();
    TDataTable& t = DataTable();
    t.SetColumnCount(3);
    t.SetRowCount(rows);
    for (int r = 1; r <= rows; ++r) {
        const double x = 25 + 0.01 * std::sin(r * 0.7) + 0.002 * ((r * 7919LL) % 13);
        t.SetCell(1, r, FormatFixed(4, x));
        t.SetCell(2, r, std::to_string(1 + (r - 1LL) * sets / rows));
        t.SetCell(3, r, std::to_string(1 + (r - 1LL) * groups / rows));
    }
    DataList.RebuildValues();
    ControlTestSettings.StdCheck.fill(true);
    ControlTestSettings.MRCheck.fill(true);
}

void Settings(int layout, int sampleSize, int setColumn) {
    TVarChartSettings& s = VarChartSettings;
    s = TVarChartSettings{};
    s.Measures[1] = 1;
    s.RunInfo.FirstMeasure = s.RunInfo.LastMeasure = 1;
    s.DataLayout = static_cast<std::uint8_t>(layout);
    s.SampleSize = sampleSize;
    s.SetColumn = setColumn;
    const bool individual = sampleSize == 0;
    s.LocationChart = individual ? kChartX : kChartMean;
    s.DispersionChart = individual ? kChartMovingRange : kChartRange;
    s.LocationMethod = s.DispersionMethod = individual ? kMethodAverageMR : kMethodAverageRange;
    s.LocationCenterline = kCenterAverage;
    s.DispersionCenterline = kCenterDispAverage;
}

void BM_IndividualsMovingRange(benchmark::State& state) {
    MakeTable(1'000'000, 1, 1);
    Settings(1, 0, 0);
    for (auto _ : state) {
        ComputeChart(1, 0);
        benchmark::DoNotOptimize(VarChart.Count);
    }
}
BENCHMARK(BM_IndividualsMovingRange)->Unit(benchmark::kMillisecond);

void BM_MeansRanges(benchmark::State& state) {
    const int sets = static_cast<int>(state.range(0));
    MakeTable(1'000'000, sets, 1);
    Settings(4, 5, sets > 1 ? 2 : 0);
    for (auto _ : state) {
        ComputeChart(1, 0);
        benchmark::DoNotOptimize(VarChart.Count);
    }
}
BENCHMARK(BM_MeansRanges)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_ChartListOfGroups(benchmark::State& state) {
    MakeTable(1'000'000, 1, 100);
    Settings(11, 5, 0);
    TVarChartSettings& s = VarChartSettings;
    s.RunInfo.GroupColumnCount = 1;
    s.RunInfo.GroupColumns[1] = 3;
    PrepareGroups(s.RunInfo);
    for (auto _ : state) {
        BuildChartList();
        benchmark::DoNotOptimize(VarChart.ChartList.size());
    }
}
BENCHMARK(BM_ChartListOfGroups)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
