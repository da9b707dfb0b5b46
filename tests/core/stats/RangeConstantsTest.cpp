// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/CCCalcFixture.h"

#include <cmath>

using namespace kivspc;

using RangeConstants = CCCalcTest;

namespace {

// Mean and standard deviation of the range of n standard normal values.
// Reference: SciPy 1.10, scipy.integrate.quad of 1 - Phi^n - (1 - Phi)^n for d2 and
// scipy.integrate.dblquad of the second moment of the range for d3 (over [-12, 12]).
struct RangeReference {
    int n;
    double d2, d3;
};
constexpr RangeReference kReferences[] = {
    {30, 4.085522, 0.692665}, {31, 4.112928, 0.689902},  {40, 4.321554, 0.669187},
    {50, 4.498147, 0.652143}, {100, 5.015187, 0.605179},
};

} // namespace

TEST_F(RangeConstants, D2IntegralMatchesTheTableAndTheReference) {
    // The step-0.03 trapezoid meets the table value at the switch-over size.
    EXPECT_NEAR(static_cast<double>(D2Integral(30)), 4.0855, 5e-5);
    EXPECT_NEAR(static_cast<double>(D2Integral(31)), 4.1129, 5e-5);
    for (const RangeReference& r : kReferences) {
        SCOPED_TRACE(r.n);
        EXPECT_NEAR(static_cast<double>(D2Integral(r.n)), r.d2, 1e-6);
    }
}

TEST_F(RangeConstants, D3IntegralMatchesTheReference) {
    // Grid 0.01 over [-6, 6]: within about 1.5e-5.
    for (const RangeReference& r : kReferences) {
        SCOPED_TRACE(r.n);
        EXPECT_NEAR(static_cast<double>(D3Integral(r.n)), r.d3, 3e-5);
    }
    // Meets the four-decimal table value at the switch-over size.
    EXPECT_NEAR(static_cast<double>(D3Integral(30)), 0.6927, 5e-5);
}

TEST_F(RangeConstants, SecondCallWithTheSameSizeUsesTheCache) {
    const Extended first = D2Integral(31);
    EXPECT_EQ(RangeIntegralCache.D2N, 31);
    RangeIntegralCache.D2Value = 99; // only the cache can return this
    EXPECT_EQ(D2Integral(31), 99);
    EXPECT_GT(D2Integral(32), first);
    EXPECT_EQ(RangeIntegralCache.D2N, 32);

    EXPECT_FALSE(NormalTableBuilt);
    const Extended d3 = D3Integral(31);
    EXPECT_TRUE(NormalTableBuilt);
    EXPECT_EQ(RangeIntegralCache.D3N, 31);
    RangeIntegralCache.D3Value = 77;
    EXPECT_EQ(D3Integral(31), 77);
    ResetRangeConstants();
    EXPECT_FALSE(NormalTableBuilt);
    EXPECT_EQ(RangeIntegralCache.D2N, -1);
    EXPECT_EQ(RangeIntegralCache.D3N, -1);
    EXPECT_EQ(D3Integral(31), d3);
}

TEST_F(RangeConstants, NormalTableHoldsUpperTails) {
    D3Integral(40);
    EXPECT_EQ(NormalTable[0], 0.5);
    // Reference: SciPy 1.10 scipy.stats.norm.sf.
    EXPECT_NEAR(NormalTable[100], 0.158655253931, 1e-12);
    EXPECT_NEAR(NormalTable[196], 0.024997895148, 1e-12);
    EXPECT_NEAR(NormalTable[300], 1.349898031630e-3, 1e-14);
    EXPECT_NEAR(NormalTable[601] / 9.276166345691e-10, 1.0, 1e-6);
}

TEST_F(RangeConstants, SizesBelowTwoGiveZero) {
    for (int n : {1, 0, -5}) {
        EXPECT_EQ(D2Integral(n), 0);
        EXPECT_EQ(D3Integral(n), 0);
    }
    EXPECT_EQ(RangeIntegralCache.D2N, -1);
}
