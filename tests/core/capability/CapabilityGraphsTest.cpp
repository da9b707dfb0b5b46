// SPDX-License-Identifier: GPL-3.0-or-later
// The histogram and probability plot of the capability analysis: class widths and first
// midpoints worked out by hand, typed entries good and bad, relative frequencies, a single value,
// the probability plot with and without a model, and two pictures pinned as scene texts.
#include "Golden.h"
#include "charts/VarChartFixture.h"

#include "capability/CapabilityGraphs.h"
#include "capability/CapabilityPlot.h"
#include "capability/CapabilitySetup.h"
#include "charts/SceneDump.h"
#include "stats/Fit.h"
#include "stats/SampleBuffer.h"

#include <cmath>
#include <numbers>
#include <numeric>
#include <string>
#include <vector>

using namespace kivspc;

namespace {

class CapabilityGraphsTest : public VarChartTest {
protected:
    void SetUp() override {
        VarChartTest::SetUp();
        DistKind = kDistNone;
    }
    // One measure column of the given values (and optional tolerance limits), opened for analysis.
    TCapabilityAnalysis Open(const std::vector<double>& values, const char* lsl = "", const char* usl = "") {
        std::vector<std::vector<std::string>> rows;
        for (double v : values)
            rows.push_back({FormatCellNumber(v)});
        Table(rows, 1);
        DataTable().SetDescription(1, kLSLRow, lsl);
        DataTable().SetDescription(1, kUSLRow, usl);
        EXPECT_TRUE(StoreCapabilitySetup({{1}}));
        TCapabilityAnalysis a;
        OpenCapabilityAnalysis(a);
        return a;
    }
    // 50 values evenly from 10.0 to 17.3 (steps of 0.149).
    static std::vector<double> Fifty() {
        std::vector<double> v;
        for (int i = 0; i < 50; ++i)
            v.push_back(std::round((10.0 + i * 7.3 / 49) * 1000) / 1000);
        return v;
    }
    static double BarTotal(const TChartScene& scene) {
        double total = 0;
        for (const auto& b : scene.Bars)
            total += b.Y1;
        return total;
    }
};

TEST_F(CapabilityGraphsTest, ClassWidthAndFirstMidpointOfFiftyValues) {
    TCapabilityAnalysis a = Open(Fifty());
    TChartScene scene;
    // k = min(20, 50/100 + 10) = 10.5, f = 7.3/10.5 = 0.695: m = 70, width 50 / 10² = 0.5; the
    // multiple of 0.5 nearest to 10.0 is 10.0.
    TGraphResult r = DrawHistogram(a, {}, scene);
    EXPECT_EQ(r.SizeUsed, "Size Used: (0.5)");
    EXPECT_EQ(r.FirstUsed, "First Used: (10)");
    EXPECT_DOUBLE_EQ(r.AxisMin, 9.5);
    EXPECT_DOUBLE_EQ(r.AxisStep, 0.5);
    EXPECT_EQ(BarTotal(scene), 50);
    EXPECT_EQ(scene.TitleLines.front(), "Histogram: Col1");
    EXPECT_EQ(scene.Texts.front().Lines.front(), "n=50");
    // Class 1 holds 9.75 <= x < 10.25: 10.0 and 10.149.
    EXPECT_DOUBLE_EQ(scene.Bars.front().X0, 9.75);
    EXPECT_EQ(scene.Bars.front().Y1, 2);

    // A typed width of 0 falls back to the automatic one; a width of 1e-12 over the range would
    // need billions of classes and a text is no width: each refused in words.
    TGraphOptions o;
    o.IntervalChecked = true;
    for (const char* typed : {"0", "1e-12", "-1", "abc"}) {
        o.IntervalText = typed;
        r = DrawHistogram(a, o, scene);
        EXPECT_EQ(r.SizeUsed, "Size Used: (0.5)") << typed;
        EXPECT_EQ(r.Problem.empty(), std::string(typed) == "0") << typed;
    }
    o.IntervalText = "1";
    EXPECT_EQ(DrawHistogram(a, o, scene).SizeUsed, "Size Used: (1)");
}

TEST_F(CapabilityGraphsTest, TypedFirstMidpoints) {
    TCapabilityAnalysis a = Open(Fifty());
    TChartScene scene;
    TGraphOptions o;
    o.FirstChecked = true;
    // 11.2 is above the lowest value: moved down by whole classes of 0.5 until its class reaches
    // 10.0 (10.2 - 0.25 <= 10.0 < 10.2 + 0.25).
    o.FirstText = "11.2";
    EXPECT_EQ(DrawHistogram(a, o, scene).FirstUsed, "First Used: (10.2)");
    // Far below, it stays: empty classes lead.
    o.FirstText = "7";
    const TGraphResult r = DrawHistogram(a, o, scene);
    EXPECT_EQ(r.FirstUsed, "First Used: (7)");
    EXPECT_DOUBLE_EQ(r.AxisMin, 6.5);
    EXPECT_EQ(BarTotal(scene), 50);
    EXPECT_GE(scene.Bars.front().X0, 9.75) << "no bar for the empty classes";
}

TEST_F(CapabilityGraphsTest, RelativeFrequenciesSingleValueAndPolygon) {
    TCapabilityAnalysis a = Open(Fifty());
    TChartScene scene;
    TGraphOptions o;
    o.Relative = true;
    DrawHistogram(a, o, scene);
    EXPECT_NEAR(BarTotal(scene), 1, 1e-12);
    EXPECT_EQ(scene.Panels[0].Y.Title, "Relative Frequency");

    o.Relative = false;
    o.Polygon = true;
    DrawHistogram(a, o, scene);
    EXPECT_TRUE(scene.Bars.empty());
    const TLineSeries* polygon = scene.FindLine("Polygon");
    ASSERT_NE(polygon, nullptr);
    const auto& y = polygon->RunsY.front();
    EXPECT_EQ(y.front(), 0);
    EXPECT_EQ(y.back(), 0);
    EXPECT_EQ(std::accumulate(y.begin(), y.end(), 0.0), 50);
    EXPECT_EQ(scene.TitleLines.front(), "Frequency Polygon: Col1");

    // A single value: width 1, the value its own first midpoint.
    a = Open({3.7});
    const TGraphResult r = DrawHistogram(a, {}, scene);
    EXPECT_EQ(r.SizeUsed, "Size Used: (1)");
    EXPECT_EQ(r.FirstUsed, "First Used: (3.7)");
    EXPECT_EQ(BarTotal(scene), 1);
}

TEST_F(CapabilityGraphsTest, FittedCurveAndLimitLines) {
    TCapabilityAnalysis a = Open(Fifty(), "9", "18");
    DistKind = kDistNormal;
    TChartScene scene;
    TGraphOptions o;
    o.ProcessLimits = true;
    const TGraphResult r = DrawHistogram(a, o, scene);
    const TLineSeries* curve = scene.FindLine("Curve");
    ASSERT_NE(curve, nullptr);
    // The axis reaches the process limits (mean -/+ 3 sd) and the tolerance limits.
    EXPECT_LE(r.AxisMin, FitState.LPL);
    EXPECT_GE(r.AxisMax, FitState.UPL);
    EXPECT_LE(r.AxisMin, 9);
    // The curve's height is the density times n times the width: its peak over the mean is
    // 50 x w / (sd sqrt(2 pi)), w = 1 here (k = 10.5 over 9..18: f = 0.857, m = 86).
    double peak = 0;
    for (double y : curve->RunsY.front())
        peak = std::max(peak, y);
    EXPECT_EQ(r.AxisStep, 1);
    EXPECT_NEAR(peak, 50 / (static_cast<double>(FitState.FitSD) * std::sqrt(2 * std::numbers::pi)), 0.05);
    std::vector<std::string> labels;
    for (const auto& line : scene.References)
        labels.push_back(line.Label);
    EXPECT_EQ(labels, (std::vector<std::string>{"LSL", "USL", "Mean", "LPL", "UPL"}));
    EXPECT_GE(scene.Panels[0].Y.Max, 1.05 * peak) << "the curve stays inside the axis";
}

TEST_F(CapabilityGraphsTest, ProbabilityPlotWithAndWithoutAModel) {
    TCapabilityAnalysis a = Open({2, 3, 5, 10});
    TChartScene scene;
    DrawProbabilityPlot(a, {}, scene);
    const TPointSeries* points = scene.FindPoints("Values");
    ASSERT_NE(points, nullptr);
    // Median ranks (i - 0.3)/(n + 0.4) of four values.
    EXPECT_NEAR(points->Y.front(), 0.7 / 4.4, 1e-15);
    EXPECT_NEAR(points->Y.back(), 3.7 / 4.4, 1e-15);
    EXPECT_EQ(scene.FindLine("Curve"), nullptr) << "no model, no curve";
    EXPECT_EQ(scene.Panels[0].Y.Title, "Proportion");

    // Exponential from the minimum, as a linear plot: the values against the model's quantiles
    // 2 - 3 ln(1 - p) and the 45-degree line.
    DistKind = kDistExponentialLow;
    TGraphOptions o;
    o.Linear = true;
    DrawProbabilityPlot(a, o, scene);
    points = scene.FindPoints("Values");
    EXPECT_NEAR(points->Y.front(), 2 - 3 * std::log(1 - 0.7 / 4.4), 1e-12);
    const TLineSeries* line = scene.FindLine("Curve");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->RunsX.front(), line->RunsY.front());
    EXPECT_EQ(scene.Panels[0].Y.Title, "Predicted Col1");
    EXPECT_EQ(scene.TitleLines, (std::vector<std::string>{"Probability Plot: Col1", "Exponential (Low)"}));
}

TEST_F(CapabilityGraphsTest, OnePageSummary) {
    // 1, 3, 2, 5, 4 within 0..6: moving ranges 2, 1, 3, 1 (average 1.75, median 1.5); the within
    // sigma is the median moving range / 0.954 = 1.5723, overall sqrt(2.5) = 1.5811.
    TCapabilityAnalysis a = Open({1, 3, 2, 5, 4}, "0", "6");
    DistKind = kDistNormal;
    TChartScene scene;
    DrawCapabilitySummary(a, {}, scene);
    ASSERT_EQ(scene.Panels.size(), 6u);
    EXPECT_EQ(scene.TitleLines.front(), "Capability Summary: Col1");
    // The individuals in data order with limits 3 -/+ 3 x 1.75 / 1.128.
    const TPointSeries* values = scene.FindPoints("Series_Loc");
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->Y, (std::vector<double>{1, 3, 2, 5, 4}));
    const TLineSeries* ucl = scene.FindLine("Series_UCL");
    ASSERT_NE(ucl, nullptr);
    EXPECT_NEAR(ucl->RunsY.front().front(), 3 + 3 * 1.75 / 1.128, 1e-12);
    EXPECT_NEAR(scene.FindLine("Series_DUCL")->RunsY.front().front(), 3.267 * 1.75, 1e-12);
    // The histogram and the probability plot in their panels.
    EXPECT_FALSE(scene.Bars.empty());
    EXPECT_EQ(scene.Bars.front().Panel, 2);
    EXPECT_EQ(scene.FindPoints("Values")->Panel, 3);
    // Cp within 6 / (6 x 1.5723) = 0.64 (1.5/0.954), Pp 6 / (6 x 1.5811) = 0.63; expected ppm
    // 2 Phi(-3 / sigma) x 10^6: 56,391 within and 57,780 overall.
    const auto text =
        std::find_if(scene.Texts.begin(), scene.Texts.end(), [](const TTextBox& t) { return t.Panel == 4; });
    ASSERT_NE(text, scene.Texts.end());
    EXPECT_EQ(text->Lines[1], "Cp    0.64      Pp    0.63");
    EXPECT_EQ(text->Lines[2], "Cpk   0.64      Ppk   0.63");
    EXPECT_EQ(text->Lines[3], "ppm   56391     ppm   57780");
}

TEST_F(CapabilityGraphsTest, PicturesPinnedAsSceneTexts) {
    TCapabilityAnalysis a = Open(Fifty(), "9.5", "17.5");
    DataTable().SetDescription(1, kTargetRow, "13.5");
    a = TCapabilityAnalysis{};
    OpenCapabilityAnalysis(a);
    DistKind = kDistNormal;
    TChartScene scene;
    TGraphOptions o;
    o.ProcessLimits = true;
    DrawHistogram(a, o, scene);
    ExpectGolden("charts/golden/scenes/capability-histogram-normal.txt", DumpScene(scene));
    DistKind = kDistJohnson;
    o.ProbabilityPaper = true;
    o.BlackAndWhite = true;
    DrawProbabilityPlot(a, o, scene);
    ExpectGolden("charts/golden/scenes/capability-probability-johnson.txt", DumpScene(scene));
}

} // namespace
