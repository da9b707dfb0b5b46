// SPDX-License-Identifier: GPL-3.0-or-later
// New columns computed from the table: per run of a grouping (the combinations of independent
// columns), deviations for dispersion tests, Bartlett-Kendall log variances, standardised and
// combinable values, run statistics and ranks of a dependent column; or, row by row, a statistic
// across several columns. Each result is one new last column, added as one undoable table edit.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kivspc {

// The statistics by independent variables, in the order of the window's buttons.
enum TRunStatistic : int {
    kAbsDevMedianNoMidpoint = 0,
    kAbsDevMedian = 1,
    kAbsDevMean = 2,
    kBartlettKendall = 3,
    kBartlettKendallBox = 4,
    kDevMedian = 5,
    kDevMean = 6,
    kCombinable = 7,
    kRunMean = 8,
    kRunMedian = 9,
    kRunStdDev = 10,
    kRunVariance = 11,
    kRunLow = 12,
    kRunHigh = 13,
    kRunRange = 14,
    kRunSum = 15,
    kRanks = 16,
    kRunCount = 17,
    kRunMode = 18,
};
inline constexpr int kRunStatistics = 19;
// "Abs. Dev From Median w/o Midpoint" ...; the group heading; the default name's suffix.
const char* RunStatisticCaption(int statistic);
const char* RunStatisticGroup(int statistic);
const char* RunStatisticSuffix(int statistic);

// The statistics across rows, in the order of the window's list.
inline constexpr int kRowStatistics = 10;
// "Mean", "Median", "Standard Deviation", "Variance", "Low", "High", "Range", "Sum", "Count", "Mode".
const char* RowStatisticCaption(int statistic);
// The default name of the next across-rows column: the caption and counter + 1 ("Std_Dev" for
// the standard deviation): Mean1, Std_Dev1 ...
std::string RowStatisticDefaultName(int statistic, int counter);

// What the Bartlett-Kendall-Box question shows: the run sizes (runs of two or more values), the
// range of subgroup counts offered and the initial one.
struct TSubgroupQuestion {
    double AverageSize = 0;
    int MinimumSize = 0, MaximumSize = 0;
    int Lowest = 1, Highest = 1, Initial = 1;
};
TSubgroupQuestion SubgroupQuestion(const std::vector<int>& runSizes);

struct TRunComputation {
    int Dependent = 0;
    std::vector<int> Independents; // in list order
    int Statistic = kAbsDevMedianNoMidpoint;
    std::string Name; // empty: the default name
    // The number of subgroups per run (Bartlett-Kendall-Box); nothing: cancelled.
    std::function<std::optional<int>(const TSubgroupQuestion&)> AskSubgroups;
    // The minimum range for subgroups without variance, asked once with the run's label;
    // nothing: cancelled.
    std::function<std::optional<double>(const std::string& runLabel)> AskMinimumRange;
    // The random stream (shuffles, combinable offsets); 0: seeded from the clock.
    unsigned long long Seed = 0;
};

struct TRowComputation {
    std::vector<int> Columns;
    int Statistic = 0;
    std::string Name;
};

struct TComputeOutcome {
    bool Added = false;
    int Column = 0;               // the new column
    std::string Message;          // why nothing was added ("" when cancelled)
    std::vector<std::string> Log; // the lines for the window's log
};

// The default name of a run statistic's column: the dependent column's name and the suffix.
std::string RunStatisticDefaultName(int dependent, int statistic);
TComputeOutcome ComputeByRuns(const TRunComputation& request);
TComputeOutcome ComputeAcrossRows(const TRowComputation& request);

} // namespace kivspc
