// SPDX-License-Identifier: GPL-3.0-or-later
// New columns from sample data, checked against values worked out by hand beside each case:
// deviations with and without the midpoint, Bartlett-Kendall log variances and the subgroup
// question, combinable distributions keeping the total, run statistics of one-value runs, ranks
// with ties, statistics across rows, the column limit, a cancelled question and undo.
#include "charts/VarChartFixture.h"

#include "data/ComputeVariables.h"
#include "data/DataFile.h"
#include "data/TableEdit.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

using namespace kivspc;

namespace {

class ComputeVariablesTest : public VarChartTest {
protected:
    void SetUp() override {
        VarChartTest::SetUp();
        saved = OnTableEdited;
        OnTableEdited = [this](const TEditEffect&, TTableEdit&& inverse, std::string_view) {
            undo = std::move(inverse);
        };
    }
    void TearDown() override {
        OnTableEdited = saved;
        VarChartTest::TearDown();
    }
    // The texts of column `col`, row by row.
    static std::vector<std::string> Column(int col) {
        std::vector<std::string> texts;
        for (int r = 1; r <= DataTable().RowCount(); ++r)
            texts.emplace_back(DataTable().Cell(col, r));
        return texts;
    }
    static double Number(int col, int row) { return std::stod(std::string(DataTable().Cell(col, row))); }
    TComputeOutcome ByRuns(int statistic, std::vector<int> independents = {}) {
        TRunComputation q;
        q.Dependent = 1;
        q.Independents = std::move(independents);
        q.Statistic = statistic;
        q.Seed = 7;
        q.AskSubgroups = [this](const TSubgroupQuestion& question) -> std::optional<int> {
            asked = question;
            return subgroups;
        };
        q.AskMinimumRange = [this](const std::string& label) -> std::optional<double> {
            rangeAskedFor = label;
            return minimumRange;
        };
        return ComputeByRuns(q);
    }

    TTableEdit undo;
    decltype(OnTableEdited) saved;
    TSubgroupQuestion asked;
    std::optional<int> subgroups = 1;
    std::optional<double> minimumRange;
    std::string rangeAskedFor;
};

TEST_F(ComputeVariablesTest, DeviationsWithAndWithoutTheMidpoint) {
    // 1, 2, 3, 4, 10: median 3, mean 4.
    Table({{"1"}, {"2"}, {"3"}, {"4"}, {"10"}}, 1);
    TComputeOutcome out = ByRuns(kAbsDevMedianNoMidpoint);
    ASSERT_TRUE(out.Added);
    EXPECT_EQ(DataTable().ColumnName(2), "Col1_ADM");
    EXPECT_EQ(Column(2), (std::vector<std::string>{"2", "1", "", "1", "7"}));
    EXPECT_EQ(out.Log, (std::vector<std::string>{"Col1_ADM added to Data Editor",
                                                 "\t* Abs. Dev From Median w/o Midpoint", "\t* Col1", ""}));
    ASSERT_TRUE(ByRuns(kAbsDevMedian).Added);
    EXPECT_EQ(Column(3), (std::vector<std::string>{"2", "1", "0", "1", "7"}));
    ASSERT_TRUE(ByRuns(kAbsDevMean).Added);
    EXPECT_EQ(Column(4), (std::vector<std::string>{"3", "2", "1", "0", "6"}));
    ASSERT_TRUE(ByRuns(kDevMean).Added);
    EXPECT_EQ(Column(5), (std::vector<std::string>{"-3", "-2", "-1", "0", "6"}));
}

TEST_F(ComputeVariablesTest, RunStatisticsOfAOneValueRunAndRanks) {
    // Runs by column 2: A holds 5, 7, 7, 9 (rows 1, 2, 4, 5); B holds the single value 4 (row 3).
    Table({{"5", "A"}, {"7", "A"}, {"4", "B"}, {"7", "A"}, {"9", "A"}}, 2);
    ASSERT_TRUE(ByRuns(kRanks, {2}).Added);
    EXPECT_EQ(Column(3), (std::vector<std::string>{"1", "2.5", "1", "2.5", "4"}));
    const struct {
        int statistic;
        const char* a; // at row 1, the first case of run A
        const char* b; // at row 3, the only case of run B
    } cases[] = {
        {kRunMean, "7", "4"},
        {kRunMedian, "7", "4"},
        {kRunStdDev, "1.632993161855", ""},
        {kRunVariance, "2.666666666667", ""},
        {kRunLow, "5", "4"},
        {kRunHigh, "9", "4"},
        {kRunRange, "4", ""},
        {kRunSum, "28", "4"},
        {kRunCount, "4", "1"},
        {kRunMode, "7", "4"},
        {kAbsDevMedian, "2", ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(ByRuns(c.statistic, {2}).Added) << RunStatisticCaption(c.statistic);
        const int col = DataTable().ColumnCount();
        EXPECT_EQ(DataTable().Cell(col, 1), c.a) << RunStatisticCaption(c.statistic);
        EXPECT_EQ(DataTable().Cell(col, 3), c.b) << RunStatisticCaption(c.statistic);
        if (c.statistic != kAbsDevMedian) {
            EXPECT_EQ(DataTable().Cell(col, 2), "") << "written once, at the first case";
        }
    }
}

TEST_F(ComputeVariablesTest, BartlettKendallAndTheSubgroupQuestion) {
    // The question's ranges from the run sizes.
    EXPECT_EQ(SubgroupQuestion({10, 12}).Highest, 5);
    EXPECT_EQ(SubgroupQuestion({10, 12}).Initial, 3); // round(sqrt(11))
    EXPECT_EQ(SubgroupQuestion({4, 12}).Highest, 2);
    EXPECT_EQ(SubgroupQuestion({4, 12}).Initial, 1); // the smallest run has 5 or fewer
    EXPECT_EQ(SubgroupQuestion({36}).Highest, 18);
    EXPECT_EQ(SubgroupQuestion({36}).Initial, 6);
    EXPECT_DOUBLE_EQ(SubgroupQuestion({10, 12}).AverageSize, 11);

    // Two runs: 1, 2, 3, 4 (variance 5/3) and 2, 4, 6 (variance 4): ln at each run's first case.
    Table({{"1", "1"}, {"2", "1"}, {"2", "2"}, {"3", "1"}, {"4", "2"}, {"4", "1"}, {"6", "2"}}, 2);
    ASSERT_TRUE(ByRuns(kBartlettKendall, {2}).Added);
    EXPECT_NEAR(Number(3, 1), std::log(5.0 / 3), 1e-12);
    EXPECT_NEAR(Number(3, 3), std::log(4.0), 1e-12);
    EXPECT_EQ(DataTable().Cell(3, 2), "");

    // Ten constant values in two subgroups of five: the minimum range is asked once, and each
    // subgroup gets ln(0.1² / 5) = -6.2146.
    std::vector<std::vector<std::string>> constant(10, {"3"});
    Table(constant, 1);
    subgroups = 2;
    minimumRange = 0.1;
    ASSERT_TRUE(ByRuns(kBartlettKendallBox).Added);
    EXPECT_EQ(asked.Highest, 5);
    EXPECT_EQ(rangeAskedFor, "Col1");
    EXPECT_NEAR(Number(2, 1), std::log(0.01 / 5), 1e-12);
    EXPECT_NEAR(Number(2, 2), -6.2146, 5e-5);
    EXPECT_EQ(DataTable().Cell(2, 3), "");

    // Cancelling either question adds nothing.
    minimumRange.reset();
    EXPECT_FALSE(ByRuns(kBartlettKendallBox).Added);
    subgroups.reset();
    const TComputeOutcome cancelled = ByRuns(kBartlettKendallBox);
    EXPECT_FALSE(cancelled.Added);
    EXPECT_TRUE(cancelled.Log.empty());
    EXPECT_EQ(DataTable().ColumnCount(), 2);
}

TEST_F(ComputeVariablesTest, CombinableDistributionsKeepTheTotal) {
    Table(
        {{"10", "1"}, {"12", "1"}, {"11", "1"}, {"20", "2"}, {"24", "2"}, {"", "2"}, {"5", "3"}, {"7", "3"}},
        2);
    ASSERT_TRUE(ByRuns(kCombinable, {2}).Added);
    double total = 0;
    for (int r : {1, 2, 3, 4, 5, 7, 8})
        total += Number(3, r);
    EXPECT_NEAR(total, 89, 1e-9) << "the sum of the values taking part";
    EXPECT_EQ(DataTable().Cell(3, 6), "") << "a missing value stays empty";
    // Within a run the values keep their distances.
    EXPECT_NEAR(Number(3, 2) - Number(3, 1), 2, 1e-9);
    EXPECT_NEAR(Number(3, 5) - Number(3, 4), 4, 1e-9);

    // Runs of one value each have no pooled variance: refused in words.
    Table({{"1", "1"}, {"2", "2"}}, 2);
    const TComputeOutcome out = ByRuns(kCombinable, {2});
    EXPECT_FALSE(out.Added);
    EXPECT_NE(out.Message.find("single value"), std::string::npos);
    EXPECT_EQ(DataTable().ColumnCount(), 2);
}

TEST_F(ComputeVariablesTest, AcrossRowsNamesTheLimitAndUndo) {
    Table({{"1", "2", "6"}, {"", "4", ""}, {"", "", ""}}, 3);
    TRowComputation q;
    q.Columns = {1, 2, 3};
    q.Statistic = 2; // Standard Deviation
    q.Name = RowStatisticDefaultName(2, 0);
    EXPECT_EQ(q.Name, "Std_Dev1");
    EXPECT_EQ(RowStatisticDefaultName(2, 1), "Std_Dev2");
    EXPECT_EQ(RowStatisticDefaultName(0, 0), "Mean1");
    const TComputeOutcome out = ComputeAcrossRows(q);
    ASSERT_TRUE(out.Added);
    // sd of 1, 2, 6 = sqrt(7); one value: 0; no value: empty.
    EXPECT_EQ(Column(4), (std::vector<std::string>{"2.645751311065", "0", ""}));
    EXPECT_EQ(out.Log[1], "\t* Standard Deviation of Col1, Col2, Col3");
    q.Statistic = 8;
    q.Name = "n";
    ASSERT_TRUE(ComputeAcrossRows(q).Added);
    EXPECT_EQ(Column(5), (std::vector<std::string>{"3", "1", ""}));

    // Undo takes the new column away again.
    undo.Apply();
    EXPECT_EQ(DataTable().ColumnCount(), 4);

    // A full table refuses, changing nothing.
    DataTable().SetColumnCount(kMaxColumns);
    DataList.RebuildValues();
    const TComputeOutcome full = ComputeAcrossRows(q);
    EXPECT_FALSE(full.Added);
    EXPECT_EQ(full.Message, "Maximum Number of Columns Exceeded.");
    EXPECT_EQ(DataTable().ColumnCount(), kMaxColumns);
}

// The help page's example: Diam1 of the bearing diameters by shift. The references were worked
// out with Python's statistics module from the file's values: Early sd 0.0101451, Late 0.0139942.
TEST_F(ComputeVariablesTest, HelpExampleOfTheBearingDiameters) {
    ASSERT_TRUE(LoadFile(KIVSPC_EXAMPLES_DIR "/bearing-diameters.kivs"));
    TRunComputation q;
    q.Dependent = 3;      // Diam1
    q.Independents = {2}; // Shift
    q.Statistic = kBartlettKendall;
    ASSERT_TRUE(ComputeByRuns(q).Added);
    const int col = DataTable().ColumnCount();
    EXPECT_EQ(DataTable().ColumnName(col), "Diam1_BK");
    EXPECT_NEAR(Number(col, 1), -9.1815215568, 1e-8); // the first Early row
    EXPECT_NEAR(Number(col, 2), -8.5382222848, 1e-8); // the first Late row
    q.Statistic = kRunMean;
    ASSERT_TRUE(ComputeByRuns(q).Added);
    EXPECT_NEAR(Number(col + 1, 1), 25.0039333333, 1e-9);
    EXPECT_NEAR(Number(col + 1, 2), 25.0041333333, 1e-9);
}

} // namespace
