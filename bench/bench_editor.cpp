// SPDX-License-Identifier: GPL-3.0-or-later
// The data editor's heavy paths without a window: pasting 100,000 rows of 10 columns into an
// empty table, undoing that paste, and spreadsheet jumps over a million rows.
#include "CoreState.h"
#include "data/DataEditor.h"
#include "data/DataList.h"
#include "data/GridModule.h"
#include "data/GridPaste.h"
#include "data/TableEdit.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kivspc;

std::string ClipboardBlock(int rows, int columns) {
    std::string text;
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= columns; ++c) {
            text += std::to_string(10 + (r * 7 + c * 13) % 1000 / 100.0).substr(0, 6);
            text += c < columns ? '\t' : '\r';
        }
        text += '\n';
    }
    return text;
}

void BM_PasteIntoEmptyTable(benchmark::State& state) {
    const std::string text = ClipboardBlock(100'000, 10);
    for (auto _ : state) {
        state.PauseTiming();
        ResetCoreState();
        state.ResumeTiming();
        benchmark::DoNotOptimize(PasteIntoDataGrid(text, {1, 1, 1, 1}).Pasted);
    }
}
BENCHMARK(BM_PasteIntoEmptyTable)->Unit(benchmark::kMillisecond);

void BM_UndoPaste(benchmark::State& state) {
    const std::string text = ClipboardBlock(100'000, 10);
    TTableEdit undo;
    for (auto _ : state) {
        state.PauseTiming();
        ResetCoreState();
        OnTableEdited = [&undo](const TEditEffect&, TTableEdit&& inverse, std::string_view) {
            undo = std::move(inverse);
        };
        PasteIntoDataGrid(text, {1, 1, 1, 1});
        state.ResumeTiming();
        benchmark::DoNotOptimize(undo.Apply());
    }
}
BENCHMARK(BM_UndoPaste)->Unit(benchmark::kMillisecond);

void BM_CopySelection(benchmark::State& state) {
    ResetCoreState();
    PasteIntoDataGrid(ClipboardBlock(100'000, 10), {1, 1, 1, 1});
    struct Grid : TextGrid {
        int GridColumnCount() const override { return DataTable().ColumnCount() + 1; }
        int GridRowCount() const override { return DataTable().RowCount() + 1; }
        std::string GridCell(int col, int row) const override {
            return std::string(DataTable().Cell(col, row));
        }
    } grid;
    for (auto _ : state)
        benchmark::DoNotOptimize(GridSelectionText(grid, {1, 1, 10, 100'000}).size());
}
BENCHMARK(BM_CopySelection)->Unit(benchmark::kMillisecond);

// Ctrl+Down along a filled column of a million rows, and over an empty one to the edge.
void BM_JumpOverAMillionRows(benchmark::State& state) {
    ResetCoreState();
    TDataTable& t = DataTable();
    t.SetColumnCount(2);
    t.SetRowCount(1'000'000);
    for (int r = 1; r <= 1'000'000; ++r)
        t.SetCell(1, r, "25.001");
    const bool filled = state.range(0) == 1;
    for (auto _ : state)
        benchmark::DoNotOptimize(JumpTarget({filled ? 1 : 2, 1}, JumpDirection::Down).Row);
}
BENCHMARK(BM_JumpOverAMillionRows)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
