// SPDX-License-Identifier: GPL-3.0-or-later
// The variables chart as a scene: layout, ranges, positions with breaks, step lines, zones,
// colours, separators and footers for small charts worked out by hand.
#include "VarChartFixture.h"

#include "charts/ChartScene.h"
#include "charts/ControlTests.h"
#include "charts/VARchart.h"
#include "charts/VARchartScene.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Extract.h"
#include "data/Procif.h"
#include "data/TableEdit.h"

#include <algorithm>
#include <cctype>
#include <cmath>

using namespace kivspc;

namespace {

using Doubles = std::vector<double>;

// Compares lists of doubles, NaN equal to NaN.
void ExpectValues(const Doubles& actual, const Doubles& expected, const char* what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (std::isnan(expected[i]))
            EXPECT_TRUE(std::isnan(actual[i])) << what << " at " << i;
        else
            EXPECT_NEAR(actual[i], expected[i], 1e-9) << what << " at " << i;
    }
}

TEST(ChartSceneTest, StepRunsFollowTheirValuesGapsAndHalfSpacingEnds) {
    const double g = kGap;
    const struct {
        Doubles y;
        std::vector<Doubles> runsX, runsY;
    } cases[] = {
        // Runs of equal values joined by a vertical midway between the positions.
        {{5, 5, 6, 6}, {{-0.5, 1.5, 1.5, 3.5}}, {{5, 5, 6, 6}}},
        // A gap ends the line half a spacing after the last present position.
        {{5, g, 5, 5}, {{-0.5, 0.5}, {1.5, 3.5}}, {{5, 5}, {5, 5}}},
        {{g, 4, g}, {{0.5, 1.5}}, {{4, 4}}},
        {{g, g}, {}, {}},
        {{1, 2, 3}, {{-0.5, 0.5, 0.5, 1.5, 1.5, 2.5}}, {{1, 1, 2, 2, 3, 3}}},
    };
    for (const auto& c : cases) {
        TLineSeries line;
        Doubles x;
        for (std::size_t i = 0; i < c.y.size(); ++i)
            x.push_back(static_cast<double>(i));
        AddStepRuns(line, x, c.y, 1);
        ASSERT_EQ(line.RunsX.size(), c.runsX.size());
        for (std::size_t r = 0; r < c.runsX.size(); ++r) {
            ExpectValues(line.RunsX[r], c.runsX[r], "x");
            ExpectValues(line.RunsY[r], c.runsY[r], "y");
        }
    }
}

class VARchartSceneTest : public VarChartSceneFixture {
protected:
    static TChartScene Scene() {
        TChartScene scene;
        RedrawChart(scene);
        return scene;
    }
    static const TLineSeries& Line(const TChartScene& scene, const char* name) {
        const TLineSeries* line = scene.FindLine(name);
        EXPECT_NE(line, nullptr) << name;
        static const TLineSeries none;
        return line ? *line : none;
    }
    static const TPointSeries& Points(const TChartScene& scene, const char* name) {
        const TPointSeries* series = scene.FindPoints(name);
        EXPECT_NE(series, nullptr) << name;
        static const TPointSeries none;
        return series ? *series : none;
    }
};

// Set 1: 1, 3, 2 (mean 2, moving ranges 2, 1); set 2: 11, 15, 13 (mean 13, ranges 4, 2).
TEST_F(VARchartSceneTest, TwoSetsHaveSeparatorsStepsAndNoJoinAcross) {
    Table({{"1", "1"}, {"3", "1"}, {"2", "1"}, {"11", "2"}, {"15", "2"}, {"13", "2"}}, 2);
    IndividualsAndMovingRange();
    VarChartSettings.SetColumn = 2;
    ComputeChart(1, 0);
    const TChartScene scene = Scene();

    ASSERT_EQ(scene.TitleLines.size(), 1u);
    EXPECT_EQ(scene.TitleLines[0], "X and Moving Range Chart: Col1");
    ASSERT_EQ(scene.Panels.size(), 2u);
    EXPECT_EQ(scene.Panels[0].Y.Title, "X");
    EXPECT_EQ(scene.Panels[1].Y.Title, "MR");
    EXPECT_EQ(scene.RowWeights, (Doubles{0.6, 1 - 0.6}));
    EXPECT_EQ(scene.Panels[0].X.Title, "");
    EXPECT_EQ(scene.Panels[1].X.Title, "Point");
    EXPECT_EQ(scene.Panels[1].X.Ticks->Labels, (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
    // The two panels zoom together.
    EXPECT_EQ(scene.Panels[0].XLink, scene.Panels[1].XLink);
    EXPECT_NE(scene.Panels[0].XLink, kNoLink);

    ASSERT_EQ(scene.Separators.size(), 2u);
    EXPECT_DOUBLE_EQ(scene.Separators[0].X, scene.Panels[0].X.Min);
    EXPECT_EQ(scene.Separators[0].Label, " Col2=1 ");
    EXPECT_DOUBLE_EQ(scene.Separators[1].X, 2.5);
    EXPECT_EQ(scene.Separators[1].Label, " Col2=2 ");

    const TLineSeries& cl = Line(scene, "Series_CL");
    ASSERT_EQ(cl.RunsX.size(), 1u);
    ExpectValues(cl.RunsX[0], {-0.5, 2.5, 2.5, 5.5}, "CL x");
    ExpectValues(cl.RunsY[0], {2, 2, 13, 13}, "CL y");
    EXPECT_EQ(cl.Color, kColorLime);
    EXPECT_EQ(Line(scene, "Series_UCL").Color, kColorRed);

    const TPointSeries& loc = Points(scene, "Series_Loc");
    EXPECT_EQ(loc.JoinPrevious, (std::vector<std::uint8_t>{0, 1, 1, 0, 1, 1}));
    const TPointSeries& disp = Points(scene, "Series_Disp");
    EXPECT_EQ(disp.Panel, 1);
    ExpectValues(disp.Y, {kGap, 2, 1, kGap, 4, 2}, "moving ranges");

    // Location range: the statistics and limits, widened by a twentieth at both ends.
    const double lo = std::min(At(kRowLocLCL, 7), 1.0), hi = std::max(At(kRowLocUCL, 8), 15.0);
    EXPECT_NEAR(scene.Panels[0].Y.Min, lo - (hi - lo) / 20, 1e-9);
    EXPECT_NEAR(scene.Panels[0].Y.Max, hi + (hi - lo) / 20, 1e-9);
    // Dispersion range: moving ranges 1..4 and limits up to D4 times 3, widened by a tenth with
    // both charts.
    const double top = At(kRowDispUCL, 8);
    EXPECT_NEAR(scene.Panels[1].Y.Min, 1 - (top - 1) / 10, 1e-9);
    EXPECT_NEAR(scene.Panels[1].Y.Max, top + (top - 1) / 10, 1e-9);
}

// 1, 2, (empty), 3, 2 with breaks: four points at positions 0, 1, 3, 4.
TEST_F(VARchartSceneTest, ABreakLeavesAnEmptyPositionAndGapsInEveryLimitLine) {
    Table({{"1"}, {"2"}, {""}, {"3"}, {"2"}}, 1);
    IndividualsAndMovingRange();
    VarChartSettings.ShowBreaks = true;
    ComputeChart(1, 0);
    ASSERT_EQ(VarChart.Count, 4);
    const TChartScene scene = Scene();
    EXPECT_EQ(scene.Panels[0].X.Ticks->At, (Doubles{0, 1, 3, 4}));
    EXPECT_DOUBLE_EQ(scene.Panels[0].X.Max, 4.5);
    const TLineSeries& cl = Line(scene, "Series_CL");
    ASSERT_EQ(cl.RunsX.size(), 2u);
    ExpectValues(cl.RunsX[0], {-0.5, 1.5}, "before the break");
    ExpectValues(cl.RunsX[1], {2.5, 4.5}, "after the break");
    EXPECT_EQ(Points(scene, "Series_Loc").JoinPrevious, (std::vector<std::uint8_t>{0, 1, 0, 1}));
    EXPECT_EQ(PlottedPositions(), 6);
}

// Known mean 5 and sigma 1: limits 2 and 8; the last value, 12, is out of control.
TEST_F(VARchartSceneTest, ZonesAndViolationsInColourAndInBlackAndWhite) {
    Table({{"5"}, {"6"}, {"4"}, {"5"}, {"12"}}, 1);
    IndividualsAndMovingRange();
    TVarChartSettings& s = VarChartSettings;
    s.DispersionChart = kChartNone;
    s.DispersionMethod = kMethodNone;
    s.LocationMethod = kMethodKnownSigma;
    s.LocationCenterline = kCenterKnownMean;
    s.UseKnownSigma = s.UseKnownMean = true;
    s.KnownSigma = 1;
    s.KnownMean = 5;
    ComputeChart(1, 0);
    ASSERT_DOUBLE_EQ(At(kRowLocUCL, 1), 8);
    ASSERT_DOUBLE_EQ(At(kRowLocSE, 1), 1);
    VarChartDisplay.ShowZones = true;
    VarChartDisplay.ShowCodes = true;

    TChartScene scene = Scene();
    // Five bands, each one rectangle across all five positions.
    ASSERT_EQ(scene.Zones.size(), 5u);
    const struct {
        double y0, y1;
        TSceneColor color;
    } bands[] = {
        {2, 3, kZoneRed}, {3, 4, kZoneYellow}, {4, 6, kZoneGreen}, {6, 7, kZoneYellow}, {7, 8, kZoneRed}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(scene.Zones[i].X0, -0.5);
        EXPECT_DOUBLE_EQ(scene.Zones[i].X1, 4.5);
        EXPECT_DOUBLE_EQ(scene.Zones[i].Y0, bands[i].y0);
        EXPECT_DOUBLE_EQ(scene.Zones[i].Y1, bands[i].y1);
        EXPECT_EQ(scene.Zones[i].Color, bands[i].color);
    }
    const TPointSeries& loc = Points(scene, "Series_Loc");
    EXPECT_EQ(loc.Colors,
              (std::vector<TSceneColor>{kColorBlue, kColorBlue, kColorBlue, kColorBlue, kColorRed}));
    ASSERT_EQ(scene.Codes.size(), 1u);
    EXPECT_DOUBLE_EQ(scene.Codes[0].X, 4);
    EXPECT_EQ(scene.Codes[0].Text, ControlCodes(0, 5));
    EXPECT_EQ(scene.TextColor, kColorBlue);

    ChartsBlackAndWhite = true;
    scene = Scene();
    ASSERT_EQ(scene.Zones.size(), 2u);
    EXPECT_EQ(scene.Zones[0].Color, kColorSilver);
    EXPECT_DOUBLE_EQ(scene.Zones[0].Y0, 3);
    EXPECT_DOUBLE_EQ(scene.Zones[1].Y1, 7);
    const TPointSeries& bw = Points(scene, "Series_Loc");
    EXPECT_EQ(bw.Colors[0], kColorBlack);
    EXPECT_EQ(bw.Colors[4], kColorNearBlack);
    EXPECT_EQ(bw.Hollow, (std::vector<std::uint8_t>{0, 0, 0, 0, 1}));
    EXPECT_EQ(Line(scene, "Series_CL").Color, kColorBlack);
    EXPECT_EQ(scene.TextColor, kColorBlack);

    // Violations off: the points keep their colour, the codes go.
    ChartsBlackAndWhite = false;
    VarChartDisplay.ShowViolations = false;
    scene = Scene();
    EXPECT_EQ(Points(scene, "Series_Loc").Colors[4], kColorBlue);
    EXPECT_TRUE(scene.Codes.empty());
}

TEST_F(VARchartSceneTest, TheSlidersEndsShowOneChartOnTheMainAxis) {
    Table({{"5"}, {"7"}, {"6"}, {"9"}, {"8"}}, 1);
    IndividualsAndMovingRange();
    ComputeChart(1, 0);

    VarChartDisplay.Sizing = 10;
    TChartScene scene = Scene();
    ASSERT_EQ(scene.Panels.size(), 1u);
    EXPECT_EQ(scene.Panels[0].Y.Title, "MR");
    EXPECT_EQ(scene.RowWeights, (Doubles{1}));
    EXPECT_EQ(scene.TitleLines[0], "Moving Range Chart: Col1");
    EXPECT_EQ(scene.FindPoints("Series_Loc"), nullptr);
    EXPECT_EQ(Points(scene, "Series_Disp").Panel, 0);
    EXPECT_EQ(Line(scene, "Series_DUCL").Panel, 0);
    EXPECT_GE(scene.Panels[0].Y.Min, 0);

    VarChartDisplay.Sizing = 90;
    scene = Scene();
    ASSERT_EQ(scene.Panels.size(), 1u);
    EXPECT_EQ(scene.Panels[0].Y.Title, "X");
    EXPECT_EQ(scene.TitleLines[0], "X Chart: Col1");
    EXPECT_EQ(scene.FindPoints("Series_Disp"), nullptr);

    EXPECT_EQ(SizingHint(60), "Location/Dispersion Chart Sizing (60%/40%)");
    EXPECT_EQ(SizingHint(10), "Location/Dispersion Chart Sizing (0%/100%)");
    EXPECT_EQ(SizingHint(90), "Location/Dispersion Chart Sizing (100%/0%)");
}

// Set 1 (mean 2, sigma 1.5/d2) reaches below 0 at minus 3 sigma; set 2 (mean 13, sigma 3/d2)
// does not.
TEST_F(VARchartSceneTest, PositiveLimitsOnlyLeavesAGapInTheLowerSigmaLine) {
    Table({{"1", "1"}, {"3", "1"}, {"2", "1"}, {"11", "2"}, {"15", "2"}, {"13", "2"}}, 2);
    IndividualsAndMovingRange();
    VarChartSettings.SetColumn = 2;
    VarChartSettings.PositiveLimitsOnly = true;
    ComputeChart(1, 0);
    VarChartDisplay.ShowSigmaLines = true;
    const TChartScene scene = Scene();
    const double d2 = 1.128; // published d2(2), hence the tolerance
    const TLineSeries& lower = Line(scene, "Series_Minus3Sigma");
    EXPECT_EQ(lower.Style, TLineStyle::Dot);
    ASSERT_EQ(lower.RunsX.size(), 1u);
    ExpectValues(lower.RunsX[0], {2.5, 5.5}, "lower x");
    EXPECT_NEAR(lower.RunsY[0][0], 13 - 3 * 3 / d2, 1e-2);
    const TLineSeries& upper = Line(scene, "Series_Plus3Sigma");
    ASSERT_EQ(upper.RunsX.size(), 1u);
    ASSERT_EQ(upper.RunsY[0].size(), 4u);
    const double expected[] = {2 + 4.5 / d2, 2 + 4.5 / d2, 13 + 9 / d2, 13 + 9 / d2};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(upper.RunsY[0][i], expected[i], 1e-2);
    EXPECT_GE(scene.Panels[0].Y.Min, 0);
}

// 5, 7, 6, 9, 8, 10, 7, 6: mean 7.25, mean moving range 13/7 = 1.857143; with d2 = 2/sqrt(pi)
// = 1.128379 the limits are 7.25 ± 4.937505 = 12.188 and 2.3125; the MR chart's UCL is
// D4 (13/7) with D4 = 1 + 3 (0.852502 / 1.128379) = 3.266531, so 6.0664 (five digits each).
TEST_F(VARchartSceneTest, LimitInformationAndModificationsFillTheFooter) {
    Table({{"5"}, {"7"}, {"6"}, {"9"}, {"8"}, {"10"}, {"7"}, {"6"}}, 1);
    IndividualsAndMovingRange();
    ComputeChart(1, 0);
    VarChartDisplay.AddLimitInfo = true;
    TChartScene scene = Scene();
    const std::vector<std::string> footer = {
        "             Centerline [1.8571] using Average Moving Range",
        "MR Chart Control Limits [6.0664, None] from Average MR",
        "             Centerline [7.2500] using Average X",
        "X Chart Control Limits [12.188, 2.3125] from Average MR",
    };
    EXPECT_EQ(scene.FooterLines, footer);

    // A centerline only: one line padded to the centerline's column.
    VarChartSettings.DispersionMethod = kMethodCenterlineOnly;
    VarChartDisplay.Sizing = 10;
    scene = Scene();
    EXPECT_EQ(scene.FooterLines,
              (std::vector<std::string>{"    MR Chart Centerline [1.8571] using Average Moving Range"}));

    VarChartDisplay.AddModifications = true;
    ApplyProcessIf({1, "Col1", kRelGreater, "5"}, {}, false);
    TSelectionSummary summary;
    ASSERT_TRUE(SelectionSummary(summary));
    scene = Scene();
    ASSERT_EQ(scene.FooterLines.size(), 3u);
    EXPECT_EQ(scene.FooterLines[0], summary.Inline);
    EXPECT_EQ(scene.FooterLines[2], "");
}

// Set 2 (11, 15, 13) gives the last point's limits: mean 13, mean moving range 3, sigma
// 3 / d2 with d2 = 2 / sqrt(pi) = 1.128379, so 13 ± 7.976044 = 20.976 and 5.0240; the MR chart's
// UCL is D4 3 = 3.266531 3 = 9.7996 (hand calculation). Each line says the values are set 2's.
TEST_F(VARchartSceneTest, WithSetsTheLimitInformationNamesTheSetItDescribes) {
    Table({{"1", "1"}, {"3", "1"}, {"2", "1"}, {"11", "2"}, {"15", "2"}, {"13", "2"}}, 2);
    IndividualsAndMovingRange();
    VarChartSettings.SetColumn = 2;
    ComputeChart(1, 0);
    VarChartDisplay.AddLimitInfo = true;
    const std::vector<std::string> footer = {
        "             Centerline [3.0000] using Average Moving Range (Col2=2)",
        "MR Chart Control Limits [9.7996, None] from Average MR (Col2=2)",
        "             Centerline [13.000] using Average X (Col2=2)",
        "X Chart Control Limits [20.976, 5.0240] from Average MR (Col2=2)",
    };
    EXPECT_EQ(Scene().FooterLines, footer);

    // One set only: the values are the chart's, and no line names a set.
    Table({{"1", "1"}, {"3", "1"}, {"2", "1"}}, 2);
    ComputeChart(1, 0);
    for (const std::string& line : Scene().FooterLines)
        EXPECT_EQ(line.find("Col2"), std::string::npos) << line;
}

// Every element of a scene lies inside its panel's range and the horizontal range, at finite
// coordinates, and no text of it reads "inf" or "nan".
void ExpectInsideItsRanges(const TChartScene& scene) {
    ASSERT_FALSE(scene.Panels.empty());
    const auto panelOf = [&](int panel) -> const TScenePanel& {
        EXPECT_GE(panel, 0);
        EXPECT_LT(panel, static_cast<int>(scene.Panels.size()));
        return scene.Panels[static_cast<std::size_t>(
            std::clamp(panel, 0, static_cast<int>(scene.Panels.size()) - 1))];
    };
    for (const TScenePanel& panel : scene.Panels) {
        EXPECT_TRUE(std::isfinite(panel.X.Min) && std::isfinite(panel.X.Max) && panel.X.Min < panel.X.Max);
        EXPECT_TRUE(std::isfinite(panel.Y.Min) && std::isfinite(panel.Y.Max) && panel.Y.Min < panel.Y.Max)
            << panel.Y.Min << " " << panel.Y.Max;
    }
    const auto inside = [&](int panel, double x, double y, const std::string& what) {
        const TScenePanel& range = panelOf(panel);
        EXPECT_TRUE(x >= range.X.Min && x <= range.X.Max) << what << " x " << x;
        EXPECT_TRUE(y >= range.Y.Min && y <= range.Y.Max)
            << what << " y " << y << " in " << range.Y.Min << ".." << range.Y.Max;
    };
    for (const TLineSeries& line : scene.Lines)
        for (std::size_t r = 0; r < line.RunsX.size(); ++r)
            for (std::size_t i = 0; i < line.RunsX[r].size(); ++i)
                inside(line.Panel, line.RunsX[r][i], line.RunsY[r][i], line.Name);
    for (const TZoneRect& z : scene.Zones) {
        inside(z.Panel, z.X0, z.Y0, "zone");
        inside(z.Panel, z.X1, z.Y1, "zone");
    }
    for (const TPointSeries& series : scene.Points)
        for (std::size_t i = 0; i < series.X.size(); ++i)
            if (!IsGap(series.Y[i])) inside(series.Panel, series.X[i], series.Y[i], series.Name);
    for (const TTextMark& label : scene.PointLabels)
        inside(label.Panel, label.X, label.Y, "label " + label.Text);
    for (const TTextMark& code : scene.Codes)
        inside(0, code.X, code.Y, "code " + code.Text);
    std::vector<std::string> texts = scene.FooterLines;
    texts.insert(texts.end(), scene.TitleLines.begin(), scene.TitleLines.end());
    for (std::string text : texts) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        EXPECT_EQ(text.find("inf"), std::string::npos) << text;
        EXPECT_EQ(text.find("nan"), std::string::npos) << text;
    }
}

// Values near the ends of the doubles: the limits, zones and sigma lines around them pass the
// largest double, where the computation's sums are no numbers. What the scene cannot hold is
// dropped or held at the largest double, never drawn at infinity.
TEST_F(VARchartSceneTest, ValuesNearTheEndsOfTheDoublesGiveAFiniteScene) {
    const struct {
        const char* name;
        std::vector<std::vector<std::string>> rows;
        double knownMean, knownSigma;
        bool positiveOnly;
    } cases[] = {
        {"near the largest double",
         {{"1e308"}, {"1.7e308"}, {"1.2e308"}, {"1.5e308"}},
         1.5e308,
         1e308,
         false},
        {"both ends", {{"-1.7e308"}, {"1.7e308"}, {"-1e308"}, {"1e308"}}, 0, 1.5e308, false},
        {"smallest numbers", {{"1e-307"}, {"3e-307"}, {"2e-307"}, {"5e-308"}}, 2e-307, 1e-307, false},
        // "Positive Limits Only" keeps the limits above 0, never the values out of sight.
        {"negative values, positive limits", {{"-5"}, {"-3"}, {"-4"}, {"-6"}}, -4, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Table(c.rows, 1);
        IndividualsAndMovingRange();
        TVarChartSettings& s = VarChartSettings;
        for (const bool known : {false, true}) {
            s.LocationMethod = known ? kMethodKnownSigma : kMethodAverageMR;
            s.LocationCenterline = known ? kCenterKnownMean : kCenterAverage;
            s.UseKnownSigma = s.UseKnownMean = known;
            s.KnownMean = c.knownMean;
            s.KnownSigma = c.knownSigma;
            s.PositiveLimitsOnly = c.positiveOnly;
            ComputeChart(1, 0);
            VarChartDisplay = TVarChartDisplay{};
            VarChartDisplay.ShowZones = VarChartDisplay.ShowSigmaLines = VarChartDisplay.ShowCodes = true;
            VarChartDisplay.AddLimitInfo = true;
            ClearPointLabels();
            VarChartDisplay.LocationLabels[1] = VarChartDisplay.DispersionLabels[1] = "tool";
            for (const int sizing : {60, 10, 90}) {
                VarChartDisplay.Sizing = sizing;
                const TChartScene scene = Scene();
                ExpectInsideItsRanges(scene);
                if (sizing > 10) {
                    EXPECT_NE(scene.FindLine("Series_Plus3Sigma"), nullptr);
                }
            }
        }
    }
}

TEST_F(VARchartSceneTest, AChartWithoutPointsDrawsNothing) {
    IndividualsAndMovingRange();
    ResetVarChart();
    IndividualsAndMovingRange();
    TChartScene scene = Scene();
    EXPECT_TRUE(scene.Panels.empty());
    EXPECT_TRUE(scene.TitleLines.empty());
    EXPECT_TRUE(scene.Points.empty());
}

TEST_F(VARchartSceneTest, MenuRulesFollowTheChartKindAndAllPoints) {
    Table({{"5"}, {"7"}, {"6"}, {"9"}}, 1);
    IndividualsAndMovingRange();
    ComputeChart(1, 0);
    VarChartDisplay.ShowSpecs = true;
    VarChartDisplay.RemoveLocation = true;
    TVarChartMenuState state = ApplyVarChartMenuRules();
    EXPECT_FALSE(state.AllPoints);
    EXPECT_TRUE(state.SigmaLines);
    EXPECT_TRUE(state.Specifications);
    EXPECT_FALSE(state.RemoveLocation);
    EXPECT_FALSE(VarChartDisplay.RemoveLocation);
    EXPECT_TRUE(VarChartDisplay.ShowSpecs);
    EXPECT_TRUE(state.Zones);

    VarChartSettings.LocationChart = kChartMean;
    VarChartDisplay.ShowViolations = false;
    VarChartDisplay.ShowCodes = true;
    state = ApplyVarChartMenuRules();
    EXPECT_TRUE(state.AllPoints);
    EXPECT_FALSE(state.Specifications);
    EXPECT_FALSE(VarChartDisplay.ShowSpecs);
    EXPECT_FALSE(VarChartDisplay.ShowCodes);
}

} // namespace
