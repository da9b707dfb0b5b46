// SPDX-License-Identifier: GPL-3.0-or-later
#include "capability/CapabilityPlot.h"

#include "app/MissingValue.h"
#include "app/NumberFormat.h"
#include "app/SharedState.h"
#include "app/TextTools.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Extract.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "data/Transfrm.h"
#include "stats/Capability.h"
#include "stats/ConfidenceCorrelation.h"
#include "stats/ControlFactors.h"
#include "stats/Descriptive.h"
#include "stats/Fit.h"
#include "stats/Normality.h"
#include "stats/SampleBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <utility>
#include <vector>

namespace kivspc {

void ComputeRowStatistics() {
    if (ValuesStale) DataList.RebuildValues();
    EnsureRowStatisticColumns();
    const TDataTable& table = DataTable();
    const int columns = table.ColumnCount(), rows = table.RowCount();
    if (Values.size() < static_cast<std::size_t>(columns) + 4) return;
    std::vector<int> measures;
    for (int c = 1; c <= std::min(columns, kMaxColumns); ++c)
        if (DataList.Selected[static_cast<std::size_t>(c)]) measures.push_back(c);
    std::vector<std::uint8_t> selected;
    SelectRows(rows, selected);
    auto& mean = Values[static_cast<std::size_t>(columns) + 1];
    auto& sd = Values[static_cast<std::size_t>(columns) + 2];
    auto& count = Values[static_cast<std::size_t>(columns) + 3];
    for (int r = 1; r <= rows; ++r) {
        const auto row = static_cast<std::size_t>(r);
        mean[row] = sd[row] = MissingValue;
        count[row] = 0;
        if (row >= selected.size() || !selected[row]) continue;
        // Welford's running mean and sum of squares: one pass, no cancellation.
        int k = 0;
        long double m = 0, squares = 0;
        for (int c : measures) {
            const auto& cells = Values[static_cast<std::size_t>(c)];
            double v = row < cells.size() ? cells[row] : MissingValue;
            if (!IsValidValue(v)) continue;
            if (TransformRec.Kind != kTransformNone) {
                const double t = TransformValue(v);
                if (TransformRec.ErrorFlag) {
                    ReportTransformError();
                } else {
                    v = t;
                }
            }
            ++k;
            const long double delta = v - m;
            m += delta / k;
            squares += delta * (v - m);
        }
        count[row] = k;
        if (k >= 1) mean[row] = static_cast<double>(m);
        if (k >= 2) sd[row] = static_cast<double>(std::sqrt(squares / (k - 1)));
    }
}

// ---------------------------------------------------------------------------------------------
// The analysis
// ---------------------------------------------------------------------------------------------

namespace {

bool IsGroupValueRun(int runType) {
    return runType == kRunByGroupValue || runType == kRunColumnsByGroupValue ||
           runType == kRunRowMeansByGroupValue || runType == kRunEachByGroupValue;
}

bool IsPerMeasureRun(int runType) {
    return runType == kRunEachByGroupValue || runType == kRunEachByCombination;
}

bool IsRowMeanRun(int runType) {
    return runType == kRunRowMeans || runType == kRunRowMeansByGroupValue ||
           runType == kRunRowMeansByCombination;
}

// Runs whose groups hold every selected column of their rows.
bool IsAllColumnsRun(int runType) {
    return runType == kRunPooled || runType == kRunColumnsByGroupValue || runType == kRunColumnsByCombination;
}

// The measure marks of this analysis: other windows mark their own columns in between.
void MarkMeasures(const TCapabilityAnalysis& a) {
    DataList.Selected = {};
    for (int c : a.Config.MeasureColumns)
        if (c >= 1 && c <= kMaxColumns) DataList.Selected[static_cast<std::size_t>(c)] = 1;
}

std::string GroupColumnNames(const TRunInfo& run) {
    std::string names;
    for (int i = 1; i <= std::clamp<int>(run.GroupColumnCount, 0, kMaxColumns); ++i) {
        if (i > 1) names += ", ";
        names += ColumnLabel(run.GroupColumns[static_cast<std::size_t>(i)]);
    }
    return names;
}

void ParseGroupKeys(TCapabilityAnalysis& a) {
    a.Groups.clear();
    for (std::size_t i = 0; i < GroupKeys.size() && i < GroupLabels.size(); ++i) {
        TCapabilityGroup g;
        g.Label = GroupLabels[i];
        const std::string& key = GroupKeys[i];
        const auto comma = key.find(',');
        if (comma == std::string::npos) {
            g.Position = std::stoi(key);
        } else {
            g.Measure = std::stoi(key.substr(0, comma));
            g.Position = std::stoi(key.substr(comma + 1));
        }
        a.Groups.push_back(std::move(g));
    }
    a.HasAll = a.Groups.size() > 1;
    a.Selected = 0;
}

} // namespace

std::vector<std::string> TCapabilityAnalysis::ListTexts() const {
    std::vector<std::string> texts;
    if (HasAll) texts.emplace_back("(All)");
    for (const auto& g : Groups)
        texts.push_back(g.Label);
    return texts;
}

void OpenCapabilityAnalysis(TCapabilityAnalysis& a) {
    a.Run = CapabilityRun;
    a.Config = CapabilityConfig;
    a.Groups.clear();
    a.HasAll = false;
    a.Selected = 0;
    a.PotentialSigma = a.StreamSigma = MissingValue;
    a.GroupsStale = a.ListRequested = true;
    SelectCurrentData(a);
    FindMinMax();
    a.OverallMin = SampleN > 0 ? SampleStats.Minimum : 0;
    a.OverallMax = SampleN > 0 ? SampleStats.Maximum : 0;
}

void SelectCurrentData(TCapabilityAnalysis& a) {
    TRunInfo& run = a.Run;
    MarkMeasures(a);
    if (a.GroupsStale) {
        // Runs by the values of one group column number their groups by those values, as their
        // extraction matches them; the others by the combinations of the group columns.
        if (run.GroupColumnCount > 0 && !IsGroupValueRun(run.RunType)) PrepareGroups(run);
        run.GroupColumnsLabel = GroupColumnNames(run);
        run.MeasureLabel = "Value";
        // Row statistics for every run that reads rows as subgroups or row means.
        if (run.RunType >= kRunPooled && run.RunType <= kRunEachByCombination) ComputeRowStatistics();
        if (a.ListRequested) {
            ListGroups(run);
            ParseGroupKeys(a);
            a.ListRequested = false;
        }
        a.GroupsStale = false;
    }
    if (a.AllSelected()) {
        ExtractAll(run);
        a.AnalysisLabel = "(All)";
        return;
    }
    const int index = a.Selected - (a.HasAll ? 1 : 0);
    if (index < 0 || index >= static_cast<int>(a.Groups.size())) {
        SampleN = 0;
        a.AnalysisLabel.clear();
        return;
    }
    const TCapabilityGroup& g = a.Groups[static_cast<std::size_t>(index)];
    if (IsPerMeasureRun(run.RunType)) run.CurrentMeasure = g.Measure;
    run.Position = g.Position;
    ExtractGroup(run.Position, run);
    SetGroupLabels(run);
    switch (run.RunType) {
    case kRunByGroupValue:
    case kRunByCombination:
    case kRunColumnsByGroupValue:
    case kRunColumnsByCombination:
    case kRunRowMeansByGroupValue:
    case kRunRowMeansByCombination:
        a.AnalysisLabel = run.GroupColumnsLabel + " (" + run.ShortLabel + ")";
        break;
    default: a.AnalysisLabel = run.ShortLabel; break;
    }
}

void PrepareSample(TCapabilityAnalysis& a) {
    SelectCurrentData(a);
    if (a.Options.Interpolate)
        SpreadTies();
    else
        OrderStatistics();
    MeanAndStdDev();
}

// ---------------------------------------------------------------------------------------------
// Sigma estimates
// ---------------------------------------------------------------------------------------------

namespace {

// The values of list entries in data order, gathered in one pass over the rows, with the sample
// column's value of each row when asked.
struct TEntryValues {
    std::vector<double> Values;
    std::vector<double> SampleKeys;
};

class TEntryCollector {
public:
    TEntryCollector(const TCapabilityAnalysis& a, std::vector<int> entries, bool withSample)
        : a_(a), entries_(std::move(entries)), withSample_(withSample) {}

    std::vector<TEntryValues> Collect() {
        std::vector<TEntryValues> out(entries_.size());
        const int rows = std::min(DataList.RowsCached, DataTable().RowCount());
        const int columns = DataTable().ColumnCount();
        if (rows <= 0 || entries_.empty()) return out;
        std::vector<std::uint8_t> selected;
        SelectRows(rows, selected);
        // The entries by group position, sorted for a binary search per row.
        std::vector<std::pair<int, int>> byPosition; // (position, entry)
        const int runType = a_.Run.RunType;
        const bool grouped = a_.Run.GroupColumnCount > 0;
        for (std::size_t e = 0; e < entries_.size(); ++e)
            byPosition.emplace_back(grouped ? Entry(e).Position : 0, static_cast<int>(e));
        std::sort(byPosition.begin(), byPosition.end());
        std::vector<std::vector<int>> entryColumns(entries_.size());
        for (std::size_t e = 0; e < entries_.size(); ++e)
            entryColumns[e] = Columns(Entry(e), columns);
        const std::vector<double>* sample = withSample_ && a_.Config.HasSampleColumn
                                                ? &Values[static_cast<std::size_t>(a_.Config.SampleColumn)]
                                                : nullptr;

        for (int r = 1; r <= rows; ++r) {
            const auto row = static_cast<std::size_t>(r);
            if (row >= selected.size() || !selected[row]) continue;
            const int position = grouped ? RowPosition(r, runType) : 0;
            if (grouped && position == kNoPosition) continue;
            double key = 0;
            if (sample) {
                key = row < sample->size() ? (*sample)[row] : MissingValue;
                // A row without a sample number belongs to no subgroup.
                if (!IsValidValue(key)) continue;
                key = std::nearbyint(key);
            }
            auto it = std::lower_bound(byPosition.begin(), byPosition.end(), std::make_pair(position, -1));
            for (; it != byPosition.end() && it->first == position; ++it) {
                const auto e = static_cast<std::size_t>(it->second);
                for (int c : entryColumns[e]) {
                    double v = Cell(c, row);
                    if (!IsValidValue(v)) continue;
                    if (c <= columns) v = Transformed(v);
                    out[e].Values.push_back(v);
                    if (sample) out[e].SampleKeys.push_back(key);
                }
            }
        }
        return out;
    }

private:
    static constexpr int kNoPosition = std::numeric_limits<int>::min();

    const TCapabilityGroup& Entry(std::size_t e) const {
        return a_.Groups[static_cast<std::size_t>(entries_[e])];
    }

    // The value columns of an entry.
    std::vector<int> Columns(const TCapabilityGroup& g, int columns) const {
        const int runType = a_.Run.RunType;
        if (IsRowMeanRun(runType)) return {columns + 1};
        if (IsPerMeasureRun(runType)) return {g.Measure};
        if (runType == kRunColumns) return {g.Position};
        if (IsAllColumnsRun(runType)) return a_.Config.MeasureColumns;
        return {a_.Run.MeasureColumn};
    }

    int RowPosition(int r, int runType) const {
        const auto row = static_cast<std::size_t>(r);
        if (IsGroupValueRun(runType)) {
            const double v = Cell(a_.Run.GroupColumn, row);
            if (!NotMissing(v) || !std::isfinite(v)) return kNoPosition;
            const double p = std::nearbyint(v);
            if (p < a_.Run.FirstGroup || p > a_.Run.LastGroup) return kNoPosition;
            return static_cast<int>(p);
        }
        if (row >= RowGroupCode.size()) return kNoPosition;
        const std::int32_t code = RowGroupCode[row];
        const auto begin = GroupSort.Code.begin() + 1;
        const auto it = std::lower_bound(begin, GroupSort.Code.end(), code);
        if (it == GroupSort.Code.end() || *it != code) return kNoPosition;
        return static_cast<int>(it - GroupSort.Code.begin());
    }

    static double Cell(int c, std::size_t row) {
        if (c < 1 || static_cast<std::size_t>(c) >= Values.size()) return MissingValue;
        const auto& column = Values[static_cast<std::size_t>(c)];
        return row < column.size() ? column[row] : MissingValue;
    }

    static double Transformed(double v) {
        if (TransformRec.Kind == kTransformNone) return v;
        const double t = TransformValue(v);
        if (!TransformRec.ErrorFlag) return t;
        ReportTransformError(); // switches the transform off; the estimate goes on without it
        return v;
    }

    const TCapabilityAnalysis& a_;
    std::vector<int> entries_;
    bool withSample_;
};

// A sigma and the weight it carries in a pooled estimate.
struct TWeighted {
    double Sigma = MissingValue;
    double Weight = 0;
};

double Median(std::vector<double> v) {
    if (v.empty()) return MissingValue;
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    const double upper = *mid;
    if (v.size() % 2) return upper;
    const double lower = *std::max_element(v.begin(), mid);
    return lower + (upper - lower) / 2;
}

// Median moving range / 0.954 of values in data order.
TWeighted MovingRangeEstimate(const std::vector<double>& values) {
    if (values.size() < 2) return {};
    DataList.EnsureSampleCapacity(static_cast<int>(values.size()));
    std::copy(values.begin(), values.end(), SampleX.begin() + 1);
    SampleN = static_cast<int>(values.size());
    MovingRangeStatistics();
    return {static_cast<double>(SampleStats.SigmaMedianMR), static_cast<double>(values.size() - 1)};
}

// Sigma from the median size and the median standard deviation of subgroups.
TWeighted MedianSubgroupEstimate(const std::vector<double>& sizes, const std::vector<double>& sds) {
    if (sds.empty()) return {};
    const double n = std::nearbyint(Median(sizes));
    if (n < 2) return {};
    const Extended sigma = SigmaFromMedianSD(static_cast<int>(std::min(n, 1e9)), Median(sds));
    return {static_cast<double>(sigma), static_cast<double>(sds.size() - 1)};
}

// Subgroups by the sample column: values with equal (rounded) sample numbers. A subgroup of one
// value holds no spread within it and is left out.
TWeighted SampleColumnEstimate(const TEntryValues& entry) {
    std::vector<std::size_t> order(entry.Values.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t i, std::size_t j) { return entry.SampleKeys[i] < entry.SampleKeys[j]; });
    std::vector<double> sizes, sds;
    for (std::size_t i = 0; i < order.size();) {
        std::size_t j = i;
        long double m = 0, squares = 0;
        int k = 0;
        for (; j < order.size() && entry.SampleKeys[order[j]] == entry.SampleKeys[order[i]]; ++j) {
            const double v = entry.Values[order[j]];
            ++k;
            const long double delta = v - m;
            m += delta / k;
            squares += delta * (v - m);
        }
        if (k >= 2) {
            sizes.push_back(k);
            sds.push_back(static_cast<double>(std::sqrt(squares / (k - 1))));
        }
        i = j;
    }
    return MedianSubgroupEstimate(sizes, sds);
}

// Rows as subgroups: the row counts and row standard deviations of the entry's rows.
TWeighted RowSubgroupEstimate(const TCapabilityAnalysis& a, const TCapabilityGroup& g) {
    const int columns = DataTable().ColumnCount();
    if (Values.size() < static_cast<std::size_t>(columns) + 4) return {};
    std::vector<double> sizes, sds;
    // The row standard deviations (C+2) and counts (C+3) of the entry's rows.
    const auto& sdColumn = Values[static_cast<std::size_t>(columns) + 2];
    const auto& countColumn = Values[static_cast<std::size_t>(columns) + 3];
    std::vector<std::uint8_t> selected;
    const int rows = std::min<int>(DataList.RowsCached, static_cast<int>(sdColumn.size()) - 1);
    SelectRows(rows, selected);
    for (int r = 1; r <= rows; ++r) {
        const auto row = static_cast<std::size_t>(r);
        if (!selected[row] || countColumn[row] < 2 || !NotMissing(sdColumn[row])) continue;
        if (a.Run.GroupColumnCount > 0) {
            if (IsGroupValueRun(a.Run.RunType)) {
                const double v = Values[static_cast<std::size_t>(a.Run.GroupColumn)][row];
                if (!NotMissing(v) || std::nearbyint(v) != g.Position) continue;
            } else {
                if (row >= RowGroupCode.size() ||
                    static_cast<std::size_t>(g.Position) >= GroupSort.Code.size() ||
                    RowGroupCode[row] != GroupSort.Code[static_cast<std::size_t>(g.Position)])
                    continue;
            }
        }
        sizes.push_back(countColumn[row]);
        sds.push_back(sdColumn[row]);
    }
    return MedianSubgroupEstimate(sizes, sds);
}

double Pooled(const std::vector<TWeighted>& parts) {
    long double sum = 0, weight = 0;
    for (const auto& p : parts) {
        if (!NotMissing(p.Sigma) || p.Weight <= 0) continue;
        sum += p.Weight * static_cast<long double>(p.Sigma);
        weight += p.Weight;
    }
    return weight < 1 ? MissingValue : static_cast<double>(sum / weight);
}

std::vector<int> EntriesOf(const TCapabilityAnalysis& a, bool pooled) {
    std::vector<int> entries;
    if (pooled) {
        for (int i = 0; i < static_cast<int>(a.Groups.size()); ++i)
            entries.push_back(i);
    } else {
        const int index = a.Selected - (a.HasAll ? 1 : 0);
        if (index >= 0 && index < static_cast<int>(a.Groups.size())) entries.push_back(index);
    }
    return entries;
}

} // namespace

double PotentialSigma(TCapabilityAnalysis& a) {
    a.PotentialSigma = MissingValue;
    if (a.GroupsStale) SelectCurrentData(a);
    MarkMeasures(a);
    const bool pooled = a.AllSelected() && a.Groups.size() > 1;
    const std::vector<int> entries = EntriesOf(a, pooled);
    if (entries.empty()) return MissingValue;
    const bool rowSubgroups = a.Config.MeasureCount > 1 && a.Config.LayoutIndex == kLayoutSubgroupsInRows;
    std::vector<TWeighted> parts;
    if (rowSubgroups) {
        for (int e : entries)
            parts.push_back(RowSubgroupEstimate(a, a.Groups[static_cast<std::size_t>(e)]));
    } else {
        const bool bySample = a.Config.HasSampleColumn;
        const auto collected = TEntryCollector(a, entries, bySample).Collect();
        for (const auto& entry : collected)
            parts.push_back(bySample ? SampleColumnEstimate(entry) : MovingRangeEstimate(entry.Values));
    }
    if (pooled) {
        a.PotentialSigma = Pooled(parts);
    } else if (!parts.empty()) {
        a.PotentialSigma = parts.front().Sigma;
    }
    if (NotMissing(a.PotentialSigma) && !std::isfinite(a.PotentialSigma)) a.PotentialSigma = MissingValue;
    return a.PotentialSigma;
}

double StreamSigma(TCapabilityAnalysis& a) {
    a.StreamSigma = MissingValue;
    if (a.Selected != 0 || !(a.Config.MeasuresAreStreams || a.Config.GroupsAreStreams)) return MissingValue;
    if (a.GroupsStale) SelectCurrentData(a);
    MarkMeasures(a);
    const auto collected = TEntryCollector(a, EntriesOf(a, true), false).Collect();
    long double squares = 0, freedom = 0;
    for (const auto& entry : collected) {
        const auto n = entry.Values.size();
        if (n < 2) continue;
        long double m = 0, s = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const long double delta = entry.Values[i] - m;
            m += delta / static_cast<long double>(i + 1);
            s += delta * (entry.Values[i] - m);
        }
        squares += s; // (n - 1) s²
        freedom += static_cast<long double>(n - 1);
    }
    if (freedom < 1) return MissingValue;
    const long double sigma = std::sqrt(squares / freedom);
    if (std::isfinite(static_cast<double>(sigma))) a.StreamSigma = static_cast<double>(sigma);
    return a.StreamSigma;
}

// ---------------------------------------------------------------------------------------------
// The statistics table
// ---------------------------------------------------------------------------------------------

TPercentileIndices PercentileIndices() {
    TPercentileIndices out;
    const TSpecLimits& spec = SpecLimits;
    if (FitState.FitFailed != kFitUsable || !spec.HasLimit) return out;
    const double lpl = FitState.LPL, upl = FitState.UPL;
    const auto median = static_cast<double>(FittedQuantile(0.5));
    if (!std::isfinite(lpl) || !std::isfinite(upl) || !std::isfinite(median) || !(upl > lpl)) return out;
    const auto finite = [](double x) { return std::isfinite(x) ? x : MissingValue; };
    double upper = MissingValue, lower = MissingValue;
    if (spec.HasUSL && upl > median) upper = finite((spec.USL - median) / (upl - median));
    if (spec.HasLSL && median > lpl) lower = finite((median - spec.LSL) / (median - lpl));
    if (spec.TwoSided) {
        out.Cp = finite((spec.USL - spec.LSL) / (upl - lpl));
        if (NotMissing(upper) && NotMissing(lower)) out.Cpk = std::min(upper, lower);
    } else {
        out.Cp = spec.HasUSL ? upper : lower;
        out.Cpk = out.Cp;
    }
    return out;
}

namespace {

class TTableWriter {
public:
    explicit TTableWriter(int decimals) : decimals_(decimals) {}

    void Add(std::string left, std::string right, TStatRowKind kind = TStatRowKind::Value) {
        rows_.push_back({std::move(left), std::move(right), kind, false});
    }
    void Value(std::string left, double x) { Add(std::move(left), Fixed(decimals_, x)); }
    void Value3(std::string left, double x) { Add(std::move(left), Fixed(3, x)); }
    // An index needs a spread to be divided by.
    void Index(std::string left, double index, double sigma) {
        Add(std::move(left),
            sigma > 0 && std::isfinite(sigma) ? Fixed(3, index) : std::string(kNotComputable));
    }
    void Separator() {
        if (!rows_.empty()) Add({}, {}, TStatRowKind::Separator);
    }
    void Test(std::string name, std::string statistic, std::string p) {
        Add(std::move(name), "p-value", TStatRowKind::TestHeading);
        Add(std::move(statistic), std::move(p), TStatRowKind::TestResult);
        rows_.back().Significant = !rows_.back().Right.empty() && rows_.back().Right.back() == '*';
    }
    // A variance and its share of the total, "12.3456 (45.6%)".
    void Share(std::string left, double v, double total) {
        std::string share = total > 0 && std::isfinite(v / total)
                                ? FormatFixedFinite(1, 100 * v / total) + "%"
                                : std::string(kNotComputable);
        Add(std::move(left), Fixed(decimals_, v) + " (" + share + ")");
    }
    static std::string Fixed(int d, double x) { return FormatFixedFinite(d, x); }
    std::vector<TStatRow> Take() { return std::move(rows_); }

private:
    int decimals_;
    std::vector<TStatRow> rows_;
};

std::string DistributionName(int kind) { return DistKindName(kind); }

void FixedBlock(TTableWriter& t) {
    if (FitState.FixedKind <= 0) return;
    t.Add(DistributionName(DistKind), "Set", TStatRowKind::FixedSet);
    if (DistKind == kDistNormal) {
        t.Value("Mean", static_cast<double>(FitState.FitMean));
        t.Value("Std Dev", static_cast<double>(FitState.FitSD));
    }
    for (int i = 0; i < std::min<int>(FitState.ParamCount, static_cast<int>(FitState.ParamNames.size())); ++i)
        t.Value(FitState.ParamNames[static_cast<std::size_t>(i)],
                static_cast<double>(FitState.ParamValues[static_cast<std::size_t>(i)]));
    t.Separator();
}

void StatsBlock(TTableWriter& t, const TCapabilityAnalysis& a, int n) {
    const TSampleStats& s = SampleStats;
    t.Add("n", std::to_string(n));
    t.Value("Mean", static_cast<double>(s.Mean));
    t.Value("Median", static_cast<double>(s.Median));
    t.Value("Std Dev", static_cast<double>(s.StdDev));
    if (NotMissing(a.PotentialSigma)) t.Value("Std Dev(pot)", a.PotentialSigma);
    t.Value("Low", s.Minimum);
    t.Value("High", s.Maximum);
    t.Value("Range", s.Range);
}

void ParameterBlock(TTableWriter& t) {
    const std::string name = DistributionName(DistKind);
    const auto open = name.find('(');
    std::string left = name, right;
    if (open != std::string::npos) {
        left = name.substr(0, open);
        while (!left.empty() && left.back() == ' ')
            left.pop_back();
        right = name.substr(open);
    } else if (DistKind == kDistJohnson && FitState.FitFailed == kFitUsable) {
        right = JohnsonO.TypeText;
    }
    t.Add(left, right);
    if (FitState.FitFailed != kFitUsable) {
        t.Add("No fit",
              FitState.FitMessage.empty() ? std::string("The model could not be fitted")
                                          : FitState.FitMessage,
              TStatRowKind::Note);
        return;
    }
    t.Value("LPL", FitState.LPL);
    t.Value("UPL", FitState.UPL);
    t.Value("NT", static_cast<double>(FitState.UPL) - FitState.LPL);
    for (int i = 0; i < std::min<int>(FitState.ParamCount, static_cast<int>(FitState.ParamNames.size())); ++i)
        t.Value(FitState.ParamNames[static_cast<std::size_t>(i)],
                static_cast<double>(FitState.ParamValues[static_cast<std::size_t>(i)]));
}

void FitBlock(TTableWriter& t, int n) {
    const double alpha = ConfI.Alpha;
    if (FitState.FitFailed == kFitUsable) t.Value3("Fit", static_cast<double>(FitState.FitCriterion));
    if (DistKind == kDistNormal) {
        ComputeStatistics('T');
        const TSampleStats& s = SampleStats;
        std::string p;
        FormatPValue(p, s.ADP, alpha);
        t.Test("(A-D)A²*", TTableWriter::Fixed(3, s.ADStar), p);
        FormatPValue(p, s.SWP, alpha);
        t.Test("(S-W)W", TTableWriter::Fixed(3, s.SWW), p);
        FormatPValue(p, s.LMP, alpha);
        t.Test("(L-M)r", TTableWriter::Fixed(3, s.LMR), p);
        FormatPValue(p, static_cast<double>(SkewnessTestP(n, s.Skewness)), alpha);
        t.Test("Skewness", TTableWriter::Fixed(3, static_cast<double>(s.SkewnessAdj)), p);
        std::string band;
        KurtosisTest(n, band, s.Kurtosis);
        if (SampleStats.KurtosisP <= alpha) band += "*";
        t.Test("Kurtosis", TTableWriter::Fixed(3, static_cast<double>(SampleStats.KurtosisAdj)), band);
        return;
    }
    ShapeStatistics();
    t.Value3("Skewness", static_cast<double>(SampleStats.SkewnessAdj));
    t.Value3("Kurtosis", static_cast<double>(SampleStats.KurtosisAdj));
    if ((DistKind == kDistExponential0 || DistKind == kDistExponentialLow) && n > 1 &&
        SampleStats.Variance > 0) {
        const long double d = static_cast<long double>(SampleStats.Mean) - SampleStats.Minimum;
        const long double w = n * d * d / (static_cast<long double>(n - 1) * (n - 1) * SampleStats.Variance);
        t.Add("W(E)", FormatFixedFinite(4, w));
    }
}

void SpecificationBlock(TTableWriter& t, const TCapabilityAnalysis& a, int n) {
    const TSpecLimits& spec = SpecLimits;
    const TSampleStats& s = SampleStats;
    const auto mean = static_cast<double>(s.Mean);
    const auto sd = static_cast<double>(s.StdDev);
    t.Separator();
    int below = 0, above = 0;
    if (spec.HasLSL) {
        t.Add("LSL", spec.LSLText);
        CountBelow(below, spec.LSL);
    }
    if (spec.HasTarget) t.Add("Target", spec.TargetText);
    if (spec.HasUSL) {
        t.Add("USL", spec.USLText);
        CountAbove(above, spec.USL);
    }
    // Limits the wrong way round leave no value inside them: the counts would take values twice
    // over and the indices come out negative.
    if (spec.TwoSided && spec.LSL > spec.USL) {
        t.Add("Limits", "The LSL is above the USL", TStatRowKind::Note);
        return;
    }
    if (spec.HasLSL) t.Add("n Below Spec", std::to_string(below));
    if (spec.HasUSL) t.Add("n Above Spec", std::to_string(above));
    if (spec.TwoSided) t.Add("n Out Spec", std::to_string(below + above));
    const double percent = 100.0 / n;
    if (spec.HasLSL) t.Value3("% Below Spec", below * percent);
    if (spec.HasUSL) t.Value3("% Above Spec", above * percent);
    if (spec.TwoSided) t.Value3("% Out Spec", (below + above) * percent);

    if (a.Options.CapabilityMode && DistKind > 0 && FitState.FitFailed == kFitUsable) {
        const auto estBelow = static_cast<double>(spec.HasLSL ? FittedCDF(spec.LSL) : 0);
        const auto estAbove = static_cast<double>(spec.HasUSL ? 1 - FittedCDF(spec.USL) : 0);
        if (spec.HasLSL) t.Value3("Est %Below Spec", 100 * estBelow);
        if (spec.HasUSL) t.Value3("Est %Above Spec", 100 * estAbove);
        if (spec.TwoSided) t.Value3("Est %Out Spec", 100 * (estBelow + estAbove));
        if (spec.HasTarget) t.Index("Cpm", static_cast<double>(CapabilityCpm(n, sd, mean)), sd);
        if (DistKind == kDistNormal) {
            t.Index("Cpk", static_cast<double>(CapabilityCpk(1, sd, mean)), sd);
            t.Index("Cp", static_cast<double>(CapabilityCp(1, sd, mean)), sd);
            if (NotMissing(a.PotentialSigma))
                t.Index("Cp(potential)", static_cast<double>(CapabilityCp(1, a.PotentialSigma, mean)),
                        a.PotentialSigma);
        } else {
            const TPercentileIndices p = PercentileIndices();
            t.Add("Cpk(E)", NotMissing(p.Cpk) ? TTableWriter::Fixed(3, p.Cpk) : std::string(kNotComputable));
            t.Add("Cp", NotMissing(p.Cp) ? TTableWriter::Fixed(3, p.Cp) : std::string(kNotComputable));
        }
    }
    if (spec.HasTarget && spec.TwoSided && spec.Tolerance != 0)
        t.Add("% Off-Target", FormatFixedFinite(2, 100.0L * std::fabs(mean - spec.Target) / spec.Tolerance));

    if (a.Options.CapabilityMode) return;
    t.Index("Ppk", static_cast<double>(CapabilityCpk(0, sd, mean)), sd);
    if (spec.HasTarget) t.Index("Ppm", static_cast<double>(CapabilityCpm(n, sd, mean)), sd);
    t.Index("Pp", static_cast<double>(CapabilityCp(0, sd, mean)), sd);
    if (NotMissing(a.StreamSigma))
        t.Index("Pp(stream)", static_cast<double>(CapabilityCp(0, a.StreamSigma, mean)), a.StreamSigma);
    if (NotMissing(a.PotentialSigma))
        t.Index("Cp(potential)", static_cast<double>(CapabilityCp(0, a.PotentialSigma, mean)),
                a.PotentialSigma);
    // Variance components.
    const double variance = static_cast<double>(s.Variance);
    const double offTarget = spec.HasTarget ? (mean - spec.Target) * (mean - spec.Target) : 0;
    const double total = variance + offTarget;
    t.Share("Var(Total)", total, total);
    const double potential =
        NotMissing(a.PotentialSigma) ? a.PotentialSigma * a.PotentialSigma : MissingValue;
    const double stream = NotMissing(a.StreamSigma) ? a.StreamSigma * a.StreamSigma : MissingValue;
    if (NotMissing(potential)) t.Share("Var(Potential)", potential, total);
    if (spec.HasTarget) t.Share("Var(Target)", offTarget, total);
    if (NotMissing(stream)) t.Share("Var(Stream)", variance - stream, total);
    if (NotMissing(potential))
        t.Share("Var(Time)", (NotMissing(stream) ? stream : variance) - potential, total);
}

} // namespace

std::vector<TStatRow> BuildStatisticsTable(TCapabilityAnalysis& a) {
    PrepareSample(a);
    const int n = SampleN;
    if (n <= 0) return {};
    const int column = DataList.SpecColumn;
    SetSpecifications(ColumnLSL(column), ColumnTarget(column), ColumnUSL(column));
    if (!a.Options.CapabilityMode) DistKind = kDistNone;
    // The model is fitted to the sorted sample, the sigma estimates read the data in their order,
    // and the table's statistics are those of the sample prepared again.
    // Parameters fixed by the user are installed by the fit itself.
    if (DistKind > kDistNone) FitDistribution();
    // The sigma estimates use the sample buffer; the prepared sample is kept aside meanwhile.
    const std::vector<double> prepared(SampleX.begin(), SampleX.begin() + n + 1);
    PotentialSigma(a);
    a.StreamSigma = MissingValue;
    if (!a.Options.CapabilityMode) StreamSigma(a);
    std::copy(prepared.begin(), prepared.end(), SampleX.begin());
    SampleN = n;
    OrderStatistics();
    MeanAndStdDev();

    TTableWriter t(std::clamp(a.Options.Decimals, 1, 9));
    FixedBlock(t);
    if (a.Options.ShowStats) StatsBlock(t, a, n);
    if (DistKind > kDistNone && a.Options.CapabilityMode) {
        if (a.Options.ShowParameters) ParameterBlock(t);
        if (a.Options.ShowFit) FitBlock(t, n);
        // The tests leave the sample reordered: the counts below read it in any order.
    }
    if (a.Options.ShowCapability && SpecLimits.HasLimit) SpecificationBlock(t, a, n);
    return t.Take();
}

std::string StatisticsTableText(const std::vector<TStatRow>& rows) {
    std::string text;
    for (const auto& row : rows) {
        if (row.Kind != TStatRowKind::Separator) text += row.Left + "\t" + row.Right;
        text += "\r\n";
    }
    return text;
}

} // namespace kivspc
