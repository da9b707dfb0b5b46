// SPDX-License-Identifier: GPL-3.0-or-later
// The attributes chart as a picture: the chart window's display options and the scene they make
// of the loaded analysis (AttrChart), for the renderer, printing, copying and export.
#pragma once

#include "charts/ChartScene.h"

#include <string>
#include <vector>

namespace kivspc {

// The chart window's display options; they keep their state while the window exists.
struct TAttrChartDisplay {
    bool ShowViolations = true;
    bool ShowCodes = false;
    bool ShowZones = false;
    bool Connect = true;
    bool AddLimitInfo = false;
    bool AddModifications = false;
    int PointSize = 3;     // 1-25
    int LineThickness = 1; // 1-10
    int AxisDecimals = -1; // -1 floating, else 0-9
    // One text per plotted position (points + breaks + 1).
    std::vector<std::string> PointTexts;
};

extern TAttrChartDisplay AttrChartDisplay;

// The number of plotted positions of the loaded analysis: the size of the point text list.
int AttrPlottedPositions();
// Empties the point texts (and sizes the list for the chart).
void ClearAttrPointTexts();
bool HasAttrPointTexts();
// The position of point i (from 1): its number less one plus the breaks before it.
int AttrPosition(int point);

// Rebuilds the scene from AttrChart, AttrChartSettings and AttrChartDisplay.
void RedrawAttrChart(TChartScene& scene);

} // namespace kivspc
