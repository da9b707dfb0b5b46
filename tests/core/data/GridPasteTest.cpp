// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include "data/DataTable.h"
#include "data/GridPaste.h"
#include "data/TableEdit.h"

#include <deque>

using namespace kivspc;

namespace {

class GridPasteTest : public CoreTest {
protected:
    // A table of c columns and r rows holding "c.r" in every cell.
    void Fill(int c, int r) {
        TDataTable& t = DataTable();
        t.SetColumnCount(c);
        t.SetRowCount(r);
        for (int col = 1; col <= c; ++col)
            for (int row = 1; row <= r; ++row)
                t.SetCell(col, row, std::to_string(col) + "." + std::to_string(row));
    }
    // The cells of rows first..last of columns 1..C, row by row, as tab-separated lines.
    static std::string Rows(int first, int last) {
        const TDataTable& t = DataTable();
        std::string out;
        for (int r = first; r <= last; ++r) {
            for (int c = 1; c <= t.ColumnCount(); ++c)
                out += std::string(c > 1 ? "\t" : "") + std::string(t.Cell(c, r));
            out += "\n";
        }
        return out;
    }
    static std::string Names() {
        std::string out;
        for (int c = 1; c <= DataTable().ColumnCount(); ++c)
            out += (c > 1 ? " " : "") + DataTable().ColumnName(c);
        return out;
    }
};

TEST_F(GridPasteTest, AFirstLineOfWordsCanNameTheColumns) {
    struct Case {
        const char* text;
        Answer answer;
        const char* names;
        const char* rows;
        bool splitAsked = false; // no tabs, more columns than the one selected: split (Yes) first
    };
    const Case cases[] = {
        {"A\tB\tC\r\n1\t2\t3\r\n4\t5\t6\r\n", Answer::Yes, "A B C", "1\t2\t3\n4\t5\t6\n"},
        // Blanks become underscores before the line is split: one name, while the blank-separated
        // data still fill three columns.
        {"A B C\n1 2 3\n", Answer::Yes, "A_B_C Col2 Col3", "1\t2\t3\n", true},
        {"Mean value\tSD\n1\t2\n", Answer::Yes, "Mean_value SD", "1\t2\n"},
        {"A\tB\n1\t2\n", Answer::No, "Col1 Col2", "A\tB\n1\t2\n"},
        {"Weight\n", Answer::Yes, "Weight", "\n"},
        // Names made of the characters of numbers are names all the same.
        {"Temp\tE\tPressure\n1\t2\t3\n", Answer::Yes, "Temp E Pressure", "1\t2\t3\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SetUp();
        platform.Answers = {c.answer};
        if (c.splitAsked) platform.Answers.push_front(Answer::Yes);
        PasteOutcome out = PasteIntoDataGrid(c.text, {1, 1, 1, 1});
        EXPECT_TRUE(out.Pasted);
        EXPECT_EQ(out.NamesTaken, c.answer == Answer::Yes);
        ASSERT_EQ(platform.Messages.size(), c.splitAsked ? 2u : 1u);
        EXPECT_EQ(platform.Messages.back().text, "Want to use text from first row as Variable Names?");
        EXPECT_EQ(Names(), c.names);
        EXPECT_EQ(Rows(1, DataTable().RowCount()), c.rows);
    }
}

TEST_F(GridPasteTest, NumbersAndMixedFirstLinesAreNotOfferedAsNames) {
    for (const char* text : {"1\t2\n3\t4\n", "Weight\t12\n", "1e5\t-2\n", "Weight\t.\n", "E\t-\n"}) {
        SetUp();
        EXPECT_TRUE(PasteIntoDataGrid(text, {1, 1, 1, 1}).Pasted);
        EXPECT_TRUE(platform.Messages.empty()) << text;
    }
}

TEST_F(GridPasteTest, TheShapesOfTextAndSelectionDecideWhereCellsGo) {
    struct Case {
        const char* name;
        const char* text;
        CellRange selection;
        const char* rows; // rows 1..4 afterwards, of a 4 x 4 table
    };
    const Case cases[] = {
        {"single value into a block fills it",
         "x",
         {1, 3, 1, 3},
         "x\tx\tx\t4.1\nx\tx\tx\t4.2\nx\tx\tx\t4.3\n1.4\t2.4\t3.4\t4.4\n"},
        {"row into a column strip fills every row",
         "a\tb\tc",
         {2, 2, 1, 4},
         "1.1\ta\tb\tc\n1.2\ta\tb\tc\n1.3\ta\tb\tc\n1.4\ta\tb\tc\n"},
        {"column into a row strip fills every column",
         "a\nb",
         {1, 3, 2, 2},
         "1.1\t2.1\t3.1\t4.1\na\ta\ta\t4.2\nb\tb\tb\t4.3\n1.4\t2.4\t3.4\t4.4\n"},
        {"block goes from the corner, short lines keep the rest",
         "a\tb\nc\n",
         {2, 4, 2, 4},
         "1.1\t2.1\t3.1\t4.1\n1.2\ta\tb\t4.2\n1.3\tc\t3.3\t4.3\n1.4\t2.4\t3.4\t4.4\n"},
        {"row into a row strip from its left",
         "a\tb",
         {3, 4, 4, 4},
         "1.1\t2.1\t3.1\t4.1\n1.2\t2.2\t3.2\t4.2\n1.3\t2.3\t3.3\t4.3\n1.4\t2.4\ta\tb\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Fill(4, 4);
        platform.Answers = {Answer::No, Answer::No};
        ASSERT_TRUE(PasteIntoDataGrid(c.text, c.selection).Pasted);
        EXPECT_EQ(Rows(1, 4), c.rows);
        EXPECT_EQ(DataTable().ColumnCount(), 4);
        EXPECT_EQ(DataTable().RowCount(), 4);
    }
}

// A paste never spills into columns the user did not aim at: text with tabs is split at tabs only;
// text without tabs that would split into more columns than are selected is split only when the
// user says so, and each line goes into one cell by default when one column is selected. Commas
// in numbers are decimal points, as in the number boxes.
TEST_F(GridPasteTest, TextWithoutTabsSpillsIntoOtherColumnsOnlyWhenTheUserSaysSo) {
    struct Case {
        const char* what;
        const char* text;
        CellRange selection;
        std::deque<Answer> answers; // Yes splits, No pastes each line into one cell
        int asked;                  // the default of the question, or -1 when none is asked
        bool pasted;
        const char* rows; // rows 1..3 afterwards, of a 3 x 3 table
    };
    const Case cases[] = {
        {"a column of decimal commas into one cell",
         "24,995\r\n25,001\r\n",
         {1, 1, 1, 1},
         {},
         1,
         true,
         "24.995\t2.1\t3.1\n25.001\t2.2\t3.2\n1.3\t2.3\t3.3\n"},
        {"words with blanks into the last but one column",
         "Early shift\nLate shift\n",
         {2, 2, 2, 3},
         {Answer::No, Answer::No}, // one cell per line, and no names
         1,
         true,
         "1.1\t2.1\t3.1\n1.2\tEarly shift\t3.2\n1.3\tLate shift\t3.3\n"},
        {"split when asked to",
         "24,995\n25,001\n",
         {1, 1, 1, 1},
         {Answer::Yes},
         1,
         true,
         "24\t995\t3.1\n25\t001\t3.2\n1.3\t2.3\t3.3\n"},
        {"cancelled",
         "24,995\n",
         {1, 1, 1, 1},
         {Answer::Cancel},
         1,
         false,
         "1.1\t2.1\t3.1\n1.2\t2.2\t3.2\n1.3\t2.3\t3.3\n"},
        {"wider than a selection of two columns: split by default",
         "1 2 3\n",
         {1, 2, 1, 1},
         {},
         0,
         true,
         "1\t2\t3\n1.2\t2.2\t3.2\n1.3\t2.3\t3.3\n"},
        {"as wide as the selection: no question",
         "1;5 2\n7 8\n",
         {1, 2, 2, 3},
         {},
         -1,
         true,
         "1.1\t2.1\t3.1\n1;5\t2\t3.2\n7\t8\t3.3\n"},
        {"tabs split at tabs only, commas in numbers are points",
         "Early shift\t24,995\t1,2,3\n\t-0,5\n",
         {1, 1, 1, 1},
         {}, // a number in the first line: no names question
         -1,
         true,
         "Early shift\t24.995\t1,2,3\n\t-0.5\t3.2\n1.3\t2.3\t3.3\n"},
        {"an empty line empties its cell",
         "5\n\n7\n",
         {3, 3, 1, 1},
         {},
         -1,
         true,
         "1.1\t2.1\t5\n1.2\t2.2\t\n1.3\t2.3\t7\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Fill(3, 3);
        platform.Answers = c.answers;
        EXPECT_EQ(PasteIntoDataGrid(c.text, c.selection).Pasted, c.pasted);
        EXPECT_EQ(Rows(1, 3), c.rows);
        EXPECT_EQ(DataTable().ColumnCount(), 3);
        EXPECT_EQ(DataTable().RowCount(), 3);
        EXPECT_EQ(platform.LastDefaultChoice, c.asked);
        EXPECT_TRUE(platform.Answers.empty()) << "every scripted question was asked";
        if (c.asked >= 0) {
            EXPECT_EQ(platform.Messages[0].kind, "choice");
            EXPECT_EQ(platform.LastChoices,
                      (std::vector<std::string>{"&Split into Columns", "&One Cell per Line"}));
        }
    }
    // The description rows follow the same rule; their limits take decimal commas too.
    SetUp();
    Fill(2, 1);
    ASSERT_TRUE(PasteIntoSelection("Bore diameter\n24,995\n", {1, 1, 1, 2}).Pasted);
    EXPECT_EQ(platform.LastDefaultChoice, 1);
    EXPECT_EQ(DataTable().Description(1, kTitleRow), "Bore diameter");
    EXPECT_EQ(DataTable().Description(1, kUSLRow), "24.995");
    EXPECT_EQ(DataTable().Description(2, kTitleRow), "");
    EXPECT_EQ(ColumnUSL(1), 24.995);
}

TEST_F(GridPasteTest, TheTableGrowsToTakeThePasteAndOneUndoTakesItBack) {
    Fill(2, 2);
    TTableEdit undo;
    OnTableEdited = [&undo](const TEditEffect&, TTableEdit&& inverse, std::string_view) {
        undo = std::move(inverse);
    };
    platform.Answers = {Answer::No};
    PasteOutcome out = PasteIntoDataGrid("a\tb\tc\nd\te\tf\ng\th\ti\tj\n", {2, 2, 2, 2});
    ASSERT_TRUE(out.Pasted);
    EXPECT_TRUE(out.ColumnsGrew);
    EXPECT_EQ(DataTable().ColumnCount(), 5);
    EXPECT_EQ(DataTable().RowCount(), 4);
    EXPECT_EQ(Names(), "Col1 Col2 Col3 Col4 Col5");
    EXPECT_EQ(Rows(1, 4), "1.1\t2.1\t\t\t\n1.2\ta\tb\tc\t\n\td\te\tf\t\n\tg\th\ti\tj\n");
    undo.Apply();
    EXPECT_EQ(DataTable().ColumnCount(), 2);
    EXPECT_EQ(Rows(1, 2), "1.1\t2.1\n1.2\t2.2\n");
}

TEST_F(GridPasteTest, APasteNeedingTooManyColumnsChangesNothing) {
    std::string wide;
    for (int i = 1; i <= 512; ++i)
        wide += (i > 1 ? "\t" : "") + std::to_string(i);
    struct Case {
        std::string text;
        Answer answer;
    };
    // The first line, a later wider line, and names wider than the table can hold.
    const Case cases[] = {
        {wide, Answer::Yes}, {"1\t2\n" + wide + "\n", Answer::Yes}, {"x" + wide, Answer::Yes}};
    for (const Case& c : cases) {
        SetUp();
        Fill(3, 3);
        DataTable().Modified = false;
        const std::string before = Rows(1, 3);
        platform.Answers = {c.answer};
        EXPECT_FALSE(PasteIntoDataGrid(c.text, {1, 1, 1, 1}).Pasted);
        EXPECT_EQ(platform.Messages.back().text, "Maximum Number of Columns Exceeded.");
        EXPECT_EQ(DataTable().ColumnCount(), 3);
        EXPECT_EQ(DataTable().RowCount(), 3);
        EXPECT_EQ(Rows(1, 3), before);
        EXPECT_FALSE(DataTable().Modified);
    }
    // Within the table no column is added and nothing is refused.
    SetUp();
    Fill(512, 1);
    EXPECT_TRUE(PasteIntoDataGrid(wide, {1, 1, 1, 1}).Pasted);
}

TEST_F(GridPasteTest, NoTextIsToldAndDescriptionsKeepTheirFourRows) {
    EXPECT_FALSE(PasteIntoDataGrid("", {1, 1, 1, 1}).Pasted);
    EXPECT_EQ(platform.Messages.back().text, "There is no text on the Clipboard");

    Fill(1, 3);
    ASSERT_TRUE(PasteIntoSelection("20\t30\n10\t\n5\t6\nextra\tlines\n", {1, 1, 2, 2}).Pasted);
    const TDataTable& t = DataTable();
    EXPECT_EQ(t.ColumnCount(), 2);
    EXPECT_EQ(t.Description(1, kUSLRow), "20");
    EXPECT_EQ(t.Description(2, kUSLRow), "30");
    EXPECT_EQ(t.Description(2, kTargetRow), "");
    EXPECT_EQ(t.Description(1, kLSLRow), "5");
    EXPECT_EQ(t.Description(1, kTitleRow), "");
}

} // namespace
