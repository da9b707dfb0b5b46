// SPDX-License-Identifier: GPL-3.0-or-later
// The variables chart computation over small tables with settings from the input, columns and
// sizes out of range included: it must end, and every cell of the point table must be a number
// or the missing value, never a NaN or an infinity.
// Input: scripted answers, the table (see BuildTable), then the settings.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "charts/ChartScene.h"
#include "charts/VARchart.h"
#include "charts/VARchartScene.h"
#include "data/DataU.h"
#include "data/Extract.h"
#include "data/Procif.h"
#include "data/Transfrm.h"

#include <algorithm>
#include <cmath>

namespace kivspc::fuzz {

int FuzzVarChart(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    RecordingPlatform& platform = ResetCore();
    ScriptAnswers(platform, in.Byte());
    BuildTable(in);
    TVarChartSettings& s = VarChartSettings;
    s = TVarChartSettings{};
    s.LocationChart = static_cast<std::uint8_t>(in.IntIn(0, 3));
    s.DispersionChart = static_cast<std::uint8_t>(in.Bool() ? 0 : in.IntIn(4, 7));
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
    if (in.Bool())
        ApplyProcessIf({AnyColumn(in), "x", static_cast<std::uint8_t>(in.IntIn(0, 8)), CellText(in)}, {},
                       false);
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
            Check(!std::isnan(chart.Points(row, i)), "no NaN in the point table");
    Check(chart.Count <= DataTable().RowCount() + 1, "at most one point per row");

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
    for (const TScenePanel& panel : scene.Panels)
        Check(std::isfinite(panel.YMin) && std::isfinite(panel.YMax) && panel.YMin < panel.YMax,
              "every axis has a range");
    Check(scene.Panels.size() <= 2, "one or two panels");
    Check(scene.XLabels.size() == scene.XLabelAt.size(), "a label for every position");
    for (const TLineSeries& line : scene.Lines)
        for (const auto& run : line.RunsX)
            Check(std::is_sorted(run.begin(), run.end()), "lines run from left to right");
    for (const TPointSeries& series : scene.Points)
        Check(std::is_sorted(series.X.begin(), series.X.end()) && series.Colors.size() == series.X.size(),
              "points in order, each with a colour");
    return 0;
}

} // namespace kivspc::fuzz
