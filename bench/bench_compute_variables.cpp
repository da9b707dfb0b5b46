// SPDX-License-Identifier: GPL-3.0-or-later
// New columns computed over 1,000,000 rows: a run statistic by a grouping column of 1,000 groups,
// ranks with ties by the same groups, and the mean across five columns. Each round adds the
// column (one table edit) and, untimed, takes it away again and converts the values (the tools
// leave that to the next reader).
#include "data/ComputeVariables.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/DataU.h"
#include "data/TableEdit.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

using namespace kivspc;

constexpr int kRows = 1'000'000;

// Five measured columns (three decimals, so many ties) and the group number 1..1,000 in column 6.
void FillTable() {
    static bool done = false;
    if (done) return;
    done = true;
    NewDataTable();
    TDataTable& table = DataTable();
    table.SetColumnCount(6);
    table.SetRowCount(kRows);
    table.ReserveRows(kRows);
    std::mt19937 rng(3);
    std::normal_distribution<double> size(25.0, 0.02);
    for (int r = 1; r <= kRows; ++r) {
        for (int c = 1; c <= 5; ++c)
            table.SetCell(c, r, std::to_string(size(rng)).substr(0, 6));
        table.SetCell(6, r, std::to_string((r - 1) % 1000 + 1));
    }
    DataList.RebuildValues();
}

TTableEdit Undo;

void KeepUndo() {
    OnTableEdited = [](const TEditEffect&, TTableEdit&& inverse, std::string_view) {
        Undo = std::move(inverse);
    };
}

void ByRuns(benchmark::State& state, int statistic) {
    FillTable();
    KeepUndo();
    TRunComputation q;
    q.Dependent = 1;
    q.Independents = {6};
    q.Statistic = statistic;
    for (auto _ : state) {
        const TComputeOutcome out = ComputeByRuns(q);
        state.PauseTiming();
        if (out.Added) Undo.Apply();
        DataList.RebuildValues();
        state.ResumeTiming();
    }
}

void BM_RunMeanByThousandGroups(benchmark::State& state) { ByRuns(state, kRunMean); }
BENCHMARK(BM_RunMeanByThousandGroups)->Unit(benchmark::kMillisecond);

void BM_RanksWithTiesByThousandGroups(benchmark::State& state) { ByRuns(state, kRanks); }
BENCHMARK(BM_RanksWithTiesByThousandGroups)->Unit(benchmark::kMillisecond);

void BM_MeanAcrossFiveColumns(benchmark::State& state) {
    FillTable();
    KeepUndo();
    TRowComputation q;
    q.Columns = {1, 2, 3, 4, 5};
    q.Statistic = 0;
    q.Name = "Mean1";
    for (auto _ : state) {
        const TComputeOutcome out = ComputeAcrossRows(q);
        state.PauseTiming();
        if (out.Added) Undo.Apply();
        DataList.RebuildValues();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MeanAcrossFiveColumns)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
