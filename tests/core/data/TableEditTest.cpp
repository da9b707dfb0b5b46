// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include "data/DataList.h"
#include "data/Procif.h"
#include "data/TableEdit.h"

#include <functional>

using namespace kivspc;

namespace {

// Everything the table holds, for comparing cell by cell.
struct Snapshot {
    int columns = 0;
    int rows = 0;
    std::vector<std::string> texts;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take() {
    const TDataTable& t = DataTable();
    Snapshot s{t.ColumnCount(), t.RowCount(), {}};
    for (int c = 1; c <= t.ColumnCount(); ++c) {
        s.texts.push_back(t.ColumnName(c));
        for (int d = 1; d <= 4; ++d)
            s.texts.push_back(t.Description(c, d));
        for (int r = 1; r <= t.RowCount(); ++r)
            s.texts.emplace_back(t.Cell(c, r));
    }
    return s;
}

class TableEditTest : public CoreTest {
protected:
    // Four named columns of six rows: numbers, texts long enough to live on the column's heap,
    // empty cells, a USL and a title.
    void SetUp() override {
        CoreTest::SetUp();
        TDataTable& t = DataTable();
        t.SetColumnCount(4);
        t.SetRowCount(6);
        const char* names[] = {"Weight", "Machine", "Note", "Col4"};
        for (int c = 1; c <= 4; ++c) {
            t.SetColumnName(c, names[c - 1]);
            for (int r = 1; r <= 6; ++r)
                if ((c + r) % 5 != 0)
                    t.SetCell(c, r,
                              c == 3 ? "a rather long text " + std::to_string(r)
                                     : std::to_string(c * 10 + r));
        }
        t.SetDescription(1, kUSLRow, "20");
        t.SetDescription(3, kTitleRow, "Notes taken");
        t.Modified = false;
    }
};

TEST_F(TableEditTest, EveryEditIsUndoneCellByCellAndRedoneTheSame) {
    struct Case {
        const char* name;
        std::function<TTableEdit()> make;
    };
    const Case cases[] = {
        {"cells inside",
         [] {
             return TTableEdit::Cells(2, 3, {{"x", "y"}, {"", "a text of many letters"}});
         }},
        {"one cell", [] { return TTableEdit::Cell(4, 6, "9.5"); }},
        {"fill",
         [] {
             return TTableEdit(edits::Fill{{1, 3, 2, 5}, "7"});
         }},
        {"clear",
         [] {
             return TTableEdit(edits::Fill{{1, 4, 1, 6}, ""});
         }},
        {"insert rows",
         [] {
             return TTableEdit(edits::InsertRows{3, 2, {}});
         }},
        {"insert rows at the end",
         [] {
             return TTableEdit(edits::InsertRows{7, 4, {}});
         }},
        {"delete rows",
         [] {
             return TTableEdit(edits::DeleteRows{2, 3});
         }},
        {"delete last row",
         [] {
             return TTableEdit(edits::DeleteRows{6, 1});
         }},
        {"insert columns",
         [] {
             return TTableEdit(edits::InsertColumns{2, 3, {}});
         }},
        {"delete columns",
         [] {
             return TTableEdit(edits::DeleteColumns{1, 2});
         }},
        {"rename", [] { return TTableEdit::Rename(2, "Station"); }},
        {"description", [] { return TTableEdit::Description(4, kLSLRow, "1.5"); }},
        {"transpose", [] { return TTableEdit(edits::Transpose{}); }},
        {"case numbers", [] { return TTableEdit::InsertCaseNumbers(); }},
        {"sequence growing the table",
         [] {
             edits::Sequence s;
             s.Steps.push_back(edits::InsertRows{7, 3, {}});
             s.Steps.push_back(edits::InsertColumns{5, 2, {}});
             s.Steps.push_back(TTableEdit::Cells(3, 5, {{"p", "q", "r", "s"}, {"t"}, {"u", "", "", "w"}}));
             return TTableEdit(std::move(s));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        const Snapshot before = Take();
        TTableEdit edit = c.make();
        ASSERT_EQ(edit.Check(), "");
        TTableEdit inverse = edit.Apply();
        const Snapshot after = Take();
        EXPECT_NE(after, before);
        EXPECT_TRUE(DataTable().Modified);
        TTableEdit redo = inverse.Apply();
        EXPECT_EQ(Take(), before);
        redo.Apply();
        EXPECT_EQ(Take(), after);
    }
}

TEST_F(TableEditTest, TransposeTurnsTenRowsOfThreeColumnsIntoTenDefaultColumns) {
    TDataTable& t = DataTable();
    t.SetColumnCount(3);
    t.SetRowCount(10);
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 10; ++r)
            t.SetCell(c, r, std::to_string(c) + "." + std::to_string(r));
    ASSERT_TRUE(ApplyTableEdit(edits::Transpose{}, "Transpose"));
    ASSERT_EQ(t.ColumnCount(), 10);
    ASSERT_EQ(t.RowCount(), 3);
    EXPECT_EQ(t.ColumnName(1), "Col1");
    EXPECT_EQ(t.ColumnName(10), "Col10");
    EXPECT_EQ(t.Description(3, kTitleRow), "");
    EXPECT_EQ(t.Cell(7, 2), "2.7");
    EXPECT_TRUE(ColumnsChanged);
}

TEST_F(TableEditTest, TransposeKeepsEveryCellOfWideTables) {
    // Old and new columns together exceed the table's 512 columns in all but the first case.
    const struct {
        int columns, rows;
    } cases[] = {{1, 1}, {300, 300}, {kMaxColumns, 3}, {3, kMaxColumns}, {kMaxColumns, kMaxColumns}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.columns) + " x " + std::to_string(c.rows));
        SetUp();
        TDataTable& t = DataTable();
        t.SetColumnCount(c.columns);
        t.SetRowCount(c.rows);
        for (int col = 1; col <= c.columns; ++col)
            for (int row = 1; row <= c.rows; ++row)
                t.SetCell(col, row, std::to_string(col) + "." + std::to_string(row));
        const Snapshot before = Take();
        TTableEdit edit = edits::Transpose{};
        ASSERT_EQ(edit.Check(), "");
        TTableEdit inverse = edit.Apply();
        ASSERT_EQ(t.ColumnCount(), c.rows);
        ASSERT_EQ(t.RowCount(), c.columns);
        for (int col = 1; col <= c.rows; ++col)
            for (int row = 1; row <= c.columns; ++row)
                ASSERT_EQ(t.Cell(col, row), std::to_string(row) + "." + std::to_string(col));
        EXPECT_EQ(t.ColumnName(c.rows), "Col" + std::to_string(c.rows));
        inverse.Apply();
        EXPECT_EQ(Take(), before);
    }
}

TEST_F(TableEditTest, ColumnEditsSwitchProcessIfOffAndCellEditsKeepIt) {
    for (bool columns : {false, true}) {
        SetUp();
        ApplyProcessIf({2, "Machine", kRelEqual, "22"}, {}, false);
        ASSERT_TRUE(ProcessIfOn);
        ColumnsChanged = false;
        ApplyTableEdit(columns ? TTableEdit(edits::DeleteColumns{1, 1}) : TTableEdit::Cell(1, 1, "3"),
                       "Edit");
        EXPECT_EQ(ProcessIfOn, !columns);
        EXPECT_EQ(ColumnsChanged, columns);
        EXPECT_TRUE(ValuesStale);
    }
}

TEST_F(TableEditTest, RefusedEditsShowTheirMessageAndChangeNothing) {
    const Snapshot before = Take();
    const TTableEdit refused[] = {
        edits::InsertColumns{1, kMaxColumns - 3, {}},
        edits::DeleteColumns{1, 4},
        edits::DeleteRows{5, 3},
        TTableEdit::Cell(5, 1, "x"),
    };
    for (const TTableEdit& edit : refused) {
        EXPECT_FALSE(ApplyTableEdit(edit, "Edit"));
        EXPECT_EQ(platform.Messages.back().kind, "error");
    }
    ASSERT_EQ(platform.Messages.size(), 4u);
    EXPECT_EQ(platform.Messages[0].text, "Maximum Number of Columns Exceeded.");
    EXPECT_EQ(Take(), before);
    EXPECT_FALSE(DataTable().Modified);
}

TEST_F(TableEditTest, AnUndoStepHoldsOnlyWhatTheEditChanged) {
    // A table of 100,000 rows; writing ten cells must not keep a copy of it.
    TDataTable& t = DataTable();
    t.SetRowCount(100'000);
    for (int r = 1; r <= 100'000; ++r)
        t.SetCell(1, r, "12.5");
    std::size_t stepBytes = 0;
    std::string label;
    TEditEffect effect;
    OnTableEdited = [&](const TEditEffect& e, TTableEdit&& inverse, std::string_view name) {
        stepBytes = inverse.MemoryBytes();
        label = name;
        effect = e;
    };
    ASSERT_TRUE(ApplyTableEdit(
        TTableEdit::Cells(1, 500, {{"1", "2"}, {"3", "4"}, {"5", "6"}, {"7", "8"}, {"9", "0"}}), "Paste"));
    EXPECT_EQ(label, "Paste");
    EXPECT_LT(stepBytes, 1024u);
    EXPECT_EQ(effect.Cells.FirstRow, 500);
    EXPECT_EQ(effect.Cells.LastColumn, 2);
    EXPECT_FALSE(effect.Structure);

    // Deleting rows keeps exactly the removed rows.
    ASSERT_TRUE(ApplyTableEdit(edits::DeleteRows{1, 50'000}, "Delete Rows"));
    EXPECT_LT(stepBytes, 50'000u * 8 * 4 + 4096);
}

TEST_F(TableEditTest, CountersMoveWhenTheEditorLosesTheFocus) {
    ApplyTableEdit(TTableEdit::Rename(1, "Mass"), "Rename");
    const auto data = DataChangeCount;
    const auto columns = ColumnChangeCount;
    CommitEditorChanges();
    EXPECT_EQ(DataChangeCount, data + 1);
    EXPECT_EQ(ColumnChangeCount, columns + 1);
    EXPECT_FALSE(ValuesStale);
    CommitEditorChanges();
    EXPECT_EQ(ColumnChangeCount, columns + 1);
}

// A batch caller may aim a fill beyond the table: the reported cells are the ones written, also
// inside a sequence (where an empty range must not hide the next step's cells).
TEST_F(TableEditTest, TheReportedCellsAreTheCellsTheEditWrote) {
    TDataTable& t = DataTable();
    t.SetColumnCount(3);
    t.SetRowCount(4);
    TEditEffect effect;
    OnTableEdited = [&](const TEditEffect& e, TTableEdit&&, std::string_view) { effect = e; };
    struct Case {
        CellRange fill;
        CellRange reported;
    };
    for (const Case& c : {Case{{0, 2, -3, 2}, {1, 2, 1, 2}}, Case{{2, 9, 3, 99}, {2, 3, 3, 4}},
                          Case{{5, 6, 1, 2}, {0, 0, 0, 0}}}) {
        ASSERT_TRUE(ApplyTableEdit(edits::Fill{c.fill, "7"}, "Fill"));
        EXPECT_EQ(effect.Cells.FirstColumn, c.reported.FirstColumn);
        EXPECT_EQ(effect.Cells.LastColumn, c.reported.LastColumn);
        EXPECT_EQ(effect.Cells.FirstRow, c.reported.FirstRow);
        EXPECT_EQ(effect.Cells.LastRow, c.reported.LastRow);
    }
    EXPECT_EQ(t.Cell(1, 1), "7");
    EXPECT_EQ(t.Cell(3, 4), "7");
    ASSERT_TRUE(ApplyTableEdit(
        edits::Sequence{{edits::Fill{{0, 1, 0, 1}, "8"}, edits::Fill{{3, 3, 4, 4}, "9"}}}, "Fill"));
    EXPECT_EQ(effect.Cells.FirstColumn, 1);
    EXPECT_EQ(effect.Cells.LastColumn, 3);
    EXPECT_EQ(effect.Cells.FirstRow, 1);
    EXPECT_EQ(effect.Cells.LastRow, 4);
}

} // namespace
