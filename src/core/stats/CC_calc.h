// SPDX-License-Identifier: GPL-3.0-or-later
// Capability indices against the tolerance limits (LSL, Target, USL), the range-distribution constants, the
// control chart factors and the shared control limit routine.
#pragma once

#include "stats/Capability.h"
#include "stats/ControlFactors.h"
#include "stats/ControlLimits.h"
#include "stats/RangeConstants.h"

namespace kivspc {

// No tolerance limits, empty integration caches and normal table (new runs and tests).
inline void ResetCCCalcState() {
    ResetSpecLimits();
    ResetRangeConstants();
}

} // namespace kivspc
