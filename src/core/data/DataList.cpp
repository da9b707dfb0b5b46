// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/DataList.h"

#include "data/TableHooks.h"

#include "app/Platform.h"
#include "app/SharedState.h"
#include "data/DataTable.h"
#include "stats/SampleBuffer.h"

#include <algorithm>
#include <unordered_map>

namespace kivspc {

TDataList DataList;
std::vector<std::vector<double>> Values;
std::vector<std::vector<std::int32_t>> LevelFirstRow;
std::vector<std::uint8_t> RowChanged;
std::vector<std::int32_t> RowGroupCode;
TGroupSort GroupSort;
bool ValuesStale = false;
int PasteFirstRow = 0;
int PasteLastRow = 0;

namespace {

// Converts one column; returns true when it turns out to be a text column.
bool ConvertColumn(const TDataTable& table, int col, int rows, std::vector<double>& out) {
    for (int r = 1; r <= rows; ++r) {
        double v = MissingValue;
        if (!NumericCellValue(table.Cell(col, r), v)) return true;
        out[static_cast<std::size_t>(r)] = v;
    }
    return false;
}

// Levels in order of first appearance down the rows; equal texts share a level.
void AssignLevels(const TDataTable& table, int col, int rows, std::vector<double>& out,
                  std::vector<std::int32_t>& firstRow) {
    firstRow.assign(1, 0);
    std::unordered_map<std::string_view, std::int32_t> levels;
    for (int r = 1; r <= rows; ++r) {
        std::string_view text = table.Cell(col, r);
        auto [it, inserted] = levels.try_emplace(text, static_cast<std::int32_t>(firstRow.size()));
        if (inserted) firstRow.push_back(r);
        out[static_cast<std::size_t>(r)] = it->second;
    }
}

double DescriptionValue(int col, int descRow) {
    if (col < 1 || col > DataTable().ColumnCount()) return MissingValue;
    return CellTextToValue(DataTable().Description(col, descRow));
}

} // namespace

void TDataList::MarkRowChanged(int row) {
    if (row >= 1 && row <= RowCapacity && static_cast<std::size_t>(row) < RowChanged.size())
        RowChanged[static_cast<std::size_t>(row)] = 1;
    ValuesStale = true;
}

void TDataList::MarkRangeChanged() {
    for (int r = PasteFirstRow; r <= PasteLastRow; ++r)
        MarkRowChanged(r);
    ValuesStale = true;
}

void TDataList::MarkAllRowsChanged() {
    for (int r = 1; r <= DataTable().RowCount(); ++r)
        MarkRowChanged(r);
    ValuesStale = true;
}

void TDataList::RebuildValues() { Rebuild(nullptr, nullptr); }

void TDataList::AdoptConvertedValues(std::vector<std::vector<double>>&& converted,
                                     const std::vector<std::uint8_t>& isText) {
    Rebuild(&converted, &isText);
}

void TDataList::Rebuild(std::vector<std::vector<double>>* converted,
                        const std::vector<std::uint8_t>* knownText) {
    BusyCursor busy;
    const TDataTable& table = DataTable();
    const int cols = table.ColumnCount();
    const int rows = table.RowCount();
    const std::size_t valueCols = static_cast<std::size_t>(cols) + RowStatisticColumns + 1;

    // Kinds can change with any edit (a column loses its last word), so every row is
    // converted again; the arrays are only reallocated when the table outgrew them.
    Resized = cols > ColumnCapacity || rows > RowCapacity || Values.size() != valueCols;
    if (Resized) {
        bool columnsMoved = Values.size() != valueCols;
        Values.resize(valueCols);
        // The row-statistic columns follow the data columns; when those move they start empty.
        if (columnsMoved)
            for (std::size_t c = static_cast<std::size_t>(cols) + 1; c < valueCols; ++c)
                Values[c].clear();
        LevelFirstRow.resize(static_cast<std::size_t>(cols) + 1);
        ColumnCapacity = cols;
        RowCapacity = std::max(rows, RowCapacity);
        RowChanged.assign(static_cast<std::size_t>(RowCapacity) + 1, 0);
    }
    if (LevelFirstRow.size() < static_cast<std::size_t>(cols) + 1)
        LevelFirstRow.resize(static_cast<std::size_t>(cols) + 1);

    for (int c = 1; c <= cols; ++c) {
        const auto col = static_cast<std::size_t>(c);
        auto& out = Values[col];
        bool text = false;
        if (converted && col < converted->size() &&
            (*converted)[col].size() == static_cast<std::size_t>(rows) + 1) {
            // Converted while the file was read: numbers are in place, text columns need levels.
            out = std::move((*converted)[col]);
            text = knownText && col < knownText->size() && (*knownText)[col];
        } else {
            out.resize(static_cast<std::size_t>(rows) + 1, MissingValue);
            text = ConvertColumn(table, c, rows, out);
        }
        IsText[col] = text;
        HasRange[col] = 0;
        auto& firstRow = LevelFirstRow[col];
        if (text)
            AssignLevels(table, c, rows, out, firstRow);
        else
            firstRow.clear();
        bool any = false;
        double lo = 0;
        double hi = 0;
        for (int r = 1; r <= rows; ++r) {
            double v = out[static_cast<std::size_t>(r)];
            if (v == MissingValue) continue;
            if (!any) {
                lo = hi = v;
                any = true;
            } else {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        }
        HasRange[col] = any;
        Min[col] = any ? lo : 0;
        Max[col] = any ? hi : 0;
    }
    for (std::size_t c = static_cast<std::size_t>(cols) + 1; c < valueCols; ++c)
        if (!Values[c].empty()) Values[c].resize(static_cast<std::size_t>(rows) + 1, MissingValue);
    std::fill(RowChanged.begin(), RowChanged.end(), 0);
    RowsCached = rows;
    ValuesStale = false;
    if (OnValuesRebuilt) OnValuesRebuilt();
}

void EnsureRowStatisticColumns() {
    const std::size_t rows = static_cast<std::size_t>(DataTable().RowCount()) + 1;
    for (std::size_t c = static_cast<std::size_t>(DataTable().ColumnCount()) + 1; c < Values.size(); ++c)
        if (Values[c].size() != rows) Values[c].assign(rows, MissingValue);
}

void TDataList::EnsureSampleCapacity(int n) {
    // The buffer may have been replaced (a sample set by hand): trust its real size.
    const std::size_t need = static_cast<std::size_t>(std::max(n, 0)) + 1;
    if (SampleX.size() < need) SampleX.resize(need, 0.0);
    SampleCapacity = std::max(SampleCapacity, n);
}

void NewDataList() {
    DataList = TDataList{};
    Values.clear();
    Values.shrink_to_fit();
    LevelFirstRow.clear();
    LevelFirstRow.shrink_to_fit();
    RowChanged.clear();
    RowChanged.shrink_to_fit();
    RowGroupCode.clear();
    RowGroupCode.shrink_to_fit();
    GroupSort = TGroupSort{};
    ValuesStale = false;
    PasteFirstRow = PasteLastRow = 0;
}

void NewDataTable() {
    DataTable().Reset();
    NewDataList();
}

int ColumnCount() { return DataTable().ColumnCount(); }

std::string ColumnLabel(int col) {
    const TDataTable& table = DataTable();
    if (col < 1 || col > table.ColumnCount()) return {};
    const std::string& title = table.Description(col, kTitleRow);
    return title.empty() ? table.ColumnName(col) : title;
}

double ColumnUSL(int col) { return DescriptionValue(col, kUSLRow); }
double ColumnTarget(int col) { return DescriptionValue(col, kTargetRow); }
double ColumnLSL(int col) { return DescriptionValue(col, kLSLRow); }

std::string LevelText(int col, int level) {
    if (col >= 1 && col <= DataTable().ColumnCount() && DataList.IsText[static_cast<std::size_t>(col)]) {
        if (static_cast<std::size_t>(col) >= LevelFirstRow.size()) return {};
        const auto& first = LevelFirstRow[static_cast<std::size_t>(col)];
        if (level < 1 || static_cast<std::size_t>(level) >= first.size()) return {};
        return std::string(DataTable().Cell(col, first[static_cast<std::size_t>(level)]));
    }
    return std::to_string(level);
}

} // namespace kivspc
