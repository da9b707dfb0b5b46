// SPDX-License-Identifier: GPL-3.0-or-later
// Resetting the variables chart state without the chart's names, for the program-wide reset.
#pragma once

namespace kivspc {

// The chart state back to nothing (a new table, tests).
void ResetVarChart();

} // namespace kivspc
