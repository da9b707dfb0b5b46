// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatsFixture.h"

#include <cmath>
#include <limits>
#include <string>

using namespace kivspc;

namespace {

std::vector<double> Powers(int n, double e) {
    std::vector<double> v;
    for (int i = 1; i <= n; ++i)
        v.push_back(std::pow(i, e));
    return v;
}

TEST_F(StatsTest, ShapiroWilkAgainstR) {
    struct Case {
        const char* name;
        std::vector<double> values;
        double w, p;
    };
    // Reference: R 4.2.2 shapiro.test (the same published algorithm with an exact normal
    // quantile and tail; ours use the polynomial normal approximation, error below 1e-7, and for
    // n = 3 the rounded constants 1.047198 and 1.909859, which move p by about 1e-6).
    const Case cases[] = {
        {"1..10", samples::OneToTen, 0.970164611230665, 0.892367307523919},
        {"n = 3", {1, 2, 4}, 0.964285714285714, 0.636886845028963},
        {"n = 4", {5, 6, 7, 8}, 0.992912006800619, 0.971877057620897},
        {"n = 5", samples::Five, 0.868635217180985, 0.260941325624608},
        {"n = 6", {3.1, 2.9, 3.0, 3.2, 2.8, 3.3}, 0.981889428863108, 0.960554960800704},
        {"n = 7 outlier", samples::Seven, 0.744268901057911, 0.0110495627421273},
        {"n = 20 skewed", samples::Skewed, 0.859630675511783, 0.00776240070464033},
        {"n = 100", Powers(100, 1.5), 0.930259131998643, 5.14827711755904e-05},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetSample(c.values);
        ShapiroWilkTest(true);
        EXPECT_NEAR(SampleStats.SWW, c.w, 2e-7);
        EXPECT_NEAR(SampleStats.SWP, c.p, c.values.size() == 3 ? 1.5e-6 : 5e-7);
    }
}

TEST_F(StatsTest, ShapiroWilkDegenerateSamples) {
    struct Case {
        const char* name;
        std::vector<double> values;
        double w, p;
    };
    const Case cases[] = {
        {"empty", {}, 0, 999},
        {"one value", {3}, 0, 999},
        {"two values", {1, 2}, 0, 999},
        {"ten equal values", std::vector<double>(10, 4.5), 0, 0},
        // W = 0.75 is the smallest W of three values: p is 0, not a rounding negative.
        {"two equal of three", {1, 1, 2}, 0.75, 0},
        {"range below 1e-20", {1e-25, 2e-25, 3e-25, 4e-25}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetSample(c.values);
        ShapiroWilkTest(true);
        EXPECT_NEAR(SampleStats.SWW, c.w, 1e-12);
        EXPECT_EQ(SampleStats.SWP, c.p);
    }
}

TEST_F(StatsTest, ShapiroWilkIsScaleFreeEvenForHugeValues) {
    SetSample(samples::Skewed);
    ShapiroWilkTest(true);
    const double w = SampleStats.SWW;
    const double p = SampleStats.SWP;
    auto huge = samples::Skewed;
    for (double& v : huge)
        v = (v - 4.7) * 3.8e307; // a range beyond the largest double
    SetSample(huge);
    ShapiroWilkTest(true);
    EXPECT_NEAR(SampleStats.SWW, w, 1e-12);
    EXPECT_NEAR(SampleStats.SWP, p, 1e-10);
}

TEST_F(StatsTest, ShapiroWilkCoefficientCache) {
    // Published table of Shapiro-Wilk coefficients for n = 10; the approximation agrees to 1e-3.
    const double published[] = {0.5739, 0.3291, 0.2141, 0.1224, 0.0399};
    EXPECT_EQ(ShapiroWilkCoefficientN(), 0);
    ShapiroWilkCoefficients(10);
    ASSERT_EQ(ShapiroWilkCoefficientN(), 10);
    const double* a = ShapiroWilkCoefficientData();
    for (int i = 1; i <= 5; ++i)
        EXPECT_NEAR(a[i], published[i - 1], 1e-3);

    ShapiroWilkCoefficients(3);
    EXPECT_NEAR(ShapiroWilkCoefficientData()[1], std::sqrt(0.5), 1e-15);
    ShapiroWilkCoefficients(2); // nothing for fewer than three
    EXPECT_EQ(ShapiroWilkCoefficientN(), 3);

    // The test fills the cache for its own n and reuses it.
    SetSample(samples::Skewed);
    ShapiroWilkTest(true);
    EXPECT_EQ(ShapiroWilkCoefficientN(), 20);
    ResetStatisticsState();
    EXPECT_EQ(ShapiroWilkCoefficientN(), 0);
}

TEST_F(StatsTest, ShapiroWilkUnsortedSampleWithSortFirst) {
    SetSample({4, 1, 3, 2, 5, 9, 7, 6, 8, 10});
    ShapiroWilkTest(true);
    EXPECT_NEAR(SampleStats.SWW, 0.97016, 5e-6);
    EXPECT_NEAR(SampleStats.SWP, 0.8924, 5e-5);
}

TEST_F(StatsTest, AndersonDarlingTest) {
    struct Case {
        const char* name;
        std::vector<double> values;
        double aStar, p;
    };
    // A*: SciPy 1.10 scipy.stats.anderson statistic times (1 + 0.75/n + 2.25/n^2). The p-values
    // follow the table, and below A* = 0.63 the normal formula (tail by SciPy's norm.sf).
    const Case cases[] = {
        {"1..10", samples::OneToTen, 0.154867399526123, 0.9659424433213071},
        {"n = 20 skewed", samples::Skewed, 1.00315816346142,
         1 - (0.9887 + (0.99 - 0.9887) * (1.00315816346142 - 1.0) / (1.035 - 1.0))},
        {"n = 5", samples::Five, 0.467766932289098, 0.2512274030495584},
        {"n = 7 outlier", samples::Seven, 0.971744153304683,
         1 - (0.9797 + (0.9887 - 0.9797) * (0.971744153304683 - 0.9) / (1.0 - 0.9))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetSample(c.values);
        BasicStatistics();
        AndersonDarlingTest();
        // The normal tail approximation (error below 7.5e-8 in each of the n logarithms' tails)
        // limits the agreement.
        EXPECT_NEAR(SampleStats.ADStar, c.aStar, 1e-6);
        EXPECT_NEAR(SampleStats.ADP, c.p, 5e-7);
    }
}

TEST_F(StatsTest, AndersonDarlingNotAvailable) {
    SetSample({2, 2, 2, 2});
    BasicStatistics();
    AndersonDarlingTest();
    EXPECT_EQ(SampleStats.ADStar, 999);
    EXPECT_EQ(SampleStats.ADP, 999);

    // One value among a hundred equal ones lies about 10 standard deviations out.
    std::vector<double> values(100, 0.0);
    values.push_back(1);
    SetSample(values);
    BasicStatistics();
    AndersonDarlingTest();
    EXPECT_EQ(SampleStats.ADStar, 999);
    EXPECT_EQ(SampleStats.ADP, 999);

    SetSample({});
    BasicStatistics();
    AndersonDarlingTest();
    EXPECT_EQ(SampleStats.ADP, 999);
}

TEST_F(StatsTest, AndersonDarlingPTable) {
    struct Case {
        long double a;
        double p;
    };
    const Case cases[] = {
        {0.05, 1},
        {0.1, 1},
        {0.7, 1 - 0.9327},
        {0.63, 1 - (0.8787 + (0.9 - 0.8787) * (0.63 - 0.6) / (0.631 - 0.6))},
        {1.45, 1 - (0.999 + (1.0 - 0.999) * 0.5)},
        {1.5, 0},
        {40, 0},
        {999, 999},
        {std::numeric_limits<long double>::quiet_NaN(), 999},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(static_cast<double>(AndersonDarlingP(c.a)), c.p, 1e-12) << c.a;
    // Below 0.63 the normal formula: p = Q((ln(A - 0.04) + 1.2026) / 0.527).
    EXPECT_NEAR(static_cast<double>(AndersonDarlingP(0.3)),
                0.5 * std::erfc((std::log(0.26) + 1.2026) / 0.527 / std::sqrt(2.0)), 1e-7);
}

TEST_F(StatsTest, LinMudholkarTest) {
    struct Case {
        const char* name;
        std::vector<double> values;
        double r, p;
    };
    // Reference: a second implementation in NumPy 1.24 (leave-one-out variances, numpy.corrcoef,
    // the cubic solved by numpy.roots, the tail by scipy.stats.norm.sf).
    const Case cases[] = {
        {"symmetric", samples::OneToTen, 0, 1},
        {"n = 20 skewed", samples::Skewed, 0.745754652632585, 0.00409677921274529},
        {"n = 7 outlier", samples::Seven, 0.92765032116954, 0.00505972861787674},
        {"n = 5", samples::Five, 0.837882392473443, 0.158036504766642},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetSample(c.values);
        MeanAndStdDev();
        LinMudholkarTest();
        EXPECT_NEAR(SampleStats.LMR, c.r, 1e-12);
        EXPECT_NEAR(SampleStats.LMP, c.p, 2e-7);
    }
    for (const auto& values : {std::vector<double>{1, 2}, std::vector<double>{3, 3, 3, 3}}) {
        SetSample(values);
        MeanAndStdDev();
        LinMudholkarTest();
        EXPECT_EQ(SampleStats.LMR, 999);
        EXPECT_EQ(SampleStats.LMP, 999);
    }
}

TEST_F(StatsTest, LinMudholkarPTable) {
    struct Case {
        int n;
        long double r;
        double p;
    };
    // Reference: the NumPy implementation above.
    const Case cases[] = {
        {4, 0.9, 0.155367635064357}, // one real root
        {10, 0.6, 0.20595559537636}, // three real roots
        {30, 0.3, 0.325562888633764},
        {100, 0.2, 0.239946237597291},
        {10, 0, 1},
        {10, 1, 0},    // z is taken as 999
        {10, 0.99, 0}, // beyond the expansion at 3.5
    };
    for (const auto& c : cases)
        EXPECT_NEAR(static_cast<double>(LinMudholkarP(c.n, c.r)), c.p, 2e-7)
            << c.n << " " << static_cast<double>(c.r);
    EXPECT_EQ(LinMudholkarP(10, std::numeric_limits<long double>::quiet_NaN()), 999);
}

TEST_F(StatsTest, SkewnessTestP) {
    struct Case {
        int n;
        long double g1;
        double p;
    };
    // Reference: SciPy 1.10 scipy.stats.t.sf at the same statistic and degrees of freedom.
    const Case cases[] = {
        {7, 1.2, 999},
        {8, 999, 999},
        {8, 1.2, 0.0476458705246811},
        {20, 0.8, 0.089676173504261},
        {50, -0.5, 0.121687796134808},
        {200, 0.3, 0.0788885081825959},
        {30, 0, 1},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(static_cast<double>(SkewnessTestP(c.n, c.g1)), c.p, 1e-6) << c.n;
}

TEST_F(StatsTest, KurtosisTestBands) {
    struct Case {
        int n;
        long double g2;
        const char* text;
        double p;
    };
    constexpr double Below = 1e-10; // the band's p sits just below its upper end
    const Case cases[] = {
        {6, 1.0, "999.000", 999},
        {10, 999, "999.000", 999},
        {10, 2.1, "<.02", 0.02 - Below},
        {10, 2.0, "<.02", 0.02 - Below}, // on the limit
        {10, 1.45, ".05-.02", 0.05 - Below},
        {10, 1.0, ".10-.05", 0.1 - Below},
        {10, 0.5, ">.10", 999},
        {10, 0, "1.000", 999},
        {10, -1.45, ".10-.05", 0.1 - Below},
        {10, -1.55, ".05-.02", 0.05 - Below},
        {10, -1.7, "<.02", 0.02 - Below},
        {7, 0.86, ".05-.02", 0.05 - Below},
        // n = 11 lies halfway between the rows for 10 and 12: 5% high 1.48, 10% high 1.0.
        {11, 1.47, ".10-.05", 0.1 - Below},
        {11, 1.49, ".05-.02", 0.05 - Below},
        {5000, 0.17, "<.02", 0.02 - Below},
        {5000, -0.12, ".10-.05", 0.1 - Below},
    };
    for (const auto& c : cases) {
        std::string text = "stale";
        KurtosisTest(c.n, text, c.g2);
        EXPECT_EQ(text, c.text) << c.n << " " << static_cast<double>(c.g2);
        EXPECT_NEAR(SampleStats.KurtosisP, c.p, 1e-13) << c.n << " " << static_cast<double>(c.g2);
    }
}

TEST_F(StatsTest, KurtosisTestNormalApproximationAbove5000) {
    struct Case {
        int n;
        long double g2;
        double p;
        const char* text;
    };
    // Reference: SciPy 1.10 2 * scipy.stats.norm.sf(|g2| / se).
    const Case cases[] = {
        {6000, 0.15, 0.0176587950147593, "0.018"},
        {6000, -0.2, 0.00155833717977996, "0.002"},
        {20000, 0.05, 0.148863890892569, "0.149"},
    };
    for (const auto& c : cases) {
        std::string text;
        KurtosisTest(c.n, text, c.g2);
        EXPECT_NEAR(SampleStats.KurtosisP, c.p, 2e-7);
        EXPECT_EQ(text, c.text);
    }
}

// Every test either gives a probability or says "not available", whatever the sample.
TEST_F(StatsTest, DegenerateSamplesGiveProbabilitiesOr999) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> hundredEqual(100, 7.0);
    hundredEqual.push_back(7.5);
    const std::vector<std::vector<double>> cases = {
        {},
        {4},
        {4, 5},
        std::vector<double>(10, 2.5),
        {MissingValue, 1, 2, 3, 4, 5, 6, 7},
        {-1e308, 1e308, 0, 5e307, -5e307, 1e307, -1e307, 2e307},
        {0, 1e-300, 2e-300, 4e-300, 8e-300, 1e-299, 3e-299, 5e-299},
        hundredEqual,
    };
    auto isProbability = [](double p) { return p == 999 || (p >= 0 && p <= 1); };
    for (const auto& values : cases) {
        SCOPED_TRACE(values.size());
        SetSample(values);
        ComputeStatistics('T');
        EXPECT_TRUE(isProbability(SampleStats.SWP)) << SampleStats.SWP;
        EXPECT_TRUE(isProbability(SampleStats.ADP)) << SampleStats.ADP;
        EXPECT_TRUE(isProbability(SampleStats.LMP)) << SampleStats.LMP;
        const int n = SampleN;
        EXPECT_TRUE(isProbability(static_cast<double>(SkewnessTestP(n, SampleStats.Skewness))));
        std::string text;
        KurtosisTest(n, text, SampleStats.Kurtosis);
        EXPECT_TRUE(isProbability(SampleStats.KurtosisP)) << SampleStats.KurtosisP;
        EXPECT_LE(text.size(), 10u);
        ComputeStatistics('I');
        ComputeStatistics('N');
        SampleMode();
        SpreadTies();
        MovingRangeStatistics();
        EXPECT_EQ(SampleN, n);
    }
    // NaN in the data: nothing hangs or crashes; the results are whatever NaN makes of them.
    SetSample({1, nan, 3, 2, nan, 5, 4, 6, 8});
    ComputeStatistics('T');
    SampleMode();
    SpreadTies();
    MovingRangeStatistics();
    EXPECT_EQ(SampleN, 9);
}

TEST_F(StatsTest, EvalPolynomial) {
    const double c[] = {1, 2, 3, 4};
    EXPECT_EQ(EvalPolynomial(c, 0, 5), 1);
    EXPECT_EQ(EvalPolynomial(c, 1, 5), 11);
    EXPECT_EQ(EvalPolynomial(c, 3, 2), 1 + 4 + 12 + 32);
    EXPECT_EQ(EvalPolynomial(c, 9, 2), 49); // no reading past the coefficients given
    EXPECT_EQ(EvalPolynomial(c, -1, 2), 1);
    EXPECT_EQ(EvalPolynomial({}, 2, 2), 0);
}

} // namespace
