// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/ComputeVariables.h"

#include "app/Messages.h"
#include "app/MissingValue.h"
#include "app/NumberFormat.h"
#include "app/Platform.h"
#include "app/SharedState.h"
#include "app/TextTools.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Extract.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "data/RunInfo.h"
#include "data/TableEdit.h"
#include "data/Transfrm.h"
#include "stats/Descriptive.h"
#include "stats/Distributions.h"
#include "stats/SampleBuffer.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <system_error>

namespace kivspc {

namespace {

struct TRunStatisticInfo {
    const char* Caption;
    const char* Group;
    const char* Suffix;
};

const TRunStatisticInfo kRunInfo[kRunStatistics] = {
    {"Abs. Dev From Median w/o Midpoint", "Dispersion Testing", "_ADM"},
    {"Abs. Dev From Median", "Dispersion Testing", "_ADM"},
    {"Abs. Dev From Mean (Levene)", "Dispersion Testing", "_ADA"},
    {"Bartlett-Kendall - Ln(Variance)", "Dispersion Testing", "_BK"},
    {"Bartlett-Kendall-Box", "Dispersion Testing", "_BKB"},
    {"Deviations from Median", "Standardizing", "_DMD"},
    {"Deviations from Mean", "Standardizing", "_DMN"},
    {"Combinable Distributions", "Standardizing", "_COM"},
    {"Mean", "Sample Statistics", "_AVG"},
    {"Median", "Sample Statistics", "_MED"},
    {"Std. Dev.", "Sample Statistics", "_STD"},
    {"Variance", "Sample Statistics", "_VAR"},
    {"Low", "Sample Statistics", "_Low"},
    {"High", "Sample Statistics", "_High"},
    {"Range", "Sample Statistics", "_R"},
    {"Sum", "Sample Statistics", "_Sum"},
    {"Ranks", "Ranking", "_Rank"},
    {"Count", "Sample Statistics", "_n"},
    {"Mode", "Sample Statistics", "_Mode"},
};

const TRunStatisticInfo& RunInfoOf(int statistic) {
    return kRunInfo[std::clamp(statistic, 0, kRunStatistics - 1)];
}

const char* const kRowCaptions[kRowStatistics] = {
    "Mean", "Median", "Standard Deviation", "Variance", "Low", "High", "Range", "Sum", "Count", "Mode"};

// The cases of one run: the rows (in data order) that pass the case selection and belong to
// it, with their dependent values (transformed; MissingValue where there is none), and the
// run's values in data order.
struct TRun {
    std::string Label;
    std::vector<int> Rows;
    std::vector<double> CaseValues;
    std::vector<double> Values;
};

// A number as a cell holds it (twelve decimals at most, trailing zeros dropped, as everywhere in
// the table); empty when it is not finite. Written with to_chars: a column of a million cells is
// formatted in a fraction of the time printf takes.
std::string CellText(double v) {
    if (!std::isfinite(v)) return {};
    char buffer[400];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 12);
    if (error != std::errc()) return FormatTrimmed(v);
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    while (text.back() == '0')
        text.remove_suffix(1);
    if (text.back() == '.') text.remove_suffix(1);
    if (text == "-0") return "0";
    return std::string(text);
}

void LoadSample(const std::vector<double>& values) {
    DataList.EnsureSampleCapacity(static_cast<int>(values.size()));
    std::copy(values.begin(), values.end(), SampleX.begin() + 1);
    SampleN = static_cast<int>(values.size());
}

double Transformed(double v) {
    if (TransformRec.Kind == kTransformNone) return v;
    const double t = TransformValue(v);
    if (!TransformRec.ErrorFlag) return t;
    ReportTransformError(); // switches the transform off; the values go on untransformed
    return v;
}

// The runs of the dependent column by the combinations of the independent columns (one run
// without them), in the order of their group numbers. False when the grouping is refused.
bool CollectRuns(const TRunComputation& q, std::vector<TRun>& runs) {
    if (ValuesStale) DataList.RebuildValues();
    const TDataTable& table = DataTable();
    const int rows = std::min(table.RowCount(), DataList.RowsCached);
    std::vector<std::uint8_t> selected;
    SelectRows(rows, selected);
    const auto& dependent = Values[static_cast<std::size_t>(q.Dependent)];
    const auto valueAt = [&](int r) {
        const auto row = static_cast<std::size_t>(r);
        const double v = row < dependent.size() ? dependent[row] : MissingValue;
        return IsValidValue(v) ? Transformed(v) : MissingValue;
    };
    if (q.Independents.empty()) {
        runs.assign(1, TRun{});
        runs[0].Label = table.ColumnName(q.Dependent);
        for (int r = 1; r <= rows; ++r) {
            if (!selected[static_cast<std::size_t>(r)]) continue;
            const double v = valueAt(r);
            runs[0].Rows.push_back(r);
            runs[0].CaseValues.push_back(v);
            if (NotMissing(v)) runs[0].Values.push_back(v);
        }
        return true;
    }
    TRunInfo run;
    run.RunType = q.Independents.size() == 1 ? kRunBySingleCombination : kRunByCombination;
    run.MeasureColumn = q.Dependent;
    run.GroupColumnCount = static_cast<std::int16_t>(q.Independents.size());
    for (std::size_t i = 0; i < q.Independents.size(); ++i)
        run.GroupColumns[i + 1] = static_cast<std::int16_t>(q.Independents[i]);
    const int groups = PrepareGroups(run);
    if (groups <= 0) return false;
    runs.assign(static_cast<std::size_t>(groups), TRun{});
    for (int g = 1; g <= groups; ++g)
        runs[static_cast<std::size_t>(g) - 1].Label = GroupLabel(g, run);
    const auto begin = GroupSort.Code.begin() + 1;
    for (int r = 1; r <= rows; ++r) {
        const auto row = static_cast<std::size_t>(r);
        if (!selected[row] || row >= RowGroupCode.size()) continue;
        const auto it = std::lower_bound(begin, GroupSort.Code.end(), RowGroupCode[row]);
        if (it == GroupSort.Code.end() || *it != RowGroupCode[row]) continue;
        TRun& target = runs[static_cast<std::size_t>(it - begin)];
        const double v = valueAt(r);
        target.Rows.push_back(r);
        target.CaseValues.push_back(v);
        if (NotMissing(v)) target.Values.push_back(v);
    }
    return true;
}

// Deviations from the run's median or mean (absolute for the dispersion tests).
void Deviations(int statistic, const std::vector<TRun>& runs, std::vector<std::string>& cells) {
    for (const TRun& run : runs) {
        const int n = static_cast<int>(run.Values.size());
        if (n < 2) continue;
        LoadSample(run.Values);
        double centre = 0, midpoint = 0;
        const bool byMedian =
            statistic == kAbsDevMedianNoMidpoint || statistic == kAbsDevMedian || statistic == kDevMedian;
        if (byMedian) {
            OrderStatistics();
            centre = static_cast<double>(SampleStats.Median);
            midpoint = SampleX[static_cast<std::size_t>((n + 1) / 2)];
        } else {
            MeanOnly();
            centre = static_cast<double>(SampleStats.Mean);
        }
        bool midpointLeft = statistic == kAbsDevMedianNoMidpoint;
        for (std::size_t i = 0; i < run.Rows.size(); ++i) {
            const double v = run.CaseValues[i];
            if (!NotMissing(v)) continue;
            if (midpointLeft && v == midpoint) {
                midpointLeft = false; // the first case at the midpoint gets no cell
                continue;
            }
            const double d = v - centre;
            const bool absolute = statistic <= kAbsDevMean;
            cells[static_cast<std::size_t>(run.Rows[i]) - 1] = CellText(absolute ? std::fabs(d) : d);
        }
    }
}

// Bartlett-Kendall log variances: of each run (k = 1) or of k random subgroups of each run.
bool LogVariances(const TRunComputation& q, const std::vector<TRun>& runs, std::vector<std::string>& cells,
                  std::string& message) {
    int k = 1;
    if (q.Statistic == kBartlettKendallBox) {
        std::vector<int> sizes;
        for (const TRun& run : runs)
            if (run.Values.size() >= 2) sizes.push_back(static_cast<int>(run.Values.size()));
        const TSubgroupQuestion question = SubgroupQuestion(sizes);
        const std::optional<int> chosen =
            q.AskSubgroups ? q.AskSubgroups(question) : std::optional<int>(question.Initial);
        if (!chosen) return false;
        k = std::clamp(*chosen, question.Lowest, question.Highest);
    }
    std::optional<double> minimumRange;
    bool asked = false;
    for (const TRun& run : runs) {
        const int n = static_cast<int>(run.Values.size());
        if (n < 2) continue;
        std::vector<double> values = run.Values;
        int m = n;
        if (k > 1) {
            m = static_cast<int>(std::nearbyint(static_cast<double>(n) / k));
            // An even shuffle (Fisher and Yates): every subgroup a random sample of the run.
            for (int i = n - 1; i > 0; --i) {
                const int j = std::min(static_cast<int>(UniformRandom() * (i + 1)), i);
                std::swap(values[static_cast<std::size_t>(i)], values[static_cast<std::size_t>(j)]);
            }
        }
        int r = 0; // 0-based start of the subgroup
        for (int s = 1; s <= k && r < n - 1; ++s) {
            const int end = s == k ? n : std::min(n, r + m); // one past the subgroup's last value
            const int c = end - r;
            if (c < 2) break;
            long double sum = 0, squares = 0;
            for (int i = r; i < end; ++i) {
                sum += values[static_cast<std::size_t>(i)];
                squares += static_cast<long double>(values[static_cast<std::size_t>(i)]) *
                           values[static_cast<std::size_t>(i)];
            }
            const double variance = std::max(0.0, static_cast<double>(VarianceFromSums(c, sum, squares)));
            double cell = 0;
            if (variance > 0) {
                cell = std::log(variance);
            } else {
                if (!asked) {
                    asked = true;
                    Beep();
                    Beep();
                    minimumRange = q.AskMinimumRange ? q.AskMinimumRange(run.Label) : std::nullopt;
                    if (!minimumRange || !(*minimumRange > 0)) {
                        message.clear();
                        return false;
                    }
                }
                cell = std::log(*minimumRange * *minimumRange / m);
            }
            if (static_cast<std::size_t>(s) <= run.Rows.size())
                cells[static_cast<std::size_t>(run.Rows[static_cast<std::size_t>(s) - 1]) - 1] =
                    CellText(cell);
            r = end;
        }
    }
    return true;
}

// Values moved to a common centre with a random offset per run that keeps the grand total.
bool Combinable(const std::vector<TRun>& runs, std::vector<std::string>& cells, std::string& message) {
    long double pooled = 0, freedom = 0, total = 0;
    long long count = 0;
    for (const TRun& run : runs) {
        if (run.Values.empty()) continue;
        LoadSample(run.Values);
        MeanAndStdDev();
        const auto n = static_cast<long double>(run.Values.size());
        if (run.Values.size() >= 2) pooled += (n - 1) * SampleStats.Variance;
        freedom += n - 1;
        total += SampleStats.Sum;
        count += static_cast<long long>(run.Values.size());
    }
    if (freedom < 1) {
        message = "Every run has a single value: the pooled variance of the runs cannot be formed.";
        return false;
    }
    const long double variance = pooled / freedom;
    std::vector<long double> offsets(runs.size(), 0);
    long double weighted = 0;
    for (std::size_t j = 0; j < runs.size(); ++j) {
        if (runs[j].Values.empty()) continue;
        const auto n = static_cast<long double>(runs[j].Values.size());
        offsets[j] = NormalRandom(0, std::sqrt(variance / n));
        weighted += n * offsets[j];
    }
    const long double e = (weighted - total) / static_cast<long double>(count);
    for (std::size_t j = 0; j < runs.size(); ++j) {
        const TRun& run = runs[j];
        if (run.Values.empty()) continue;
        LoadSample(run.Values);
        MeanOnly();
        const long double shift = offsets[j] - e - SampleStats.Mean;
        for (std::size_t i = 0; i < run.Rows.size(); ++i)
            if (NotMissing(run.CaseValues[i]))
                cells[static_cast<std::size_t>(run.Rows[i]) - 1] =
                    CellText(static_cast<double>(run.CaseValues[i] + shift));
    }
    return true;
}

// A statistic of each run at its first case.
void RunStatistics(int statistic, const std::vector<TRun>& runs, std::vector<std::string>& cells) {
    for (const TRun& run : runs) {
        const int n = static_cast<int>(run.Values.size());
        if (n < 1 || run.Rows.empty()) continue;
        LoadSample(run.Values);
        std::string text;
        const TSampleStats& s = SampleStats;
        switch (statistic) {
        case kRunMean:
            MeanOnly();
            text = CellText(static_cast<double>(s.Mean));
            break;
        case kRunSum:
            MeanOnly();
            text = CellText(static_cast<double>(s.Sum));
            break;
        case kRunMedian:
            OrderStatistics();
            text = CellText(static_cast<double>(s.Median));
            break;
        case kRunStdDev:
            MeanAndStdDev();
            if (n >= 2) text = CellText(static_cast<double>(s.StdDev));
            break;
        case kRunVariance:
            MeanAndStdDev();
            if (n >= 2) text = CellText(static_cast<double>(s.Variance));
            break;
        case kRunLow:
            FindMinMax();
            text = CellText(s.Minimum);
            break;
        case kRunHigh:
            FindMinMax();
            text = CellText(s.Maximum);
            break;
        case kRunRange:
            FindMinMax();
            if (n > 1) text = CellText(s.Range);
            break;
        case kRunCount: text = std::to_string(n); break;
        case kRunMode:
            SampleMode();
            text = NotMissing(s.Mode) ? CellText(s.Mode) : std::string();
            break;
        default: break;
        }
        cells[static_cast<std::size_t>(run.Rows.front()) - 1] = text;
    }
}

// Ranks within each run, ties sharing the mean of their positions.
void Ranks(const std::vector<TRun>& runs, std::vector<std::string>& cells) {
    for (const TRun& run : runs) {
        std::vector<double> sorted = run.Values;
        std::sort(sorted.begin(), sorted.end());
        for (std::size_t i = 0; i < run.Rows.size(); ++i) {
            const double v = run.CaseValues[i];
            if (!NotMissing(v)) continue;
            const auto [lo, hi] = std::equal_range(sorted.begin(), sorted.end(), v);
            if (lo == hi) continue;
            const double a = static_cast<double>(lo - sorted.begin()) + 1,
                         b = static_cast<double>(hi - sorted.begin());
            cells[static_cast<std::size_t>(run.Rows[i]) - 1] = CellText((a + b) / 2);
        }
    }
}

// The new last column, added as one table edit.
bool AddColumn(const std::string& name, std::vector<std::string>& cells, const char* label) {
    edits::InsertColumns e;
    e.Before = DataTable().ColumnCount() + 1;
    e.Count = 1;
    TTableColumn& column = e.Contents.emplace_back();
    column.name = name;
    column.cells.Reserve(cells.size());
    for (std::size_t r = 0; r < cells.size(); ++r)
        column.cells.Set(r, cells[r]);
    if (!ApplyTableEdit(std::move(e), label)) return false;
    // Windows that list the columns see the new one at once; the values are converted again when
    // an analysis next reads them.
    CommitEditorChanges(false);
    return true;
}

std::string ColumnName(std::string name) {
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
}

bool RoomForColumn(TComputeOutcome& out) {
    if (DataTable().ColumnCount() < kMaxColumns) return true;
    out.Message = "Maximum Number of Columns Exceeded.";
    ShowError(out.Message);
    return false;
}

} // namespace

const char* RunStatisticCaption(int statistic) { return RunInfoOf(statistic).Caption; }
const char* RunStatisticGroup(int statistic) { return RunInfoOf(statistic).Group; }
const char* RunStatisticSuffix(int statistic) { return RunInfoOf(statistic).Suffix; }

const char* RowStatisticCaption(int statistic) {
    return kRowCaptions[std::clamp(statistic, 0, kRowStatistics - 1)];
}

std::string RowStatisticDefaultName(int statistic, int counter) {
    const std::string caption = RowStatisticCaption(statistic);
    return (caption == "Standard Deviation" ? std::string("Std_Dev") : caption) + std::to_string(counter + 1);
}

std::string RunStatisticDefaultName(int dependent, int statistic) {
    if (dependent < 1 || dependent > DataTable().ColumnCount()) return {};
    return DataTable().ColumnName(dependent) + RunStatisticSuffix(statistic);
}

TSubgroupQuestion SubgroupQuestion(const std::vector<int>& runSizes) {
    TSubgroupQuestion q;
    if (!runSizes.empty()) {
        long long total = 0;
        for (int n : runSizes)
            total += n;
        q.AverageSize = static_cast<double>(total) / static_cast<double>(runSizes.size());
        q.MinimumSize = *std::min_element(runSizes.begin(), runSizes.end());
        q.MaximumSize = *std::max_element(runSizes.begin(), runSizes.end());
    }
    q.Highest = std::max(1, q.MinimumSize / 2);
    q.Initial = q.MinimumSize > 5 ? static_cast<int>(std::nearbyint(std::sqrt(q.AverageSize))) : 1;
    q.Initial = std::clamp(q.Initial, q.Lowest, q.Highest);
    return q;
}

TComputeOutcome ComputeByRuns(const TRunComputation& q) {
    TComputeOutcome out;
    const TDataTable& table = DataTable();
    const int columns = table.ColumnCount();
    const auto inTable = [columns](int c) { return c >= 1 && c <= columns; };
    if (!inTable(q.Dependent) || !std::all_of(q.Independents.begin(), q.Independents.end(), inTable)) {
        out.Message = "The chosen columns are not in the table.";
        return out;
    }
    if (!RoomForColumn(out)) return out;
    BusyCursor busy;
    StatErrorCode = 0;
    SeedRandom(q.Seed
                   ? q.Seed
                   : static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::vector<TRun> runs;
    if (!CollectRuns(q, runs)) {
        out.Message = "The independent columns cannot be grouped.";
        return out;
    }
    std::vector<std::string> cells(static_cast<std::size_t>(table.RowCount()));
    bool done = true;
    switch (q.Statistic) {
    case kAbsDevMedianNoMidpoint:
    case kAbsDevMedian:
    case kAbsDevMean:
    case kDevMedian:
    case kDevMean: Deviations(q.Statistic, runs, cells); break;
    case kBartlettKendall:
    case kBartlettKendallBox: done = LogVariances(q, runs, cells, out.Message); break;
    case kCombinable: done = Combinable(runs, cells, out.Message); break;
    case kRanks: Ranks(runs, cells); break;
    default: RunStatistics(q.Statistic, runs, cells); break;
    }
    if (!done) {
        if (!out.Message.empty()) ShowError(out.Message);
        return out;
    }
    const std::string name =
        ColumnName(q.Name.empty() ? RunStatisticDefaultName(q.Dependent, q.Statistic) : q.Name);
    if (!AddColumn(name, cells, "Compute Variable")) {
        out.Message = "The column could not be added.";
        return out;
    }
    out.Added = true;
    out.Column = DataTable().ColumnCount();
    std::string of = table.ColumnName(q.Dependent);
    for (std::size_t i = 0; i < q.Independents.size(); ++i)
        of += (i == 0 ? " by " : ", ") + table.ColumnName(q.Independents[i]);
    out.Log = {name + " added to Data Editor", std::string("\t* ") + RunStatisticCaption(q.Statistic),
               "\t* " + of, ""};
    return out;
}

TComputeOutcome ComputeAcrossRows(const TRowComputation& q) {
    TComputeOutcome out;
    const TDataTable& table = DataTable();
    const int columns = table.ColumnCount();
    if (q.Columns.size() < 2 || !std::all_of(q.Columns.begin(), q.Columns.end(),
                                             [columns](int c) { return c >= 1 && c <= columns; })) {
        out.Message = "Choose two or more columns of the table.";
        return out;
    }
    if (!RoomForColumn(out)) return out;
    BusyCursor busy;
    if (ValuesStale) DataList.RebuildValues();
    const int rows = std::min(table.RowCount(), DataList.RowsCached);
    std::vector<std::uint8_t> selected;
    SelectRows(rows, selected);
    std::vector<std::string> cells(static_cast<std::size_t>(table.RowCount()));
    std::vector<double> values;
    const int statistic = std::clamp(q.Statistic, 0, kRowStatistics - 1);
    for (int r = 1; r <= rows; ++r) {
        const auto row = static_cast<std::size_t>(r);
        if (!selected[row]) continue;
        values.clear();
        for (int c : q.Columns) {
            const auto& column = Values[static_cast<std::size_t>(c)];
            const double v = row < column.size() ? column[row] : MissingValue;
            if (IsValidValue(v)) values.push_back(v);
        }
        if (values.empty()) continue;
        std::string& cell = cells[row - 1];
        const int n = static_cast<int>(values.size());
        if (statistic == 8) { // Count
            cell = std::to_string(n);
            continue;
        }
        LoadSample(values);
        const TSampleStats& s = SampleStats;
        switch (statistic) {
        case 0:
            MeanAndStdDev();
            cell = CellText(static_cast<double>(s.Mean));
            break;
        case 2:
            MeanAndStdDev();
            cell = CellText(n >= 2 ? static_cast<double>(s.StdDev) : 0.0);
            break;
        case 3:
            MeanAndStdDev();
            cell = CellText(n >= 2 ? static_cast<double>(s.Variance) : 0.0);
            break;
        case 7:
            MeanAndStdDev();
            cell = CellText(static_cast<double>(s.Sum));
            break;
        case 1:
            OrderStatistics();
            cell = CellText(static_cast<double>(s.Median));
            break;
        case 4:
            OrderStatistics();
            cell = CellText(s.Minimum);
            break;
        case 5:
            OrderStatistics();
            cell = CellText(s.Maximum);
            break;
        case 6:
            OrderStatistics();
            cell = CellText(s.Range);
            break;
        case 9:
            SampleMode();
            cell = NotMissing(s.Mode) ? CellText(s.Mode) : std::string();
            break;
        default: break;
        }
    }
    const std::string name = ColumnName(q.Name.empty() ? RowStatisticDefaultName(statistic, 0) : q.Name);
    if (!AddColumn(name, cells, "Compute Variable")) {
        out.Message = "The column could not be added.";
        return out;
    }
    out.Added = true;
    out.Column = DataTable().ColumnCount();
    std::string of;
    for (std::size_t i = 0; i < q.Columns.size(); ++i)
        of += (i ? ", " : "") + table.ColumnName(q.Columns[i]);
    out.Log = {name + " added to Data Editor",
               std::string("\t* ") + RowStatisticCaption(statistic) + " of " + of, ""};
    return out;
}

} // namespace kivspc
