// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/CCCalcFixture.h"

#include "app/NumberFormat.h"
#include "app/SharedState.h"

#include <cmath>
#include <limits>
#include <optional>

using namespace kivspc;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct Result {
    std::int32_t status;
    double centerline, sigma, lcl, ucl;
};

Result Limits(TChartKind chart, int method, double x, double n, double k, double statistic) {
    Result r{0, x, -1, -1, -1};
    r.status = ComputeControlLimits(chart, static_cast<std::uint8_t>(method), r.centerline, r.sigma, r.lcl,
                                    r.ucl, n, k, statistic);
    EXPECT_EQ(r.status, StatErrorCode);
    return r;
}

std::string F4(double x) { return FormatFixed(4, x); }

} // namespace

using ControlLimits = CCCalcTest;

TEST_F(ControlLimits, XBarFromAverageRange) {
    const Result r = Limits(kChartMean, 1, 10, 5, 3, 2.326);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(F4(r.sigma), "1.0000");
    EXPECT_EQ(F4(r.ucl), "11.3417");
    EXPECT_EQ(F4(r.centerline), "10.0000");
    EXPECT_EQ(F4(r.lcl), "8.6583");
}

// Sigma estimates by method for the subgroup charts, against the published factors for n = 5:
// d2 1.12838 (n = 2) and 2.32593, median range 0.9539 (n = 2) and 2.2569, c4 0.9399856,
// median variance 0.2868336616 (n = 5).
TEST_F(ControlLimits, SigmaByMethod) {
    const double s = 1.7;
    const double root5 = std::sqrt(5.0);
    const double medianSE = std::sqrt(0.2868336616);
    // SciPy 1.10 scipy.stats.chi2.isf(0.5, 4).
    const double medianSD = s * std::sqrt(4 / 3.3566940);
    struct Case {
        TChartKind chart;
        int method;
        double sigma, tolerance;
    };
    const Case cases[] = {
        {kChartMean, 1, s / 2.32593, 1e-12},
        {kChartMean, 2, s / 2.2569, 1e-12},
        {kChartMean, 3, s / 0.9399856, 1e-7},
        {kChartMean, 4, medianSD, 1e-6},
        {kChartMean, 5, std::sqrt(s), 1e-12},
        {kChartMean, 6, root5 * s / 1.12838, 1e-12},
        {kChartMean, 7, root5 * s / 0.9539, 1e-12},
        {kChartMean, 8, root5 * s, 1e-12},
        {kChartMean, 9, s, 1e-12},
        {kChartMedian, 1, s / 2.32593, 1e-12},
        {kChartMedian, 5, std::sqrt(s), 1e-12},
        {kChartMedian, 6, s / 1.12838 / medianSE, 1e-9},
        {kChartMedian, 7, s / 0.9539 / medianSE, 1e-9},
        {kChartMedian, 8, s / medianSE, 1e-9},
        {kChartMedian, 9, s, 1e-12},
        {kChartRange, 2, s / 2.2569, 1e-12},
        {kChartRange, 6, s, 1e-12},
        {kChartStdDev, 3, s / 0.9399856, 1e-7},
        {kChartStdDev, 4, medianSD, 1e-6},
        {kChartVariance, 5, std::sqrt(s), 1e-12},
        {kChartVariance, 6, s, 1e-12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "page " << CalculatorPageOf(c.chart) << " method " << c.method);
        const Result r = Limits(c.chart, c.method, 0, 5, 3, s);
        EXPECT_LE(r.status, 0);
        EXPECT_NEAR(r.sigma, c.sigma, c.tolerance);
    }
}

TEST_F(ControlLimits, LocationCharts) {
    // Median chart: X +- k sigma sqrt(median variance factor).
    Result r = Limits(kChartMedian, 9, 10, 5, 3, 2);
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(r.ucl, 10 + 3 * 2 * std::sqrt(0.2868336616), 1e-9);
    EXPECT_NEAR(r.lcl, 10 - 3 * 2 * std::sqrt(0.2868336616), 1e-9);
    EXPECT_EQ(r.centerline, 10);
    // X chart: average moving range over a span of 2.
    r = Limits(kChartX, 1, -4, 2, 3, 1.12838);
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(r.sigma, 1, 1e-15);
    EXPECT_NEAR(r.ucl, -1, 1e-14);
    EXPECT_NEAR(r.lcl, -7, 1e-14);
    r = Limits(kChartX, 2, 0, 2, 2, 0.9539);
    EXPECT_NEAR(r.ucl, 2, 1e-14);
    r = Limits(kChartX, 3, 0, 5, 1, 0.9399856);
    EXPECT_NEAR(r.ucl, 1, 1e-7);
    // Known sigma: n is neither checked nor used.
    for (double n : {0.0, 1.0, -3.0, kNaN}) {
        r = Limits(kChartX, 4, 5, n, 3, 2);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.ucl, 11);
        EXPECT_EQ(r.lcl, -1);
    }
}

TEST_F(ControlLimits, DispersionCharts) {
    // R chart, known sigma 1: d2 - 3 d3 is negative up to n = 6.
    Result r = Limits(kChartRange, 6, 0, 5, 3, 1);
    EXPECT_EQ(r.status, kLimitsNoLower);
    EXPECT_NEAR(r.centerline, 2.32593, 1e-15);
    EXPECT_NEAR(r.ucl, 2.32593 + 3 * 0.8641, 1e-14);
    EXPECT_EQ(r.lcl, 0);
    EXPECT_EQ(Limits(kChartRange, 6, 0, 6, 3, 1).status, kLimitsNoLower);
    r = Limits(kChartRange, 6, 0, 7, 3, 1);
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(r.lcl, 2.70436 - 3 * 0.8332, 1e-14);
    // Above 30 the integrals take over.
    r = Limits(kChartRange, 6, 0, 31, 3, 1);
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(r.centerline, 4.112928, 2e-5);
    EXPECT_NEAR(r.ucl, 4.112928 + 3 * 0.689902, 1e-4);

    // s chart, c4 from SciPy 1.10 gammaln.
    const double c4of5 = 0.9399856, c4of10 = 0.9726593;
    r = Limits(kChartStdDev, 6, 0, 5, 3, 1);
    EXPECT_EQ(r.status, kLimitsNoLower);
    EXPECT_NEAR(r.centerline, c4of5, 1e-7);
    EXPECT_NEAR(r.ucl, c4of5 + 3 * std::sqrt(1 - c4of5 * c4of5), 1e-6);
    r = Limits(kChartStdDev, 6, 0, 10, 3, 1);
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(r.lcl, c4of10 - 3 * std::sqrt(1 - c4of10 * c4of10), 1e-6);

    // s-squared chart: probability limits; reference: SciPy 1.10 scipy.stats.chi2.isf with
    // alpha = 0.0013499672 (the normal tail beyond 3 of the polynomial approximation).
    r = Limits(kChartVariance, 6, 0, 5, 3, 1);
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(r.centerline, 3.3566940 / 4, 1e-6);
    EXPECT_NEAR(r.ucl, 17.8004666 / 4, 1e-5);
    EXPECT_NEAR(r.lcl, 0.1057658 / 4, 1e-6);
    r = Limits(kChartVariance, 6, 0, 10, 3, 2);
    EXPECT_NEAR(r.ucl, 4 * 27.0931927 / 9, 1e-5);
    EXPECT_NEAR(r.lcl, 4 * 1.2412453 / 9, 1e-6);
}

TEST_F(ControlLimits, ProportionsApproximate) {
    Result r = Limits(kChartP, 1, 0, 50, 3, 0.1);
    EXPECT_EQ(r.status, kLimitsNoLower);
    EXPECT_EQ(FormatSignificant(4, r.ucl), "0.2273");
    EXPECT_EQ(r.lcl, 0);
    EXPECT_NEAR(r.sigma, std::sqrt(0.1 * 0.9 / 50), 1e-15);
    EXPECT_NEAR(r.centerline, 0.1, 1e-15);
    // Both limits outside 0..1: the lower one decides the status, the UCL stays the number 1.
    r = Limits(kChartP, 1, 0, 2, 3, 0.5);
    EXPECT_EQ(r.status, kLimitsNoLower);
    EXPECT_EQ(F4(r.ucl), "1.0000");
    EXPECT_EQ(r.lcl, 0);
    // Only the upper one outside.
    r = Limits(kChartP, 1, 0, 20, 3, 0.9);
    EXPECT_EQ(r.status, kLimitsNoUpper);
    EXPECT_EQ(r.ucl, 1);
    EXPECT_NEAR(r.lcl, 0.9 - 3 * std::sqrt(0.9 * 0.1 / 20), 1e-15);
    // np: everything scaled by n.
    r = Limits(kChartNP, 1, 0, 200, 3, 20);
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(r.centerline, 20, 1e-13);
    EXPECT_NEAR(r.sigma, std::sqrt(200 * 0.1 * 0.9), 1e-13);
    EXPECT_NEAR(r.ucl, 20 + 3 * std::sqrt(18.0), 1e-13);
    EXPECT_NEAR(r.lcl, 20 - 3 * std::sqrt(18.0), 1e-13);
}

// Exact binomial limits: UCL = (i - 0.5)/n for the smallest i with P(X >= i) < alpha, LCL =
// (j - 0.5)/n for the largest j with P(X < j) < alpha, alpha = 0.0013499672 (k = 3).
// Reference: SciPy 1.10 scipy.stats.binom.sf / cdf searched over every count.
TEST_F(ControlLimits, ProportionsExactBinomial) {
    struct Case {
        double n, pbar;
        std::optional<double> ucl, lcl;
    };
    const Case cases[] = {
        {50, 0.1, 0.25, std::nullopt},
        {200, 0.1, 0.1725, 0.0375},
        {100, 0.02, 0.075, std::nullopt},
        {1000, 0.3, 0.3445, 0.2565},
        {20, 0.5, 0.825, 0.175},
        {5000, 0.01, 0.0145, 0.0059},
        // n p-bar far below 1: the upward search starts at 1.
        {100, 0.0001, 0.015, std::nullopt},
        // P(X = n) above alpha: no upper limit.
        {10, 0.9, std::nullopt, 0.45},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "n " << c.n << " p " << c.pbar);
        for (int method : {2, 0}) { // the attributes chart passes 0 for exact
            const Result r = Limits(kChartP, method, 0, c.n, 3, c.pbar);
            const std::int32_t expected = !c.lcl ? kLimitsNoLower : !c.ucl ? kLimitsNoUpper : 0;
            EXPECT_EQ(r.status, expected);
            EXPECT_NEAR(r.ucl, c.ucl.value_or(1), 1e-15);
            EXPECT_NEAR(r.lcl, c.lcl.value_or(0), 1e-15);
            EXPECT_NEAR(r.centerline, c.pbar, 1e-15);
        }
        const Result np = Limits(kChartNP, 2, 0, c.n, 3, c.pbar * c.n);
        EXPECT_NEAR(np.ucl, c.ucl.value_or(1) * c.n, 1e-9);
        EXPECT_NEAR(np.lcl, c.lcl.value_or(0) * c.n, 1e-9);
    }
}

TEST_F(ControlLimits, CountsApproximate) {
    struct Case {
        double cbar, ucl;
        std::optional<double> lcl;
    };
    const Case cases[] = {
        {4, 10, std::nullopt}, {10, 10 + 3 * std::sqrt(10.0), 10 - 3 * std::sqrt(10.0)}, {25, 40, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cbar);
        const Result r = Limits(kChartC, 1, 0, 1, 3, c.cbar);
        EXPECT_EQ(r.status, c.lcl ? 0 : kLimitsNoLower);
        EXPECT_NEAR(r.ucl, c.ucl, 1e-13);
        EXPECT_NEAR(r.lcl, c.lcl.value_or(0), 1e-13);
        EXPECT_NEAR(r.sigma, std::sqrt(c.cbar), 1e-15);
    }
    EXPECT_EQ(FormatSignificant(4, Limits(kChartC, 1, 0, 1, 3, 10).ucl), "19.49");
    EXPECT_EQ(FormatSignificant(4, Limits(kChartC, 1, 0, 1, 3, 10).lcl), "0.5132");
    // The UCL is never capped.
    EXPECT_NEAR(Limits(kChartC, 1, 0, 1, 3, 1e6).ucl, 1e6 + 3000, 1e-6);
}

// Exact Poisson limits: UCL = i - 0.5 for the smallest i with P(X >= i) < alpha, LCL = j - 0.5
// for the largest j with P(X < j) < alpha. Reference: SciPy 1.10 scipy.stats.poisson.sf / cdf
// searched over every count, alpha = 0.0013499672.
TEST_F(ControlLimits, CountsExactPoisson) {
    struct Case {
        double cbar, ucl;
        std::optional<double> lcl;
    };
    const Case cases[] = {
        {4, 11.5, std::nullopt},
        {10, 21.5, 1.5},
        {25, 41.5, 10.5},
        {0.001, 0.5, std::nullopt},
        {0.5, 4.5, std::nullopt},
        {100, 131.5, 70.5},
        {1000, 1096.5, 905.5},
        {12345.6, 12680.5, 12013.5},
        // Far above the counts whose tails are summed term by term.
        {250000, 251501.5, 248500.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cbar);
        const Result r = Limits(kChartC, 0, 0, 1, 3, c.cbar);
        EXPECT_EQ(r.status, c.lcl ? 0 : kLimitsNoLower);
        EXPECT_EQ(r.ucl, c.ucl);
        EXPECT_EQ(r.lcl, c.lcl.value_or(0));
        EXPECT_NEAR(r.centerline, c.cbar, 1e-12);
    }
}

TEST_F(ControlLimits, RatesDivideByUnroundedUnits) {
    // u-bar 4 on 2.5 units: the limits of c = 10, divided by 2.5.
    Result r = Limits(kChartU, 2, 0, 2.5, 3, 4);
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(r.ucl, 21.5 / 2.5, 1e-15);
    EXPECT_NEAR(r.lcl, 1.5 / 2.5, 1e-15);
    EXPECT_NEAR(r.centerline, 4, 1e-15);
    EXPECT_NEAR(r.sigma, std::sqrt(10.0) / 2.5, 1e-15);
    r = Limits(kChartU, 1, 0, 2.5, 3, 4);
    EXPECT_NEAR(r.ucl, (10 + 3 * std::sqrt(10.0)) / 2.5, 1e-14);
    // Less than half a unit is still a size.
    r = Limits(kChartU, 1, 0, 0.4, 3, 25);
    EXPECT_EQ(r.status, 0);
    EXPECT_NEAR(r.ucl, 25 + 3 * std::sqrt(10.0) / 0.4, 1e-12);
}

TEST_F(ControlLimits, Statuses) {
    struct Case {
        TChartKind chart;
        int method;
        double x, n, k, statistic;
        std::int32_t status;
    };
    const Case cases[] = {
        // Statistic or k of 0.
        {kChartMean, 1, 10, 5, 0, 2.3, kLimitsZeroStatistic},
        {kChartRange, 1, 0, 5, 3, 0, kLimitsZeroStatistic},
        {kChartP, 1, 0, 50, 3, 0, kLimitsZeroStatistic},
        {kChartC, 2, 0, 1, 0, 4, kLimitsZeroStatistic},
        // n rounds to 0 or 1 (halves to even).
        {kChartMean, 1, 10, 0, 3, 2.3, kLimitsZeroSampleSize},
        {kChartVariance, 1, 0, 0.5, 3, 2.3, kLimitsZeroSampleSize},
        {kChartNP, 1, 0, 0.4, 3, 2, kLimitsZeroSampleSize},
        {kChartX, 1, 0, 0, 3, 2, kLimitsZeroSampleSize},
        {kChartMedian, 1, 10, 1, 3, 2.3, kLimitsSampleSizeOne},
        {kChartStdDev, 3, 0, 1.4, 3, 2.3, kLimitsSampleSizeOne},
        {kChartP, 1, 0, 1, 3, 0.1, kLimitsSampleSizeOne},
        {kChartX, 3, 0, 1, 3, 2, kLimitsSampleSizeOne},
        {kChartRange, 1, 0, 2.5, 3, 1, kLimitsNoLower}, // 2.5 rounds to 2
        {kChartRange, 1, 0, 1.5, 3, 1, kLimitsNoLower}, // 1.5 rounds to 2
        // A negative n, for every chart that uses it and whatever its method, also those that
        // need no factor; n is refused as a real, before it could overflow an int.
        {kChartMean, 9, 10, -3, 3, 2, kLimitsNegativeSampleSize},
        {kChartMedian, 9, 10, -2, 3, 2, kLimitsNegativeSampleSize},
        {kChartRange, 1, 0, -3, 3, 2, kLimitsNegativeSampleSize},
        {kChartStdDev, 6, 0, -3, 3, 2, kLimitsNegativeSampleSize},
        {kChartVariance, 1, 0, -3, 3, 2, kLimitsNegativeSampleSize},
        {kChartVariance, 5, 0, -3, 3, 2, kLimitsNegativeSampleSize},
        {kChartVariance, 6, 0, -3, 3, 2, kLimitsNegativeSampleSize},
        {kChartVariance, 6, 0, -2147483648.0, 3, 2, kLimitsNegativeSampleSize},
        {kChartVariance, 5, 0, -1e300, 3, 2, kLimitsNegativeSampleSize},
        {kChartX, 1, 0, -3, 3, 2, kLimitsNegativeSampleSize},
        {kChartP, 1, 0, -50, 3, 0.1, kLimitsNegativeSampleSize},
        {kChartNP, 2, 0, -50, 3, 5, kLimitsNegativeSampleSize},
        {kChartU, 2, 0, -2, 3, 4, kLimitsNegativeSampleSize},
        {kChartU, 1, 0, -0.2, 3, 4, kLimitsNegativeSampleSize},
        {kChartVariance, 6, 0, -0.4, 3, 2, kLimitsZeroSampleSize}, // rounds to 0
        // A negative number of standard errors would swap the limits.
        {kChartMean, 1, 10, 5, -3, 2.3, kLimitsNegativeStdErrors},
        {kChartX, 4, 10, 0, -3, 2, kLimitsNegativeStdErrors},
        {kChartRange, 6, 0, 5, -1, 1, kLimitsNegativeStdErrors},
        {kChartVariance, 6, 0, 5, -3, 1, kLimitsNegativeStdErrors},
        {kChartP, 2, 0, 50, -3, 0.1, kLimitsNegativeStdErrors},
        {kChartC, 1, 0, 1, -3, 4, kLimitsNegativeStdErrors},
        {kChartU, 2, 0, 2, -9, 4, kLimitsNegativeStdErrors},
        // No dispersion, proportion, count or rate is negative.
        {kChartMean, 9, 10, 5, 3, -2, kLimitsNegativeStatistic},
        {kChartX, 4, 10, 5, 3, -2, kLimitsNegativeStatistic},
        {kChartVariance, 5, 0, 5, 3, -2, kLimitsNegativeStatistic},
        {kChartP, 1, 0, 50, 3, -0.1, kLimitsNegativeStatistic},
        {kChartC, 1, 0, 1, 3, -4, kLimitsNegativeStatistic},
        // Beyond the 16-bit subgroup sizes of the factors, or beyond an int.
        {kChartRange, 1, 0, 70000, 3, 2, kLimitsOutOfRange},
        {kChartMean, 9, 10, 70000, 3, 2, 0},
        // Only the factors read at n refuse it: in the sigma estimate or in the limits.
        {kChartX, 1, 0, 70000, 3, 2, kLimitsOutOfRange},
        {kChartX, 4, 0, 70000, 3, 2, 0},
        {kChartMean, 6, 10, 70000, 3, 2, 0}, // moving range of two means, times sqrt(n)
        {kChartMedian, 6, 10, 70000, 3, 2, kLimitsOutOfRange},
        {kChartMedian, 9, 10, 70000, 3, 2, kLimitsOutOfRange},
        {kChartRange, 6, 0, 70000, 3, 2, kLimitsOutOfRange},
        {kChartStdDev, 5, 0, 70000, 3, 2, kLimitsOutOfRange},
        {kChartVariance, 4, 0, 70000, 3, 2, kLimitsOutOfRange},
        {kChartVariance, 5, 0, 70000, 3, 2, 0},
        {kChartVariance, 6, 0, 70000, 3, 2, 0},
        {kChartMean, 9, 10, 1e10, 3, 2, kLimitsOutOfRange},
        {kChartVariance, 6, 0, 1e10, 3, 2, kLimitsOutOfRange},
        // p-bar of 1 or more; on the np chart, np-bar of n or more.
        {kChartP, 1, 0, 50, 3, 1, kLimitsOutOfRange},
        {kChartP, 2, 0, 50, 3, 1.5, kLimitsOutOfRange},
        {kChartNP, 2, 0, 50, 3, 50, kLimitsCountAboveSampleSize},
        {kChartNP, 1, 0, 50, 3, 60, kLimitsCountAboveSampleSize},
        {kChartU, 1, 0, 0, 3, 4, kLimitsZeroSampleSize},
        // Sizes the exact searches cannot take.
        {kChartP, 2, 0, 3e9, 3, 0.1, kLimitsOutOfRange},
        {kChartC, 2, 0, 1, 3, 2e9, kLimitsPoissonMeanTooLarge},
        {kChartC, 2, 0, 1, 3, 1e308, kLimitsPoissonMeanTooLarge},
        {kChartU, 2, 0, 1e6, 3, 1e4, kLimitsPoissonMeanTooLarge},
        {kChartC, 1, 0, 1, 3, 1e308, 0}, // the approximation is fine
        // Results beyond a double: sqrt(5) 1e308, d2 1e308, (1e200)^2, 1e308 standard errors.
        {kChartMean, 8, 10, 5, 3, 1e308, kLimitsOverflow},
        {kChartRange, 6, 0, 5, 3, 1e308, kLimitsOverflow},
        {kChartVariance, 6, 0, 5, 3, 1e200, kLimitsOverflow},
        {kChartX, 4, 0, 5, 1e308, 10, kLimitsOverflow},
        // The c chart ignores n.
        {kChartC, 1, 0, 0, 3, 4, kLimitsNoLower},
        {kChartC, 2, 0, kNaN, 3, 10, 0},
        // Methods a chart does not have, kinds without a calculator page.
        {kChartMean, 10, 10, 5, 3, 2, kLimitsNotComputable},
        {kChartMedian, 0, 10, 5, 3, 2, kLimitsNotComputable},
        {kChartX, 5, 0, 5, 3, 2, kLimitsNotComputable},
        {kChartRange, 7, 0, 5, 3, 2, kLimitsNotComputable},
        {kChartVariance, 9, 0, 5, 3, 2, kLimitsNotComputable},
        {kChartNone, 1, 0, 5, 3, 2, kLimitsNotComputable},
        {kChartMovingRange, 1, 0, 5, 3, 2, kLimitsNotComputable},
        {kChartIndividualPoints, 1, 0, 5, 3, 2, kLimitsNotComputable},
        // Arguments that are not numbers.
        {kChartMean, 1, kNaN, 5, 3, 2, kLimitsNotComputable},
        {kChartMean, 1, 10, kNaN, 3, 2, kLimitsNotComputable},
        {kChartRange, 1, 0, 5, kInf, 2, kLimitsNotComputable},
        {kChartP, 1, 0, 50, 3, kNaN, kLimitsNotComputable},
        {kChartU, 1, 0, kInf, 3, 2, kLimitsNotComputable},
        // Exact Poisson limits need a normal tail above 0 (k up to about 8).
        {kChartC, 2, 0, 1, 9, 4, kLimitsNotComputable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "page " << CalculatorPageOf(c.chart) << " method " << c.method
                                        << " n " << c.n << " k " << c.k << " statistic " << c.statistic);
        const Result r = Limits(c.chart, c.method, c.x, c.n, c.k, c.statistic);
        EXPECT_EQ(r.status, c.status);
        if (r.status > 0) {
            EXPECT_EQ(r.sigma, 0);
            EXPECT_EQ(r.ucl, 0);
            EXPECT_EQ(r.lcl, 0);
        }
    }
}

TEST_F(ControlLimits, ExactBinomialBeyondEightStandardErrors) {
    // The normal tail reads 0: no count is rare enough for either limit.
    Result r = Limits(kChartP, 2, 0, 50, 9, 0.1);
    EXPECT_EQ(r.status, kLimitsNoLower);
    EXPECT_EQ(r.ucl, 1);
    EXPECT_EQ(r.lcl, 0);
}

TEST_F(ControlLimits, StatusTexts) {
    EXPECT_EQ(ControlLimitStatusText(1), "Sample size outside table range");
    EXPECT_EQ(ControlLimitStatusText(5), "Zero sample size");
    EXPECT_EQ(ControlLimitStatusText(6), "Sample size must be larger than 1");
    EXPECT_EQ(ControlLimitStatusText(7), "Sample size must not be negative");
    EXPECT_EQ(ControlLimitStatusText(8), "Standard errors must not be negative");
    EXPECT_EQ(ControlLimitStatusText(9), "Statistic must not be negative");
    EXPECT_EQ(ControlLimitStatusText(10), "Statistic = 0");
    EXPECT_EQ(ControlLimitStatusText(11), "np-bar must be less than n");
    EXPECT_EQ(ControlLimitStatusText(12), "Mean too large for exact Poisson limits: use the approximation");
    EXPECT_EQ(ControlLimitStatusText(13), "Limits beyond the range of numbers");
    for (std::int32_t other : {2, 99, 3})
        EXPECT_EQ(ControlLimitStatusText(other), " Error");
    for (std::int32_t fine : {0, -1, -2})
        EXPECT_EQ(ControlLimitStatusText(fine), "");
}

// Every chart and method over awkward arguments: each call ends, and a non-positive status
// never comes with an undefined or infinite number, nor with limits the wrong way round.
TEST_F(ControlLimits, AwkwardArgumentsNeitherCrashNorHang) {
    const double statistics[] = {-1, 1e-300, 0.3, 4, 1e300, kNaN, -kInf};
    const double sizes[] = {-5, 0, 1, 2.5, 7, 31, 1e6, 1e300, kNaN};
    const double ks[] = {-3, 0.5, 3, 9, 1e300, kNaN};
    // Every kind, those without a calculator page too.
    for (int value = 0; value <= static_cast<int>(kChartU); ++value) {
        const auto chart = static_cast<TChartKind>(value);
        const int lastMethod = chart >= kChartP && chart <= kChartU ? 2 : 10;
        for (int method = 0; method <= lastMethod; ++method)
            for (double s : statistics)
                for (double n : sizes)
                    for (double k : ks) {
                        const Result r = Limits(chart, method, HasCentreInput(chart) ? -2.5 : 0, n, k, s);
                        if (r.status <= 0) {
                            SCOPED_TRACE(testing::Message()
                                         << "chart " << value << " method " << method << " n " << n << " k "
                                         << k << " statistic " << s);
                            EXPECT_GE(r.status, -2);
                            EXPECT_TRUE(std::isfinite(r.centerline));
                            EXPECT_TRUE(std::isfinite(r.sigma));
                            EXPECT_TRUE(std::isfinite(r.ucl));
                            EXPECT_TRUE(std::isfinite(r.lcl));
                            EXPECT_LE(r.lcl, r.ucl);
                        }
                    }
    }
}
