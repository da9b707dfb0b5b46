// SPDX-License-Identifier: GPL-3.0-or-later
// The chart analysis report: golden texts for its edge cases, and its numbers against hand
// calculations.
#include "Golden.h"
#include "VarChartFixture.h"

#include "app/NumberFormat.h"
#include "charts/CCPointInfo.h"
#include "charts/ControlTests.h"
#include "charts/VARchart.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/TableEdit.h"
#include "output/OutputDocument.h"
#include "output/ReditU.h"

#include <cctype>
#include <cmath>
#include <random>
#include <regex>

using namespace kivspc;

namespace {

class CCPointInfoTest : public VarChartTest {
protected:
    void SetUp() override {
        VarChartTest::SetUp();
        ChartInfoStyle = TChartInfoStyle{};
        ControlTestSettings = DefaultControlTestSettings();
        SetOutputDocument(&doc);
    }
    void TearDown() override {
        ForgetOutputDocument(&doc);
        ChartInfoStyle = TChartInfoStyle{};
        VarChartTest::TearDown();
    }
    // Subgroups of five consecutive rows of column 1, means and ranges.
    static void MeansOfFive() {
        TVarChartSettings& s = VarChartSettings;
        Measure(1);
        s.DataLayout = 4;
        s.SampleSize = 5;
        Charts(kChartMean, kChartRange, kMethodAverageRange);
    }
    // Column 1 as an X chart alone with the known centerline 0 and standard error 1.
    static void KnownIndividuals() {
        IndividualsAndMovingRange();
        TVarChartSettings& s = VarChartSettings;
        s.DispersionChart = kChartNone;
        s.DispersionMethod = kMethodNone;
        s.LocationMethod = kMethodKnownSigma;
        s.LocationCenterline = kCenterKnownMean;
        s.UseKnownSigma = s.UseKnownMean = true;
        s.KnownSigma = 1;
        s.KnownMean = 0;
    }
    static void Specifications(const char* usl, const char* target, const char* lsl) {
        DataTable().SetDescription(1, kUSLRow, usl);
        DataTable().SetDescription(1, kTargetRow, target);
        DataTable().SetDescription(1, kLSLRow, lsl);
        DataList.RebuildValues();
    }
    std::string Report() {
        doc.Clear();
        BuildChartReport();
        std::string text;
        for (std::size_t i = 0; i < doc.LineCount(); ++i)
            text += doc.Line(i).Text() + "\n";
        return text;
    }

    TOutputDocument doc;
};

// Four subgroups of five: 10 11 12 9 8 | 10 12 11 13 9 | 8 9 10 11 12 | 12 10 11 9 13 (means 10,
// 11, 10, 11; ranges 4, 4, 4, 4; grand mean 10.5). Specifications 6 / 10.5 / 15.
TEST_F(CCPointInfoTest, MeansAndRangesWithSpecificationsMatchHandCalculations) {
    std::vector<std::vector<std::string>> rows;
    for (const char* v : {"10", "11", "12", "9",  "8",  "10", "12", "11", "13", "9",
                          "8",  "9",  "10", "11", "12", "12", "10", "11", "9",  "13"})
        rows.push_back({v});
    Table(rows, 1);
    DataTable().SetDescription(1, 2, "15");
    DataTable().SetDescription(1, 3, "10.5");
    DataTable().SetDescription(1, 4, "6");
    DataList.RebuildValues();
    MeansOfFive();
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, 4);
    const std::string text = Report();
    ExpectGolden("charts/golden/chart-report-means.txt", text);

    // By hand: sigma = Rbar / d2(5) = 4 / 2.3259 = 1.7198; Cp = (15 - 6) / (6 * 1.7198) = 0.872;
    // Cpk = (15 - 10.5) / (3 * 1.7198) = 0.872. Total s: within SS 4 * 4 * 2.5 = 40 (each
    // subgroup's variance is 2.5), between SS 5 * 4 * 0.25 = 5, s_T = sqrt(45 / 19) = 1.5390.
    // ANOVA: SS_B 5 on 3 df, SS_W 40 on 16 df, F = (5 / 3) / 2.5 = 0.6667, p = 0.5847 (the upper
    // tail of F(3, 16), by numerical integration of its density).
    EXPECT_NE(text.find("Cp  = 0.872"), std::string::npos);
    EXPECT_NE(text.find("Cpk = 0.872"), std::string::npos);
    EXPECT_NE(text.find("Std Dev = 1.5390"), std::string::npos);
    EXPECT_NE(text.find("Between Samples         3      5.0000      1.6667    0.6667    0.5847"),
              std::string::npos)
        << text;
    // Upper tail beyond (15 - 10.5) / 1.7198 = 2.6166 sigma: 0.00444, so 4,440 ppm (3 digits).
    EXPECT_NE(text.find("Above Upper Spec  =     4,440"), std::string::npos) << text;
}

// Set 1: 1, 3, 2; set 2: 11, 15, 13; no specifications.
TEST_F(CCPointInfoTest, IndividualValuesInTwoSets) {
    Table({{"1", "1"}, {"3", "1"}, {"2", "1"}, {"11", "2"}, {"15", "2"}, {"13", "2"}}, 2);
    IndividualsAndMovingRange();
    VarChartSettings.SetColumn = 2;
    ComputeChart(1, 0);
    const std::string text = Report();
    ExpectGolden("charts/golden/chart-report-two-sets.txt", text);
    EXPECT_NE(text.find("Control Analysis - Set 2"), std::string::npos);
    EXPECT_NE(text.find("Cannot Perform ANOVA - No Within Variation Found!"), std::string::npos);
    EXPECT_EQ(text.find("Capability Measures"), std::string::npos) << "no specifications: the summary only";

    // One set: no suffixes.
    VarChartSettings.SetColumn = 0;
    ComputeChart(1, 0);
    const std::string one = Report();
    EXPECT_EQ(one.find(" - Set "), std::string::npos);
}

// Ten values just above the centerline (known mean 0, sigma 1): the run of 8 test marks points
// 8-10 and the points before them; the run is counted once.
TEST_F(CCPointInfoTest, ARunIsCountedOnceAndDecimalsFollowTheSetting) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 10; ++i)
        rows.push_back({"0.5"});
    Table(rows, 1);
    IndividualsAndMovingRange();
    TVarChartSettings& s = VarChartSettings;
    s.DispersionChart = kChartNone;
    s.DispersionMethod = kMethodNone;
    s.LocationMethod = kMethodKnownSigma;
    s.LocationCenterline = kCenterKnownMean;
    s.UseKnownSigma = s.UseKnownMean = true;
    s.KnownSigma = 1;
    s.KnownMean = 0;
    ComputeChart(1, 0);
    ASSERT_FALSE(ControlCodes(0, 10).empty());
    ChartInfoStyle.Decimals = 0;
    const std::string text = Report();
    ExpectGolden("charts/golden/chart-report-run.txt", text);
    EXPECT_NE(
        text.find("\tX Chart Analysis\n\n\t   1 Found: Run of 8 or More Above/Below the Centerline\n\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("\t         Mean = 0\n"), std::string::npos) << "no decimals";
}

// The observed counts are those of the values that form the points, each under the set of its
// point. Counted by hand from the rows below.
TEST_F(CCPointInfoTest, ObservedCountsAreTheValuesOfThePoints) {
    // Subgroup numbers in column 2: the last row has none, so its 20 forms no point; the three
    // subgroups hold 10 11 | 12 9 | 10 11, all within 5..15.
    Table({{"10", "1"}, {"11", "1"}, {"12", "2"}, {"9", "2"}, {"10", "3"}, {"11", "3"}, {"20", ""}}, 2);
    Specifications("15", "", "5");
    TVarChartSettings& s = VarChartSettings;
    Measure(1);
    s.DataLayout = 3;
    s.SampleSizeColumn = 2;
    Charts(kChartMean, kChartRange, kMethodAverageRange);
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, 3);
    std::string text = Report();
    EXPECT_NE(text.find("Total n = 6\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Above Upper Spec  =          0     0.000\n"), std::string::npos) << text;

    // Subgroups of two in two sets: 10 11 (set 1) | 12 30 (rows in sets 1 and 2: a point of set
    // 1) | 10 11 (set 2). Set 1 holds four values, one of them (30) above 20: 250,000 ppm; set 2
    // holds two values, none above.
    Table({{"10", "1"}, {"11", "1"}, {"12", "1"}, {"30", "2"}, {"10", "2"}, {"11", "2"}}, 2);
    Specifications("20", "", "5");
    s.DataLayout = 4;
    s.SampleSize = 2;
    s.SampleSizeColumn = 0;
    s.SetColumn = 2;
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, 3);
    text = Report();
    const std::size_t set2 = text.find("Capability and Performance Analysis - Set 2");
    ASSERT_NE(set2, std::string::npos) << text;
    const std::string first = text.substr(0, set2), second = text.substr(set2);
    EXPECT_NE(first.find("Total n = 4\n"), std::string::npos) << first;
    EXPECT_NE(first.find("Above Upper Spec  =          1   250,000\n"), std::string::npos) << first;
    EXPECT_NE(second.find("Total n = 2\n"), std::string::npos) << second;
    EXPECT_NE(second.find("Above Upper Spec  =          0     0.000\n"), std::string::npos) << second;
}

// A pattern ends where its test's window ends: eight points above the centerline and then eight
// below are two runs, a rise and then a fall two trends.
TEST_F(CCPointInfoTest, PatternsThatTouchAreCountedApart) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 8; ++i)
        rows.push_back({"0.5"});
    for (int i = 0; i < 8; ++i)
        rows.push_back({"-0.5"});
    Table(rows, 1);
    KnownIndividuals();
    ComputeChart(1, 0);
    std::string text = Report();
    EXPECT_NE(text.find("\t   2 Found: Run of 8 or More Above/Below the Centerline\n"), std::string::npos)
        << text;

    // 0.1 .. 0.6, then down to 0.1: the trend of 6 fires at points 6 and 11, whose windows share
    // point 6 only.
    rows.clear();
    for (const char* v : {"0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.5", "0.4", "0.3", "0.2", "0.1"})
        rows.push_back({v});
    Table(rows, 1);
    ComputeChart(1, 0);
    text = Report();
    EXPECT_NE(text.find("\t   2 Found: Trend of 6 or More Increasing/Decreasing\n"), std::string::npos)
        << text;
}

// The pattern counts of a long random chart against a second, independent count: every window of
// every test checked by walking it point by point as the tests are defined, and a pattern counted
// wherever a test fires at a point but not at the point before.
TEST_F(CCPointInfoTest, PatternCountsMatchABruteForceCount) {
    constexpr int kPoints = 200000;
    std::mt19937_64 random(18);
    std::normal_distribution<double> normal(0, 1);
    std::vector<double> v(kPoints + 1);
    std::vector<std::vector<std::string>> rows;
    rows.reserve(kPoints);
    for (int i = 1; i <= kPoints; ++i) {
        // Two decimals, so that ties with the centerline and between neighbours occur too.
        v[static_cast<std::size_t>(i)] = std::nearbyint(normal(random) * 100) / 100;
        rows.push_back({FormatTrimmed(v[static_cast<std::size_t>(i)])});
    }
    Table(rows, 1);
    KnownIndividuals();
    ControlTestSettings.StdCheck.fill(true);
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, kPoints);
    const std::string text = Report();

    const auto at = [&](int i) { return v[static_cast<std::size_t>(i)]; };
    const auto all = [](int from, int to, auto&& f) {
        for (int j = from; j <= to; ++j)
            if (!f(j)) return false;
        return true;
    };
    const auto within = [&](int from, int to, double band) {
        int n = 0;
        for (int j = from; j <= to; ++j)
            n += std::fabs(at(j)) > band;
        return n;
    };
    const TControlTestSettings& c = ControlTestSettings;
    const int run = c.Counts[kCountRun], trend = c.Counts[kCountTrend];
    const int excess = c.Counts[kCountExcessVariability], lack = c.Counts[kCountLackOfVariability];
    const int alternating = c.Counts[kCountAlternating];
    const int k1 = c.Counts[kCountZoneRule1K], m1 = c.Counts[kCountZoneRule1M];
    const int k2 = c.Counts[kCountZoneRule2K], m2 = c.Counts[kCountZoneRule2M];
    // fires(t, i): test t at point i, centerline 0, standard error 1, limits at +-3.
    const auto fires = [&](int t, int i) -> bool {
        switch (t) {
        case kTestOutsideLimits: return std::fabs(at(i)) > 3;
        case kTestRun:
            return i >= run && (all(i - run + 1, i, [&](int j) { return at(j) > 0; }) ||
                                all(i - run + 1, i, [&](int j) { return at(j) < 0; }));
        case kTestTrend:
            return i >= trend && (all(i - trend + 2, i, [&](int j) { return at(j) > at(j - 1); }) ||
                                  all(i - trend + 2, i, [&](int j) { return at(j) < at(j - 1); }));
        case kTestExcessVariability:
            return i >= excess && all(i - excess + 1, i, [&](int j) { return std::fabs(at(j)) > 1; }) &&
                   !all(i - excess + 1, i, [&](int j) { return at(j) > 0; }) &&
                   !all(i - excess + 1, i, [&](int j) { return at(j) < 0; });
        case kTestLackOfVariability:
            return i >= lack && all(i - lack + 1, i, [&](int j) { return std::fabs(at(j)) < 1; });
        case kTestAlternating:
            return i >= alternating && all(i - alternating + 2, i - 1, [&](int j) {
                       return (at(j) > at(j - 1) && at(j) > at(j + 1)) ||
                              (at(j) < at(j - 1) && at(j) < at(j + 1));
                   });
        case kTestZoneRule1: return i >= m1 && within(i - m1 + 1, i, 1) >= k1;
        case kTestZoneRule2: return i >= m2 && within(i - m2 + 1, i, 2) >= k2;
        case kTestMovingRange: return i >= 2 && std::fabs(at(i) - at(i - 1)) > 3.6864;
        default: return false;
        }
    };
    for (int t = 1; t <= kControlTestCount; ++t) {
        const bool single = t == kTestOutsideLimits || t == kTestMovingRange;
        int count = 0;
        bool before = false;
        for (int i = 1; i <= kPoints; ++i) {
            const bool now = fires(t, i);
            count += now && (single || !before);
            before = now;
        }
        ASSERT_GT(count, 0) << "test " << t << " never fires: the seed does not exercise it";
        const std::string line =
            "\t" + PadLeft(std::to_string(count), 4) + " Found: " + ControlTestName(t) + "\n";
        EXPECT_NE(text.find(line), std::string::npos) << "expected" << line << "in\n" << text.substr(0, 1200);
    }
}

// Values near the limits of a double: the sums of squares are formed without overflow, huge
// results are written with an exponent, and no line reads "inf" or "nan".
TEST_F(CCPointInfoTest, HugeValuesGiveExponentsAndNoInfinities) {
    // Subgroups (1e200, -1e200) and (3e200, 1e200); by hand: means 0 and 2e200, each s^2 = 2e400,
    // SS_W = 4e400 on 2 df, SS_B = 2 (1e200)^2 + 2 (1e200)^2 = 4e400 on 1 df, F = 4e400 / 2e400 = 2,
    // s_T = sqrt(8e400 / 3) = 1.63299e200. Off target by |1e200 - 0| of a tolerance 2e300:
    // 5e-99 %. Cp = 2e300 / (6 * Rbar / d2(2)) = 2e300 / (6 * 2e200 / 1.1284) = 1.8806e99.
    Table({{"1e200"}, {"-1e200"}, {"3e200"}, {"1e200"}}, 1);
    Specifications("1e300", "0", "-1e300");
    TVarChartSettings& s = VarChartSettings;
    Measure(1);
    s.DataLayout = 4;
    s.SampleSize = 2;
    Charts(kChartMean, kChartRange, kMethodAverageRange);
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, 2);
    std::string text = Report();
    EXPECT_NE(text.find("Std Dev = 1.6330e+200\n"), std::string::npos) << text;
    EXPECT_NE(text.find("   USL = 1.0000e+300\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" Between Samples         1 4.0000e+400 4.0000e+400    2.0000"), std::string::npos)
        << text;
    EXPECT_NE(text.find("  Within Samples         2 4.0000e+400 2.0000e+400\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Cp  = 1.8806e+99\n"), std::string::npos) << text;
    EXPECT_NE(text.find("%Off-Target = 0.0000%\n"), std::string::npos) << text;

    // Values at the edge of the range: whatever cannot be formed is said in words.
    Table({{"1.7e308"}, {"-1.7e308"}, {"1.7e308"}, {"1.6e308"}}, 1);
    Specifications("1.79e308", "", "-1.79e308");
    ComputeChart(1, 0);
    for (int d : {0, 4, 9}) {
        ChartInfoStyle.Decimals = d;
        text = Report();
        std::string lower = text;
        for (char& ch : lower)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_EQ(lower.find("inf"), std::string::npos) << text;
        EXPECT_EQ(lower.find("nan"), std::string::npos) << text;
        EXPECT_FALSE(std::regex_search(text, std::regex("[0-9]{20}"))) << "a number in fixed form:\n" << text;
    }
}

// Limits the wrong way round are refused, with the reason, and give no indices.
TEST_F(CCPointInfoTest, AnUpperLimitBelowTheLowerIsRefused) {
    Table({{"10"}, {"11"}, {"12"}, {"9"}, {"10"}, {"11"}}, 1);
    IndividualsAndMovingRange();
    // Without a target and with one; equal limits are no tolerance either.
    for (const char* target : {"", "10", "="}) {
        const bool equal = std::string(target) == "=";
        Specifications(equal ? "15" : "6", equal ? "" : target, "15");
        ComputeChart(1, 0);
        const std::string text = Report();
        EXPECT_NE(text.find("Specifications\n\t   USL = "), std::string::npos) << text;
        // Once under the specifications, once where the indices would be.
        const std::size_t first = text.find("\tUSL must be greater than LSL\n");
        ASSERT_NE(first, std::string::npos) << text;
        EXPECT_NE(text.find("\tUSL must be greater than LSL\n", first + 1), std::string::npos) << text;
        EXPECT_EQ(text.find("Cp  ="), std::string::npos) << text;
        EXPECT_EQ(text.find("Pp  ="), std::string::npos) << text;
        EXPECT_EQ(text.find("Above Upper Spec"), std::string::npos) << text;
    }
}

// The decimals reach every number of the report that has decimals: the indices, F and p, the
// correlation and the percentages; counts and degrees of freedom stay whole.
TEST_F(CCPointInfoTest, TheDecimalsReachEveryNumber) {
    // The subgroups of the hand calculation above, with 2 decimals: Cp 0.872 -> 0.87, F 0.667 ->
    // 0.67, p 0.5847 -> 0.58 (upper tail of F(3, 16) at 2/3, by numerical integration of its density).
    std::vector<std::vector<std::string>> rows;
    for (const char* v : {"10", "11", "12", "9",  "8",  "10", "12", "11", "13", "9",
                          "8",  "9",  "10", "11", "12", "12", "10", "11", "9",  "13"})
        rows.push_back({v});
    Table(rows, 1);
    Specifications("15", "10.5", "6");
    MeansOfFive();
    ComputeChart(1, 0);
    ChartInfoStyle.Decimals = 2;
    const std::string text = Report();
    for (const char* line :
         {"\t          Cp  = 0.87\n", "\t          Cpk = 0.87\n", "\t          Pp  = 0.97\n",
          "\t  %Off-Target = 0.00%\n", "    Intraclass Correlation = 0.00%\n",
          " Between Samples         3        5.00        1.67      0.67      0.58\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "in\n" << text;
}

// The label of a point is the text of the axis label column at the point's first row, as the
// chart's axis shows it.
TEST_F(CCPointInfoTest, PointLabelsAreTheAxisLabels) {
    Table({{"1", "Mon"}, {"2", "Mon"}, {"3", "Tue"}, {"4", "Tue"}, {"5", "Wed"}, {"6", "Wed"}}, 2);
    MeansOfFive();
    VarChartSettings.SampleSize = 2;
    VarChartSettings.AxisLabelColumn = 2;
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, 3);
    EXPECT_EQ(ChartPointLabel(1), "Mon");
    EXPECT_EQ(ChartPointLabel(2), "Tue");
    EXPECT_EQ(ChartPointLabel(3), "Wed");
    EXPECT_EQ(ChartPointLabel(4), "");
    VarChartSettings.AxisLabelColumn = 0;
    ComputeChart(1, 0);
    EXPECT_EQ(ChartPointLabel(2), "2") << "without a label column the point number";
}

} // namespace
