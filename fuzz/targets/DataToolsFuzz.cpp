// SPDX-License-Identifier: GPL-3.0-or-later
// The data tools on small tables with choices from the input, columns out of the table among
// them: new columns from sample data (by runs or across rows, with the questions answered,
// cancelled or refused), run numbers, auto recode, weight cases and find and replace. Each tool
// either leaves the table exactly as it was, or adds its columns after the old ones (or its rows
// after the old rows) without touching a cell of the table it found, writes no "nan" or "inf",
// and is undone in one step to the very same table.
// Input: scripted answers, the table (see BuildTable), then steps of a kind byte and its values.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "data/ComputeVariables.h"
#include "data/DataTools.h"
#include "data/DataU.h"
#include "data/FindReplace.h"
#include "data/TableEdit.h"

#include <optional>

namespace kivspc::fuzz {

namespace {

struct TSnapshot {
    int Columns = 0, Rows = 0;
    std::vector<std::string> Texts; // names, descriptions and cells, column by column
};

TSnapshot Take() {
    const TDataTable& t = DataTable();
    TSnapshot s{t.ColumnCount(), t.RowCount(), {}};
    for (int c = 1; c <= t.ColumnCount(); ++c) {
        s.Texts.push_back(t.ColumnName(c));
        for (int d = 1; d <= 4; ++d)
            s.Texts.push_back(t.Description(c, d));
        for (int r = 1; r <= t.RowCount(); ++r)
            s.Texts.emplace_back(t.Cell(c, r));
    }
    return s;
}

bool Same(const TSnapshot& a, const TSnapshot& b) {
    return a.Columns == b.Columns && a.Rows == b.Rows && a.Texts == b.Texts;
}

// The old table's cells are where they were: columns 1..Columns, rows 1..Rows.
void CheckOldCellsKept(const TSnapshot& before) {
    const TDataTable& t = DataTable();
    std::size_t i = 0;
    for (int c = 1; c <= before.Columns; ++c) {
        i += 5;
        for (int r = 1; r <= before.Rows; ++r, ++i)
            Check(t.Cell(c, r) == before.Texts[i], "a tool changed a cell of the table it found");
    }
}

std::vector<int> SomeColumns(FuzzInput& in) {
    std::vector<int> columns;
    for (int n = static_cast<int>(in.IntIn(0, 4)); n > 0; --n)
        columns.push_back(in.IntIn(0, 9) == 0 ? AnyColumn(in)
                                              : static_cast<int>(in.IntIn(1, DataTable().ColumnCount())));
    return columns;
}

} // namespace

int FuzzDataTools(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    RecordingPlatform& platform = ResetCore();
    ScriptAnswers(platform, in.Byte());
    BuildTable(in);
    TTableEdit inverse;
    int edits = 0;
    OnTableEdited = [&](const TEditEffect&, TTableEdit&& undo, std::string_view) {
        inverse = std::move(undo);
        ++edits;
    };
    for (int step = 0; step < 6 && !in.Empty(); ++step) {
        const TSnapshot before = Take();
        edits = 0;
        const int kind = static_cast<int>(in.IntIn(0, 5));
        bool writesText = false; // a replacement writes the user's own text
        switch (kind) {
        case 0: {
            TRunComputation q;
            q.Dependent = in.IntIn(0, 7) == 0 ? AnyColumn(in) : static_cast<int>(in.IntIn(1, before.Columns));
            q.Independents = SomeColumns(in);
            q.Statistic = static_cast<int>(in.IntIn(0, kRunStatistics - 1));
            q.Seed = in.Byte() + 1;
            const int subgroups = static_cast<int>(in.IntIn(-1, 40));
            const std::uint8_t range = in.Byte();
            q.AskSubgroups = [&](const TSubgroupQuestion& question) -> std::optional<int> {
                Check(question.Lowest <= question.Initial && question.Initial <= question.Highest,
                      "the subgroup question's initial count lies outside its range");
                if (subgroups < 0) return std::nullopt;
                return subgroups;
            };
            q.AskMinimumRange = [&](const std::string&) -> std::optional<double> {
                if (range < 64) return std::nullopt;
                return range < 128 ? 0.0 : range / 100.0;
            };
            ComputeByRuns(q);
            break;
        }
        case 1: {
            TRowComputation q;
            q.Columns = SomeColumns(in);
            q.Statistic = static_cast<int>(in.IntIn(0, kRowStatistics - 1));
            q.Name = in.Bool() ? std::string() : CellText(in);
            ComputeAcrossRows(q);
            break;
        }
        case 2: GenerateRunNumbers(SomeColumns(in)); break;
        case 3: AutoRecode(SomeColumns(in)); break;
        case 4: {
            const int column =
                in.IntIn(0, 7) == 0 ? AnyColumn(in) : static_cast<int>(in.IntIn(1, before.Columns));
            // Only weights that keep the table small are carried out.
            const TWeightOutcome plan = PlanWeightCases(column);
            if (plan.Result == TWeightResult::Done && plan.NewRowCount <= 2000) WeightCases(column);
            break;
        }
        default: {
            TFindSettings s;
            s.Relation1 = static_cast<std::uint8_t>(in.IntIn(0, 5));
            s.Value1 = CellText(in);
            s.Relation2 = static_cast<std::uint8_t>(in.IntIn(0, 5));
            s.Value2 = CellText(in);
            s.Replace = in.Bool();
            s.ReplaceAll = in.Bool();
            s.ReplaceText = CellText(in);
            s.SelectionOnly = in.Bool();
            TFindGrid grid;
            grid.Current = {static_cast<int>(in.IntIn(0, before.Columns + 1)),
                            static_cast<int>(in.IntIn(0, before.Rows + 1))};
            grid.Selection = {static_cast<int>(in.IntIn(0, before.Columns + 1)),
                              static_cast<int>(in.IntIn(0, before.Columns + 1)),
                              static_cast<int>(in.IntIn(0, before.Rows + 1)),
                              static_cast<int>(in.IntIn(0, before.Rows + 1))};
            RunFind(s, grid);
            writesText = true;
            break;
        }
        }
        const TSnapshot after = Take();
        Check(edits <= 1, "a tool made more than one undo step");
        if (edits == 0) {
            Check(Same(before, after), "a tool changed the table without an undo step");
            continue;
        }
        Check(after.Columns >= before.Columns && after.Rows >= before.Rows,
              "a tool took columns or rows away");
        if (kind != 5) CheckOldCellsKept(before);
        if (!writesText) {
            const TDataTable& t = DataTable();
            for (int c = before.Columns + 1; c <= t.ColumnCount(); ++c)
                for (int r = 1; r <= t.RowCount(); ++r)
                    Check(!ShowsNonNumber(t.Cell(c, r)), "a new cell shows a number that failed to form");
        }
        inverse.Apply();
        Check(Same(before, Take()), "undo did not bring the table back");
        CommitEditorChanges();
    }
    OnTableEdited = nullptr;
    return 0;
}

} // namespace kivspc::fuzz
