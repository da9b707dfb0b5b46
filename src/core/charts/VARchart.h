// SPDX-License-Identifier: GPL-3.0-or-later
// Variables control charts, the computation: the settings the setup window hands over, how the
// values of the table form points, and every point's statistics, centerlines, standard errors
// and limits, per set. The chart window, the analysis report and batch programs read the point
// table; nothing here draws.
#pragma once

#include "app/MissingValue.h"
#include "data/RunInfo.h"
#include "stats/ChartKind.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivspc {

// The names of the setup's charts, by their position in its list (kSetupChartKinds).
inline constexpr std::array<const char*, 9> ChartTypeNames = {
    "None",  "X",           "Mean",          "Median",           "Moving Range",
    "Range", "Std Dev (s)", "Variance (s²)", "Individual Points"};

// The name the setup's lists show for a kind; empty for a kind they do not list.
constexpr const char* ChartKindName(TChartKind kind) {
    const int position = SetupPositionOf(kind);
    return position < 0 ? "" : ChartTypeNames[static_cast<std::size_t>(position)];
}

// Positions in LimitMethodNames: the limit calculations (0-20) and the centerline choices.
enum LimitMethod : std::uint8_t {
    kMethodNone = 0,
    kMethodCenterlineOnly = 1,
    kMethodUserDefined = 2,
    kMethodKnownSigma = 3,
    kMethodAverageMR = 4,
    kMethodMedianMR = 5,
    kMethodStdDev = 6,
    kMethodAverageRange = 7,
    kMethodMedianRange = 8,
    kMethodAverageStdDev = 9,
    kMethodMedianStdDev = 10,
    kMethodAverageVariance = 11,
    kMethodAverageMRMeans = 12,
    kMethodAverageMRMedians = 13,
    kMethodMedianMRMeans = 14,
    kMethodMedianMRMedians = 15,
    kMethodStdDevMeans = 16,
    kMethodStdDevMedians = 17,
    kMethodAverageMRDispersion = 18,
    kMethodMedianMRDispersion = 19,
    kMethodStdDevDispersion = 20,
};
// Centerline codes of the settings.
enum CenterlineChoice : std::uint8_t {
    kCenterNone = 0,
    kCenterAverage = 1,
    kCenterMedian = 2,
    kCenterKnownMean = 3,
    kCenterDispAverage = 4,
    kCenterDispMedian = 5,
    kCenterKnownSigma = 6,
};
inline constexpr std::array<const char*, 28> LimitMethodNames = {"None",
                                                                 "Centerline Only",
                                                                 "User Defined",
                                                                 "Known Std Dev",
                                                                 "Average MR",
                                                                 "Median MR",
                                                                 "Std Dev",
                                                                 "Average Range",
                                                                 "Median Range",
                                                                 "Average Std Dev",
                                                                 "Median Std Dev",
                                                                 "Average Variance",
                                                                 "Average MR of Means",
                                                                 "Average MR of Medians",
                                                                 "Median MR of Means",
                                                                 "Median MR of Medians",
                                                                 "Std Dev of Means",
                                                                 "Std Dev of Medians",
                                                                 "Average MR of @",
                                                                 "Median MR of @",
                                                                 "Std Dev of @",
                                                                 "None",
                                                                 "Average @",
                                                                 "Median of @",
                                                                 "Known Mean",
                                                                 "Average @",
                                                                 "Median @",
                                                                 "Known Std Dev"};

// The name of LimitMethodNames[index] with its "@" filled by the chart's name: location
// centerlines (22-24) pluralise ("Median of Xs"), dispersion methods (18-20) drop the "(...)"
// of the chart's name. Names without "@" are returned as they are.
std::string FillLimitName(int index, std::string_view chartName);

// The layout of the points from the setup's choices (0: no chart).
int DataLayoutFromChoices(bool chartGroups, bool severalMeasures, bool sampleVariable, bool constantSize,
                          bool subgroupsInRows);
int DataLayoutFromCode(int code);

struct TVarChartSettings {
    TChartKind LocationChart = kChartNone;
    TChartKind DispersionChart = kChartNone;
    std::uint8_t LocationMethod = kMethodNone;
    std::uint8_t DispersionMethod = kMethodNone;
    std::uint8_t LocationCenterline = kCenterNone;
    std::uint8_t DispersionCenterline = kCenterNone;
    double StdErrors = 3;
    std::string StdErrorsText = "3";
    int SampleSize = 0;
    int MRCount = 2;
    bool UseKnownSigma = false;
    double KnownSigma = 0;
    bool UseKnownMean = false;
    double KnownMean = 0;
    double UserLocUCL = MissingValue, UserLocCL = MissingValue, UserLocLCL = MissingValue;
    double UserDispUCL = MissingValue, UserDispCL = MissingValue, UserDispLCL = MissingValue;
    bool PositiveLimitsOnly = false;
    int AxisLabelColumn = 0;
    int SampleSizeColumn = 0;
    int SetColumn = 0;
    std::uint8_t DataLayout = 0;
    // Measures: RunInfo.FirstMeasure..LastMeasure with the marked columns in Measures[c];
    // chart groups: RunInfo.GroupColumns with the group range from PrepareGroups.
    std::array<std::uint8_t, 513> Measures{};
    TRunInfo RunInfo;
    // Display options that change the points.
    bool ShowBreaks = false;
    bool ShowAllPoints = false;
};

extern TVarChartSettings VarChartSettings;

// Rows of the point table.
enum ChartRow : int {
    kRowN = 0,
    kRowLocation = 1,
    kRowDispersion = 2,
    kRowLocLCL = 3,
    kRowLocCL = 4,
    kRowLocUCL = 5,
    kRowDispLCL = 6,
    kRowDispCL = 7,
    kRowDispUCL = 8,
    kRowRangeSigma = 9,
    kRowSubgroupSD = 10,
    kRowPosition = 11,
    kRowSet = 12,
    kRowLocSE = 13,
    kRowDispSE = 14,
    kRowSigma = 15,
    kRowSubgroupMean = 16,
    kRowGrandMean = 17,
    kRowBreak = 18,
    kChartRows = 19,
};

// The points of one chart: 19 rows of doubles, points numbered from 1; after the computation
// points Count+1 and Count+2 of rows 1-8 hold each row's minimum and maximum. Sized once per
// computation and grown, never shrunk.
class TChartArray {
public:
    double& operator()(int row, int point) {
        return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(point)];
    }
    double operator()(int row, int point) const {
        return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(point)];
    }
    const double* Row(int row) const { return rows_[static_cast<std::size_t>(row)].data(); }
    // Sets points first..last of a row to x.
    void Fill(int row, int first, int last, double x) {
        if (last < first) return;
        auto& r = rows_[static_cast<std::size_t>(row)];
        std::fill(r.begin() + first, r.begin() + last + 1, x);
    }
    // Room for points 0..points + 2 (new cells MissingValue); never shrinks.
    void Reserve(int points);
    int Capacity() const { return static_cast<int>(rows_[0].size()); }

private:
    std::array<std::vector<double>, kChartRows> rows_;
};

struct TChartListEntry {
    std::string Name;
    int Column = 0;
    int Group = 0;
    // "column group", the key the chart window keeps.
    std::string Key() const { return std::to_string(Column) + " " + std::to_string(Group); }
};

struct TVarChart {
    TChartArray Points;
    int Count = 0;
    int LowSet = 0;
    int HighSet = 0;
    // The chart computed: its measure column and group number.
    int Column = 0;
    int Group = 0;
    // The method whose sigma row 15 holds (a LimitMethod, 0 when none).
    int SigmaMethod = 0;
    int Breaks = 0;
    // Values the transform could not take (left out as missing).
    int TransformErrors = 0;
    // Sentences the chart window shows beside the chart: what the points alone cannot tell
    // (values left out, sets without a sigma estimate).
    std::vector<std::string> Notes;
    // With "Show All Points": the values of every point as text.
    std::vector<std::string> PointTexts;
    // The values that formed each point, filtered and transformed as they were gathered, in data
    // order: point i's are PointValues[PointValueEnd[i - 1]] up to PointValues[PointValueEnd[i]]
    // (PointValueEnd[0] is 0).
    std::vector<double> PointValues;
    std::vector<std::size_t> PointValueEnd;
    std::vector<TChartListEntry> ChartList;
};

extern TVarChart VarChart;

// The chart state back to nothing (a new table, tests).
void ResetVarChart();

// Lists the charts that have points (the current chart becomes the first of them); with a
// constant subgroup size, a chart needs at least as many values as one subgroup holds.
// The status says whether the list has a chart (StatErrorCode 0) or not (1).
void BuildChartList();

// The setup's typed numbers, read as the chart needs them: the number of standard errors (above 0
// and finite), the known sigma (above 0), the known location parameter (any number). A text the
// chart cannot use gives nothing and sets StatErrorCode to 1; the setup says which.
enum class TSetupNumber { StdErrors, KnownSigma, KnownMean };
std::optional<double> ReadSetupNumber(TSetupNumber kind, std::string_view text);
// User-defined limits UCL, CL, LCL: the checked ones read from their texts, the others missing.
// False (StatErrorCode 1) when a checked text is no number or the limits are out of order; equal
// limits pass.
bool ReadUserLimits(const std::array<bool, 3>& checked, const std::array<std::string, 3>& texts,
                    std::array<double, 3>& values);
// Why BuildChartList found no chart with points (or a chart computed has none), in words for
// the user: "No numeric values in column Diam1", "Sample size larger than the data" ...
std::string EmptyChartListReason();
// Computes the chart of a measure column and group into VarChart.
void ComputeChart(int column, int group);
// The values that formed the points of set `set` of the current chart (every set is 0 without a
// sets column), each counted under the set of its point, in point order.
std::vector<double> ChartSetValues(int set);
// Fills the limit rows from the statistic rows of VarChart.Points.
void ComputeChartLimits();

} // namespace kivspc
