// SPDX-License-Identifier: GPL-3.0-or-later
// A chart as plain data: what the chart windows draw, print and export, built by core from a
// chart's points and display options. One plotting area holds one or two panels (vertical axes)
// stacked at a split and sharing the horizontal axis; the elements are drawn in the order of
// their lists. Values that are not numbers (NaN) are gaps. The renderer adds nothing of its own
// but fonts and pixel geometry, so every rule of a chart can be checked without a window.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace kivspc {

inline constexpr double kGap = std::numeric_limits<double>::quiet_NaN();
inline bool IsGap(double y) { return std::isnan(y); }

// Program-wide: every chart window draws in black and white when set.
extern bool ChartsBlackAndWhite;

using TSceneColor = std::uint32_t; // 0xRRGGBB
inline constexpr TSceneColor kColorBlack = 0x000000;
inline constexpr TSceneColor kColorWhite = 0xFFFFFF;
inline constexpr TSceneColor kColorRed = 0xFF0000;
inline constexpr TSceneColor kColorLime = 0x00FF00;
inline constexpr TSceneColor kColorGreen = 0x008000;
inline constexpr TSceneColor kColorBlue = 0x0000FF;
inline constexpr TSceneColor kColorNearBlack = 0x202020;
inline constexpr TSceneColor kColorSilver = 0xC0C0C0;
inline constexpr TSceneColor kZoneGreen = 0x80FF80;
inline constexpr TSceneColor kZoneYellow = 0xFFFF00;
inline constexpr TSceneColor kZoneRed = 0xFF8080;

enum class TLineStyle : std::uint8_t { Solid, Dash, Dot };

// One vertical axis and the band of the plotting area it occupies.
struct TScenePanel {
    std::string Title; // the axis title
    double YMin = 0, YMax = 1;
    // Fractions of the plotting area's height from its top: the panel spans [Top, Bottom].
    double Top = 0, Bottom = 1;
    // Decimals of the axis labels; -1: as many as needed.
    int Decimals = -1;
};

// Markers with a colour each; optionally joined by lines.
struct TPointSeries {
    std::string Name;  // "Series_Loc" ...
    std::string Title; // shown when the mouse is over a point; empty: not hit
    int Panel = 0;
    std::vector<double> X, Y;
    std::vector<TSceneColor> Colors;  // one per point
    std::vector<std::uint8_t> Hollow; // one per point (empty: all filled)
    // JoinPrevious[i]: a line from point i - 1 to point i in the colour of point i
    // (empty: none joined).
    std::vector<std::uint8_t> JoinPrevious;
    double Size = 3;      // marker radius in pixels
    double LineWidth = 1; // of the joining lines
};

// A polyline drawn in one pen; step lines, dashed and dotted lines are all made of these.
struct TLineSeries {
    std::string Name;
    std::string Title;
    int Panel = 0;
    TSceneColor Color = kColorBlack;
    double Width = 1;
    TLineStyle Style = TLineStyle::Solid;
    // Runs of vertices: a run is one unbroken polyline; the X of a run never decreases.
    std::vector<std::vector<double>> RunsX, RunsY;
};

// A filled rectangle between two x and two y values of a panel.
struct TZoneRect {
    double X0, X1, Y0, Y1;
    TSceneColor Color;
};

// A vertical line across every panel at X, with a label at the top of the panel below it.
struct TSeparator {
    double X = 0;
    std::string Label;
};

// Texts above points at the top of a panel (violation codes) or beside points (point labels).
struct TTextMark {
    double X = 0;
    double Y = 0; // point labels: the point's value; code marks: not used
    std::string Text;
};

struct TChartScene {
    std::vector<std::string> TitleLines;
    std::vector<std::string> FooterLines;
    TSceneColor TextColor = kColorBlue; // title and footer
    std::vector<TScenePanel> Panels;
    // The horizontal axis: positions 0..Positions-1 with labels at some of them.
    std::string XTitle;
    double XMin = -0.5, XMax = 0.5;
    std::vector<double> XLabelAt;
    std::vector<std::string> XLabels;
    int XLabelAngle = 0; // degrees, clockwise
    double Spacing = 1;  // distance between neighbouring positions

    std::vector<TZoneRect> Zones;   // drawn first, panel 0 then panel 1
    std::vector<int> ZonePanels;    // one per zone
    std::vector<TLineSeries> Lines; // limits, centerlines, sigma and specification lines
    std::vector<TPointSeries> Points;
    std::vector<TSeparator> Separators;
    double SeparatorWidth = 3;
    // Violation codes at the top of panel 0; the arrow length is CodeArrow pixels.
    std::vector<TTextMark> Codes;
    double CodeArrow = 11;
    // Point labels: one list per panel.
    std::vector<TTextMark> Labels[2];

    const TLineSeries* FindLine(std::string_view name) const;
    const TPointSeries* FindPoints(std::string_view name) const;
};

// The step rule of limit lines: y[i] at x[i]; each run of equal values becomes a horizontal
// segment from half a spacing before its first to half a spacing after its last position,
// neighbouring runs are joined by a vertical, and a gap (NaN) ends the polyline half a spacing
// after the last present position.
void AddStepRuns(TLineSeries& line, const std::vector<double>& x, const std::vector<double>& y,
                 double spacing);

} // namespace kivspc
