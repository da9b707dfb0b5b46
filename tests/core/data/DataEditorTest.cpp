// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include "data/DataEditor.h"
#include "data/Missu.h"
#include "data/Procif.h"

using namespace kivspc;

namespace {

class DataEditorTest : public CoreTest {};

TEST_F(DataEditorTest, CtrlArrowsJumpLikeASpreadsheet) {
    // Column 1 of twelve rows: filled 1-3, empty 4-6, filled 7, empty 8-12.
    TDataTable& t = DataTable();
    t.SetColumnCount(3);
    t.SetRowCount(12);
    TTableEdit::Cells(1, 1, {{"5"}, {"5", "", "x"}, {"5"}, {}, {}, {}, {"5"}}).Apply();
    struct Case {
        CellPosition from;
        JumpDirection direction;
        int column, row;
    };
    const Case cases[] = {
        {{1, 1}, JumpDirection::Down, 1, 3},  // to the end of the run
        {{1, 3}, JumpDirection::Down, 1, 7},  // from the end of a run over the gap
        {{1, 7}, JumpDirection::Down, 1, 12}, // nothing further: the edge
        {{1, 5}, JumpDirection::Up, 1, 3},    // from an empty cell to the next filled one
        {{1, 1}, JumpDirection::Up, 1, 1},    // at the edge already
        {{1, 2}, JumpDirection::Right, 3, 2}, // across an empty column
        {{3, 2}, JumpDirection::Left, 1, 2},
        {{2, 1}, JumpDirection::Right, 3, 1}, // empty row: to the last column
    };
    for (const Case& c : cases) {
        const CellPosition to = JumpTarget(c.from, c.direction);
        EXPECT_EQ(to.Column, c.column) << c.from.Column << "," << c.from.Row;
        EXPECT_EQ(to.Row, c.row) << c.from.Column << "," << c.from.Row;
    }
}

TEST_F(DataEditorTest, DefaultNamesFollowTheirColumns) {
    TDataTable& t = DataTable();
    t.SetColumnCount(6);
    const char* names[] = {"", "Weight", "col3", "COL3", "Col12", "Col6x"};
    for (int c = 1; c <= 6; ++c)
        t.SetColumnName(c, names[c - 1]);
    ASSERT_TRUE(ApplyTableEdit(DefaultNameCorrections(), "Rename"));
    const char* expected[] = {"Col1", "Weight", "col3", "Col4", "Col5", "Col6x"};
    for (int c = 1; c <= 6; ++c)
        EXPECT_EQ(t.ColumnName(c), expected[c - 1]);
}

TEST_F(DataEditorTest, ANameOfBlanksAloneIsRefused) {
    EXPECT_EQ(ColumnNameProblem("   ", "Diam1"),
              "A column name cannot be blanks only.\r\nThe column keeps its name Diam1.");
    EXPECT_EQ(ColumnNameProblem(" \t ", "Col2"),
              "A column name cannot be blanks only.\r\nThe column keeps its name Col2.");
    EXPECT_EQ(ColumnNameProblem("", "Col2"), "") << "an empty name becomes the default name";
    EXPECT_EQ(ColumnNameProblem(" Mean value ", "Col2"), "");
}

TEST_F(DataEditorTest, CaptionStatusAndHintShowTheFilters) {
    TDataTable& t = DataTable();
    EXPECT_EQ(DataFormCaption(), "Data");
    EXPECT_FALSE(HasData());
    t.SetCell(1, 1, "12");
    EXPECT_FALSE(HasData()); // one cell is still the empty table's shape
    t.FileName = "/data/parts.kivs";
    t.Modified = true;
    EXPECT_EQ(DataFormCaption(), "Data - /data/parts.kivs  (modified)");

    t.SetColumnCount(2);
    t.SetColumnName(2, "Machine");
    ApplyMissingRules(kMissEqual, "0", kMissGreater, "100");
    ApplyProcessIf({2, "Machine", kRelEqual, "2"}, {}, true);
    EXPECT_EQ(StatusMissingText(), "Missing: X = 0, X > 100");
    EXPECT_EQ(StatusProcessIfText(), "Process If: Machine = 2");
    EXPECT_EQ(StatusTransformText(), "Transform Off");
    EXPECT_EQ(StatusSizeText(), "Cols = 2,  Rows = 1");
    EXPECT_EQ(StatusHint(),
              "Status Bar\r\n  Missing When: X = 0\r\n  Missing When: X > 100\r\n  Process If: Machine = 2"
              "\r\nCols = 2,  Rows = 1");
}

} // namespace
