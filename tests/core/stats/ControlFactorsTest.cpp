// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/CCCalcFixture.h"

#include "app/SharedState.h"

#include <cmath>
#include <numbers>

using namespace kivspc;

using ControlFactors = CCCalcTest;

namespace {

// Independent references for n = 2..30 (index n - 2), computed once with SciPy 1.10:
// d2 = quad of 1 - Phi^n - (1 - Phi)^n over the line; d3 from dblquad of the second moment of
// the range; the median range by brentq on the range distribution function (itself a quad);
// c4 from scipy.special.gammaln. They agree with the published control chart tables (d2 to
// three decimals, d3 and c4 to three or four).
constexpr double kRefD2[] = {1.128379, 1.692569, 2.058751, 2.325929, 2.534413, 2.704357, 2.847201, 2.970026,
                             3.077505, 3.172873, 3.258455, 3.335980, 3.406763, 3.471827, 3.531983, 3.587884,
                             3.640064, 3.688963, 3.734950, 3.778336, 3.819385, 3.858323, 3.895348, 3.930629,
                             3.964316, 3.996539, 4.027414, 4.057044, 4.085522};
constexpr double kRefD3[] = {0.852502, 0.888368, 0.879808, 0.864082, 0.848040, 0.833205, 0.819831, 0.807834,
                             0.797051, 0.787315, 0.778478, 0.770416, 0.763023, 0.756211, 0.749908, 0.744052,
                             0.738591, 0.733481, 0.728686, 0.724173, 0.719915, 0.715887, 0.712068, 0.708441,
                             0.704988, 0.701697, 0.698553, 0.695546, 0.692665};
constexpr double kRefMedianRange[] = {
    0.953873, 1.587788, 1.978320, 2.256882, 2.471652, 2.645452, 2.790841, 2.915438, 3.024202, 3.120531,
    3.206853, 3.284960, 3.356208, 3.421650, 3.482118, 3.538280, 3.590680, 3.639767, 3.685915, 3.729440,
    3.770611, 3.809656, 3.846776, 3.882141, 3.915902, 3.948193, 3.979129, 4.008814, 4.037342};
constexpr double kRefC4[] = {0.7978846, 0.8862269, 0.9213177, 0.9399856, 0.9515329, 0.9593688,
                             0.9650305, 0.9693107, 0.9726593, 0.9753501, 0.9775594, 0.9794056,
                             0.9809714, 0.9823162, 0.9834835, 0.9845064, 0.9854100, 0.9862141,
                             0.9869343, 0.9875829, 0.9881703, 0.9887045, 0.9891927, 0.9896404,
                             0.9900525, 0.9904330, 0.9907856, 0.9911130, 0.9914181};
// Variance of the median of n standard normal values, n = 2..20: quad of the order-statistic
// density (odd n) and dblquad of the joint density of the two middle ones (even n), SciPy 1.10.
constexpr double kRefMedianVariance[] = {0.5000000000, 0.4486711046, 0.2981996184, 0.2868336616, 0.2147426666,
                                         0.2104468615, 0.1681808552, 0.1661012814, 0.1383264358, 0.1371624335,
                                         0.1175161871, 0.1167989950, 0.1021678368, 0.1016946521, 0.0903752112,
                                         0.0900465814, 0.0810285101, 0.0807909751, 0.0734370277};

} // namespace

TEST_F(ControlFactors, TablesAgreeWithIndependentReferences) {
    for (int n = 2; n <= 30; ++n) {
        SCOPED_TRACE(n);
        const std::size_t r = static_cast<std::size_t>(n - 2);
        // d2 is tabled to five decimals, the others to four.
        EXPECT_NEAR(static_cast<double>(D2(n)), kRefD2[r], 5.1e-6);
        EXPECT_NEAR(static_cast<double>(D3Times(n, 1)), kRefD3[r], 5.1e-5);
        EXPECT_NEAR(static_cast<double>(D4(n)), kRefMedianRange[r], 5.1e-5);
        // c4 through the six-term log-gamma series.
        EXPECT_NEAR(static_cast<double>(C4(n)), kRefC4[r], 1e-7);
    }
    EXPECT_EQ(StatErrorCode, 0);
}

TEST_F(ControlFactors, MedianStandardErrors) {
    for (int n = 2; n <= 20; ++n) {
        SCOPED_TRACE(n);
        const Extended se = MedianSEFactor(n, 1);
        EXPECT_NEAR(static_cast<double>(se * se), kRefMedianVariance[n - 2], 2e-10);
        EXPECT_NEAR(static_cast<double>(MedianSEFactor(n, 3)), 3 * static_cast<double>(se), 1e-15);
    }
    // Above 20 the large-sample variance pi / (2n).
    EXPECT_NEAR(static_cast<double>(MedianSEFactor(21, 2)), 2 * std::sqrt(std::numbers::pi / 42), 1e-15);
    EXPECT_NEAR(static_cast<double>(MedianSEFactor(100, 1)), std::sqrt(std::numbers::pi / 200), 1e-15);
}

TEST_F(ControlFactors, AboveThirtyByIntegration) {
    // Reference: SciPy 1.10 as above.
    struct Case {
        int n;
        double d2, d3, medianRange, c4;
    };
    const Case cases[] = {
        {31, 4.112928, 0.689902, 4.064795, 0.9917028},
        {50, 4.498147, 0.652143, 4.450481, 0.9949113},
        {100, 5.015187, 0.605179, 4.967946, 0.9974780},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_NEAR(static_cast<double>(D2(c.n)), c.d2, 1e-6);
        EXPECT_EQ(D2(c.n), D2Integral(c.n));
        EXPECT_NEAR(static_cast<double>(D3Times(c.n, 2)), 2 * c.d3, 6e-5);
        EXPECT_EQ(D3Times(c.n, 2), 2 * D3Integral(c.n));
        // The polynomial in d2 for the median range.
        EXPECT_NEAR(static_cast<double>(D4(c.n)), c.medianRange, 3e-5);
        EXPECT_NEAR(static_cast<double>(C4(c.n)), c.c4, 1e-7);
    }
}

TEST_F(ControlFactors, SigmaEstimates) {
    EXPECT_NEAR(static_cast<double>(SigmaFromMeanRange(5, 2.326)), 2.326 / 2.32593, 1e-15);
    EXPECT_NEAR(static_cast<double>(SigmaFromMedianRange(5, 2.326)), 2.326 / 2.2569, 1e-15);
    EXPECT_NEAR(static_cast<double>(SigmaFromMeanSD(5, 1)), 1 / 0.9399856, 1e-7);
    // x sqrt((n - 1) / median of chi-square(n - 1)); reference: SciPy 1.10 scipy.stats.chi2.isf(0.5, df).
    EXPECT_NEAR(static_cast<double>(SigmaFromMedianSD(5, 2)), 2 * std::sqrt(4 / 3.3566940), 1e-6);
    EXPECT_NEAR(static_cast<double>(SigmaFromMedianSD(10, 1)), std::sqrt(9 / 8.3428327), 1e-6);
    EXPECT_EQ(StatErrorCode, 0);
}

TEST_F(ControlFactors, SizesOutsideTheRangeGiveZeroAndStatusOne) {
    for (int n : {1, 0, -1, -32768, kFactorMaxN + 1}) {
        SCOPED_TRACE(n);
        const Extended values[] = {D2(n),
                                   D4(n),
                                   D3Times(n, 2),
                                   C4(n),
                                   SigmaFromMeanRange(n, 2),
                                   SigmaFromMedianRange(n, 2),
                                   SigmaFromMeanSD(n, 2),
                                   SigmaFromMedianSD(n, 2),
                                   MedianSEFactor(n, 2)};
        for (Extended v : values)
            EXPECT_EQ(v, 0);
        EXPECT_EQ(StatErrorCode, 1);
        StatErrorCode = 0;
    }
    // A successful call leaves the status as it was.
    StatErrorCode = 7;
    D2(5);
    C4(40);
    EXPECT_EQ(StatErrorCode, 7);
}
