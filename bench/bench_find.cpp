// SPDX-License-Identifier: GPL-3.0-or-later
// Find and replace over a table of a million rows: stepping through every cell meeting a
// numeric condition, a search that finds nothing, and replacing every match as one edit.
#include "CoreState.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/FindReplace.h"
#include "data/TableEdit.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace kivspc;

constexpr int kRows = 1'000'000;

// Two columns of measurements like "24.995": about one value in a hundred lies above 25.0485.
void MakeTable() {
    ResetCoreState();
    TDataTable& t = DataTable();
    t.SetColumnCount(2);
    t.SetRowCount(kRows);
    t.ReserveRows(kRows);
    for (int r = 1; r <= kRows; ++r)
        for (int c = 1; c <= 2; ++c) {
            const unsigned k = static_cast<unsigned>(r) * 2654435761u + static_cast<unsigned>(c) * 40503u;
            const int thousandths = 24'950 + static_cast<int>(k % 100);
            t.SetCell(c, r,
                      std::to_string(thousandths / 1000) + "." +
                          std::to_string(1000 + thousandths % 1000).substr(1));
        }
    DataList.RebuildValues();
}

TFindSettings Above(const char* value) {
    TFindSettings s;
    s.Relation1 = kFindGreater;
    s.Value1 = value;
    return s;
}

// What repeated Find clicks do: every match of both columns, one after the other.
void BM_FindEveryMatch(benchmark::State& state) {
    MakeTable();
    const TFindConditions c = MakeFindConditions(Above("25.0485"));
    const CellRange all{1, 2, 1, kRows};
    long found = 0;
    for (auto _ : state) {
        found = 0;
        TFindCell at{1, 0};
        while (auto next = FindNextCell(c, all, at, false)) {
            at = *next;
            ++found;
        }
        benchmark::DoNotOptimize(found);
    }
    state.counters["matches"] = static_cast<double>(found);
}
BENCHMARK(BM_FindEveryMatch)->Unit(benchmark::kMillisecond);

// One Find that tests every cell and finds nothing (the not-found message included).
void BM_FindNothing(benchmark::State& state) {
    MakeTable();
    for (auto _ : state)
        benchmark::DoNotOptimize(RunFind(Above("26"), {}).Cell);
}
BENCHMARK(BM_FindNothing)->Unit(benchmark::kMillisecond);

// Replace All of about half the cells (> 24.9995), the undo step kept as the editor keeps it.
void BM_ReplaceAll(benchmark::State& state) {
    TTableEdit undo;
    OnTableEdited = [&undo](const TEditEffect&, TTableEdit&& inverse, std::string_view) {
        undo = std::move(inverse);
    };
    TFindSettings s = Above("24.9995");
    s.Replace = s.ReplaceAll = true;
    s.ReplaceText = "25.000";
    int replaced = 0;
    for (auto _ : state) {
        state.PauseTiming();
        MakeTable();
        undo = {};
        state.ResumeTiming();
        replaced = RunFind(s, {}).Replaced;
        benchmark::DoNotOptimize(replaced);
    }
    state.counters["replaced"] = replaced;
    OnTableEdited = nullptr;
}
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
