// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/VARchart.h"

#include "app/NumberFormat.h"
#include "app/SharedState.h"
#include "app/TextTools.h"
#include "charts/ControlTests.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Extract.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "data/Transfrm.h"
#include "stats/ControlFactors.h"
#include "stats/Distributions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>
#include <utility>

namespace kivspc {

TVarChartSettings VarChartSettings;
TVarChart VarChart;

namespace {

// Lowest and highest value written into each limit row by the last ComputeChartLimits.
std::array<std::pair<double, double>, kChartRows> LimitExtremes;

bool Present(double x) { return x != MissingValue; }

// A known sigma counts only as a positive number, as the setup takes it; anything else (a batch
// caller's 0 or negative value) gives no limits rather than limits in the wrong order.
bool KnownSigmaGiven(const TVarChartSettings& s) {
    return s.UseKnownSigma && std::isfinite(s.KnownSigma) && s.KnownSigma > 0;
}

// A result that cannot be formed (0/0, overflow) is missing rather than a number.
double Checked(Extended x) {
    return std::isfinite(static_cast<double>(x)) ? static_cast<double>(x) : MissingValue;
}

bool IsIndividual(int layout) { return layout == 1 || layout == 5 || layout == 8 || layout == 12; }
bool IsRowSubgroups(int layout) { return layout == 2 || layout == 9; }
bool IsSampleVariable(int layout) { return layout == 3 || layout == 6 || layout == 10 || layout == 13; }
bool IsConstantSize(int layout) { return layout == 4 || layout == 7 || layout == 11 || layout == 14; }
bool UsesGroups(int layout) { return layout >= 8; }

Extended Median(std::vector<double>& values) {
    if (values.empty()) return MissingValue;
    const std::size_t mid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid), values.end());
    const Extended upper = values[mid];
    if (values.size() % 2 == 1) return upper;
    const Extended lower =
        *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid));
    return (lower + upper) / 2;
}

// Standard deviation with divisor n - 1 (missing below two values).
Extended StdDevOf(const std::vector<double>& values) {
    if (values.size() < 2) return MissingValue;
    Extended sum = 0;
    for (double v : values)
        sum += v;
    const Extended mean = sum / static_cast<Extended>(values.size());
    Extended squares = 0;
    for (double v : values)
        squares += (v - mean) * (v - mean);
    return std::sqrt(squares / static_cast<Extended>(values.size() - 1));
}

// Moving ranges (max - min of span consecutive values) of a series.
std::vector<double> MovingRanges(const std::vector<double>& y, int span) {
    std::vector<double> r;
    if (span < 2 || static_cast<int>(y.size()) < span) return r;
    r.reserve(y.size() - static_cast<std::size_t>(span) + 1);
    for (std::size_t j = static_cast<std::size_t>(span) - 1; j < y.size(); ++j) {
        const auto first = y.begin() + static_cast<std::ptrdiff_t>(j + 1 - static_cast<std::size_t>(span));
        const auto [lo, hi] = std::minmax_element(first, y.begin() + static_cast<std::ptrdiff_t>(j) + 1);
        r.push_back(*hi - *lo);
    }
    return r;
}

Extended MeanOf(const std::vector<double>& v) {
    if (v.empty()) return MissingValue;
    Extended sum = 0;
    for (double x : v)
        sum += x;
    return sum / static_cast<Extended>(v.size());
}

// The standard error the user's limits imply.
double UserStandardError(double lcl, double cl, double ucl, double k) {
    if (k == 0) return MissingValue;
    if (Present(ucl) && Present(lcl)) return Checked((static_cast<Extended>(ucl) - lcl) / k / 2);
    if (Present(ucl) && Present(cl)) return Checked((static_cast<Extended>(ucl) - cl) / k);
    if (Present(cl) && Present(lcl)) return Checked((static_cast<Extended>(cl) - lcl) / k);
    return MissingValue;
}

// Gathers the points of one chart.
class PointGatherer {
public:
    // selected: the rows Process If lets through (index 1..R); groupRows: the rows of the chart
    // group in data order (unused without chart groups).
    PointGatherer(const TVarChartSettings& s, TVarChart& chart, int column,
                  const std::vector<std::uint8_t>& selected, const std::vector<int>& groupRows)
        : s_(s), chart_(chart), column_(column), layout_(s.DataLayout), selected_(selected),
          groupRows_(groupRows) {
        transform_ = TransformRec.Kind != kTransformNone;
    }

    void Run() {
        const int rows = DataTable().RowCount();
        chart_.Points.Reserve(rows + 2);
        chart_.Count = 0;
        chart_.TransformErrors = 0;
        chart_.PointTexts.clear();
        chart_.PointValues.clear();
        chart_.PointValueEnd.assign(1, 0);
        if (IsIndividual(layout_))
            GatherIndividuals(rows);
        else if (IsRowSubgroups(layout_))
            GatherRowSubgroups(rows);
        else if (IsSampleVariable(layout_))
            GatherSampleVariable(rows);
        else if (IsConstantSize(layout_))
            GatherConstantSize(rows);
    }

private:
    // Calls f(row) for the rows of the chart: every row, or the rows of its chart group.
    template <typename F> void ForEachRow(int rows, F&& f) const {
        if (UsesGroups(layout_)) {
            for (int r : groupRows_)
                f(r);
        } else {
            for (int r = 1; r <= rows; ++r)
                f(r);
        }
    }
    bool Selected(int r) const { return selected_[static_cast<std::size_t>(r)] != 0; }
    // The next point. Gathering writes rows 0, 9-12, 16 and 18 of every point and the statistic
    // rows as far as there is a chart for them; the limit rows are filled afterwards.
    int NewPoint() {
        const int i = ++chart_.Count;
        chart_.Points(kRowLocation, i) = MissingValue;
        chart_.Points(kRowDispersion, i) = MissingValue;
        return i;
    }
    // The value of a cell as it counts for the chart (filtered and transformed), or false.
    bool Counting(int col, int r, double& v) const {
        // Only data columns are measured (the row statistics follow them in the cache).
        if (col < 1 || col > DataTable().ColumnCount() || static_cast<std::size_t>(col) >= Values.size())
            return false;
        // The levels of a text column are no measurements.
        if (col >= 1 && col <= kMaxColumns && DataList.IsText[static_cast<std::size_t>(col)]) return false;
        const auto& column = Values[static_cast<std::size_t>(col)];
        if (static_cast<std::size_t>(r) >= column.size()) return false;
        v = column[static_cast<std::size_t>(r)];
        if (!IsValidValue(v) || !std::isfinite(v)) return false;
        if (transform_) {
            TransformRec.ErrorFlag = 0;
            v = TransformValue(v);
            // A value the transform cannot take (the log of a negative number) is missing in
            // the chart; the window says how many there were.
            if (TransformRec.ErrorFlag != 0 || !std::isfinite(v)) {
                TransformRec.ErrorFlag = 0;
                ++chart_.TransformErrors;
                return false;
            }
        }
        return true;
    }
    // Keeps the values that formed the newest point: the report counts exactly these.
    void Formed(const double* values, std::size_t n) {
        chart_.PointValues.insert(chart_.PointValues.end(), values, values + n);
        chart_.PointValueEnd.push_back(chart_.PointValues.size());
    }
    void Break() {
        if (s_.ShowBreaks && chart_.Count > 0) chart_.Points(kRowBreak, chart_.Count) = 1;
    }
    void Place(int point, int firstRow) {
        TChartArray& p = chart_.Points;
        p(kRowPosition, point) = s_.AxisLabelColumn == 0 ? point : firstRow;
        double set = 0;
        if (s_.SetColumn > 0 && static_cast<std::size_t>(s_.SetColumn) < Values.size() &&
            static_cast<std::size_t>(firstRow) < Values[static_cast<std::size_t>(s_.SetColumn)].size()) {
            const double raw =
                Values[static_cast<std::size_t>(s_.SetColumn)][static_cast<std::size_t>(firstRow)];
            // A point whose set cell is empty belongs to set 0; numbers beyond the integers are clamped.
            if (Present(raw) && std::isfinite(raw)) set = std::nearbyint(std::clamp(raw, -1e9, 1e9));
        }
        p(kRowSet, point) = set;
        p(kRowBreak, point) = 0;
    }
    void RememberText() {
        if (!s_.ShowAllPoints) return;
        std::string text;
        for (double v : buffer_)
            text += (text.empty() ? "" : "  ") + FormatCellNumber(v);
        chart_.PointTexts.resize(static_cast<std::size_t>(chart_.Count) + 1);
        chart_.PointTexts[static_cast<std::size_t>(chart_.Count)] = std::move(text);
    }

    void GatherIndividuals(int rows) {
        TChartArray& p = chart_.Points;
        const int span = std::max(s_.MRCount, 2);
        const Extended d2 = D2(span);
        ForEachRow(rows, [&](int r) {
            if (!Selected(r)) return;
            double v;
            if (!Counting(column_, r, v)) {
                Break();
                return;
            }
            const int i = NewPoint();
            Place(i, r);
            Formed(&v, 1);
            p(kRowN, i) = 1;
            p(kRowSubgroupMean, i) = v;
            p(kRowSubgroupSD, i) = 0;
            if (s_.LocationChart != kChartNone) p(kRowLocation, i) = v;
            // The first point of a new set has no moving range; a longer span may still reach
            // back over the set change from the next point on.
            const bool setChange = i > 1 && p(kRowSet, i) != p(kRowSet, i - 1);
            double mr = MissingValue;
            if (!setChange && i >= span) {
                double lo = v, hi = v;
                for (int j = i - span + 1; j < i; ++j) {
                    lo = std::min(lo, p(kRowSubgroupMean, j));
                    hi = std::max(hi, p(kRowSubgroupMean, j));
                }
                // Beyond half the double range the difference is no double: missing, not infinite.
                mr = Checked(static_cast<Extended>(hi) - lo);
            }
            if (s_.DispersionChart != kChartNone) p(kRowDispersion, i) = mr;
            p(kRowRangeSigma, i) = Present(mr) && d2 > 0 ? Checked(mr / d2) : MissingValue;
            if (s_.ShowAllPoints) {
                buffer_.assign(1, v);
                RememberText();
            }
        });
    }

    // Adds the point of the subgroup in buffer_ (empty: a break).
    void AddSubgroup(int firstRow, bool oneValueHasNoDispersion) {
        if (buffer_.empty()) {
            Break();
            return;
        }
        TChartArray& p = chart_.Points;
        const int i = NewPoint();
        Place(i, firstRow);
        Formed(buffer_.data(), buffer_.size());
        const int n = static_cast<int>(buffer_.size());
        Extended sum = 0;
        double lo = buffer_[0], hi = buffer_[0];
        for (double v : buffer_) {
            sum += v;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        const Extended mean = sum / n;
        Extended squares = 0;
        for (double v : buffer_)
            squares += (v - mean) * (v - mean);
        const Extended variance = n > 1 ? squares / (n - 1) : 0;
        const Extended sd = std::sqrt(variance);
        const double range = Checked(static_cast<Extended>(hi) - lo);
        p(kRowN, i) = n;
        p(kRowSubgroupMean, i) = Checked(mean);
        p(kRowSubgroupSD, i) = Checked(sd);
        // One value has no range: such a subgroup takes no part in the average or median range.
        p(kRowRangeSigma, i) = n >= 2 && Present(range) ? Checked(range / D2(n)) : MissingValue;
        if (s_.ShowAllPoints) RememberText();
        if (s_.LocationChart == kChartMedian) {
            p(kRowLocation, i) = Checked(Median(buffer_));
        } else if (s_.LocationChart != kChartNone) {
            p(kRowLocation, i) = Checked(mean);
        }
        if (s_.DispersionChart != kChartNone && !(n == 1 && oneValueHasNoDispersion)) {
            switch (s_.DispersionChart) {
            case kChartRange: p(kRowDispersion, i) = range; break;
            case kChartStdDev: p(kRowDispersion, i) = Checked(sd); break;
            case kChartVariance: p(kRowDispersion, i) = Checked(variance); break;
            default: break;
            }
        }
    }

    void GatherRowSubgroups(int rows) {
        ForEachRow(rows, [&](int r) {
            if (!Selected(r)) return;
            buffer_.clear();
            const int last = std::min(s_.RunInfo.LastMeasure, DataTable().ColumnCount());
            for (int c = std::max(s_.RunInfo.FirstMeasure, 1); c <= last; ++c) {
                double v;
                if (c >= 1 && c <= kMaxColumns && s_.Measures[static_cast<std::size_t>(c)] &&
                    Counting(c, r, v))
                    buffer_.push_back(v);
            }
            AddSubgroup(r, false);
        });
    }

    void GatherSampleVariable(int rows) {
        const int sc = s_.SampleSizeColumn;
        if (sc < 1 || sc > DataTable().ColumnCount() || static_cast<std::size_t>(sc) >= Values.size()) return;
        const auto& sample = Values[static_cast<std::size_t>(sc)];
        // The subgroup numbers run over the whole column; rows are bucketed once.
        double lo = 0, hi = -1;
        bool any = false;
        for (int r = 1; r <= rows && static_cast<std::size_t>(r) < sample.size(); ++r) {
            const double x = sample[static_cast<std::size_t>(r)];
            if (!Present(x) || !std::isfinite(x)) continue;
            lo = any ? std::min(lo, x) : x;
            hi = any ? std::max(hi, x) : x;
            any = true;
        }
        if (!any) return;
        const double first = std::nearbyint(lo);
        const double last = std::nearbyint(hi);
        // A sample variable spanning more numbers than rows leaves most subgroups empty; they are
        // walked as gaps only where a row needs them.
        std::map<double, std::vector<int>> buckets;
        ForEachRow(rows, [&](int r) {
            if (static_cast<std::size_t>(r) >= sample.size()) return;
            const double x = sample[static_cast<std::size_t>(r)];
            if (!Present(x) || !std::isfinite(x) || !Selected(r)) return;
            buckets[std::nearbyint(x)].push_back(r);
        });
        double expected = first;
        for (auto& [number, members] : buckets) {
            // Subgroup numbers no row holds give no point (a break when breaks are shown).
            if (number > expected) Break();
            expected = number + 1;
            buffer_.clear();
            int firstRow = 0;
            for (int r : members) {
                double v;
                if (!Counting(column_, r, v)) continue;
                if (!firstRow) firstRow = r;
                buffer_.push_back(v);
            }
            AddSubgroup(firstRow ? firstRow : members.front(), false);
        }
        if (expected <= last) Break();
    }

    void GatherConstantSize(int rows) {
        const int m = std::max(s_.SampleSize, 1);
        const std::vector<int>& members = groupRows_;
        const int total = UsesGroups(layout_) ? static_cast<int>(members.size()) : rows;
        for (int start = 0; start < total; start += m) {
            buffer_.clear();
            const int end = std::min(start + m, total);
            for (int k = start; k < end; ++k) {
                const int r = UsesGroups(layout_) ? members[static_cast<std::size_t>(k)] : k + 1;
                double v;
                if (Selected(r) && Counting(column_, r, v)) buffer_.push_back(v);
            }
            const int firstRow = UsesGroups(layout_) ? members[static_cast<std::size_t>(start)] : start + 1;
            AddSubgroup(firstRow, true);
        }
    }

    const TVarChartSettings& s_;
    TVarChart& chart_;
    int column_;
    int layout_;
    bool transform_ = false;
    const std::vector<std::uint8_t>& selected_;
    const std::vector<int>& groupRows_;
    std::vector<double> buffer_;
};

// The sigma statistics of one set.
struct SetStatistics {
    Extended grandMean = MissingValue; // X-bar
    Extended centre = MissingValue;    // h
    Extended B = MissingValue, w = MissingValue, v = MissingValue, m = MissingValue, u = MissingValue,
             H = MissingValue;
    Extended ao = MissingValue, ap = MissingValue, aq = MissingValue, ar = MissingValue, as = MissingValue;
    int c = 0;
};

// Which of the set statistics the chosen methods and centerlines read.
struct Needs {
    bool B = false, w = false, v = false, m = false, u = false, H = false, ao = false, ap = false, aq = false,
         ar = false, as = false, c = false, medianCentre = false;
};

Needs NeedsOf(const TVarChartSettings& s) {
    Needs n;
    auto method = [&n](int m) {
        switch (m) {
        case kMethodAverageMR:
        case kMethodAverageRange: n.B = true; break;
        case kMethodMedianMR: n.w = true; break;
        case kMethodMedianRange: n.w = n.c = true; break;
        case kMethodStdDev:
        case kMethodStdDevMeans:
        case kMethodStdDevMedians: n.H = true; break;
        case kMethodAverageStdDev: n.v = true; break;
        case kMethodMedianStdDev: n.m = n.c = true; break;
        case kMethodAverageVariance: n.u = true; break;
        case kMethodAverageMRMeans:
        case kMethodAverageMRMedians: n.ao = true; break;
        case kMethodMedianMRMeans:
        case kMethodMedianMRMedians: n.ap = true; break;
        case kMethodAverageMRDispersion: n.aq = true; break;
        case kMethodMedianMRDispersion: n.ar = true; break;
        case kMethodStdDevDispersion: n.as = true; break;
        default: break;
        }
    };
    if (s.LocationChart != kChartNone) method(s.LocationMethod);
    if (s.DispersionChart != kChartNone) {
        method(s.DispersionMethod);
        const bool sd = s.DispersionChart == kChartStdDev || s.DispersionChart == kChartVariance;
        if (s.DispersionCenterline == kCenterDispAverage)
            (sd ? (s.DispersionChart == kChartStdDev ? n.v : n.u) : n.B) = true;
        if (s.DispersionCenterline == kCenterDispMedian) (sd ? n.m : n.w) = true;
    }
    n.medianCentre = s.LocationChart != kChartNone && s.LocationCenterline == kCenterMedian;
    // The location limits of the median methods use w for subgroups of n.
    if (s.LocationMethod == kMethodMedianRange) n.w = true;
    return n;
}

SetStatistics StatisticsOf(const TVarChartSettings& s, const Needs& need, const TChartArray& p,
                           const std::vector<int>& points) {
    SetStatistics st;
    Extended weighted = 0, weights = 0;
    std::vector<double> locations, sigmas, sds, sizes, dispersions;
    const bool wantLocations = need.medianCentre || need.H || need.ao || need.ap;
    const bool wantSigmas = need.B || need.w;
    Extended sigmaSum = 0;
    std::size_t sigmaCount = 0;
    Extended vSum = 0, vWeights = 0, uSum = 0, uWeights = 0;
    int lastC4N = -1;
    Extended c4 = 0;
    for (int i : points) {
        const double n = p(kRowN, i);
        const double loc = p(kRowLocation, i);
        if (Present(loc)) {
            const Extended ni = std::nearbyint(n);
            weighted += ni * p(kRowSubgroupMean, i);
            weights += ni;
            if (wantLocations) locations.push_back(loc);
        }
        const double sigma = p(kRowRangeSigma, i);
        if (wantSigmas && Present(sigma)) {
            sigmaSum += sigma;
            ++sigmaCount;
            if (need.w) sigmas.push_back(sigma);
        }
        const double sd = p(kRowSubgroupSD, i);
        if ((need.v || need.m || need.u) && Present(sd) && Present(n)) {
            const int ni = static_cast<int>(std::nearbyint(n));
            // Nor has one value a standard deviation.
            if (ni >= 2) {
                if (need.m) sds.push_back(sd);
                if (ni != lastC4N) {
                    lastC4N = ni;
                    c4 = C4(ni);
                }
                if (c4 > 0) {
                    vSum += ni * (sd / c4);
                    vWeights += ni;
                }
                uSum += static_cast<Extended>(sd) * sd * (ni - 1);
                uWeights += ni - 1;
            }
        }
        if (need.c && Present(n)) sizes.push_back(n);
        if ((need.aq || need.ar || need.as) && Present(p(kRowDispersion, i)))
            dispersions.push_back(p(kRowDispersion, i));
    }
    if (weights > 0) st.grandMean = weighted / weights;
    if (s.LocationChart != kChartNone) {
        if (s.UseKnownMean && s.LocationCenterline == kCenterKnownMean) {
            st.centre = s.KnownMean;
        } else if (s.LocationCenterline == kCenterMedian) {
            std::vector<double> copy = locations;
            st.centre = Median(copy);
        } else {
            st.centre = st.grandMean;
        }
    }
    if (sigmaCount > 0) st.B = sigmaSum / static_cast<Extended>(sigmaCount);
    if (need.w) st.w = Median(sigmas);
    // Without a subgroup of two or more values there is no estimate (not an estimate of 0).
    st.v = vWeights > 0 ? vSum / vWeights : MissingValue;
    if (need.m) st.m = Median(sds);
    st.u = uWeights > 0 ? uSum / uWeights : MissingValue;
    if (need.H) st.H = StdDevOf(locations);
    const int span = std::max(s.MRCount, 2);
    if (need.ao || need.ap) {
        std::vector<double> r = MovingRanges(locations, span);
        st.ao = MeanOf(r);
        if (need.ap) st.ap = Median(r);
    }
    if (need.aq || need.ar) {
        std::vector<double> rd = MovingRanges(dispersions, span);
        const Extended d2 = D2(span), d4 = D4(span);
        const Extended meanRd = MeanOf(rd);
        st.aq = Present(static_cast<double>(meanRd)) && d2 > 0 ? meanRd / d2 : MissingValue;
        if (need.ar) {
            const Extended medianRd = Median(rd);
            st.ar = Present(static_cast<double>(medianRd)) && d4 > 0 ? medianRd / d4 : MissingValue;
        }
    }
    if (need.as) st.as = StdDevOf(dispersions);
    if (need.c) {
        const Extended c = Median(sizes);
        st.c = Present(static_cast<double>(c)) ? static_cast<int>(std::nearbyint(c)) : 0;
    }
    return st;
}

bool P(Extended x) { return Present(static_cast<double>(x)); }

// The standard error of the plotted location statistic for subgroups of n.
Extended LocationStandardError(const TVarChartSettings& s, const SetStatistics& st, int n) {
    const int span = std::max(s.MRCount, 2);
    const Extended rootN = std::sqrt(static_cast<Extended>(n));
    const TChartKind chart = s.LocationChart;
    auto perChart = [&](Extended sigma) -> Extended {
        if (!P(sigma)) return MissingValue;
        if (chart == kChartX) return sigma;
        if (chart == kChartMean) return sigma / rootN;
        return MedianSEFactor(n, sigma);
    };
    switch (s.LocationMethod) {
    case kMethodAverageMR:
    case kMethodAverageRange: return perChart(st.B);
    case kMethodMedianMR:
    case kMethodMedianRange: {
        const int size = chart == kChartX ? span : n;
        const Extended d4 = D4(size);
        if (!P(st.w) || d4 == 0) return MissingValue;
        return perChart(st.w * D2(size) / d4);
    }
    case kMethodStdDev: return chart == kChartX ? st.H : MissingValue;
    case kMethodAverageStdDev: return chart == kChartX ? MissingValue : perChart(st.v);
    case kMethodMedianStdDev:
        return chart == kChartX || !P(st.m) ? MissingValue : perChart(SigmaFromMedianSD(n, st.m));
    case kMethodAverageVariance:
        return chart == kChartX ? MissingValue : perChart(P(st.u) ? std::sqrt(st.u) : MissingValue);
    case kMethodAverageMRMeans:
    case kMethodAverageMRMedians: {
        const Extended d2 = D2(span);
        return chart == kChartX || !P(st.ao) || d2 == 0 ? MissingValue : st.ao / d2;
    }
    case kMethodMedianMRMeans:
    case kMethodMedianMRMedians: {
        const Extended d4 = D4(span);
        return chart == kChartX || !P(st.ap) || d4 == 0 ? MissingValue : st.ap / d4;
    }
    case kMethodStdDevMeans:
    case kMethodStdDevMedians: return chart == kChartX ? MissingValue : st.H;
    case kMethodKnownSigma: return KnownSigmaGiven(s) ? perChart(s.KnownSigma) : MissingValue;
    default: return MissingValue;
    }
}

// The dispersion sigma U of the method (missing for the moving-range-of-dispersion methods).
Extended DispersionSigma(const TVarChartSettings& s, const SetStatistics& st) {
    const int span = std::max(s.MRCount, 2);
    switch (s.DispersionMethod) {
    case kMethodKnownSigma: return KnownSigmaGiven(s) ? s.KnownSigma : MissingValue;
    case kMethodAverageMR:
    case kMethodAverageRange: return st.B;
    case kMethodMedianMR: return P(st.w) && D4(span) > 0 ? st.w * D2(span) / D4(span) : MissingValue;
    case kMethodStdDev: return st.H;
    case kMethodMedianRange: return P(st.w) && st.c >= 2 ? st.w * D2(st.c) / D4(st.c) : MissingValue;
    case kMethodAverageStdDev: return st.v;
    case kMethodMedianStdDev: return P(st.m) && st.c >= 2 ? SigmaFromMedianSD(st.c, st.m) : MissingValue;
    case kMethodAverageVariance: return P(st.u) ? std::sqrt(st.u) : MissingValue;
    default: return MissingValue;
    }
}

bool IsDispersionMROf(int method) {
    return method >= kMethodAverageMRDispersion && method <= kMethodStdDevDispersion;
}

} // namespace

std::string FillLimitName(int index, std::string_view chartName) {
    if (index < 0 || index >= static_cast<int>(LimitMethodNames.size())) return {};
    std::string name = LimitMethodNames[static_cast<std::size_t>(index)];
    if (name.empty() || name.back() != '@') return name;
    name.pop_back();
    name += chartName;
    if (index >= 22 && index <= 24) {
        if (name.find("of") != std::string::npos && name.back() != 's') name += 's';
    } else if (IsDispersionMROf(index)) {
        // "Average MR of Std Dev (s)" becomes "Average MR of Std Dev ".
        const std::size_t open = name.find('(');
        if (open != std::string::npos) name.erase(open, 5);
    }
    return name;
}

int DataLayoutFromChoices(bool chartGroups, bool severalMeasures, bool sampleVariable, bool constantSize,
                          bool subgroupsInRows) {
    return DataLayoutFromCode((chartGroups ? 10000 : 0) + (severalMeasures ? 1000 : 0) +
                              (sampleVariable ? 100 : 0) + (constantSize ? 10 : 0) +
                              (subgroupsInRows ? 1 : 0));
}

int DataLayoutFromCode(int code) {
    switch (code) {
    case 0: return 1;
    case 10: return 4;
    case 100: return 3;
    case 1000: return 5;
    case 1001: return 2;
    case 1010: return 7;
    case 1100: return 6;
    case 10000: return 8;
    case 10010: return 11;
    case 10100: return 10;
    case 11000: return 12;
    case 11001: return 9;
    case 11010: return 14;
    case 11100: return 13;
    default: return 0;
    }
}

void TChartArray::Reserve(int points) {
    const auto size = static_cast<std::size_t>(std::max(points, 0)) + 3;
    for (auto& row : rows_)
        if (row.size() < size) row.resize(size, MissingValue);
}

namespace {

// The rows of one half of the chart: its limits, centerline and standard error.
struct HalfRows {
    int lcl, cl, ucl, se;
};
constexpr HalfRows kLocationRows{kRowLocLCL, kRowLocCL, kRowLocUCL, kRowLocSE};
constexpr HalfRows kDispersionRows{kRowDispLCL, kRowDispCL, kRowDispUCL, kRowDispSE};

// The limits of one subgroup size.
struct HalfLimits {
    double lcl = MissingValue, ucl = MissingValue, se = MissingValue;
};

// The limit rows are written through PutLimit, which keeps their extremes as it goes: a million
// points need not be read again to find them.
void ResetLimitExtremes() {
    for (auto& e : LimitExtremes)
        e = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
}

void PutLimit(TChartArray& p, int row, int i, double x) {
    p(row, i) = x;
    if (x == MissingValue) return;
    auto& [lo, hi] = LimitExtremes[static_cast<std::size_t>(row)];
    lo = std::min(lo, x);
    hi = std::max(hi, x);
}

// The passes that follow write every point of the rows they compute (missing where nothing can
// be formed); the other limit rows start missing here. Writing each row once keeps a chart of a
// million points within memory speed.
void ClearUnwrittenLimitRows(const TVarChartSettings& s, TChartArray& p, int count) {
    const bool userLoc = s.LocationMethod == kMethodUserDefined && s.LocationChart != kChartNone;
    const bool userDisp = s.DispersionMethod == kMethodUserDefined && s.DispersionChart != kChartNone;
    const bool both = s.LocationMethod == kMethodUserDefined && s.DispersionMethod == kMethodUserDefined;
    const bool locPass = s.LocationChart != kChartNone && s.LocationMethod != kMethodUserDefined;
    const bool dispCentre = s.DispersionChart != kChartNone && s.DispersionMethod != kMethodNone &&
                            s.DispersionMethod != kMethodUserDefined;
    const bool dispPass = s.DispersionChart != kChartNone && s.DispersionMethod > kMethodUserDefined;
    auto fillUnless = [&](int row, bool written) {
        if (!written) p.Fill(row, 1, count, MissingValue);
    };
    for (int row : {kRowLocLCL, kRowLocUCL, kRowLocSE})
        fillUnless(row, !both && (userLoc || locPass));
    fillUnless(kRowLocCL, userLoc || (!both && s.LocationMethod != kMethodUserDefined));
    for (int row : {kRowDispLCL, kRowDispUCL, kRowDispSE})
        fillUnless(row, userDisp || (!both && dispPass));
    fillUnless(kRowDispCL, userDisp || (!both && dispCentre));
    fillUnless(kRowSigma, !both);
    fillUnless(kRowGrandMean, !both);
}

// The user's limits on every point of one half; a limit that is no finite number counts as not
// given. The standard error is the one the limits imply for k standard errors.
void WriteUserLimits(TChartArray& p, int count, const HalfRows& rows, double lcl, double cl, double ucl,
                     double k) {
    auto given = [](double x) { return std::isfinite(x) ? x : MissingValue; };
    lcl = given(lcl);
    cl = given(cl);
    ucl = given(ucl);
    const double se = UserStandardError(lcl, cl, ucl, k);
    for (int i = 1; i <= count; ++i) {
        PutLimit(p, rows.lcl, i, lcl);
        PutLimit(p, rows.cl, i, cl);
        PutLimit(p, rows.ucl, i, ucl);
        p(rows.se, i) = se;
    }
}

// The points of each set met, in order of the set numbers; each set is computed on its own.
std::map<double, std::vector<int>> PointsBySet(const TChartArray& p, int count) {
    std::map<double, std::vector<int>> sets;
    for (int i = 1; i <= count; ++i)
        sets[p(kRowSet, i)].push_back(i);
    return sets;
}

// The number of values of point i (0 when missing).
int PointSize(const TChartArray& p, int i) {
    return Present(p(kRowN, i)) ? static_cast<int>(std::nearbyint(p(kRowN, i))) : 0;
}

// The dispersion centerline for subgroups of n by the centerline choice.
double DispersionCentre(const TVarChartSettings& s, const SetStatistics& st, int n) {
    const int size = s.DispersionChart == kChartMovingRange ? std::max(s.MRCount, 2) : n;
    Extended cl = MissingValue;
    const int choice = s.DispersionCenterline;
    switch (s.DispersionChart) {
    case kChartRange:
    case kChartMovingRange:
        if (choice == kCenterDispAverage && P(st.B))
            cl = st.B * D2(size);
        else if (choice == kCenterDispMedian && P(st.w))
            cl = st.w * D2(size);
        else if (choice == kCenterKnownSigma && KnownSigmaGiven(s))
            cl = D2(size) * s.KnownSigma;
        break;
    case kChartStdDev:
        if (choice == kCenterDispAverage && P(st.v))
            cl = C4(n) * st.v;
        else if (choice == kCenterDispMedian)
            cl = st.m;
        else if (choice == kCenterKnownSigma && KnownSigmaGiven(s))
            cl = C4(n) * s.KnownSigma; // the expected s, as the limits are centred
        break;
    case kChartVariance:
        if (choice == kCenterDispAverage)
            cl = st.u;
        else if (choice == kCenterDispMedian && P(st.m))
            cl = st.m * st.m;
        else if (choice == kCenterKnownSigma && KnownSigmaGiven(s))
            cl = static_cast<Extended>(s.KnownSigma) * s.KnownSigma;
        break;
    default: break;
    }
    return P(cl) ? Checked(cl) : MissingValue;
}

// The centerlines of one set and its grand mean. The dispersion centerline depends on the
// subgroup size only, so it is formed again only when the size changes.
void WriteCentrelines(const TVarChartSettings& s, const SetStatistics& st, TChartArray& p,
                      const std::vector<int>& points) {
    const bool userLocation = s.LocationMethod == kMethodUserDefined;
    const bool dispersionCentre = s.DispersionChart != kChartNone && s.DispersionMethod != kMethodNone &&
                                  s.DispersionMethod != kMethodUserDefined;
    int lastN = -1;
    double centre = MissingValue;
    for (int i : points) {
        if (!userLocation)
            PutLimit(p, kRowLocCL, i, s.LocationMethod == kMethodNone ? MissingValue : Checked(st.centre));
        p(kRowGrandMean, i) = Checked(st.grandMean);
        if (!dispersionCentre) continue;
        const int n = PointSize(p, i);
        if (n != lastN) {
            lastN = n;
            centre = DispersionCentre(s, st, n);
        }
        PutLimit(p, kRowDispCL, i, centre);
    }
}

// The location limits of one set: its centerline plus and minus k standard errors of the
// plotted statistic.
void WriteLocationLimits(const TVarChartSettings& s, const SetStatistics& st, TChartArray& p,
                         const std::vector<int>& points) {
    const double k = s.StdErrors;
    int lastN = -1;
    double se = MissingValue;
    for (int i : points) {
        if (!Present(p(kRowN, i))) continue;
        const int n = static_cast<int>(std::nearbyint(p(kRowN, i)));
        if (n != lastN) {
            lastN = n;
            const Extended r = LocationStandardError(s, st, n);
            se = P(r) ? Checked(r) : MissingValue;
        }
        p(kRowLocSE, i) = se;
        const double h = p(kRowLocCL, i);
        if (!Present(se) || !Present(h)) {
            PutLimit(p, kRowLocLCL, i, MissingValue);
            PutLimit(p, kRowLocUCL, i, MissingValue);
            continue;
        }
        const double lcl = Checked(static_cast<Extended>(h) - k * static_cast<Extended>(se));
        PutLimit(p, kRowLocLCL, i, s.PositiveLimitsOnly && lcl < 0 ? MissingValue : lcl);
        PutLimit(p, kRowLocUCL, i, Checked(static_cast<Extended>(h) + k * static_cast<Extended>(se)));
    }
}

// Limits centre ± k·t of a dispersion statistic; a lower limit that is not positive is none.
HalfLimits SymmetricDispersionLimits(Extended centre, Extended t, double k) {
    HalfLimits l;
    l.ucl = Checked(centre + k * t);
    const double low = Checked(centre - k * t);
    l.lcl = Present(low) && low > 0 ? low : MissingValue;
    l.se = Checked(t);
    return l;
}

// The dispersion limits for subgroups of n around the centerline `centre`, from the dispersion
// sigma U, or from the moving ranges of the dispersion statistic. The variance chart takes the
// chi-square quantiles of tail alpha (the normal tail beyond k).
HalfLimits DispersionLimits(const TVarChartSettings& s, const SetStatistics& st, Extended U, int n,
                            double centre, double alpha) {
    const double k = s.StdErrors;
    const int span = std::max(s.MRCount, 2);
    if (IsDispersionMROf(s.DispersionMethod)) {
        const Extended t = s.DispersionMethod == kMethodAverageMRDispersion  ? st.aq
                           : s.DispersionMethod == kMethodMedianMRDispersion ? st.ar
                                                                             : st.as;
        if (P(t) && Present(centre)) return SymmetricDispersionLimits(centre, t, k);
        return {};
    }
    if (!P(U)) return {};
    Extended o = MissingValue, t = MissingValue;
    switch (s.DispersionChart) {
    case kChartMovingRange:
        o = U * D2(span);
        t = D3Times(span, U);
        break;
    case kChartRange:
        o = U * D2(n);
        t = D3Times(n, U);
        break;
    case kChartStdDev: {
        const Extended c4 = C4(n);
        o = U * c4;
        t = U * std::sqrt(std::max<Extended>(0, 1 - c4 * c4));
        break;
    }
    case kChartVariance: {
        HalfLimits l;
        if (n >= 2) {
            const Extended df = n - 1;
            l.ucl = Checked(U * U * InvChiSq(1, alpha, df) / df);
            const double low = Checked(U * U * InvChiSq(1, 1 - alpha, df) / df);
            l.lcl = Present(low) && low > 0 ? low : MissingValue;
            l.se = Present(l.ucl) && Present(centre) && k != 0 ? Checked((l.ucl - centre) / k) : MissingValue;
        }
        return l;
    }
    default: break;
    }
    if (P(o) && P(t)) return SymmetricDispersionLimits(o, t, k);
    return {};
}

// The dispersion limits of one set, formed again only when the subgroup size changes.
void WriteDispersionLimits(const TVarChartSettings& s, const SetStatistics& st, Extended U, double alpha,
                           TChartArray& p, const std::vector<int>& points) {
    int lastN = -1;
    HalfLimits l;
    for (int i : points) {
        if (!Present(p(kRowN, i))) continue;
        const int n = static_cast<int>(std::nearbyint(p(kRowN, i)));
        if (n != lastN) {
            lastN = n;
            l = DispersionLimits(s, st, U, n, p(kRowDispCL, i), alpha);
        }
        PutLimit(p, kRowDispLCL, i, l.lcl);
        PutLimit(p, kRowDispUCL, i, l.ucl);
        p(kRowDispSE, i) = l.se;
    }
}

// The sigma of individual values of one set: the dispersion sigma U when the dispersion limits
// come from it, else the one the location standard error implies. sigmaMethod becomes the method
// it came from.
void WriteSigma(const TVarChartSettings& s, Extended U, bool fromDispersion, TChartArray& p,
                const std::vector<int>& points, int& sigmaMethod) {
    for (int i : points) {
        if (fromDispersion) {
            p(kRowSigma, i) = P(U) ? Checked(U) : MissingValue;
            sigmaMethod = s.DispersionMethod;
        } else if (Present(p(kRowLocSE, i)) && Present(p(kRowN, i))) {
            p(kRowSigma, i) = Checked(std::sqrt(static_cast<Extended>(p(kRowN, i))) * p(kRowLocSE, i));
            sigmaMethod = s.LocationMethod;
        } else {
            p(kRowSigma, i) = MissingValue;
        }
    }
}

} // namespace

void ComputeChartLimits() {
    const TVarChartSettings& s = VarChartSettings;
    TVarChart& chart = VarChart;
    TChartArray& p = chart.Points;
    const int count = chart.Count;
    ResetLimitExtremes();
    ClearUnwrittenLimitRows(s, p, count);
    const bool userLocation = s.LocationMethod == kMethodUserDefined;
    const bool userDispersion = s.DispersionMethod == kMethodUserDefined;
    if (userLocation && s.LocationChart != kChartNone)
        WriteUserLimits(p, count, kLocationRows, s.UserLocLCL, s.UserLocCL, s.UserLocUCL, s.StdErrors);
    if (userDispersion && s.DispersionChart != kChartNone)
        WriteUserLimits(p, count, kDispersionRows, s.UserDispLCL, s.UserDispCL, s.UserDispUCL, s.StdErrors);
    chart.SigmaMethod = 0;
    if (userLocation && userDispersion) return;

    const double alpha = static_cast<double>(NormalProb(1, s.StdErrors));
    const bool dispersionLimits = s.DispersionChart != kChartNone && s.DispersionMethod > kMethodUserDefined;
    const Needs need = NeedsOf(s);
    for (const auto& [set, points] : PointsBySet(p, count)) {
        const SetStatistics st = StatisticsOf(s, need, p, points);
        WriteCentrelines(s, st, p, points);
        if (s.LocationChart != kChartNone && !userLocation) WriteLocationLimits(s, st, p, points);
        const Extended U = DispersionSigma(s, st);
        if (dispersionLimits) WriteDispersionLimits(s, st, U, alpha, p, points);
        WriteSigma(s, U, dispersionLimits && !IsDispersionMROf(s.DispersionMethod), p, points,
                   chart.SigmaMethod);
    }
}

namespace {

// The rows every chart of a list shares: Process If's selection and the rows of each chart group.
struct ChartRows {
    std::vector<std::uint8_t> selected;
    // groupRows[g]: the rows of chart group g in data order.
    std::vector<std::vector<int>> groupRows;

    void Build(const TVarChartSettings& s, int onlyGroup) {
        const int rows = DataTable().RowCount();
        SelectRows(rows, selected);
        groupRows.clear();
        if (!UsesGroups(s.DataLayout)) return;
        groupRows.resize(GroupSort.Code.size());
        for (int r = 1; r <= rows && static_cast<std::size_t>(r) < RowGroupCode.size(); ++r) {
            const std::int32_t code = RowGroupCode[static_cast<std::size_t>(r)];
            // The codes of the groups are sorted: a binary search finds the row's group.
            const auto at = std::lower_bound(GroupSort.Code.begin() + 1, GroupSort.Code.end(), code);
            if (at == GroupSort.Code.end() || *at != code) continue;
            const auto g = static_cast<std::size_t>(at - GroupSort.Code.begin());
            if (onlyGroup == 0 || static_cast<int>(g) == onlyGroup) groupRows[g].push_back(r);
        }
    }
    const std::vector<int>& RowsOf(int group) const {
        static const std::vector<int> none;
        return group >= 0 && static_cast<std::size_t>(group) < groupRows.size()
                   ? groupRows[static_cast<std::size_t>(group)]
                   : none;
    }
};

void ComputeChartFrom(const ChartRows& rows, int column, int group);

} // namespace

void ComputeChart(int column, int group) {
    if (ValuesStale) DataList.RebuildValues();
    ChartRows rows;
    rows.Build(VarChartSettings, group);
    ComputeChartFrom(rows, column, group);
}

std::vector<double> ChartSetValues(int set) {
    const TVarChart& chart = VarChart;
    std::vector<double> values;
    if (chart.PointValueEnd.size() < static_cast<std::size_t>(chart.Count) + 1) return values;
    for (int i = 1; i <= chart.Count; ++i) {
        if (chart.Points(kRowSet, i) != set) continue;
        const auto from = chart.PointValues.begin() +
                          static_cast<std::ptrdiff_t>(chart.PointValueEnd[static_cast<std::size_t>(i) - 1]);
        const auto to = chart.PointValues.begin() +
                        static_cast<std::ptrdiff_t>(chart.PointValueEnd[static_cast<std::size_t>(i)]);
        values.insert(values.end(), from, to);
    }
    return values;
}

namespace {

// A method that estimates sigma from the chart's own values.
bool EstimatesSigma(int method) { return method >= kMethodAverageMR; }
bool UsesSubgroupSpread(int method) {
    return method == kMethodAverageRange || method == kMethodMedianRange || method == kMethodAverageStdDev ||
           method == kMethodMedianStdDev || method == kMethodAverageVariance;
}

// What the chart cannot show by its points alone: values the transform left out, and sets
// whose limits need a sigma estimate that their values cannot give.
void WriteChartNotes(TVarChart& chart) {
    const TVarChartSettings& s = VarChartSettings;
    chart.Notes.clear();
    if (chart.TransformErrors > 0)
        chart.Notes.push_back(std::to_string(chart.TransformErrors) +
                              (chart.TransformErrors == 1 ? " value" : " values") +
                              " outside the transform's domain left out (" + TransformText() + ")");
    const bool location = s.LocationChart != kChartNone && EstimatesSigma(s.LocationMethod);
    const bool dispersion = s.DispersionChart != kChartNone && EstimatesSigma(s.DispersionMethod);
    if (!location && !dispersion) return;
    const TChartArray& p = chart.Points;
    std::map<double, bool> estimated;
    for (int i = 1; i <= chart.Count; ++i) {
        bool& has = estimated[p(kRowSet, i)];
        has = has || (location && Present(p(kRowLocSE, i))) || (dispersion && Present(p(kRowDispSE, i)));
    }
    const bool subgroups =
        !IsIndividual(s.DataLayout) && ((location && UsesSubgroupSpread(s.LocationMethod)) ||
                                        (dispersion && UsesSubgroupSpread(s.DispersionMethod)));
    for (const auto& [set, has] : estimated) {
        if (has) continue;
        std::string note = estimated.size() > 1 ? "Set " + FormatCellNumber(set) + ": " : std::string();
        note += subgroups ? "No subgroup has two or more values: no sigma estimate, no limits"
                          : "Too few points for a sigma estimate: no limits";
        chart.Notes.push_back(std::move(note));
    }
}

void ComputeChartFrom(const ChartRows& rows, int column, int group) {
    TVarChart& chart = VarChart;
    chart.Column = column;
    chart.Group = group;
    PointGatherer(VarChartSettings, chart, column, rows.selected, rows.RowsOf(group)).Run();
    for (int row = 0; row < kChartRows; ++row) {
        chart.Points(row, chart.Count + 1) = MissingValue;
        chart.Points(row, chart.Count + 2) = MissingValue;
    }
    chart.LowSet = chart.HighSet = 0;
    TChartArray& p = chart.Points;
    for (int i = 1; i <= chart.Count; ++i) {
        const int set = static_cast<int>(p(kRowSet, i));
        chart.LowSet = i == 1 ? set : std::min(chart.LowSet, set);
        chart.HighSet = i == 1 ? set : std::max(chart.HighSet, set);
    }
    // The last point is never followed by a break.
    if (chart.Count > 0) p(kRowBreak, chart.Count) = 0;
    ComputeChartLimits();

    const TVarChartSettings& s = VarChartSettings;
    std::array<const double*, kChartRows> rowPointers{};
    for (int row = 0; row < kChartRows; ++row)
        rowPointers[static_cast<std::size_t>(row)] = p.Row(row);
    const TPointTableView view{rowPointers, static_cast<std::size_t>(p.Capacity())};
    SizeControlCodes(chart.Count);
    if (s.LocationChart != kChartNone)
        RunControlTests(view, chart.Count, kRowSet, 0, false, kRowLocSE, kRowBreak, kRowLocUCL, kRowLocCL,
                        kRowLocLCL, kRowLocation);
    if (s.DispersionChart != kChartNone)
        RunControlTests(view, chart.Count, kRowSet, 1, s.DispersionChart == kChartMovingRange, kRowDispSE,
                        kRowBreak, kRowDispUCL, kRowDispCL, kRowDispLCL, kRowDispersion);

    // Extremes of rows 1-8 after the last point.
    for (int row = kRowLocation; row <= kRowDispUCL; ++row) {
        double lo, hi;
        if (row <= kRowDispersion) {
            // Without branches on the data: a missing cell simply never wins.
            const double* cells = p.Row(row);
            lo = std::numeric_limits<double>::infinity();
            hi = -lo;
            for (int i = 1; i <= chart.Count; ++i) {
                const double x = cells[i];
                const bool present = x != MissingValue;
                lo = present && x < lo ? x : lo;
                hi = present && x > hi ? x : hi;
            }
        } else {
            std::tie(lo, hi) = LimitExtremes[static_cast<std::size_t>(row)];
        }
        p(row, chart.Count + 1) = hi >= lo ? lo : MissingValue;
        p(row, chart.Count + 2) = hi >= lo ? hi : MissingValue;
    }
    chart.Breaks = 0;
    for (int i = 1; i <= chart.Count; ++i)
        chart.Breaks += p(kRowBreak, i) == 1;
    WriteChartNotes(chart);
}

} // namespace

namespace {

// Set by BuildChartList when it left out a chart whose values do not fill one subgroup.
bool SmallerThanASubgroup = false;

// Subgroups of a constant size, and fewer values than one subgroup holds: no chart to draw.
bool LessThanOneSubgroup() {
    const TVarChartSettings& s = VarChartSettings;
    if (!IsConstantSize(s.DataLayout)) return false;
    double values = 0;
    for (int i = 1; i <= VarChart.Count; ++i)
        values += VarChart.Points(kRowN, i);
    if (values >= s.SampleSize) return false;
    SmallerThanASubgroup = true;
    return true;
}

} // namespace

void BuildChartList() {
    StatErrorCode = 1;
    if (ValuesStale) DataList.RebuildValues();
    ChartRows rows;
    rows.Build(VarChartSettings, 0);
    const TVarChartSettings& s = VarChartSettings;
    TVarChart& chart = VarChart;
    chart.ChartList.clear();
    // Without a chart that has points, no chart is shown.
    chart.Count = 0;
    const int layout = s.DataLayout;
    if (layout == 0) return;
    const TDataTable& table = DataTable();
    std::vector<int> columns;
    if (IsRowSubgroups(layout) || layout == 1 || layout == 3 || layout == 4 || layout == 8 || layout == 10 ||
        layout == 11) {
        columns.push_back(s.RunInfo.FirstMeasure);
    } else {
        const int last = std::min(s.RunInfo.LastMeasure, table.ColumnCount());
        for (int c = std::max(s.RunInfo.FirstMeasure, 1); c <= last; ++c)
            if (s.Measures[static_cast<std::size_t>(c)]) columns.push_back(c);
    }
    // Only groups the grouping of the rows knows can have points.
    const int knownGroups = static_cast<int>(GroupSort.Code.size()) - 1;
    const int firstGroup = UsesGroups(layout) ? std::max(s.RunInfo.FirstGroup, 1) : 0;
    const int lastGroup = UsesGroups(layout) ? std::min(s.RunInfo.LastGroup, knownGroups) : 0;
    const std::string span =
        table.ColumnName(s.RunInfo.FirstMeasure) + ".." + table.ColumnName(s.RunInfo.LastMeasure);
    SmallerThanASubgroup = false;
    for (int column : columns) {
        for (int group = firstGroup; group <= lastGroup; ++group) {
            ComputeChartFrom(rows, column, group);
            if (chart.Count == 0 || LessThanOneSubgroup()) continue;
            TChartListEntry entry{{}, column, group};
            const std::string label = UsesGroups(layout) ? GroupLabel(group, s.RunInfo) : std::string();
            if (layout == 2)
                entry.Name = span;
            else if (layout == 9)
                entry.Name = span + "(" + label + ")";
            else if (layout >= 12)
                entry.Name = table.ColumnName(column) + "(" + label + ")";
            else if (layout == 8 || layout == 10 || layout == 11)
                entry.Name = label;
            else
                entry.Name = table.ColumnName(column);
            chart.ChartList.push_back(std::move(entry));
        }
    }
    if (!chart.ChartList.empty()) {
        ComputeChartFrom(rows, chart.ChartList.front().Column, chart.ChartList.front().Group);
        StatErrorCode = 0;
    }
}

std::optional<double> ReadSetupNumber(TSetupNumber kind, std::string_view text) {
    double value = 0;
    bool ok = ConvertNumber(text, value) && std::isfinite(value);
    if (ok && kind != TSetupNumber::KnownMean) ok = value > 0;
    if (ok) return value;
    StatErrorCode = 1;
    return std::nullopt;
}

bool ReadUserLimits(const std::array<bool, 3>& checked, const std::array<std::string, 3>& texts,
                    std::array<double, 3>& values) {
    for (std::size_t i = 0; i < 3; ++i) {
        values[i] = MissingValue;
        if (!checked[i]) continue;
        double value = 0;
        if (!ConvertNumber(texts[i], value)) {
            StatErrorCode = 1;
            return false;
        }
        values[i] = value;
    }
    const double ucl = values[0], cl = values[1], lcl = values[2];
    const bool wrongOrder = (NotMissing(cl) && NotMissing(lcl) && cl < lcl) ||
                            (NotMissing(cl) && NotMissing(ucl) && cl > ucl) ||
                            (NotMissing(lcl) && NotMissing(ucl) && lcl > ucl);
    if (wrongOrder) StatErrorCode = 1;
    return !wrongOrder;
}

std::string EmptyChartListReason() {
    const TVarChartSettings& s = VarChartSettings;
    const int layout = s.DataLayout;
    if (layout == 0) return "No chart for these columns and this layout";
    if (ValuesStale) DataList.RebuildValues();
    const TDataTable& table = DataTable();
    const int rows = table.RowCount();
    ChartRows chartRows;
    chartRows.Build(s, 0);
    // A row counts when Process If selects it and, with chart groups, it belongs to one.
    std::vector<std::uint8_t> counting = chartRows.selected;
    if (UsesGroups(layout)) {
        std::vector<std::uint8_t> grouped(counting.size(), 0);
        for (const std::vector<int>& members : chartRows.groupRows)
            for (int r : members)
                if (static_cast<std::size_t>(r) < grouped.size()) grouped[static_cast<std::size_t>(r)] = 1;
        for (std::size_t r = 0; r < counting.size(); ++r)
            counting[r] = counting[r] && grouped[r];
    }
    const auto numbers = [&](int col) {
        if (col < 1 || col > table.ColumnCount() || static_cast<std::size_t>(col) >= Values.size() ||
            (col <= kMaxColumns && DataList.IsText[static_cast<std::size_t>(col)]))
            return std::pair{0, 0};
        const auto& values = Values[static_cast<std::size_t>(col)];
        int any = 0, valid = 0;
        for (int r = 1; r <= rows && static_cast<std::size_t>(r) < values.size(); ++r) {
            const double v = values[static_cast<std::size_t>(r)];
            if (!Present(v) || !std::isfinite(v)) continue;
            ++any;
            if (static_cast<std::size_t>(r) < counting.size() && counting[static_cast<std::size_t>(r)] &&
                IsValidValue(v))
                ++valid;
        }
        return std::pair{any, valid};
    };
    std::vector<int> columns;
    for (int c = std::max(s.RunInfo.FirstMeasure, 1); c <= std::min(s.RunInfo.LastMeasure, kMaxColumns); ++c)
        if (s.Measures[static_cast<std::size_t>(c)]) columns.push_back(c);
    std::string noNumbers, excluded;
    int anyNumbers = 0, validValues = 0, largestColumn = 0;
    for (int c : columns) {
        const auto [any, valid] = numbers(c);
        if (any == 0 && noNumbers.empty()) noNumbers = table.ColumnName(c);
        if (any > 0 && valid == 0 && excluded.empty()) excluded = table.ColumnName(c);
        anyNumbers += any;
        validValues += valid;
        largestColumn = std::max(largestColumn, valid);
    }
    if (columns.empty()) return "No measure column chosen";
    if (anyNumbers == 0) return "No numeric values in column " + noNumbers;
    if (validValues == 0)
        return "Every value of column " + excluded + " is excluded by Process If or Missing When";
    if (IsSampleVariable(layout) && numbers(s.SampleSizeColumn).first == 0)
        return "No numeric values in column " + table.ColumnName(s.SampleSizeColumn) + " (sample variable)";
    if (IsConstantSize(layout) && (SmallerThanASubgroup || s.SampleSize > largestColumn))
        return "Sample size larger than the data";
    return "No values form a point with these settings";
}

void ResetVarChart() {
    VarChartSettings = TVarChartSettings{};
    VarChart.Count = 0;
    VarChart.ChartList.clear();
    VarChart.PointTexts.clear();
    VarChart.PointValues.clear();
    VarChart.PointValueEnd.clear();
    VarChart.LowSet = VarChart.HighSet = 0;
    VarChart.Column = VarChart.Group = 0;
    VarChart.SigmaMethod = 0;
    VarChart.Breaks = 0;
    VarChart.TransformErrors = 0;
    VarChart.Notes.clear();
}

} // namespace kivspc
