// SPDX-License-Identifier: GPL-3.0-or-later
// The distribution calculator's answers against the fitted model's functions and counts made
// here, its scales and errors, and the fixed parameters' rules, messages and round trip.
#include "stats/StatsFixture.h"

#include "capability/DistCalc.h"
#include "stats/Descriptive.h"
#include "stats/Distributions.h"
#include "stats/Fit.h"

#include <cmath>
#include <string>

using namespace kivspc;

namespace {

class DistCalcTest : public StatsTest {
protected:
    // The ten values 1..10 with a fitted normal model (mean 5.5, sd 3.02765).
    void SetUp() override {
        StatsTest::SetUp();
        SetSample({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        DistKind = kDistNormal;
        FitState.FixedKind = 0;
        FitDistribution();
    }
};

TEST_F(DistCalcTest, QuestionsScalesAndErrors) {
    // Proportion below 7 on the percent scale: Phi((7 - 5.5) / 3.027650) = Phi(0.495434) = 0.6898530;
    // six of the ten values lie below 7.
    TDistCalcResult r = DistCalcCompute(0, 0, 4, "7");
    EXPECT_EQ(r.Estimated, "68.9853%");
    EXPECT_EQ(r.Observed, "60.0000%");
    // Above 7 as a proportion: three values (8, 9, 10).
    r = DistCalcCompute(1, 1, 3, "7");
    EXPECT_EQ(r.Estimated, "0.310");
    EXPECT_EQ(r.Observed, "0.300");
    // Above every value, in ppm: the observed share is 0.
    EXPECT_EQ(DistCalcCompute(1, 2, 4, "11").Observed, "0.0000 ppm");

    // The value below which 5 % lie: the fitted 5th percentile 5.5 - 1.644854 x 3.027650 = 0.519958,
    // and the sample's by the plotting position.
    r = DistCalcCompute(3, 0, 4, "5");
    EXPECT_EQ(r.Estimated, FormatFixed(4, static_cast<double>(FittedQuantile(0.05))));
    EXPECT_EQ(r.Estimated, "0.5200");
    EXPECT_EQ(r.Observed, FormatFixed(4, static_cast<double>(SampleQuantile(0.05))));
    // Proportions of 100 % and 0 % and a text are no questions.
    for (const char* bad : {"100", "0", "-3", "abc", ""}) {
        r = DistCalcCompute(3, 0, 4, bad);
        EXPECT_EQ(r.Estimated, "Error") << bad;
        EXPECT_EQ(r.Observed, "Error") << bad;
    }
    // The upper-proportion question reads the same point from the other end.
    EXPECT_EQ(DistCalcCompute(2, 1, 4, "0.95").Estimated, "0.5200");
    EXPECT_EQ(DistCalcScale(3).Suffix, std::string(" ppb"));

    // The tail areas hold to the last decimal shown on the finest scales: above 3 sigma of a
    // standard normal, 1 - Phi(3) = 0.001349898031630 (A&S table 26.1), and its quantile back.
    ASSERT_TRUE(SetFixedParameters(1, {"0", "1", "", ""}));
    FitDistribution();
    EXPECT_EQ(DistCalcCompute(1, 2, 4, "3").Estimated, "1349.8980 ppm");
    EXPECT_EQ(DistCalcCompute(1, 3, 3, "6").Estimated, "0.987 ppb"); // 9.8659e-10
    EXPECT_EQ(DistCalcCompute(2, 2, 6, "1349.898031630").Estimated, "3.000000");
    EXPECT_EQ(DistCalcQuestion(2).InputLabel, std::string("Proportion Above:"));
}

TEST_F(DistCalcTest, FixedParameterRulesAndMessages) {
    const struct {
        int type;
        std::array<std::string, 4> boxes;
        const char* message;
    } cases[] = {
        {1, {"10", "0", "", ""}, "Standard Deviation cannot be <= to Zero!"},
        {2, {"5", "5", "", ""}, "Mean must be greater than Low!"},
        // Both Weibull rules broken: the last one's message.
        {3, {"0", "0", "", ""}, "Eta must be greater than Zero!"},
        {4, {"2", "1", "", ""}, "High must be greater than Low!"},
        {5, {"1", "0", "-1", "0"}, "Lambda must be greater than Zero!"},
        {7, {"0", "1", "2", ""}, "Nu must be greater than Zero!"},
        {8, {"0", "1", "0", ""}, "Nu must be greater than Zero!"},
        {9, {"0", "1", "2", "0"}, "Nu must be greater than Zero!"},
        {10, {"0", "-1", "", ""}, "Beta cannot be <= to Zero!"},
        {1, {"ten", "1", "", ""}, "Mean is not a number!"},
        {9, {"0", "1", "2", "3"}, ""},
        {0, {"", "", "", ""}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FixedParametersProblem(c.type, c.boxes), c.message) << FixedTypeName(c.type);
        FitState.FixedKind = 4;
        EXPECT_EQ(SetFixedParameters(c.type, c.boxes), std::string(c.message).empty())
            << FixedTypeName(c.type);
        if (!std::string(c.message).empty()) {
            EXPECT_EQ(FitState.FixedKind, 0) << "a refusal switches them off";
        }
    }
    EXPECT_EQ(FixedTypeLabels(7)[2], "Epsilon:");
    EXPECT_EQ(FixedTypeDistKind(2), kDistExponentialLow);
}

TEST_F(DistCalcTest, FittedParametersTypedBackGiveTheSameModel) {
    for (int kind : {kDistNormal, kDistExponentialLow, kDistWeibull, kDistUniform, kDistJohnson,
                     kDistGammaLow, kDistBeta, kDistRayleighLow}) {
        SetSample({1.2, 2.3, 2.9, 3.1, 4.4, 5.0, 6.8, 7.7, 9.1, 12.5});
        DistKind = kind;
        FitState.FixedKind = 0;
        FitDistribution();
        ASSERT_EQ(FitState.FitFailed, 0) << DistKindName(kind);
        const double lpl = FitState.LPL, upl = FitState.UPL;
        const TFixedEntries e = FittedParameterEntries(kind);
        ASSERT_GT(e.Type, 0) << DistKindName(kind);
        ASSERT_TRUE(SetFixedParameters(e.Type, e.Boxes)) << FixedParametersProblem(e.Type, e.Boxes);
        FitDistribution();
        EXPECT_EQ(DistKind, FixedTypeDistKind(e.Type));
        EXPECT_NEAR(FitState.LPL, lpl, 1e-9 * (1 + std::fabs(lpl))) << DistKindName(kind);
        EXPECT_NEAR(FitState.UPL, upl, 1e-9 * (1 + std::fabs(upl))) << DistKindName(kind);
    }
}

} // namespace
