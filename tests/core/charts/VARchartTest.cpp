// SPDX-License-Identifier: GPL-3.0-or-later
// The variables chart computation against independent references: the classic chart factors
// as published in quality control tables (A2, A3, B4, D4, d2 for n = 2 and n = 5, rounded to
// three or four decimals there, hence the tolerances) and sums worked out by hand.
#include "VarChartFixture.h"

#include "app/NumberFormat.h"
#include "app/SharedState.h"
#include "charts/CCPointInfo.h"
#include "charts/ControlTests.h"
#include "charts/VARchart.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Extract.h"
#include "data/Procif.h"
#include "data/TableEdit.h"
#include "data/Transfrm.h"

#include <cmath>
#include <numeric>

using namespace kivspc;

namespace {

using VARchartTest = VarChartTest;

// Individual values 5, 7, 6, 9, 8, 10, 7, 6: mean 7.25; moving ranges 2, 1, 3, 1, 2, 3, 1
// (sum 13, mean 13/7). Published: d2(2) = 1.128, D4(2) = 3.267 (rounded).
TEST_F(VARchartTest, IndividualsAndMovingRangeMatchThePublishedFactors) {
    Table({{"5"}, {"7"}, {"6"}, {"9"}, {"8"}, {"10"}, {"7"}, {"6"}}, 1);
    IndividualsAndMovingRange();
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, 8);
    const double mrBar = 13.0 / 7.0;
    EXPECT_EQ(At(kRowDispersion, 1), MissingValue);
    EXPECT_EQ(At(kRowDispersion, 4), 3);
    EXPECT_NEAR(At(kRowLocCL, 1), 7.25, 1e-12);
    EXPECT_NEAR(At(kRowLocUCL, 1), 7.25 + 3 * mrBar / 1.128, 2e-3);
    EXPECT_NEAR(At(kRowLocLCL, 8), 7.25 - 3 * mrBar / 1.128, 2e-3);
    EXPECT_NEAR(At(kRowDispCL, 2), mrBar, 1e-12);
    EXPECT_NEAR(At(kRowDispUCL, 2), 3.267 * mrBar, 2e-3);
    EXPECT_EQ(At(kRowDispLCL, 2), MissingValue); // never above 0 for n = 2
    EXPECT_NEAR(At(kRowSigma, 3), mrBar / 1.128, 2e-3);
    // Extremes after the last point.
    EXPECT_EQ(At(kRowLocation, 9), 5);
    EXPECT_EQ(At(kRowLocation, 10), 10);
}

// 25 subgroups of 5 made from a fixed pattern; grand mean and mean range (or mean standard
// deviation) computed here by hand, limits by the published A2 = 0.577, D4 = 2.114, A3 = 1.427,
// B4 = 2.089 for n = 5.
TEST_F(VARchartTest, MeansWithRangesOrStandardDeviationsMatchThePublishedFactors) {
    std::vector<std::vector<std::string>> rows;
    std::vector<double> values;
    for (int i = 0; i < 125; ++i) {
        const double x = 74 + ((i * 37) % 23 - 11) * 0.001 + ((i / 5) % 4) * 0.0005;
        values.push_back(x);
        rows.push_back({FormatFixed(4, x)});
    }
    // Read back as the table holds them.
    Table(rows, 1);
    for (int i = 0; i < 125; ++i)
        values[static_cast<std::size_t>(i)] = Values[1][static_cast<std::size_t>(i + 1)];
    double grand = std::accumulate(values.begin(), values.end(), 0.0) / 125;
    double rSum = 0, sSum = 0;
    for (int g = 0; g < 25; ++g) {
        const auto first = values.begin() + g * 5;
        const auto [lo, hi] = std::minmax_element(first, first + 5);
        rSum += *hi - *lo;
        const double mean = std::accumulate(first, first + 5, 0.0) / 5;
        double sq = 0;
        for (auto it = first; it != first + 5; ++it)
            sq += (*it - mean) * (*it - mean);
        sSum += std::sqrt(sq / 4);
    }
    const double rBar = rSum / 25, sBar = sSum / 25;

    TVarChartSettings& s = VarChartSettings;
    Measure(1);
    s.DataLayout = DataLayoutFromChoices(false, false, false, true, false);
    ASSERT_EQ(s.DataLayout, 4);
    s.SampleSize = 5;
    Charts(kChartMean, kChartRange, kMethodAverageRange);
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, 25);
    EXPECT_NEAR(At(kRowLocCL, 1), grand, 1e-12);
    EXPECT_NEAR(At(kRowLocUCL, 1), grand + 0.577 * rBar, 1e-3 * rBar);
    EXPECT_NEAR(At(kRowLocLCL, 25), grand - 0.577 * rBar, 1e-3 * rBar);
    EXPECT_NEAR(At(kRowDispCL, 1), rBar, 1e-12);
    EXPECT_NEAR(At(kRowDispUCL, 1), 2.114 * rBar, 1e-3 * rBar);
    EXPECT_EQ(At(kRowDispLCL, 1), MissingValue);

    s.DispersionChart = kChartStdDev;
    s.LocationMethod = s.DispersionMethod = kMethodAverageStdDev;
    ComputeChart(1, 0);
    EXPECT_NEAR(At(kRowDispCL, 3), sBar, 1e-12);
    EXPECT_NEAR(At(kRowDispUCL, 3), 2.089 * sBar, 1e-3 * sBar);
    EXPECT_NEAR(At(kRowLocUCL, 3), grand + 1.427 * sBar, 1e-3 * sBar);
}

TEST_F(VARchartTest, ConstantSizeBlocksFollowRowNumbersAndProcessIf) {
    std::vector<std::vector<std::string>> rows;
    for (int r = 1; r <= 12; ++r)
        rows.push_back({std::to_string(r), r == 3 ? "0" : "1"});
    Table(rows, 2);
    TVarChartSettings& s = VarChartSettings;
    Measure(1);
    s.DataLayout = 4;
    s.SampleSize = 5;
    s.LocationChart = kChartMean;
    s.DispersionChart = kChartRange;
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, 3);
    EXPECT_EQ(At(kRowN, 1), 5);
    EXPECT_EQ(At(kRowN, 3), 2);
    ApplyProcessIf({2, "Col2", kRelEqual, "1"}, {}, false);
    ComputeChart(1, 0);
    EXPECT_EQ(At(kRowN, 1), 4);
    EXPECT_DOUBLE_EQ(At(kRowLocation, 1), (1 + 2 + 4 + 5) / 4.0);
    EXPECT_EQ(At(kRowN, 2), 5);
    EXPECT_EQ(At(kRowPosition, 2), 2);
}

TEST_F(VARchartTest, SetsHaveTheirOwnLimitsAndRestartMovingRanges) {
    // Set 1: 1, 3, 2; set 2: 11, 15, 13.
    Table({{"1", "1"}, {"3", "1"}, {"2", "1"}, {"11", "2"}, {"15", "2"}, {"13", "2"}}, 2);
    TVarChartSettings& s = VarChartSettings;
    IndividualsAndMovingRange();
    s.SetColumn = 2;
    ComputeChart(1, 0);
    EXPECT_EQ(VarChart.LowSet, 1);
    EXPECT_EQ(VarChart.HighSet, 2);
    EXPECT_EQ(At(kRowDispersion, 4), MissingValue);
    EXPECT_DOUBLE_EQ(At(kRowLocCL, 1), 2);
    EXPECT_DOUBLE_EQ(At(kRowLocCL, 4), 13);
    // Moving ranges 2, 1 and 4, 2: each set's own mean.
    EXPECT_DOUBLE_EQ(At(kRowDispCL, 2), 1.5);
    EXPECT_DOUBLE_EQ(At(kRowDispCL, 5), 3);
}

TEST_F(VARchartTest, CenterlineChoicesAndKnownSigma) {
    // Subgroups of 3: {1,2,9}, {4,5,6}, {7,8,30}: medians 2, 5, 8; means 4, 5, 15.
    Table({{"1"}, {"2"}, {"9"}, {"4"}, {"5"}, {"6"}, {"7"}, {"8"}, {"30"}}, 1);
    TVarChartSettings& s = VarChartSettings;
    Measure(1);
    s.DataLayout = 4;
    s.SampleSize = 3;
    s.LocationChart = kChartMedian;
    s.DispersionChart = kChartRange;
    s.LocationMethod = kMethodAverageRange;
    s.LocationCenterline = kCenterAverage;
    s.DispersionMethod = kMethodAverageRange;
    s.DispersionCenterline = kCenterDispMedian;
    ComputeChart(1, 0);
    // The average centerline of a median chart is the grand mean of the values.
    EXPECT_DOUBLE_EQ(At(kRowLocation, 1), 2);
    EXPECT_DOUBLE_EQ(At(kRowLocCL, 1), 8);
    // Ranges 8, 2, 23: the median range centres the line, the average range the limits.
    EXPECT_NEAR(At(kRowDispCL, 1), 8, 1e-12);
    EXPECT_NEAR(At(kRowDispUCL, 1), 11 * (1 + 3 * 0.8884 / 1.693), 2e-3 * 11);

    s.DispersionChart = kChartStdDev;
    s.DispersionMethod = kMethodKnownSigma;
    s.DispersionCenterline = kCenterKnownSigma;
    s.UseKnownSigma = true;
    s.KnownSigma = 2;
    ComputeChart(1, 0);
    // The expected s is c4(3) sigma (c4(3) = 0.8862 published), the centre of the limits too.
    EXPECT_NEAR(At(kRowDispCL, 2), 2 * 0.8862, 2e-4);
    EXPECT_NEAR(At(kRowDispUCL, 2), 2 * 0.8862 + 3 * 2 * std::sqrt(1 - 0.8862 * 0.8862), 2e-3);
}

TEST_F(VARchartTest, UserLimitsPositiveLimitsAndBreaks) {
    Table({{"1"}, {"2"}, {""}, {"3"}, {"2"}}, 1);
    TVarChartSettings& s = VarChartSettings;
    Measure(1);
    s.DataLayout = 1;
    s.LocationChart = kChartX;
    s.LocationMethod = kMethodUserDefined;
    s.UserLocUCL = 10;
    s.UserLocLCL = 4;
    s.ShowBreaks = true;
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, 4);
    EXPECT_EQ(At(kRowLocCL, 1), MissingValue);
    EXPECT_DOUBLE_EQ(At(kRowLocSE, 1), 1); // (10 - 4) / 3 / 2
    EXPECT_EQ(At(kRowBreak, 2), 1);
    EXPECT_EQ(At(kRowBreak, 4), 0);
    EXPECT_EQ(VarChart.Breaks, 1);
    // Every point lies below the user's LCL.
    EXPECT_EQ(ControlCodes(0, 1), "O");

    s.LocationMethod = kMethodAverageMR;
    s.LocationCenterline = kCenterAverage;
    s.PositiveLimitsOnly = true;
    ComputeChart(1, 0);
    EXPECT_EQ(At(kRowLocLCL, 1), MissingValue);
    EXPECT_GT(At(kRowLocUCL, 1), 2);
}

TEST_F(VARchartTest, TheChartListNamesChartsWithPoints) {
    Table({{"1", "x", "3"}, {"2", "y", "4"}}, 3);
    DataTable().SetColumnName(1, "A");
    DataTable().SetColumnName(2, "B");
    DataTable().SetColumnName(3, "C");
    TVarChartSettings& s = VarChartSettings;
    s.Measures = {};
    s.Measures[1] = s.Measures[3] = 1;
    s.RunInfo.FirstMeasure = 1;
    s.RunInfo.LastMeasure = 3;
    s.DataLayout = DataLayoutFromChoices(false, true, false, false, false);
    ASSERT_EQ(s.DataLayout, 5);
    s.LocationChart = kChartX;
    BuildChartList();
    ASSERT_EQ(VarChart.ChartList.size(), 2u);
    EXPECT_EQ(VarChart.ChartList[0].Name, "A");
    EXPECT_EQ(VarChart.ChartList[1].Name, "C");
    EXPECT_EQ(VarChart.ChartList[1].Key(), "3 0");

    s.DataLayout = 2;
    s.DispersionChart = kChartRange;
    s.LocationChart = kChartMean;
    BuildChartList();
    ASSERT_EQ(VarChart.ChartList.size(), 1u);
    EXPECT_EQ(VarChart.ChartList[0].Name, "A..C");
    EXPECT_EQ(VarChart.Count, 2);
    EXPECT_DOUBLE_EQ(At(kRowLocation, 1), 2);
}

// Chart groups by a text column: one chart per shift (and per measure), named by the group.
TEST_F(VARchartTest, ChartGroupsGiveOneChartPerGroup) {
    Table({{"1", "Early", "10"},
           {"2", "Late", "20"},
           {"3", "Early", "30"},
           {"4", "Late", "40"},
           {"5", "Early", ""},
           {"6", "Late", "60"}},
          3);
    DataTable().SetColumnName(1, "A");
    DataTable().SetColumnName(3, "C");
    TVarChartSettings& s = VarChartSettings;
    s.Measures = {};
    s.Measures[1] = s.Measures[3] = 1;
    s.RunInfo.FirstMeasure = 1;
    s.RunInfo.LastMeasure = 3;
    s.RunInfo.GroupColumnCount = 1;
    s.RunInfo.GroupColumns[1] = 2;
    ASSERT_EQ(PrepareGroups(s.RunInfo), 2);
    s.LocationChart = kChartX;
    s.DataLayout = DataLayoutFromChoices(true, true, false, false, false);
    ASSERT_EQ(s.DataLayout, 12);
    s.AxisLabelColumn = 1;
    BuildChartList();
    ASSERT_EQ(VarChart.ChartList.size(), 4u);
    EXPECT_EQ(VarChart.ChartList[0].Name, "A(Early)");
    EXPECT_EQ(VarChart.ChartList[3].Name, "C(Late)");
    // The first chart: A of the early shift, positions are the data rows.
    EXPECT_EQ(VarChart.Count, 3);
    EXPECT_EQ(At(kRowPosition, 2), 3);
    ComputeChart(3, 1);
    EXPECT_EQ(VarChart.Count, 2); // the empty cell of row 5 gives no point

    s.DataLayout = DataLayoutFromChoices(true, false, false, true, false);
    ASSERT_EQ(s.DataLayout, 11);
    s.SampleSize = 2;
    s.LocationChart = kChartMean;
    s.RunInfo.FirstMeasure = s.RunInfo.LastMeasure = 1;
    BuildChartList();
    ASSERT_EQ(VarChart.ChartList.size(), 2u);
    EXPECT_EQ(VarChart.ChartList[1].Name, "Late");
    // Early rows 1, 3, 5 in blocks of two: {1, 3} and {5}.
    EXPECT_EQ(VarChart.Count, 2);
    EXPECT_DOUBLE_EQ(At(kRowLocation, 1), 2);
    EXPECT_DOUBLE_EQ(At(kRowLocation, 2), 5);
}

TEST_F(VARchartTest, NamesFillTheirPlaceholders) {
    EXPECT_EQ(FillLimitName(23, "X"), "Median of Xs");
    EXPECT_EQ(FillLimitName(23, "Means"), "Median of Means");
    EXPECT_EQ(FillLimitName(22, "Mean"), "Average Mean");
    EXPECT_EQ(FillLimitName(18, "Std Dev (s)"), "Average MR of Std Dev ");
    EXPECT_EQ(FillLimitName(20, "Variance (s²)"), "Std Dev of Variance ");
    EXPECT_EQ(FillLimitName(19, "Range"), "Median MR of Range");
    EXPECT_EQ(FillLimitName(26, "Range"), "Median Range");
    EXPECT_EQ(FillLimitName(7, "Range"), "Average Range");
    for (int code : {0, 10, 100, 1000, 1001, 1010, 1100, 10000, 10010, 10100, 11000, 11001, 11010, 11100})
        EXPECT_GT(DataLayoutFromCode(code), 0) << code;
    EXPECT_EQ(DataLayoutFromCode(11), 0);
}

TEST_F(VARchartTest, BadInputGivesAnEmptyChartOrMissingCells) {
    struct Case {
        std::vector<std::vector<std::string>> rows;
        int expectedPoints;
    };
    const Case cases[] = {{{{""}, {""}}, 0}, {{{"a"}, {"b"}}, 0}, {{{"4.5"}}, 1}};
    for (const Case& c : cases) {
        SetUp();
        Table(c.rows, 1);
        IndividualsAndMovingRange();
        ComputeChart(1, 0);
        EXPECT_EQ(VarChart.Count, c.expectedPoints);
        for (int i = 1; i <= VarChart.Count + 2; ++i)
            for (int row = 0; row < kChartRows; ++row)
                EXPECT_FALSE(std::isnan(At(row, i))) << row << "," << i;
    }
}

// A chart list without charts says why: the column holds no numbers, Process If or Missing When
// leave none, or the subgroups cannot be formed.
TEST_F(VARchartTest, AnEmptyChartListSaysWhy) {
    const struct Case {
        const char* name;
        std::vector<std::vector<std::string>> rows;
        int layout, sampleSize;
        bool excludeAll;
        const char* reason;
    } cases[] = {
        {"text column",
         {{"a", "1"}, {"b", "2"}, {"c", "3"}},
         1,
         0,
         false,
         "No numeric values in column Col1"},
        {"empty column", {{"", "1"}, {"", "2"}, {"", "3"}}, 1, 0, false, "No numeric values in column Col1"},
        {"every row excluded",
         {{"1", "1"}, {"2", "2"}, {"3", "3"}},
         1,
         0,
         true,
         "Every value of column Col1 is excluded by Process If or Missing When"},
        // Three values and subgroups of ten: not one subgroup to draw.
        {"sample size larger than the data",
         {{"1", "1"}, {"2", "2"}, {"3", "3"}},
         4,
         10,
         false,
         "Sample size larger than the data"},
        {"text column in subgroups",
         {{"a", "1"}, {"b", "2"}, {"c", "3"}},
         4,
         2,
         false,
         "No numeric values in column Col1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Table(c.rows, 2);
        IndividualsAndMovingRange();
        TVarChartSettings& s = VarChartSettings;
        s.DataLayout = static_cast<std::uint8_t>(c.layout);
        s.SampleSize = c.sampleSize;
        if (c.layout != 1) {
            s.LocationChart = kChartMean;
            s.DispersionChart = kChartRange;
            s.LocationMethod = s.DispersionMethod = kMethodAverageRange;
        }
        if (c.excludeAll) ApplyProcessIf({2, "Col2", kRelGreater, "5"}, {}, false);
        BuildChartList();
        EXPECT_TRUE(VarChart.ChartList.empty());
        EXPECT_EQ(EmptyChartListReason(), c.reason);
    }
}

// Variance chart of subgroups of 5: limits u chi2(p, 4) / 4 with the pooled variance u. For four
// degrees of freedom the upper tail is exp(-x/2)(1 + x/2), solved here by bisection.
TEST_F(VARchartTest, VarianceLimitsFollowTheChiSquareQuantiles) {
    auto quantile4 = [](double tail) {
        double lo = 0, hi = 200;
        for (int i = 0; i < 200; ++i) {
            const double mid = (lo + hi) / 2;
            (std::exp(-mid / 2) * (1 + mid / 2) > tail ? lo : hi) = mid;
        }
        return lo;
    };
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 20; ++i)
        rows.push_back({std::to_string(10 + (i * 7) % 5 + (i % 3) * 0.5)});
    Table(rows, 1);
    TVarChartSettings& s = VarChartSettings;
    Measure(1);
    s.DataLayout = 4;
    s.SampleSize = 5;
    s.DispersionChart = kChartVariance;
    s.DispersionMethod = kMethodAverageVariance;
    s.DispersionCenterline = kCenterDispAverage;
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, 4);
    double u = 0;
    for (int g = 0; g < 4; ++g) {
        double mean = 0, sq = 0;
        for (int j = 0; j < 5; ++j)
            mean += Values[1][static_cast<std::size_t>(g * 5 + j + 1)] / 5;
        for (int j = 0; j < 5; ++j)
            sq += std::pow(Values[1][static_cast<std::size_t>(g * 5 + j + 1)] - mean, 2);
        u += sq / 4 / 4;
    }
    const double tail = 0.5 * std::erfc(3 / std::sqrt(2.0));
    EXPECT_NEAR(At(kRowDispCL, 1), u, 1e-12);
    EXPECT_NEAR(At(kRowDispUCL, 1), u * quantile4(tail) / 4, 1e-4 * u);
    EXPECT_NEAR(At(kRowDispLCL, 1), u * quantile4(1 - tail) / 4, 1e-4 * u);
}

TEST_F(VARchartTest, ATransformAppliesToEveryPlottedStatistic) {
    Table({{"1"}, {"10"}, {"100"}, {"1000"}}, 1);
    TVarChartSettings& s = VarChartSettings;
    Measure(1);
    s.DataLayout = 4;
    s.SampleSize = 2;
    s.LocationChart = kChartMean;
    s.DispersionChart = kChartRange;
    s.ShowAllPoints = true;
    TransformRec.Kind = kTransformLog;
    TransformRec.A = 1;
    TransformRec.B = 0;
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, 2);
    EXPECT_NEAR(At(kRowLocation, 1), std::log(10) / 2, 1e-12);
    EXPECT_NEAR(At(kRowDispersion, 2), std::log(10), 1e-12);
    EXPECT_EQ(VarChart.PointTexts[1].substr(0, 1), "0");
}

TEST_F(VARchartTest, OddSettingsGiveFiniteChartsOrNone) {
    // Sets from a text column, k = 0, one-value subgroups from a sample variable.
    Table({{"5", "a", "1"}, {"6", "a", "2"}, {"7", "b", "3"}, {"9", "b", "3"}}, 3);
    TVarChartSettings& s = VarChartSettings;
    Measure(1);
    s.DataLayout = 3;
    s.SampleSizeColumn = 3;
    s.SetColumn = 2;
    s.StdErrors = 0;
    Charts(kChartMean, kChartStdDev, kMethodAverageStdDev);
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, 3);
    EXPECT_EQ(VarChart.LowSet, 1);
    EXPECT_EQ(VarChart.HighSet, 2);
    for (int i = 1; i <= VarChart.Count + 2; ++i)
        for (int row = 0; row < kChartRows; ++row)
            EXPECT_TRUE(std::isfinite(At(row, i))) << row << "," << i;
    // With k = 0 the location limits sit on the centerline.
    EXPECT_DOUBLE_EQ(At(kRowLocUCL, 3), At(kRowLocCL, 3));
}

// Four subgroups of 5 with ranges 4, 8, 4, 8 and a fifth of one value. A value alone has no
// range: R-bar = 6 over the four real ranges, sigma = 6 / d2(5) with the published d2(5) = 2.326;
// the median of the four ranges is 6 as well, sigma = 6 / 2.257 with the published median-range
// factor for n = 5.
TEST_F(VARchartTest, AOneValueSubgroupTakesNoPartInTheSigmaEstimate) {
    const std::vector<std::string> values = {"1", "2", "3", "4", "5", "2", "4", "6", "8",  "10", "1",
                                             "2", "3", "4", "5", "2", "4", "6", "8", "10", "7"};
    struct Case {
        const char* name;
        int layout;
        int method;
        double sigma;
    };
    for (const Case& c : {Case{"constant size, average range", 4, kMethodAverageRange, 6 / 2.326},
                          Case{"sample variable, average range", 3, kMethodAverageRange, 6 / 2.326},
                          Case{"constant size, median range", 4, kMethodMedianRange, 6 / 2.257}}) {
        SCOPED_TRACE(c.name);
        std::vector<std::vector<std::string>> rows;
        for (std::size_t i = 0; i < values.size(); ++i)
            rows.push_back({values[i], std::to_string(i / 5 + 1)});
        Table(rows, 2);
        TVarChartSettings& s = VarChartSettings;
        Measure(1);
        s.DataLayout = static_cast<std::uint8_t>(c.layout);
        s.SampleSize = 5;
        s.SampleSizeColumn = 2;
        s.LocationChart = kChartMean;
        s.DispersionChart = kChartRange;
        s.LocationMethod = s.DispersionMethod = static_cast<std::uint8_t>(c.method);
        s.LocationCenterline = kCenterAverage;
        s.DispersionCenterline = kCenterDispAverage;
        ComputeChart(1, 0);
        ASSERT_EQ(VarChart.Count, 5);
        EXPECT_EQ(At(kRowN, 5), 1);
        EXPECT_EQ(At(kRowRangeSigma, 5), MissingValue);
        EXPECT_NEAR(At(kRowSigma, 1), c.sigma, 1e-3);
        EXPECT_TRUE(VarChart.Notes.empty());
    }
}

TEST_F(VARchartTest, WithoutATwoValueSubgroupThereIsNoSigmaEstimateAndTheChartSaysSo) {
    Table({{"5", "1"}, {"6", "2"}, {"7", "3"}, {"9", "3"}, {"4", "4"}}, 2);
    TVarChartSettings& s = VarChartSettings;
    Measure(1);
    s.DataLayout = 3;
    s.SampleSizeColumn = 2;
    s.SetColumn = 2;
    Charts(kChartMean, kChartStdDev, kMethodAverageStdDev);
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, 4);
    // Sets 1, 2 and 4 hold one value each; set 3 holds {7, 9}.
    EXPECT_EQ(At(kRowLocUCL, 1), MissingValue);
    EXPECT_NE(At(kRowLocUCL, 3), MissingValue);
    const std::vector<std::string> expected = {
        "Set 1: No subgroup has two or more values: no sigma estimate, no limits",
        "Set 2: No subgroup has two or more values: no sigma estimate, no limits",
        "Set 4: No subgroup has two or more values: no sigma estimate, no limits"};
    EXPECT_EQ(VarChart.Notes, expected);
}

// LN of -5 and of 0 cannot be formed: those values are missing in the chart, counted, and the
// transform stays on for the report's values as well.
TEST_F(VARchartTest, ValuesTheTransformCannotTakeAreMissingAndCounted) {
    Table({{"1"}, {"-5"}, {"10"}, {"0"}, {"100"}}, 1);
    IndividualsAndMovingRange();
    TransformRec.Kind = kTransformLog;
    TransformRec.A = 1;
    TransformRec.B = 0;
    TransformRec.AText = "1";
    TransformRec.BText = "0";
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, 3);
    EXPECT_NEAR(At(kRowLocation, 2), std::log(10), 1e-12);
    EXPECT_NEAR(At(kRowLocation, 3), std::log(100), 1e-12);
    EXPECT_EQ(VarChart.TransformErrors, 2);
    ASSERT_EQ(VarChart.Notes.size(), 1u);
    EXPECT_EQ(VarChart.Notes[0].substr(0, 44), "2 values outside the transform's domain left");
    const std::vector<double> reported = ChartSetValues(0);
    ASSERT_EQ(reported.size(), 3u);
    EXPECT_NEAR(reported[2], std::log(100), 1e-12);
    EXPECT_EQ(TransformRec.Kind, kTransformLog);
    EXPECT_TRUE(platform.Messages.empty());
}

// Values near the largest double: their differences exceed the double range and are missing,
// never infinite; what can be formed (the standard deviation) is kept.
TEST_F(VARchartTest, DifferencesBeyondTheDoubleRangeAreMissingNotInfinite) {
    Table({{"1e308", "-1e308"}, {"-1e308", "1e308"}, {"1e308", "0"}}, 2);
    for (int layout : {1, 2}) {
        SCOPED_TRACE(layout);
        TVarChartSettings& s = VarChartSettings;
        IndividualsAndMovingRange();
        if (layout == 2) {
            s.Measures[2] = 1;
            s.RunInfo.LastMeasure = 2;
            s.DataLayout = 2;
            s.LocationChart = kChartMean;
            s.DispersionChart = kChartRange;
            s.LocationMethod = s.DispersionMethod = kMethodAverageRange;
        }
        ComputeChart(1, 0);
        ASSERT_EQ(VarChart.Count, 3);
        for (int i = 1; i <= VarChart.Count + 2; ++i)
            for (int row = 0; row < kChartRows; ++row)
                EXPECT_TRUE(std::isfinite(At(row, i))) << row << "," << i;
        EXPECT_EQ(At(kRowDispersion, 2), MissingValue);
    }
    // Subgroup {1e308, -1e308}: s = 1e308 * sqrt(2), still a double.
    EXPECT_NEAR(At(kRowSubgroupSD, 1) / 1e308, std::sqrt(2.0), 1e-12);
}

} // namespace

namespace {

// The setup's numbers are read by core, which owns the status of a refusal.
TEST_F(VARchartTest, TheSetupsNumbersAndUserLimitsAreReadWithTheirStatus) {
    const struct {
        TSetupNumber kind;
        const char* text;
        std::optional<double> expected;
    } numbers[] = {
        {TSetupNumber::StdErrors, "2.5", 2.5},          {TSetupNumber::StdErrors, "0", std::nullopt},
        {TSetupNumber::StdErrors, "", std::nullopt},    {TSetupNumber::StdErrors, "1e999", std::nullopt},
        {TSetupNumber::KnownSigma, "-1", std::nullopt}, {TSetupNumber::KnownSigma, "0.4", 0.4},
        {TSetupNumber::KnownMean, "-2.5", -2.5},        {TSetupNumber::KnownMean, ".", std::nullopt},
    };
    for (const auto& c : numbers) {
        StatErrorCode = 0;
        EXPECT_EQ(ReadSetupNumber(c.kind, c.text), c.expected) << c.text;
        EXPECT_EQ(StatErrorCode, c.expected ? 0 : 1) << c.text;
    }
    std::array<double, 3> values{};
    StatErrorCode = 0;
    EXPECT_TRUE(ReadUserLimits({true, false, true}, {"10", "x", "4"}, values));
    EXPECT_EQ(values[0], 10);
    EXPECT_FALSE(NotMissing(values[1])) << "an unchecked limit is missing whatever its text";
    EXPECT_EQ(StatErrorCode, 0);
    EXPECT_TRUE(ReadUserLimits({true, true, true}, {"5", "5", "5"}, values)) << "equal limits pass";
    EXPECT_FALSE(ReadUserLimits({true, true, false}, {"4", "6", ""}, values)) << "CL above UCL";
    EXPECT_EQ(StatErrorCode, 1);
    StatErrorCode = 0;
    EXPECT_FALSE(ReadUserLimits({false, true, false}, {"", "abc", ""}, values));
    EXPECT_EQ(StatErrorCode, 1);
}

TEST_F(VARchartTest, TheChartListAndEveryDrawingKeepTheirOwnStatus) {
    Table({{"5"}, {"7"}, {"6"}}, 1);
    IndividualsAndMovingRange();
    StatErrorCode = 1;
    BuildChartList();
    EXPECT_EQ(StatErrorCode, 0);
    Table({{""}, {""}}, 1);
    BuildChartList();
    EXPECT_TRUE(VarChart.ChartList.empty());
    EXPECT_EQ(StatErrorCode, 1);
    const auto before = ChartVersion;
    TChartScene scene;
    RedrawChart(scene);
    EXPECT_EQ(ChartVersion, before + 1);
}

} // namespace
