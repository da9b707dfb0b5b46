// SPDX-License-Identifier: GPL-3.0-or-later
// The variables chart's pictures pinned as scene texts: two panels, sets with separators, a
// break, zones in colour and in black and white, all points with sigma and specification lines,
// point labels, codes and both footers. A change of any picture shows as a golden diff.
#include "Golden.h"
#include "VarChartFixture.h"

#include "charts/ChartScene.h"
#include "charts/SceneDump.h"
#include "charts/VARchartScene.h"
#include "data/Procif.h"

using namespace kivspc;

namespace {

class SceneGoldenTest : public VarChartTest {
protected:
    void SetUp() override {
        VarChartTest::SetUp();
        VarChartDisplay = TVarChartDisplay{};
        ChartsBlackAndWhite = false;
    }
    void TearDown() override {
        ChartsBlackAndWhite = false;
        VarChartDisplay = TVarChartDisplay{};
        VarChartTest::TearDown();
    }
    static void ExpectScene(const char* name) {
        TChartScene scene;
        RedrawChart(scene);
        ExpectGolden(std::string("charts/golden/scenes/") + name + ".txt", DumpScene(scene));
    }
    // Known mean 5 and sigma 1 for the location chart: limits 2 and 8, so that 12 is out.
    static void KnownLimits() {
        Table({{"5"}, {"6"}, {"4"}, {"5"}, {"12"}, {"5"}}, 1);
        IndividualsAndMovingRange();
        TVarChartSettings& s = VarChartSettings;
        s.LocationMethod = kMethodKnownSigma;
        s.LocationCenterline = kCenterKnownMean;
        s.UseKnownSigma = s.UseKnownMean = true;
        s.KnownSigma = 1;
        s.KnownMean = 5;
        ComputeChart(1, 0);
        VarChartDisplay.ShowZones = true;
        VarChartDisplay.ShowCodes = true;
    }
};

// Two sets (1, 3, 2 and 11, 15, 13) on an X and moving range chart.
TEST_F(SceneGoldenTest, TwoPanelsWithSets) {
    Table({{"1", "1"}, {"3", "1"}, {"2", "1"}, {"11", "2"}, {"15", "2"}, {"13", "2"}}, 2);
    IndividualsAndMovingRange();
    VarChartSettings.SetColumn = 2;
    ComputeChart(1, 0);
    ExpectScene("two-panels-sets");
}

TEST_F(SceneGoldenTest, ABreak) {
    Table({{"1"}, {"2"}, {""}, {"3"}, {"2"}}, 1);
    IndividualsAndMovingRange();
    VarChartSettings.ShowBreaks = true;
    ComputeChart(1, 0);
    ExpectScene("break");
}

TEST_F(SceneGoldenTest, ZonesAndCodesInColourAndInBlackAndWhite) {
    KnownLimits();
    ExpectScene("zones-colour");
    ChartsBlackAndWhite = true;
    ExpectScene("zones-black-and-white");
}

// Subgroups of three with every value shown, the sigma lines and the specifications.
TEST_F(SceneGoldenTest, AllPointsSigmaAndSpecificationLines) {
    Table({{"4"}, {"6"}, {"5"}, {"7"}, {"5"}, {"6"}, {"3"}, {"5"}, {"4"}, {"6"}, {"8"}, {"7"}}, 1);
    TVarChartSettings& s = VarChartSettings;
    Measure(1);
    s.DataLayout = 4;
    s.SampleSize = 3;
    Charts(kChartTypeMean, kChartTypeRange, kMethodAverageRange);
    s.ShowAllPoints = true;
    DataTable().SetDescription(1, kUSLRow, "9");
    DataTable().SetDescription(1, kTargetRow, "5.5");
    DataTable().SetDescription(1, kLSLRow, "2");
    DataList.RebuildValues();
    ComputeChart(1, 0);
    VarChartDisplay.ShowSigmaLines = true;
    VarChartDisplay.ShowSpecs = true;
    VarChartDisplay.PointSize = 5;
    VarChartDisplay.LineThickness = 2;
    ExpectScene("all-points");
}

// Point labels on both charts, labels from a column at an angle, and both footers.
TEST_F(SceneGoldenTest, PointLabelsAxisLabelsAndFooters) {
    Table({{"5", "a"}, {"7", "b"}, {"6", "c"}, {"9", "d"}, {"8", "e"}}, 2);
    IndividualsAndMovingRange();
    VarChartSettings.AxisLabelColumn = 2;
    ComputeChart(1, 0);
    ClearPointLabels();
    VarChartDisplay.LocationLabels[3] = "new gauge";
    VarChartDisplay.DispersionLabels[1] = "check";
    VarChartDisplay.AddLimitInfo = true;
    VarChartDisplay.AddModifications = true;
    VarChartDisplay.AxisDecimals = 2;
    VarChartDisplay.Sizing = 70;
    ApplyProcessIf({1, "Col1", kRelGreater, "4"}, {}, false);
    ComputeChart(1, 0);
    ExpectScene("labels-footers");
}

} // namespace
