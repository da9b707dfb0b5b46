// SPDX-License-Identifier: GPL-3.0-or-later
// RebuildValues over a large table of short numbers: time per cell, and memory per cell of
// the texts plus the numeric cache.
#include "data/DataU.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

void FillTable(int rows, int cols) {
    kivspc::NewDataTable();
    kivspc::TDataTable& table = kivspc::DataTable();
    table.SetColumnCount(cols);
    table.SetRowCount(rows);
    table.ReserveRows(rows);
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> dist(0, 99999);
    for (int c = 1; c <= cols; ++c) {
        for (int r = 1; r <= rows; ++r) {
            int v = dist(rng);
            // Short measurements such as "12.345"
            std::string text = std::to_string(v / 1000) + "." + std::to_string(v % 1000);
            table.SetCell(c, r, text);
        }
    }
}

void BM_RebuildValues(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const int cols = 8;
    FillTable(rows, cols);
    for (auto _ : state) {
        kivspc::DataList.MarkAllRowsChanged();
        kivspc::DataList.RebuildValues();
        benchmark::DoNotOptimize(kivspc::Values.data());
    }
    const double cells = static_cast<double>(rows) * cols;
    std::size_t cacheBytes = 0;
    for (int c = 1; c <= cols; ++c)
        cacheBytes += kivspc::Values[static_cast<std::size_t>(c)].capacity() * sizeof(double);
    state.counters["ns_per_cell"] = benchmark::Counter(cells, benchmark::Counter::kIsIterationInvariantRate |
                                                                  benchmark::Counter::kInvert);
    state.counters["bytes_per_cell"] =
        static_cast<double>(kivspc::DataTable().MemoryBytes() + cacheBytes) / cells;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * cells));
}
BENCHMARK(BM_RebuildValues)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
