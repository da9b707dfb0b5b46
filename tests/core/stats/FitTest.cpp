// SPDX-License-Identifier: GPL-3.0-or-later
// Fitted distributions against closed forms and independent calculations: the worked examples
// (exponential from the minimum on 2, 3, 5, 10; uniform on 1..10), moment estimates of the gamma,
// beta and Rayleigh models by hand, the Weibull plot against a straight line fitted here with
// plain sums, quantile and distribution function round trips for every model, and the refusals.
#include "StatsFixture.h"

#include "app/SharedState.h"
#include "stats/Descriptive.h"
#include "stats/Distributions.h"
#include "stats/Fit.h"

#include <array>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

using namespace kivspc;

namespace {

class FitTest : public StatsTest {
protected:
    static void Fit(int kind, const std::vector<double>& values) {
        SetSample(values);
        DistKind = kind;
        FitState.FixedKind = 0;
        FitDistribution();
    }
    static double Param(int i) {
        return static_cast<double>(FitState.ParamValues[static_cast<std::size_t>(i)]);
    }
    static double Mean(const std::vector<double>& v) {
        return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
    }
    static double Variance(const std::vector<double>& v) {
        const double m = Mean(v);
        double s = 0;
        for (double x : v)
            s += (x - m) * (x - m);
        return s / static_cast<double>(v.size() - 1);
    }
};

TEST_F(FitTest, WorkedExamplesOfTheExponentialUniformAndNormalModels) {
    Fit(kDistExponentialLow, {2, 3, 5, 10});
    ASSERT_EQ(FitState.FitFailed, 0);
    EXPECT_EQ(FitState.ParamNames[0], "Min");
    EXPECT_DOUBLE_EQ(Param(0), 2);
    EXPECT_DOUBLE_EQ(Param(1), 5);
    EXPECT_DOUBLE_EQ(FitState.LPL, 2);
    EXPECT_NEAR(FitState.UPL, 2 - std::log(0.00135) * 3, 1e-12); // 21.823
    EXPECT_NEAR(static_cast<double>(FittedCDF(5)), 1 - std::exp(-1.0), 1e-15);

    Fit(kDistUniform, samples::OneToTen);
    EXPECT_DOUBLE_EQ(static_cast<double>(FittedCDF(5.5)), 0.5);
    EXPECT_DOUBLE_EQ(FitState.LPL, 1);
    EXPECT_DOUBLE_EQ(FitState.UPL, 10);
    EXPECT_NEAR(static_cast<double>(FitState.FitCriterion), 1, 2e-3)
        << "the P-P plot of 1..10 is nearly straight";

    Fit(kDistNormal, samples::Five);
    const double sd = std::sqrt(Variance(samples::Five));
    EXPECT_NEAR(FitState.LPL, Mean(samples::Five) - 3 * sd, 1e-12);
    EXPECT_NEAR(static_cast<double>(FitState.NT), 6 * sd, 1e-12);
}

// Method-of-moments estimates worked out here from the sample's mean and variance.
TEST_F(FitTest, GammaBetaAndRayleighMomentsMatchTheirClosedForms) {
    const std::vector<double> v = {1, 2, 3, 4, 10}; // mean 4, variance 12.5
    Fit(kDistGamma0, v);
    ASSERT_EQ(FitState.FitFailed, 0);
    EXPECT_NEAR(Param(1), 4 / 12.5, 1e-15);     // rate
    EXPECT_NEAR(Param(2), 4 * 4 / 12.5, 1e-15); // shape
    Fit(kDistGammaLow, v);
    EXPECT_NEAR(Param(1), 3 / 12.5, 1e-15);
    EXPECT_NEAR(Param(2), 9 / 12.5, 1e-15);

    // Beta on [1, 10]: m = 3/9, s = sqrt(12.5)/9.
    Fit(kDistBeta, {1, 2, 3, 4, 10, 5, 6});
    const std::vector<double> b = {1, 2, 3, 4, 10, 5, 6};
    const double m = (Mean(b) - 1) / 9, s2 = Variance(b) / 81;
    const double q = (1 - m) * (m * (1 - m) - s2) / s2;
    ASSERT_EQ(FitState.FitFailed, 0) << FitState.FitMessage;
    EXPECT_NEAR(Param(3), q, 1e-12);
    EXPECT_NEAR(Param(2), m * q / (1 - m), 1e-12);

    Fit(kDistRayleigh0, {1, 2, 3});
    EXPECT_NEAR(Param(1), std::sqrt(14.0 / 6), 1e-15);
    // Its 99.865 % point is sigma sqrt(-2 ln 0.00135).
    EXPECT_NEAR(FitState.UPL, std::sqrt(14.0 / 6) * std::sqrt(-2 * std::log(0.00135)), 1e-9);
}

// The Weibull plot: ln x against ln(-ln(1 - p)) with p = (i - 0.3) / (n + 0.4), fitted here by
// the normal equations in plain doubles.
TEST_F(FitTest, WeibullFollowsTheStraightLineOfItsPlot) {
    std::vector<double> v = samples::Skewed;
    Fit(kDistWeibull, v);
    ASSERT_EQ(FitState.FitFailed, 0);
    const double n = static_cast<double>(v.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double x = std::log(v[i]),
                     y = std::log(-std::log(1 - (static_cast<double>(i) + 0.7) / (n + 0.4)));
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx), intercept = (sy - slope * sx) / n;
    EXPECT_NEAR(Param(0), slope, 1e-12);
    EXPECT_NEAR(Param(1), std::exp(-intercept / slope), 1e-12);
    EXPECT_GT(static_cast<double>(FitState.FitCriterion), 0.95);
}

// FittedQuantile(FittedCDF(x)) = x for every model at points inside the fitted range.
TEST_F(FitTest, QuantileUndoesTheDistributionFunctionForEveryModel) {
    for (int kind : {kDistNormal, kDistExponential0, kDistExponentialLow, kDistWeibull, kDistUniform,
                     kDistJohnson, kDistGamma0, kDistGammaLow, kDistBeta, kDistRayleigh0, kDistRayleighLow}) {
        Fit(kind, samples::Skewed);
        ASSERT_EQ(FitState.FitFailed, 0) << DistKindName(kind) << ": " << FitState.FitMessage;
        for (double x : {0.5, 1.3, 2.9, 6.0}) {
            const Extended p = FittedCDF(x);
            if (!(p > 1e-9 && p < 1 - 1e-9)) continue;
            EXPECT_NEAR(static_cast<double>(FittedQuantile(p)), x, 1e-6 * (1 + x))
                << DistKindName(kind) << " at " << x;
        }
        EXPECT_LT(FitState.LPL, FitState.UPL) << DistKindName(kind);
    }
    // The gamma quantile's search brackets its root before it halves: the median's CDF is 0.5.
    Fit(kDistGamma0, samples::Skewed);
    EXPECT_NEAR(static_cast<double>(FittedCDF(FittedQuantile(0.5))), 0.5, 1e-12);
}

// The density is the slope of the distribution function, and its mass between two quantiles is
// their distance in probability: Simpson's rule over [Q(0.001), Q(0.999)] in 20,000 steps of
// x = lo + (hi - lo)(3t² - 2t³), which crowds the steps towards both ends where a curve with a
// pole at its threshold is steep, and central differences of FittedCDF over steps small beside
// the distance to the lower end.
TEST_F(FitTest, DensityIsTheSlopeOfTheDistributionFunctionForEveryModel) {
    const auto check = [](const std::string& name) {
        const Extended lo = FittedQuantile(0.001L), hi = FittedQuantile(0.999L);
        const int steps = 20'000;
        const auto mapped = [&](Extended t) {
            return FittedDensity(lo + (hi - lo) * t * t * (3 - 2 * t)) * 6 * t * (1 - t) * (hi - lo);
        };
        Extended sum = 0;
        for (int i = 0; i <= steps; ++i)
            sum += (i == 0 || i == steps ? 1 : i % 2 ? 4 : 2) * mapped(static_cast<Extended>(i) / steps);
        EXPECT_NEAR(static_cast<double>(sum / steps / 3), 0.998, 1e-6) << name;
        const Extended bottom = FittedQuantile(1e-6L);
        for (double p : {0.05, 0.3, 0.5, 0.8, 0.97}) {
            const Extended x = FittedQuantile(p);
            const Extended d =
                std::min((FittedQuantile(0.75) - FittedQuantile(0.25)) / 1000, (x - bottom) / 1000);
            const Extended slope = (FittedCDF(x + d) - FittedCDF(x - d)) / (2 * d);
            EXPECT_NEAR(static_cast<double>(FittedDensity(x)), static_cast<double>(slope),
                        1e-5 * (1 + static_cast<double>(slope)))
                << name << " at p " << p;
        }
    };
    for (int kind : {kDistNormal, kDistExponential0, kDistExponentialLow, kDistWeibull, kDistUniform,
                     kDistJohnson, kDistGamma0, kDistGammaLow, kDistBeta, kDistRayleigh0, kDistRayleighLow}) {
        Fit(kind, samples::Skewed);
        ASSERT_EQ(FitState.FitFailed, 0) << DistKindName(kind);
        check(DistKindName(kind));
    }
    // The three Johnson curves with fixed parameters: SU (delta, gamma, lambda, xi), SB (the
    // same) and SL (delta, gamma, xi).
    const struct {
        int kind;
        std::array<double, 5> values;
    } fixed[] = {{5, {0, 1.1, 0.5, 2, 3}}, {6, {0, 0.9, 0.3, 5, 1}}, {7, {0, 1.3, -0.4, 2, 0}}};
    for (const auto& f : fixed) {
        SetSample({2.5, 3, 4, 5.5});
        FitState.FixedKind = f.kind;
        FitState.FixedValues = f.values;
        FitDistribution();
        ASSERT_EQ(FitState.FitFailed, 0) << f.kind;
        check(std::string("Johnson ") + JohnsonO.TypeText);
    }
    // Outside the support and without a fit: 0.
    Fit(kDistUniform, samples::OneToTen);
    EXPECT_EQ(FittedDensity(0.5), 0);
    EXPECT_NEAR(static_cast<double>(FittedDensity(5)), 1.0 / 9, 1e-15);
    ResetFit();
    EXPECT_EQ(FittedDensity(5), 0);
}

TEST_F(FitTest, FixedSbCurveWithItsMassAtTheUpperEndHasIncreasingQuantiles) {
    // Gamma -20 with delta 0.48 puts the 0.135 % point 1.44 e^-35.4 (about 6e-16) below the upper
    // end 10.56; the quantiles climb towards it without ever stepping back.
    SetSample({9.5, 10.5});
    FitState.FixedKind = 6;
    FitState.FixedValues = {0, 0.48, -20, 1.44, 9.12};
    FitDistribution();
    ASSERT_EQ(FitState.FitFailed, 0);
    Extended last = 0;
    for (Extended p : {0.00135L, 0.1L, 0.5L, 0.9L, 0.99865L}) {
        const Extended x = FittedQuantile(p);
        EXPECT_GE(x, last) << "p " << static_cast<double>(p);
        EXPECT_LE(x, 10.56L);
        last = x;
    }
    EXPECT_LT(FittedQuantile(0.00135L), FittedQuantile(0.99865L));
}

TEST_F(FitTest, DataAModelCannotTakeIsRefusedInWords) {
    const struct {
        int kind;
        std::vector<double> values;
        const char* says;
    } cases[] = {
        {kDistNormal, {4, 4, 4, 4}, "The values do not vary"},
        {kDistExponential0, {-1, 2, 3}, "Values below 0"},
        {kDistGamma0, {-1, 2, 3}, "Values below 0"},
        {kDistRayleigh0, {-1, 2, 3}, "Values below 0"},
        {kDistWeibull, {0, 2, 3}, "Values of 0 or below"},
        {kDistBeta, {0, 0, 0, 10, 10, 10}, "too widely for a beta fit"},
    };
    for (const auto& c : cases) {
        Fit(c.kind, c.values);
        EXPECT_NE(FitState.FitFailed, 0) << c.says;
        EXPECT_EQ(FitState.ParamCount, 0) << c.says;
        EXPECT_EQ(static_cast<double>(FitState.FitCriterion), 0) << c.says;
        EXPECT_NE(FitState.FitMessage.find(c.says), std::string::npos) << FitState.FitMessage;
        EXPECT_TRUE(std::isfinite(FitState.LPL) && std::isfinite(FitState.UPL));
        EXPECT_EQ(FittedCDF(3), 0);
    }
    // A million equal values: no fit, quickly.
    Fit(kDistJohnson, std::vector<double>(1'000'000, 2.5));
    EXPECT_EQ(FitState.ParamCount, 0);
}

// The Johnson system keeps the better of its two methods: the winner's criterion is the one its
// own parameters give.
TEST_F(FitTest, JohnsonKeepsTheBetterOfItsPercentileAndMomentFits) {
    // Log-normal quantiles exp(z) at the plotting positions: an SL curve fits them closely.
    std::vector<double> v;
    for (int i = 1; i <= 40; ++i)
        v.push_back(std::exp(static_cast<double>(InvNormal(1, 1 - (i - 0.3) / 40.4))));
    Fit(kDistJohnson, v);
    ASSERT_EQ(FitState.FitFailed, 0) << FitState.FitMessage;
    const Extended chosen = FitState.FitCriterion;
    EXPECT_GT(static_cast<double>(chosen), 0.999);
    ComputeFitCriterion();
    EXPECT_NEAR(static_cast<double>(FitState.FitCriterion), static_cast<double>(chosen), 1e-15);
    EXPECT_EQ(FitState.ParamNames[FitState.ParamCount - 1], "Criteria");
    for (double x : {0.5, 1.0, 2.0})
        EXPECT_NEAR(static_cast<double>(FittedQuantile(FittedCDF(x))), x, 1e-6) << JohnsonO.TypeText;

    // Ties are spread before the percentiles are read: two values three times each still give a
    // bounded curve that covers them.
    Fit(kDistJohnson, {1, 1, 1, 2, 2, 2});
    ASSERT_EQ(FitState.FitFailed, 0);
    EXPECT_EQ(JohnsonO.TypeText, "Sb");
    EXPECT_LE(static_cast<double>(JohnsonO.Xi), 1);
    EXPECT_GE(static_cast<double>(JohnsonO.Xi + JohnsonO.Lambda), 2);
}

// Over a large sample the gamma and beta criteria step their distribution functions along the
// sorted values by the density; the result matches the criterion from the exact functions.
TEST_F(FitTest, SteppedCriterionOfLargeSamplesMatchesTheExactOne) {
    std::vector<double> v;
    for (int i = 0; i < 5000; ++i)
        v.push_back(1 + std::pow(std::fmod(i * 0.61803398875, 1.0), 2) * 9 + 0.001 * (i % 7));
    for (int kind : {kDistGamma0, kDistGammaLow, kDistBeta}) {
        Fit(kind, v);
        ASSERT_EQ(FitState.FitFailed, 0) << DistKindName(kind);
        TCurveFit exact;
        exact.Init(1);
        const int n = SampleN;
        for (int i = 1; i <= n; ++i)
            exact.Add(FittedCDF(SampleX[static_cast<std::size_t>(i)]), (i - 0.3L) / (n + 0.4L));
        exact.Solve();
        EXPECT_NEAR(static_cast<double>(FitState.FitCriterion), static_cast<double>(exact.RSquared()), 1e-7)
            << DistKindName(kind);
    }
}

TEST_F(FitTest, CurveFitGivesTheLineAndItsSquaredCorrelation) {
    TCurveFit fit;
    fit.Init(1);
    for (double x : {1.0, 2.0, 3.0, 4.0})
        fit.Add(x, 3 + 2 * x);
    fit.Solve();
    EXPECT_NEAR(static_cast<double>(fit.Slope), 2, 1e-15);
    EXPECT_NEAR(static_cast<double>(fit.Intercept), 3, 1e-15);
    EXPECT_NEAR(static_cast<double>(fit.RSquared()), 1, 1e-15);
    fit.Init(1);
    fit.Add(1, 1);
    fit.Solve();
    EXPECT_EQ(StatErrorCode, 2);
}

} // namespace
