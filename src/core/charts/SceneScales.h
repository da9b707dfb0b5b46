// SPDX-License-Identifier: GPL-3.0-or-later
// Nonlinear scales drawn on linear axes: core turns values into positions along the axis and
// gives the ticks, labelled in the scale's own numbers, at their positions.
#pragma once

#include "charts/ChartScene.h"

#include <memory>

namespace kivspc {

// The position of a cumulative proportion p (0 < p < 1) on a normal probability scale: the
// standard normal quantile of p.
double NormalScalePosition(double p);
// Normal probability paper between two positions: ticks at 0.01 %, 0.1 %, 1 %, 5 %, 10 %, 20 % ...
// 99.99 % that lie within them, labelled "0.1 %", "5 %", "99.9 %".
std::shared_ptr<const TSceneTicks> ProbabilityPaperTicks(double lowPosition, double highPosition);

// The position of a positive value on a logarithmic scale: its decimal logarithm.
double LogScalePosition(double value);
// Ticks of a logarithmic axis between two positions: 1, 2 and 5 times the powers of ten (only the
// powers of ten when the range spans more than four decades).
std::shared_ptr<const TSceneTicks> LogScaleTicks(double lowPosition, double highPosition);

} // namespace kivspc
