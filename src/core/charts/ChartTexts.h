// SPDX-License-Identifier: GPL-3.0-or-later
// The chart tools' memories of the last texts typed, shared by every chart window for the run.
#pragma once

#include <string>

namespace kivspc {

struct TChartTextMemory {
    std::string Title;   // the chart title, lines joined by "\n"
    std::string YTitle;  // the left axis title
    std::string XTitle;  // the bottom axis title
    std::string Y2Title; // the additional vertical axis title
    std::string PointText;
};

// Set when the titles dialog or the point text dialog is closed with OK.
extern TChartTextMemory ChartTextMemory;

} // namespace kivspc
