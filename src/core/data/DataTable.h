// SPDX-License-Identifier: GPL-3.0-or-later
// The one data table: text cells as typed, pasted or loaded, column names and the four
// description rows (Title, USL, Target, LSL) of every column. Columns and rows count from 1.
#pragma once

#include "data/CellColumn.h"

#include <string>
#include <string_view>
#include <vector>

namespace kivspc {

enum DescriptionRow { kTitleRow = 1, kUSLRow = 2, kTargetRow = 3, kLSLRow = 4 };

// One whole column: its name, its four descriptions and its cells (kept lazily: cells beyond
// the stored part are empty).
struct TTableColumn {
    std::string name;
    std::string descriptions[4];
    CellColumn cells;
};

class TDataTable {
public:
    TDataTable();

    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    int RowCount() const { return rows_; }

    // Empty for cells outside the table.
    std::string_view Cell(int col, int row) const;
    // Ignored outside the table.
    void SetCell(int col, int row, std::string_view text) {
        if (col < 1 || col > ColumnCount() || row < 1 || row > rows_) return;
        Column& c = columns_[static_cast<std::size_t>(col - 1)];
        // Columns are filled lazily: a cell beyond the stored part of a column is empty.
        if (text.empty() && static_cast<std::size_t>(row) > c.cells.Size()) return;
        c.cells.Set(static_cast<std::size_t>(row - 1), text);
    }
    const std::string& ColumnName(int col) const;
    void SetColumnName(int col, std::string name);
    // Description row 1..4 of a column.
    const std::string& Description(int col, int descRow) const;
    void SetDescription(int col, int descRow, std::string text);

    // Grows or shrinks to n columns (1..512); new columns are named "Col" + number.
    void SetColumnCount(int n);
    void SetRowCount(int n);
    // One more (empty) row at the end.
    void AppendRow() { ++rows_; }
    void ReserveRows(int n);
    void InsertRows(int before, int count);
    void DeleteRows(int first, int count);
    void InsertColumns(int before, int count);
    void DeleteColumns(int first, int count);

    // Removes count columns from first on and hands them over whole (at least one column stays).
    std::vector<TTableColumn> TakeColumns(int first, int count);
    // Puts whole columns back before column `before` (as many as fit in 512).
    void PutColumns(int before, std::vector<TTableColumn>&& columns);

    // The new table: one column "Col1" and one empty row.
    void Reset();
    std::size_t MemoryBytes() const;

    std::string FileName;
    bool Modified = false;

private:
    using Column = TTableColumn;
    bool Inside(int col) const { return col >= 1 && col <= ColumnCount(); }
    static Column MakeColumn(int number);

    std::vector<Column> columns_;
    int rows_ = 0;
};

// The program's one table.
TDataTable& DataTable();

} // namespace kivspc
