// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/VARchartScene.h"

#include "app/MissingValue.h"
#include "app/NumberFormat.h"
#include "app/TextTools.h"
#include "charts/ControlTests.h"
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
double GapIfMissing(double v) { return Present(v) ? v : kGap; }

constexpr double kLargest = std::numeric_limits<double>::max();
// A value held back to the doubles (infinities and NaN to the largest finite value of their side).
double Finite(Extended v) {
    if (std::isnan(v)) return 0;
    return static_cast<double>(std::clamp<Extended>(v, -kLargest, kLargest));
}
// centre + k times spread, or a gap when it is no double (sums beyond the largest double are
// formed in extended precision and dropped, never drawn at infinity).
double Offset(double centre, double k, double spread) {
    if (!Present(centre) || !Present(spread)) return kGap;
    const Extended v = static_cast<Extended>(centre) + static_cast<Extended>(k) * spread;
    return std::fabs(v) <= kLargest ? static_cast<double>(v) : kGap;
}

const char* TypeName(int type) {
    return type >= 0 && type < static_cast<int>(ChartTypeNames.size())
               ? ChartTypeNames[static_cast<std::size_t>(type)]
               : "";
}

// Smallest and largest value seen; empty until the first present value.
struct TRange {
    double Min = 0, Max = 0;
    bool Any = false;
    void Add(double v) {
        if (!Present(v)) return;
        if (!Any) {
            Min = Max = v;
            Any = true;
        } else {
            Min = std::min(Min, v);
            Max = std::max(Max, v);
        }
    }
    // Widens both ends by (max - min) / divisor; a range without extent gets one around it, so
    // the axis never collapses. Near the ends of the doubles the range stops at the largest
    // finite value.
    void Extend(double divisor) {
        if (!Any) {
            Min = 0;
            Max = 1;
            return;
        }
        Extended pad = (static_cast<Extended>(Max) - Min) / divisor;
        if (!(pad > 0)) pad = Min != 0 ? std::fabs(static_cast<Extended>(Min)) / divisor : 1;
        Min = Finite(Min - pad);
        Max = Finite(Max + pad);
    }
    // Makes the range drawable after a floor was put under it: finite, and not empty.
    void Settle() {
        Min = Finite(Min);
        Max = Finite(Max);
        if (!(Max > Min)) {
            const Extended pad = std::max<Extended>(1, std::fabs(static_cast<Extended>(Min)) / 20);
            Max = Finite(Max + pad);
            if (!(Max > Min)) Min = Finite(Max - pad);
        }
    }
};

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

// Five significant digits; beyond the digits a double holds, in exponent form ("1.2346e+300").
std::string Significant(double v) {
    if (!Present(v)) return "None";
    if (std::fabs(v) < 1e15) return FormatSignificant(5, v);
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 4);
    return std::string(buf, res.ptr);
}

// Zone bands of one chart: CL ± 1 SE green, 1-2 SE yellow, 2 SE to the limit red; in black and
// white only the 1-2 bands in silver. Neighbouring positions with the same bands share a rectangle.
class TZonePainter {
public:
    TZonePainter(TChartScene& scene, int panel, double spacing)
        : scene_(scene), panel_(panel), half_(spacing / 2) {}

    void Add(double x, double cl, double se, double lcl, double ucl, bool joinsPrevious) {
        previous_.swap(current_);
        current_.clear();
        if (!joinsPrevious) previous_.clear();
        if (!Present(cl) || !Present(se) || se <= 0) return;
        // The bands' edges are formed in extended precision and held to the doubles, so that a
        // band reaching past the largest double ends there instead of at infinity.
        const Extended lo = Present(lcl) ? lcl : -kLargest;
        const Extended hi = Present(ucl) ? ucl : kLargest;
        const Extended c = cl, e = se;
        const auto band = [&](Extended y0, Extended y1, TSceneColor color) {
            const double a = Finite(std::clamp(y0, lo, hi));
            const double b = Finite(std::clamp(y1, lo, hi));
            if (b > a) Put(x, a, b, color);
        };
        if (ChartsBlackAndWhite) {
            band(c - 2 * e, c - e, kColorSilver);
            band(c + e, c + 2 * e, kColorSilver);
            return;
        }
        if (Present(lcl)) band(lcl, c - 2 * e, kZoneRed);
        band(c - 2 * e, c - e, kZoneYellow);
        band(c - e, c + e, kZoneGreen);
        band(c + e, c + 2 * e, kZoneYellow);
        if (Present(ucl)) band(c + 2 * e, ucl, kZoneRed);
    }

private:
    // Extends the same band of the previous position when nothing separates them.
    void Put(double x, double y0, double y1, TSceneColor color) {
        for (std::size_t i : previous_) {
            TZoneRect& z = scene_.Zones[i];
            if (z.Y0 == y0 && z.Y1 == y1 && z.Color == color) {
                z.X1 = x + half_;
                current_.push_back(i);
                return;
            }
        }
        current_.push_back(scene_.Zones.size());
        scene_.Zones.push_back({x - half_, x + half_, y0, y1, color});
        scene_.ZonePanels.push_back(panel_);
    }

    TChartScene& scene_;
    int panel_;
    double half_;
    std::vector<std::size_t> previous_, current_;
};

// What a floor put under a panel's range cut off is not drawn: line vertices below it end their
// polyline, zone bands stop at the range's ends. The code marks stand at the top of the main panel.
void KeepInsidePanels(TChartScene& scene) {
    const auto inside = [&](int panel, double y) {
        const TScenePanel& range = scene.Panels[static_cast<std::size_t>(panel)];
        return y >= range.YMin && y <= range.YMax;
    };
    for (TLineSeries& line : scene.Lines) {
        std::vector<std::vector<double>> runsX, runsY;
        for (std::size_t r = 0; r < line.RunsX.size(); ++r) {
            bool open = false;
            for (std::size_t i = 0; i < line.RunsX[r].size() && i < line.RunsY[r].size(); ++i) {
                const double y = line.RunsY[r][i];
                if (!inside(line.Panel, y)) {
                    open = false;
                    continue;
                }
                if (!open) {
                    runsX.emplace_back();
                    runsY.emplace_back();
                    open = true;
                }
                runsX.back().push_back(line.RunsX[r][i]);
                runsY.back().push_back(y);
            }
        }
        // A lone vertex draws nothing.
        for (std::size_t r = runsX.size(); r-- > 0;)
            if (runsX[r].size() < 2) {
                runsX.erase(runsX.begin() + static_cast<std::ptrdiff_t>(r));
                runsY.erase(runsY.begin() + static_cast<std::ptrdiff_t>(r));
            }
        line.RunsX = std::move(runsX);
        line.RunsY = std::move(runsY);
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < scene.Zones.size(); ++i) {
        TZoneRect z = scene.Zones[i];
        const TScenePanel& range = scene.Panels[static_cast<std::size_t>(scene.ZonePanels[i])];
        z.Y0 = std::clamp(z.Y0, range.YMin, range.YMax);
        z.Y1 = std::clamp(z.Y1, range.YMin, range.YMax);
        if (!(z.Y1 > z.Y0)) continue;
        scene.ZonePanels[kept] = scene.ZonePanels[i];
        scene.Zones[kept++] = z;
    }
    scene.Zones.resize(kept);
    scene.ZonePanels.resize(kept);
    for (TTextMark& code : scene.Codes)
        code.Y = scene.Panels[0].YMax;
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
    const TSceneColor limitColor = bw ? kColorBlack : kColorRed;
    const TSceneColor centerColor = bw ? kColorBlack : kColorLime;
    const TSceneColor pointColor = bw ? kColorBlack : kColorBlue;
    const TSceneColor violationColor = bw ? kColorNearBlack : kColorRed;
    scene.TextColor = bw ? kColorBlack : kColorBlue;
    // Without points (a chart list without charts) there is no chart to draw.
    if ((!loc && !disp) || count <= 0 || p.Capacity() < count + 3) return;

    // Layout, title and axis titles.
    const std::string locName = TypeName(s.LocationChart);
    const std::string dispName = TypeName(s.DispersionChart);
    const std::string dispTitle = DispersionAxisTitle(s.DispersionChart);
    scene.TitleLines.push_back(VarChartTitle(loc, disp));
    const double split = loc && disp ? d.Sizing / 100.0 : 1.0;
    if (loc) scene.Panels.push_back({locName, 0, 1, 0, split, d.AxisDecimals});
    if (disp) scene.Panels.push_back({dispTitle, 0, 1, loc ? split : 0, 1, d.AxisDecimals});
    const bool labelColumn = s.AxisLabelColumn > 0;
    scene.XTitle = labelColumn ? ColumnLabel(s.AxisLabelColumn) : "Point";
    scene.XLabelAngle = labelColumn ? 315 : 0;

    // Positions: one more for every earlier break.
    std::vector<double> x(static_cast<std::size_t>(count) + 1, 0);
    std::vector<std::uint8_t> breakBefore(static_cast<std::size_t>(count) + 1, 0);
    {
        int extra = 0;
        for (int i = 1; i <= count; ++i) {
            x[static_cast<std::size_t>(i)] = i - 1 + extra;
            if (i < count && p(kRowBreak, i) == 1) {
                ++extra;
                breakBefore[static_cast<std::size_t>(i) + 1] = 1;
            }
        }
    }
    const double lastX = count > 0 ? x[static_cast<std::size_t>(count)] : 0;
    scene.XMin = -0.5;
    scene.XMax = lastX + 0.5;
    scene.XLabelAt.reserve(static_cast<std::size_t>(count));
    scene.XLabels.reserve(static_cast<std::size_t>(count));
    const TDataTable& table = DataTable();
    for (int i = 1; i <= count; ++i) {
        scene.XLabelAt.push_back(x[static_cast<std::size_t>(i)]);
        if (labelColumn) {
            const double row = p(kRowPosition, i);
            const bool inTable = Present(row) && row >= 1 && row <= table.RowCount() &&
                                 s.AxisLabelColumn <= table.ColumnCount();
            scene.XLabels.emplace_back(inTable ? table.Cell(s.AxisLabelColumn, static_cast<int>(row)) : "");
        } else {
            scene.XLabels.push_back(std::to_string(i));
        }
    }

    // Vertical ranges.
    TRange locRange, dispRange;
    if (loc) {
        locRange.Add(p(kRowLocation, count + 1));
        locRange.Add(p(kRowLocation, count + 2));
        if (plotLoc)
            for (int row = kRowLocLCL; row <= kRowLocUCL; ++row) {
                locRange.Add(p(row, count + 1));
                locRange.Add(p(row, count + 2));
            }
    }
    const bool dispOnMain = !loc;
    TRange& dispTarget = dispOnMain ? locRange : dispRange;
    if (disp) {
        dispTarget.Add(p(kRowDispersion, count + 1));
        dispTarget.Add(p(kRowDispersion, count + 2));
        for (int row = kRowDispLCL; row <= kRowDispUCL; ++row) {
            dispTarget.Add(p(row, count + 1));
            dispTarget.Add(p(row, count + 2));
        }
    }

    // Every series, one value per point.
    const auto n = static_cast<std::size_t>(count);
    const auto column = [&](auto&& value) {
        std::vector<double> v(n);
        for (int i = 1; i <= count; ++i)
            v[static_cast<std::size_t>(i) - 1] = value(i);
        return v;
    };
    std::vector<double> xs(x.begin() + 1, x.end());
    // A break ends every limit line: the step runs get a gap at the empty position.
    std::vector<double> stepX;
    const auto withGaps = [&](const std::vector<double>& y, std::vector<double>& sx) {
        std::vector<double> out;
        out.reserve(y.size() + static_cast<std::size_t>(VarChart.Breaks));
        sx.clear();
        sx.reserve(out.capacity());
        for (std::size_t i = 0; i < y.size(); ++i) {
            if (breakBefore[i + 1]) {
                out.push_back(kGap);
                sx.push_back(xs[i] - 1);
            }
            out.push_back(y[i]);
            sx.push_back(xs[i]);
        }
        return out;
    };
    const auto addStep = [&](const char* name, std::string title, int panel, TSceneColor color, double width,
                             TLineStyle style, const std::vector<double>& y) {
        TLineSeries line{name, std::move(title), panel, color, width, style, {}, {}};
        std::vector<double> sx;
        const std::vector<double> sy = withGaps(y, sx);
        AddStepRuns(line, sx, sy, scene.Spacing);
        scene.Lines.push_back(std::move(line));
    };
    const auto row = [&](int r) { return column([&](int i) { return GapIfMissing(p(r, i)); }); };
    const double width = d.LineThickness;

    // Zones first, so that lines and points are drawn over them.
    const auto zones = [&](int panel, int clRow, int seRow, int lclRow, int uclRow) {
        TZonePainter painter(scene, panel, scene.Spacing);
        for (int i = 1; i <= count; ++i)
            painter.Add(x[static_cast<std::size_t>(i)], p(clRow, i), p(seRow, i), p(lclRow, i), p(uclRow, i),
                        i > 1 && !breakBefore[static_cast<std::size_t>(i)]);
    };
    const TSceneColor edgeColor = bw ? kColorSilver : kZoneYellow;
    if (d.ShowZones) {
        if (plotLoc) zones(locPanel, kRowLocCL, kRowLocSE, kRowLocLCL, kRowLocUCL);
        if (disp) zones(dispPanel, kRowDispCL, kRowDispSE, kRowDispLCL, kRowDispUCL);
    }
    if (d.ShowZones && plotLoc) {
        addStep("Series_zone1a", "Upper Zone 1 Line", locPanel, edgeColor, 1, TLineStyle::Solid,
                column([&](int i) { return Offset(p(kRowLocCL, i), 1, p(kRowLocSE, i)); }));
        addStep("Series_zone1b", "Lower Zone 1 Line", locPanel, edgeColor, 1, TLineStyle::Solid,
                column([&](int i) { return Offset(p(kRowLocCL, i), -1, p(kRowLocSE, i)); }));
    }
    if (plotLoc) {
        addStep("Series_LCL", "Location LCL", locPanel, limitColor, width + 1, TLineStyle::Solid,
                row(kRowLocLCL));
        addStep("Series_CL", "Location Centerline", locPanel, centerColor, width + 1, TLineStyle::Solid,
                row(kRowLocCL));
        addStep("Series_UCL", "Location UCL", locPanel, limitColor, width + 1, TLineStyle::Solid,
                row(kRowLocUCL));
    }
    // Specification lines across every position.
    if (d.ShowSpecs && loc) {
        const struct {
            const char* name;
            const char* title;
            double value;
            TSceneColor color;
        } specs[] = {
            {"Series_USL", "Upper Spec Limit", ColumnUSL(VarChart.Column), limitColor},
            {"Series_Target", "Target", ColumnTarget(VarChart.Column), bw ? kColorBlack : kColorGreen},
            {"Series_LSL", "Lower Spec Limit", ColumnLSL(VarChart.Column), limitColor}};
        for (const auto& spec : specs) {
            if (!Present(spec.value)) continue;
            TLineSeries line{spec.name, spec.title, locPanel, spec.color, width, TLineStyle::Dash, {}, {}};
            line.RunsX.push_back({scene.XMin, scene.XMax});
            line.RunsY.push_back({spec.value, spec.value});
            scene.Lines.push_back(std::move(line));
            locRange.Add(spec.value);
        }
    }
    // ±3 sigma lines.
    if (d.ShowSigmaLines && loc) {
        const auto sigma = [&](double sign) {
            return column([&](int i) {
                const double y = Offset(p(kRowGrandMean, i), sign * 3, p(kRowSigma, i));
                if (IsGap(y) || (s.PositiveLimitsOnly && y < 0)) return kGap;
                locRange.Add(y);
                return y;
            });
        };
        addStep("Series_Plus3Sigma", "Plus 3 Sigma Line", locPanel, kColorBlack, width, TLineStyle::Dot,
                sigma(1));
        addStep("Series_Minus3Sigma", "Minus 3 Sigma Line", locPanel, kColorBlack, width, TLineStyle::Dot,
                sigma(-1));
    }
    // Dispersion limits (on the main axis when the location chart is not shown).
    if (disp) {
        if (d.ShowZones) {
            const auto edge = [&](double sign) {
                return column([&](int i) { return Offset(p(kRowDispCL, i), sign, p(kRowDispSE, i)); });
            };
            addStep("Series_zone1c", "Upper Zone 2 Line", dispPanel, edgeColor, 1, TLineStyle::Solid,
                    edge(1));
            addStep("Series_zone1d", "Lower Zone 2 Line", dispPanel, edgeColor, 1, TLineStyle::Solid,
                    edge(-1));
        }
        addStep("Series_DLCL", "Dispersion LCL", dispPanel, limitColor, width + 1, TLineStyle::Solid,
                row(kRowDispLCL));
        addStep("Series_DCL", "Dispersion Centerline", dispPanel, centerColor, width + 1, TLineStyle::Solid,
                row(kRowDispCL));
        addStep("Series_DUCL", "Dispersion UCL", dispPanel, limitColor, width + 1, TLineStyle::Solid,
                row(kRowDispUCL));
    }

    // Violation codes at the top of the main axis.
    if (d.ShowCodes && d.ShowViolations) {
        for (int i = 1; i <= count; ++i) {
            const std::string locCodes = loc ? ControlCodes(0, i) : std::string();
            const std::string dispCodes = disp ? ControlCodes(1, i) : std::string();
            if (locCodes.empty() && dispCodes.empty()) continue;
            std::string text = dispCodes;
            if (!dispCodes.empty() && !locCodes.empty()) text += " | ";
            text += locCodes;
            scene.Codes.push_back({x[static_cast<std::size_t>(i)], 0, std::move(text)});
        }
        scene.CodeArrow = d.PointSize + 8;
    }

    // Points.
    const bool sets = s.SetColumn > 0;
    const auto joins = [&](int i) {
        return i > 1 && !breakBefore[static_cast<std::size_t>(i)] &&
               (!sets || p(kRowSet, i) == p(kRowSet, i - 1));
    };
    if (s.ShowAllPoints && loc) {
        TPointSeries all{"Series_AllPoints",
                         "Individual Point",
                         locPanel,
                         {},
                         {},
                         {},
                         {},
                         {},
                         static_cast<double>(d.PointSize / 2 + 1),
                         width};
        for (int i = 1; i <= count; ++i) {
            const std::vector<double> values = SubgroupValues(i);
            if (values.size() < 2) continue;
            for (double v : values) {
                all.X.push_back(x[static_cast<std::size_t>(i)]);
                all.Y.push_back(v);
                locRange.Add(v);
            }
        }
        all.Colors.assign(all.X.size(), kColorBlack);
        scene.Points.push_back(std::move(all));
    }
    const auto statistic = [&](const char* name, const char* title, int panel, int valueRow, int slot) {
        TPointSeries series{
            name, title, panel, xs, row(valueRow), {}, {}, {}, static_cast<double>(d.PointSize), width};
        series.Colors.assign(n, pointColor);
        if (bw) series.Hollow.assign(n, 0);
        if (d.Connect) series.JoinPrevious.assign(n, 0);
        for (int i = 1; i <= count; ++i) {
            const auto k = static_cast<std::size_t>(i) - 1;
            if (d.ShowViolations && !RawControlCode(slot, i).empty()) {
                series.Colors[k] = violationColor;
                if (bw) series.Hollow[k] = 1;
            }
            if (d.Connect) series.JoinPrevious[k] = joins(i);
        }
        scene.Points.push_back(std::move(series));
    };
    if (plotLoc) statistic("Series_Loc", "Location Statistic", locPanel, kRowLocation, 0);
    if (disp) statistic("Series_Disp", "Dispersion Statistic", dispPanel, kRowDispersion, 1);

    // Point labels at their positions.
    for (int i = 1; i <= count; ++i) {
        const auto at = static_cast<std::size_t>(x[static_cast<std::size_t>(i)]);
        // A label belongs to its point: a missing point shows none.
        if (plotLoc && at < d.LocationLabels.size() && !d.LocationLabels[at].empty() &&
            Present(p(kRowLocation, i)))
            scene.Labels[locPanel].push_back(
                {x[static_cast<std::size_t>(i)], p(kRowLocation, i), d.LocationLabels[at]});
        if (disp && at < d.DispersionLabels.size() && !d.DispersionLabels[at].empty() &&
            Present(p(kRowDispersion, i)))
            scene.Labels[dispPanel].push_back(
                {x[static_cast<std::size_t>(i)], p(kRowDispersion, i), d.DispersionLabels[at]});
    }

    // Set separators, the first label at the left edge.
    if (sets && count >= 2) {
        scene.Separators.push_back({scene.XMin, SetLabel(static_cast<int>(p(kRowSet, 1)))});
        for (int i = 2; i <= count; ++i)
            if (p(kRowSet, i) != p(kRowSet, i - 1))
                scene.Separators.push_back(
                    {(x[static_cast<std::size_t>(i) - 1] + x[static_cast<std::size_t>(i)]) / 2,
                     SetLabel(static_cast<int>(p(kRowSet, i)))});
        scene.SeparatorWidth = d.LineThickness + 2;
    }

    // Ranges. Every line drawn counts for its panel (the zone edges too: with less than one
    // standard error to the limits they lie beyond them).
    const auto rangeOf = [&](int panel) -> TRange& { return panel == 0 ? locRange : dispRange; };
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
    scene.Panels[0].YMin = locRange.Min;
    scene.Panels[0].YMax = locRange.Max;
    if (loc && disp) {
        scene.Panels[1].YMin = dispRange.Min;
        scene.Panels[1].YMax = dispRange.Max;
    }
    KeepInsidePanels(scene);

    // With only the dispersion chart, every title speaks of the dispersion chart.
    if (!loc) {
        const auto rename = [](std::string& title) {
            const std::size_t at = title.find("Location");
            if (at != std::string::npos) title.replace(at, 8, "Dispersion");
        };
        for (auto& line : scene.Lines)
            rename(line.Title);
        for (auto& series : scene.Points)
            rename(series.Title);
    }

    // Footer: limit information, then the modifications.
    if (d.AddLimitInfo) {
        const std::size_t w = loc && disp ? std::max(CharCount(locName), CharCount(dispTitle))
                                          : CharCount(scene.Panels[0].Title);
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
        const auto info = [&](const std::string& title, bool limits, int pad, const std::string& method,
                              int ucl, int cl, int lcl, int slot) {
            if (limits) {
                scene.FooterLines.insert(scene.FooterLines.begin(),
                                         PadLeft(title + " Chart ", static_cast<int>(w) + pad) +
                                             "Control Limits [" + Significant(p(ucl, i)) + ", " +
                                             Significant(p(lcl, i)) + "] from " + method + ofSet);
                scene.FooterLines.insert(scene.FooterLines.begin(),
                                         std::string(w + 11, ' ') + "Centerline [" + Significant(p(cl, i)) +
                                             "] using " + CenterlineName(slot) + ofSet);
            } else {
                scene.FooterLines.insert(scene.FooterLines.begin(),
                                         PadLeft(title + " Chart ", static_cast<int>(w) + 11) +
                                             "Centerline [" + Significant(p(cl, i)) + "] using " +
                                             CenterlineName(slot) + ofSet);
            }
        };
        if (count > 0 && loc && s.LocationMethod != kMethodNone)
            info(locName, LocationLimitsShown(), 6, LimitMethodNames[s.LocationMethod], kRowLocUCL, kRowLocCL,
                 kRowLocLCL, 0);
        if (count > 0 && disp && s.DispersionMethod != kMethodNone)
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
