// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of capability indices, range constants, control chart factors and limits.
#pragma once

#include "CoreFixture.h"
#include "stats/CC_calc.h"

// The core fixture's reset covers the tolerance limits, the integration caches and the normal table.
class CCCalcTest : public CoreTest {};
