// SPDX-License-Identifier: GPL-3.0-or-later
// The chart the chart window tests draw: the example file's five diameters of a row as means and
// ranges, labelled by day.
#pragma once

#include "charts/VARchart.h"
#include "data/DataFile.h"

// False when the example file cannot be read.
inline bool BearingMeansAndRanges() {
    using namespace kivspc;
    if (!LoadFile(KIVSPC_EXAMPLES_DIR "/bearing-diameters.kivs")) return false;
    TVarChartSettings& s = VarChartSettings;
    for (int c = 3; c <= 7; ++c)
        s.Measures[static_cast<std::size_t>(c)] = 1;
    s.RunInfo.FirstMeasure = s.RunInfo.CurrentMeasure = 3;
    s.RunInfo.LastMeasure = 7;
    s.DataLayout = 2;
    s.LocationChart = kChartMean;
    s.DispersionChart = kChartRange;
    s.LocationMethod = s.DispersionMethod = kMethodAverageRange;
    s.LocationCenterline = kCenterAverage;
    s.DispersionCenterline = kCenterDispAverage;
    s.AxisLabelColumn = 1;
    return true;
}
