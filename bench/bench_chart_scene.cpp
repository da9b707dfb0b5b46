// SPDX-License-Identifier: GPL-3.0-or-later
// Building the variables chart's scene: 100,000 means and ranges of five in two sets, with zones,
// violation codes, limit information and all display lines, from a computed chart.
#include "ChartBenchData.h"
#include "charts/CCPointInfo.h"
#include "charts/ChartScene.h"
#include "charts/ControlTests.h"
#include "charts/VARchart.h"
#include "charts/VARchartScene.h"

#include "output/OutputDocument.h"
#include "output/ReditU.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kivspc;
using bench::ComputeMeansAndRanges;

void BM_SceneMeansRanges(benchmark::State& state) {
    ComputeMeansAndRanges(static_cast<int>(state.range(0)) * 5);
    TChartScene scene;
    for (auto _ : state) {
        RedrawChart(scene);
        benchmark::DoNotOptimize(scene.Points.data());
    }
    state.counters["points"] = VarChart.Count;
    state.counters["zones"] = static_cast<double>(scene.Zones.size());
}
BENCHMARK(BM_SceneMeansRanges)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_SceneBlackAndWhite(benchmark::State& state) {
    ComputeMeansAndRanges(static_cast<int>(state.range(0)) * 5);
    ChartsBlackAndWhite = true;
    TChartScene scene;
    for (auto _ : state) {
        RedrawChart(scene);
        benchmark::DoNotOptimize(scene.Points.data());
    }
    ChartsBlackAndWhite = false;
}
BENCHMARK(BM_SceneBlackAndWhite)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The analysis report of a 10,000-point chart with two sets (every section, both sets).
// Specifications, so that the capability sections are written in full.
void ColumnUSLForBench() {
    DataTable().SetDescription(1, 2, "25.03");
    DataTable().SetDescription(1, 3, "25.01");
    DataTable().SetDescription(1, 4, "24.99");
}

void BM_ChartReport(benchmark::State& state) {
    ComputeMeansAndRanges(static_cast<int>(state.range(0)) * 5);
    ColumnUSLForBench();
    TOutputDocument doc;
    SetOutputDocument(&doc);
    for (auto _ : state) {
        doc.Clear();
        BuildChartReport();
        benchmark::DoNotOptimize(doc.LineCount());
    }
    state.counters["lines"] = static_cast<double>(doc.LineCount());
    ForgetOutputDocument(&doc);
}
BENCHMARK(BM_ChartReport)->Arg(10'000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
