// SPDX-License-Identifier: GPL-3.0-or-later
// The attributes charts' centres and limits per set, checked against hand calculations, the
// exact binomial and Poisson limits worked out for the edge cases, and two classic published data
// sets: 30 samples of 50 orange-juice cans (p-bar 0.2313, limits 0.4102 and 0.0524) and 26 samples
// of 100 circuit boards (c-bar 19.85, limits 33.22 and 6.48), both from the standard quality-control
// textbook tables.
#include "VarChartFixture.h"

#include "app/NumberFormat.h"
#include "charts/AttrChart.h"
#include "charts/ControlTests.h"
#include "data/DataFile.h"
#include "data/DataList.h"
#include "data/Extract.h"

#include <cmath>
#include <vector>

using namespace kivspc;

namespace {

class AttrChartTest : public VarChartTest {
protected:
    void SetUp() override {
        VarChartTest::SetUp();
        AttrChartSettings = TAttrChartSettings{};
    }
    // Points of one set (or of the sets given) with their counts and sample sizes.
    static void Points(TAttrType type, TAttrMethod method, const std::vector<double>& counts,
                       const std::vector<double>& sizes, const std::vector<int>& sets = {}) {
        AttrChartSettings.ChartType = type;
        AttrChartSettings.LimitMethod = method;
        ClearAttrChart(!sets.empty());
        for (std::size_t i = 0; i < counts.size(); ++i)
            AddAttrPoint(counts[i], sizes[i % sizes.size()], sets.empty() ? 0 : sets[i],
                         static_cast<double>(i + 1));
        ComputeAttrLimits();
    }
    static double At(int row, int point) { return AttrChart(row, point); }
    static bool Absent(int row, int point) { return !NotMissing(At(row, point)); }
};

TEST_F(AttrChartTest, PublishedPAndCChartsWithNormalApproximationLimits) {
    Points(TAttrType::P, TAttrMethod::NormalApproximation,
           {12, 15, 8, 10, 4,  7,  16, 9,  14, 10, 5,  6, 17, 12, 22,
            8,  10, 5, 13, 11, 20, 18, 24, 15, 9,  12, 7, 13, 9,  6},
           {50});
    EXPECT_NEAR(At(kAttrCL, 1), 347.0 / 1500, 1e-12);
    EXPECT_NEAR(At(kAttrUCL, 30), 0.4102, 1e-4);
    EXPECT_NEAR(At(kAttrLCL, 30), 0.0524, 1e-4);
    EXPECT_NEAR(At(kAttrSE, 1), std::sqrt(0.231333 * 0.768667 / 50), 1e-5);
    EXPECT_DOUBLE_EQ(At(kAttrStatistic, 1), 12.0 / 50);

    Points(TAttrType::C, TAttrMethod::NormalApproximation,
           {21, 24, 16, 12, 15, 5,  28, 20, 31, 25, 20, 24, 16,
            19, 10, 17, 13, 22, 18, 39, 30, 24, 16, 19, 17, 15},
           {100});
    EXPECT_NEAR(At(kAttrCL, 1), 19.85, 0.005);
    EXPECT_NEAR(At(kAttrUCL, 1), 33.22, 0.015); // published with c-bar rounded to 19.85
    EXPECT_NEAR(At(kAttrLCL, 1), 6.48, 0.005);
}

// The worked values: p-bar 0.1 with n = 50 and 200, c-bar 4, 10 and 25, three standard errors.
TEST_F(AttrChartTest, ExactAndApproximateLimitsOfTheWorkedCases) {
    const struct {
        TAttrType type;
        TAttrMethod method;
        double count, size;
        double ucl, lcl; // NaN: absent
    } cases[] = {
        {TAttrType::P, TAttrMethod::NormalApproximation, 5, 50, 0.2273, NAN},
        {TAttrType::P, TAttrMethod::Exact, 5, 50, 12.5 / 50, NAN},
        {TAttrType::P, TAttrMethod::Exact, 20, 200, 34.5 / 200, 7.5 / 200},
        {TAttrType::C, TAttrMethod::NormalApproximation, 4, 1, 10, NAN},
        {TAttrType::C, TAttrMethod::Exact, 4, 1, 11.5, NAN},
        {TAttrType::C, TAttrMethod::NormalApproximation, 10, 1, 19.49, 0.5132},
        {TAttrType::C, TAttrMethod::Exact, 10, 1, 21.5, 1.5},
        {TAttrType::C, TAttrMethod::NormalApproximation, 25, 1, 40, 10},
        {TAttrType::C, TAttrMethod::Exact, 25, 1, 41.5, 10.5},
    };
    for (const auto& c : cases) {
        Points(c.type, c.method, {c.count, c.count}, {c.size});
        const std::string what = std::to_string(c.count) + "/" + std::to_string(c.size);
        // The worked values are given to four significant digits.
        EXPECT_EQ(FormatSignificant(4, At(kAttrUCL, 2)), FormatSignificant(4, c.ucl)) << what;
        if (std::isnan(c.lcl))
            EXPECT_TRUE(Absent(kAttrLCL, 2)) << what;
        else
            EXPECT_EQ(FormatSignificant(4, At(kAttrLCL, 2)), FormatSignificant(4, c.lcl)) << what;
    }
}

TEST_F(AttrChartTest, CentresPerSetAndPerPoint) {
    // A set of zero counts: centre line 0 and no limits; sets 1 and 3 each with their own centre.
    Points(TAttrType::P, TAttrMethod::Exact, {0, 0, 5, 10}, {50}, {1, 1, 3, 3});
    EXPECT_EQ(At(kAttrCL, 1), 0);
    EXPECT_TRUE(Absent(kAttrUCL, 1));
    EXPECT_TRUE(Absent(kAttrLCL, 1));
    EXPECT_DOUBLE_EQ(At(kAttrCL, 3), 15.0 / 100);
    // Set numbers far apart, interleaved: two sets (only the numbers that occur are visited).
    Points(TAttrType::C, TAttrMethod::CenterlineOnly, {2, 10, 4, 20}, {1},
           {-1000000000, 1000000000, -1000000000, 1000000000});
    EXPECT_DOUBLE_EQ(At(kAttrCL, 1), 3);
    EXPECT_DOUBLE_EQ(At(kAttrCL, 2), 15);

    // Points with n = 1 get nothing; the others are unaffected.
    Points(TAttrType::P, TAttrMethod::NormalApproximation, {1, 5, 5}, {1, 50, 50});
    EXPECT_TRUE(Absent(kAttrCL, 1));
    EXPECT_TRUE(Absent(kAttrUCL, 1));
    EXPECT_DOUBLE_EQ(At(kAttrCL, 2), 11.0 / 101);

    // np centres follow n, p centres do not.
    Points(TAttrType::NP, TAttrMethod::NormalApproximation, {5, 10}, {50, 100});
    EXPECT_DOUBLE_EQ(At(kAttrCL, 1), 0.1 * 50);
    EXPECT_DOUBLE_EQ(At(kAttrCL, 2), 0.1 * 100);
    Points(TAttrType::P, TAttrMethod::NormalApproximation, {5, 10}, {50, 100});
    EXPECT_DOUBLE_EQ(At(kAttrCL, 1), At(kAttrCL, 2));

    // Counts of 1 in 2.5 units: 0.4 plotted, but the mean centre adds the units rounded (2 each).
    Points(TAttrType::U, TAttrMethod::NormalApproximation, {1, 1, 1, 1}, {2.5});
    EXPECT_DOUBLE_EQ(At(kAttrStatistic, 1), 0.4);
    EXPECT_DOUBLE_EQ(At(kAttrCL, 1), 0.5);

    // The median of an even number of proportions: 0.1, 0.2, 0.3, 0.4 give 0.25.
    AttrChartSettings.MedianCenter = true;
    Points(TAttrType::P, TAttrMethod::CenterlineOnly, {1, 4, 3, 2}, {10});
    EXPECT_DOUBLE_EQ(At(kAttrCL, 1), 0.25);
    EXPECT_TRUE(Absent(kAttrUCL, 1));
    EXPECT_TRUE(Absent(kAttrSE, 1));

    // A missing sample size: the point keeps its place without a statistic or limits.
    AttrChartSettings.MedianCenter = false;
    Points(TAttrType::P, TAttrMethod::NormalApproximation, {5, 5, 5}, {50, MissingValue, 50});
    EXPECT_EQ(AttrChart.Count, 3);
    EXPECT_TRUE(Absent(kAttrStatistic, 2));
    EXPECT_TRUE(Absent(kAttrCL, 2));
    EXPECT_DOUBLE_EQ(At(kAttrCL, 3), 0.1);
}

TEST_F(AttrChartTest, SpreadMethodsAndUserDefinedLimits) {
    // c chart 4, 6, 5, 9: moving ranges 2, 1, 4, mean 7/3; sigma (7/3) / 1.12838; centre 6.
    Points(TAttrType::C, TAttrMethod::AverageMovingRange, {4, 6, 5, 9}, {1});
    const double g = 7.0 / 3 / 1.12838;
    EXPECT_DOUBLE_EQ(At(kAttrCL, 1), 6);
    EXPECT_NEAR(At(kAttrUCL, 1), 6 + 3 * g, 1e-12);
    EXPECT_TRUE(Absent(kAttrLCL, 1)) << "6 - 3g is below 0";
    EXPECT_TRUE(Absent(kAttrSE, 1));
    // Median moving range 2 / 0.954; sample standard deviation of 4, 6, 5, 9 = sqrt(14/3).
    Points(TAttrType::C, TAttrMethod::MedianMovingRange, {4, 6, 5, 9}, {1});
    EXPECT_NEAR(At(kAttrUCL, 1), 6 + 3 * 2 / 0.954, 1e-12);
    Points(TAttrType::C, TAttrMethod::StandardDeviation, {4, 6, 5, 9}, {1});
    EXPECT_NEAR(At(kAttrUCL, 1), 6 + 3 * std::sqrt(14.0 / 3), 1e-12);
    // All values equal: no spread, so both limits stand on the centre line.
    Points(TAttrType::C, TAttrMethod::StandardDeviation, {5, 5, 5}, {1});
    EXPECT_EQ(At(kAttrLCL, 1), 5);
    EXPECT_EQ(At(kAttrUCL, 1), 5);

    AttrChartSettings.UserUCL = 0.3;
    AttrChartSettings.UserLCL = 0.1;
    Points(TAttrType::P, TAttrMethod::UserDefined, {5, 6}, {50});
    EXPECT_DOUBLE_EQ(At(kAttrSE, 2), 0.2 / 6);
    EXPECT_TRUE(Absent(kAttrCL, 2));
    EXPECT_DOUBLE_EQ(At(kAttrUCL, 1), 0.3);
}

TEST_F(AttrChartTest, ValuesBeyondTheRangeOfADoubleAreAbsent) {
    // 1 / 1e-320 and 1e300 / 1e-10 overflow: those points keep their place without a statistic.
    Points(TAttrType::P, TAttrMethod::AverageMovingRange, {1, 1e300, 1}, {1e-320, 1e-10, 2});
    EXPECT_TRUE(Absent(kAttrStatistic, 1));
    EXPECT_TRUE(Absent(kAttrStatistic, 2));
    EXPECT_DOUBLE_EQ(At(kAttrStatistic, 3), 0.5);
    // Two counts of 1e308 add up beyond a double: the mean centre is no number, so no line.
    for (TAttrMethod method : {TAttrMethod::CenterlineOnly, TAttrMethod::StandardDeviation}) {
        Points(TAttrType::C, method, {1e308, 1e308}, {1});
        EXPECT_TRUE(Absent(kAttrCL, 1) && Absent(kAttrUCL, 1) && Absent(kAttrLCL, 1));
    }
    // 0, 1.7e308, 0: centre 1.7e308 / 3; moving ranges 1.7e308, so 3 sigma overflow: no UCL.
    Points(TAttrType::C, TAttrMethod::AverageMovingRange, {0, 1.7e308, 0}, {1});
    EXPECT_DOUBLE_EQ(At(kAttrCL, 1), 1.7e308 / 3);
    EXPECT_TRUE(Absent(kAttrUCL, 1));
    EXPECT_TRUE(Absent(kAttrLCL, 1));
}

TEST_F(AttrChartTest, TheLimitSummaryOfTheLastPoint) {
    Points(TAttrType::P, TAttrMethod::Exact, {20, 20}, {200});
    EXPECT_EQ(LimitSummary(), (std::vector<std::string>{
                                  "       UCL = 0.1725         Exact Binomial Limits",
                                  "Centerline = 0.1000         Centerline from Mean",
                                  "       LCL = 0.03750        (3) Sigma Limits",
                              }));
    Points(TAttrType::C, TAttrMethod::Exact, {4, 4}, {1});
    EXPECT_EQ(LimitSummary()[2], "       LCL = none           (3) Sigma Limits");
    EXPECT_EQ(LimitSummary()[0], "       UCL = 11.50          Exact Poisson Limits");
    // A centre of 1.7e308 / 3 is written in exponent form, not as 308 digits.
    Points(TAttrType::C, TAttrMethod::CenterlineOnly, {0, 1.7e308, 0}, {1});
    EXPECT_EQ(LimitSummary(), std::vector<std::string>{"Centerline = 5.667e+307     Centerline from Mean"});
    AttrChartSettings.LimitMethod = TAttrMethod::None;
    EXPECT_EQ(LimitSummary(), std::vector<std::string>{"No Limits Requested"});
}

// Columns 1 and 3 are counts of 50: column 2 is not marked, column 3 has no counts at all. The
// fourth row of column 1 is empty, which breaks the line when breaks are shown.
TEST_F(AttrChartTest, ColumnsLayoutListsTheMarkedColumnsThatHavePoints) {
    Table({{"5", "1", ""}, {"4", "2", ""}, {"6", "3", ""}, {"", "4", ""}, {"25", "5", ""}, {"5", "6", ""}},
          3);
    DataList.Selected = {};
    DataList.Selected[1] = DataList.Selected[3] = 1;
    TAttrChartSettings& s = AttrChartSettings;
    s.ChartType = TAttrType::NP;
    s.LimitMethod = TAttrMethod::NormalApproximation;
    s.SampleSize = 50;
    s.ShowBreaks = true;
    s.RunInfo.RunType = kRunColumns;
    s.RunInfo.FirstGroup = 1;
    s.RunInfo.LastGroup = 3;
    BuildAnalysisList();
    EXPECT_EQ(AttrChart.AnalysisLabels, std::vector<std::string>{"Col1"});
    EXPECT_EQ(AttrChart.AnalysisNumbers, std::vector<int>{1});

    ASSERT_TRUE(NextAnalysis());
    EXPECT_EQ(AttrChart.Analysis, 1);
    ASSERT_EQ(AttrChart.Count, 5);
    EXPECT_EQ(At(kAttrBreak, 3), 1) << "the empty fourth row follows the third point";
    EXPECT_EQ(AttrChart.Breaks, 1);
    // np-bar = 45 / 250 * 50 = 9; sigma sqrt(9 (1 - 0.18)) = 2.7166; UCL 17.150 (hand calculation).
    EXPECT_NEAR(At(kAttrCL, 1), 9, 1e-12);
    EXPECT_NEAR(At(kAttrUCL, 1), 9 + 3 * std::sqrt(9 * 0.82), 1e-9);
    EXPECT_FALSE(ControlCodes(0, 4).empty()) << "25 is beyond the UCL";
    EXPECT_TRUE(ControlCodes(0, 1).empty());
    EXPECT_FALSE(NextAnalysis()) << "column 3 has no counts";
    EXPECT_EQ(AttrChart.Analysis, 3);

    s.ShowBreaks = false;
    ASSERT_TRUE(LoadAnalysis(1));
    EXPECT_EQ(AttrChart.Breaks, 0);
    EXPECT_FALSE(LoadAnalysis(2)) << "an unmarked column yields no point";
}

// The setup's Action: every refusal leaves the settings as they were; a valid entry stores the
// run (marks of the Columns layout, the combinations of the Reference layout).
TEST_F(AttrChartTest, SetupActionValidatesBeforeItStoresAnything) {
    Table({{"3", "50", "1"}, {"4", "50", "1"}, {"5", "50", "2"}}, 3);
    const TAttrChartSettings before = AttrChartSettings;
    const auto refused = [&](const TAttrSetupEntries& e, const std::string& message) {
        const TAttrSetupOutcome outcome = StoreAttrSetup(e);
        EXPECT_FALSE(outcome.Stored);
        EXPECT_EQ(outcome.Message, message);
        EXPECT_EQ(AttrChartSettings.ChartType, before.ChartType) << "nothing stored on " << message;
        EXPECT_EQ(AttrChartSettings.RunInfo.RunType, before.RunInfo.RunType);
    };
    TAttrSetupEntries e;
    e.Type = TAttrType::NP;
    e.Measures = {1};
    e.SampleSizeText = "";
    refused(e, kSampleSizeNotGiven);
    e.SampleSizeText = "0";
    refused(e, kSampleSizeNotGiven);
    e.SampleSizeText = "50";
    e.CenterlineKind = 2;
    e.KnownParameterText = "x";
    refused(e, kKnownParameterNotValid);
    e.CenterlineKind = 0;
    e.Method = TAttrMethod::UserDefined;
    e.UserTexts = {"0.1", "", "0.2"};
    e.UserChecked = {true, false, true};
    refused(e, kUserLimitsNotValid);
    e.UserChecked = {true, false, false};
    e.Measures.clear();
    refused(e, ""); // nothing to chart: only a beep
    e.ReferenceLayout = true;
    e.GroupingColumns = {3};
    refused(e, kMeasureNotGiven);

    // Only UCL checked is valid; the standard error then stays absent.
    e.ReferenceLayout = false;
    e.Measures = {3, 1};
    e.StdErrorsText = "2.5";
    ASSERT_TRUE(StoreAttrSetup(e).Stored);
    const TAttrChartSettings& s = AttrChartSettings;
    EXPECT_EQ(s.TypeCaption, "np");
    EXPECT_EQ(s.UserUCL, 0.1);
    EXPECT_FALSE(NotMissing(s.UserLCL));
    EXPECT_EQ(s.StdErrors, 2.5);
    EXPECT_EQ(s.RunInfo.RunType, kRunColumns);
    EXPECT_EQ(s.RunInfo.FirstGroup, 1);
    EXPECT_EQ(s.RunInfo.LastGroup, 3);
    EXPECT_TRUE(DataList.Selected[1] && !DataList.Selected[2] && DataList.Selected[3]);
    EXPECT_EQ(s.SetColumn, 0) << "no sets with user-defined limits";

    // A number of standard errors the limits cannot use is refused while the box is offered.
    for (const char* text : {"abc", "0", ""}) {
        e.StdErrorsText = text;
        EXPECT_EQ(StoreAttrSetup(e).Message, kStdErrorsNotValid) << text;
    }
    EXPECT_EQ(s.StdErrors, 2.5);
    e.Method = TAttrMethod::CenterlineOnly;
    ASSERT_TRUE(StoreAttrSetup(e).Stored);
    EXPECT_EQ(s.StdErrorsText, "3");
}

TEST_F(AttrChartTest, OneColumnTableChartsItsOnlyColumnWithTheConstantSampleSize) {
    Table({{"2"}, {"3"}, {"1"}}, 1);
    TAttrSetupEntries e;
    e.Type = TAttrType::C;
    e.ReferenceLayout = true; // a one-column table has no Reference layout
    e.ConstantSampleSize = false;
    e.SampleSizeText = "1";
    e.SetColumn = 1;
    ASSERT_TRUE(StoreAttrSetup(e).Stored);
    EXPECT_TRUE(AttrChartSettings.ConstantSampleSize);
    EXPECT_EQ(AttrChartSettings.SetColumn, 0);
    BuildAnalysisList();
    EXPECT_EQ(AttrChart.AnalysisLabels, std::vector<std::string>{"Col1"});
    ASSERT_TRUE(NextAnalysis());
    EXPECT_DOUBLE_EQ(At(kAttrCL, 1), 2);
    EXPECT_EQ(AttrChartTitle(), "c Chart: Col1");
}

// The Reference layout: one analysis per combination of the grouping values (a single grouping
// column forms them the same way), the counts from the measure column, labels from the
// grouping cells; the combinations are kept when another analysis renumbers the shared groups.
TEST_F(AttrChartTest, ReferenceLayoutChartsEachCombinationOfGroupingValues) {
    Table({{"1", "2", "5", "100"},
           {"2", "1", "7", "100"},
           {"1", "2", "6", "100"},
           {"2", "2", "", "100"},
           {"1", "1", "9", "100"},
           {"2", "1", "8", "100"}},
          4);
    TAttrSetupEntries e;
    e.ReferenceLayout = true;
    e.Type = TAttrType::P;
    e.Method = TAttrMethod::NormalApproximation;
    e.ConstantSampleSize = false;
    e.SampleSizeColumn = 4;
    e.MeasureColumn = 3;
    e.GroupingColumns = {1, 2};
    ASSERT_TRUE(StoreAttrSetup(e).Stored);
    EXPECT_EQ(AttrChartSettings.RunInfo.RunType, kRunByCombination);
    EXPECT_EQ(AttrChartSettings.RunInfo.GroupColumnsLabel, "Col1, Col2");
    BuildAnalysisList();
    // (2, 2) has only an empty count: it is not listed.
    EXPECT_EQ(AttrChart.AnalysisLabels, (std::vector<std::string>{"1, 1", "1, 2", "2, 1"}));
    ASSERT_EQ(AttrChart.AnalysisNumbers.size(), 3U);
    ASSERT_TRUE(LoadAnalysis(AttrChart.AnalysisNumbers[1]));
    ASSERT_EQ(AttrChart.Count, 2);
    EXPECT_DOUBLE_EQ(At(kAttrStatistic, 1), 0.05);
    EXPECT_DOUBLE_EQ(At(kAttrStatistic, 2), 0.06);
    EXPECT_DOUBLE_EQ(At(kAttrCL, 2), 0.055);
    EXPECT_EQ(AttrChartTitle(), "p Chart: Col3 (1, 2)");

    e.GroupingColumns = {2};
    ASSERT_TRUE(StoreAttrSetup(e).Stored);
    EXPECT_EQ(AttrChartSettings.RunInfo.RunType, kRunBySingleCombination);
    BuildAnalysisList();
    EXPECT_EQ(AttrChart.AnalysisLabels, (std::vector<std::string>{"1", "2"}));
    // Another analysis numbers other groups; this chart's combinations stay its own.
    TRunInfo other;
    other.GroupColumnCount = 1;
    other.GroupColumns[1] = 1;
    PrepareGroups(other);
    ASSERT_TRUE(LoadAnalysis(AttrChart.AnalysisNumbers[0]));
    ASSERT_EQ(AttrChart.Count, 3);
    EXPECT_DOUBLE_EQ(At(kAttrCount, 1), 7);
    EXPECT_DOUBLE_EQ(At(kAttrCount, 3), 8);
}

// The example file of the help pages: 25 lots of boards, the count of defective boards and the
// number inspected in each, lots 1-12 on shift 1 and 13-25 on shift 2. The values are worked by
// hand: shift 1 has 69 defective of 1210 inspected, p-bar 0.0570248, so for n = 100 the standard
// error is sqrt(0.0570248 * 0.9429752 / 100) = 0.0231890 and the normal limits 0.126592 and
// (below 0) none; lot 8 (16 of 90, 0.1778) lies above its UCL 0.130355. Shift 2: 45 of 1320,
// p-bar 0.0340909, UCL 0.088530 for n = 100. The exact limits come from a direct search of the
// binomial tails (smallest i with P(X >= i) < alpha, largest j with P(X < j) < alpha): for shift
// 1, n = 100 gives i = 15, UCL 0.145, no LCL; n = 120 gives UCL 15.5 / 120 and, since
// P(X = 0) = 0.94298^120 = 0.00087, an LCL of 0.5 / 120.
TEST_F(AttrChartTest, TheHelpExampleOfDefectiveBoards) {
    ASSERT_TRUE(LoadFile(KIVSPC_EXAMPLES_DIR "/solder-defects.kivs"));
    ASSERT_EQ(DataTable().RowCount(), 25);
    TAttrSetupEntries e;
    e.Type = TAttrType::P;
    e.Method = TAttrMethod::NormalApproximation;
    e.Measures = {2};
    e.ConstantSampleSize = false;
    e.SampleSizeColumn = 3;
    e.SetColumn = 4;
    ASSERT_TRUE(StoreAttrSetup(e).Stored);
    BuildAnalysisList();
    EXPECT_EQ(AttrChart.AnalysisLabels, std::vector<std::string>{"Defective"});
    ASSERT_TRUE(NextAnalysis());
    ASSERT_EQ(AttrChart.Count, 25);
    EXPECT_EQ(AttrChartTitle(), "p Chart: Defective boards");
    EXPECT_EQ(AttrChart.LowSet, 1);
    EXPECT_EQ(AttrChart.HighSet, 2);

    EXPECT_NEAR(At(kAttrCL, 1), 69.0 / 1210, 1e-12);
    EXPECT_NEAR(At(kAttrSE, 1), 0.0231890, 1e-7);
    EXPECT_NEAR(At(kAttrUCL, 1), 0.126592, 1e-6);
    EXPECT_TRUE(Absent(kAttrLCL, 1));
    EXPECT_NEAR(At(kAttrUCL, 8), 0.130355, 1e-6);
    EXPECT_NEAR(At(kAttrStatistic, 8), 16.0 / 90, 1e-12);
    EXPECT_NEAR(At(kAttrCL, 25), 45.0 / 1320, 1e-12);
    EXPECT_NEAR(At(kAttrUCL, 25), 0.088530, 1e-6);
    // Only lot 8 is out of control.
    for (int i = 1; i <= 25; ++i)
        EXPECT_EQ(ControlCodes(0, i).empty(), i != 8) << "lot " << i;
    EXPECT_EQ(LimitSummary(), (std::vector<std::string>{
                                  "       UCL = 0.08853        Normal Approximation Limits",
                                  "Centerline = 0.03409        Centerline from Mean",
                                  "       LCL = none           (3) Sigma Limits",
                              }));

    e.Method = TAttrMethod::Exact;
    ASSERT_TRUE(StoreAttrSetup(e).Stored);
    ASSERT_TRUE(LoadAnalysis(AttrChart.AnalysisNumbers[0]));
    EXPECT_DOUBLE_EQ(At(kAttrUCL, 1), 0.145);
    EXPECT_TRUE(Absent(kAttrLCL, 1));
    EXPECT_DOUBLE_EQ(At(kAttrUCL, 4), 15.5 / 120);
    EXPECT_DOUBLE_EQ(At(kAttrLCL, 4), 0.5 / 120);
    EXPECT_DOUBLE_EQ(At(kAttrUCL, 8), 13.5 / 90);

    // The shifts as grouping values instead of sets: one chart per shift, with the same centres.
    e.ReferenceLayout = true;
    e.MeasureColumn = 2;
    e.GroupingColumns = {4};
    e.SetColumn = 0;
    ASSERT_TRUE(StoreAttrSetup(e).Stored);
    BuildAnalysisList();
    EXPECT_EQ(AttrChart.AnalysisLabels, (std::vector<std::string>{"1", "2"}));
    ASSERT_TRUE(LoadAnalysis(AttrChart.AnalysisNumbers[1]));
    ASSERT_EQ(AttrChart.Count, 13);
    EXPECT_NEAR(At(kAttrCL, 1), 45.0 / 1320, 1e-12);
    EXPECT_EQ(AttrChartTitle(), "p Chart: Defective boards (2)");
}

// Exact Poisson limits against a direct search in double precision: the UCL is k - 0.5 for the
// smallest k with P(X >= k) below alpha = P(Z > 3), the LCL is k - 0.5 for the largest k with
// P(X < k) below alpha.
TEST_F(AttrChartTest, ExactPoissonLimitsMatchADirectSearch) {
    const double alpha = 0.0013498980316301;
    for (double lambda : {30.0, 250.0, 2500.0}) {
        const auto below = [&](int k) { // P(X < k)
            double sum = 0;
            for (int j = 0; j < k; ++j)
                sum += std::exp(j * std::log(lambda) - lambda - std::lgamma(j + 1.0));
            return sum;
        };
        int ucl = static_cast<int>(lambda);
        while (1 - below(ucl) >= alpha)
            ++ucl;
        int lcl = static_cast<int>(lambda);
        while (below(lcl) >= alpha)
            --lcl;
        Points(TAttrType::C, TAttrMethod::Exact, {lambda, lambda}, {1});
        EXPECT_EQ(At(kAttrUCL, 1), ucl - 0.5) << lambda;
        EXPECT_EQ(At(kAttrLCL, 1), lcl - 0.5) << lambda;
    }
}

} // namespace
