// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/JohnsonMoments.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kivspc;

namespace {

struct TMoments {
    double Mean, Sd, Skewness, Kurtosis;
};

// x as a function of the standard normal z for each curve: the inverse of
// z = gamma + delta f((x - xi)/lambda).
double CurveValue(int type, double z, double gamma, double delta, double lambda, double xi) {
    const double u = (z - gamma) / delta;
    switch (type) {
    case kJohnsonSU: return xi + lambda * std::sinh(u);
    case kJohnsonSB: return xi + lambda / (1 + std::exp(-u));
    default: return xi + lambda * std::exp(u); // SL, lambda = +-1
    }
}

// The four moments of a Johnson curve, independently of the fit: E[x^k] as the integral of
// x(z)^k phi(z) by the trapezoidal rule with step 1e-3 on z in [-14, 14] (for these smooth
// integrands with Gaussian tails the rule is exact to rounding), then central moments.
TMoments CurveMoments(int type, double gamma, double delta, double lambda, double xi) {
    const double step = 1e-3;
    const double invRootTwoPi = 1 / std::sqrt(2 * std::acos(-1.0));
    double raw[5] = {0, 0, 0, 0, 0};
    for (int i = -14000; i <= 14000; ++i) {
        const double z = i * step;
        const double weight =
            (std::abs(i) == 14000 ? 0.5 : 1.0) * step * invRootTwoPi * std::exp(-0.5 * z * z);
        const double x = CurveValue(type, z, gamma, delta, lambda, xi);
        double power = 1;
        for (double& moment : raw) {
            moment += weight * power;
            power *= x;
        }
    }
    const double m = raw[1] / raw[0];
    const double m2 = raw[2] / raw[0] - m * m;
    const double m3 = raw[3] / raw[0] - 3 * m * raw[2] / raw[0] + 2 * m * m * m;
    const double m4 =
        raw[4] / raw[0] - 4 * m * raw[3] / raw[0] + 6 * m * m * raw[2] / raw[0] - 3 * m * m * m * m;
    return {m, std::sqrt(m2), m3 / std::pow(m2, 1.5), m4 / (m2 * m2)};
}

struct TCurveCase {
    const char* Name;
    int Type;
    double Gamma, Delta, Lambda, Xi;
    double Tolerance; // relative, on every parameter
};

bool AllFinite(const TJohnsonMomentFit& fit) {
    return std::isfinite(fit.Gamma) && std::isfinite(fit.Delta) && std::isfinite(fit.Lambda) &&
           std::isfinite(fit.Xi);
}

} // namespace

// Moments of known curves of every type come back as the curve. SL and symmetric SU are solved
// in closed form; the SB fit iterates until its steps are below 1e-4 (its scale and origin use
// the moments of the pass before the last step); the SU iteration stops once the skewness
// squared is within 0.01, which leaves its parameters up to about 1% off.
TEST(JohnsonMoments, MomentsOfAKnownCurveGiveTheCurveBack) {
    const TCurveCase cases[] = {
        {"SU symmetric", kJohnsonSU, 0.0, 1.3, 2.0, 5.0, 1e-9},
        {"SU left", kJohnsonSU, 1.0, 2.0, 1.5, 10.0, 1e-2},
        {"SU right", kJohnsonSU, -0.8, 1.5, 2.0, -3.0, 1e-2},
        {"SB symmetric", kJohnsonSB, 0.0, 2.0, 3.0, 1.0, 2e-4},
        {"SB right", kJohnsonSB, 0.5, 1.2, 4.0, 2.0, 2e-4},
        {"SB left", kJohnsonSB, -1.0, 0.8, 1.0, 0.0, 2e-4},
        {"SB near two points", kJohnsonSB, 0.3, 0.4, 10.0, -5.0, 2e-4},
        {"SL right", kJohnsonSL, -1.0, 1.5, 1.0, 3.0, 1e-9},
        {"SL left", kJohnsonSL, 0.5, 2.0, -1.0, 5.0, 1e-9},
    };
    for (const TCurveCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TMoments m = CurveMoments(c.Type, c.Gamma, c.Delta, c.Lambda, c.Xi);
        const TJohnsonMomentFit fit = JohnsonFromMoments(m.Mean, m.Sd, m.Skewness, m.Kurtosis);
        EXPECT_EQ(fit.Status, 0);
        EXPECT_EQ(fit.Type, c.Type);
        auto near = [&](double got, double want) {
            EXPECT_NEAR(got, want, c.Tolerance * std::max(1.0, std::fabs(want)));
        };
        near(fit.Gamma, c.Gamma);
        near(fit.Delta, c.Delta);
        near(fit.Lambda, c.Lambda);
        near(fit.Xi, c.Xi);
    }
}

// Reference: the log-normal with sigma 0.5 and mu 0 (Johnson, Kotz and Balakrishnan, Continuous
// Univariate Distributions 1, ch. 14): with w = exp(sigma^2), mean exp(sigma^2/2), variance
// w (w - 1), skewness (w + 2) sqrt(w - 1), kurtosis w^4 + 2 w^3 + 3 w^2 - 3; as a Johnson SL
// curve delta = 1/sigma = 2, gamma = -mu/sigma = 0, xi = 0, lambda = 1.
TEST(JohnsonMoments, LognormalMomentsGiveTheLognormal) {
    const double w = std::exp(0.25);
    const double mean = std::exp(0.125), sd = std::sqrt(w * (w - 1));
    const double skewness = (w + 2) * std::sqrt(w - 1);
    const double kurtosis = w * w * w * w + 2 * w * w * w + 3 * w * w - 3;
    TJohnsonMomentFit fit = JohnsonFromMoments(mean, sd, skewness, kurtosis);
    EXPECT_EQ(fit.Status, 0);
    EXPECT_EQ(fit.Type, kJohnsonSL);
    EXPECT_NEAR(fit.Delta, 2, 1e-12);
    EXPECT_NEAR(fit.Gamma, 0, 1e-12);
    EXPECT_NEAR(fit.Xi, 0, 1e-12);
    EXPECT_EQ(fit.Lambda, 1);

    // Within 0.01 of the line's kurtosis still counts as on it; the mirror image has lambda -1:
    // the curve x = -exp(z/2).
    fit = JohnsonFromMoments(-mean, sd, -skewness, kurtosis + 0.009);
    EXPECT_EQ(fit.Type, kJohnsonSL);
    EXPECT_EQ(fit.Lambda, -1);
    EXPECT_NEAR(fit.Delta, 2, 1e-12);
    // Past the tolerance the curve is SU above the line and SB below it.
    EXPECT_EQ(JohnsonFromMoments(mean, sd, skewness, kurtosis + 0.02).Type, kJohnsonSU);
    fit = JohnsonFromMoments(mean, sd, skewness, kurtosis - 0.1);
    EXPECT_EQ(fit.Status, 0);
    EXPECT_EQ(fit.Type, kJohnsonSB);
}

// When the SB iteration fails the log-normal stands for it if the kurtosis exceeds
// skewness^2 + 2, the two-point type otherwise, both with status 3. Just under the log-normal
// line the SB curve's gamma runs past 20 and the iteration overshoots; close to the two-point
// boundary delta is so small that the moment series needs more than its 500 terms.
TEST(JohnsonMoments, FailedSbFitFallsBackWithStatus3) {
    const double w = std::exp(0.25); // the log-normal with sigma 0.5, as above
    const double skewness = (w + 2) * std::sqrt(w - 1);
    const double kurtosis = w * w * w * w + 2 * w * w * w + 3 * w * w - 3;
    TJohnsonMomentFit fit = JohnsonFromMoments(0, 1, skewness, kurtosis - 0.02);
    EXPECT_EQ(fit.Status, 3);
    EXPECT_EQ(fit.Type, kJohnsonSL);
    EXPECT_NEAR(fit.Delta, 2, 1e-12);

    // Reference by hand as in the two-point test: skewness 1.5, the boundary at 3.25.
    fit = JohnsonFromMoments(0.2, 0.4, 1.5, 3.3);
    EXPECT_EQ(fit.Status, 3);
    EXPECT_EQ(fit.Type, kJohnsonTwoPoint);
    EXPECT_NEAR(fit.Delta, 0.2, 1e-12);
}

// Just above the log-normal line at a large skewness Johnson's SU iteration would take the square
// root of a negative number: status 10, and no numbers.
TEST(JohnsonMoments, SuIterationThatBreaksDownIsStatus10) {
    const TJohnsonMomentFit fit = JohnsonFromMoments(0, 1, 12.7, 730.631);
    EXPECT_EQ(fit.Status, 10);
    EXPECT_TRUE(AllFinite(fit));
}

// The normal is z = gamma + delta x with delta = 1/sd and gamma = -mean/sd, xi and lambda 0:
// for mean 5, sd 2, z = (x - 5)/2 by hand. Skewness and kurtosis within 0.01 of 0 and 3 count.
TEST(JohnsonMoments, NormalMomentsGiveTheNormal) {
    for (const auto& [skewness, kurtosis] : {std::pair{0.0, 3.0}, {0.009, 2.992}, {-0.01, 3.01}}) {
        SCOPED_TRACE(kurtosis);
        const TJohnsonMomentFit fit = JohnsonFromMoments(5, 2, skewness, kurtosis);
        EXPECT_EQ(fit.Status, 0);
        EXPECT_EQ(fit.Type, kJohnsonNormal);
        EXPECT_DOUBLE_EQ(fit.Delta, 0.5);
        EXPECT_DOUBLE_EQ(fit.Gamma, -2.5);
        EXPECT_EQ(fit.Xi, 0);
        EXPECT_EQ(fit.Lambda, 0);
    }
    // Symmetric but with kurtosis off 3 by more than 0.01: SB below, SU above.
    EXPECT_EQ(JohnsonFromMoments(5, 2, 0, 2.98).Type, kJohnsonSB);
    EXPECT_EQ(JohnsonFromMoments(5, 2, 0, 3.02).Type, kJohnsonSU);
}

// Two-point values: a standard deviation of 0 at once (xi the mean), and moments on the boundary
// kurtosis = skewness^2 + 1. Reference by hand: 0 with probability 0.8 and 1 with 0.2 has mean
// 0.2, sd 0.4, skewness (1 - 2p)/sqrt(p(1 - p)) = 0.6/0.4 = 1.5 and kurtosis 1.5^2 + 1 = 3.25;
// the fit gives the lower point as xi, the upper as lambda and its probability as delta.
TEST(JohnsonMoments, ZeroSpreadAndTheBoundaryGiveTwoPoints) {
    TJohnsonMomentFit fit = JohnsonFromMoments(7.5, 0, 1.2, 9);
    EXPECT_EQ(fit.Status, 0);
    EXPECT_EQ(fit.Type, kJohnsonTwoPoint);
    EXPECT_EQ(fit.Xi, 7.5);

    fit = JohnsonFromMoments(0.2, 0.4, 1.5, 3.25);
    EXPECT_EQ(fit.Status, 0);
    EXPECT_EQ(fit.Type, kJohnsonTwoPoint);
    EXPECT_NEAR(fit.Xi, 0, 1e-12);
    EXPECT_NEAR(fit.Lambda, 1, 1e-12);
    EXPECT_NEAR(fit.Delta, 0.2, 1e-12);
    // The mirror image: 1 with probability 0.8.
    fit = JohnsonFromMoments(0.8, 0.4, -1.5, 3.255);
    EXPECT_EQ(fit.Type, kJohnsonTwoPoint);
    EXPECT_NEAR(fit.Delta, 0.8, 1e-12);
    EXPECT_NEAR(fit.Xi, 0, 1e-12);
    EXPECT_NEAR(fit.Lambda, 1, 1e-12);
}

TEST(JohnsonMoments, ImpossibleMomentsAreAStatusNotNumbers) {
    struct {
        double Mean, Sd, Skewness, Kurtosis;
        int Status;
    } const cases[] = {
        {0, -1, 0, 3, 1},    // negative standard deviation
        {0, 1, 0, 0.99, 2},  // kurtosis below 1
        {0, 1, 1.5, 3.2, 2}, // below skewness^2 + 1 = 3.25
        {0, 1, 0.3, -3, 2},  // a negative sample kurtosis is no distribution either
        {NAN, 1, 0, 3, 2},   // numbers that are not finite
        {0, INFINITY, 0, 3, 2}, {0, 1, NAN, 3, 2}, {0, 1, 0, INFINITY, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Kurtosis);
        const TJohnsonMomentFit fit = JohnsonFromMoments(c.Mean, c.Sd, c.Skewness, c.Kurtosis);
        EXPECT_EQ(fit.Status, c.Status);
        EXPECT_EQ(fit.Type, kJohnsonNone);
        EXPECT_TRUE(AllFinite(fit));
    }
}

// Across the whole possible plane every answer is finite, and every fit reported as sound has the
// moments it was asked for (checked by integrating the curve it returns).
TEST(JohnsonMoments, EveryPointOfThePlaneGivesFiniteParametersOrAStatus) {
    int fitted = 0;
    for (double skewness = -4; skewness <= 4.001; skewness += 0.5) {
        const double floor = skewness * skewness + 1;
        for (const double above : {0.005, 0.05, 0.3, 1.0, 2.5, 6.0, 15.0, 40.0}) {
            const double kurtosis = floor + above;
            SCOPED_TRACE(testing::Message() << "skewness " << skewness << " kurtosis " << kurtosis);
            const TJohnsonMomentFit fit = JohnsonFromMoments(1, 2, skewness, kurtosis);
            ASSERT_TRUE(AllFinite(fit));
            if (fit.Status != 0) continue;
            ASSERT_NE(fit.Type, kJohnsonNone);
            if (fit.Type != kJohnsonSU && fit.Type != kJohnsonSB) continue;
            ++fitted;
            const TMoments m = CurveMoments(fit.Type, fit.Gamma, fit.Delta, fit.Lambda, fit.Xi);
            // SB meets its moments closely; SU to within the 0.01 its iteration allows on the
            // skewness squared, a few hundredths on the kurtosis and skewness.
            const double tolerance = fit.Type == kJohnsonSB ? 1e-3 : 3e-2;
            EXPECT_NEAR(m.Mean, 1, tolerance * 2);
            EXPECT_NEAR(m.Sd, 2, tolerance * 2);
            EXPECT_NEAR(m.Skewness, skewness, tolerance * std::max(1.0, std::fabs(skewness)));
            EXPECT_NEAR(m.Kurtosis, kurtosis, tolerance * kurtosis);
        }
    }
    EXPECT_GT(fitted, 60);
}
