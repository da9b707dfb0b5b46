// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/FindReplace.h"

#include "app/Messages.h"
#include "app/MissingValue.h"
#include "app/TextTools.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Relations.h"
#include "data/TableEdit.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace kivspc {

namespace {

// The value of a cell for a numeric search: the cache for numeric columns; the cell's own
// number for a text column, whose cache holds level codes rather than what the cell says.
double CellNumber(int col, int row) {
    const auto c = static_cast<std::size_t>(col);
    if (!DataList.IsText[c] && c < Values.size() && static_cast<std::size_t>(row) < Values[c].size())
        return Values[c][static_cast<std::size_t>(row)];
    return CellTextToValue(DataTable().Cell(col, row));
}

bool TextHolds(std::uint8_t relation, std::string_view cell, std::string_view value) {
    const int order = cell.compare(value);
    switch (relation) {
    case kFindEqual: return order == 0;
    case kFindGreater: return order > 0;
    case kFindGreaterEqual: return order >= 0;
    case kFindLess: return order < 0;
    case kFindLessEqual: return order <= 0;
    default: return false;
    }
}

// Rows of one column of the range, from..to, that match; stops at the first unless all.
template <typename OnHit>
void ScanColumn(const TFindConditions& c, int col, int from, int to, OnHit&& onHit) {
    const auto cc = static_cast<std::size_t>(col);
    const bool cached = !c.Text && !DataList.IsText[cc] && cc < Values.size() &&
                        static_cast<std::size_t>(to) < Values[cc].size();
    if (cached) {
        // The common case, kept tight: a numeric column read straight from the cache.
        const double* v = Values[cc].data();
        const std::uint8_t r0 = c.Relation[0];
        const std::uint8_t r1 = c.Relation[1];
        const double n0 = c.Number[0];
        const double n1 = c.Number[1];
        for (int row = from; row <= to; ++row) {
            const double x = v[row];
            if (x == MissingValue) continue;
            if (RelationHolds(r0, x, n0) || RelationHolds(r1, x, n1))
                if (!onHit(row)) return;
        }
        return;
    }
    for (int row = from; row <= to; ++row)
        if (c.Matches(col, row) && !onHit(row)) return;
}

CellRange SearchRange(const TFindSettings& s, const TFindGrid& g, bool& inSelection) {
    const TDataTable& t = DataTable();
    const CellRange& sel = g.Selection;
    inSelection = s.SelectionOnly && (sel.LastColumn > sel.FirstColumn || sel.LastRow > sel.FirstRow);
    if (inSelection)
        return {std::max(sel.FirstColumn, 1), std::min(sel.LastColumn, t.ColumnCount()),
                std::max(sel.FirstRow, 1), std::min(sel.LastRow, t.RowCount())};
    return {std::max(g.Current.Column, 1), t.ColumnCount(), 1, t.RowCount()};
}

bool Inside(const CellRange& r, TFindCell cell) {
    return cell.Column >= r.FirstColumn && cell.Column <= r.LastColumn && cell.Row >= r.FirstRow &&
           cell.Row <= r.LastRow;
}

} // namespace

const char* FindRelationSymbol(std::uint8_t relation) {
    switch (relation) {
    case kFindGreater: return ">";
    case kFindGreaterEqual: return ">=";
    case kFindLess: return "<";
    case kFindLessEqual: return "<=";
    default: return "=";
    }
}

TFindMode FindMode(const TFindSettings& s) {
    if (!s.Replace) return TFindMode::Find;
    return s.ReplaceAll ? TFindMode::ReplaceAll : TFindMode::Replace;
}

std::string FindCaption(const TFindSettings& s) { return s.Replace ? "Find and Replace" : "Find"; }

TFindConditions MakeFindConditions(const TFindSettings& s) {
    TFindConditions c;
    const std::pair<std::uint8_t, const std::string*> given[2] = {{s.Relation1, &s.Value1},
                                                                  {s.Relation2, &s.Value2}};
    for (int i = 0; i < 2; ++i) {
        const auto [relation, value] = given[i];
        // A hidden box (relation "none") and an empty one have no say, not even on the mode.
        if (relation < kFindEqual || relation > kFindLessEqual || value->empty()) continue;
        c.Relation[i] = relation;
        c.Value[i] = *value;
        const std::string number = DecimalCommaAsPoint(*value);
        c.Number[i] = IsNumberText(number) ? CellTextToValue(number) : MissingValue;
        if (c.Number[i] == MissingValue) c.Text = true;
    }
    return c;
}

bool TFindConditions::Matches(int col, int row) const {
    if (Text) {
        const std::string_view cell = DataTable().Cell(col, row);
        if (cell.empty()) return false;
        return TextHolds(Relation[0], cell, Value[0]) || TextHolds(Relation[1], cell, Value[1]);
    }
    const double x = CellNumber(col, row);
    if (x == MissingValue) return false;
    return RelationHolds(Relation[0], x, Number[0]) || RelationHolds(Relation[1], x, Number[1]);
}

std::optional<TFindCell> FindNextCell(const TFindConditions& c, const CellRange& range, TFindCell start,
                                      bool includeStart) {
    if (c.Empty() || range.FirstRow > range.LastRow) return std::nullopt;
    int col = std::max(start.Column, range.FirstColumn);
    int from = start.Column < range.FirstColumn ? range.FirstRow : std::max(start.Row, range.FirstRow - 1);
    if (!includeStart && start.Column >= range.FirstColumn && start.Row >= range.FirstRow) ++from;
    for (; col <= range.LastColumn; ++col, from = range.FirstRow) {
        int found = 0;
        ScanColumn(c, col, std::max(from, range.FirstRow), range.LastRow, [&](int row) {
            found = row;
            return false;
        });
        if (found) return TFindCell{col, found};
    }
    return std::nullopt;
}

TFindResult RunFind(const TFindSettings& s, const TFindGrid& g) {
    TFindResult result;
    const TFindConditions c = MakeFindConditions(s);
    if (c.Empty()) {
        ShowError("Enter a value to find.");
        return result;
    }
    const TFindMode mode = FindMode(s);
    if (ValuesStale || Values.size() < static_cast<std::size_t>(DataTable().ColumnCount()) + 1)
        DataList.RebuildValues();

    bool inSelection = false;
    const CellRange range = SearchRange(s, g, inSelection);
    // A new search in a selection tests its first cell too; one the window is stepping through
    // goes on after the cell it stopped at. Replacing tests the current cell (a found cell is
    // replaced at once) unless the window has just replaced it.
    TFindCell start = g.Current;
    bool includeStart = mode != TFindMode::Find && !(g.LastHitReplaced && g.LastHit == g.Current);
    if (inSelection && !(g.LastHit == g.Current && Inside(range, g.Current))) {
        start = {range.FirstColumn, range.FirstRow};
        includeStart = true;
    }

    if (mode != TFindMode::ReplaceAll) {
        result.Cell = FindNextCell(c, range, start, includeStart);
        if (!result.Cell) {
            ShowWarning(FindCaption(s) + " Not Found");
            return result;
        }
        if (mode == TFindMode::Replace) {
            if (!ApplyTableEdit(TTableEdit::Cell(result.Cell->Column, result.Cell->Row, s.ReplaceText),
                                "Replace"))
                return {};
            result.Replaced = 1;
        }
        return result;
    }

    // Every match to the end of the range, gathered first and written as one edit: per column
    // the block from its first to its last match, the cells between keeping their texts.
    const TDataTable& t = DataTable();
    std::vector<TTableEdit> steps;
    std::vector<int> rows;
    TFindCell from = start;
    bool include = includeStart;
    while (auto hit = FindNextCell(c, range, from, include)) {
        rows.clear();
        ScanColumn(c, hit->Column, hit->Row, range.LastRow, [&](int row) {
            rows.push_back(row);
            return true;
        });
        edits::SetCells block;
        block.FirstColumn = hit->Column;
        block.FirstRow = rows.front();
        block.Rows = rows.back() - rows.front() + 1;
        CellColumn& cells = block.Columns.emplace_back();
        cells.Reserve(static_cast<std::size_t>(block.Rows));
        std::size_t next = 0;
        for (int row = block.FirstRow; row <= rows.back(); ++row) {
            const bool replaced = rows[next] == row;
            next += replaced;
            cells.Set(static_cast<std::size_t>(row - block.FirstRow),
                      replaced ? std::string_view(s.ReplaceText) : t.Cell(hit->Column, row));
        }
        steps.emplace_back(std::move(block));
        result.Replaced += static_cast<int>(rows.size());
        result.Cell = TFindCell{hit->Column, rows.back()};
        if (hit->Column >= range.LastColumn) break;
        from = {hit->Column + 1, range.FirstRow};
        include = true;
    }
    if (steps.empty()) {
        ShowWarning(FindCaption(s) + " Not Found");
        return result;
    }
    TTableEdit edit =
        steps.size() == 1 ? std::move(steps.front()) : TTableEdit(edits::Sequence{std::move(steps)});
    if (!ApplyTableEdit(std::move(edit), "Replace All")) return {};
    return result;
}

} // namespace kivspc
