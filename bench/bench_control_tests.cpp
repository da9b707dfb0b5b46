// SPDX-License-Identifier: GPL-3.0-or-later
// The tests for control run on every chart redraw: a million points with all nine tests on must
// take well under 50 ms. Measured on in-control data (most walks stop after a point or two) and
// on data built to keep the walks long (a steady run above the centerline, within one and beyond
// two standard errors in turn, so that runs, excess variability and both zone rules walk their
// whole windows).
#include "app/MissingValue.h"
#include "charts/ControlTests.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

using namespace kivspc;

constexpr int kPoints = 1'000'000;
constexpr int kValueRow = 1, kLclRow = 3, kClRow = 4, kUclRow = 5, kSetRow = 12, kSeRow = 13, kBreakRow = 18;

// A variables chart's point table with centerline 0, standard error 1 and limits at +-3, a set
// change every 100000 points and a break every 5000.
std::vector<std::vector<double>> Table(const std::vector<double>& values) {
    const std::size_t cells = values.size() + 1;
    std::vector<std::vector<double>> table(19, std::vector<double>(cells, MissingValue));
    for (std::size_t p = 1; p < cells; ++p) {
        table[kValueRow][p] = values[p - 1];
        table[kLclRow][p] = -3;
        table[kClRow][p] = 0;
        table[kUclRow][p] = 3;
        table[kSeRow][p] = 1;
        table[kSetRow][p] = static_cast<double>(p / 100'000);
        table[kBreakRow][p] = p % 5000 == 0 ? 1 : 0;
    }
    return table;
}

void RunAllTests(benchmark::State& state, const std::vector<double>& values) {
    const auto table = Table(values);
    const TPointTableRows rows(table);
    ControlTestSettings = DefaultControlTestSettings();
    ControlTestSettings.StdCheck.fill(true);
    SizeControlCodes(kPoints);
    for (auto _ : state) {
        RunControlTests(rows.View(), kPoints, kSetRow, 0, false, kSeRow, kBreakRow, kUclRow, kClRow, kLclRow,
                        kValueRow);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

void BM_ControlTestsInControl(benchmark::State& state) {
    std::mt19937_64 random(20240611);
    std::normal_distribution<double> normal(0, 1);
    std::vector<double> values(kPoints);
    for (double& v : values)
        v = normal(random);
    RunAllTests(state, values);
}
BENCHMARK(BM_ControlTestsInControl)->Unit(benchmark::kMillisecond);

void BM_ControlTestsLongWalks(benchmark::State& state) {
    std::vector<double> values(kPoints);
    for (std::size_t p = 0; p < values.size(); ++p)
        values[p] = p % 2 == 0 ? 0.5 : 2.5;
    RunAllTests(state, values);
}
BENCHMARK(BM_ControlTestsLongWalks)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
