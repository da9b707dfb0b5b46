// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include "data/FindReplace.h"
#include "data/TableEdit.h"

#include <optional>
#include <string>
#include <vector>

using namespace kivspc;

namespace {

// Three columns of five rows. B is a text column (it holds "abc" and "x"), so its cache holds
// level codes 1..5 in order of appearance, not the numbers its cells show.
//        A      B      C
//   1    5      3      8
//   2    12     abc    9
//   3    -1     20     10
//   4           11     11
//   5    7      x      12
const char* const kCells[3][5] = {
    {"5", "12", "-1", "", "7"}, {"3", "abc", "20", "11", "x"}, {"8", "9", "10", "11", "12"}};

std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 5; ++r)
            texts.emplace_back(DataTable().Cell(c, r));
    return texts;
}

class FindReplaceTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        TDataTable& t = DataTable();
        t.SetColumnCount(3);
        t.SetRowCount(5);
        for (int c = 1; c <= 3; ++c)
            for (int r = 1; r <= 5; ++r)
                t.SetCell(c, r, kCells[c - 1][r - 1]);
        DataList.RebuildValues();
        t.Modified = false;
        OnTableEdited = [this](const TEditEffect&, TTableEdit&& inverse, std::string_view label) {
            undo.push_back(std::move(inverse));
            labels.emplace_back(label);
        };
    }
    void TearDown() override {
        OnTableEdited = nullptr;
        CoreTest::TearDown();
    }

    static TFindSettings Condition(std::uint8_t r1, std::string v1, std::uint8_t r2 = kFindNone,
                                   std::string v2 = "0") {
        TFindSettings s;
        s.Relation1 = r1;
        s.Value1 = std::move(v1);
        s.Relation2 = r2;
        s.Value2 = std::move(v2);
        return s;
    }
    static TFindGrid At(int col, int row) {
        TFindGrid g;
        g.Current = {col, row};
        g.Selection = {col, col, row, row};
        return g;
    }

    std::vector<TTableEdit> undo;
    std::vector<std::string> labels;
};

TEST_F(FindReplaceTest, FindGoesColumnByColumnAfterTheCurrentCell) {
    using C = std::optional<TFindCell>;
    struct Case {
        const char* what;
        TFindSettings settings;
        TFindCell from;
        C expected;
    } cases[] = {
        // Above 10 or below 0: 12, then -1, then B's 20 (its cell number, not its level code 3).
        {"> 10 or < 0", Condition(kFindGreater, "10", kFindLess, "0"), {1, 1}, TFindCell{1, 2}},
        {"> 10 or < 0 again", Condition(kFindGreater, "10", kFindLess, "0"), {1, 2}, TFindCell{1, 3}},
        {"> 10 or < 0 into B", Condition(kFindGreater, "10", kFindLess, "0"), {1, 3}, TFindCell{2, 3}},
        // Numbers compare as numbers: "12.0" is the cell "12".
        {"= 12.0", Condition(kFindEqual, "12.0"), {1, 1}, TFindCell{1, 2}},
        {"comma decimal", Condition(kFindEqual, "-1,0"), {1, 1}, TFindCell{1, 3}},
        // Only the second condition; the hidden first box holding a word changes nothing.
        {"hidden box", Condition(kFindNone, "abc", kFindLessEqual, "3"), {1, 1}, TFindCell{1, 3}},
        // A word switches to texts: exact, case-sensitive, ordinal.
        {"= abc", Condition(kFindEqual, "abc"), {1, 1}, TFindCell{2, 2}},
        {"= ab", Condition(kFindEqual, "ab"), {1, 1}, std::nullopt},
        {"= ABC", Condition(kFindEqual, "ABC"), {1, 1}, std::nullopt},
        {"> w", Condition(kFindGreater, "w"), {1, 1}, TFindCell{2, 5}},
        // "1-2" holds only number characters but is no number: a text search, in which "20" and
        // "11" come before "9" and "x" after it.
        {"= 1-2 as text", Condition(kFindEqual, "1-2", kFindGreaterEqual, "9"), {2, 2}, TFindCell{2, 5}},
        // The search starts at the current column: A is never looked at from C.
        {"from column C", Condition(kFindLess, "0"), {3, 1}, std::nullopt},
        // The start cell itself is not tested: from the last cell there is nothing left.
        {"last cell", Condition(kFindGreater, "0"), {3, 5}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform.Reset();
        const TFindResult r = RunFind(c.settings, At(c.from.Column, c.from.Row));
        EXPECT_EQ(r.Cell, c.expected);
        const std::vector<std::string> expectedMessages =
            c.expected ? std::vector<std::string>{} : std::vector<std::string>{"Find Not Found"};
        std::vector<std::string> messages;
        for (const auto& m : platform.Messages)
            messages.push_back(m.text);
        EXPECT_EQ(messages, expectedMessages);
    }
}

TEST_F(FindReplaceTest, SelectionOnlyTestsEveryCellOfTheBlockAndStepsThroughIt) {
    // The block B1:C3. Its top-left cell is tested on a new search; B4 ("11") lies outside.
    TFindSettings s = Condition(kFindGreater, "9");
    s.SelectionOnly = true;
    TFindGrid g;
    g.Selection = {2, 3, 1, 3};
    g.Current = {2, 1};
    EXPECT_EQ(RunFind(Condition(kFindEqual, "11"), g).Cell, (TFindCell{2, 4}))
        << "without Selection Only the whole table from the current cell";
    TFindSettings topLeft = Condition(kFindEqual, "3");
    topLeft.SelectionOnly = true;
    EXPECT_EQ(RunFind(topLeft, g).Cell, (TFindCell{2, 1}));
    TFindSettings topRow = Condition(kFindEqual, "8");
    topRow.SelectionOnly = true;
    EXPECT_EQ(RunFind(topRow, g).Cell, (TFindCell{3, 1}));

    // Stepping: each found cell becomes current and the next search goes on after it.
    std::vector<TFindCell> found;
    platform.Reset();
    while (auto cell = RunFind(s, g).Cell) {
        found.push_back(*cell);
        g.Current = g.LastHit = *cell;
    }
    EXPECT_EQ(found, (std::vector<TFindCell>{{2, 3}, {3, 3}}));
    ASSERT_EQ(platform.Messages.size(), 1u);
    EXPECT_EQ(platform.Messages[0].text, "Find Not Found");
}

TEST_F(FindReplaceTest, ReplaceTestsTheCurrentCellAndGoesOnAfterWhatItReplaced) {
    TFindSettings s = Condition(kFindGreater, "10");
    s.Replace = true;
    s.ReplaceText = "50"; // still above 10: the next replace must not stop here again
    TFindGrid g = At(1, 2);
    TFindResult r = RunFind(s, g);
    EXPECT_EQ(r.Cell, (TFindCell{1, 2}));
    EXPECT_EQ(DataTable().Cell(1, 2), "50");
    EXPECT_TRUE(DataTable().Modified);
    g.Current = g.LastHit = *r.Cell;
    g.LastHitReplaced = true;
    r = RunFind(s, g);
    EXPECT_EQ(r.Cell, (TFindCell{2, 3}));
    EXPECT_EQ(DataTable().Cell(2, 3), "50");
    EXPECT_EQ(labels, (std::vector<std::string>{"Replace", "Replace"}));

    // After a plain find the found cell is the one replaced.
    platform.Reset();
    TFindSettings find = Condition(kFindEqual, "abc");
    g = At(1, 1);
    g.Current = g.LastHit = *RunFind(find, g).Cell;
    find.Replace = true;
    find.ReplaceText = "ABC";
    EXPECT_EQ(RunFind(find, g).Cell, (TFindCell{2, 2}));
    EXPECT_EQ(DataTable().Cell(2, 2), "ABC");
    EXPECT_EQ(RunFind(find, g).Cell, std::nullopt);
    ASSERT_EQ(platform.Messages.size(), 1u);
    EXPECT_EQ(platform.Messages[0].text, "Find and Replace Not Found");
}

TEST_F(FindReplaceTest, ReplaceAllIsOneEditThatUndoesInOneStep) {
    const std::vector<std::string> before = Texts();
    TFindSettings s = Condition(kFindGreater, "10", kFindLess, "0");
    s.Replace = s.ReplaceAll = true;
    s.ReplaceText = "n/a"; // text into numeric columns: allowed, and undone with the rest
    const TFindResult r = RunFind(s, At(1, 1));
    // By hand: A2 12, A3 -1, B3 20, B4 11, C4 11, C5 12; the last one becomes current.
    EXPECT_EQ(r.Replaced, 6);
    EXPECT_EQ(r.Cell, (TFindCell{3, 5}));
    const char* const after[3][5] = {
        {"5", "n/a", "n/a", "", "7"}, {"3", "abc", "n/a", "n/a", "x"}, {"8", "9", "10", "n/a", "n/a"}};
    for (int c = 1; c <= 3; ++c)
        for (int row = 1; row <= 5; ++row)
            EXPECT_EQ(DataTable().Cell(c, row), after[c - 1][row - 1]) << c << "," << row;
    ASSERT_EQ(undo.size(), 1u);
    EXPECT_EQ(labels[0], "Replace All");
    EXPECT_TRUE(platform.Messages.empty());

    undo[0].Apply();
    EXPECT_EQ(Texts(), before);
    DataList.RebuildValues();
    EXPECT_FALSE(DataList.IsText[3]) << "C is numeric again";
    EXPECT_EQ(Values[3][5], 12.0);
}

TEST_F(FindReplaceTest, NothingToReplaceOrNoValueChangesNothing) {
    const std::vector<std::string> before = Texts();
    struct Case {
        const char* what;
        TFindSettings settings;
        const char* message;
    } cases[] = {
        {"no match", Condition(kFindEqual, "1000"), "Find and Replace Not Found"},
        // From the current column C on: A3's -1 is not in the range.
        {"before the start", Condition(kFindLess, "0"), "Find and Replace Not Found"},
        {"empty boxes", Condition(kFindEqual, "", kFindGreater, ""), "Enter a value to find."},
        {"no relation", Condition(kFindNone, "5"), "Enter a value to find."},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.what);
        platform.Reset();
        c.settings.Replace = c.settings.ReplaceAll = true;
        const TFindResult r = RunFind(c.settings, At(3, 1));
        EXPECT_EQ(r.Cell, std::nullopt);
        EXPECT_EQ(r.Replaced, 0);
        ASSERT_EQ(platform.Messages.size(), 1u);
        EXPECT_EQ(platform.Messages[0].text, c.message);
    }
    EXPECT_EQ(Texts(), before);
    EXPECT_TRUE(undo.empty());
    EXPECT_FALSE(DataTable().Modified);
}

} // namespace
