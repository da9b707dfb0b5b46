// SPDX-License-Identifier: GPL-3.0-or-later
// A 20,000-line report written into a hidden output document, then handed to a view (replayed),
// saved as plain and rich text, and laid out for printing on a device that only measures.
#include "output/OutputModule.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kReportLines = 20000;

// Lines as a report writes them: a heading every 50 lines, tab-separated rows of numbers.
void WriteReport(kivspc::TOutputDocument& doc, int lines) {
    kivspc::SetOutputDocument(&doc);
    kivspc::ClearOutputDocument();
    for (int i = 0; i < lines; ++i) {
        if (i % 50 == 0) {
            kivspc::SetHeadingFont(12);
            kivspc::WriteOutputLine("Subgroup " + std::to_string(i / 50 + 1) + " Analysis");
            kivspc::SetBodyFont(10);
            continue;
        }
        kivspc::WriteOutputText("Point ");
        kivspc::WriteOutputLine(std::to_string(i) + "\t12.3456\t0.4567\t13.0112\t11.6800\tA");
    }
}

void BM_WriteReportIntoHiddenDocument(benchmark::State& state) {
    kivspc::TOutputDocument doc;
    bool dirty = false;
    doc.SetOnChange([&] { dirty = true; }); // a hidden view only notes that it must render
    for (auto _ : state) {
        WriteReport(doc, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(dirty);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    kivspc::SetOutputDocument(nullptr);
}
BENCHMARK(BM_WriteReportIntoHiddenDocument)->Arg(kReportLines)->Unit(benchmark::kMillisecond);

// What a view receives when it is shown: every run and line break once.
class CountingSink : public kivspc::TOutputSink {
public:
    void TextAppended(std::string_view text, const kivspc::TOutputFont&) override { bytes += text.size(); }
    void LineEnded(const kivspc::TOutputFont&) override { ++lines; }
    void DocumentReset() override { bytes = lines = 0; }
    std::size_t bytes = 0, lines = 0;
};

void BM_ReplayReportToView(benchmark::State& state) {
    kivspc::TOutputDocument doc;
    WriteReport(doc, kReportLines);
    for (auto _ : state) {
        CountingSink sink;
        doc.Replay(sink, kivspc::TOutputMark{});
        benchmark::DoNotOptimize(sink.bytes);
    }
    kivspc::SetOutputDocument(nullptr);
}
BENCHMARK(BM_ReplayReportToView)->Unit(benchmark::kMillisecond);

void BM_ReportAsRichText(benchmark::State& state) {
    kivspc::TOutputDocument doc;
    WriteReport(doc, kReportLines);
    for (auto _ : state)
        benchmark::DoNotOptimize(kivspc::OutputRichText(doc));
    kivspc::SetOutputDocument(nullptr);
}
BENCHMARK(BM_ReportAsRichText)->Unit(benchmark::kMillisecond);

void BM_ReportAsPlainText(benchmark::State& state) {
    kivspc::TOutputDocument doc;
    WriteReport(doc, kReportLines);
    for (auto _ : state)
        benchmark::DoNotOptimize(kivspc::OutputPlainText(doc));
    kivspc::SetOutputDocument(nullptr);
}
BENCHMARK(BM_ReportAsPlainText)->Unit(benchmark::kMillisecond);

void BM_ScaleReportFonts(benchmark::State& state) {
    kivspc::TOutputDocument doc;
    WriteReport(doc, kReportLines);
    for (auto _ : state) {
        doc.ScaleFonts(1, 1);
        doc.ScaleFonts(-1, 1);
    }
    kivspc::SetOutputDocument(nullptr);
}
BENCHMARK(BM_ScaleReportFonts)->Unit(benchmark::kMillisecond);

// Fixed metrics, nothing drawn: the cost of the layout itself.
class MeasuringDevice : public kivspc::TextDevice {
public:
    int TextWidth(std::string_view text, const kivspc::TOutputFont&) override {
        return static_cast<int>(text.size()) * 50;
    }
    int TextHeight(std::string_view, const kivspc::TOutputFont&) override { return 100; }
    int AverageCharWidth(const kivspc::TOutputFont&) override { return 50; }
    void DrawText(int, int, std::string_view text, const kivspc::TOutputFont&) override {
        drawn += text.size();
    }
    int PageWidth() override { return 4800; }
    int PageHeight() override { return 6400; }
    int DpiX() override { return 600; }
    int DpiY() override { return 600; }
    int OffsetX() override { return 0; }
    int OffsetY() override { return 0; }
    void NewPage() override { ++pages; }
    std::string DateText() override { return "06/05/2024"; }
    std::size_t drawn = 0;
    int pages = 1;
};

void BM_PrintReport(benchmark::State& state) {
    kivspc::TOutputDocument doc;
    WriteReport(doc, kReportLines);
    for (auto _ : state) {
        MeasuringDevice device;
        kivspc::PrintOutputDocument(doc, "Report", kivspc::PrintOrientation::Portrait, device);
        benchmark::DoNotOptimize(device.drawn);
    }
    kivspc::SetOutputDocument(nullptr);
}
BENCHMARK(BM_PrintReport)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
