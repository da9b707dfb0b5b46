// SPDX-License-Identifier: GPL-3.0-or-later
// Copying a grid selection as tab-delimited text: 100,000 rows of 10 columns.
#include "data/GridModule.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Cells of the width a data editor shows: a case number and numbers with a few decimals.
class NumberGrid : public kivspc::TextGrid {
public:
    NumberGrid(int columns, int rows) : columns_(columns), rows_(rows) {}
    int GridColumnCount() const override { return columns_ + 1; }
    int GridRowCount() const override { return rows_ + 1; }
    std::string GridCell(int col, int row) const override {
        if (row == 0) return "Col" + std::to_string(col);
        if (col == 0) return std::to_string(row);
        return std::to_string(10 + (row * 7 + col * 13) % 90) + ".125";
    }

private:
    int columns_, rows_;
};

void BM_GridSelectionText(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const NumberGrid grid(10, rows);
    const kivspc::GridSelection all{1, 1, 10, rows};
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text = kivspc::GridSelectionText(grid, all);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * rows * 10);
    state.SetBytesProcessed(static_cast<long long>(state.iterations() * bytes));
}
BENCHMARK(BM_GridSelectionText)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
