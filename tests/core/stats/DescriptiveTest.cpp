// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatsFixture.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

using namespace kivspc;

namespace {

struct MomentCase {
    const char* name;
    std::vector<double> values;
    long double mean;
    long double sd;
    long double popVariance;
};

TEST_F(StatsTest, MeanAndStdDevTable) {
    // Sample references: SciPy 1.10 numpy mean / std(ddof=1).
    const MomentCase cases[] = {
        {"equal values give their value exactly", {5, 5, 5}, 5, 0, 0},
        {"one value has no spread", {7.25}, 7.25, 0, 0},
        {"two values", {1, 3}, 2, std::sqrt(2.0L), 1},
        {"one to ten", samples::OneToTen, 5.5, 3.02765035409749L, 8.25},
        {"skewed", samples::Skewed, 2.66, 2.49348625105705L, 2.49348625105705L * 2.49348625105705L * 19 / 20},
        // 0.1 is not exact in binary: a sum divided back by n would not give it.
        {"equal inexact values", {0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1}, static_cast<long double>(0.1), 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetSample(c.values);
        MeanAndStdDev();
        EXPECT_EQ(SampleStats.NReal, static_cast<long double>(c.values.size()));
        if (c.sd == 0)
            EXPECT_EQ(SampleStats.Mean, c.mean);
        else
            EXPECT_NEAR(static_cast<double>(SampleStats.Mean), static_cast<double>(c.mean), 1e-13);
        EXPECT_NEAR(static_cast<double>(SampleStats.StdDev), static_cast<double>(c.sd), 1e-13);
        EXPECT_NEAR(static_cast<double>(SampleStats.Variance), static_cast<double>(c.sd * c.sd), 1e-12);
        EXPECT_NEAR(static_cast<double>(SampleStats.PopVariance), static_cast<double>(c.popVariance), 1e-12);
    }
}

TEST_F(StatsTest, EmptySampleGivesZeros) {
    SetSample({});
    SampleStats.Mean = 3;
    SampleStats.StdDev = 3;
    MeanAndStdDev();
    EXPECT_EQ(SampleStats.Mean, 0);
    EXPECT_EQ(SampleStats.StdDev, 0);
    MeanOnly();
    EXPECT_EQ(SampleStats.Sum, 0);
    EXPECT_EQ(SampleStats.Mean, 0);
    FindMinMax();
    EXPECT_EQ(SampleStats.Range, 0);
    OrderStatistics();
    EXPECT_EQ(SampleStats.Median, 0);
    ShapeStatistics();
    EXPECT_EQ(SampleStats.Skewness, 0);
    EXPECT_EQ(SampleStats.KurtosisAdj, 0);
    SampleMode();
    EXPECT_EQ(SampleStats.Mode, MissingValue);
    EXPECT_EQ(SampleQuantile(0.5), 0);
}

TEST_F(StatsTest, MedianAndOrderStatistics) {
    struct Case {
        std::vector<double> values;
        long double median;
    };
    const Case cases[] = {
        {{1, 2, 3, 4}, 2.5}, {{3, 1, 2}, 2}, {{42}, 42}, {{9, -1}, 4}, {{5, 1, 4, 2, 3, 6}, 3.5}};
    for (const auto& c : cases) {
        SetSample(c.values);
        OrderStatistics();
        auto sorted = c.values;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(Sample(), sorted);
        EXPECT_EQ(SampleStats.Median, c.median);
        EXPECT_EQ(SampleStats.Minimum, sorted.front());
        EXPECT_EQ(SampleStats.Maximum, sorted.back());
        EXPECT_EQ(SampleStats.Range, sorted.back() - sorted.front());
    }
}

TEST_F(StatsTest, FindMinMaxKeepsDataOrder) {
    SetSample({3, -2, 8, 0});
    FindMinMax();
    EXPECT_EQ(SampleStats.Minimum, -2);
    EXPECT_EQ(SampleStats.Maximum, 8);
    EXPECT_EQ(SampleStats.Range, 10);
    EXPECT_EQ(Sample(), (std::vector<double>{3, -2, 8, 0}));
}

TEST_F(StatsTest, SortSampleMatchesStandardSortOnHardInputs) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> uniform(-1e6, 1e6);
    std::uniform_int_distribution<int> few(0, 3);
    const int n = 20000;
    std::vector<std::vector<double>> inputs(6, std::vector<double>(n));
    for (int i = 0; i < n; ++i) {
        inputs[0][i] = uniform(rng);
        inputs[1][i] = few(rng);              // many ties
        inputs[2][i] = i;                     // sorted
        inputs[3][i] = n - i;                 // reversed
        inputs[4][i] = i < n / 2 ? i : n - i; // organ pipe
        inputs[5][i] = 1.5;                   // all equal
    }
    for (const auto& input : inputs) {
        SetSample(input);
        SortSample(1, n);
        auto expected = input;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Sample(), expected);
    }
    // Only the given stretch moves.
    SetSample({9, 8, 7, 6, 5});
    SortSample(2, 4);
    EXPECT_EQ(Sample(), (std::vector<double>{9, 6, 7, 8, 5}));
}

TEST_F(StatsTest, SortSampleSurvivesNaNAndBadIndices) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> values;
    for (int i = 0; i < 2000; ++i)
        values.push_back(i % 7 == 0 ? nan : (i * 7919) % 1000);
    SetSample(values);
    SortSample(1, SampleN);
    SortSample(-5, 1 << 30);
    SortSample(5, 2);
    EXPECT_EQ(SampleN, 2000);
    // Index 0 may be reached by a negative start; the sample itself keeps its values.
    const auto after = Sample();
    EXPECT_EQ(std::count_if(after.begin(), after.end(), [](double v) { return std::isnan(v); }),
              std::count_if(values.begin(), values.end(), [](double v) { return std::isnan(v); }));
}

TEST_F(StatsTest, SampleModeTable) {
    struct Case {
        std::vector<double> values;
        double mode;
    };
    const Case cases[] = {
        {{2, 7, 7, 3, 3}, 3}, // first (smallest) of two equally long runs
        {{4, 1, 2}, 4},       // no repeats: first value in data order
        {{9, 1}, 9},          // n = 2 is not sorted
        {{5, 5}, 5},          {{8}, 8}, {{1, 2, 2, 3, 3, 3}, 3}, {{6, 6, 6, 6}, 6},
    };
    for (const auto& c : cases) {
        SetSample(c.values);
        SampleMode();
        EXPECT_EQ(SampleStats.Mode, c.mode);
    }
}

TEST_F(StatsTest, SampleQuantileByPlottingPosition) {
    struct Case {
        std::vector<double> values;
        long double p;
        long double expected;
    };
    const std::vector<double> ten = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
    const Case cases[] = {
        {{1, 2, 3, 4, 5}, 0.5, 3},     // a = 5.4 * 0.5 + 0.3 = 3
        {{1, 2, 3, 4, 5}, 0.25, 1.65}, // a = 1.65: between x1 and x2
        {ten, 0.00135, 10},
        {ten, 0.99865, 100},
        {ten, 0.9, 96.6}, // a = 9.66
        {{7}, 0.3, 7},
        {{7}, 0.99, 7},
        {ten, -1, 10},
        {ten, 1e300, 100},
        {ten, std::numeric_limits<long double>::quiet_NaN(), 10},
    };
    for (const auto& c : cases) {
        SetSample(c.values);
        StatErrorCode = 5;
        EXPECT_NEAR(static_cast<double>(SampleQuantile(c.p)), static_cast<double>(c.expected), 1e-12);
        EXPECT_EQ(StatErrorCode, 0);
    }
}

TEST_F(StatsTest, CountAboveAndBelowAreStrict) {
    SetSample({1, 2, 2, 3, 5});
    int count = -1;
    CountAbove(count, 2);
    EXPECT_EQ(count, 2);
    CountBelow(count, 2);
    EXPECT_EQ(count, 1);
    CountAbove(count, 5);
    EXPECT_EQ(count, 0);
    CountBelow(count, 0.5);
    EXPECT_EQ(count, 0);
    SetSample({});
    CountAbove(count, 0);
    EXPECT_EQ(count, 0);
}

TEST_F(StatsTest, SpreadTiesTable) {
    struct Case {
        std::vector<double> values;
        std::vector<double> spread;
        double gap;
    };
    const Case cases[] = {
        {{2, 4, 2, 1, 2}, {1, 1.75, 2, 2.25, 4}, 1},
        {{5, 6, 5}, {4.5 + 1.0 / 3, 4.5 + 2.0 / 3, 6}, 1},
        {{3, 3, 3}, {3, 3, 3}, 0}, // nothing to spread into
        {{0, 10, 10, 12}, {0, 9 + 2.0 / 3, 9 + 4.0 / 3, 12}, 2},
    };
    for (const auto& c : cases) {
        SetSample(c.values);
        SpreadTies();
        EXPECT_EQ(SampleStats.SmallestGap, c.gap);
        const auto got = Sample();
        ASSERT_EQ(got.size(), c.spread.size());
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], c.spread[i], 1e-12);
        EXPECT_EQ(SampleStats.Minimum, got.front());
        EXPECT_EQ(SampleStats.Maximum, got.back());
    }
    SetSample({4});
    SampleStats.SmallestGap = 7;
    SpreadTies(); // n < 2 leaves everything alone
    EXPECT_EQ(SampleStats.SmallestGap, 7);
}

TEST_F(StatsTest, MovingRangeStatistics) {
    SetSample({1, 3, 2, 6});
    MovingRangeStatistics();
    EXPECT_NEAR(static_cast<double>(SampleStats.MeanMovingRange), 7.0 / 3, 1e-15);
    EXPECT_NEAR(static_cast<double>(SampleStats.SigmaMR), 7.0 / 3 / 1.12838, 1e-15);
    EXPECT_EQ(SampleStats.MedianMovingRange, 2);
    EXPECT_NEAR(static_cast<double>(SampleStats.SigmaMedianMR), 2 / 0.954, 1e-15);
    EXPECT_EQ(SampleN, 4);
    EXPECT_EQ((std::vector<double>{SampleX[1], SampleX[2], SampleX[3]}), (std::vector<double>{1, 2, 4}));

    SetSample({5});
    SampleStats.SigmaMR = 3;
    MovingRangeStatistics();
    EXPECT_EQ(SampleStats.SigmaMR, 0);
    EXPECT_EQ(SampleStats.MedianMovingRange, 0);
}

struct ShapeCase {
    const char* name;
    std::vector<double> values;
    long double g1, g2, adjG1, adjG2;
};

TEST_F(StatsTest, ShapeStatisticsTable) {
    constexpr long double NA = 999;
    // Reference: SciPy 1.10 scipy.stats.skew / kurtosis with bias=True (g1, g2) and bias=False (G1, G2).
    const ShapeCase cases[] = {
        {"equal values", {5, 5, 5}, NA, NA, NA, NA},
        {"two values", {1, 2}, NA, NA, NA, NA},
        {"three values: no kurtosis", {1, 2, 4}, 0.3818017741606063L, NA, 0.9352195295828237L, NA},
        {"symmetric", samples::OneToTen, 0, -1.22424242424242L, 0, -1.2L},
        {"skewed", samples::Skewed, 1.27327050844073L, 0.89480187883099L, 1.37892286567579L,
         1.53930048906394L},
        {"five", samples::Five, 0.959620938396268L, -0.495567415892085L, 1.43051843392413L,
         2.01773033643166L},
        {"seven", samples::Seven, 1.65670933011454L, 1.3505301564622L, 2.14734071622106L, 5.04127237550929L},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetSample(c.values);
        MeanAndStdDev();
        ShapeStatistics();
        EXPECT_NEAR(static_cast<double>(SampleStats.Skewness), static_cast<double>(c.g1), 1e-12);
        EXPECT_NEAR(static_cast<double>(SampleStats.Kurtosis), static_cast<double>(c.g2), 1e-12);
        EXPECT_NEAR(static_cast<double>(SampleStats.SkewnessAdj), static_cast<double>(c.adjG1), 1e-12);
        EXPECT_NEAR(static_cast<double>(SampleStats.KurtosisAdj), static_cast<double>(c.adjG2), 1e-12);
    }
}

TEST_F(StatsTest, SumsFormulas) {
    struct Case {
        long double n, sum, sumSq, variance, sd;
    };
    const Case cases[] = {
        {3, 6, 14, 1, 1}, // 1, 2, 3
        {4, 10, 30, 5.0L / 3, std::sqrt(5.0L / 3)},
        {0, 0, 0, 0, 0},
        {1, 3, 9, 0, 0},      // one value: no spread, no division by zero
        {2, 2, 1.5, -0.5, 0}, // inconsistent sums: the standard deviation stays 0
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(static_cast<double>(VarianceFromSums(c.n, c.sum, c.sumSq)),
                    static_cast<double>(c.variance), 1e-15);
        EXPECT_NEAR(static_cast<double>(SDFromSums(c.n, c.sum, c.sumSq)), static_cast<double>(c.sd), 1e-15);
    }
}

TEST_F(StatsTest, ComputeStatisticsBundles) {
    SetSample({4, 1, 3, 2, 5, 9, 7, 6, 8, 10});
    ComputeStatistics('N');
    EXPECT_EQ(Sample(), samples::OneToTen); // always sorts first
    EXPECT_NEAR(static_cast<double>(SampleStats.LowerNatural), 5.5 - 3 * 3.02765035409749, 1e-12);
    EXPECT_NEAR(static_cast<double>(SampleStats.UpperNatural), 5.5 + 3 * 3.02765035409749, 1e-12);
    EXPECT_EQ(SampleStats.SWW, 0); // not part of code N

    ComputeStatistics('T');
    EXPECT_NEAR(SampleStats.SWW, 0.970164611230665, 2e-7);
    EXPECT_NEAR(SampleStats.ADStar, 0.154867399526123, 5e-7);
    EXPECT_NEAR(SampleStats.LMR, 0, 1e-12);
    EXPECT_NEAR(static_cast<double>(SampleStats.Kurtosis), -1.22424242424242, 1e-12);

    SampleStats.SWW = 0;
    ComputeStatistics('S');
    EXPECT_EQ(SampleStats.SWW, 0);
    EXPECT_NEAR(static_cast<double>(SampleStats.Kurtosis), -1.22424242424242, 1e-12);

    ComputeStatistics('I');
    EXPECT_EQ(ConfI.N, 10);
    EXPECT_EQ(ConfI.Mean, 5.5);
}

TEST_F(StatsTest, HugeValuesStayFinite) {
    SetSample({-1e308, 1e308, 0, 5e307, -5e307});
    BasicStatistics();
    ShapeStatistics();
    EXPECT_EQ(SampleStats.Mean, 0);
    EXPECT_TRUE(std::isfinite(static_cast<double>(SampleStats.StdDev)));
    EXPECT_NEAR(static_cast<double>(SampleStats.Skewness), 0, 1e-12);
    EXPECT_EQ(SampleStats.Median, 0);
    MovingRangeStatistics(); // a moving range of 2e308 does not fit a double: it becomes infinite
    EXPECT_EQ(SampleN, 5);
}

TEST_F(StatsTest, MissingValueIsJustANumberHere) {
    // The extraction leaves missing values out; the library itself has no special case.
    SetSample({MissingValue, 1, 2});
    BasicStatistics();
    EXPECT_EQ(SampleStats.Minimum, MissingValue);
    SampleMode();
    EXPECT_EQ(SampleStats.Mode, MissingValue);
}

TEST_F(StatsTest, CountBeyondTheBufferIsClamped) {
    SetSample({3, 1, 2});
    SampleN = 50;
    BasicStatistics();
    EXPECT_EQ(SampleStats.NReal, 3);
    EXPECT_EQ(SampleStats.Median, 2);
    SampleN = -4;
    BasicStatistics();
    SpreadTies();
    MovingRangeStatistics();
    EXPECT_EQ(SampleStats.NReal, 0);
    EXPECT_EQ(SampleN, -4);
}

} // namespace
