// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing the variables chart offscreen: the scene handed to the renderer and painted into a
// 1600 x 1000 image, for 100,000 and 1,000,000 points, whole and zoomed to a hundredth; and the
// histogram, probability plot and six-panel page shapes; a p chart of 1,000,000 points whose
// limits and zones step with every sample size.
#include "ChartBenchData.h"

#include "capability/CapabilityGraphs.h"
#include "charts/AttrChart.h"
#include "charts/AttrChartScene.h"
#include "charts/ChartView.h"
#include "charts/SceneExamples.h"

#include "stats/Descriptive.h"
#include "stats/Fit.h"
#include "stats/SampleBuffer.h"

#include <QApplication>

#include <QImage>
#include <random>

#include <benchmark/benchmark.h>

namespace {

using namespace kivspc;
using bench::ComputeMeansAndRanges;

TChartScene SceneOf(int points) {
    ComputeMeansAndRanges(points * 5);
    TChartScene scene;
    RedrawChart(scene);
    return scene;
}

void Paint(gui::TChartView& view) {
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QCPPainter painter(&image);
    view.toPainter(&painter, 1600, 1000);
}

// Hands the scene over (graphs built) and paints it.
void BM_DrawWhole(benchmark::State& state) {
    const TChartScene scene = SceneOf(static_cast<int>(state.range(0)));
    gui::TChartView view;
    view.resize(1600, 1000);
    for (auto _ : state) {
        view.SetScene(scene);
        Paint(view);
    }
}
BENCHMARK(BM_DrawWhole)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// A repaint after zooming or panning to a hundredth of the points (what dragging costs).
void BM_RepaintZoomed(benchmark::State& state) {
    const TChartScene scene = SceneOf(static_cast<int>(state.range(0)));
    gui::TChartView view;
    view.resize(1600, 1000);
    view.SetScene(scene);
    const double width = (scene.Panels[0].X.Max - scene.Panels[0].X.Min) / 100;
    double left = scene.Panels[0].X.Min;
    for (auto _ : state) {
        // Each round pans a little further, as a drag does.
        left += width / 10;
        view.axisRect(0)->axis(QCPAxis::atBottom)->setRange(left, left + width);
        Paint(view);
    }
}
BENCHMARK(BM_RepaintZoomed)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// A repaint of the whole chart without rebuilding it (a window resize or expose).
void BM_RepaintWhole(benchmark::State& state) {
    const TChartScene scene = SceneOf(static_cast<int>(state.range(0)));
    gui::TChartView view;
    view.resize(1600, 1000);
    view.SetScene(scene);
    for (auto _ : state)
        Paint(view);
}
BENCHMARK(BM_RepaintWhole)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// The other chart shapes, handed over and painted at 1600 x 1000: a histogram of 200 bars with a
// 1,000-vertex curve and four labelled reference lines; a probability plot of 100,000 points on
// probability paper; the six-panel capability page.
void DrawExample(benchmark::State& state, const TChartScene& scene) {
    gui::TChartView view;
    view.resize(1600, 1000);
    for (auto _ : state) {
        view.SetScene(scene);
        Paint(view);
    }
}
void BM_DrawHistogram(benchmark::State& state) { DrawExample(state, HistogramExample(200, 1000)); }
BENCHMARK(BM_DrawHistogram)->Unit(benchmark::kMillisecond);
void BM_DrawProbabilityPlot(benchmark::State& state) { DrawExample(state, ProbabilityExample(100'000)); }
BENCHMARK(BM_DrawProbabilityPlot)->Unit(benchmark::kMillisecond);
void BM_DrawSixPanelPage(benchmark::State& state) { DrawExample(state, SixPanelExample(200)); }
BENCHMARK(BM_DrawSixPanelPage)->Unit(benchmark::kMillisecond);

// The capability analysis' probability plot of 100,000 values with a fitted Johnson curve on the
// probability axis, and its histogram of 1,000,000 values, described and painted.
TChartScene CapabilityGraph(int n, bool probability) {
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
    TCapabilityAnalysis a;
    a.AnalysisLabel = "Diameter";
    TGraphOptions o;
    o.ProbabilityPaper = true;
    o.ProcessLimits = true;
    TChartScene scene;
    TGraphResult r;
    if (probability)
        DescribeProbabilityPlot(a, o, scene);
    else
        DescribeHistogram(a, o, scene, r);
    return scene;
}
void BM_DrawCapabilityProbabilityPlot(benchmark::State& state) {
    DrawExample(state, CapabilityGraph(100'000, true));
}
BENCHMARK(BM_DrawCapabilityProbabilityPlot)->Unit(benchmark::kMillisecond);
void BM_DrawCapabilityHistogram(benchmark::State& state) {
    DrawExample(state, CapabilityGraph(1'000'000, false));
}
BENCHMARK(BM_DrawCapabilityHistogram)->Unit(benchmark::kMillisecond);

// n from 80 to 120 on every point: the exact limits and the zones change at almost every position.
TChartScene VaryingPChart(int points, bool zones, bool codes) {
    ResetCoreState();
    TDataTable& t = DataTable();
    t.SetColumnCount(2);
    t.SetRowCount(points);
    t.ReserveRows(points);
    for (int r = 1; r <= points; ++r) {
        const long long n = 80 + (r * 7919LL) % 41;
        t.SetCell(1, r, std::to_string((r * 31) % 9));
        t.SetCell(2, r, std::to_string(n));
    }
    DataList.RebuildValues();
    TAttrSetupEntries e;
    e.Measures = {1};
    e.ConstantSampleSize = false;
    e.SampleSizeColumn = 2;
    StoreAttrSetup(e);
    LoadAnalysis(1);
    ClearAttrPointTexts();
    AttrChartDisplay.ShowZones = zones;
    AttrChartDisplay.ShowCodes = codes;
    TChartScene scene;
    RedrawAttrChart(scene);
    return scene;
}
void BM_DrawVaryingPChart(benchmark::State& state) {
    DrawExample(state, VaryingPChart(1'000'000, state.range(0) != 0, state.range(1) != 0));
}
BENCHMARK(BM_DrawVaryingPChart)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
