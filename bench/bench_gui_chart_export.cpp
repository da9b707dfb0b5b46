// SPDX-License-Identifier: GPL-3.0-or-later
// Saving a 1,000-point means and ranges chart (800 x 500, zones, codes, limit information) in
// every format the save dialog offers, and the three clipboard formats.
#include "ChartBenchData.h"

#include "app/Platform.h"
#include "charts/ChartView.h"
#include "charts/GraphDia.h"
#include "charts/SceneExamples.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace kivspc;

gui::TChartView& Chart() {
    static gui::TChartView* view = [] {
        bench::ComputeMeansAndRanges(5000);
        TChartScene scene;
        RedrawChart(scene);
        auto* v = new gui::TChartView;
        v->resize(800, 500);
        v->SetScene(std::move(scene));
        v->replot();
        return v;
    }();
    return *view;
}

void BM_Save(benchmark::State& state, const char* extension) {
    static RecordingPlatform platform;
    SetPlatform(&platform);
    QTemporaryDir dir;
    const QString path = dir.filePath(QString("chart.") + extension);
    gui::TChartView& chart = Chart();
    for (auto _ : state)
        benchmark::DoNotOptimize(gui::SaveChartAs(&chart, path));
    SetPlatform(nullptr);
}
BENCHMARK_CAPTURE(BM_Save, emf, "emf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Save, wmf, "wmf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Save, bmp, "bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Save, jpg, "jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Save, png, "png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Save, svg, "svg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Save, pdf, "pdf")->Unit(benchmark::kMillisecond);

// The six-panel capability page (1600 x 1000) drawn from its scene alone, as the batch program
// writes it: no window is shown.
void BM_SavePage(benchmark::State& state, const char* extension) {
    static RecordingPlatform platform;
    SetPlatform(&platform);
    QTemporaryDir dir;
    const QString path = dir.filePath(QString("page.") + extension);
    const gui::TChartPicture page{
        std::make_shared<const TChartScene>(SixPanelExample(200)), {}, QSize(1600, 1000)};
    for (auto _ : state)
        benchmark::DoNotOptimize(gui::SaveChartAs(page, path));
    SetPlatform(nullptr);
}
BENCHMARK_CAPTURE(BM_SavePage, emf, "emf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SavePage, wmf, "wmf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SavePage, bmp, "bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SavePage, jpg, "jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SavePage, png, "png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SavePage, svg, "svg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SavePage, pdf, "pdf")->Unit(benchmark::kMillisecond);

void BM_PrintToPdf(benchmark::State& state) {
    QTemporaryDir dir;
    for (auto _ : state)
        benchmark::DoNotOptimize(gui::PrintChartToPdf(&Chart(), dir.filePath("printed.pdf")));
}
BENCHMARK(BM_PrintToPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
