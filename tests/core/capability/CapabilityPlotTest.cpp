// SPDX-License-Identifier: GPL-3.0-or-later
// The capability analysis' row statistics: mean, standard deviation and count of the selected
// measure columns per row, after Process If and the transform; values worked out by hand.
#include "charts/VarChartFixture.h"

#include "app/NumberFormat.h"
#include "capability/CapabilityPlot.h"
#include "capability/CapabilitySetup.h"
#include "data/DataFile.h"
#include "data/DataList.h"
#include "data/Procif.h"
#include "data/Transfrm.h"
#include "stats/Descriptive.h"
#include "stats/Fit.h"
#include "stats/SampleBuffer.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace kivspc;

namespace {

class RowStatisticsTest : public VarChartTest {
protected:
    static double Cell(int k, int row) {
        return Values[static_cast<std::size_t>(DataTable().ColumnCount() + k)][static_cast<std::size_t>(row)];
    }
};

TEST_F(RowStatisticsTest, MeansDeviationsAndCountsOfTheSelectedColumns) {
    Table({{"1", "3", "100", "1"}, {"2", "", "100", "2"}, {"", "", "100", "1"}, {"4", "8", "100", "1"}}, 4);
    DataList.Selected = {};
    DataList.Selected[1] = DataList.Selected[2] = 1;
    ComputeRowStatistics();
    // Row 1: 1 and 3: mean 2, sd sqrt(2); row 2: one value; row 3: none.
    EXPECT_DOUBLE_EQ(Cell(1, 1), 2);
    EXPECT_DOUBLE_EQ(Cell(2, 1), std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(Cell(3, 1), 2);
    EXPECT_DOUBLE_EQ(Cell(1, 2), 2);
    EXPECT_FALSE(NotMissing(Cell(2, 2))) << "one value has no standard deviation";
    EXPECT_DOUBLE_EQ(Cell(3, 2), 1);
    EXPECT_FALSE(NotMissing(Cell(1, 3)));
    EXPECT_DOUBLE_EQ(Cell(3, 3), 0);

    // Process If leaves row 2 out; the transform 2X + 1 applies to the values: row 4 is 9 and 17.
    ApplyProcessIf({4, "Col4", kRelEqual, "1"}, {}, false);
    TransformRec.Kind = kTransformLinear;
    TransformRec.A = 2;
    TransformRec.B = 1;
    ComputeRowStatistics();
    EXPECT_DOUBLE_EQ(Cell(3, 2), 0);
    EXPECT_FALSE(NotMissing(Cell(1, 2)));
    EXPECT_DOUBLE_EQ(Cell(1, 4), 13);
    EXPECT_DOUBLE_EQ(Cell(2, 4), std::sqrt(32.0));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The analysis and its statistics table. Every expected value is worked out by hand in the
// comment beside it.
// ---------------------------------------------------------------------------------------------

namespace {

class CapabilityAnalysisTest : public VarChartTest {
protected:
    void SetUp() override {
        VarChartTest::SetUp();
        DistKind = kDistNone;
    }

    // A setup as the setup window's Action stores it.
    TCapabilityAnalysis Open(TCapabilityChoice choice, bool capability = true) {
        EXPECT_TRUE(StoreCapabilitySetup(choice));
        TCapabilityAnalysis a;
        a.Options.CapabilityMode = capability;
        OpenCapabilityAnalysis(a);
        return a;
    }
    static void Specs(int column, const std::string& lsl, const std::string& target, const std::string& usl) {
        DataTable().SetDescription(column, kLSLRow, lsl);
        DataTable().SetDescription(column, kTargetRow, target);
        DataTable().SetDescription(column, kUSLRow, usl);
    }
    // The right cell of the row labelled `left`, or "absent"; every cell is checked for words
    // where a number could not be formed.
    static std::string Cell(const std::vector<TStatRow>& rows, const std::string& left) {
        for (const auto& r : rows) {
            EXPECT_EQ(r.Right.find("inf"), std::string::npos) << r.Left;
            EXPECT_EQ(r.Right.find("nan"), std::string::npos) << r.Left;
        }
        for (const auto& r : rows)
            if (r.Left == left) return r.Right;
        return "absent";
    }
    static std::vector<std::vector<std::string>> Column(std::initializer_list<const char*> values) {
        std::vector<std::vector<std::string>> rows;
        for (const char* v : values)
            rows.push_back({v});
        return rows;
    }
};

TEST_F(CapabilityAnalysisTest, OneToFiveWithinZeroToSix) {
    Table(Column({"1", "2", "3", "4", "5"}), 1);
    Specs(1, "0", "3", "6");
    TCapabilityAnalysis a = Open({{1}});
    EXPECT_EQ(a.Run.RunType, kRunColumns);
    EXPECT_EQ(a.ListTexts(), std::vector<std::string>{"Col1"}) << "one group: no (All)";

    DistKind = kDistNormal;
    auto rows = BuildStatisticsTable(a);
    EXPECT_EQ(Cell(rows, "n"), "5");
    EXPECT_EQ(Cell(rows, "Mean"), "3.0000");
    EXPECT_EQ(Cell(rows, "Std Dev"), "1.5811"); // sqrt(10/4)
    // Moving ranges 1, 1, 1, 1: median 1, / 0.954.
    EXPECT_EQ(Cell(rows, "Std Dev(pot)"), "1.0482");
    EXPECT_EQ(Cell(rows, "n Below Spec"), "0");
    EXPECT_EQ(Cell(rows, "% Out Spec"), "0.000");
    EXPECT_EQ(Cell(rows, "Cp"), "0.632");            // 6 / (6 x 1.5811)
    EXPECT_EQ(Cell(rows, "Cpk"), "0.632");           // min(6 - 3, 3 - 0) / (3 x 1.5811)
    EXPECT_EQ(Cell(rows, "Cp(potential)"), "0.954"); // 6 / (6 x 1/0.954)
    EXPECT_EQ(Cell(rows, "% Off-Target"), "0.00");
    EXPECT_EQ(Cell(rows, "Normal"), "");
    // Normal LPL = 3 - 3 x 1.5811.
    EXPECT_EQ(Cell(rows, "LPL"), "-1.7434");
    EXPECT_EQ(Cell(rows, "Est %Out Spec"), "5.778"); // 2 x Phi(-3 / 1.5811) = 2 x Phi(-1.8974) = 2 x 0.028889

    // The tests of normality: each name over "p-value", then its statistic and p-value.
    auto heading =
        std::find_if(rows.begin(), rows.end(), [](const TStatRow& r) { return r.Left == "(S-W)W"; });
    ASSERT_NE(heading, rows.end());
    EXPECT_EQ(heading->Kind, TStatRowKind::TestHeading);
    EXPECT_EQ(heading->Right, "p-value");
    EXPECT_EQ((heading + 1)->Kind, TStatRowKind::TestResult);
    EXPECT_EQ((heading + 1)->Left, "0.987"); // W of 1..5 (Royston): 0.98676
    EXPECT_FALSE((heading + 1)->Significant);

    DistKind = kDistNone;
    rows = BuildStatisticsTable(a);
    EXPECT_EQ(Cell(rows, "Cp"), "absent") << "indices in capability mode need a distribution";
    EXPECT_EQ(Cell(rows, "Cpk"), "absent");
    EXPECT_EQ(Cell(rows, "LPL"), "absent");

    a.Options.CapabilityMode = false;
    rows = BuildStatisticsTable(a);
    EXPECT_EQ(Cell(rows, "Ppk"), "0.632");
    EXPECT_EQ(Cell(rows, "Pp"), "0.632");
    EXPECT_EQ(Cell(rows, "Cp(potential)"), "0.954");
    // Variance 2.5, on target: the total is the variance.
    EXPECT_EQ(Cell(rows, "Var(Total)"), "2.5000 (100.0%)");
    // 1/0.954² = 1.0988, 43.95 % of 2.5; the time component is the rest.
    EXPECT_EQ(Cell(rows, "Var(Potential)"), "1.0988 (44.0%)");
    EXPECT_EQ(Cell(rows, "Var(Target)"), "0.0000 (0.0%)");
    EXPECT_EQ(Cell(rows, "Var(Time)"), "1.4012 (56.0%)");
    EXPECT_EQ(Cell(rows, "Pp(stream)"), "absent") << "one stream";
}

TEST_F(CapabilityAnalysisTest, PerformanceOffTargetAndOneSidedLimits) {
    Table(Column({"1", "2", "3", "4", "5"}), 1);
    Specs(1, "", "2", "6");
    TCapabilityAnalysis a = Open({{1}}, false);
    const auto rows = BuildStatisticsTable(a);
    // Variance 2.5 plus (3 - 2)²: 3.5; the target's share 1/3.5 = 28.6 %.
    EXPECT_EQ(Cell(rows, "Var(Total)"), "3.5000 (100.0%)");
    EXPECT_EQ(Cell(rows, "Var(Target)"), "1.0000 (28.6%)");
    // Only an upper limit: CPU = (6 - 3) / (3 x 1.5811) = 0.632.
    EXPECT_EQ(Cell(rows, "Ppk"), "0.632");
    for (const char* absent : {"LSL", "n Below Spec", "% Below Spec", "n Out Spec", "% Out Spec",
                               "Est %Below Spec", "Est %Out Spec", "% Off-Target"})
        EXPECT_EQ(Cell(rows, absent), "absent") << absent;
    EXPECT_EQ(Cell(rows, "USL"), "6");
    EXPECT_EQ(Cell(rows, "n Above Spec"), "0");
}

TEST_F(CapabilityAnalysisTest, LimitsTheWrongWayRoundAreSaidInWords) {
    // LSL 6 above USL 2 over 1..6: five values lie below the LSL and four above the USL, nine of
    // six; no count, estimate or index can be formed, in either mode.
    Table(Column({"1", "2", "3", "4", "5", "6"}), 1);
    Specs(1, "6", "4", "2");
    for (bool capability : {true, false}) {
        TCapabilityAnalysis a = Open({{1}}, capability);
        DistKind = kDistNormal;
        const auto rows = BuildStatisticsTable(a);
        EXPECT_EQ(Cell(rows, "LSL"), "6");
        EXPECT_EQ(Cell(rows, "Target"), "4");
        EXPECT_EQ(Cell(rows, "USL"), "2");
        EXPECT_EQ(Cell(rows, "Limits"), "The LSL is above the USL");
        EXPECT_EQ(rows.back().Kind, TStatRowKind::Note);
        for (const char* absent : {"n Below Spec", "n Out Spec", "% Out Spec", "Est %Out Spec", "Cp", "Cpk",
                                   "Pp", "Ppk", "% Off-Target", "Var(Total)"})
            EXPECT_EQ(Cell(rows, absent), "absent")
                << absent << (capability ? " capability" : " performance");
    }
}

TEST_F(CapabilityAnalysisTest, HugeLimitsInExponentForm) {
    // Limits typed as -1e300 and 1e300 are shown as such, not as three hundred digits; the
    // tolerance 2e300 over 6 x 1.5811 is 2.1082e299.
    Table(Column({"1", "2", "3", "4", "5"}), 1);
    Specs(1, "-1e300", "", "1e300");
    TCapabilityAnalysis a = Open({{1}});
    DistKind = kDistNormal;
    const auto rows = BuildStatisticsTable(a);
    EXPECT_EQ(Cell(rows, "LSL"), "-1e+300");
    EXPECT_EQ(Cell(rows, "USL"), "1e+300");
    EXPECT_EQ(Cell(rows, "Cp"), "2.108e+299");
}

TEST_F(CapabilityAnalysisTest, ExponentialAndPercentileIndicesOfAFittedModel) {
    Table(Column({"2", "3", "5", "10"}), 1);
    TCapabilityAnalysis a = Open({{1}});
    DistKind = kDistExponentialLow;
    auto rows = BuildStatisticsTable(a);
    EXPECT_EQ(Cell(rows, "Exponential"), "(Low)");
    EXPECT_EQ(Cell(rows, "UPL"), "21.8230"); // 2 - 3 ln 0.00135 = 2 + 3 x 6.607650
    // n (mean - min)² / ((n - 1)² variance) = 4 x 9 / (9 x 38/3) = 0.3158.
    EXPECT_EQ(Cell(rows, "W(E)"), "0.3158");

    // Uniform on 1..10 (process limits 1 and 10, median 5.5) within 0..12: Cp = 12 / 9,
    // Cpk(E) = min((12 - 5.5) / 4.5, (5.5 - 0) / 4.5) = 1.222.
    Table(Column({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}), 1);
    Specs(1, "0", "", "12");
    a = Open({{1}});
    DistKind = kDistUniform;
    rows = BuildStatisticsTable(a);
    EXPECT_EQ(Cell(rows, "Cp"), "1.333");
    EXPECT_EQ(Cell(rows, "Cpk(E)"), "1.222");
    EXPECT_EQ(Cell(rows, "Est %Out Spec"), "0.000");
}

TEST_F(CapabilityAnalysisTest, AFitThatCannotBeMadeIsSaidInWords) {
    Table(Column({"4", "4", "4", "4"}), 1);
    Specs(1, "0", "", "6");
    TCapabilityAnalysis a = Open({{1}});
    for (int kind : {kDistNormal, kDistJohnson, kDistWeibull}) {
        DistKind = kind;
        const auto rows = BuildStatisticsTable(a);
        EXPECT_NE(Cell(rows, "No fit"), "absent") << kind;
        EXPECT_EQ(Cell(rows, "LPL"), "absent") << kind;
        EXPECT_EQ(Cell(rows, "Est %Out Spec"), "absent") << kind;
        EXPECT_EQ(Cell(rows, "Std Dev"), "0.0000");
        EXPECT_EQ(Cell(rows, "% Out Spec"), "0.000");
    }
    a.Options.CapabilityMode = false;
    EXPECT_EQ(Cell(BuildStatisticsTable(a), "Pp"), std::string(kNotComputable)) << "no spread to divide by";
}

TEST_F(CapabilityAnalysisTest, MovingRangesPooledOverGroups) {
    // Group 7: 1, 2, 4 (moving ranges 1, 2: median 1.5, weight 2); group 9: 10, 10, 13, 12
    // (0, 3, 1: median 1, weight 3). Pooled: (2 x 1.5 + 3 x 1) / 5 / 0.954 = 1.2579.
    Table({{"1", "7"}, {"10", "9"}, {"2", "7"}, {"10", "9"}, {"13", "9"}, {"4", "7"}, {"12", "9"}}, 2);
    TCapabilityAnalysis a = Open({{1}, {2}});
    EXPECT_EQ(a.Run.RunType, kRunBySingleCombination);
    EXPECT_EQ(a.ListTexts(), (std::vector<std::string>{"(All)", "7", "9"}));
    EXPECT_NEAR(PotentialSigma(a), 1.2 / 0.954, 1e-12);
    a.Selected = 1;
    EXPECT_NEAR(PotentialSigma(a), 1.5 / 0.954, 1e-12) << "one group alone";
    a.Selected = 2;
    SelectCurrentData(a);
    EXPECT_EQ(SampleN, 4);
    EXPECT_EQ(a.AnalysisLabel, "9");
}

TEST_F(CapabilityAnalysisTest, SubgroupsFromASampleColumn) {
    // Samples 1, 2, 3 of three parts each; the lone part of sample 4 carries no spread within.
    // Standard deviations 1, 2, 0.5: median 1; n = 3; sigma = 1 x sqrt(2 / chi²(0.5; 2)) with the
    // median of chi² on 2 degrees of freedom 2 ln 2: sqrt(1 / ln 2) = 1.201122.
    Table({{"10", "1"},
           {"11", "1"},
           {"12", "1"},
           {"20", "2"},
           {"22", "2"},
           {"24", "2"},
           {"5", "3"},
           {"5.5", "3"},
           {"6", "3"},
           {"99", "4"}},
          2);
    TCapabilityChoice choice{{1}};
    choice.SampleColumn = 2;
    TCapabilityAnalysis a = Open(choice);
    EXPECT_NEAR(PotentialSigma(a), 1 / std::sqrt(std::log(2.0)), 1e-6);
}

TEST_F(CapabilityAnalysisTest, RowsAsSubgroupsAndStreams) {
    // Rows (1, 2, 3), (2, 4, 6), (5, 5, 8): standard deviations 1, 2, sqrt(3); median sqrt(3),
    // n = 3: sigma = sqrt(3) / sqrt(ln 2).
    Table({{"1", "2", "3"}, {"2", "4", "6"}, {"5", "5", "8"}}, 3);
    TCapabilityChoice choice{{1, 2, 3}};
    choice.LayoutIndex = kLayoutSubgroupsInRows;
    choice.SampleColumn = 3; // dropped: the rows are the subgroups
    TCapabilityAnalysis a = Open(choice);
    EXPECT_EQ(a.Run.RunType, kRunPooled);
    EXPECT_FALSE(a.Config.HasSampleColumn);
    ASSERT_EQ(a.Groups.size(), 1u);
    EXPECT_NEAR(PotentialSigma(a), std::sqrt(3.0) / std::sqrt(std::log(2.0)), 1e-6);

    // The three columns as process streams: variances 4.3333, 2.3333, 6.3333 over 2 degrees of
    // freedom each; pooled sqrt(13 / 3).
    choice.LayoutIndex = kLayoutProcessStreams;
    a = Open(choice, false);
    EXPECT_TRUE(a.Config.MeasuresAreStreams);
    EXPECT_EQ(a.ListTexts().front(), "(All)");
    EXPECT_NEAR(StreamSigma(a), std::sqrt(13.0 / 3), 1e-12);
    a.Selected = 1;
    EXPECT_FALSE(NotMissing(StreamSigma(a))) << "one stream has no between-stream part";
}

TEST_F(CapabilityAnalysisTest, GroupsNumberedByTheirOwnValues) {
    // Two measures by one group column holding 5 and 7: each measure within each group.
    Table({{"1", "10", "5"}, {"2", "11", "7"}, {"3", "12", "5"}, {"4", "14", "7"}}, 3);
    TCapabilityAnalysis a = Open({{1, 2}, {3}});
    EXPECT_EQ(a.Run.RunType, kRunEachByGroupValue);
    ASSERT_EQ(a.Groups.size(), 4u);
    a.Selected = 2; // Col1 in group 7
    SelectCurrentData(a);
    ASSERT_EQ(SampleN, 2);
    EXPECT_EQ(SampleX[1], 2);
    EXPECT_EQ(SampleX[2], 4);
    // Moving ranges pooled over the four entries: 2, 2, 2, 3 with weight 1 each.
    a.Selected = 0;
    EXPECT_NEAR(PotentialSigma(a), 2.25 / 0.954, 1e-12);
}

TEST_F(CapabilityAnalysisTest, GroupValuesFarApartAreTwoGroups) {
    // Group numbers 5 and 2,000,000,000: four entries (two measures in two groups), listed without
    // visiting every number between them; Col2 in the far group holds 11 and 14.
    Table({{"1", "10", "5"}, {"2", "11", "2000000000"}, {"3", "12", "5"}, {"4", "14", "2000000000"}}, 3);
    TCapabilityAnalysis a = Open({{1, 2}, {3}});
    EXPECT_EQ(a.Run.RunType, kRunEachByGroupValue);
    ASSERT_EQ(a.Groups.size(), 4u);
    a.Selected = 4;
    SelectCurrentData(a);
    ASSERT_EQ(SampleN, 2);
    EXPECT_EQ(SampleX[1], 11);
    EXPECT_EQ(SampleX[2], 14);
    // Subgroups in rows by the group column: one entry per group value, each with two rows.
    TCapabilityChoice rows{{1, 2}, {3}};
    rows.LayoutIndex = kLayoutSubgroupsInRows;
    a = Open(rows);
    EXPECT_EQ(a.Run.RunType, kRunColumnsByGroupValue);
    EXPECT_EQ(a.ListTexts(), (std::vector<std::string>{"(All)", "5", "2000000000"}));
}

// The worked example of the help page: Diam1 of the example file (column 3, 30 rows, LSL 24.940,
// Target 25.000, USL 25.060). By hand, in thousandths of a millimetre above 25.000: the sum of
// the 30 deviations is 121 and of their squares 4671, so the mean is 25 + 0.121 / 30 = 25.004033,
// the sum of squares about the mean 4671 - 121² / 30 = 4182.967 and the standard deviation
// sqrt(4182.967 / 29) = 12.0100. The 29 moving ranges sorted have 8 as their 15th: 8 / 0.954 =
// 8.3857. Cp = 120 / (6 x 12.0100) = 1.665; Cpk = (4.0333 + 60) / (3 x 12.0100) = 1.553;
// Cp(potential) = 120 / (6 x 8.3857) = 2.385; Cpm = 120 / (6 sqrt(12.0100² + 4.0333² x 30 / 29))
// = 1.576; off target 4.0333 / 120 = 3.36 %. Normal process limits 25.004033 -/+ 3 x 0.012010.
// With Day as the sample column the subgroups are the pairs Early/Late; the 8th of the 15 pair
// standard deviations is 11 / sqrt(2), and the median of chi² on one degree of freedom is
// 0.674490² (the normal quartile squared): 11 / sqrt(2) / 0.674490 = 11.5319.
TEST_F(CapabilityAnalysisTest, TheHelpExampleOfBearingDiameters) {
    ASSERT_TRUE(LoadFile(KIVSPC_EXAMPLES_DIR "/bearing-diameters.kivs"));
    ASSERT_EQ(DataTable().RowCount(), 30);
    TCapabilityAnalysis a = Open({{3}});
    a.Options.Decimals = 6;
    DistKind = kDistNormal;
    auto rows = BuildStatisticsTable(a);
    const std::vector<std::pair<const char*, const char*>> capability{
        {"n", "30"},
        {"Mean", "25.004033"},
        {"Median", "25.005500"},
        {"Std Dev", "0.012010"},
        {"Std Dev(pot)", "0.008386"},
        {"Low", "24.973000"},
        {"High", "25.027000"},
        {"Range", "0.054000"},
        {"LPL", "24.968003"},
        {"UPL", "25.040063"},
        {"NT", "0.072060"},
        {"n Out Spec", "0"},
        {"Est %Out Spec", "0.000"},
        {"Cpm", "1.576"},
        {"Cpk", "1.553"},
        {"Cp", "1.665"},
        {"Cp(potential)", "2.385"},
        {"% Off-Target", "3.36"},
    };
    for (const auto& [left, right] : capability)
        EXPECT_EQ(Cell(rows, left), right) << left;

    // Performance, with eight decimals for the variances (in µm²: 144.240 + 16.268 = 160.508;
    // potential 8.3857² = 70.32, 43.8 %; target 10.1 %; time 144.240 - 70.32 = 73.92, 46.1 %).
    a.Options.CapabilityMode = false;
    a.Options.Decimals = 8;
    rows = BuildStatisticsTable(a);
    const std::vector<std::pair<const char*, const char*>> performance{
        {"Ppk", "1.553"},
        {"Ppm", "1.576"},
        {"Pp", "1.665"},
        {"Cp(potential)", "2.385"},
        {"Var(Total)", "0.00016051 (100.0%)"},
        {"Var(Potential)", "0.00007032 (43.8%)"},
        {"Var(Target)", "0.00001627 (10.1%)"},
        {"Var(Time)", "0.00007392 (46.1%)"},
    };
    for (const auto& [left, right] : performance)
        EXPECT_EQ(Cell(rows, left), right) << left;

    TCapabilityChoice byDay{{3}};
    byDay.SampleColumn = 1;
    a = Open(byDay);
    EXPECT_NEAR(PotentialSigma(a), 0.011 / std::sqrt(2.0) / 0.674489750196, 1e-7);
}

} // namespace
