// SPDX-License-Identifier: GPL-3.0-or-later
// The capability analysis' two graphs as scenes: the histogram (or frequency polygon) of the
// chosen group with the fitted density, the tolerance limits and the process limits, and the
// probability plot of its ordered values against their median ranks (or, as a linear plot,
// against the values the fitted model predicts). Each drawing builds the statistics table too.
#pragma once

#include "capability/CapabilityPlot.h"
#include "charts/ChartScene.h"

#include <string>
#include <vector>

namespace kivspc {

// A class width of 1, 2, 3, 5 or 10 times a power of ten near span / k (at least the smallest
// gap between neighbouring values of the sorted sample when useGap); 1 for a sample of one value
// or no range.
double NiceInterval(double span, double k, bool useGap);
// The multiple of w nearest to lo (halves away from zero); lo itself for a sample of one value.
double FirstMidpoint(double lo, double w);
// x with at most 9 decimals, trailing zeros and point removed.
std::string ShortNumber(double x);

// The most classes a histogram is drawn with: a typed width that would need more is refused.
inline constexpr int kMaxHistogramClasses = 10'000;

struct TGraphOptions {
    bool Specifications = true;    // "Display Specifications"
    bool ProcessLimits = false;    // "Display Process Limits"
    bool AddModifications = false; // "Add File Modifications to Chart"
    bool BlackAndWhite = false;
    // Histogram page.
    bool Polygon = false;   // "Frequency Polygons"
    bool Relative = false;  // "Relative Frequencies"
    bool ConstantX = false; // the whole analysis' range rather than the group's
    bool IntervalChecked = false;
    std::string IntervalText = "0";
    bool FirstChecked = false;
    std::string FirstText = "0";
    // Probability plot page.
    bool Linear = false;           // "Linear Plot" (with a distribution chosen)
    bool ProbabilityPaper = false; // a normal probability axis instead of proportions
    double PointSize = 4;
};

struct TGraphResult {
    std::vector<TStatRow> Table;
    std::string SizeUsed;  // "Size Used: (0.5)"
    std::string FirstUsed; // "First Used: (10)"
    // A typed entry that could not be used, in words (the graph is drawn without it).
    std::string Problem;
    // The bottom axis of the histogram: its range and class width.
    double AxisMin = 0, AxisMax = 0, AxisStep = 0;
};

// The statistics table of the chosen entry (which fits the model and leaves the sample sorted),
// then the graph. Nothing is drawn (an empty scene and table) when the group list or the sample
// is empty.
TGraphResult DrawHistogram(TCapabilityAnalysis& a, const TGraphOptions& o, TChartScene& scene);
TGraphResult DrawProbabilityPlot(TCapabilityAnalysis& a, const TGraphOptions& o, TChartScene& scene);
// The graphs alone, of the sorted sample, its statistics and the fit as they stand.
void DescribeHistogram(const TCapabilityAnalysis& a, const TGraphOptions& o, TChartScene& scene,
                       TGraphResult& r);
void DescribeProbabilityPlot(const TCapabilityAnalysis& a, const TGraphOptions& o, TChartScene& scene);

// The one-page capability summary of the chosen entry: its individual values and moving ranges
// in data order (limits from the average moving range), the histogram with the fitted curve and
// the tolerance lines, the probability plot, the indices within (the within-subgroup sigma,
// or the average moving range / 1.128) and overall (the standard deviation) with their expected
// ppm, and the process spreads against the tolerance limits. Builds the statistics table too.
TGraphResult DrawCapabilitySummary(TCapabilityAnalysis& a, const TGraphOptions& o, TChartScene& scene);

} // namespace kivspc
