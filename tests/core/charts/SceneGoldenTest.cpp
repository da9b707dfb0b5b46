// SPDX-License-Identifier: GPL-3.0-or-later
// The variables chart's pictures pinned as scene texts: two panels, sets with separators, a
// break, zones in colour and in black and white, all points with sigma and specification lines,
// point labels, codes and both footers. A change of any picture shows as a golden diff.
#include "Golden.h"
#include "VarChartFixture.h"

#include "charts/AttrChart.h"
#include "charts/AttrChartScene.h"
#include "charts/ChartScene.h"
#include "charts/SceneDump.h"
#include "charts/SceneExamples.h"
#include "charts/SceneScales.h"
#include "charts/VARchartScene.h"
#include "data/Procif.h"

#include <algorithm>

using namespace kivspc;

namespace {

class SceneGoldenTest : public VarChartSceneFixture {
protected:
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
    Charts(kChartMean, kChartRange, kMethodAverageRange);
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

// The attributes chart: one panel whose centre line is green, limits per point and per set,
// and the separator label of a set column named Shift.
class AttrSceneGoldenTest : public VarChartSceneFixture {
protected:
    static TChartScene Redraw() {
        TChartScene scene;
        RedrawAttrChart(scene);
        return scene;
    }
    static void ExpectAttrScene(const char* name) {
        ExpectGolden(std::string("charts/golden/scenes/") + name + ".txt", DumpScene(Redraw()));
    }
    static void Action(const TAttrSetupEntries& e) {
        ASSERT_TRUE(StoreAttrSetup(e).Stored);
        BuildAnalysisList();
        ASSERT_TRUE(NextAnalysis());
        ClearAttrPointTexts();
    }
};

// A p chart with exact limits over varying n in two shifts, zones and codes on; in colour and in
// black and white.
TEST_F(AttrSceneGoldenTest, PChartWithSetsZonesAndCodes) {
    Table({{"4", "50", "1"},
           {"6", "60", "1"},
           {"3", "50", "1"},
           {"19", "50", "1"},
           {"5", "40", "2"},
           {"2", "40", "2"},
           {"4", "50", "2"},
           {"3", "50", "2"}},
          3);
    DataTable().SetColumnName(3, "Shift");
    TAttrSetupEntries e;
    e.Measures = {1};
    e.ConstantSampleSize = false;
    e.SampleSizeColumn = 2;
    e.SetColumn = 3;
    Action(e);
    AttrChartDisplay.ShowZones = AttrChartDisplay.ShowCodes = true;
    ExpectAttrScene("attr-p-sets-zones");
    const TChartScene scene = Redraw();
    ASSERT_EQ(scene.Separators.size(), 2U);
    EXPECT_EQ(scene.Separators[1].Label, " Shift=2 ");
    EXPECT_EQ(scene.Separators[1].X, 3.5);
    EXPECT_EQ(scene.FindLine("Series_CL")->Color, kColorGreen);
    ChartsBlackAndWhite = true;
    ExpectAttrScene("attr-p-black-and-white");
}

// A c chart: a set without defects (centre 0, no limits: nothing drawn for it), a break, point
// texts, labels from a column, and the footer with the limit summary (LCL line first) and the
// modifications after it.
TEST_F(AttrSceneGoldenTest, CChartWithZeroCentreBreakTextsAndFooter) {
    Table(
        {{"0", "1", "A"}, {"0", "1", "B"}, {"3", "2", "C"}, {"", "2", "D"}, {"5", "2", "E"}, {"4", "2", "F"}},
        3);
    TAttrSetupEntries e;
    e.Type = TAttrType::C;
    e.Method = TAttrMethod::NormalApproximation;
    e.Measures = {1};
    e.SampleSizeText = "1";
    e.SetColumn = 2;
    e.AxisLabelColumn = 3;
    ApplyProcessIf({1, "Col1", kRelLess, "9"}, {}, false);
    AttrChartSettings.ShowBreaks = true;
    Action(e);
    AttrChartDisplay.PointTexts[AttrPosition(4)] = "new lot";
    AttrChartDisplay.AddLimitInfo = AttrChartDisplay.AddModifications = true;
    ExpectAttrScene("attr-c-zero-break-footer");
    const TChartScene scene = Redraw();
    ASSERT_GE(scene.FooterLines.size(), 5U);
    EXPECT_EQ(scene.FooterLines[0].substr(0, 13), "       LCL = ");
    EXPECT_EQ(scene.FooterLines[2].substr(0, 13), "       UCL = ");
    EXPECT_TRUE(scene.FooterLines[3].empty());
    EXPECT_EQ(scene.Panels[0].Y.Min, 0) << "the range never goes below 0";
    // The first set's centre is 0: its centre line is not drawn.
    for (const auto& run : scene.FindLine("Series_CL")->RunsX)
        EXPECT_GT(run.front(), 1);
}

} // namespace

namespace {

// The example pages pin the new element kinds: bars, a curve with a legend entry, labelled
// vertical reference lines and a framed text box (histogram); given probability ticks and
// per-point hover texts (probability plot); the grid with spans, x-link groups, hidden axes and
// panel spacing (six-panel page).
TEST(SceneExampleGoldenTest, EveryElementKind) {
    ExpectGolden("charts/golden/scenes/example-histogram.txt", DumpScene(HistogramExample(6, 8)));
    ExpectGolden("charts/golden/scenes/example-probability.txt", DumpScene(ProbabilityExample(8)));
    ExpectGolden("charts/golden/scenes/example-six-panel.txt", DumpScene(SixPanelExample(6)));
}

// Published standard normal quantiles: 1.644854 (95 %), 2.326348 (99 %), 3.090232 (99.9 %).
TEST(SceneScalesTest, ProbabilityPaperStandsAtTheNormalQuantiles) {
    const auto ticks = ProbabilityPaperTicks(-2.5, 3.2);
    const std::vector<std::string> labels = {"1 %",  "5 %",  "10 %", "20 %", "30 %", "40 %", "50 %",
                                             "60 %", "70 %", "80 %", "90 %", "95 %", "99 %", "99.9 %"};
    EXPECT_EQ(ticks->Labels, labels);
    const struct {
        const char* label;
        double z;
    } published[] = {
        {"50 %", 0}, {"95 %", 1.644854}, {"99 %", 2.326348}, {"99.9 %", 3.090232}, {"5 %", -1.644854}};
    for (const auto& p : published) {
        const auto at = std::find(labels.begin(), labels.end(), p.label) - labels.begin();
        // The quantiles come from the normal tail's polynomial form (tail error below 7.5e-8): at
        // 99.9 % that is 2e-5 standard deviations, far below a pixel of any axis.
        EXPECT_NEAR(ticks->At[static_cast<std::size_t>(at)], p.z, 5e-5) << p.label;
    }
    EXPECT_TRUE(std::is_sorted(ticks->At.begin(), ticks->At.end()));
}

TEST(SceneScalesTest, LogarithmicTicksAtOneTwoAndFiveTimesThePowersOfTen) {
    const auto ticks = LogScaleTicks(LogScalePosition(1), LogScalePosition(100));
    EXPECT_EQ(ticks->Labels, (std::vector<std::string>{"1", "2", "5", "10", "20", "50", "100"}));
    EXPECT_NEAR(ticks->At[1], 0.30103, 1e-5); // log10(2)
    // Over more than four decades only the powers of ten.
    EXPECT_EQ(LogScaleTicks(-1, 5)->Labels.size(), 7u);
    EXPECT_TRUE(LogScaleTicks(2, 1)->At.empty());
    EXPECT_TRUE(IsGap(LogScalePosition(0)));
}

} // namespace
