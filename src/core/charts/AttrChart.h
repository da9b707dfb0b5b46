// SPDX-License-Identifier: GPL-3.0-or-later
// The attributes control charts (p, np, c, u): their settings, the point table of one analysis,
// the centre, spread and limits of every set, and the limit summary shown under the chart.
#pragma once

#include "app/MissingValue.h"
#include "data/RunInfo.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kivspc {

// The chart types in the order of the setup's "Type" group.
enum class TAttrType : std::uint8_t { P = 0, NP = 1, C = 2, U = 3 };
// The setup's "Control Limit Calculation" group, in its order.
enum class TAttrMethod : std::uint8_t {
    None = 0,
    Exact = 1,
    NormalApproximation = 2,
    AverageMovingRange = 3,
    MedianMovingRange = 4,
    StandardDeviation = 5,
    CenterlineOnly = 6,
    UserDefined = 7,
};

struct TAttrChartSettings {
    TAttrType ChartType = TAttrType::P;
    std::string TypeCaption = "p";
    TAttrMethod LimitMethod = TAttrMethod::Exact;
    int CenterlineKind = 0; // 0 Mean, 1 Median, 2 Known Parameter
    std::string CenterlineCaption = "Mean";
    bool MedianCenter = false;
    bool UseKnownParameter = false;
    double KnownParameter = 0;
    double StdErrors = 3;
    std::string StdErrorsText = "3";
    double UserUCL = MissingValue, UserCL = MissingValue, UserLCL = MissingValue;
    bool ConstantSampleSize = true;
    double SampleSize = 0;
    int SampleSizeColumn = 0;
    int SetColumn = 0;
    int AxisLabelColumn = 0;
    bool ShowBreaks = false;
    // The run: Columns layout (kRunColumns) from FirstGroup to LastGroup over the marked columns,
    // or Reference layout (kRunByCombination, kRunBySingleCombination) over the combinations of
    // the grouping columns' values, the counts from MeasureColumn.
    TRunInfo RunInfo;
};

extern TAttrChartSettings AttrChartSettings;

// The rows of the point table; points are numbered from 1 in every row.
enum TAttrRow : int {
    kAttrCount = 0,      // X
    kAttrSampleSize = 1, // n
    kAttrStatistic = 2,  // X / n for p and u, X for np and c
    kAttrLCL = 3,
    kAttrCL = 4,
    kAttrUCL = 5,
    kAttrLabel = 6, // the order number or the case number that labels the point
    kAttrSet = 7,
    kAttrSE = 8,    // the standard error used for zones and zone tests
    kAttrBreak = 9, // 1 when a gap follows the point
};
inline constexpr int kAttrRows = 10;

struct TAttrChart {
    std::array<std::vector<double>, kAttrRows> Rows;
    int Count = 0;
    int LowSet = 0, HighSet = 0;
    int Breaks = 0;
    int Analysis = 0; // the current analysis number
    // The analyses that have points: their labels and numbers, in the same order.
    std::vector<std::string> AnalysisLabels;
    std::vector<int> AnalysisNumbers;
    std::string AnalysisLabel;

    double& operator()(int row, int point) {
        return Rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(point)];
    }
    double operator()(int row, int point) const {
        return Rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(point)];
    }
    // Room for points 1..points (new cells missing); the table never shrinks.
    void Reserve(int points);
};

extern TAttrChart AttrChart;

// What the setup window hands over on Action: its choices as the user left them.
struct TAttrSetupEntries {
    TAttrType Type = TAttrType::P;
    TAttrMethod Method = TAttrMethod::Exact;
    int CenterlineKind = 0; // 0 Mean, 1 Median, 2 Known Parameter
    std::string KnownParameterText;
    std::string StdErrorsText = "3";
    std::array<bool, 3> UserChecked{true, true, true}; // UCL, CL, LCL
    std::array<std::string, 3> UserTexts;
    int AxisLabelColumn = 0;
    bool ReferenceLayout = false; // the "Reference" tab is active
    bool ConstantSampleSize = true;
    std::string SampleSizeText;
    int SampleSizeColumn = 0;
    int SetColumn = 0;
    std::vector<int> Measures;        // Columns layout, in data order
    int MeasureColumn = 0;            // Reference layout
    std::vector<int> GroupingColumns; // Reference layout, in list order
};

// The outcome of Action: stored, refused with a message, or refused with only a beep (nothing
// chosen to chart).
struct TAttrSetupOutcome {
    bool Stored = false;
    std::string Message; // empty: a beep, unless the user has been told already
    bool Told = false;
};
inline constexpr const char* kKnownParameterNotValid = "Known Parameter Not Valid!";
inline constexpr const char* kUserLimitsNotValid = "User Defined Limits Not Valid!";
inline constexpr const char* kSampleSizeNotGiven = "Sample size not given!";
inline constexpr const char* kStdErrorsNotValid = "Number of Standard Errors Not Valid!";
inline constexpr const char* kMeasureNotGiven = "Measure column not given!";

// Checks the entries against the open table and, only when every one is valid, stores them in
// AttrChartSettings with the run (the table's Selected marks for the Columns layout, the
// numbered combinations for the Reference layout). A refusal changes nothing.
TAttrSetupOutcome StoreAttrSetup(const TAttrSetupEntries& entries);

// The chart's title: "p Chart: Defects", or in the Reference layout "np Chart: Defects (Line 2)".
std::string AttrChartTitle();
// The vertical axis' title for the chart type: "Proportion", "Count" or "Rate".
std::string AttrAxisTitle(TAttrType type);

// Appends one point (count, sample size, set number) as the extraction does: its statistic
// when n is a number above 0, limits absent. The set range widens to its set.
void AddAttrPoint(double count, double sampleSize, int set, double label);
// Empties the point table (the set range: 0..0 without a set column, else empty).
void ClearAttrChart(bool sets);

// The chart and its settings back to nothing (a new table, tests).
void ResetAttrChart();

// Fills the point table for one analysis (Columns layout: the marked column of that number) from
// the selected rows and valid counts, computes the limits, runs the tests for statistical control
// into code slot 0 and counts the breaks. False when the analysis has no point.
bool LoadAnalysis(int analysis);
// Advances to the next analysis that has points and loads it; false when the run is exhausted
// (the current number then stays at the last analysis).
bool NextAnalysis();
// Lists every analysis that has points (labels and numbers), then starts the run over.
void BuildAnalysisList();

// Fills the limits, centre lines and standard errors of every point from the counts, sample
// sizes and sets and the settings: a centre and a spread per set, limits per point (computed
// once per sample size within a set).
void ComputeAttrLimits();

// The limit summary of the last point: one line per limit and the centre line.
std::vector<std::string> LimitSummary();

} // namespace kivspc
