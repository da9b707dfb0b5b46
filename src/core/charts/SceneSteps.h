// SPDX-License-Identifier: GPL-3.0-or-later
// The steps control charts are drawn with, shared by every chart kind: positions with breaks, a
// control-chart half (centerline, standard error and limits) with its zones and limit lines,
// lines across the chart, violation codes, set separators, the limit information of the footer,
// and ranges with headroom. Each step takes everything it uses as arguments and adds to the
// scene; a chart kind is a short composition of them.
#pragma once

#include "charts/ChartScene.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace kivspc {

// Where the points of a chart stand: point i (from 0) at X[i]; a break before a point leaves an
// empty position.
struct TPositions {
    std::vector<double> X;
    std::vector<std::uint8_t> BreakBefore;
    int Breaks = 0;
    std::size_t Count() const { return X.size(); }
    double Last() const { return X.empty() ? 0 : X.back(); }
};
// `breakAfter(i)`: a break follows point i (0 .. count - 2).
TPositions PositionsWithBreaks(int count, const std::function<bool(int)>& breakAfter);

// A positions axis over the points: -0.5 to the last position + 0.5, a label at each point.
TSceneAxis PositionAxis(const TPositions& positions, std::vector<std::string> labels, std::string title,
                        int labelAngle);

// Smallest and largest value seen; empty until the first present (finite) value.
struct TValueRange {
    double Min = 0, Max = 0;
    bool Any = false;
    void Add(double v);
    // Widens both ends by (max - min) / divisor; a range without extent gets one around it, so
    // the axis never collapses. Near the ends of the doubles the range stops at the largest
    // finite value.
    void Extend(double divisor);
    // Makes the range drawable after a floor was put under it: finite, and not empty.
    void Settle();
};

// A number for drawing: a gap unless present and finite.
double Drawable(double v);
// centre + k times spread, or a gap when that is no double.
double Offset(double centre, double k, double spread);

// One half of a control chart (location or dispersion): views of its rows, one value per point
// (missing values and values that are not finite are gaps).
struct TControlHalf {
    std::span<const double> CL, SE, LCL, UCL;
};

// The names and hover texts of a half's lines.
struct TControlHalfNames {
    const char* LCL;
    const char* CL;
    const char* UCL;
    const char* LCLHover;
    const char* CLHover;
    const char* UCLHover;
};

// The pens of limit and centre lines in colour or black and white.
struct TControlPens {
    TSceneColor Limit, Center, ZoneEdge;
    double Width; // the limit and centre lines'
};
TControlPens ControlPens(bool blackAndWhite, double lineThickness);

// A step line through one value per point; a break ends it (a gap at the empty position), and
// so does a value that is missing or not finite.
void AddStepLine(TChartScene& scene, TLineSeries line, const TPositions& positions,
                 std::span<const double> y);

// Zone bands CL ± 1 SE green, 1-2 SE yellow, 2 SE to the limit red; in black and white only the
// 1-2 bands in silver. Neighbouring positions with the same bands share a rectangle.
void AddZones(TChartScene& scene, int panel, const TPositions& positions, const TControlHalf& half,
              bool blackAndWhite);
// The lines at CL ± 1 SE that edge the zones.
void AddZoneEdges(TChartScene& scene, int panel, const TPositions& positions, const TControlHalf& half,
                  const TControlPens& pens, const char* upperName, const char* upperHover,
                  const char* lowerName, const char* lowerHover);
// LCL, centerline and UCL as step lines.
void AddLimitLines(TChartScene& scene, int panel, const TPositions& positions, const TControlHalf& half,
                   const TControlPens& pens, const TControlHalfNames& names);

// A line at one value across the whole chart (specifications).
void AddLineAcross(TChartScene& scene, TLineSeries line, double value);

// Violation codes at their points' positions, at the top of the panel; empty texts are left out.
void AddCodeMarks(TChartScene& scene, int panel, const TPositions& positions,
                  const std::function<std::string(int)>& codesOf, double arrow);

// Separators between sets (set(i) of point i): the first at the left edge, then one midway
// between the last point of a set and the first of the next.
void AddSetSeparators(TChartScene& scene, const TPositions& positions,
                      const std::function<double(int)>& setOf, const std::function<std::string(int)>& labelOf,
                      double width);

// The footer's limit information for one chart, inserted at the top of the footer: a centerline
// line, and with limits a line of limits above it. `titleWidth` is the widest chart title of
// the scene, `pad` the room of the limits' line.
struct TLimitInfo {
    std::string ChartTitle;
    bool Limits = false;
    int Pad = 6;
    std::string UCL, LCL, CL; // as shown
    std::string Method, CenterlineName;
    std::string OfSet; // " (Set=2)" when the values are one set's
};
void AddLimitInformation(TChartScene& scene, const TLimitInfo& info, std::size_t titleWidth);

// Five significant digits; beyond the digits a double holds, in exponent form; "None" for a
// value that is missing or not finite.
std::string Significant(double v);

// What a floor put under a panel's y range cut off is not drawn: line vertices outside it end
// their polyline, zone bands stop at the range's ends. Code marks stand at the panel's top.
void KeepInsidePanels(TChartScene& scene);

} // namespace kivspc
