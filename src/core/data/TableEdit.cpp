// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/TableEdit.h"

#include "app/Messages.h"
#include "app/NumberFormat.h"
#include "app/TextTools.h"
#include "data/DataList.h"
#include "data/Procif.h"

#include <algorithm>

namespace kivspc {

bool DataChanged = false;
bool ColumnsChanged = false;
std::int32_t DataChangeCount = 0;
std::int32_t ColumnChangeCount = 0;
std::int32_t NewTableCount = 0;

std::function<void(const TEditEffect&, TTableEdit&&, std::string_view)> OnTableEdited;

void CommitEditorChanges(bool rebuildValues) {
    if (rebuildValues && ValuesStale) DataList.RebuildValues();
    if (DataChanged) ++DataChangeCount;
    if (ColumnsChanged) ++ColumnChangeCount;
    DataChanged = false;
    ColumnsChanged = false;
}

void ResetEditorChanges() {
    DataChanged = false;
    ColumnsChanged = false;
    DataChangeCount = 0;
    ColumnChangeCount = 0;
    NewTableCount = 0;
}

namespace {

using namespace edits;

constexpr const char* kTooManyColumns = "Maximum Number of Columns Exceeded.";

TDataTable& Table() { return DataTable(); }

void MarkRows(int first, int last) {
    last = std::min(last, Table().RowCount());
    for (int r = std::max(first, 1); r <= last; ++r)
        DataList.MarkRowChanged(r);
    ValuesStale = true;
}

// Marks shared by every edit of cells.
void CellsChanged(int firstRow, int lastRow) {
    MarkRows(firstRow, lastRow);
    DataChanged = true;
    Table().Modified = true;
}

// Marks shared by every edit that changes the columns. When existing columns moved or went,
// their numbers no longer mean what Process If was told, so it is switched off.
void ColumnsMoved(bool renumbered = true) {
    if (renumbered) ProcessIfOff();
    ColumnsChanged = true;
    DataChanged = true;
    ValuesStale = true;
    DataList.MarkAllRowsChanged();
    Table().Modified = true;
}

CellRange Clip(CellRange r) {
    const TDataTable& t = Table();
    r.FirstColumn = std::max(r.FirstColumn, 1);
    r.FirstRow = std::max(r.FirstRow, 1);
    r.LastColumn = std::min(r.LastColumn, t.ColumnCount());
    r.LastRow = std::min(r.LastRow, t.RowCount());
    return r;
}

// The cells of a range an edit writes, as the table clips it; the empty range (FirstColumn 0)
// when none is left.
CellRange Touched(CellRange r) {
    r = Clip(r);
    if (r.FirstColumn > r.LastColumn || r.FirstRow > r.LastRow) return {};
    return r;
}

// The cells of a range as a SetCells edit (what undoes writing into it).
SetCells Capture(CellRange r) {
    SetCells saved;
    saved.FirstColumn = r.FirstColumn;
    saved.FirstRow = r.FirstRow;
    saved.Rows = std::max(r.LastRow - r.FirstRow + 1, 0);
    const TDataTable& t = Table();
    for (int c = r.FirstColumn; c <= r.LastColumn; ++c) {
        CellColumn& column = saved.Columns.emplace_back();
        // Trailing empty cells need no storage: a short column reads as empty beyond its end.
        int last = r.LastRow;
        while (last >= r.FirstRow && t.Cell(c, last).empty())
            --last;
        column.Reserve(static_cast<std::size_t>(std::max(last - r.FirstRow + 1, 0)));
        for (int row = r.FirstRow; row <= last; ++row)
            column.Set(static_cast<std::size_t>(row - r.FirstRow), t.Cell(c, row));
    }
    return saved;
}

TTableEdit ApplySetCells(SetCells& e) {
    TDataTable& t = Table();
    const int lastColumn = e.FirstColumn + static_cast<int>(e.Columns.size()) - 1;
    const CellRange range{e.FirstColumn, lastColumn, e.FirstRow, e.FirstRow + e.Rows - 1};
    SetCells saved = Capture(Clip(range));
    for (std::size_t i = 0; i < e.Columns.size(); ++i) {
        const int col = e.FirstColumn + static_cast<int>(i);
        const CellColumn& source = e.Columns[i];
        for (int k = 0; k < e.Rows; ++k)
            t.SetCell(col, e.FirstRow + k, source.Get(static_cast<std::size_t>(k)));
    }
    CellsChanged(range.FirstRow, range.LastRow);
    return saved;
}

TTableEdit ApplyFill(Fill& e) {
    TDataTable& t = Table();
    const CellRange range = Clip(e.Range);
    SetCells saved = Capture(range);
    for (int c = range.FirstColumn; c <= range.LastColumn; ++c)
        for (int r = range.FirstRow; r <= range.LastRow; ++r)
            t.SetCell(c, r, e.Text);
    CellsChanged(range.FirstRow, range.LastRow);
    return saved;
}

TTableEdit ApplyInsertRows(InsertRows& e) {
    TDataTable& t = Table();
    const int before = std::clamp(e.Before, 1, t.RowCount() + 1);
    t.InsertRows(before, e.Count);
    for (std::size_t i = 0; i < e.Contents.size() && static_cast<int>(i) < t.ColumnCount(); ++i) {
        const CellColumn& source = e.Contents[i];
        const int col = static_cast<int>(i) + 1;
        for (std::size_t k = 0; k < source.Size(); ++k)
            t.SetCell(col, before + static_cast<int>(k), source.Get(k));
    }
    // Rows below the insertion moved: their cached values are stale.
    CellsChanged(before, t.RowCount());
    return DeleteRows{before, e.Count};
}

TTableEdit ApplyDeleteRows(DeleteRows& e) {
    TDataTable& t = Table();
    const int count = std::min(e.Count, t.RowCount() - e.First + 1);
    InsertRows saved{e.First, count, {}};
    const SetCells removed = Capture({1, t.ColumnCount(), e.First, e.First + count - 1});
    // Columns with nothing in the removed rows need no storage.
    bool any = false;
    for (const CellColumn& c : removed.Columns)
        any = any || c.Size() > 0;
    if (any) saved.Contents = removed.Columns;
    t.DeleteRows(e.First, count);
    CellsChanged(e.First, t.RowCount());
    return saved;
}

TTableEdit ApplyInsertColumns(InsertColumns& e) {
    TDataTable& t = Table();
    const int before = std::clamp(e.Before, 1, t.ColumnCount() + 1);
    const bool appended = before == t.ColumnCount() + 1;
    int count = e.Count;
    if (!e.Contents.empty()) {
        count = static_cast<int>(e.Contents.size());
        t.PutColumns(before, std::move(e.Contents));
        e.Contents.clear();
    } else {
        t.InsertColumns(before, count);
    }
    ColumnsMoved(!appended);
    return DeleteColumns{before, count};
}

TTableEdit ApplyDeleteColumns(DeleteColumns& e) {
    TDataTable& t = Table();
    InsertColumns saved;
    saved.Before = e.First;
    saved.Contents = t.TakeColumns(e.First, e.Count);
    saved.Count = static_cast<int>(saved.Contents.size());
    ColumnsMoved();
    return saved;
}

SetHeaders CaptureHeaders(int firstColumn, int lastColumn, int firstRow, int rows) {
    SetHeaders saved{firstColumn, firstRow, rows, {}};
    const TDataTable& t = Table();
    for (int c = firstColumn; c <= lastColumn; ++c)
        for (int r = firstRow; r < firstRow + rows; ++r)
            saved.Texts.push_back(r == 0 ? t.ColumnName(c) : t.Description(c, r));
    return saved;
}

TTableEdit ApplySetHeaders(SetHeaders& e) {
    TDataTable& t = Table();
    const int columns = e.Rows > 0 ? static_cast<int>(e.Texts.size()) / e.Rows : 0;
    const int lastColumn = std::min(e.FirstColumn + columns - 1, t.ColumnCount());
    SetHeaders saved = CaptureHeaders(e.FirstColumn, lastColumn, e.FirstRow, e.Rows);
    std::size_t i = 0;
    for (int c = e.FirstColumn; c <= lastColumn; ++c)
        for (int r = e.FirstRow; r < e.FirstRow + e.Rows; ++r, ++i) {
            if (r == 0)
                t.SetColumnName(c, e.Texts[i]);
            else
                t.SetDescription(c, r, e.Texts[i]);
        }
    if (e.FirstRow == 0) ColumnsChanged = true;
    // Descriptions hold the tolerance limits (USL, Target, LSL), which analyses read as values.
    DataChanged = true;
    t.Modified = true;
    return saved;
}

TTableEdit ApplyTranspose() {
    TDataTable& t = Table();
    const int cols = t.ColumnCount();
    const int rows = t.RowCount();
    // What transposing back cannot restore: the names and descriptions.
    SetHeaders headers = CaptureHeaders(1, cols, 0, 5);

    std::vector<TTableColumn> turned(static_cast<std::size_t>(std::max(rows, 1)));
    for (int r = 1; r <= rows; ++r) {
        CellColumn& out = turned[static_cast<std::size_t>(r - 1)].cells;
        int last = cols;
        while (last >= 1 && t.Cell(last, r).empty())
            --last;
        out.Reserve(static_cast<std::size_t>(last));
        for (int c = 1; c <= last; ++c)
            out.Set(static_cast<std::size_t>(c - 1), t.Cell(c, r));
    }
    for (std::size_t i = 0; i < turned.size(); ++i)
        turned[i].name = "Col" + std::to_string(i + 1);

    t.SetRowCount(cols);
    // The old columns go before the new ones come: old and new together may be more than the
    // table holds. The table keeps one column at all times, so the last new column takes the
    // place of the last old one first.
    t.TakeColumns(2, cols - 1);
    std::vector<TTableColumn> last;
    last.push_back(std::move(turned.back()));
    turned.pop_back();
    t.PutColumns(2, std::move(last));
    t.TakeColumns(1, 1);
    t.PutColumns(1, std::move(turned));
    ColumnsMoved();
    return Sequence{{Transpose{}, std::move(headers)}};
}

std::size_t ColumnsBytes(const std::vector<CellColumn>& columns) {
    std::size_t bytes = columns.capacity() * sizeof(CellColumn);
    for (const CellColumn& c : columns)
        bytes += c.MemoryBytes();
    return bytes;
}

} // namespace

TTableEdit TTableEdit::Cells(int firstColumn, int firstRow,
                             const std::vector<std::vector<std::string>>& rows) {
    SetCells e;
    e.FirstColumn = firstColumn;
    e.FirstRow = firstRow;
    e.Rows = static_cast<int>(rows.size());
    std::size_t width = 0;
    for (const auto& row : rows)
        width = std::max(width, row.size());
    e.Columns.resize(width);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < width; ++c)
            e.Columns[c].Set(r, c < rows[r].size() ? std::string_view(rows[r][c]) : std::string_view());
    return e;
}

TTableEdit TTableEdit::Cell(int col, int row, std::string_view text) {
    SetCells e;
    e.FirstColumn = col;
    e.FirstRow = row;
    e.Rows = 1;
    e.Columns.resize(1);
    e.Columns[0].Set(0, text);
    return e;
}

TTableEdit TTableEdit::Rename(int col, std::string name) { return SetHeaders{col, 0, 1, {std::move(name)}}; }

TTableEdit TTableEdit::Description(int col, int descRow, std::string text) {
    return SetHeaders{col, descRow, 1, {std::move(text)}};
}

TTableEdit TTableEdit::InsertCaseNumbers() {
    const int rows = Table().RowCount();
    InsertColumns e;
    e.Before = 1;
    e.Count = 1;
    TTableColumn& column = e.Contents.emplace_back();
    column.name = "Case";
    column.cells.Reserve(static_cast<std::size_t>(rows));
    for (int r = 1; r <= rows; ++r)
        column.cells.Set(static_cast<std::size_t>(r - 1), std::to_string(r));
    return e;
}

std::string TTableEdit::Check() const {
    const TDataTable& t = Table();
    return std::visit(
        [&](const auto& e) -> std::string {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, InsertColumns>) {
                const int count = e.Contents.empty() ? e.Count : static_cast<int>(e.Contents.size());
                if (t.ColumnCount() + count > kMaxColumns) return kTooManyColumns;
            } else if constexpr (std::is_same_v<E, SetCells>) {
                if (e.FirstColumn < 1 || e.FirstRow < 1 ||
                    e.FirstColumn + static_cast<int>(e.Columns.size()) - 1 > t.ColumnCount() ||
                    e.FirstRow + e.Rows - 1 > t.RowCount())
                    return "The cells lie outside the table.";
            } else if constexpr (std::is_same_v<E, DeleteColumns>) {
                if (e.First < 1 || e.Count < 1 || e.First + e.Count - 1 > t.ColumnCount())
                    return "The columns lie outside the table.";
                if (e.Count >= t.ColumnCount()) return "The last column cannot be deleted.";
            } else if constexpr (std::is_same_v<E, DeleteRows>) {
                if (e.First < 1 || e.Count < 1 || e.First + e.Count - 1 > t.RowCount())
                    return "The rows lie outside the table.";
            } else if constexpr (std::is_same_v<E, Transpose>) {
                if (t.RowCount() > kMaxColumns) return kTooManyColumns;
                // A table without rows would turn into one without columns.
                if (t.RowCount() < 1) return "There are no rows to transpose.";
            } else if constexpr (std::is_same_v<E, Sequence>) {
                // Later steps depend on earlier ones; only the first can be judged beforehand.
                if (!e.Steps.empty()) return e.Steps.front().Check();
            }
            return {};
        },
        edit_);
}

TTableEdit TTableEdit::Apply() {
    return std::visit(
        [](auto& e) -> TTableEdit {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, SetCells>)
                return ApplySetCells(e);
            else if constexpr (std::is_same_v<E, Fill>)
                return ApplyFill(e);
            else if constexpr (std::is_same_v<E, InsertRows>)
                return ApplyInsertRows(e);
            else if constexpr (std::is_same_v<E, DeleteRows>)
                return ApplyDeleteRows(e);
            else if constexpr (std::is_same_v<E, InsertColumns>)
                return ApplyInsertColumns(e);
            else if constexpr (std::is_same_v<E, DeleteColumns>)
                return ApplyDeleteColumns(e);
            else if constexpr (std::is_same_v<E, SetHeaders>)
                return ApplySetHeaders(e);
            else if constexpr (std::is_same_v<E, Transpose>)
                return ApplyTranspose();
            else {
                Sequence inverse;
                inverse.Steps.reserve(e.Steps.size());
                for (TTableEdit& step : e.Steps)
                    inverse.Steps.push_back(step.Apply());
                std::reverse(inverse.Steps.begin(), inverse.Steps.end());
                return inverse;
            }
        },
        edit_);
}

TEditEffect TTableEdit::Effect() const {
    return std::visit(
        [](const auto& e) -> TEditEffect {
            using E = std::decay_t<decltype(e)>;
            TEditEffect effect;
            if constexpr (std::is_same_v<E, SetCells>) {
                effect.Cells = Touched({e.FirstColumn, e.FirstColumn + static_cast<int>(e.Columns.size()) - 1,
                                        e.FirstRow, e.FirstRow + e.Rows - 1});
            } else if constexpr (std::is_same_v<E, Fill>) {
                effect.Cells = Touched(e.Range);
            } else if constexpr (std::is_same_v<E, SetHeaders>) {
                effect.Headers = true;
            } else if constexpr (std::is_same_v<E, Sequence>) {
                for (const TTableEdit& step : e.Steps) {
                    const TEditEffect s = step.Effect();
                    effect.Structure = effect.Structure || s.Structure;
                    effect.Headers = effect.Headers || s.Headers;
                    if (s.Cells.FirstColumn == 0) continue;
                    if (effect.Cells.FirstColumn == 0) {
                        effect.Cells = s.Cells;
                    } else {
                        effect.Cells.FirstColumn = std::min(effect.Cells.FirstColumn, s.Cells.FirstColumn);
                        effect.Cells.FirstRow = std::min(effect.Cells.FirstRow, s.Cells.FirstRow);
                        effect.Cells.LastColumn = std::max(effect.Cells.LastColumn, s.Cells.LastColumn);
                        effect.Cells.LastRow = std::max(effect.Cells.LastRow, s.Cells.LastRow);
                    }
                }
            } else {
                effect.Structure = true;
                effect.Headers = true;
            }
            return effect;
        },
        edit_);
}

std::size_t TTableEdit::MemoryBytes() const {
    return sizeof(TTableEdit) + std::visit(
                                    [](const auto& e) -> std::size_t {
                                        using E = std::decay_t<decltype(e)>;
                                        if constexpr (std::is_same_v<E, SetCells>)
                                            return ColumnsBytes(e.Columns);
                                        else if constexpr (std::is_same_v<E, Fill>)
                                            return e.Text.capacity();
                                        else if constexpr (std::is_same_v<E, InsertRows>)
                                            return ColumnsBytes(e.Contents);
                                        else if constexpr (std::is_same_v<E, InsertColumns>) {
                                            std::size_t bytes = e.Contents.capacity() * sizeof(TTableColumn);
                                            for (const TTableColumn& c : e.Contents)
                                                bytes += c.cells.MemoryBytes() + c.name.capacity();
                                            return bytes;
                                        } else if constexpr (std::is_same_v<E, SetHeaders>) {
                                            std::size_t bytes = e.Texts.capacity() * sizeof(std::string);
                                            for (const std::string& s : e.Texts)
                                                bytes += s.capacity();
                                            return bytes;
                                        } else if constexpr (std::is_same_v<E, Sequence>) {
                                            std::size_t bytes = 0;
                                            for (const TTableEdit& step : e.Steps)
                                                bytes += step.MemoryBytes();
                                            return bytes;
                                        } else {
                                            return 0;
                                        }
                                    },
                                    edit_);
}

bool TTableEdit::Empty() const {
    const auto* sequence = std::get_if<Sequence>(&edit_);
    return sequence && std::all_of(sequence->Steps.begin(), sequence->Steps.end(),
                                   [](const TTableEdit& s) { return s.Empty(); });
}

bool ApplyTableEdit(TTableEdit edit, std::string_view label) {
    if (std::string problem = edit.Check(); !problem.empty()) {
        ShowError(problem);
        return false;
    }
    const TEditEffect effect = edit.Effect();
    TTableEdit inverse = edit.Apply();
    if (OnTableEdited) OnTableEdited(effect, std::move(inverse), label);
    return true;
}

} // namespace kivspc
