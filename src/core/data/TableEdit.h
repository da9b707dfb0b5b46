// SPDX-License-Identifier: GPL-3.0-or-later
// Every change to the data table goes through one edit: setting a block of cells, filling or
// clearing a range, inserting or deleting rows and columns, renaming, transposing. Applying an
// edit keeps the marks that depend on the table in step (changed rows, stale values, the
// modified flag, the editor's change flags) and returns the edit that undoes it. Undone rows
// and columns are kept in the table's own compact column form, never as a string per cell.
#pragma once

#include "data/CellColumn.h"
#include "data/DataFile.h"
#include "data/DataTable.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace kivspc {

// Values changed since the data editor last lost the focus.
extern bool DataChanged;
// The column structure or the names changed since then.
extern bool ColumnsChanged;
// Program-wide counters: windows that list columns or values refill when these move.
extern std::int32_t DataChangeCount;
extern std::int32_t ColumnChangeCount;
extern std::int32_t NewTableCount;

// What the data editor does when it loses the focus: rebuilds stale values, then counts the
// pending data and column changes and clears both flags.
// `rebuildValues` false leaves stale values to the next reader (tools that add a column to a big
// table need not convert every cell at once).
void CommitEditorChanges(bool rebuildValues = true);
// Counters and flags back to their start-up values.
void ResetEditorChanges();

// What an edit touched, for windows showing the table.
struct TEditEffect {
    // Rows or columns came or went: everything shown may have moved.
    bool Structure = false;
    // Names or descriptions changed.
    bool Headers = false;
    // The cells whose texts changed (FirstColumn 0 when none).
    CellRange Cells;
};

class TTableEdit;

namespace edits {
// Cells of a block, one compact column per table column, each Rows long.
struct SetCells {
    int FirstColumn = 1;
    int FirstRow = 1;
    int Rows = 0;
    std::vector<CellColumn> Columns;
};
// The same text in every cell of a range ("" clears).
struct Fill {
    CellRange Range;
    std::string Text;
};
// Rows inserted before row `Before`; with Contents (one column per table column, each Count
// long) they hold those cells, else they are empty.
struct InsertRows {
    int Before = 1;
    int Count = 0;
    std::vector<CellColumn> Contents;
};
struct DeleteRows {
    int First = 1;
    int Count = 0;
};
// Columns inserted before column `Before`: the given whole columns, or Count empty ones named
// "Col" + number when Contents is empty.
struct InsertColumns {
    int Before = 1;
    int Count = 0;
    std::vector<TTableColumn> Contents;
};
struct DeleteColumns {
    int First = 1;
    int Count = 0;
};
// Names (row 0) and descriptions (rows 1..4) of a block of columns, column by column.
struct SetHeaders {
    int FirstColumn = 1;
    int FirstRow = 0;
    int Rows = 1;
    std::vector<std::string> Texts;
};
// Rows become columns: cells only; names become "Col" + number and descriptions are cleared.
struct Transpose {};
// Edits applied in order (and undone in reverse).
struct Sequence {
    std::vector<TTableEdit> Steps;
};
} // namespace edits

class TTableEdit {
public:
    using Variant =
        std::variant<edits::SetCells, edits::Fill, edits::InsertRows, edits::DeleteRows, edits::InsertColumns,
                     edits::DeleteColumns, edits::SetHeaders, edits::Transpose, edits::Sequence>;

    TTableEdit() : edit_(edits::Sequence{}) {}
    template <typename Edit>
    requires(!std::is_same_v<std::decay_t<Edit>, TTableEdit>) TTableEdit(Edit edit)
        : edit_(std::move(edit)) {}

    // Texts of a block (rows of cells, each row a vector of texts) from column, row on.
    static TTableEdit Cells(int firstColumn, int firstRow, const std::vector<std::vector<std::string>>& rows);
    static TTableEdit Cell(int col, int row, std::string_view text);
    static TTableEdit Rename(int col, std::string name);
    static TTableEdit Description(int col, int descRow, std::string text);
    // Column 1 "Case" holding the case numbers 1..R.
    static TTableEdit InsertCaseNumbers();

    // Empty when the edit can be applied to the table as it is, else the message to show.
    std::string Check() const;
    // Applies the edit (which must pass Check) and returns the edit that undoes it.
    TTableEdit Apply();
    TEditEffect Effect() const;
    // Bytes the edit holds (what an undo step costs).
    std::size_t MemoryBytes() const;
    bool Empty() const;

    const Variant& Get() const { return edit_; }

private:
    Variant edit_;
};

// Called after an edit went through ApplyTableEdit, with the edit that undoes it and a label
// naming the command ("Paste", "Delete Rows" ...). The data editor keeps its undo steps here.
extern std::function<void(const TEditEffect& effect, TTableEdit&& inverse, std::string_view label)>
    OnTableEdited;

// Checks the edit (showing its message and changing nothing when it cannot be applied), applies
// it and hands its inverse to OnTableEdited. False when refused.
bool ApplyTableEdit(TTableEdit edit, std::string_view label);

} // namespace kivspc
