// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/Extract.h"

#include "app/Messages.h"
#include "app/SharedState.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "data/Transfrm.h"
#include "stats/SampleBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>

namespace kivspc {

std::vector<std::string> GroupLabels;
std::vector<std::string> GroupKeys;

namespace {

// The Process If verdict of every row, kept between extractions so that its memory is reused.
std::vector<std::uint8_t> SelectedRows;

int Columns() { return DataTable().ColumnCount(); }
int Rows() { return DataList.RowsCached; }

bool IsSelectedColumn(int c) {
    return c >= 1 && c <= kMaxColumns && DataList.Selected[static_cast<std::size_t>(c)];
}

int FirstSelectedColumn() {
    for (int c = 1; c <= Columns(); ++c)
        if (IsSelectedColumn(c)) return c;
    return 0;
}

// Value of a column (data or row statistic) in a row; MissingValue outside the cache.
double ValueAt(int col, int row) {
    if (col < 1 || static_cast<std::size_t>(col) >= Values.size()) return MissingValue;
    const auto& column = Values[static_cast<std::size_t>(col)];
    return static_cast<std::size_t>(row) < column.size() ? column[static_cast<std::size_t>(row)]
                                                         : MissingValue;
}

double RoundHalfEven(double x) { return std::nearbyint(x); }

void Append(double v) {
    ++SampleN;
    if (static_cast<std::size_t>(SampleN) >= SampleX.size())
        SampleX.resize(static_cast<std::size_t>(SampleN) * 2 + 1);
    SampleX[static_cast<std::size_t>(SampleN)] = v;
}

// Appends one column of every selected row that passes `match`.
template <typename Match> void TakeColumn(int col, Match match) {
    if (col < 1 || static_cast<std::size_t>(col) >= Values.size()) return;
    const auto& column = Values[static_cast<std::size_t>(col)];
    const int rows = std::min(Rows(), static_cast<int>(column.size()) - 1);
    const double* v = column.data();
    if (!ProcessIfOn) {
        for (int r = 1; r <= rows; ++r)
            if (match(r) && IsValidValue(v[r])) Append(v[r]);
        return;
    }
    SelectRows(rows, SelectedRows);
    for (int r = 1; r <= rows; ++r)
        if (SelectedRows[static_cast<std::size_t>(r)] && match(r) && IsValidValue(v[r])) Append(v[r]);
}

// Appends the selected columns (those between first and last) of every matching row, row by row.
template <typename Match> void TakeSelectedColumns(Match match, int first = 1, int last = kMaxColumns) {
    std::vector<int> cols;
    for (int c = std::max(first, 1); c <= std::min(last, Columns()); ++c)
        if (IsSelectedColumn(c)) cols.push_back(c);
    const int rows = Rows();
    for (int r = 1; r <= rows; ++r) {
        if (!match(r) || !IsRowSelected(r)) continue;
        for (int c : cols) {
            double v = ValueAt(c, r);
            if (IsValidValue(v)) Append(v);
        }
    }
}

int SelectedCount() {
    int n = 0;
    for (int c = 1; c <= Columns(); ++c)
        n += IsSelectedColumn(c);
    return n;
}

// Rows of group value `pos` of the group column.
auto GroupValueMatch(const TRunInfo& runInfo, int pos) {
    const int g = runInfo.GroupColumn;
    return [g, pos](int r) { return RoundHalfEven(ValueAt(g, r)) == static_cast<double>(pos); };
}

// Rows of combination `pos`.
auto CombinationMatch(int pos) {
    std::int32_t code = pos >= 1 && static_cast<std::size_t>(pos) < GroupSort.Code.size()
                            ? GroupSort.Code[static_cast<std::size_t>(pos)]
                            : std::numeric_limits<std::int32_t>::min();
    return [code](int r) {
        return static_cast<std::size_t>(r) < RowGroupCode.size() &&
               RowGroupCode[static_cast<std::size_t>(r)] == code;
    };
}

auto AllRows() {
    return [](int) { return true; };
}

void RebuildIfStale() {
    // Also when the table grew columns without anyone marking a change.
    const std::size_t expected = static_cast<std::size_t>(Columns()) + RowStatisticColumns + 1;
    if (ValuesStale || Values.size() != expected) DataList.RebuildValues();
}

void TransformExtracted(int runType) {
    if (SampleN <= 0 || TransformRec.Kind == kTransformNone) return;
    if (runType == kRunRowMeans || runType == kRunRowMeansByGroupValue ||
        runType == kRunRowMeansByCombination)
        return; // row means were formed from transformed values
    TransformSample(SampleN);
    if (TransformRec.ErrorFlag) ReportTransformError();
}

void EnsureCapacity(int runType) {
    const int rows = std::max(Rows(), 0);
    long long need = rows;
    if (runType == kRunPooled || runType == kRunColumnsByGroupValue || runType == kRunColumnsByCombination ||
        runType == kRunColumns || runType == kRunEachByGroupValue || runType == kRunEachByCombination)
        need = static_cast<long long>(std::max(SelectedCount(), 1)) * rows;
    DataList.EnsureSampleCapacity(static_cast<int>(std::min<long long>(need, INT32_MAX - 1)));
}

std::string GroupValueText(const TRunInfo& runInfo, int pos) {
    if (runInfo.GroupColumn >= 1 && runInfo.GroupColumn <= kMaxColumns &&
        DataList.IsText[static_cast<std::size_t>(runInfo.GroupColumn)])
        return LevelText(runInfo.GroupColumn, pos);
    return std::to_string(pos);
}

int NextSelectedMeasure(const TRunInfo& runInfo, int after) {
    // Only data columns are measures, whatever range the caller gave.
    for (int c = std::clamp(after, 0, Columns()) + 1; c <= std::min<int>(runInfo.LastMeasure, Columns()); ++c)
        if (IsSelectedColumn(c)) return c;
    return 0;
}

// Position must be able to stand before the first group, so the smallest 32-bit value (the one
// group value below the missing-value code) is never a group of its own.
std::int32_t FirstPosition(const TRunInfo& runInfo) {
    return std::max(runInfo.FirstGroup, std::numeric_limits<std::int32_t>::min() + 1);
}

std::int32_t SaturatedAdd(std::int32_t total, int n) {
    return static_cast<std::int32_t>(
        std::min<long long>(static_cast<long long>(total) + n, std::numeric_limits<std::int32_t>::max()));
}

// Group values are rounded and counted from the column's smallest one in 64-bit integers. Larger
// values are refused before any conversion: past the 64-bit range a double has no integer value.
constexpr double kLargestGroupValue = 0x1p62;

// How one group column's rounded values map onto the digits of the combined group code.
struct GroupColumnCoding {
    int column = 0;
    double lowest = 0; // rounded Min of the column
    long long range = 1;
};

int RefuseGroups(TRunInfo& runInfo, const std::string& message) {
    ShowError(message);
    GroupSort = TGroupSort{};
    runInfo.FirstCode = runInfo.FirstGroup = 1;
    runInfo.LastCode = runInfo.LastGroup = 0;
    return 0;
}

const char* const kTooManyCombinations = "Too many combinations of group values to form groups.\r\n\r\n"
                                         "Choose fewer group columns or columns with fewer distinct values.";

// Null when the column can form groups; otherwise the reason it cannot.
const char* CodeGroupColumn(int col, GroupColumnCoding& coding) {
    // Only data columns have a known range; a row statistic or a column number left over from
    // a wider table has values outside anything on record.
    if (col < 1 || col > Columns()) return "Group columns must be columns of the data table.";
    const auto c = static_cast<std::size_t>(col);
    const double lo = DataList.HasRange[c] ? RoundHalfEven(DataList.Min[c]) : 0;
    const double hi = DataList.HasRange[c] ? RoundHalfEven(DataList.Max[c]) : 0;
    if (!(std::fabs(lo) <= kLargestGroupValue && std::fabs(hi) <= kLargestGroupValue))
        return "The values of a group column are too large to form groups.";
    const double range = hi - lo + 1;
    if (!(range >= 1 && range < 2147483647.0)) return kTooManyCombinations;
    coding = {col, lo, static_cast<long long>(range)};
    return nullptr;
}

// The place value of each group column in the combined code (the last column counts fastest)
// and the number of codes; false when they would not fit a 32-bit code.
bool PlaceValues(const std::vector<GroupColumnCoding>& codings, std::vector<long long>& place,
                 long long& product) {
    place.assign(codings.size(), 1);
    product = 1;
    for (std::size_t i = codings.size(); i-- > 0;) {
        place[i] = product;
        if (product > (std::numeric_limits<std::int32_t>::max() - 1) / codings[i].range) return false;
        product *= codings[i].range;
    }
    return true;
}

// Code of one row: 0 when a group value is missing, else 1 + the place-valued offsets. A value
// outside its column's range (a cache changed behind our back) also gives 0, so that a code
// never exceeds the product of the ranges.
std::int32_t RowCode(int row, const std::vector<GroupColumnCoding>& codings,
                     const std::vector<long long>& place) {
    long long code = 1;
    for (std::size_t i = 0; i < codings.size(); ++i) {
        const double v = ValueAt(codings[i].column, row);
        if (v == MissingValue) return 0;
        const double offset = RoundHalfEven(v) - codings[i].lowest;
        if (!(offset >= 0 && offset < static_cast<double>(codings[i].range))) return 0;
        code += static_cast<long long>(offset) * place[i];
    }
    return static_cast<std::int32_t>(code);
}

// GroupSort: the distinct codes in ascending order, each with its first row as representative.
void SortGroupCodes(int rows, long long product) {
    GroupSort.Code.assign(1, 0);
    GroupSort.Row.assign(1, 0);
    if (product <= 4LL * rows + 1024) {
        std::vector<std::int32_t> first(static_cast<std::size_t>(product) + 1, 0);
        for (int r = rows; r >= 1; --r)
            first[static_cast<std::size_t>(RowGroupCode[static_cast<std::size_t>(r)])] = r;
        for (std::size_t code = 0; code < first.size(); ++code) {
            if (!first[code]) continue;
            GroupSort.Code.push_back(static_cast<std::int32_t>(code));
            GroupSort.Row.push_back(first[code]);
        }
        return;
    }
    std::vector<std::int32_t> order(static_cast<std::size_t>(rows));
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(), [](std::int32_t a, std::int32_t b) {
        return RowGroupCode[static_cast<std::size_t>(a)] < RowGroupCode[static_cast<std::size_t>(b)];
    });
    for (std::int32_t r : order) {
        std::int32_t code = RowGroupCode[static_cast<std::size_t>(r)];
        if (GroupSort.Code.size() > 1 && GroupSort.Code.back() == code) continue;
        GroupSort.Code.push_back(code);
        GroupSort.Row.push_back(r);
    }
}

} // namespace

int PrepareGroups(TRunInfo& runInfo) {
    RebuildIfStale();
    const int n = std::clamp<int>(runInfo.GroupColumnCount, 0, kMaxColumns);
    const int rows = Rows();
    std::vector<GroupColumnCoding> codings(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) {
        auto& coding = codings[static_cast<std::size_t>(i - 1)];
        if (const char* refusal = CodeGroupColumn(runInfo.GroupColumns[static_cast<std::size_t>(i)], coding))
            return RefuseGroups(runInfo, refusal);
        runInfo.LevelRange[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
            std::min<long long>(coding.range, std::numeric_limits<std::int16_t>::max()));
    }
    std::vector<long long> place;
    long long product = 1;
    if (!PlaceValues(codings, place, product)) return RefuseGroups(runInfo, kTooManyCombinations);
    for (int i = 1; i <= n; ++i)
        runInfo.Multiplier[static_cast<std::size_t>(i)] =
            static_cast<std::int32_t>(place[static_cast<std::size_t>(i - 1)]);

    RowGroupCode.assign(static_cast<std::size_t>(rows) + 1, 0);
    for (int r = 1; r <= rows; ++r)
        RowGroupCode[static_cast<std::size_t>(r)] = RowCode(r, codings, place);
    SortGroupCodes(rows, product);
    int count = static_cast<int>(GroupSort.Code.size()) - 1;
    if (count == 0) {
        // A table without rows still has its one (empty) combination.
        GroupSort.Code.push_back(0);
        GroupSort.Row.push_back(0);
        count = 1;
    }
    runInfo.FirstCode = runInfo.FirstGroup = 1;
    runInfo.LastCode = runInfo.LastGroup = count;
    return count;
}

void ExtractGroup(int pos, TRunInfo& runInfo) {
    RebuildIfStale();
    SampleN = 0;
    EnsureCapacity(runInfo.RunType);
    const int columns = Columns();
    switch (runInfo.RunType) {
    case kRunColumns:
        if (IsSelectedColumn(pos)) TakeColumn(pos, AllRows());
        DataList.SpecColumn = pos;
        break;
    case kRunByGroupValue:
        TakeColumn(runInfo.MeasureColumn, GroupValueMatch(runInfo, pos));
        DataList.SpecColumn = runInfo.MeasureColumn;
        break;
    case kRunByCombination:
    case kRunBySingleCombination:
        TakeColumn(runInfo.MeasureColumn, CombinationMatch(pos));
        DataList.SpecColumn = runInfo.MeasureColumn;
        break;
    case kRunPooled:
        if (pos <= columns)
            TakeSelectedColumns(AllRows(), runInfo.FirstGroup, runInfo.LastGroup);
        else
            TakeColumn(pos, AllRows());
        DataList.SpecColumn = runInfo.FirstGroup;
        break;
    case kRunColumnsByGroupValue:
        TakeSelectedColumns(GroupValueMatch(runInfo, pos));
        DataList.SpecColumn = FirstSelectedColumn();
        break;
    case kRunColumnsByCombination:
        TakeSelectedColumns(CombinationMatch(pos));
        DataList.SpecColumn = FirstSelectedColumn();
        break;
    case kRunRowMeans:
        TakeColumn(columns + 1, AllRows());
        DataList.SpecColumn = FirstSelectedColumn();
        break;
    case kRunRowMeansByGroupValue:
        TakeColumn(columns + 1, GroupValueMatch(runInfo, pos));
        DataList.SpecColumn = FirstSelectedColumn();
        break;
    case kRunRowMeansByCombination:
        TakeColumn(columns + 1, CombinationMatch(pos));
        DataList.SpecColumn = FirstSelectedColumn();
        break;
    case kRunEachByGroupValue:
        TakeColumn(runInfo.CurrentMeasure, GroupValueMatch(runInfo, pos));
        DataList.SpecColumn = FirstSelectedColumn();
        break;
    case kRunEachByCombination:
        TakeColumn(runInfo.CurrentMeasure, CombinationMatch(pos));
        DataList.SpecColumn = FirstSelectedColumn();
        break;
    default: break;
    }
    TransformExtracted(runInfo.RunType);
}

void ExtractAll(TRunInfo& runInfo) {
    RebuildIfStale();
    SampleN = 0;
    DataList.EnsureSampleCapacity(static_cast<int>(
        std::min<long long>(static_cast<long long>(std::max(SelectedCount(), 1)) * Rows(), INT32_MAX - 1)));
    const int columns = Columns();
    switch (runInfo.RunType) {
    case kRunByGroupValue:
    case kRunByCombination:
    case kRunBySingleCombination:
        TakeColumn(runInfo.MeasureColumn, AllRows());
        DataList.SpecColumn = runInfo.MeasureColumn;
        break;
    case kRunRowMeans:
    case kRunRowMeansByGroupValue:
    case kRunRowMeansByCombination:
        TakeColumn(columns + 1, AllRows());
        if (runInfo.RunType == kRunRowMeans) DataList.SpecColumn = FirstSelectedColumn();
        break;
    default:
        TakeSelectedColumns(AllRows());
        DataList.SpecColumn = FirstSelectedColumn();
        break;
    }
    runInfo.ShortLabel = runInfo.LongLabel = "(All)";
    TransformExtracted(runInfo.RunType);
}

void ExtractRowStatistic(int k, TRunInfo& runInfo) {
    RebuildIfStale();
    SampleN = 0;
    DataList.EnsureSampleCapacity(std::max(Rows(), 0));
    if (k < 1 || k > RowStatisticColumns) return;
    const int col = Columns() + k;
    switch (runInfo.RunType) {
    case kRunColumnsByGroupValue:
    case kRunRowMeansByGroupValue:
    case kRunEachByGroupValue: TakeColumn(col, GroupValueMatch(runInfo, runInfo.Position)); break;
    case kRunColumnsByCombination:
    case kRunRowMeansByCombination:
    case kRunEachByCombination: TakeColumn(col, CombinationMatch(runInfo.Position)); break;
    case kRunPooled:
    case kRunRowMeans: TakeColumn(col, AllRows()); break;
    default: break;
    }
}

void RewindGroups(TRunInfo& runInfo) {
    runInfo.Position = FirstPosition(runInfo) - 1;
    runInfo.CurrentMeasure = runInfo.FirstMeasure;
}

namespace {

bool IsGroupValueRun(const TRunInfo& runInfo) {
    return runInfo.RunType == kRunByGroupValue || runInfo.RunType == kRunColumnsByGroupValue ||
           runInfo.RunType == kRunRowMeansByGroupValue || runInfo.RunType == kRunEachByGroupValue;
}

// The smallest group value at or after pos that some row holds (LastGroup + 1 when none): runs by
// group value go from one value that occurs to the next, not through every number between (a
// group column holding 1 and 2,000,000,000 has two groups, not two thousand million).
long long NextGroupValue(const TRunInfo& runInfo, long long pos) {
    RebuildIfStale();
    const long long end = static_cast<long long>(runInfo.LastGroup) + 1;
    double next = static_cast<double>(end);
    for (int r = 1; r <= Rows(); ++r) {
        const double v = RoundHalfEven(ValueAt(runInfo.GroupColumn, r));
        if (v >= static_cast<double>(pos) && v < next) next = v;
    }
    return static_cast<long long>(next);
}

// The group loop shared by NextGroup and NextRowStatisticGroup.
template <typename Extract> bool Advance(TRunInfo& runInfo, Extract extract) {
    const bool perMeasure =
        runInfo.RunType == kRunEachByGroupValue || runInfo.RunType == kRunEachByCombination;
    const bool byValue = IsGroupValueRun(runInfo);
    // Stepped in 64 bits: a range may end at the largest 32-bit value.
    long long pos = static_cast<long long>(runInfo.Position) + 1;
    while (true) {
        for (; pos <= runInfo.LastGroup; ++pos) {
            if (byValue && (pos = NextGroupValue(runInfo, pos)) > runInfo.LastGroup) break;
            runInfo.Position = static_cast<std::int32_t>(pos);
            extract();
            if (SampleN > 0) {
                // One pooled group only.
                if (runInfo.RunType == kRunPooled || runInfo.RunType == kRunRowMeans) {
                    SetGroupLabels(runInfo);
                    runInfo.Position = runInfo.LastGroup;
                    return true;
                }
                return true;
            }
        }
        // Per-measure runs go on with the next measure (also past measures with no values).
        int next = perMeasure ? NextSelectedMeasure(runInfo, runInfo.CurrentMeasure) : 0;
        if (!next) break;
        runInfo.CurrentMeasure = next;
        pos = FirstPosition(runInfo);
    }
    runInfo.Position = static_cast<std::int32_t>(std::min<long long>(pos, runInfo.LastGroup));
    return false;
}

} // namespace

bool NextGroup(TRunInfo& runInfo) {
    bool found = Advance(runInfo, [&] { ExtractGroup(runInfo.Position, runInfo); });
    if (found && runInfo.RunType != kRunPooled && runInfo.RunType != kRunRowMeans) SetGroupLabels(runInfo);
    return found;
}

bool NextRowStatisticGroup(int k, TRunInfo& runInfo) {
    // Pooled runs are labelled before Advance moves Position to the end.
    bool found = Advance(runInfo, [&] { ExtractRowStatistic(k, runInfo); });
    if (!found) return false;
    switch (runInfo.RunType) {
    case kRunPooled: runInfo.ShortLabel = "Group"; break;
    case kRunRowMeans: runInfo.ShortLabel = "Mean"; break;
    case kRunColumnsByCombination:
    case kRunRowMeansByCombination:
    case kRunEachByCombination: runInfo.ShortLabel = GroupLabel(runInfo.Position, runInfo); break;
    default: runInfo.ShortLabel = std::to_string(runInfo.Position); break;
    }
    runInfo.LongLabel = runInfo.ShortLabel;
    return true;
}

void CountGroups(TRunInfo& runInfo) {
    runInfo.GroupCount = 0;
    runInfo.ValueTotal = 0;
    // Stepped in 64 bits like NextGroup; the totals stop at the largest 32-bit value.
    const bool byValue = IsGroupValueRun(runInfo);
    for (long long pos = FirstPosition(runInfo); pos <= runInfo.LastGroup; ++pos) {
        if (byValue && (pos = NextGroupValue(runInfo, pos)) > runInfo.LastGroup) break;
        runInfo.Position = static_cast<std::int32_t>(pos);
        ExtractGroup(runInfo.Position, runInfo);
        if (SampleN > 0) {
            runInfo.GroupCount = SaturatedAdd(runInfo.GroupCount, 1);
            runInfo.ValueTotal = SaturatedAdd(runInfo.ValueTotal, SampleN);
        }
    }
    RewindGroups(runInfo);
}

void ListGroups(TRunInfo& runInfo) {
    RewindGroups(runInfo);
    GroupLabels.clear();
    GroupKeys.clear();
    while (NextGroup(runInfo)) {
        GroupLabels.push_back(runInfo.ShortLabel);
        if (runInfo.RunType == kRunEachByGroupValue || runInfo.RunType == kRunEachByCombination)
            GroupKeys.push_back(std::to_string(runInfo.CurrentMeasure) + "," +
                                std::to_string(runInfo.Position));
        else
            GroupKeys.push_back(std::to_string(runInfo.Position));
        if (runInfo.Position >= runInfo.LastGroup && runInfo.RunType != kRunEachByGroupValue &&
            runInfo.RunType != kRunEachByCombination)
            break;
    }
}

void SetGroupLabels(TRunInfo& runInfo) {
    const int columns = Columns();
    const TDataTable& table = DataTable();
    switch (runInfo.RunType) {
    case kRunColumns:
        if (runInfo.Position > columns && runInfo.Position <= columns + RowStatisticColumns) {
            static const char* const kNames[] = {"Mean", "StdDev", "n"};
            runInfo.ShortLabel = runInfo.LongLabel = kNames[runInfo.Position - columns - 1];
        } else {
            runInfo.ShortLabel = table.ColumnName(runInfo.Position);
            runInfo.LongLabel = ColumnLabel(runInfo.Position);
        }
        break;
    case kRunByGroupValue:
    case kRunColumnsByGroupValue:
    case kRunRowMeansByGroupValue:
        runInfo.ShortLabel = runInfo.LongLabel = GroupValueText(runInfo, runInfo.Position);
        break;
    case kRunByCombination:
    case kRunColumnsByCombination:
    case kRunRowMeansByCombination:
    case kRunBySingleCombination:
        runInfo.ShortLabel = runInfo.LongLabel = GroupLabel(runInfo.Position, runInfo);
        break;
    case kRunPooled: runInfo.ShortLabel = runInfo.LongLabel = "Group"; break;
    case kRunRowMeans: {
        std::string names;
        for (int c = 1; c <= columns; ++c) {
            if (!IsSelectedColumn(c)) continue;
            if (!names.empty()) names += ",";
            names += table.ColumnName(c);
        }
        runInfo.ShortLabel = runInfo.LongLabel = "Mean(" + names + ")";
        break;
    }
    case kRunEachByGroupValue:
    case kRunEachByCombination: {
        const std::string group = runInfo.RunType == kRunEachByGroupValue
                                      ? GroupValueText(runInfo, runInfo.Position)
                                      : GroupLabel(runInfo.Position, runInfo);
        runInfo.ShortLabel = table.ColumnName(runInfo.CurrentMeasure) + "(" + group + ")";
        runInfo.LongLabel = ColumnLabel(runInfo.CurrentMeasure) + "(" + group + ")";
        break;
    }
    default: break;
    }
}

std::string GroupLabel(int index, const TRunInfo& runInfo) {
    if (index < 1 || static_cast<std::size_t>(index) >= GroupSort.Row.size()) return {};
    const int row = GroupSort.Row[static_cast<std::size_t>(index)];
    std::string label;
    for (int i = 1; i <= std::clamp<int>(runInfo.GroupColumnCount, 0, kMaxColumns); ++i) {
        if (i > 1) label += ", ";
        label += DataTable().Cell(runInfo.GroupColumns[static_cast<std::size_t>(i)], row);
    }
    return label;
}

TCaseSelectionTexts CaseSelectionTexts() {
    const auto joined = [](const std::string& a, const std::string& b, const char* with) {
        if (a.empty()) return b;
        return b.empty() ? a : a + with + b;
    };
    TCaseSelectionTexts texts;
    const std::string missing = MissingRec.MissingOn ? joined(MissingText1, MissingText2, ", ") : "";
    texts.Missing = "Missing: " + (missing.empty() ? std::string("none") : missing);
    texts.Transform = "Transform: " + TransformText();
    const std::string conditions =
        ProcessIfOn ? joined(ConditionText1, ConditionText2, ProcessIfRec.OrJoin ? " or " : " and ") : "";
    texts.ProcessIf = "Process If: " + (conditions.empty() ? std::string("Off") : conditions);
    return texts;
}

bool SelectionSummary(TSelectionSummary& summary) {
    std::vector<std::string> entries;
    if (MissingRec.MissingOn) {
        if (!MissingText1.empty()) entries.push_back("Missing When: " + MissingText1);
        if (!MissingText2.empty()) entries.push_back("Missing When: " + MissingText2);
    }
    if (ProcessIfOn) {
        const bool both = !ConditionText1.empty() && !ConditionText2.empty();
        if (!ConditionText1.empty())
            entries.push_back("Process If: " + ConditionText1 +
                              (both ? (ProcessIfRec.OrJoin ? " or" : " and") : ""));
        if (!ConditionText2.empty()) entries.push_back("Process If: " + ConditionText2);
    }
    if (TransformRec.Kind != kTransformNone) entries.push_back("Transform: " + TransformText());
    summary = TSelectionSummary{};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) {
            summary.Lines += "\r\n";
            summary.TabbedLines += "\r\n\t";
            summary.Inline += "  ";
        }
        summary.Lines += entries[i];
        summary.TabbedLines += entries[i];
        summary.Inline += entries[i];
    }
    return MissingRec.MissingOn || ProcessIfOn || TransformRec.Kind != kTransformNone;
}

void ResetExtraction() {
    GroupLabels.clear();
    GroupKeys.clear();
    std::vector<std::uint8_t>().swap(SelectedRows);
}

} // namespace kivspc
