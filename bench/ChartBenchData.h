// SPDX-License-Identifier: GPL-3.0-or-later
// The chart the chart benchmarks draw: means and ranges of five in two sets, with zones,
// violation codes and limit information switched on.
#pragma once

#include "CoreState.h"
#include "app/NumberFormat.h"
#include "charts/ControlTests.h"
#include "charts/VARchart.h"
#include "charts/VARchartScene.h"
#include "data/DataList.h"
#include "data/DataTable.h"

#include <cmath>
#include <string>

namespace kivspc::bench {

// rows / 5 points; column 2 holds two sets.
inline void ComputeMeansAndRanges(int rows) {
    static int made = 0;
    if (made == rows) return;
    made = rows;
    ResetCoreState();
    TDataTable& t = DataTable();
    t.SetColumnCount(2);
    t.SetRowCount(rows);
    for (int r = 1; r <= rows; ++r) {
        const double x = 25 + 0.01 * std::sin(r * 0.7) + 0.002 * ((r * 7919LL) % 13);
        t.SetCell(1, r, FormatFixed(4, x));
        t.SetCell(2, r, r <= rows / 2 ? "1" : "2");
    }
    DataList.RebuildValues();
    ControlTestSettings.StdCheck.fill(true);
    TVarChartSettings& s = VarChartSettings;
    s = TVarChartSettings{};
    s.Measures[1] = 1;
    s.RunInfo.FirstMeasure = s.RunInfo.LastMeasure = 1;
    s.DataLayout = 4;
    s.SampleSize = 5;
    s.SetColumn = 2;
    s.LocationChart = kChartMean;
    s.DispersionChart = kChartRange;
    s.LocationMethod = s.DispersionMethod = kMethodAverageRange;
    s.LocationCenterline = kCenterAverage;
    s.DispersionCenterline = kCenterDispAverage;
    ComputeChart(1, 0);
    TVarChartDisplay& d = VarChartDisplay;
    d = TVarChartDisplay{};
    d.ShowZones = d.ShowCodes = d.AddLimitInfo = true;
    ClearPointLabels();
}

} // namespace kivspc::bench
