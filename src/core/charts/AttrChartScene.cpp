// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/AttrChartScene.h"

#include "app/MissingValue.h"
#include "charts/AttrChart.h"
#include "charts/CCPointInfo.h"
#include "charts/ControlTests.h"
#include "charts/SceneSteps.h"
#include "charts/VARchartScene.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Extract.h"

#include <algorithm>
#include <cmath>

namespace kivspc {

TAttrChartDisplay AttrChartDisplay;

int AttrPlottedPositions() { return AttrChart.Count + AttrChart.Breaks + 1; }

void ClearAttrPointTexts() {
    AttrChartDisplay.PointTexts.assign(static_cast<std::size_t>(std::max(AttrPlottedPositions(), 0)), {});
}

bool HasAttrPointTexts() {
    const auto& texts = AttrChartDisplay.PointTexts;
    return std::any_of(texts.begin(), texts.end(), [](const std::string& t) { return !t.empty(); });
}

int AttrPosition(int point) {
    int breaks = 0;
    for (int i = 1; i < point && i <= AttrChart.Count; ++i)
        breaks += AttrChart(kAttrBreak, i) == 1;
    return point - 1 + breaks;
}

namespace {

// Everything the steps read, taken once from the chart's state.
struct TAttrSceneBuild {
    TChartScene& Scene;
    const TAttrChartSettings& S = AttrChartSettings;
    const TAttrChartDisplay& D = AttrChartDisplay;
    const TAttrChart& C = AttrChart;
    const int Count = AttrChart.Count;
    const bool BlackAndWhite = ChartsBlackAndWhite;
    const bool Limits = S.LimitMethod != TAttrMethod::None && S.LimitMethod != TAttrMethod::CenterlineOnly;
    TControlPens Pens = ControlPens(BlackAndWhite, D.LineThickness);
    TPositions Positions;
    TValueRange Range;
    explicit TAttrSceneBuild(TChartScene& scene) : Scene(scene) {
        // The attributes chart's centre line is a darker green than the variables chart's.
        if (!BlackAndWhite) Pens.Center = kColorGreen;
    }
    double At(int row, int point) const { return C(row, point); }
    template <class F> std::vector<double> Column(F&& value) const {
        std::vector<double> v;
        v.reserve(static_cast<std::size_t>(Count));
        for (int i = 1; i <= Count; ++i)
            v.push_back(value(i));
        return v;
    }
};

// The position labels: order numbers, or the axis-label column's cell in each point's row.
std::vector<std::string> PositionLabels(const TAttrSceneBuild& b) {
    std::vector<std::string> labels;
    labels.reserve(static_cast<std::size_t>(b.Count));
    const TDataTable& table = DataTable();
    const int column = b.S.AxisLabelColumn;
    for (int i = 1; i <= b.Count; ++i) {
        if (column > 0) {
            const double row = b.At(kAttrLabel, i);
            const bool inTable =
                PresentFinite(row) && row >= 1 && row <= table.RowCount() && column <= table.ColumnCount();
            labels.emplace_back(inTable ? table.Cell(column, static_cast<int>(row)) : "");
        } else {
            labels.push_back(std::to_string(i));
        }
    }
    return labels;
}

void AddPanel(TAttrSceneBuild& b) {
    b.Scene.TitleLines.push_back(AttrChartTitle());
    b.Positions = PositionsWithBreaks(b.Count, [&](int i) { return b.At(kAttrBreak, i + 1) == 1; });
    const int column = b.S.AxisLabelColumn;
    b.Scene.Panels.push_back(
        {.X = PositionAxis(b.Positions, PositionLabels(b), column > 0 ? ColumnLabel(column) : "Point",
                           column > 0 ? 315 : 0),
         .Y = {.Title = AttrAxisTitle(b.S.ChartType), .Decimals = b.D.AxisDecimals},
         .XLink = 0});
}

// Zones under everything, then the zone edges and the limit lines. A limit or centre line of
// exactly 0 is not drawn (a set without nonconforming items has centre 0 and no limits).
void AddLimits(TAttrSceneBuild& b) {
    const auto row = [&](int r, bool dropZero) {
        return b.Column([&](int i) {
            const double v = Drawable(b.At(r, i));
            return dropZero && v == 0 ? kGap : v;
        });
    };
    const std::vector<double> cl = row(kAttrCL, false), se = row(kAttrSE, false), lcl = row(kAttrLCL, false),
                              ucl = row(kAttrUCL, false);
    const TControlHalf half{.CL = cl, .SE = se, .LCL = lcl, .UCL = ucl};
    if (b.D.ShowZones && b.Limits) {
        AddZones(b.Scene, 0, b.Positions, half, b.BlackAndWhite);
        AddZoneEdges(b.Scene, 0, b.Positions, half, b.Pens, "Series_Zone1a", "Zone 1a", "Series_Zone1b",
                     "Zone 1b");
    }
    const std::vector<double> clLine = row(kAttrCL, true), lclLine = row(kAttrLCL, true),
                              uclLine = row(kAttrUCL, true);
    AddLimitLines(b.Scene, 0, b.Positions, {.CL = clLine, .SE = se, .LCL = lclLine, .UCL = uclLine}, b.Pens,
                  {"Series_LCL", "Series_CL", "Series_UCL", "LCL", "Centerline", "UCL"});
}

void AddCodes(TAttrSceneBuild& b) {
    if (!b.D.ShowCodes || !b.D.ShowViolations || !b.Limits) return;
    AddCodeMarks(
        b.Scene, 0, b.Positions, [](int i) { return ControlCodes(0, i + 1); }, b.D.PointSize + 8);
}

void AddPoints(TAttrSceneBuild& b) {
    const TAttrChartDisplay& d = b.D;
    TPointSeries series{.Panel = 0,
                        .Name = "Series_Stat",
                        .Hover = "Statistic",
                        .Role = TSceneRole::LocationStatistic,
                        .X = b.Positions.X,
                        .Y = b.Column([&](int i) { return Drawable(b.At(kAttrStatistic, i)); }),
                        .Size = static_cast<double>(d.PointSize),
                        .LineWidth = static_cast<double>(d.LineThickness)};
    const auto n = static_cast<std::size_t>(b.Count);
    series.Colors.assign(n, b.BlackAndWhite ? kColorBlack : kColorBlue);
    if (b.BlackAndWhite) series.Hollow.assign(n, 0);
    if (d.Connect) series.JoinPrevious.assign(n, 0);
    const bool sets = b.S.SetColumn > 0;
    for (int i = 1; i <= b.Count; ++i) {
        const auto k = static_cast<std::size_t>(i) - 1;
        if (d.ShowViolations && !ControlCodes(0, i).empty()) {
            series.Colors[k] = b.BlackAndWhite ? kColorNearBlack : kColorRed;
            if (b.BlackAndWhite) series.Hollow[k] = 1;
        }
        // A line joins a point to the one before in its set, unless a break lies between.
        if (d.Connect)
            series.JoinPrevious[k] =
                i > 1 && !b.Positions.BreakBefore[k] && (!sets || b.At(kAttrSet, i) == b.At(kAttrSet, i - 1));
    }
    b.Scene.Points.push_back(std::move(series));
}

// A text belongs to its point: a point without a statistic shows none.
void AddPointTexts(TAttrSceneBuild& b) {
    const auto& texts = b.D.PointTexts;
    for (int i = 1; i <= b.Count; ++i) {
        const auto x = b.Positions.X[static_cast<std::size_t>(i) - 1];
        const auto at = static_cast<std::size_t>(x);
        const double y = b.At(kAttrStatistic, i);
        if (at < texts.size() && !texts[at].empty() && PresentFinite(y))
            b.Scene.PointLabels.push_back({.Panel = 0, .X = x, .Y = y, .Text = texts[at]});
    }
}

void AddSets(TAttrSceneBuild& b) {
    const int column = b.S.SetColumn;
    if (column <= 0 || b.Count < 2) return;
    AddSetSeparators(
        b.Scene, b.Positions, [&](int i) { return b.At(kAttrSet, i + 1); },
        [column](int set) { return SetSeparatorLabel(column, set); }, b.D.LineThickness + 2);
}

// The statistics, the limits and every line drawn set the range, with a twentieth of it as
// headroom; it goes below 0 only for a value below 0.
void FitRange(TAttrSceneBuild& b) {
    for (int i = 1; i <= b.Count; ++i)
        for (int row : {kAttrStatistic, kAttrUCL, kAttrLCL})
            b.Range.Add(b.At(row, i));
    for (const TLineSeries& line : b.Scene.Lines)
        for (const auto& run : line.RunsY)
            for (double y : run)
                b.Range.Add(y);
    // Counts are never below 0, so the axis starts at 0 at the lowest; a negative value (a typing
    // error in the data) keeps its place in view instead of being cut off.
    const bool belowZero = b.Range.Any && b.Range.Min < 0;
    b.Range.Extend(20);
    if (!belowZero) b.Range.Min = std::max(b.Range.Min, 0.0);
    b.Range.Settle();
    b.Scene.Panels[0].Y.Min = b.Range.Min;
    b.Scene.Panels[0].Y.Max = b.Range.Max;
    KeepInsidePanels(b.Scene);
}

// Footer: the limit summary (its last line first), then the modifications.
void AddFooter(TAttrSceneBuild& b) {
    std::vector<std::string>& footer = b.Scene.FooterLines;
    if (b.D.AddLimitInfo) {
        const std::vector<std::string> lines = LimitSummary();
        footer.insert(footer.begin(), lines.rbegin(), lines.rend());
    }
    if (b.D.AddModifications) {
        TSelectionSummary summary;
        if (SelectionSummary(summary) && !summary.Inline.empty()) {
            std::string text = summary.Inline;
            std::replace(text.begin(), text.end(), '\r', ' ');
            std::replace(text.begin(), text.end(), '\n', ' ');
            if (!footer.empty()) footer.emplace_back();
            footer.push_back(std::move(text));
        }
    }
}

} // namespace

void RedrawAttrChart(TChartScene& scene) {
    // Every drawing is a new version of the chart.
    ++ChartVersion;
    scene = TChartScene{};
    TAttrSceneBuild b(scene);
    scene.TextColor = b.BlackAndWhite ? kColorBlack : kColorBlue;
    if (b.Count <= 0 || AttrChart.Rows[0].size() < static_cast<std::size_t>(b.Count) + 1) return;
    AddPanel(b);
    AddLimits(b);
    AddCodes(b);
    AddPoints(b);
    AddPointTexts(b);
    AddSets(b);
    FitRange(b);
    AddFooter(b);
}

} // namespace kivspc
