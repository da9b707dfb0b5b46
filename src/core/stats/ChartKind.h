// SPDX-License-Identifier: GPL-3.0-or-later
// The kinds of control chart: the variables chart's halves, the attributes charts and the pages
// of the limit calculator all name a chart by one of these. Where a number is stored or shown
// (the setup's chart lists, the calculator's pages and the names of their controls), it comes
// from the mappings below, never from the enumerator's value.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace kivspc {

enum TChartKind : std::uint8_t {
    kChartNone = 0,
    // Individual values.
    kChartX = 1,
    // Subgroup means (X-Bar).
    kChartMean = 2,
    kChartMedian = 3,
    kChartMovingRange = 4,
    kChartRange = 5,
    // Subgroup standard deviations (s) and variances (s²).
    kChartStdDev = 6,
    kChartVariance = 7,
    // Every value of every subgroup, drawn as it is.
    kChartIndividualPoints = 8,
    // Attributes: proportion and number defective, defects and defects per unit.
    kChartP = 9,
    kChartNP = 10,
    kChartC = 11,
    kChartU = 12,
};

// The variables chart setup's list of charts, in the order of its positions 0-8 (the settings
// store the position).
inline constexpr std::array<TChartKind, 9> kSetupChartKinds{
    kChartNone,  kChartX,      kChartMean,     kChartMedian,          kChartMovingRange,
    kChartRange, kChartStdDev, kChartVariance, kChartIndividualPoints};

constexpr int SetupPositionOf(TChartKind kind) {
    for (std::size_t i = 0; i < kSetupChartKinds.size(); ++i)
        if (kSetupChartKinds[i] == kind) return static_cast<int>(i);
    return -1;
}

// The kind at a position of the setup's list; nothing outside it.
constexpr std::optional<TChartKind> ChartKindOfSetupPosition(int position) {
    if (position < 0 || position >= static_cast<int>(kSetupChartKinds.size())) return std::nullopt;
    return kSetupChartKinds[static_cast<std::size_t>(position)];
}

// The limit calculator's pages, numbered from 1 (X-Bar) to 10 (u).
inline constexpr std::array<TChartKind, 10> kCalculatorChartKinds{
    kChartMean,     kChartMedian, kChartX,  kChartRange, kChartStdDev,
    kChartVariance, kChartP,      kChartNP, kChartC,     kChartU};

// The calculator page of a kind, 1-10; 0 for a kind without a page.
constexpr int CalculatorPageOf(TChartKind kind) {
    for (std::size_t i = 0; i < kCalculatorChartKinds.size(); ++i)
        if (kCalculatorChartKinds[i] == kind) return static_cast<int>(i) + 1;
    return 0;
}

// The kind of calculator page `page`; nothing outside 1..10.
constexpr std::optional<TChartKind> ChartKindOfCalculatorPage(int page) {
    if (page < 1 || page > static_cast<int>(kCalculatorChartKinds.size())) return std::nullopt;
    return kCalculatorChartKinds[static_cast<std::size_t>(page) - 1];
}

} // namespace kivspc
