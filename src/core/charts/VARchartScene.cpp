// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/VARchartScene.h"

#include "app/MissingValue.h"
#include "app/NumberFormat.h"
#include "app/TextTools.h"
#include "charts/CCPointInfo.h"
#include "charts/ControlTests.h"
#include "charts/SceneSteps.h"
#include "charts/VARchart.h"
#include "data/DataTable.h"
#include "data/DataU.h"
#include "data/Extract.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kivspc {

TVarChartDisplay VarChartDisplay;

namespace {

// The statistic values of every point's subgroup, from the texts kept with "Show All Points".
std::vector<double> SubgroupValues(int point) {
    std::vector<double> values;
    if (point < 0 || point >= static_cast<int>(VarChart.PointTexts.size())) return values;
    const std::string& text = VarChart.PointTexts[static_cast<std::size_t>(point)];
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        while (p < end && *p == ' ')
            ++p;
        if (p >= end) break;
        double v = 0;
        const auto [next, ec] = std::from_chars(p, end, v);
        if (ec != std::errc{} || next == p) {
            while (p < end && *p != ' ')
                ++p;
            continue;
        }
        values.push_back(v);
        p = next;
    }
    return values;
}

} // namespace

std::string SetSeparatorLabel(int setColumn, int set) {
    const bool known = setColumn >= 1 && setColumn <= std::min(kMaxColumns, DataTable().ColumnCount());
    const std::string text = known && DataList.IsText[static_cast<std::size_t>(setColumn)]
                                 ? LevelText(setColumn, set)
                                 : FormatTrimmed(set);
    if (!known) return " " + text + " ";
    return " " + ColumnLabel(setColumn) + "=" + text + " ";
}

namespace {
std::string SetLabel(int set) { return SetSeparatorLabel(VarChartSettings.SetColumn, set); }
} // namespace

bool LocationChartShown() {
    return VarChartSettings.LocationChart != kChartNone && VarChartDisplay.Sizing > 10;
}
bool DispersionChartShown() {
    return VarChartSettings.DispersionChart != kChartNone && VarChartDisplay.Sizing < 90;
}
bool LocationLimitsShown() { return LocationChartShown() && VarChartSettings.LocationMethod > 1; }
bool DispersionLimitsShown() { return DispersionChartShown() && VarChartSettings.DispersionMethod > 1; }

TVarChartMenuState ApplyVarChartMenuRules() {
    TVarChartDisplay& d = VarChartDisplay;
    TVarChartSettings& s = VarChartSettings;
    const bool x = s.LocationChart == kChartX;
    TVarChartMenuState state;
    state.AllPoints = !x;
    if (x) s.ShowAllPoints = false;
    state.SigmaLines = x || s.ShowAllPoints;
    if (!state.SigmaLines) d.ShowSigmaLines = false;
    state.RemoveLocation = s.ShowAllPoints;
    if (!state.RemoveLocation) d.RemoveLocation = false;
    state.Specifications = x || s.ShowAllPoints;
    if (!state.Specifications) d.ShowSpecs = false;
    state.Zones = LocationLimitsShown() || DispersionLimitsShown();
    state.Codes = d.ShowViolations;
    if (!state.Codes) d.ShowCodes = false;
    return state;
}

void AllPointsSwitchedOff() {
    VarChartSettings.ShowAllPoints = false;
    VarChartDisplay.ShowSigmaLines = false;
    VarChartDisplay.RemoveLocation = false;
    if (VarChartSettings.LocationChart != kChartX) VarChartDisplay.ShowSpecs = false;
}

std::string VarChartTitle(bool location, bool dispersion) {
    const TVarChartSettings& s = VarChartSettings;
    std::string title;
    if (location && dispersion)
        title = std::string(ChartKindName(s.LocationChart)) + " and " + ChartKindName(s.DispersionChart) +
                " Chart: ";
    else if (location)
        title = std::string(ChartKindName(s.LocationChart)) + " Chart: ";
    else if (dispersion)
        title = std::string(ChartKindName(s.DispersionChart)) + " Chart: ";
    title += ColumnLabel(VarChart.Column);
    if (s.DataLayout > 7) title += " (" + GroupLabel(VarChart.Group, s.RunInfo) + ")";
    return title;
}

std::string DispersionAxisTitle(TChartKind chartType) {
    switch (chartType) {
    case kChartMovingRange: return "MR";
    case kChartRange: return "R";
    case kChartStdDev: return "s";
    case kChartVariance: return "s²";
    default: return {};
    }
}

std::string CenterlineName(int slot) {
    const TVarChartSettings& s = VarChartSettings;
    const int code = slot == 0 ? s.LocationCenterline : s.DispersionCenterline;
    std::string name = FillLimitName(21 + code, slot == 0 ? ChartKindName(s.LocationChart)
                                                          : ChartKindName(s.DispersionChart));
    if (name.find("of") != std::string::npos && !name.empty() && name.back() != 's') name += 's';
    return name;
}

int PlottedPositions() { return VarChart.Count + VarChart.Breaks + 1; }

void ClearPointLabels() {
    const auto n = static_cast<std::size_t>(std::max(PlottedPositions(), 0));
    VarChartDisplay.LocationLabels.assign(n, {});
    VarChartDisplay.DispersionLabels.assign(n, {});
}

bool HasPointLabels() {
    const auto any = [](const std::vector<std::string>& v) {
        return std::any_of(v.begin(), v.end(), [](const std::string& t) { return !t.empty(); });
    };
    return any(VarChartDisplay.LocationLabels) || any(VarChartDisplay.DispersionLabels);
}

std::string SizingHint(int position) {
    std::string text = "Location/Dispersion Chart Sizing (";
    if (position <= 10) return text + "0%/100%)";
    if (position >= 90) return text + "100%/0%)";
    return text + std::to_string(position) + "%/" + std::to_string(100 - position) + "%)";
}

namespace {

// The limit rows of one half of the chart, one value per point.
TControlHalf HalfOf(const TChartArray& p, int count, int clRow, int seRow, int lclRow, int uclRow) {
    const auto n = static_cast<std::size_t>(count);
    // The rows count points from 1.
    return {.CL = {p.Row(clRow) + 1, n},
            .SE = {p.Row(seRow) + 1, n},
            .LCL = {p.Row(lclRow) + 1, n},
            .UCL = {p.Row(uclRow) + 1, n}};
}

// The position labels: the point numbers, or the label column's texts.
std::vector<std::string> PositionLabels(const TChartArray& p, int count, int labelColumn) {
    std::vector<std::string> labels;
    labels.reserve(static_cast<std::size_t>(count));
    const TDataTable& table = DataTable();
    for (int i = 1; i <= count; ++i) {
        if (labelColumn > 0) {
            const double row = p(kRowPosition, i);
            const bool inTable = PresentFinite(row) && row >= 1 && row <= table.RowCount() &&
                                 labelColumn <= table.ColumnCount();
            labels.emplace_back(inTable ? table.Cell(labelColumn, static_cast<int>(row)) : "");
        } else {
            labels.push_back(std::to_string(i));
        }
    }
    return labels;
}

// Everything the steps of the variables chart's scene read, taken once from the chart's state.
struct TVarSceneBuild {
    TChartScene& Scene;
    const TVarChartSettings& S = VarChartSettings;
    const TVarChartDisplay& D = VarChartDisplay;
    const TChartArray& P = VarChart.Points;
    const int Count = VarChart.Count;
    const bool BlackAndWhite = ChartsBlackAndWhite;
    const bool Loc = LocationChartShown();
    const bool Disp = DispersionChartShown();
    const bool PlotLoc = Loc && !D.RemoveLocation;
    const bool Sets = S.SetColumn > 0;
    const int LocPanel = 0;
    const int DispPanel = Loc ? 1 : 0;
    const double Width = D.LineThickness;
    const TControlPens Pens = ControlPens(BlackAndWhite, Width);
    const std::string LocName = ChartKindName(S.LocationChart);
    const std::string DispName = ChartKindName(S.DispersionChart);
    const std::string DispTitle = DispersionAxisTitle(S.DispersionChart);
    TPositions Positions;
    TControlHalf LocHalf, DispHalf;
    TValueRange LocRange, DispRange;

    explicit TVarSceneBuild(TChartScene& scene) : Scene(scene) {}
    // Without points (a chart list without charts) there is no chart to draw.
    bool HasChart() const { return (Loc || Disp) && Count > 0 && P.Capacity() >= Count + 3; }
    double X(int i) const { return Positions.X[static_cast<std::size_t>(i) - 1]; }
    template <class F> std::vector<double> Column(F&& value) const {
        std::vector<double> v;
        v.reserve(static_cast<std::size_t>(Count));
        for (int i = 1; i <= Count; ++i)
            v.push_back(value(i));
        return v;
    }
};

// One or two panels over the same positions, the title and the axis titles.
void AddPanels(TVarSceneBuild& b) {
    const TVarChartSettings& s = b.S;
    b.Scene.TitleLines.push_back(VarChartTitle(b.Loc, b.Disp));
    b.Positions = PositionsWithBreaks(b.Count, [&](int i) { return b.P(kRowBreak, i + 1) == 1; });
    const bool labelColumn = s.AxisLabelColumn > 0;
    const TSceneAxis xAxis =
        PositionAxis(b.Positions, PositionLabels(b.P, b.Count, s.AxisLabelColumn),
                     labelColumn ? ColumnLabel(s.AxisLabelColumn) : "Point", labelColumn ? 315 : 0);
    const auto addPanel = [&](const std::string& title, bool last) {
        TSceneAxis x = xAxis;
        if (!last) x.Title.clear();
        b.Scene.Panels.push_back({.X = std::move(x),
                                  .Y = {.Title = title, .Decimals = b.D.AxisDecimals},
                                  .Row = static_cast<int>(b.Scene.Panels.size()),
                                  .XLink = 0});
    };
    if (b.Loc) addPanel(b.LocName, !b.Disp);
    if (b.Disp) addPanel(b.DispTitle, true);
    if (b.Loc && b.Disp) {
        const double split = b.D.Sizing / 100.0;
        b.Scene.RowWeights = {split, 1 - split};
    }
}

// The statistics' and the limits' extremes start the vertical ranges (the dispersion chart's on
// the main axis when it is alone).
void StartRanges(TVarSceneBuild& b) {
    const TChartArray& p = b.P;
    const int n = b.Count;
    if (b.Loc) {
        b.LocRange.Add(p(kRowLocation, n + 1));
        b.LocRange.Add(p(kRowLocation, n + 2));
        if (b.PlotLoc)
            for (int row = kRowLocLCL; row <= kRowLocUCL; ++row) {
                b.LocRange.Add(p(row, n + 1));
                b.LocRange.Add(p(row, n + 2));
            }
    }
    TValueRange& disp = b.Loc ? b.DispRange : b.LocRange;
    if (b.Disp) {
        disp.Add(p(kRowDispersion, n + 1));
        disp.Add(p(kRowDispersion, n + 2));
        for (int row = kRowDispLCL; row <= kRowDispUCL; ++row) {
            disp.Add(p(row, n + 1));
            disp.Add(p(row, n + 2));
        }
    }
}

// Zones under everything, then each half's zone edges and limit lines.
void AddLimits(TVarSceneBuild& b) {
    if (b.PlotLoc) b.LocHalf = HalfOf(b.P, b.Count, kRowLocCL, kRowLocSE, kRowLocLCL, kRowLocUCL);
    if (b.Disp) b.DispHalf = HalfOf(b.P, b.Count, kRowDispCL, kRowDispSE, kRowDispLCL, kRowDispUCL);
    if (b.D.ShowZones) {
        if (b.PlotLoc) AddZones(b.Scene, b.LocPanel, b.Positions, b.LocHalf, b.BlackAndWhite);
        if (b.Disp) AddZones(b.Scene, b.DispPanel, b.Positions, b.DispHalf, b.BlackAndWhite);
    }
    if (!b.PlotLoc) return;
    if (b.D.ShowZones)
        AddZoneEdges(b.Scene, b.LocPanel, b.Positions, b.LocHalf, b.Pens, "Series_zone1a",
                     "Upper Zone 1 Line", "Series_zone1b", "Lower Zone 1 Line");
    AddLimitLines(
        b.Scene, b.LocPanel, b.Positions, b.LocHalf, b.Pens,
        {"Series_LCL", "Series_CL", "Series_UCL", "Location LCL", "Location Centerline", "Location UCL"});
}

// Specification lines across every position.
void AddSpecifications(TVarSceneBuild& b) {
    if (!b.D.ShowSpecs || !b.Loc) return;
    const struct {
        const char* name;
        const char* hover;
        double value;
        TSceneColor color;
    } specs[] = {{"Series_USL", "Upper Spec Limit", ColumnUSL(VarChart.Column), b.Pens.Limit},
                 {"Series_Target", "Target", ColumnTarget(VarChart.Column),
                  b.BlackAndWhite ? kColorBlack : kColorGreen},
                 {"Series_LSL", "Lower Spec Limit", ColumnLSL(VarChart.Column), b.Pens.Limit}};
    for (const auto& spec : specs) {
        if (!PresentFinite(spec.value)) continue;
        AddLineAcross(b.Scene,
                      {.Panel = b.LocPanel,
                       .Name = spec.name,
                       .Hover = spec.hover,
                       .Color = spec.color,
                       .Width = b.Width,
                       .Style = TLineStyle::Dash},
                      spec.value);
        b.LocRange.Add(spec.value);
    }
}

// ±3 sigma lines.
void AddSigmaLines(TVarSceneBuild& b) {
    if (!b.D.ShowSigmaLines || !b.Loc) return;
    const auto sigma = [&](const char* name, const char* hover, double sign) {
        const std::vector<double> y = b.Column([&](int i) {
            const double v = Offset(b.P(kRowGrandMean, i), sign * 3, b.P(kRowSigma, i));
            if (IsGap(v) || (b.S.PositiveLimitsOnly && v < 0)) return kGap;
            b.LocRange.Add(v);
            return v;
        });
        AddStepLine(
            b.Scene,
            {.Panel = b.LocPanel, .Name = name, .Hover = hover, .Width = b.Width, .Style = TLineStyle::Dot},
            b.Positions, y);
    };
    sigma("Series_Plus3Sigma", "Plus 3 Sigma Line", 1);
    sigma("Series_Minus3Sigma", "Minus 3 Sigma Line", -1);
}

// The dispersion half's zone edges and limit lines.
void AddDispersionLimits(TVarSceneBuild& b) {
    if (!b.Disp) return;
    if (b.D.ShowZones)
        AddZoneEdges(b.Scene, b.DispPanel, b.Positions, b.DispHalf, b.Pens, "Series_zone1c",
                     "Upper Zone 2 Line", "Series_zone1d", "Lower Zone 2 Line");
    AddLimitLines(b.Scene, b.DispPanel, b.Positions, b.DispHalf, b.Pens,
                  {"Series_DLCL", "Series_DCL", "Series_DUCL", "Dispersion LCL", "Dispersion Centerline",
                   "Dispersion UCL"});
}

// Violation codes at the top of the main axis: the dispersion chart's, then the location chart's.
void AddCodes(TVarSceneBuild& b) {
    if (!b.D.ShowCodes || !b.D.ShowViolations) return;
    AddCodeMarks(
        b.Scene, 0, b.Positions,
        [&](int i) {
            const std::string locCodes = b.Loc ? ControlCodes(0, i + 1) : std::string();
            const std::string dispCodes = b.Disp ? ControlCodes(1, i + 1) : std::string();
            std::string text = dispCodes;
            if (!dispCodes.empty() && !locCodes.empty()) text += " | ";
            return text + locCodes;
        },
        b.D.PointSize + 8);
}

// Every value of the subgroups ("Show All Points"), then the statistics.
void AddPoints(TVarSceneBuild& b) {
    const TVarChartDisplay& d = b.D;
    if (b.S.ShowAllPoints && b.Loc) {
        TPointSeries all{.Panel = b.LocPanel,
                         .Name = "Series_AllPoints",
                         .Hover = "Individual Point",
                         .Size = static_cast<double>(d.PointSize / 2 + 1),
                         .LineWidth = b.Width};
        for (int i = 1; i <= b.Count; ++i) {
            const std::vector<double> values = SubgroupValues(i);
            if (values.size() < 2) continue;
            for (double v : values) {
                all.X.push_back(b.X(i));
                all.Y.push_back(v);
                b.LocRange.Add(v);
            }
        }
        all.Colors.assign(all.X.size(), kColorBlack);
        b.Scene.Points.push_back(std::move(all));
    }
    const TSceneColor pointColor = b.BlackAndWhite ? kColorBlack : kColorBlue;
    const TSceneColor violationColor = b.BlackAndWhite ? kColorNearBlack : kColorRed;
    const auto statistic = [&](const char* name, const char* hover, TSceneRole role, int panel, int valueRow,
                               int slot) {
        TPointSeries series{.Panel = panel,
                            .Name = name,
                            .Hover = hover,
                            .Role = role,
                            .X = b.Positions.X,
                            .Y = b.Column([&](int i) { return Drawable(b.P(valueRow, i)); }),
                            .Size = static_cast<double>(d.PointSize),
                            .LineWidth = b.Width};
        const auto n = static_cast<std::size_t>(b.Count);
        series.Colors.assign(n, pointColor);
        if (b.BlackAndWhite) series.Hollow.assign(n, 0);
        if (d.Connect) series.JoinPrevious.assign(n, 0);
        for (int i = 1; i <= b.Count; ++i) {
            const auto k = static_cast<std::size_t>(i) - 1;
            if (d.ShowViolations && !RawControlCode(slot, i).empty()) {
                series.Colors[k] = violationColor;
                if (b.BlackAndWhite) series.Hollow[k] = 1;
            }
            // A line joins a point to the one before in its set, unless a break lies between.
            if (d.Connect)
                series.JoinPrevious[k] = i > 1 && !b.Positions.BreakBefore[k] &&
                                         (!b.Sets || b.P(kRowSet, i) == b.P(kRowSet, i - 1));
        }
        b.Scene.Points.push_back(std::move(series));
    };
    if (b.PlotLoc)
        statistic("Series_Loc", "Location Statistic", TSceneRole::LocationStatistic, b.LocPanel, kRowLocation,
                  0);
    if (b.Disp)
        statistic("Series_Disp", "Dispersion Statistic", TSceneRole::DispersionStatistic, b.DispPanel,
                  kRowDispersion, 1);
}

// Point labels at their positions; a label belongs to its point: a missing point shows none.
void AddPointLabels(TVarSceneBuild& b) {
    const auto labels = [&](bool shown, int panel, const std::vector<std::string>& texts, int valueRow) {
        if (!shown) return;
        for (int i = 1; i <= b.Count; ++i) {
            const auto at = static_cast<std::size_t>(b.X(i));
            if (at < texts.size() && !texts[at].empty() && PresentFinite(b.P(valueRow, i)))
                b.Scene.PointLabels.push_back(
                    {.Panel = panel, .X = b.X(i), .Y = b.P(valueRow, i), .Text = texts[at]});
        }
    };
    labels(b.PlotLoc, b.LocPanel, b.D.LocationLabels, kRowLocation);
    labels(b.Disp, b.DispPanel, b.D.DispersionLabels, kRowDispersion);
}

void AddSets(TVarSceneBuild& b) {
    if (!b.Sets) return;
    AddSetSeparators(
        b.Scene, b.Positions, [&](int i) { return b.P(kRowSet, i + 1); },
        [](int set) { return SetLabel(set); }, b.D.LineThickness + 2);
}

// Every line drawn counts for its panel's range (the zone edges too: with less than one standard
// error to the limits they lie beyond them); then the headroom and the floors.
void FitRanges(TVarSceneBuild& b) {
    TChartScene& scene = b.Scene;
    const auto rangeOf = [&](int panel) -> TValueRange& { return panel == 0 ? b.LocRange : b.DispRange; };
    for (const TLineSeries& line : scene.Lines)
        for (const auto& run : line.RunsY)
            for (double y : run)
                rangeOf(line.Panel).Add(y);
    // "Positive Limits Only" keeps the axis above 0 unless a value lies below it.
    bool negativeValue = false;
    for (const TPointSeries& series : scene.Points)
        if (series.Panel == b.LocPanel)
            negativeValue = negativeValue ||
                            std::any_of(series.Y.begin(), series.Y.end(), [](double y) { return y < 0; });
    b.LocRange.Extend(20);
    if (b.S.PositiveLimitsOnly && b.Loc && !negativeValue) b.LocRange.Min = std::max(b.LocRange.Min, 0.0);
    if (!b.Loc) b.LocRange.Min = std::max(b.LocRange.Min, 0.0);
    b.DispRange.Extend(b.Loc && b.Disp ? 10 : 20);
    b.DispRange.Min = std::max(b.DispRange.Min, 0.0);
    b.LocRange.Settle();
    b.DispRange.Settle();
    scene.Panels[0].Y.Min = b.LocRange.Min;
    scene.Panels[0].Y.Max = b.LocRange.Max;
    if (b.Loc && b.Disp) {
        scene.Panels[1].Y.Min = b.DispRange.Min;
        scene.Panels[1].Y.Max = b.DispRange.Max;
    }
    KeepInsidePanels(scene);
}

// With only the dispersion chart, every hover text speaks of the dispersion chart.
void NameTheDispersionChartAlone(TVarSceneBuild& b) {
    if (b.Loc) return;
    const auto rename = [](std::string& text) {
        const std::size_t at = text.find("Location");
        if (at != std::string::npos) text.replace(at, 8, "Dispersion");
    };
    for (auto& line : b.Scene.Lines)
        rename(line.Hover);
    for (auto& series : b.Scene.Points)
        rename(series.Hover);
}

// Footer: limit information, then the modifications.
void AddFooter(TVarSceneBuild& b) {
    const TChartArray& p = b.P;
    const TVarChartSettings& s = b.S;
    if (b.D.AddLimitInfo) {
        const std::size_t w = b.Loc && b.Disp ? std::max(CharCount(b.LocName), CharCount(b.DispTitle))
                                              : CharCount(b.Scene.Panels[0].Y.Title);
        const int i = b.Count;
        // The values are the last point's: with several sets they hold for its set only, and
        // every line says which.
        std::string ofSet;
        if (b.Sets && VarChart.LowSet != VarChart.HighSet) {
            std::string label = SetLabel(static_cast<int>(p(kRowSet, i)));
            label.erase(0, label.find_first_not_of(' '));
            label.erase(label.find_last_not_of(' ') + 1);
            ofSet = " (" + label + ")";
        }
        const auto info = [&](const std::string& title, bool limits, int pad, std::string method, int ucl,
                              int cl, int lcl, int slot) {
            AddLimitInformation(b.Scene,
                                {.ChartTitle = title,
                                 .Limits = limits,
                                 .Pad = pad,
                                 .UCL = Significant(p(ucl, i)),
                                 .LCL = Significant(p(lcl, i)),
                                 .CL = Significant(p(cl, i)),
                                 .Method = std::move(method),
                                 .CenterlineName = CenterlineName(slot),
                                 .OfSet = ofSet},
                                w);
        };
        if (b.Loc && s.LocationMethod != kMethodNone)
            info(b.LocName, LocationLimitsShown(), 6, LimitMethodNames[s.LocationMethod], kRowLocUCL,
                 kRowLocCL, kRowLocLCL, 0);
        if (b.Disp && s.DispersionMethod != kMethodNone)
            info(b.DispTitle, DispersionLimitsShown(), 7, FillLimitName(s.DispersionMethod, b.DispName),
                 kRowDispUCL, kRowDispCL, kRowDispLCL, 1);
    }
    if (b.D.AddModifications) {
        TSelectionSummary summary;
        if (SelectionSummary(summary) && !summary.Inline.empty()) {
            if (!b.Scene.FooterLines.empty()) b.Scene.FooterLines.emplace_back();
            b.Scene.FooterLines.insert(b.Scene.FooterLines.begin(), summary.Inline);
        }
    }
}

} // namespace

void RedrawChart(TChartScene& scene) {
    // Every drawing is a new version of the chart: the point information follows it.
    ++ChartVersion;
    scene = TChartScene{};
    TVarSceneBuild b(scene);
    scene.TextColor = b.BlackAndWhite ? kColorBlack : kColorBlue;
    if (!b.HasChart()) return;
    AddPanels(b);
    StartRanges(b);
    AddLimits(b);
    AddSpecifications(b);
    AddSigmaLines(b);
    AddDispersionLimits(b);
    AddCodes(b);
    AddPoints(b);
    AddPointLabels(b);
    AddSets(b);
    FitRanges(b);
    NameTheDispersionChartAlone(b);
    AddFooter(b);
}

} // namespace kivspc
