// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/VARchartScene.h"

#include "app/MissingValue.h"
#include "app/NumberFormat.h"
#include "app/TextTools.h"
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

bool Present(double v) { return NotMissing(v) && std::isfinite(v); }

const char* TypeName(int type) {
    return type >= 0 && type < static_cast<int>(ChartTypeNames.size())
               ? ChartTypeNames[static_cast<std::size_t>(type)]
               : "";
}

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

std::string SetLabel(int set) {
    const int column = VarChartSettings.SetColumn;
    const bool known = column >= 1 && column <= std::min(kMaxColumns, DataTable().ColumnCount());
    const std::string text = known && DataList.IsText[static_cast<std::size_t>(column)]
                                 ? LevelText(column, set)
                                 : FormatTrimmed(set);
    if (!known) return " " + text + " ";
    return " " + ColumnLabel(column) + "=" + text + " ";
}

} // namespace

bool LocationChartShown() {
    return VarChartSettings.LocationChart != kChartTypeNone && VarChartDisplay.Sizing > 10;
}
bool DispersionChartShown() {
    return VarChartSettings.DispersionChart != kChartTypeNone && VarChartDisplay.Sizing < 90;
}
bool LocationLimitsShown() { return LocationChartShown() && VarChartSettings.LocationMethod > 1; }
bool DispersionLimitsShown() { return DispersionChartShown() && VarChartSettings.DispersionMethod > 1; }

TVarChartMenuState ApplyVarChartMenuRules() {
    TVarChartDisplay& d = VarChartDisplay;
    TVarChartSettings& s = VarChartSettings;
    const bool x = s.LocationChart == kChartTypeX;
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
    if (VarChartSettings.LocationChart != kChartTypeX) VarChartDisplay.ShowSpecs = false;
}

std::string VarChartTitle(bool location, bool dispersion) {
    const TVarChartSettings& s = VarChartSettings;
    std::string title;
    if (location && dispersion)
        title = std::string(TypeName(s.LocationChart)) + " and " + TypeName(s.DispersionChart) + " Chart: ";
    else if (location)
        title = std::string(TypeName(s.LocationChart)) + " Chart: ";
    else if (dispersion)
        title = std::string(TypeName(s.DispersionChart)) + " Chart: ";
    title += ColumnLabel(VarChart.Column);
    if (s.DataLayout > 7) title += " (" + GroupLabel(VarChart.Group, s.RunInfo) + ")";
    return title;
}

std::string DispersionAxisTitle(int chartType) {
    switch (chartType) {
    case kChartTypeMovingRange: return "MR";
    case kChartTypeRange: return "R";
    case kChartTypeStdDev: return "s";
    case kChartTypeVariance: return "s²";
    default: return {};
    }
}

std::string CenterlineName(int slot) {
    const TVarChartSettings& s = VarChartSettings;
    const int code = slot == 0 ? s.LocationCenterline : s.DispersionCenterline;
    std::string name =
        FillLimitName(21 + code, slot == 0 ? TypeName(s.LocationChart) : TypeName(s.DispersionChart));
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
    TControlHalf half;
    const auto row = [&](int r) {
        std::vector<double> v(static_cast<std::size_t>(count));
        for (int i = 1; i <= count; ++i)
            v[static_cast<std::size_t>(i) - 1] = Drawable(p(r, i));
        return v;
    };
    half.CL = row(clRow);
    half.SE = row(seRow);
    half.LCL = row(lclRow);
    half.UCL = row(uclRow);
    return half;
}

// The position labels: the point numbers, or the label column's texts.
std::vector<std::string> PositionLabels(const TChartArray& p, int count, int labelColumn) {
    std::vector<std::string> labels;
    labels.reserve(static_cast<std::size_t>(count));
    const TDataTable& table = DataTable();
    for (int i = 1; i <= count; ++i) {
        if (labelColumn > 0) {
            const double row = p(kRowPosition, i);
            const bool inTable =
                Present(row) && row >= 1 && row <= table.RowCount() && labelColumn <= table.ColumnCount();
            labels.emplace_back(inTable ? table.Cell(labelColumn, static_cast<int>(row)) : "");
        } else {
            labels.push_back(std::to_string(i));
        }
    }
    return labels;
}

} // namespace

void RedrawChart(TChartScene& scene) {
    scene = TChartScene{};
    const TVarChartSettings& s = VarChartSettings;
    const TVarChartDisplay& d = VarChartDisplay;
    const TChartArray& p = VarChart.Points;
    const int count = VarChart.Count;
    const bool bw = ChartsBlackAndWhite;
    const bool loc = LocationChartShown();
    const bool disp = DispersionChartShown();
    const bool plotLoc = loc && !d.RemoveLocation;
    const int locPanel = 0;
    const int dispPanel = loc ? 1 : 0;
    const double width = d.LineThickness;
    const TControlPens pens = ControlPens(bw, width);
    const TSceneColor pointColor = bw ? kColorBlack : kColorBlue;
    const TSceneColor violationColor = bw ? kColorNearBlack : kColorRed;
    scene.TextColor = bw ? kColorBlack : kColorBlue;
    // Without points (a chart list without charts) there is no chart to draw.
    if ((!loc && !disp) || count <= 0 || p.Capacity() < count + 3) return;

    // The page: one or two panels over the same positions, the title and axis titles.
    const std::string locName = TypeName(s.LocationChart);
    const std::string dispName = TypeName(s.DispersionChart);
    const std::string dispTitle = DispersionAxisTitle(s.DispersionChart);
    scene.TitleLines.push_back(VarChartTitle(loc, disp));
    const TPositions positions = PositionsWithBreaks(count, [&](int i) { return p(kRowBreak, i + 1) == 1; });
    const bool labelColumn = s.AxisLabelColumn > 0;
    TSceneAxis xAxis =
        PositionAxis(positions, PositionLabels(p, count, s.AxisLabelColumn),
                     labelColumn ? ColumnLabel(s.AxisLabelColumn) : "Point", labelColumn ? 315 : 0);
    const auto addPanel = [&](const std::string& title, bool last) {
        TSceneAxis x = xAxis;
        if (!last) x.Title.clear();
        scene.Panels.push_back({.X = std::move(x),
                                .Y = {.Title = title, .Decimals = d.AxisDecimals},
                                .Row = static_cast<int>(scene.Panels.size()),
                                .XLink = 0});
    };
    if (loc) addPanel(locName, !disp);
    if (disp) addPanel(dispTitle, true);
    if (loc && disp) {
        const double split = d.Sizing / 100.0;
        scene.RowWeights = {split, 1 - split};
    }

    // Vertical ranges: the statistics' and the limits' extremes.
    TValueRange locRange, dispRange;
    if (loc) {
        locRange.Add(p(kRowLocation, count + 1));
        locRange.Add(p(kRowLocation, count + 2));
        if (plotLoc)
            for (int row = kRowLocLCL; row <= kRowLocUCL; ++row) {
                locRange.Add(p(row, count + 1));
                locRange.Add(p(row, count + 2));
            }
    }
    TValueRange& dispTarget = loc ? dispRange : locRange;
    if (disp) {
        dispTarget.Add(p(kRowDispersion, count + 1));
        dispTarget.Add(p(kRowDispersion, count + 2));
        for (int row = kRowDispLCL; row <= kRowDispUCL; ++row) {
            dispTarget.Add(p(row, count + 1));
            dispTarget.Add(p(row, count + 2));
        }
    }

    const TControlHalf locHalf =
        plotLoc ? HalfOf(p, count, kRowLocCL, kRowLocSE, kRowLocLCL, kRowLocUCL) : TControlHalf{};
    const TControlHalf dispHalf =
        disp ? HalfOf(p, count, kRowDispCL, kRowDispSE, kRowDispLCL, kRowDispUCL) : TControlHalf{};
    const auto column = [&](auto&& value) {
        std::vector<double> v(static_cast<std::size_t>(count));
        for (int i = 1; i <= count; ++i)
            v[static_cast<std::size_t>(i) - 1] = value(i);
        return v;
    };

    // Zones first, so that lines and points are drawn over them.
    if (d.ShowZones) {
        if (plotLoc) AddZones(scene, locPanel, positions, locHalf, bw);
        if (disp) AddZones(scene, dispPanel, positions, dispHalf, bw);
    }
    if (plotLoc) {
        if (d.ShowZones)
            AddZoneEdges(scene, locPanel, positions, locHalf, pens, "Series_zone1a", "Upper Zone 1 Line",
                         "Series_zone1b", "Lower Zone 1 Line");
        AddLimitLines(
            scene, locPanel, positions, locHalf, pens,
            {"Series_LCL", "Series_CL", "Series_UCL", "Location LCL", "Location Centerline", "Location UCL"});
    }
    // Specification lines across every position.
    if (d.ShowSpecs && loc) {
        const struct {
            const char* name;
            const char* hover;
            double value;
            TSceneColor color;
        } specs[] = {
            {"Series_USL", "Upper Spec Limit", ColumnUSL(VarChart.Column), pens.Limit},
            {"Series_Target", "Target", ColumnTarget(VarChart.Column), bw ? kColorBlack : kColorGreen},
            {"Series_LSL", "Lower Spec Limit", ColumnLSL(VarChart.Column), pens.Limit}};
        for (const auto& spec : specs) {
            if (!Present(spec.value)) continue;
            AddLineAcross(scene,
                          {.Panel = locPanel,
                           .Name = spec.name,
                           .Hover = spec.hover,
                           .Color = spec.color,
                           .Width = width,
                           .Style = TLineStyle::Dash},
                          spec.value);
            locRange.Add(spec.value);
        }
    }
    // ±3 sigma lines.
    if (d.ShowSigmaLines && loc) {
        const auto sigma = [&](const char* name, const char* hover, double sign) {
            const std::vector<double> y = column([&](int i) {
                const double v = Offset(p(kRowGrandMean, i), sign * 3, p(kRowSigma, i));
                if (IsGap(v) || (s.PositiveLimitsOnly && v < 0)) return kGap;
                locRange.Add(v);
                return v;
            });
            AddStepLine(
                scene,
                {.Panel = locPanel, .Name = name, .Hover = hover, .Width = width, .Style = TLineStyle::Dot},
                positions, y);
        };
        sigma("Series_Plus3Sigma", "Plus 3 Sigma Line", 1);
        sigma("Series_Minus3Sigma", "Minus 3 Sigma Line", -1);
    }
    // Dispersion limits (on the main axis when the location chart is not shown).
    if (disp) {
        if (d.ShowZones)
            AddZoneEdges(scene, dispPanel, positions, dispHalf, pens, "Series_zone1c", "Upper Zone 2 Line",
                         "Series_zone1d", "Lower Zone 2 Line");
        AddLimitLines(scene, dispPanel, positions, dispHalf, pens,
                      {"Series_DLCL", "Series_DCL", "Series_DUCL", "Dispersion LCL", "Dispersion Centerline",
                       "Dispersion UCL"});
    }

    // Violation codes at the top of the main axis.
    if (d.ShowCodes && d.ShowViolations)
        AddCodeMarks(
            scene, 0, positions,
            [&](int i) {
                const std::string locCodes = loc ? ControlCodes(0, i + 1) : std::string();
                const std::string dispCodes = disp ? ControlCodes(1, i + 1) : std::string();
                std::string text = dispCodes;
                if (!dispCodes.empty() && !locCodes.empty()) text += " | ";
                return text + locCodes;
            },
            d.PointSize + 8);

    // Points.
    const bool sets = s.SetColumn > 0;
    const auto xOf = [&](int i) { return positions.X[static_cast<std::size_t>(i) - 1]; };
    if (s.ShowAllPoints && loc) {
        TPointSeries all{.Panel = locPanel,
                         .Name = "Series_AllPoints",
                         .Hover = "Individual Point",
                         .Size = static_cast<double>(d.PointSize / 2 + 1),
                         .LineWidth = width};
        for (int i = 1; i <= count; ++i) {
            const std::vector<double> values = SubgroupValues(i);
            if (values.size() < 2) continue;
            for (double v : values) {
                all.X.push_back(xOf(i));
                all.Y.push_back(v);
                locRange.Add(v);
            }
        }
        all.Colors.assign(all.X.size(), kColorBlack);
        scene.Points.push_back(std::move(all));
    }
    const auto statistic = [&](const char* name, const char* hover, TSceneRole role, int panel, int valueRow,
                               int slot) {
        TPointSeries series{.Panel = panel,
                            .Name = name,
                            .Hover = hover,
                            .Role = role,
                            .X = positions.X,
                            .Y = column([&](int i) { return Drawable(p(valueRow, i)); }),
                            .Size = static_cast<double>(d.PointSize),
                            .LineWidth = width};
        const auto n = static_cast<std::size_t>(count);
        series.Colors.assign(n, pointColor);
        if (bw) series.Hollow.assign(n, 0);
        if (d.Connect) series.JoinPrevious.assign(n, 0);
        for (int i = 1; i <= count; ++i) {
            const auto k = static_cast<std::size_t>(i) - 1;
            if (d.ShowViolations && !RawControlCode(slot, i).empty()) {
                series.Colors[k] = violationColor;
                if (bw) series.Hollow[k] = 1;
            }
            // A line joins a point to the one before in its set, unless a break lies between.
            if (d.Connect)
                series.JoinPrevious[k] =
                    i > 1 && !positions.BreakBefore[k] && (!sets || p(kRowSet, i) == p(kRowSet, i - 1));
        }
        scene.Points.push_back(std::move(series));
    };
    if (plotLoc)
        statistic("Series_Loc", "Location Statistic", TSceneRole::LocationStatistic, locPanel, kRowLocation,
                  0);
    if (disp)
        statistic("Series_Disp", "Dispersion Statistic", TSceneRole::DispersionStatistic, dispPanel,
                  kRowDispersion, 1);

    // Point labels at their positions; a label belongs to its point: a missing point shows none.
    const auto labels = [&](bool shown, int panel, const std::vector<std::string>& texts, int valueRow) {
        if (!shown) return;
        for (int i = 1; i <= count; ++i) {
            const auto at = static_cast<std::size_t>(xOf(i));
            if (at < texts.size() && !texts[at].empty() && Present(p(valueRow, i)))
                scene.PointLabels.push_back(
                    {.Panel = panel, .X = xOf(i), .Y = p(valueRow, i), .Text = texts[at]});
        }
    };
    labels(plotLoc, locPanel, d.LocationLabels, kRowLocation);
    labels(disp, dispPanel, d.DispersionLabels, kRowDispersion);

    if (sets)
        AddSetSeparators(
            scene, positions, [&](int i) { return p(kRowSet, i + 1); }, [](int set) { return SetLabel(set); },
            d.LineThickness + 2);

    // Ranges. Every line drawn counts for its panel (the zone edges too: with less than one
    // standard error to the limits they lie beyond them).
    const auto rangeOf = [&](int panel) -> TValueRange& { return panel == 0 ? locRange : dispRange; };
    for (const TLineSeries& line : scene.Lines)
        for (const auto& run : line.RunsY)
            for (double y : run)
                rangeOf(line.Panel).Add(y);
    // "Positive Limits Only" keeps the axis above 0 unless a value lies below it.
    bool negativeValue = false;
    for (const TPointSeries& series : scene.Points)
        if (series.Panel == locPanel)
            negativeValue = negativeValue ||
                            std::any_of(series.Y.begin(), series.Y.end(), [](double y) { return y < 0; });
    locRange.Extend(20);
    if (s.PositiveLimitsOnly && loc && !negativeValue) locRange.Min = std::max(locRange.Min, 0.0);
    if (!loc) locRange.Min = std::max(locRange.Min, 0.0);
    dispRange.Extend(loc && disp ? 10 : 20);
    dispRange.Min = std::max(dispRange.Min, 0.0);
    locRange.Settle();
    dispRange.Settle();
    scene.Panels[0].Y.Min = locRange.Min;
    scene.Panels[0].Y.Max = locRange.Max;
    if (loc && disp) {
        scene.Panels[1].Y.Min = dispRange.Min;
        scene.Panels[1].Y.Max = dispRange.Max;
    }
    KeepInsidePanels(scene);

    // With only the dispersion chart, every hover text speaks of the dispersion chart.
    if (!loc) {
        const auto rename = [](std::string& text) {
            const std::size_t at = text.find("Location");
            if (at != std::string::npos) text.replace(at, 8, "Dispersion");
        };
        for (auto& line : scene.Lines)
            rename(line.Hover);
        for (auto& series : scene.Points)
            rename(series.Hover);
    }

    // Footer: limit information, then the modifications.
    if (d.AddLimitInfo) {
        const std::size_t w = loc && disp ? std::max(CharCount(locName), CharCount(dispTitle))
                                          : CharCount(scene.Panels[0].Y.Title);
        const int i = count;
        // The values are the last point's: with several sets they hold for its set only, and
        // every line says which.
        std::string ofSet;
        if (sets && VarChart.LowSet != VarChart.HighSet) {
            std::string label = SetLabel(static_cast<int>(p(kRowSet, i)));
            label.erase(0, label.find_first_not_of(' '));
            label.erase(label.find_last_not_of(' ') + 1);
            ofSet = " (" + label + ")";
        }
        const auto info = [&](const std::string& title, bool limits, int pad, std::string method, int ucl,
                              int cl, int lcl, int slot) {
            AddLimitInformation(scene,
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
        if (loc && s.LocationMethod != kMethodNone)
            info(locName, LocationLimitsShown(), 6, LimitMethodNames[s.LocationMethod], kRowLocUCL, kRowLocCL,
                 kRowLocLCL, 0);
        if (disp && s.DispersionMethod != kMethodNone)
            info(dispTitle, DispersionLimitsShown(), 7, FillLimitName(s.DispersionMethod, dispName),
                 kRowDispUCL, kRowDispCL, kRowDispLCL, 1);
    }
    if (d.AddModifications) {
        TSelectionSummary summary;
        if (SelectionSummary(summary) && !summary.Inline.empty()) {
            if (!scene.FooterLines.empty()) scene.FooterLines.emplace_back();
            scene.FooterLines.insert(scene.FooterLines.begin(), summary.Inline);
        }
    }
}

} // namespace kivspc
