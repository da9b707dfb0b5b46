// SPDX-License-Identifier: GPL-3.0-or-later
// Extraction over a million rows: one column through Process If and Missing When, and the
// grouping of rows by two group columns.
#include "data/DataU.h"
#include "data/Extract.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "stats/SampleBuffer.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

constexpr int kRows = 1'000'000;

void FillTable() {
    static bool done = false;
    if (done) return;
    done = true;
    kivspc::NewDataTable();
    kivspc::TDataTable& table = kivspc::DataTable();
    table.SetColumnCount(4);
    table.SetRowCount(kRows);
    table.ReserveRows(kRows);
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> machine(1, 6);
    std::uniform_int_distribution<int> shift(1, 3);
    std::normal_distribution<double> size(25.0, 0.02);
    for (int r = 1; r <= kRows; ++r) {
        table.SetCell(1, r, std::to_string(machine(rng)));
        table.SetCell(2, r, shift(rng) == 1 ? "Early" : "Late");
        table.SetCell(3, r, std::to_string(size(rng)).substr(0, 7));
        table.SetCell(4, r, std::to_string(r % 97));
    }
    kivspc::DataList.RebuildValues();
}

void BM_ExtractGroupFiltered(benchmark::State& state) {
    FillTable();
    kivspc::ApplyMissingRules(kivspc::kMissGreater, "25.05", kivspc::kMissNone, "");
    kivspc::ApplyProcessIf({1, "Machine", kivspc::kRelNotEqual, "3"}, {4, "Batch", kivspc::kRelLess, "90"},
                           false);
    kivspc::DataList.Selected[3] = 1;
    kivspc::TRunInfo ri;
    ri.RunType = 1;
    ri.FirstGroup = ri.LastGroup = 3;
    for (auto _ : state) {
        kivspc::ExtractGroup(3, ri);
        benchmark::DoNotOptimize(kivspc::SampleN);
    }
    kivspc::ProcessIfOff();
    kivspc::ResetMissingWhen();
}
BENCHMARK(BM_ExtractGroupFiltered)->Unit(benchmark::kMillisecond);

void BM_PrepareGroupsTwoColumns(benchmark::State& state) {
    FillTable();
    kivspc::TRunInfo ri;
    ri.RunType = 3;
    ri.MeasureColumn = 3;
    ri.GroupColumnCount = 2;
    ri.GroupColumns[1] = 1;
    ri.GroupColumns[2] = 2;
    for (auto _ : state)
        benchmark::DoNotOptimize(kivspc::PrepareGroups(ri));
}
BENCHMARK(BM_PrepareGroupsTwoColumns)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
