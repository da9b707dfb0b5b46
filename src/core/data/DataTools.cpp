// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/DataTools.h"

#include "app/Messages.h"
#include "app/MissingValue.h"
#include "app/NumberFormat.h"
#include "app/Platform.h"
#include "app/TextTools.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Extract.h"
#include "data/Missu.h"
#include "data/RunInfo.h"
#include "data/TableEdit.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <new>

namespace kivspc {

namespace {

constexpr const char* kTooManyColumns = "Maximum Number of Columns Exceeded.";

// Rows the cache holds values for.
int CachedRows() {
    if (ValuesStale) DataList.RebuildValues();
    return std::min(DataTable().RowCount(), DataList.RowsCached);
}

double CachedValue(int col, int row) {
    const auto& column = Values[static_cast<std::size_t>(col)];
    const auto r = static_cast<std::size_t>(row);
    return r < column.size() ? column[r] : MissingValue;
}

void SetNumber(CellColumn& cells, std::size_t row, long long n) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, n).ptr;
    cells.Set(row, std::string_view(text, static_cast<std::size_t>(end - text)));
}

bool ValidColumns(const std::vector<int>& columns) {
    const int count = DataTable().ColumnCount();
    return !columns.empty() &&
           std::all_of(columns.begin(), columns.end(), [count](int c) { return c >= 1 && c <= count; });
}

std::string Grouped(long long n) { return FormatFixedGrouped(0, static_cast<double>(n)); }

} // namespace

int GenerateRunNumbers(const std::vector<int>& columns) {
    if (!ValidColumns(columns)) return 0;
    BusyCursor busy;
    const int rows = CachedRows();
    // One row is one run: there is nothing to number.
    if (DataTable().RowCount() <= 1) return 0;
    if (DataTable().ColumnCount() >= kMaxColumns) {
        ShowError(kTooManyColumns);
        return 0;
    }
    TRunInfo run;
    run.RunType = columns.size() == 1 ? kRunBySingleCombination : kRunByCombination;
    run.GroupColumnCount = static_cast<std::int16_t>(std::min<std::size_t>(columns.size(), kMaxColumns));
    for (int i = 1; i <= run.GroupColumnCount; ++i)
        run.GroupColumns[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(columns[i - 1]);
    if (PrepareGroups(run) <= 0) return 0;

    // GroupSort.Code holds the distinct codes in ascending order; code 0 (a missing value in one
    // of the columns) gets no number.
    const std::vector<std::int32_t>& codes = GroupSort.Code;
    const std::int32_t skipped = codes.size() > 1 && codes[1] == 0 ? 1 : 0;
    const std::int32_t highest = codes.size() > 1 ? codes.back() : 0;
    std::vector<std::int32_t> numberOf;
    // Codes within a small multiple of the rows index a table directly, else they are searched.
    if (static_cast<long long>(highest) <= 4LL * rows + 1024) {
        numberOf.assign(static_cast<std::size_t>(highest) + 1, 0);
        for (std::size_t i = 1; i < codes.size(); ++i)
            numberOf[static_cast<std::size_t>(codes[i])] = static_cast<std::int32_t>(i) - skipped;
    }
    const auto numberOfCode = [&](std::int32_t code) -> std::int32_t {
        if (code <= 0) return 0;
        if (!numberOf.empty()) return code <= highest ? numberOf[static_cast<std::size_t>(code)] : 0;
        const auto it = std::lower_bound(codes.begin() + 1, codes.end(), code);
        if (it == codes.end() || *it != code) return 0;
        return static_cast<std::int32_t>(it - codes.begin()) - skipped;
    };

    edits::InsertColumns edit;
    edit.Before = DataTable().ColumnCount() + 1;
    edit.Count = 1;
    TTableColumn& column = edit.Contents.emplace_back();
    column.name = "Run";
    column.cells.Reserve(static_cast<std::size_t>(rows));
    for (int r = 1; r <= rows; ++r) {
        const auto row = static_cast<std::size_t>(r);
        const std::int32_t number = row < RowGroupCode.size() ? numberOfCode(RowGroupCode[row]) : 0;
        if (number > 0)
            SetNumber(column.cells, row - 1, number);
        else
            column.cells.Set(row - 1, {});
    }
    if (!ApplyTableEdit(std::move(edit), "Generate Run Numbers")) return 0;
    DataList.MarkAllRowsChanged();
    return DataTable().ColumnCount();
}

int AutoRecode(const std::vector<int>& columns) {
    if (!ValidColumns(columns)) return 0;
    BusyCursor busy;
    const int rows = CachedRows();
    if (DataTable().ColumnCount() + static_cast<long long>(columns.size()) > kMaxColumns) {
        ShowError(kTooManyColumns);
        return 0;
    }
    edits::InsertColumns edit;
    edit.Before = DataTable().ColumnCount() + 1;
    edit.Count = static_cast<int>(columns.size());
    std::vector<double> distinct;
    for (int c : columns) {
        distinct.clear();
        distinct.reserve(static_cast<std::size_t>(rows));
        for (int r = 1; r <= rows; ++r)
            if (const double v = CachedValue(c, r); IsValidValue(v)) distinct.push_back(v);
        std::sort(distinct.begin(), distinct.end());
        distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());

        TTableColumn& column = edit.Contents.emplace_back();
        column.name = DataTable().ColumnName(c) + "_R";
        column.cells.Reserve(static_cast<std::size_t>(rows));
        for (int r = 1; r <= rows; ++r) {
            const auto row = static_cast<std::size_t>(r - 1);
            const double v = CachedValue(c, r);
            if (!IsValidValue(v)) {
                column.cells.Set(row, {});
                continue;
            }
            const auto it = std::lower_bound(distinct.begin(), distinct.end(), v);
            SetNumber(column.cells, row, static_cast<long long>(it - distinct.begin()) + 1);
        }
    }
    if (!ApplyTableEdit(std::move(edit), "Auto Recode")) return 0;
    DataList.MarkAllRowsChanged();
    return static_cast<int>(columns.size());
}

TWeightOutcome PlanWeightCases(int weightColumn) {
    TWeightOutcome out;
    const TDataTable& table = DataTable();
    if (weightColumn < 1 || weightColumn > table.ColumnCount()) {
        out.Message = "Choose a weight column of the data table.";
        return out;
    }
    const int rows = CachedRows();
    const std::string& name = table.ColumnName(weightColumn);
    const auto refuse = [&](int row, const std::string& why) {
        out.Message = "Row " + std::to_string(row) + " of " + name + " " + why +
                      "\r\n\r\nEvery row needs a weight that rounds to 1 or more; nothing was changed.";
        return out;
    };
    const bool text = DataList.IsText[static_cast<std::size_t>(weightColumn)] != 0;
    long long total = 0;
    for (int r = 1; r <= table.RowCount(); ++r) {
        const std::string_view cell = table.Cell(weightColumn, r);
        if (cell.empty()) return refuse(r, "has no weight.");
        // A text column keeps levels, not numbers: its cells are read again.
        double v = MissingValue;
        const bool number = text ? NumericCellValue(cell, v) : (v = CachedValue(weightColumn, r), r <= rows);
        if (!number || v == MissingValue)
            return refuse(r, "holds \"" + std::string(cell) + "\", which is not a number.");
        if (!IsValidValue(v)) return refuse(r, "holds " + std::string(cell) + ", which counts as missing.");
        const double w = std::nearbyint(v);
        if (w < 1)
            return refuse(r, "holds " + std::string(cell) + ", which rounds to " + FormatTrimmed(w) + ".");
        // Past the limit the sum no longer matters, and the comparison stays exact.
        total += static_cast<long long>(std::min(w, static_cast<double>(kMaxRows) + 1));
        if (total > kMaxRows) {
            out.Message = "The weights in " + name + " add up to more than " + Grouped(kMaxRows) +
                          " rows, more than the table can hold; nothing was changed.";
            return out;
        }
    }
    out.NewRowCount = total;
    out.Result = TWeightResult::Done;
    return out;
}

TWeightOutcome WeightCases(int weightColumn) {
    TWeightOutcome out;
    {
        BusyCursor busy;
        out = PlanWeightCases(weightColumn);
    }
    if (out.Result == TWeightResult::Refused) {
        ShowError(out.Message);
        return out;
    }
    if (!AskYesNo("New Row Count = " + std::to_string(out.NewRowCount) + ", Continue?")) {
        out.Result = TWeightResult::Declined;
        return out;
    }
    BusyCursor busy;
    TDataTable& table = DataTable();
    const int rows = table.RowCount();
    const auto added = static_cast<std::size_t>(out.NewRowCount - rows);
    if (added == 0) return out;

    edits::InsertRows edit;
    edit.Before = rows + 1;
    edit.Count = static_cast<int>(added);
    try {
        // The plan found a number of 1 or more in every row, so the column is numeric.
        std::vector<int> copies(static_cast<std::size_t>(rows) + 1, 0);
        for (int r = 1; r <= rows; ++r)
            copies[static_cast<std::size_t>(r)] =
                static_cast<int>(std::nearbyint(CachedValue(weightColumn, r))) - 1;
        // Room for the grown table first, so that applying the rows cannot run out of memory
        // half way.
        table.ReserveRows(static_cast<int>(out.NewRowCount));
        edit.Contents.resize(static_cast<std::size_t>(table.ColumnCount()));
        for (int c = 1; c <= table.ColumnCount(); ++c) {
            CellColumn& cells = edit.Contents[static_cast<std::size_t>(c - 1)];
            cells.Reserve(added);
            std::size_t next = 0;
            for (int r = 1; r <= rows; ++r) {
                const std::string_view text = table.Cell(c, r);
                for (int k = copies[static_cast<std::size_t>(r)]; k > 0; --k)
                    cells.Set(next++, text);
            }
        }
    } catch (const std::bad_alloc&) {
        out.Result = TWeightResult::Refused;
        out.Message = "Not enough memory for " + Grouped(out.NewRowCount) + " rows; nothing was changed.";
        ShowError(out.Message);
        return out;
    }
    if (!ApplyTableEdit(std::move(edit), "Weight Cases")) {
        out.Result = TWeightResult::Refused;
        return out;
    }
    DataList.MarkAllRowsChanged();
    return out;
}

} // namespace kivspc
