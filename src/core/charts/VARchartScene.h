// SPDX-License-Identifier: GPL-3.0-or-later
// The variables chart as a picture: the display options of the chart window and the scene they
// make of the computed points (VarChart), ready for the renderer, printing and export.
#pragma once

#include "charts/ChartScene.h"
#include "stats/ChartKind.h"

#include <string>
#include <vector>

namespace kivspc {

// The chart window's display options; they keep their state while the window exists.
struct TVarChartDisplay {
    bool ShowViolations = true;
    bool ShowCodes = false;
    bool ShowZones = false;
    bool ShowSigmaLines = false;
    bool ShowSpecs = false;
    bool RemoveLocation = false;
    bool Connect = true;
    bool AddLimitInfo = false;
    bool AddModifications = false;
    int PointSize = 3;     // 1-25
    int LineThickness = 1; // 1-10
    int Sizing = 60;       // 10-90: percent of the height for the location chart
    int AxisDecimals = -1; // -1 floating, else 0-9
    // Point labels, one per plotted position (points + breaks + 1): location and dispersion.
    std::vector<std::string> LocationLabels, DispersionLabels;
};

extern TVarChartDisplay VarChartDisplay;

// Which charts are drawn at the current sizing.
bool LocationChartShown();
bool DispersionChartShown();
// Limits count as shown when their chart is shown and its method computes limits.
bool LocationLimitsShown();
bool DispersionLimitsShown();

// The enabling rules of the View menu for the current chart; applying them also unchecks the
// options that are disabled and must not stay on.
struct TVarChartMenuState {
    bool AllPoints = true;
    bool SigmaLines = false;
    bool RemoveLocation = false;
    bool Specifications = false;
    bool Zones = false;
    bool Codes = false;
};
TVarChartMenuState ApplyVarChartMenuRules();
// "Show All Points" switched off: the options that need it go off with it (the specifications
// stay for the "X" chart).
void AllPointsSwitchedOff();

// The chart's title line: "Mean and Range Chart: Diam1" ... for the charts shown.
std::string VarChartTitle(bool location, bool dispersion);
// "MR", "R", "s" or "s²" for the dispersion chart types.
std::string DispersionAxisTitle(TChartKind chartType);
// The centerline's name for the location (slot 0) or dispersion chart (slot 1).
std::string CenterlineName(int slot);

// The number of plotted positions (points, one per break, and one to spare): the size of the
// point label lists.
int PlottedPositions();
// Empties the label lists (and sizes them for the chart).
void ClearPointLabels();
bool HasPointLabels();

// Rebuilds the scene from VarChart, VarChartSettings and VarChartDisplay.
void RedrawChart(TChartScene& scene);

// The label of a set separator: " Shift=2 " (the level text of a text column), or the bare
// number without a set column.
std::string SetSeparatorLabel(int setColumn, int set);

// Sizing slider hint: "Location/Dispersion Chart Sizing (60%/40%)".
std::string SizingHint(int position);

} // namespace kivspc
