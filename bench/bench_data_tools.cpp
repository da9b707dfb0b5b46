// SPDX-License-Identifier: GPL-3.0-or-later
// The data editor's reshaping tools over a million rows: run numbers of two columns, auto recode
// of a column with 10,000 distinct values, and weight cases growing the table tenfold. Each run
// includes the table edit that puts the result into the table; building the numeric cache of
// the new cells afterwards is timed separately.
#include "CoreState.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/DataTools.h"
#include "data/TableEdit.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace kivspc;

constexpr int kRows = 1'000'000;

// Column 1: 1,000 machine numbers; column 2: 20 shift texts; column 3: a measure with 10,000
// distinct values; column 4: the weight 10 on every row.
void MakeTable() {
    ResetCoreState();
    TDataTable& t = DataTable();
    t.SetColumnCount(4);
    t.SetRowCount(kRows);
    t.ReserveRows(kRows);
    for (int r = 1; r <= kRows; ++r) {
        t.SetCell(1, r, std::to_string(static_cast<long long>(r) * 7919 % 1000));
        t.SetCell(2, r, "S" + std::to_string(r % 20));
        const long long v = static_cast<long long>(r) * 104729 % 10000;
        t.SetCell(3, r, std::to_string(v / 100) + "." + std::to_string(v % 100));
        t.SetCell(4, r, "10");
    }
    DataList.MarkAllRowsChanged();
    DataList.RebuildValues();
    OnTableEdited = nullptr;
}

void BM_RunNumbersOfTwoColumns(benchmark::State& state) {
    MakeTable();
    for (auto _ : state) {
        if (GenerateRunNumbers({1, 2}) != 5) state.SkipWithError("no run numbers");
        state.PauseTiming();
        ApplyTableEdit(edits::DeleteColumns{5, 1}, "");
        DataList.RebuildValues();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RunNumbersOfTwoColumns)->Unit(benchmark::kMillisecond);

void BM_AutoRecodeTenThousandValues(benchmark::State& state) {
    MakeTable();
    for (auto _ : state) {
        if (AutoRecode({3}) != 1) state.SkipWithError("no recode");
        state.PauseTiming();
        ApplyTableEdit(edits::DeleteColumns{5, 1}, "");
        DataList.RebuildValues();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AutoRecodeTenThousandValues)->Unit(benchmark::kMillisecond);

void BM_WeightCasesToTenMillionRows(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        MakeTable();
        state.ResumeTiming();
        if (WeightCases(4).Result != TWeightResult::Done || DataTable().RowCount() != 10 * kRows)
            state.SkipWithError("no weighting");
    }
    state.counters["table_MB"] = static_cast<double>(DataTable().MemoryBytes()) / 1e6;
}
BENCHMARK(BM_WeightCasesToTenMillionRows)->Unit(benchmark::kMillisecond)->Iterations(2);

// What the editor does next with the grown table: the numeric cache of ten million rows.
void BM_WeightCasesThenRebuildValues(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        MakeTable();
        state.ResumeTiming();
        WeightCases(4);
        DataList.RebuildValues();
    }
}
BENCHMARK(BM_WeightCasesThenRebuildValues)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
