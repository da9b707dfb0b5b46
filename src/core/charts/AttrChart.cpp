// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/AttrChart.h"

#include "app/NumberFormat.h"
#include "app/SharedState.h"
#include "app/TextTools.h"
#include "charts/ControlTests.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "stats/ChartKind.h"
#include "stats/ControlLimits.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace kivspc {

TAttrChartSettings AttrChartSettings;
TAttrChart AttrChart;

namespace {

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

// The points of set `set` whose statistic is present, in data order.
std::vector<int> PointsOfSet(const TAttrChart& chart, int set) {
    std::vector<int> points;
    for (int i = 1; i <= chart.Count; ++i)
        if (chart(kAttrSet, i) == set && PresentFinite(chart(kAttrStatistic, i))) points.push_back(i);
    return points;
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
    case TAttrMethod::CenterlineOnly: out.CL = c0; return out;
    case TAttrMethod::AverageMovingRange:
    case TAttrMethod::MedianMovingRange:
    case TAttrMethod::StandardDeviation: {
        out.CL = c0;
        const double lcl = c0 - k * spread, ucl = c0 + k * spread;
        if (lcl > 0) out.LCL = lcl;
        if (ucl != 0 && !(s.ChartType == TAttrType::P && ucl >= 1)) out.UCL = ucl;
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

// "   UCL = 0.2273         " : a number padded to 15 characters, or "none" and 11 blanks.
std::string Padded(double v) {
    return PresentFinite(v) ? PadRight(FormatSignificant(4, v), 15) : "none" + std::string(11, ' ');
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
    c(kAttrStatistic, i) =
        usable ? (PerUnit(AttrChartSettings.ChartType) ? count / sampleSize : count) : MissingValue;
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

bool LoadAnalysis(int analysis) {
    const TAttrChartSettings& s = AttrChartSettings;
    TAttrChart& c = AttrChart;
    if (ValuesStale) DataList.RebuildValues();
    c.Analysis = analysis;
    ClearAttrChart(s.SetColumn > 0);
    const TDataTable& table = DataTable();
    const int column = analysis;
    // Only a marked data column of the run yields points (the transform does not apply here).
    const bool measured = s.RunInfo.RunType == kRunColumns && column >= 1 && column <= table.ColumnCount() &&
                          column <= kMaxColumns && DataList.Selected[static_cast<std::size_t>(column)] != 0;
    if (measured)
        for (int row = 1; row <= table.RowCount(); ++row) {
            if (!IsRowSelected(row)) continue;
            const double x = CacheValue(column, row);
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
    // The last point is never followed by a break.
    if (c.Count > 0) c(kAttrBreak, c.Count) = 0;
    ComputeAttrLimits();
    RunAttrControlTests();
    c.Breaks = 0;
    for (int i = 1; i <= c.Count; ++i)
        c.Breaks += c(kAttrBreak, i) == 1;
    return c.Count > 0;
}

bool NextAnalysis() {
    TAttrChart& c = AttrChart;
    const TRunInfo& run = AttrChartSettings.RunInfo;
    while (c.Analysis < run.LastGroup) {
        if (LoadAnalysis(c.Analysis + 1)) {
            c.AnalysisLabel = DataTable().ColumnName(c.Analysis);
            return true;
        }
    }
    c.Analysis = std::max(run.LastGroup, run.FirstGroup);
    return false;
}

void BuildAnalysisList() {
    TAttrChart& c = AttrChart;
    const TRunInfo& run = AttrChartSettings.RunInfo;
    c.AnalysisLabels.clear();
    c.AnalysisNumbers.clear();
    c.Analysis = run.FirstGroup - 1;
    while (NextAnalysis()) {
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
    for (int set = c.LowSet; set <= c.HighSet; ++set) {
        const std::vector<int> points = PointsOfSet(c, set);
        if (points.empty()) continue;
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

} // namespace kivspc
