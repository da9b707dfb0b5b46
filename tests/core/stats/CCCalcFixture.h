// SPDX-License-Identifier: GPL-3.0-or-later
// Fresh shared state plus no tolerance limits, integration caches and normal table.
#pragma once

#include "CoreFixture.h"
#include "stats/CC_calc.h"

class CCCalcTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        kivspc::ResetCCCalcState();
    }
};
