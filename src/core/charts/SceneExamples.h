// SPDX-License-Identifier: GPL-3.0-or-later
// Example pages in the chart vocabulary, made of every element kind: a histogram with a fitted
// curve and labelled specification and process limits, a normal probability plot on probability
// paper, and a six-panel capability page (two linked control-chart panels, a histogram, a
// probability plot, a text panel and a capability panel). The renderer's checks, the benchmarks
// and the batch program's --example draw them; the values are made up but deterministic.
#pragma once

#include "charts/ChartScene.h"

namespace kivspc {

// `bars` classes of a normal-shaped histogram, the normal curve over `curveVertices` vertices,
// LSL, USL and both process limits as labelled vertical lines, the "n=" box and a legend.
TChartScene HistogramExample(int bars = 20, int curveVertices = 200);
// `points` values on normal probability paper (positions of their plotting proportions), with the
// fitted line and per-point hover texts.
TChartScene ProbabilityExample(int points = 50);
// The six-panel page of a capability study of `points` individual values.
TChartScene SixPanelExample(int points = 30);

} // namespace kivspc
