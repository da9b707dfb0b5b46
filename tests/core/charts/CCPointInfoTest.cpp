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

#include <cmath>

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
        s.LocationChart = kChartTypeMean;
        s.DispersionChart = kChartTypeRange;
        s.LocationMethod = s.DispersionMethod = kMethodAverageRange;
        s.LocationCenterline = kCenterAverage;
        s.DispersionCenterline = kCenterDispAverage;
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
    // ANOVA: SS_B 5 on 3 df, SS_W 40 on 16 df, F = (5 / 3) / 2.5 = 0.667.
    EXPECT_NE(text.find("Cp  = 0.872"), std::string::npos);
    EXPECT_NE(text.find("Cpk = 0.872"), std::string::npos);
    EXPECT_NE(text.find("Std Dev = 1.5390"), std::string::npos);
    EXPECT_NE(text.find("Between Samples         3      5.0000      1.6667     0.667"), std::string::npos)
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
    s.DispersionChart = kChartTypeNone;
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

} // namespace
