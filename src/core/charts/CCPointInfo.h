// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis report of the current variables chart: file, modifications, specifications, how
// the limits were found, the tests for statistical control, capability and performance, the
// correlation of the two statistics and a one-way analysis of variance, each per set. Written
// into the current output document; the chart information window shows it.
#pragma once

#include <cstdint>
#include <string>

namespace kivspc {

// Advanced at every rebuild of the chart picture; the information window compares it with the
// version it last reported on.
extern std::uint64_t ChartVersion;

// Program-wide, kept for the run: the report's font sizes in points and its decimals.
struct TChartInfoStyle {
    double HeadingSize = 14;
    double SectionSize = 10;
    double BodySize = 9;
    int Decimals = 4; // 0-9
};
extern TChartInfoStyle ChartInfoStyle;

// Writes the report of VarChart into the current output document.
void BuildChartReport();

// The heading line of the report ("Mean and Range Chart: Diam1 ..."), which follows the chart
// kinds, not the sizing of the chart window.
std::string ChartReportHeading();

// The label of point `point` of the current chart as the chart's axis shows it: the text of the
// axis label column at the point's first row, or the point number without a label column; empty
// for a point that does not exist.
std::string ChartPointLabel(int point);

} // namespace kivspc
