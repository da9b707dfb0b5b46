// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatsFixture.h"

#include <cmath>
#include <string>

using namespace kivspc;

namespace {

std::vector<double> FortyValues() {
    std::vector<double> v;
    for (int i = 1; i <= 40; ++i)
        v.push_back(((i * 37) % 101) / 10.0);
    return v;
}

TEST_F(StatsTest, ConfidenceIntervalsAgainstSciPy) {
    struct Case {
        const char* name;
        std::vector<double> values;
        double meanLower, meanUpper, sdLower, sdUpper;
        double tolerance;
    };
    // Reference: SciPy 1.10 scipy.stats.t.ppf(0.975, n - 1) and scipy.stats.chi2.ppf(0.975 and
    // 0.025, n - 1). Up to 30 degrees of freedom the quantiles are refined against exact series;
    // above, the t and chi-square tails are asymptotic approximations (limits within about 1e-5).
    const Case cases[] = {
        {"1..10", samples::OneToTen, 3.33414941038661, 7.66585058961339, 2.08252450727433, 5.52730931554937,
         1e-7},
        {"n = 5", samples::Five, 1.31288133866406, 5.00711866133594, 0.891279769342107, 4.27474602128381,
         1e-7},
        {"n = 7", samples::Seven, 9.50267347317356, 11.2401836696836, 0.605311815488886, 2.06851376840662,
         1e-7},
        {"n = 20", samples::Skewed, 1.49301251229533, 3.82698748770467, 1.89627234232249, 3.64191529334717,
         1e-7},
        {"n = 40", FortyValues(), 4.22753944214975, 6.07246055785025, 2.36274882537414, 3.70361049605279,
         1e-3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetSample(c.values);
        MeanAndStdDev();
        ConfI.Init();
        EXPECT_EQ(ConfI.N, static_cast<int>(c.values.size()));
        EXPECT_EQ(ConfI.Alpha, 0.05);
        EXPECT_EQ(ConfI.Confidence, 0.95);
        EXPECT_NEAR(ConfI.MeanLower, c.meanLower, c.tolerance);
        EXPECT_NEAR(ConfI.MeanUpper, c.meanUpper, c.tolerance);
        EXPECT_NEAR(ConfI.SDLower, c.sdLower, c.tolerance);
        EXPECT_NEAR(ConfI.SDUpper, c.sdUpper, c.tolerance);
    }
}

TEST_F(StatsTest, ConfidenceIntervalsOfTinySamples) {
    for (const auto& values : {std::vector<double>{}, std::vector<double>{4.5}}) {
        SetSample(values);
        MeanAndStdDev();
        ConfI.Init();
        EXPECT_EQ(ConfI.MeanLower, ConfI.Mean);
        EXPECT_EQ(ConfI.MeanUpper, ConfI.Mean);
        EXPECT_EQ(ConfI.SDLower, ConfI.SD);
        EXPECT_EQ(ConfI.SDUpper, ConfI.SD);
    }
    SetSample({3, 3, 3});
    MeanAndStdDev();
    ConfI.Init();
    EXPECT_EQ(ConfI.MeanLower, 3);
    EXPECT_EQ(ConfI.MeanUpper, 3);
    EXPECT_EQ(ConfI.SDLower, 0);
    EXPECT_EQ(ConfI.SDUpper, 0);
}

TEST_F(StatsTest, ConfidenceAlpha) {
    ConfI.SetAlpha(0.1);
    EXPECT_DOUBLE_EQ(ConfI.Confidence, 0.9);
    SetSample(samples::OneToTen);
    MeanAndStdDev();
    ConfI.Init();
    // Reference: SciPy 1.10 scipy.stats.t.ppf(0.95, 9) = 1.83311293265624.
    EXPECT_NEAR(ConfI.MeanUpper - 5.5, 1.83311293265624 * 3.02765035409749 / std::sqrt(10.0), 1e-7);
    ResetStatisticsState();
    EXPECT_EQ(ConfI.Alpha, 0.05);
}

TEST_F(StatsTest, CorrelationTable) {
    struct Case {
        const char* name;
        std::vector<std::pair<double, double>> pairs;
        double r, p;
        bool cannot;
    };
    // Reference: SciPy 1.10 scipy.stats.pearsonr.
    const Case cases[] = {
        {"linear", {{1, 2}, {2, 4}, {3, 6}}, 1, 0, false},
        {"falling line", {{1, 5}, {2, 3}, {3, 1}, {4, -1}}, -1, 0, false},
        {"strong",
         {{1, 2.3}, {2, 2.9}, {3, 4.1}, {4, 3.8}, {5, 5.6}, {6, 5.9}, {7, 7.4}, {8, 7.1}},
         0.973073759222663,
         4.78250219843882e-05,
         false},
        {"weak",
         {{1, 3}, {2, 1}, {3, 4}, {4, 1}, {5, 5}, {6, 9}},
         0.696169627909143,
         0.124445611888246,
         false},
        {"x all equal", {{2, 1}, {2, 5}, {2, 3}}, 0, 999, true},
        {"one pair", {{1, 1}}, 0, 999, true},
        {"none", {}, 0, 999, true},
        {"missing pairs skipped",
         {{1, 2}, {MissingValue, 9}, {2, 4}, {5, MissingValue}, {3, 6}},
         1,
         0,
         false},
        // Two points always lie on a line; the t statistic has no degrees of freedom.
        {"two pairs", {{1, 3}, {2, 8}}, 1, 999, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Corr.Clear();
        for (const auto& [x, y] : c.pairs)
            Corr.Add(x, y);
        const double r = static_cast<double>(Corr.Calculate());
        EXPECT_NEAR(r, c.r, 1e-12);
        EXPECT_NEAR(Corr.P, c.p, 1e-9);
        EXPECT_EQ(Corr.CannotCalculate, c.cannot);
    }
    Corr.Clear();
    Corr.Add(MissingValue, 1);
    EXPECT_EQ(Corr.Count, 0);
}

TEST_F(StatsTest, FormatPValue) {
    struct Case {
        double p, alpha;
        const char* text;
    };
    const Case cases[] = {
        {0.05, 0.05, "0.050*"}, {0.0501, 0.05, "0.050"}, {0.2346, 0.05, "0.235"},
        {0.001, 0, "0.001"},    {999, 0.05, "999.000"},  {0, 0.05, "0.000*"},
    };
    for (const auto& c : cases) {
        std::string text = "old";
        FormatPValue(text, c.p, c.alpha);
        EXPECT_EQ(text, c.text);
    }
}

} // namespace
