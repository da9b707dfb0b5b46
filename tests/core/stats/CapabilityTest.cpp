// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/CCCalcFixture.h"

#include "app/MissingValue.h"

#include <cmath>
#include <limits>

using namespace kivspc;

namespace {

constexpr double M = MissingValue;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct SpecCase {
    double lsl, target, usl;
    bool hasLimit, hasAnySpec, twoSided, usable;
    const char *lslText, *targetText, *uslText;
};

} // namespace

using CapabilitySpecs = CCCalcTest;

TEST_F(CapabilitySpecs, FlagsTextsAndUsability) {
    const SpecCase cases[] = {
        // Upper limit alone: the absent target (the missing-value code) lies below it.
        {M, M, 10, true, true, false, true, "", "", "10"},
        // Inverted limits still count as usable through the same comparison.
        {12, M, 10, true, true, true, true, "12", "", "10"},
        {4, 10, 16, true, true, true, true, "4", "10", "16"},
        {4.25, M, 16.5, true, true, true, true, "4.25", "", "16.5"},
        // A lower limit alone is usable just like an upper one.
        {4, M, M, true, true, false, true, "4", "", ""},
        // A target below the lower limit and no upper limit: nothing usable.
        {4, 3, M, true, true, false, false, "4", "3", ""},
        {M, 10, M, false, true, false, false, "", "10", ""},
        {M, M, M, false, false, false, false, "", "", ""},
        // NaN counts as absent.
        {kNaN, kNaN, 10, true, true, false, true, "", "", "10"},
    };
    for (const SpecCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lsl << " / " << c.target << " / " << c.usl);
        SetSpecifications(c.lsl, c.target, c.usl);
        const TSpecLimits& s = SpecLimits;
        EXPECT_EQ(s.HasLimit, c.hasLimit);
        EXPECT_EQ(s.HasAnySpec, c.hasAnySpec);
        EXPECT_EQ(s.TwoSided, c.twoSided);
        EXPECT_EQ(s.SpecsUsable, c.usable);
        EXPECT_EQ(s.LSLText, c.lslText);
        EXPECT_EQ(s.TargetText, c.targetText);
        EXPECT_EQ(s.USLText, c.uslText);
    }
}

TEST_F(CapabilitySpecs, ToleranceOnlyForTwoSidedAndKeptOtherwise) {
    SetSpecifications(12, M, 10);
    EXPECT_EQ(SpecLimits.Tolerance, -2.0);
    SetSpecifications(M, M, 30);
    EXPECT_EQ(SpecLimits.Tolerance, -2.0);
    SetSpecifications(4, 10, 16);
    EXPECT_EQ(SpecLimits.Tolerance, 12.0);
    ResetCCCalcState();
    EXPECT_EQ(SpecLimits.Tolerance, 0.0);
    EXPECT_FALSE(SpecLimits.HasAnySpec);
}

struct IndexCase {
    double lsl, target, usl;
    int kind;
    double sigma, mean;
    double cp, cpk;
};

TEST_F(CapabilitySpecs, CpAndCpk) {
    const IndexCase cases[] = {
        {4, M, 16, 1, 1, 10, 2, 2},
        {4, M, 16, 1, 1, 12, 2, 4.0 / 3},
        {4, M, 16, 0, 2, 10, 1, 1},
        // One-sided: CPU and CPL.
        {M, M, 16, 1, 1, 10, 2, 2},
        {M, M, 16, 1, 1, 13, 1, 1},
        {4, M, M, 1, 0.5, 10, 4, 4},
        // No limit, or a sigma that is not positive: 0.
        {M, 10, M, 1, 1, 10, 0, 0},
        {4, M, 16, 1, 0, 10, 0, 0},
        {4, M, 16, 1, -1, 10, 0, 0},
        {4, M, 16, 1, kNaN, 10, 0, 0},
        {4, M, 16, 1, 1, kNaN, 0, 0},
    };
    for (const IndexCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.lsl << "/" << c.usl << " sigma " << c.sigma << " mean " << c.mean);
        SetSpecifications(c.lsl, c.target, c.usl);
        EXPECT_NEAR(static_cast<double>(CapabilityCp(c.kind, c.sigma, c.mean)), c.cp, 1e-15);
        EXPECT_NEAR(static_cast<double>(CapabilityCpk(c.kind, c.sigma, c.mean)), c.cpk, 1e-15);
    }
}

TEST_F(CapabilitySpecs, NonNormalKindsReuseTheLastSpread) {
    SetSpecifications(4, M, 16);
    // Before any normal call there is no spread: 0, not a division by zero.
    EXPECT_EQ(CapabilityCp(3, 1, 10), 0);
    EXPECT_EQ(CapabilityCp(1, 2, 10), 1); // spread 12
    EXPECT_EQ(SpecLimits.SpreadWidth, 12.0);
    EXPECT_EQ(CapabilityCp(3, 5, 10), 1);
    EXPECT_EQ(SpecLimits.SpreadWidth, 12.0);
    EXPECT_EQ(CapabilityCpk(3, 5, 10), 0);
    // Kinds 0 and 1 set the spread even when no index can be formed.
    EXPECT_EQ(CapabilityCp(0, -1, 10), 0);
    EXPECT_EQ(SpecLimits.SpreadWidth, -6.0);
}

TEST_F(CapabilitySpecs, Cpm) {
    SetSpecifications(4, 10, 16);
    // Off target by 2 with the small-sample factor 50/49.
    EXPECT_NEAR(static_cast<double>(CapabilityCpm(50, 1, 12)), 12 / (6 * std::sqrt(1 + 4 * 50.0 / 49)),
                1e-15);
    // n < 0 omits the factor; n of 0 or 1 gives 0.
    EXPECT_NEAR(static_cast<double>(CapabilityCpm(-1, 1, 12)), 12 / (6 * std::sqrt(5.0)), 1e-15);
    EXPECT_EQ(CapabilityCpm(1, 1, 12), 0);
    EXPECT_EQ(CapabilityCpm(0, 1, 12), 0);
    EXPECT_EQ(CapabilityCpm(50, 0, 12), 0);
    // One-sided with a target.
    SetSpecifications(M, 10, 16);
    EXPECT_NEAR(static_cast<double>(CapabilityCpm(-1, 1, 12)), 4 / (3 * std::sqrt(5.0)), 1e-15);
    SetSpecifications(4, 10, M);
    EXPECT_NEAR(static_cast<double>(CapabilityCpm(-1, 1, 12)), 8 / (3 * std::sqrt(5.0)), 1e-15);
    // No target.
    SetSpecifications(4, M, 16);
    EXPECT_EQ(CapabilityCpm(50, 1, 12), 0);
}
