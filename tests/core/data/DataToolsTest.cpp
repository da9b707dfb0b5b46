// SPDX-License-Identifier: GPL-3.0-or-later
// Run numbers, auto recode and weight cases on small tables whose results are worked out by hand
// beside each case; each tool's change undone in one step; the column and row limits and the
// weights that cannot repeat a row.
#include "charts/VarChartFixture.h"

#include "data/DataTools.h"
#include "data/Missu.h"
#include "data/TableEdit.h"

#include <string>
#include <vector>

using namespace kivspc;

namespace {

class DataToolsTest : public VarChartTest {
protected:
    void SetUp() override {
        VarChartTest::SetUp();
        saved = OnTableEdited;
        OnTableEdited = [this](const TEditEffect&, TTableEdit&& inverse, std::string_view label) {
            undo = std::move(inverse);
            labels.emplace_back(label);
        };
    }
    void TearDown() override {
        OnTableEdited = saved;
        VarChartTest::TearDown();
    }
    static std::vector<std::string> Column(int col) {
        std::vector<std::string> texts;
        for (int r = 1; r <= DataTable().RowCount(); ++r)
            texts.emplace_back(DataTable().Cell(col, r));
        return texts;
    }
    // Every cell and name, to compare a table before and after.
    static std::vector<std::vector<std::string>> Snapshot() {
        std::vector<std::vector<std::string>> all;
        for (int c = 1; c <= DataTable().ColumnCount(); ++c) {
            all.push_back(Column(c));
            all.back().push_back("name:" + DataTable().ColumnName(c));
        }
        return all;
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& m : platform.Messages)
            texts.push_back(m.kind + ": " + m.text);
        return texts;
    }

    TTableEdit undo;
    std::vector<std::string> labels;
    decltype(OnTableEdited) saved;
};

TEST_F(DataToolsTest, RunNumbersNumberEachCombinationAndUndoInOneStep) {
    // (1,A), (1,B), (1,A), (2,A): three combinations; by hand, ordered by the first column, then
    // by the text levels in order of appearance (A before B): (1,A)=1, (1,B)=2, (2,A)=3. A row
    // with an empty cell belongs to no combination.
    Table({{"1", "A"}, {"1", "B"}, {"1", "A"}, {"2", "A"}, {"", "B"}}, 2);
    const auto before = Snapshot();
    EXPECT_EQ(GenerateRunNumbers({1, 2}), 3);
    EXPECT_EQ(DataTable().ColumnName(3), "Run");
    EXPECT_EQ(Column(3), (std::vector<std::string>{"1", "2", "1", "3", ""}));
    EXPECT_TRUE(platform.Messages.empty());
    EXPECT_EQ(labels, std::vector<std::string>{"Generate Run Numbers"});
    undo.Apply();
    EXPECT_EQ(Snapshot(), before);

    // Column order decides which value varies slowest: by (text, number) B comes after A.
    EXPECT_EQ(GenerateRunNumbers({2, 1}), 3);
    EXPECT_EQ(Column(3), (std::vector<std::string>{"1", "3", "1", "2", ""}));
}

TEST_F(DataToolsTest, RunNumbersAddNothingToOneRowOrAFullTable) {
    Table({{"1", "A"}}, 2);
    EXPECT_EQ(GenerateRunNumbers({1, 2}), 0);
    EXPECT_EQ(DataTable().ColumnCount(), 2);
    EXPECT_TRUE(platform.Messages.empty());

    Table({{"1"}, {"2"}}, kMaxColumns);
    EXPECT_EQ(GenerateRunNumbers({1}), 0);
    EXPECT_EQ(DataTable().ColumnCount(), kMaxColumns);
    EXPECT_EQ(Messages(), std::vector<std::string>{"error: Maximum Number of Columns Exceeded."});
    EXPECT_TRUE(labels.empty());
}

TEST_F(DataToolsTest, AutoRecodeRanksDistinctValuesOfEveryRow) {
    // 5, 3, 5, missing, 9: distinct values 3 < 5 < 9 get 1, 2, 3. The second column has gaps
    // and values in its last rows: 4 and 1 give 2 and 1. The third holds 7 that Missing When
    // makes missing: distinct 2 < 8 give 1 and 2.
    Table({{"5", "", "2"}, {"3", "4", "7"}, {"5", "", "8"}, {"", "1", "2"}, {"9", "4", "7"}}, 3);
    MissingRec.MissingOn = true;
    MissingRec.Relation1 = kMissEqual;
    MissingRec.Value1 = 7;
    const auto before = Snapshot();
    EXPECT_EQ(AutoRecode({1, 2, 3}), 3);
    EXPECT_EQ(DataTable().ColumnName(4), "Col1_R");
    EXPECT_EQ(DataTable().ColumnName(6), "Col3_R");
    EXPECT_EQ(Column(4), (std::vector<std::string>{"2", "1", "2", "", "3"}));
    EXPECT_EQ(Column(5), (std::vector<std::string>{"", "2", "", "1", "2"}));
    EXPECT_EQ(Column(6), (std::vector<std::string>{"1", "", "2", "1", ""}));
    // All three columns are one step.
    EXPECT_EQ(labels, std::vector<std::string>{"Auto Recode"});
    undo.Apply();
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(DataToolsTest, AutoRecodeFillsTheTableToItsLastColumnButNoFurther) {
    Table({{"1"}, {"2"}}, kMaxColumns - 1);
    EXPECT_EQ(AutoRecode({1, 2}), 0);
    EXPECT_EQ(DataTable().ColumnCount(), kMaxColumns - 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"error: Maximum Number of Columns Exceeded."});
    // One more column fits exactly.
    EXPECT_EQ(AutoRecode({1}), 1);
    EXPECT_EQ(DataTable().ColumnCount(), kMaxColumns);
}

TEST_F(DataToolsTest, WeightCasesRepeatRowsAfterTheTableAndUndo) {
    // Weights 2, 1, 3: 6 rows, the three as they were, then one copy of row 1 and two of row 3.
    Table({{"a", "2"}, {"b", "1"}, {"c", "3"}}, 2);
    const auto before = Snapshot();
    platform.Answers = {Answer::No};
    EXPECT_EQ(WeightCases(2).Result, TWeightResult::Declined);
    EXPECT_EQ(Snapshot(), before);

    const TWeightOutcome out = WeightCases(2);
    EXPECT_EQ(out.Result, TWeightResult::Done);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"yesno: New Row Count = 6, Continue?",
                                                    "yesno: New Row Count = 6, Continue?"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"a", "b", "c", "a", "c", "c"}));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"2", "1", "3", "2", "3", "3"}));
    EXPECT_EQ(labels, std::vector<std::string>{"Weight Cases"});
    undo.Apply();
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(DataToolsTest, WeightsRoundHalvesToEven) {
    // 1.5 -> 2, 2.5 -> 2, 0.6 -> 1, 3.5 -> 4: 9 rows.
    Table({{"x", "1.5"}, {"y", "2.5"}, {"z", "0.6"}, {"w", "3.5"}}, 2);
    EXPECT_EQ(PlanWeightCases(2).NewRowCount, 9);
    EXPECT_EQ(WeightCases(2).Result, TWeightResult::Done);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"x", "y", "z", "w", "x", "y", "w", "w", "w"}));
}

TEST_F(DataToolsTest, UnusableWeightsAreRefusedNamingTheFirstRow) {
    struct Case {
        std::vector<std::string> weights;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{"1", "", "2"}, "Row 2 of W has no weight."},
        {{"1", "-2", "-3"}, "Row 2 of W holds -2, which rounds to -2."},
        {{"1", "0.5", "2"}, "Row 2 of W holds 0.5, which rounds to 0."},
        {{"1", "0", "2"}, "Row 2 of W holds 0, which rounds to 0."},
        {{"1", "two", "2"}, "Row 2 of W holds \"two\", which is not a number."},
        {{"1", "2", "x"}, "Row 3 of W holds \"x\", which is not a number."},
        {{"1", "9", "2"}, "Row 2 of W holds 9, which counts as missing."},
        {{"2000000000", "1", "2000000000"}, "The weights in W add up to more than 2,147,483,646 rows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        Table({{"a", c.weights[0]}, {"b", c.weights[1]}, {"c", c.weights[2]}}, 2);
        DataTable().SetColumnName(2, "W");
        MissingRec.MissingOn = true;
        MissingRec.Relation1 = kMissEqual;
        MissingRec.Value1 = 9;
        platform.Reset();
        const auto before = Snapshot();
        const TWeightOutcome out = WeightCases(2);
        EXPECT_EQ(out.Result, TWeightResult::Refused);
        ASSERT_EQ(platform.Messages.size(), 1u); // no question before the refusal
        EXPECT_EQ(platform.Messages[0].kind, "error");
        EXPECT_EQ(platform.Messages[0].text.rfind(c.says, 0), 0u) << platform.Messages[0].text;
        EXPECT_EQ(Snapshot(), before);
        EXPECT_TRUE(labels.empty());
    }
}

TEST_F(DataToolsTest, AWordInTheWeightColumnIsNamedByItsRow) {
    // One word makes the whole column text (its cells become levels); the refusal still names
    // the row of the word, not the first row.
    Table({{"a", "2"}, {"b", "3"}, {"c", "many"}}, 2);
    EXPECT_EQ(WeightCases(2).Result, TWeightResult::Refused);
    ASSERT_EQ(platform.Messages.size(), 1u);
    EXPECT_EQ(platform.Messages[0].text.rfind("Row 3 of Col2 holds \"many\"", 0), 0u);
}

} // namespace
