// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/AttrChart.h"

#include "app/NumberFormat.h"
#include "app/SharedState.h"
#include "app/TextTools.h"
#include "charts/ControlTests.h"
#include "charts/VARchart.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/DataU.h"
#include "data/Extract.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "stats/ChartKind.h"
#include "stats/ControlLimits.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <unordered_map>

namespace kivspc {

TAttrChartSettings AttrChartSettings;
TAttrChart AttrChart;

namespace {

// The rows of every combination of the Reference layout, taken when Action numbered them: later
// analyses of other windows renumber the shared group codes, and this chart keeps its own.
struct TAttrGroups {
    std::vector<int> Start{0}; // combination g's rows: RowList[Start[g - 1] .. Start[g])
    std::vector<int> RowList;
    std::vector<int> Representative{0}; // the first row of each combination, index from 1
    int Count() const { return static_cast<int>(Start.size()) - 1; }
};
TAttrGroups AttrGroups;

bool ReferenceLayout(const TRunInfo& run) {
    return run.RunType == kRunByCombination || run.RunType == kRunBySingleCombination;
}

// Halves go to the even neighbour.
double RoundEven(double v) { return std::nearbyint(v); }

bool PerUnit(TAttrType type) { return type == TAttrType::P || type == TAttrType::U; }

TChartKind KindOf(TAttrType type) {
    switch (type) {
    case TAttrType::P: return kChartP;
    case TAttrType::NP: return kChartNP;
    case TAttrType::C: return kChartC;
    case TAttrType::U: return kChartU;
    }
    return kChartP;
}

// The middle value, or the mean of the two middle values of an even count; not empty.
double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t m = values.size() / 2;
    return values.size() % 2 ? values[m] : (values[m - 1] + values[m]) / 2;
}

// The points whose statistic is present, by set number (ascending), each set's in data order.
// Only the set numbers that occur are visited: set numbers 1 and 1,000,000,000 are two sets, not
// a billion.
std::map<int, std::vector<int>> PointsBySet(const TAttrChart& chart) {
    std::map<int, std::vector<int>> sets;
    for (int i = 1; i <= chart.Count; ++i)
        if (PresentFinite(chart(kAttrStatistic, i))) sets[static_cast<int>(chart(kAttrSet, i))].push_back(i);
    return sets;
}

// The centre of a set: the known parameter, the median proportion, or the pooled mean with the
// counts and sample sizes rounded to whole numbers before they are added.
double SetCentre(const TAttrChart& chart, const std::vector<int>& points, const TAttrChartSettings& s) {
    if (s.UseKnownParameter) return s.KnownParameter;
    if (s.MedianCenter) {
        std::vector<double> ratios;
        for (int i : points)
            if (chart(kAttrSampleSize, i) > 0)
                ratios.push_back(chart(kAttrCount, i) / chart(kAttrSampleSize, i));
        if (ratios.empty()) return 0;
        return Median(std::move(ratios));
    }
    double counts = 0, sizes = 0;
    for (int i : points) {
        counts += RoundEven(chart(kAttrCount, i));
        sizes += RoundEven(chart(kAttrSampleSize, i));
    }
    return sizes < 1 ? 0 : counts / sizes;
}

// The spread of a set for the moving-range and standard-deviation methods; 0 with fewer than two
// values or all values equal.
double SetSpread(const TAttrChart& chart, const std::vector<int>& points, const TAttrChartSettings& s) {
    std::vector<double> values;
    for (int i : points) {
        const double n = chart(kAttrSampleSize, i);
        if (!(n > 0)) continue;
        values.push_back(PerUnit(s.ChartType) ? chart(kAttrCount, i) / n : chart(kAttrCount, i));
    }
    if (values.size() < 2 ||
        std::all_of(values.begin(), values.end(), [&](double v) { return v == values[0]; }))
        return 0;
    if (s.LimitMethod == TAttrMethod::StandardDeviation) {
        double mean = 0;
        for (double v : values)
            mean += v;
        mean /= static_cast<double>(values.size());
        double squares = 0;
        for (double v : values)
            squares += (v - mean) * (v - mean);
        return std::sqrt(squares / static_cast<double>(values.size() - 1));
    }
    std::vector<double> ranges;
    for (std::size_t i = 1; i < values.size(); ++i)
        ranges.push_back(std::fabs(values[i] - values[i - 1]));
    if (s.LimitMethod == TAttrMethod::AverageMovingRange) {
        double sum = 0;
        for (double r : ranges)
            sum += r;
        return sum / static_cast<double>(ranges.size()) / 1.12838;
    }
    return Median(std::move(ranges)) / 0.954;
}

struct TPointLimits {
    double LCL = MissingValue, CL = MissingValue, UCL = MissingValue, SE = MissingValue;
};

// The limits of one point with centre c0 and sample size n.
TPointLimits LimitsOf(const TAttrChartSettings& s, double c0, double n, double spread) {
    TPointLimits out;
    const double k = s.StdErrors;
    switch (s.LimitMethod) {
    case TAttrMethod::None:
    case TAttrMethod::UserDefined: return out;
    case TAttrMethod::CenterlineOnly:
        // A centre beyond the range of a double (huge counts added up) is no line.
        if (std::isfinite(c0)) out.CL = c0;
        return out;
    case TAttrMethod::AverageMovingRange:
    case TAttrMethod::MedianMovingRange:
    case TAttrMethod::StandardDeviation: {
        if (!std::isfinite(c0)) return out;
        out.CL = c0;
        const double lcl = c0 - k * spread, ucl = c0 + k * spread;
        if (lcl > 0 && std::isfinite(lcl)) out.LCL = lcl;
        if (std::isfinite(ucl) && ucl != 0 && !(s.ChartType == TAttrType::P && ucl >= 1)) out.UCL = ucl;
        return out;
    }
    case TAttrMethod::Exact:
    case TAttrMethod::NormalApproximation: break;
    }
    double centre = 0, sigma = 0, lcl = 0, ucl = 0;
    const std::uint8_t method = s.LimitMethod == TAttrMethod::NormalApproximation ? 1 : 0;
    const std::int32_t status =
        ComputeControlLimits(KindOf(s.ChartType), method, centre, sigma, lcl, ucl, n, k, c0);
    if (status == kLimitsZeroStatistic) {
        out.CL = 0;
        return out;
    }
    if (status > 0) return out;
    out.CL = centre;
    out.SE = sigma;
    if (status != kLimitsNoLower) out.LCL = lcl;
    if (status != kLimitsNoUpper) out.UCL = ucl;
    return out;
}

// "   UCL = 0.2273         " : a number padded to 15 characters, or "none" and 11 blanks. Beyond
// the digits a double holds, the exponent form with as many significant digits.
std::string Padded(double v) {
    if (!PresentFinite(v)) return "none" + std::string(11, ' ');
    if (std::fabs(v) < 1e15) return PadRight(FormatSignificant(4, v), 15);
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 3);
    return PadRight(std::string(buf, res.ptr), 15);
}

} // namespace

void TAttrChart::Reserve(int points) {
    const auto cells = static_cast<std::size_t>(std::max(points, 0)) + 1;
    for (auto& row : Rows)
        if (row.size() < cells) row.resize(cells, MissingValue);
}

void ClearAttrChart(bool sets) {
    AttrChart.Count = 0;
    AttrChart.Breaks = 0;
    // Without a set column every point is in set 0; with one, the range is empty until the first
    // point.
    AttrChart.LowSet = sets ? 1 : 0;
    AttrChart.HighSet = 0;
}

void AddAttrPoint(double count, double sampleSize, int set, double label) {
    TAttrChart& c = AttrChart;
    const int i = ++c.Count;
    c.Reserve(i);
    for (auto& row : c.Rows)
        row[static_cast<std::size_t>(i)] = MissingValue;
    c(kAttrBreak, i) = 0;
    c(kAttrCount, i) = count;
    c(kAttrLabel, i) = label;
    c(kAttrSampleSize, i) = sampleSize;
    const bool usable = PresentFinite(sampleSize) && sampleSize > 0 && PresentFinite(count);
    const double statistic = PerUnit(AttrChartSettings.ChartType) ? count / sampleSize : count;
    // A huge count over a tiny sample size is beyond the range of a double: no statistic.
    c(kAttrStatistic, i) = usable && std::isfinite(statistic) ? statistic : MissingValue;
    c(kAttrSet, i) = set;
    if (c.LowSet > c.HighSet) {
        c.LowSet = c.HighSet = set;
    } else {
        c.LowSet = std::min(c.LowSet, set);
        c.HighSet = std::max(c.HighSet, set);
    }
}

namespace {

// A cell of the value cache, or missing.
double CacheValue(int column, int row) {
    if (column < 1 || static_cast<std::size_t>(column) >= Values.size()) return MissingValue;
    const auto& cells = Values[static_cast<std::size_t>(column)];
    return static_cast<std::size_t>(row) < cells.size() ? cells[static_cast<std::size_t>(row)] : MissingValue;
}

void RunAttrControlTests() {
    const TAttrChart& c = AttrChart;
    std::array<const double*, kAttrRows> rows{};
    for (int row = 0; row < kAttrRows; ++row)
        rows[static_cast<std::size_t>(row)] = c.Rows[static_cast<std::size_t>(row)].data();
    const TPointTableView view{rows, c.Rows[0].size()};
    SizeControlCodes(c.Count);
    RunControlTests(view, c.Count, kAttrSet, 0, false, kAttrSE, kAttrBreak, kAttrUCL, kAttrCL, kAttrLCL,
                    kAttrStatistic);
}

} // namespace

namespace {

// Adds the points of one analysis from its rows (in data order); `selected` holds Process If's
// verdict of every row.
void ExtractRows(const std::vector<std::uint8_t>& selected, int countColumn, const int* rows,
                 std::size_t count) {
    const TAttrChartSettings& s = AttrChartSettings;
    TAttrChart& c = AttrChart;
    for (std::size_t k = 0; k < count; ++k) {
        const int row = rows[k];
        if (static_cast<std::size_t>(row) >= selected.size() || !selected[static_cast<std::size_t>(row)])
            continue;
        const double x = CacheValue(countColumn, row);
        if (!IsValidValue(x) || !std::isfinite(x)) {
            if (s.ShowBreaks && c.Count > 0) c(kAttrBreak, c.Count) = 1;
            continue;
        }
        const double n = s.ConstantSampleSize ? s.SampleSize : CacheValue(s.SampleSizeColumn, row);
        int set = 0;
        if (s.SetColumn > 0) {
            const double raw = CacheValue(s.SetColumn, row);
            if (PresentFinite(raw)) set = static_cast<int>(RoundEven(std::clamp(raw, -1e9, 1e9)));
        }
        AddAttrPoint(x, IsValidValue(n) && std::isfinite(n) ? n : MissingValue, set,
                     s.AxisLabelColumn == 0 ? c.Count + 1 : row);
    }
}

// Everything one extraction reads besides the settings: Process If's verdicts and, in the
// Columns layout, the list of all rows.
struct TExtractionRows {
    std::vector<std::uint8_t> Selected;
    std::vector<int> All;
    TExtractionRows() {
        if (ValuesStale) DataList.RebuildValues();
        const int rows = DataTable().RowCount();
        SelectRows(rows, Selected);
        if (!ReferenceLayout(AttrChartSettings.RunInfo)) {
            All.resize(static_cast<std::size_t>(std::max(rows, 0)));
            for (int r = 1; r <= rows; ++r)
                All[static_cast<std::size_t>(r) - 1] = r;
        }
    }
};

bool LoadAnalysisFrom(const TExtractionRows& rows, int analysis) {
    const TAttrChartSettings& s = AttrChartSettings;
    const TRunInfo& run = s.RunInfo;
    TAttrChart& c = AttrChart;
    c.Analysis = analysis;
    ClearAttrChart(s.SetColumn > 0);
    const TDataTable& table = DataTable();
    if (ReferenceLayout(run)) {
        // The counts of one combination of grouping values (the transform does not apply).
        const TAttrGroups& g = AttrGroups;
        if (analysis >= 1 && analysis <= g.Count() && run.MeasureColumn >= 1 &&
            run.MeasureColumn <= table.ColumnCount()) {
            const auto from = static_cast<std::size_t>(g.Start[static_cast<std::size_t>(analysis) - 1]);
            const auto to = static_cast<std::size_t>(g.Start[static_cast<std::size_t>(analysis)]);
            ExtractRows(rows.Selected, run.MeasureColumn, g.RowList.data() + from, to - from);
        }
    } else if (run.RunType == kRunColumns && analysis >= 1 && analysis <= table.ColumnCount() &&
               analysis <= kMaxColumns && DataList.Selected[static_cast<std::size_t>(analysis)] != 0) {
        // Only a marked data column of the run yields points.
        ExtractRows(rows.Selected, analysis, rows.All.data(), rows.All.size());
    }
    // The last point is never followed by a break.
    if (c.Count > 0) c(kAttrBreak, c.Count) = 0;
    ComputeAttrLimits();
    RunAttrControlTests();
    c.Breaks = 0;
    for (int i = 1; i <= c.Count; ++i)
        c.Breaks += c(kAttrBreak, i) == 1;
    return c.Count > 0;
}

// The label of the current analysis: the measure column's name, or the combination's grouping
// cells joined by ", ".
std::string AnalysisLabelOf(int analysis) {
    const TRunInfo& run = AttrChartSettings.RunInfo;
    const TDataTable& table = DataTable();
    if (!ReferenceLayout(run)) return table.ColumnName(analysis);
    const TAttrGroups& g = AttrGroups;
    if (analysis < 1 || analysis > g.Count()) return {};
    const int row = g.Representative[static_cast<std::size_t>(analysis)];
    std::string label;
    for (int i = 1; i <= std::clamp<int>(run.GroupColumnCount, 0, kMaxColumns); ++i) {
        if (i > 1) label += ", ";
        const int column = run.GroupColumns[static_cast<std::size_t>(i)];
        if (column >= 1 && column <= table.ColumnCount() && row >= 1 && row <= table.RowCount())
            label += table.Cell(column, row);
    }
    return label;
}

bool NextAnalysisFrom(const TExtractionRows& rows) {
    TAttrChart& c = AttrChart;
    const TRunInfo& run = AttrChartSettings.RunInfo;
    while (c.Analysis < run.LastGroup) {
        if (LoadAnalysisFrom(rows, c.Analysis + 1)) {
            c.AnalysisLabel = AnalysisLabelOf(c.Analysis);
            return true;
        }
    }
    c.Analysis = std::max(run.LastGroup, run.FirstGroup);
    return false;
}

} // namespace

bool LoadAnalysis(int analysis) { return LoadAnalysisFrom(TExtractionRows{}, analysis); }

bool NextAnalysis() { return NextAnalysisFrom(TExtractionRows{}); }

void BuildAnalysisList() {
    TAttrChart& c = AttrChart;
    const TRunInfo& run = AttrChartSettings.RunInfo;
    c.AnalysisLabels.clear();
    c.AnalysisNumbers.clear();
    c.Analysis = run.FirstGroup - 1;
    // Every analysis reads the same selection: it is made once.
    const TExtractionRows rows;
    while (NextAnalysisFrom(rows)) {
        c.AnalysisLabels.push_back(c.AnalysisLabel);
        c.AnalysisNumbers.push_back(c.Analysis);
    }
    c.Analysis = run.FirstGroup - 1;
}

void ComputeAttrLimits() {
    const TAttrChartSettings& s = AttrChartSettings;
    TAttrChart& c = AttrChart;
    for (int i = 1; i <= c.Count; ++i)
        c(kAttrLCL, i) = c(kAttrCL, i) = c(kAttrUCL, i) = c(kAttrSE, i) = MissingValue;
    if (s.LimitMethod == TAttrMethod::UserDefined) {
        const double k = s.StdErrors;
        double se = MissingValue;
        if (PresentFinite(s.UserUCL) && PresentFinite(s.UserLCL))
            se = (s.UserUCL - s.UserLCL) / (2 * k);
        else if (PresentFinite(s.UserUCL) && PresentFinite(s.UserCL))
            se = (s.UserUCL - s.UserCL) / k;
        else if (PresentFinite(s.UserCL) && PresentFinite(s.UserLCL))
            se = (s.UserCL - s.UserLCL) / k;
        for (int i = 1; i <= c.Count; ++i) {
            c(kAttrUCL, i) = s.UserUCL;
            c(kAttrCL, i) = s.UserCL;
            c(kAttrLCL, i) = s.UserLCL;
            c(kAttrSE, i) = PresentFinite(se) ? se : MissingValue;
        }
        return;
    }
    if (s.LimitMethod == TAttrMethod::None) return;
    const bool spreadMethod = s.LimitMethod == TAttrMethod::AverageMovingRange ||
                              s.LimitMethod == TAttrMethod::MedianMovingRange ||
                              s.LimitMethod == TAttrMethod::StandardDeviation;
    for (const auto& [set, points] : PointsBySet(c)) {
        const double f = SetCentre(c, points, s);
        const double g = spreadMethod ? SetSpread(c, points, s) : 0;
        // The limits of a set depend only on n: each sample size is computed once (the exact
        // searches are the costly part, and many points share an n).
        std::unordered_map<double, TPointLimits> byN;
        for (int i : points) {
            const double n = c(kAttrSampleSize, i);
            auto [it, added] = byN.try_emplace(n);
            if (added) it->second = LimitsOf(s, PerUnit(s.ChartType) ? f : f * n, n, g);
            const TPointLimits& limits = it->second;
            c(kAttrLCL, i) = limits.LCL;
            c(kAttrCL, i) = limits.CL;
            c(kAttrUCL, i) = limits.UCL;
            c(kAttrSE, i) = limits.SE;
        }
    }
}

std::vector<std::string> LimitSummary() {
    const TAttrChartSettings& s = AttrChartSettings;
    const TAttrChart& c = AttrChart;
    if (s.LimitMethod == TAttrMethod::None) return {"No Limits Requested"};
    const int n = c.Count;
    const auto at = [&](int row) { return n > 0 ? c(row, n) : MissingValue; };
    const auto method = static_cast<int>(s.LimitMethod);
    const bool limits = (method >= 1 && method <= 5) || method == 7;
    std::vector<std::string> lines;
    if (limits) {
        static const char* const kMethods[] = {"",
                                               "",
                                               "Normal Approximation Limits",
                                               "Std Error from Avg MR",
                                               "Std Error from Median MR",
                                               "Std Error from Std Dev",
                                               "",
                                               "User Defined Limits"};
        std::string text = kMethods[method];
        if (s.LimitMethod == TAttrMethod::Exact)
            text = s.ChartType == TAttrType::P || s.ChartType == TAttrType::NP ? "Exact Binomial Limits"
                                                                               : "Exact Poisson Limits";
        lines.push_back("       UCL = " + Padded(at(kAttrUCL)) + text);
    }
    if (PresentFinite(at(kAttrCL))) {
        std::string line = "Centerline = " + Padded(at(kAttrCL));
        if (method >= 1 && method <= 6) line += "Centerline from " + s.CenterlineCaption;
        lines.push_back(line);
    }
    if (limits)
        lines.push_back("       LCL = " + Padded(at(kAttrLCL)) + "(" + s.StdErrorsText + ") Sigma Limits");
    return lines;
}

void ResetAttrChart() {
    AttrChartSettings = TAttrChartSettings{};
    AttrChart.AnalysisLabels.clear();
    AttrChart.AnalysisNumbers.clear();
    AttrChart.AnalysisLabel.clear();
    AttrChart.Analysis = 0;
    ClearAttrChart(false);
    AttrGroups = TAttrGroups{};
}

namespace {

bool IsDataColumn(int column) {
    return column >= 1 && column <= std::min(DataTable().ColumnCount(), kMaxColumns);
}

// Numbers the combinations of the grouping columns and files every row under its combination.
// Zero combinations when the columns' values cannot be coded (the user has been told why).
int IndexGroups(TRunInfo& run, TAttrGroups& groups) {
    const int count = PrepareGroups(run);
    groups = TAttrGroups{};
    if (count <= 0) return 0;
    const int rows = DataList.RowsCached;
    std::vector<int> groupOf(static_cast<std::size_t>(std::max(rows, 0)) + 1, 0);
    groups.Start.assign(static_cast<std::size_t>(count) + 1, 0);
    for (int r = 1; r <= rows && static_cast<std::size_t>(r) < RowGroupCode.size(); ++r) {
        const std::int32_t code = RowGroupCode[static_cast<std::size_t>(r)];
        // The codes are sorted: a binary search finds the row's combination.
        const auto at = std::lower_bound(GroupSort.Code.begin() + 1, GroupSort.Code.end(), code);
        if (at == GroupSort.Code.end() || *at != code) continue;
        const auto g = static_cast<int>(at - GroupSort.Code.begin());
        groupOf[static_cast<std::size_t>(r)] = g;
        ++groups.Start[static_cast<std::size_t>(g)];
    }
    // Counts to starts (a counting sort keeps each combination's rows in data order).
    int total = 0;
    for (std::size_t g = 1; g < groups.Start.size(); ++g) {
        const int n = groups.Start[g];
        groups.Start[g] = total;
        total += n;
    }
    groups.Start[0] = 0;
    groups.RowList.assign(static_cast<std::size_t>(total), 0);
    std::vector<int> next(groups.Start.begin() + 1, groups.Start.end());
    for (int r = 1; r <= rows; ++r) {
        const int g = groupOf[static_cast<std::size_t>(r)];
        if (g > 0) groups.RowList[static_cast<std::size_t>(next[static_cast<std::size_t>(g) - 1]++)] = r;
    }
    // Start[g] is now where combination g ends.
    for (std::size_t g = 1; g < groups.Start.size(); ++g)
        groups.Start[g] = next[g - 1];
    groups.Representative.assign(static_cast<std::size_t>(count) + 1, 0);
    for (int g = 1; g <= count && static_cast<std::size_t>(g) < GroupSort.Row.size(); ++g)
        groups.Representative[static_cast<std::size_t>(g)] = GroupSort.Row[static_cast<std::size_t>(g)];
    return count;
}

} // namespace

TAttrSetupOutcome StoreAttrSetup(const TAttrSetupEntries& e) {
    if (ValuesStale) DataList.RebuildValues();
    // Everything is read into a copy; the shared settings change only when all of it is valid.
    TAttrChartSettings s = AttrChartSettings;
    s.ChartType = e.Type;
    s.LimitMethod = e.Method;
    static const char* const kTypes[] = {"p", "np", "c", "u"};
    s.TypeCaption = kTypes[static_cast<int>(e.Type) & 3];
    s.AxisLabelColumn = IsDataColumn(e.AxisLabelColumn) ? e.AxisLabelColumn : 0;
    s.CenterlineKind = std::clamp(e.CenterlineKind, 0, 2);
    static const char* const kCentres[] = {"Mean", "Median", "Known Parameter"};
    s.CenterlineCaption = kCentres[s.CenterlineKind];
    s.MedianCenter = s.CenterlineKind == 1;
    // The limits need a number of standard errors above 0: a text that is none is refused while
    // the box is offered, and stands for 3 while it is not.
    const bool stdErrShown = e.Method != TAttrMethod::None && e.Method != TAttrMethod::CenterlineOnly;
    if (const auto k = ReadSetupNumber(TSetupNumber::StdErrors, e.StdErrorsText)) {
        s.StdErrors = *k;
        s.StdErrorsText = e.StdErrorsText;
    } else if (stdErrShown) {
        return {.Message = kStdErrorsNotValid};
    } else {
        s.StdErrors = 3;
        s.StdErrorsText = "3";
    }
    s.UseKnownParameter = false;
    const bool centreShown = e.Method != TAttrMethod::None && e.Method != TAttrMethod::UserDefined;
    if (s.CenterlineKind == 2 && centreShown) {
        double value = 0;
        if (!ConvertNumber(e.KnownParameterText, value) || !std::isfinite(value))
            return {.Message = kKnownParameterNotValid};
        s.KnownParameter = value;
        s.UseKnownParameter = true;
    }
    s.UserUCL = s.UserCL = s.UserLCL = MissingValue;
    if (e.Method == TAttrMethod::UserDefined) {
        std::array<double, 3> limits{};
        if (!ReadUserLimits(e.UserChecked, e.UserTexts, limits)) return {.Message = kUserLimitsNotValid};
        s.UserUCL = limits[0];
        s.UserCL = limits[1];
        s.UserLCL = limits[2];
    }
    // Sets are offered only where each set gets centre and spread of its own.
    const bool setsShown = centreShown && !s.UseKnownParameter && DataTable().ColumnCount() > 1;
    s.SetColumn = setsShown && IsDataColumn(e.SetColumn) ? e.SetColumn : 0;

    const auto readSampleSize = [&](bool constant, const std::string& text, int column) {
        s.ConstantSampleSize = constant;
        s.SampleSizeColumn = 0;
        if (!constant) {
            s.SampleSizeColumn = IsDataColumn(column) ? column : 0;
            return s.SampleSizeColumn > 0;
        }
        double n = 0;
        if (!ConvertNumber(text, n) || !std::isfinite(n) || n == 0) return false;
        s.SampleSize = n;
        return true;
    };
    TRunInfo run;
    TAttrGroups groups;
    std::vector<int> measures;
    if (DataTable().ColumnCount() <= 1) {
        if (!readSampleSize(true, e.SampleSizeText, 0)) return {.Message = kSampleSizeNotGiven};
        s.SetColumn = 0;
        run.RunType = kRunColumns;
        run.FirstGroup = run.LastGroup = 1;
        run.MeasureLabel = "Value";
        measures = {1};
    } else if (!e.ReferenceLayout) {
        if (!readSampleSize(e.ConstantSampleSize, e.SampleSizeText, e.SampleSizeColumn))
            return {.Message = kSampleSizeNotGiven};
        for (int column : e.Measures)
            if (IsDataColumn(column)) measures.push_back(column);
        if (measures.empty()) return {}; // nothing to chart: a beep
        std::sort(measures.begin(), measures.end());
        run.RunType = kRunColumns;
        run.FirstGroup = measures.front();
        run.LastGroup = measures.back();
        run.MeasureLabel = "Value";
    } else {
        if (!readSampleSize(e.ConstantSampleSize, e.SampleSizeText, e.SampleSizeColumn))
            return {.Message = kSampleSizeNotGiven};
        std::vector<int> grouping;
        for (int column : e.GroupingColumns)
            if (IsDataColumn(column)) grouping.push_back(column);
        if (grouping.empty()) return {}; // nothing to chart: a beep
        if (!IsDataColumn(e.MeasureColumn)) return {.Message = kMeasureNotGiven};
        run.MeasureColumn = e.MeasureColumn;
        run.MeasureLabel = ColumnLabel(e.MeasureColumn);
        run.GroupColumnCount = static_cast<std::int16_t>(std::min<std::size_t>(grouping.size(), kMaxColumns));
        for (int i = 1; i <= run.GroupColumnCount; ++i)
            run.GroupColumns[static_cast<std::size_t>(i)] =
                static_cast<std::int16_t>(grouping[static_cast<std::size_t>(i) - 1]);
        if (grouping.size() == 1) {
            run.RunType = kRunBySingleCombination;
            run.GroupColumn = grouping.front();
            run.GroupColumnsLabel = ColumnLabel(grouping.front());
        } else {
            run.RunType = kRunByCombination;
            std::string names;
            for (int column : grouping)
                names += (names.empty() ? "" : ", ") + DataTable().ColumnName(column);
            run.GroupColumnsLabel = names;
        }
        // PrepareGroups tells the user when the combinations cannot be counted.
        if (IndexGroups(run, groups) == 0) return {.Told = true};
    }
    if (!ReferenceLayout(run)) {
        for (int column = 1; column <= kMaxColumns; ++column)
            DataList.Selected[static_cast<std::size_t>(column)] = 0;
        for (int column : measures)
            DataList.Selected[static_cast<std::size_t>(column)] = 1;
    }
    s.RunInfo = std::move(run);
    AttrChartSettings = std::move(s);
    AttrGroups = std::move(groups);
    return {.Stored = true};
}

std::string AttrAxisTitle(TAttrType type) {
    switch (type) {
    case TAttrType::P: return "Proportion";
    case TAttrType::NP:
    case TAttrType::C: return "Count";
    case TAttrType::U: return "Rate";
    }
    return {};
}

std::string AttrChartTitle() {
    const TAttrChartSettings& s = AttrChartSettings;
    const TAttrChart& c = AttrChart;
    std::string title = s.TypeCaption + " Chart: ";
    if (ReferenceLayout(s.RunInfo))
        return title + s.RunInfo.MeasureLabel + " (" + AnalysisLabelOf(c.Analysis) + ")";
    return title + (IsDataColumn(c.Analysis) ? ColumnLabel(c.Analysis) : std::string());
}

} // namespace kivspc
