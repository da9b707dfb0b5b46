// SPDX-License-Identifier: GPL-3.0-or-later
// The capability and performance analysis without its window: the groups of the stored setup,
// the data of the chosen group, the within-subgroup and within-stream sigma estimates, and the
// statistics table as rows of text that the window draws and a batch program prints.
#pragma once

#include "app/MissingValue.h"
#include "capability/CapabilitySetup.h"
#include "data/RunInfo.h"

#include <string>
#include <vector>

namespace kivspc {

// The row statistics of the selected measure columns (the table's Selected marks), into the
// value cache's columns C+1 (mean), C+2 (standard deviation) and C+3 (count of valid values):
// every row that passes Process If gets the statistics of its valid values after the transform
// (a transform error is reported and switches the transform off; the values go on untransformed).
// A mean needs one value and a standard deviation two; rows left out by Process If count 0.
void ComputeRowStatistics();

// One entry of the group list: a group of the run, or for runs that take each measure in turn,
// one measure within one group.
struct TCapabilityGroup {
    std::string Label;
    int Measure = 0;  // the measure column of runs that take each measure in turn
    int Position = 0; // the group's position in the run (a column for runs by columns)
};

// What the window's controls choose, besides the distribution (DistKind, stats/Fit.h).
struct TCapabilityOptions {
    bool CapabilityMode = true; // "Capability" (else "Performance")
    int Decimals = 4;           // 1..9
    bool ShowStats = true;
    bool ShowParameters = true;
    bool ShowFit = true;
    bool ShowCapability = true; // "Capability" / "Performance" check box
    bool Interpolate = false;   // spread tied values before the order statistics
};

struct TCapabilityAnalysis {
    TRunInfo Run;
    TCapabilityConfig Config;
    TCapabilityOptions Options;
    std::vector<TCapabilityGroup> Groups; // the list, without "(All)"
    bool HasAll = false;                  // "(All)" heads the list (two or more groups)
    int Selected = 0;                     // list index, "(All)" included
    std::string AnalysisLabel;
    double PotentialSigma = MissingValue;
    double StreamSigma = MissingValue;
    double OverallMin = 0, OverallMax = 0; // of the data at opening, for a constant X axis
    // The groups are formed again before the next selection (opening, activation).
    bool GroupsStale = true;
    // The list is built again as well (opening).
    bool ListRequested = true;

    // The list as the window shows it: "(All)" first when there is more than one group.
    std::vector<std::string> ListTexts() const;
    int ListCount() const { return static_cast<int>(Groups.size()) + (HasAll ? 1 : 0); }
    bool AllSelected() const { return HasAll && Selected == 0; }
};

// Starts the analysis of the stored setup (CapabilityConfig, CapabilityRun): forms and lists the
// groups, selects the first entry and keeps the minimum and maximum of its data.
void OpenCapabilityAnalysis(TCapabilityAnalysis& a);
// Extracts the data of the selected list entry into the current sample and names it.
void SelectCurrentData(TCapabilityAnalysis& a);
// SelectCurrentData, then the order statistics (tied values spread when Interpolate is on), the
// mean and the standard deviation.
void PrepareSample(TCapabilityAnalysis& a);
// The within-subgroup sigma ("Std Dev(pot)") of the selected entry, or pooled over every entry
// when "(All)" is selected; MissingValue when it cannot be formed. Leaves the sample changed.
double PotentialSigma(TCapabilityAnalysis& a);
// The pooled within-stream sigma when the first entry is selected and the data hold process
// streams (performance mode); MissingValue otherwise.
double StreamSigma(TCapabilityAnalysis& a);

// How the window draws a row of the statistics table.
enum class TStatRowKind {
    Value,       // a label and its value
    Separator,   // an empty row between blocks, drawn low
    FixedSet,    // the head of the fixed-parameters block, drawn on red
    TestHeading, // a test's name over "p-value"
    TestResult,  // a test's statistic and p-value; Significant when the p-value is starred
    Note,        // a message in words (why there is no fit)
};
struct TStatRow {
    std::string Left, Right;
    TStatRowKind Kind = TStatRowKind::Value;
    bool Significant = false; // the right cell ends with "*" under a p-value heading
};

// The statistics table of the selected entry, by the options and DistKind: descriptive
// statistics, the fitted distribution and its process limits, tests of fit, counts and estimates
// out of tolerance and the capability or performance indices. Sets the tolerance limits
// from the measure column's and fits DistKind. Empty when the entry has no values.
std::vector<TStatRow> BuildStatisticsTable(TCapabilityAnalysis& a);
// The rows as tab-separated lines (CR LF), separators as empty lines.
std::string StatisticsTableText(const std::vector<TStatRow>& rows);

// Cp and Cpk of a fitted non-normal model by its percentiles: the tolerance over the process
// limits' spread, and the distance from the median to each limit over the process limit's
// distance on that side. MissingValue when they cannot be formed.
struct TPercentileIndices {
    double Cp = MissingValue;
    double Cpk = MissingValue;
};
TPercentileIndices PercentileIndices();

} // namespace kivspc
