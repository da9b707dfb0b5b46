// SPDX-License-Identifier: GPL-3.0-or-later
// The variables chart computation over small tables with settings from the input, columns and
// sizes out of range included: it must end, and every cell of the point table must be a number
// or the missing value, never a NaN or an infinity. Limits come in order, known parameters give
// the textbook centerlines, and the values behind each set are the values of its points.
// Input: scripted answers, the table (see BuildTable), then the settings.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "charts/CCPointInfo.h"
#include "charts/ChartScene.h"
#include "charts/VARchart.h"
#include "charts/VARchartScene.h"
#include "data/DataU.h"
#include "data/Extract.h"
#include "data/Procif.h"
#include "data/Transfrm.h"
#include "output/OutputDocument.h"
#include "output/ReditU.h"
#include "stats/ControlFactors.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string_view>
#include <vector>

namespace kivspc::fuzz {

namespace {

bool Near(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(std::fabs(a), std::fabs(b)); }

// LCL <= CL <= UCL where the limits are computed around the centerline; a known mean or sigma
// gives the textbook centerline (d2 sigma, c4 sigma, sigma squared).
void CheckLimits(const TVarChartSettings& s, const TVarChart& chart) {
    const TChartArray& p = chart.Points;
    const bool ordered = std::isfinite(s.StdErrors) && s.StdErrors > 0;
    const int span = std::max(s.MRCount, 2);
    for (int i = 1; i <= chart.Count; ++i) {
        const auto present = [&](int row) { return p(row, i) != MissingValue; };
        if (ordered && s.LocationMethod != kMethodUserDefined && present(kRowLocCL)) {
            if (present(kRowLocLCL)) Check(p(kRowLocLCL, i) <= p(kRowLocCL, i), "location LCL <= CL");
            if (present(kRowLocUCL)) Check(p(kRowLocCL, i) <= p(kRowLocUCL, i), "location CL <= UCL");
        }
        if (ordered && s.DispersionMethod != kMethodUserDefined && present(kRowDispLCL) &&
            present(kRowDispUCL))
            Check(p(kRowDispLCL, i) <= p(kRowDispUCL, i), "dispersion LCL <= UCL");
        if (s.LocationChart != kChartNone && s.LocationMethod != kMethodNone &&
            s.LocationMethod != kMethodUserDefined && s.UseKnownMean &&
            s.LocationCenterline == kCenterKnownMean && present(kRowLocCL))
            Check(p(kRowLocCL, i) == s.KnownMean, "a known mean is the centerline");
        if (s.DispersionChart == kChartNone || s.DispersionMethod == kMethodNone ||
            s.DispersionMethod == kMethodUserDefined || !s.UseKnownSigma || !(s.KnownSigma > 0) ||
            s.DispersionCenterline != kCenterKnownSigma || !present(kRowDispCL) || !present(kRowN))
            continue;
        const int n = static_cast<int>(std::nearbyint(p(kRowN, i)));
        const double sigma = s.KnownSigma;
        double expected = MissingValue;
        switch (s.DispersionChart) {
        case kChartMovingRange: expected = static_cast<double>(D2(span) * sigma); break;
        case kChartRange: expected = static_cast<double>(D2(n) * sigma); break;
        case kChartStdDev: expected = static_cast<double>(C4(n) * sigma); break;
        case kChartVariance: expected = static_cast<double>(static_cast<Extended>(sigma) * sigma); break;
        default: break;
        }
        if (std::isfinite(expected))
            Check(Near(p(kRowDispCL, i), expected), "a known sigma gives the textbook dispersion centerline");
    }
}

// The report's values of a set are the values that formed the set's points.
void CheckSetValues(const TVarChart& chart) {
    std::map<int, double> counts;
    for (int i = 1; i <= chart.Count; ++i)
        if (chart.Points(kRowN, i) != MissingValue)
            counts[static_cast<int>(chart.Points(kRowSet, i))] += chart.Points(kRowN, i);
    for (const auto& [set, count] : counts)
        Check(static_cast<double>(ChartSetValues(set).size()) == count,
              "the set's values are its points' values");
}

void CheckReport(const std::vector<std::string>& userTexts) {
    TOutputDocument doc;
    SetOutputDocument(&doc);
    BuildChartReport();
    ForgetOutputDocument(&doc);
    for (std::size_t i = 0; i < doc.LineCount(); ++i)
        Check(!ShowsNonNumberOfItsOwn(doc.Line(i).Text(), userTexts), "no nan or inf in the report");
}

} // namespace

int FuzzVarChart(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    RecordingPlatform& platform = ResetCore();
    ScriptAnswers(platform, in.Byte());
    BuildTable(in);
    TVarChartSettings& s = VarChartSettings;
    s = TVarChartSettings{};
    s.LocationChart = kSetupChartKinds[static_cast<std::size_t>(in.IntIn(0, 3))];
    s.DispersionChart = kSetupChartKinds[static_cast<std::size_t>(in.Bool() ? 0 : in.IntIn(4, 7))];
    s.LocationMethod = static_cast<std::uint8_t>(in.IntIn(0, 17));
    s.DispersionMethod = static_cast<std::uint8_t>(in.IntIn(0, 20));
    s.LocationCenterline = static_cast<std::uint8_t>(in.IntIn(0, 3));
    s.DispersionCenterline = static_cast<std::uint8_t>(in.IntIn(4, 6));
    s.StdErrors = in.Bool() ? static_cast<double>(in.IntIn(0, 6)) : in.AnyDouble();
    s.SampleSize = static_cast<int>(in.IntIn(0, 1000));
    s.MRCount = static_cast<int>(in.IntIn(0, 40));
    s.UseKnownSigma = in.Bool();
    s.KnownSigma = in.AnyDouble();
    s.UseKnownMean = in.Bool();
    s.KnownMean = in.AnyDouble();
    s.UserLocUCL = in.Bool() ? in.AnyDouble() : MissingValue;
    s.UserLocCL = in.Bool() ? in.AnyDouble() : MissingValue;
    s.UserLocLCL = in.Bool() ? in.AnyDouble() : MissingValue;
    s.UserDispUCL = in.Bool() ? in.AnyDouble() : MissingValue;
    s.UserDispLCL = in.Bool() ? in.AnyDouble() : MissingValue;
    s.PositiveLimitsOnly = in.Bool();
    s.AxisLabelColumn = AnyColumn(in);
    s.SampleSizeColumn = AnyColumn(in);
    s.SetColumn = AnyColumn(in);
    s.DataLayout = static_cast<std::uint8_t>(in.IntIn(0, 15));
    s.ShowBreaks = in.Bool();
    s.ShowAllPoints = in.Bool();
    for (int c = 1; c <= DataTable().ColumnCount(); ++c)
        s.Measures[static_cast<std::size_t>(c)] = in.Bool();
    s.RunInfo.FirstMeasure = AnyColumn(in);
    s.RunInfo.LastMeasure = AnyColumn(in);
    if (in.Bool()) {
        s.RunInfo.GroupColumnCount = 1;
        s.RunInfo.GroupColumns[1] = static_cast<std::int16_t>(1 + in.IntIn(0, DataTable().ColumnCount() - 1));
        PrepareGroups(s.RunInfo);
    }
    if (in.Bool()) s.RunInfo.LastGroup = AnyColumn(in);
    std::vector<std::string> userTexts = UserTableTexts();
    if (in.Bool()) {
        const std::string value = CellText(in);
        userTexts.insert(userTexts.begin(), value);
        ApplyProcessIf({AnyColumn(in), "x", static_cast<std::uint8_t>(in.IntIn(0, 8)), value}, {}, false);
    }
    if (in.Bool()) {
        TransformRec.Kind = static_cast<std::uint8_t>(in.IntIn(0, 8));
        TransformRec.A = in.AnyDouble();
        TransformRec.B = in.AnyDouble();
        TransformRec.C = in.AnyDouble();
    }
    BuildChartList();
    const TVarChart& chart = VarChart;
    for (int i = 1; i <= chart.Count + 2 && chart.Count > 0; ++i)
        for (int row = 0; row < kChartRows; ++row)
            Check(std::isfinite(chart.Points(row, i)), "every point-table cell a number or missing");
    Check(chart.Count <= DataTable().RowCount() + 1, "at most one point per row");
    CheckLimits(s, chart);
    CheckSetValues(chart);
    CheckReport(userTexts);

    // The picture of whatever was computed, with any display options.
    TVarChartDisplay& d = VarChartDisplay;
    d = TVarChartDisplay{};
    d.ShowViolations = in.Bool();
    d.ShowCodes = in.Bool();
    d.ShowZones = in.Bool();
    d.ShowSigmaLines = in.Bool();
    d.ShowSpecs = in.Bool();
    d.RemoveLocation = in.Bool();
    d.Connect = in.Bool();
    d.AddLimitInfo = in.Bool();
    d.AddModifications = in.Bool();
    d.Sizing = static_cast<int>(in.IntIn(10, 90));
    d.AxisDecimals = static_cast<int>(in.IntIn(0, 10)) - 1;
    ClearPointLabels();
    if (in.Bool() && !d.LocationLabels.empty())
        d.LocationLabels[static_cast<std::size_t>(
            in.IntIn(0, static_cast<long long>(d.LocationLabels.size()) - 1))] = "label";
    ChartsBlackAndWhite = in.Bool();
    TChartScene scene;
    RedrawChart(scene);
    ChartsBlackAndWhite = false;
    CheckScene(scene, userTexts);
    for (const TScenePanel& panel : scene.Panels)
        Check(std::isfinite(panel.Y.Min) && std::isfinite(panel.Y.Max) && panel.Y.Min < panel.Y.Max,
              "every axis has a range");
    Check(scene.Panels.size() <= 2, "one or two panels");
    for (const TScenePanel& panel : scene.Panels)
        Check(panel.X.Ticks && panel.X.Ticks->Labels.size() == panel.X.Ticks->At.size(),
              "a label for every position");
    for (const TLineSeries& line : scene.Lines)
        for (const auto& run : line.RunsX)
            Check(std::is_sorted(run.begin(), run.end()), "lines run from left to right");
    for (const TPointSeries& series : scene.Points)
        Check(std::is_sorted(series.X.begin(), series.X.end()) && series.Colors.size() == series.X.size(),
              "points in order, each with a colour");
    return 0;
}

} // namespace kivspc::fuzz
