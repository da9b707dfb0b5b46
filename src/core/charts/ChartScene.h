// SPDX-License-Identifier: GPL-3.0-or-later
// A chart as plain data: what the chart windows draw, print and export, built by core from a
// chart's points and display options. A scene is a page of panels placed in a grid; every panel
// has an x and a y axis of its own, and every element names the panel it is drawn in. Elements
// are drawn in layers (zones and bars, then the lines joining points, the markers, the lines,
// the marks and texts), each layer in the order of its list. Values that are not numbers (NaN)
// are gaps. The renderer adds nothing of its own but fonts and pixel geometry, so every rule of a
// chart can be checked without a window.
//
// Build elements with designated initialisers ({.Panel = 1, .X0 = ...}): a field added later
// then never shifts the ones a builder sets.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
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
inline constexpr TSceneColor kColorGray = 0x808080;
inline constexpr TSceneColor kZoneGreen = 0x80FF80;
inline constexpr TSceneColor kZoneYellow = 0xFFFF00;
inline constexpr TSceneColor kZoneRed = 0xFF8080;
// No colour: an outline or fill that is not drawn.
inline constexpr TSceneColor kNoColor = 0xFF000000;

enum class TLineStyle : std::uint8_t { Solid, Dash, Dot };

// What an axis shows along it: numbers (values, automatic nice ticks unless the scene gives
// them), or positions 0, 1, 2 ... with a text label at each (the renderer shows as many of them
// as there is room for).
enum class TAxisKind : std::uint8_t { Numeric, Positions };

// Ticks given by the scene: values in increasing order, each with its label. Nonlinear scales
// (normal probability, logarithmic) are drawn linear in positions computed by core, with the
// ticks labelled in the scale's own numbers.
struct TSceneTicks {
    std::vector<double> At;
    std::vector<std::string> Labels;
};

struct TSceneAxis {
    TAxisKind Kind = TAxisKind::Numeric;
    std::string Title;
    double Min = 0, Max = 1;
    // Decimals of automatic tick labels; -1: as many as needed.
    int Decimals = -1;
    // Degrees the tick labels turn anticlockwise from the horizontal, as angles are counted in
    // mathematics: 90 reads upwards, 315 falls to the right.
    int LabelAngle = 0;
    // Positions axes: the distance between neighbouring positions.
    double Spacing = 1;
    // Explicit ticks (shared: panels showing the same positions share their list). None on a
    // values axis: automatic nice numbers.
    std::shared_ptr<const TSceneTicks> Ticks;
    // A hidden axis draws no line, ticks, labels or title (text panels).
    bool Visible = true;
};

// Panels whose x axes zoom and scroll together share a link group; kNoLink stands alone.
inline constexpr int kNoLink = -1;

struct TScenePanel {
    TSceneAxis X, Y;
    // The panel's cell in the page's grid: the first row and column it covers, and how many.
    int Row = 0, Column = 0;
    int RowSpan = 1, ColumnSpan = 1;
    int XLink = kNoLink;
};

// What a point series is to its chart; the renderer reports clicks on statistics by role.
enum class TSceneRole : std::uint8_t { None, LocationStatistic, DispersionStatistic };

// Markers with a colour each; optionally joined by lines.
struct TPointSeries {
    int Panel = 0;
    std::string Name;                // "Series_Loc" ...: the series' identity in the scene
    std::string Hover;               // shown when the mouse is over a point; empty (and no Hovers): not hit
    std::vector<std::string> Hovers; // one per point, where they differ (empty: Hover for all)
    std::string Legend;              // the legend entry; empty: none
    TSceneRole Role = TSceneRole::None;
    std::vector<double> X, Y;
    std::vector<TSceneColor> Colors;  // one per point
    std::vector<std::uint8_t> Hollow; // one per point (empty: all filled)
    // JoinPrevious[i]: a line from point i - 1 to point i in the colour of point i
    // (empty: none joined).
    std::vector<std::uint8_t> JoinPrevious;
    double Size = 3;      // marker radius in pixels
    double LineWidth = 1; // of the joining lines
};

// A polyline drawn in one pen; step lines, curves, dashed and dotted lines are all made of these.
struct TLineSeries {
    int Panel = 0;
    std::string Name;
    std::string Hover;
    std::string Legend;
    TSceneColor Color = kColorBlack;
    double Width = 1;
    TLineStyle Style = TLineStyle::Solid;
    // Runs of vertices: a run is one unbroken polyline; the X of a run never decreases.
    std::vector<std::vector<double>> RunsX, RunsY;
};

// A filled rectangle between two x and two y values of a panel, under everything else.
struct TZoneRect {
    int Panel = 0;
    double X0 = 0, X1 = 0, Y0 = 0, Y1 = 0;
    TSceneColor Color = kColorWhite;
};

// A bar between two x and two y values (histogram classes), drawn over the zones.
struct TSceneBar {
    int Panel = 0;
    double X0 = 0, X1 = 0, Y0 = 0, Y1 = 0;
    TSceneColor Fill = kColorSilver;
    TSceneColor Outline = kColorBlack; // kNoColor: none
    std::string Hover;
};

// Where a reference line's label stands: at the line's far end (the top of a vertical line, the
// right of a horizontal one) or its near end, inside the panel.
enum class TLabelPlace : std::uint8_t { End, Start };

// A line across the whole panel at one value: vertical at an x value or horizontal at a y value.
struct TReferenceLine {
    int Panel = 0;
    bool Vertical = false;
    double Value = 0;
    TSceneColor Color = kColorBlack;
    double Width = 1;
    TLineStyle Style = TLineStyle::Solid;
    std::string Label;
    TLabelPlace Place = TLabelPlace::End;
    std::string Hover;
};

enum class TTextAnchor : std::uint8_t { TopLeft, TopRight, BottomLeft, BottomRight, Point };
// The font a text is drawn in: the axes' labels, a smaller one, a fixed pitch one for columns of
// figures, the title's.
enum class TFontRole : std::uint8_t { Normal, Small, Fixed, Title };

// Lines of text in a panel, at one of its corners or beside a data point (X, Y).
struct TTextBox {
    int Panel = 0;
    TTextAnchor Anchor = TTextAnchor::TopLeft;
    double X = 0, Y = 0;
    std::vector<std::string> Lines;
    TFontRole Font = TFontRole::Normal;
    bool Frame = false;
    TSceneColor Color = kColorBlack;
};

// A separator's Panel when it crosses every panel linked with panel 0 (its label stands at the
// top of panel 0).
inline constexpr int kAllPanels = -1;

// A vertical line between two sets, with the set's label.
struct TSeparator {
    int Panel = kAllPanels;
    double X = 0;
    std::string Label;
};

// Texts above points at the top of a panel (violation codes) or beside points (point labels).
struct TTextMark {
    int Panel = 0;
    double X = 0;
    double Y = 0; // point labels: the point's value; code marks: not used
    std::string Text;
};

struct TChartScene {
    std::vector<std::string> TitleLines;
    std::vector<std::string> FooterLines;
    TSceneColor TextColor = kColorBlue; // title and footer
    // The page's grid: the rows' and columns' shares of its height and width.
    std::vector<double> RowWeights{1}, ColumnWeights{1};
    // Pixels between neighbouring panels.
    double PanelSpacing = 0;
    std::vector<TScenePanel> Panels;

    std::vector<TZoneRect> Zones;
    std::vector<TSceneBar> Bars;
    std::vector<TLineSeries> Lines; // limits, centerlines, sigma and specification lines, curves
    std::vector<TReferenceLine> References;
    std::vector<TPointSeries> Points;
    std::vector<TSeparator> Separators;
    double SeparatorWidth = 3;
    // Violation codes in a band at the top of their panel; the arrow length is CodeArrow pixels.
    std::vector<TTextMark> Codes;
    double CodeArrow = 11;
    std::vector<TTextMark> PointLabels;
    std::vector<TTextBox> Texts;

    const TLineSeries* FindLine(std::string_view name) const;
    const TPointSeries* FindPoints(std::string_view name) const;
    // The panels a separator crosses.
    bool Crosses(const TSeparator& separator, int panel) const;
};

// The step rule of limit lines: y[i] at x[i]; each run of equal values becomes a horizontal
// segment from half a spacing before its first to half a spacing after its last position,
// neighbouring runs are joined by a vertical, and a gap (NaN) ends the polyline half a spacing
// after the last present position.
void AddStepRuns(TLineSeries& line, const std::vector<double>& x, const std::vector<double>& y,
                 double spacing);

} // namespace kivspc
