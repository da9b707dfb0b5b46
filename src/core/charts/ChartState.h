// SPDX-License-Identifier: GPL-3.0-or-later
// The charts' program-wide state as a whole: one reset for all of it.
#pragma once

namespace kivspc {

// Puts every chart global back to its start-up state: the computed variables chart, its window's
// display options, black and white drawing, the analysis report's style and version, and the
// chart dialogs' memories of the texts last typed.
void ResetChartState();

} // namespace kivspc
