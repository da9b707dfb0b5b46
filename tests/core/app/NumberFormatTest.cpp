// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

using namespace kivspc;

namespace {

struct FixedCase {
    int decimals;
    double x;
    const char* expected;
};

TEST(NumberFormatTest, FormatFixedRoundsToTheGivenDecimals) {
    const FixedCase cases[] = {
        {2, 3.14159, "3.14"},
        {3, -1.5, "-1.500"},
        {0, 123.7, "124"},
        {4, 0, "0.0000"},
        {2, 1e6, "1000000.00"},
        {1, -2.26, "-2.3"},
        // Results that round to zero carry no sign.
        {2, -0.001, "0.00"},
        {0, -0.4, "0"},
        {2, -0.0, "0.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFixed(c.decimals, c.x), c.expected) << c.x << " d=" << c.decimals;
}

struct SignificantCase {
    int digits;
    double x;
    const char* expected;
};

TEST(NumberFormatTest, FormatSignificantChoosesDecimalsForTheDigits) {
    const SignificantCase cases[] = {
        {4, 123.456, "123.5"},
        {4, 12345, "12345"},
        {4, 10, "10.00"},
        {4, 1, "1.000"},
        {4, 0.5, "0.5000"},
        {4, 0.05, "0.05000"},
        {4, 0, "0.0000"},
        {4, -123.456, "-123.5"},
        {4, -0.05, "-0.05000"},
        // Exact powers of ten below one take the other branch of the rule.
        {4, 0.1, "0.1000"},
        {4, 0.001, "0.001000"},
        {3, 0.000123, "0.000123"},
        // Rounding may carry into a new digit; the decimals stay those of the input.
        {3, 999.9, "1000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatSignificant(c.digits, c.x), c.expected) << c.x << " n=" << c.digits;
}

TEST(NumberFormatTest, GroupedVariantsPutCommasBetweenThousands) {
    EXPECT_EQ(FormatSignificantGrouped(4, -1234.6), "-1,235");
    EXPECT_EQ(FormatSignificantGrouped(4, 1234567), "1,234,567");
    EXPECT_EQ(FormatSignificantGrouped(4, 999.94), "999.9");
    EXPECT_EQ(FormatSignificantGrouped(3, -0.000123), "-0.000123");

    EXPECT_EQ(FormatFixedGrouped(2, 1234567.891), "1,234,567.89");
    EXPECT_EQ(FormatFixedGrouped(2, -1234.5), "-1,234.50");
    EXPECT_EQ(FormatFixedGrouped(0, 100000), "100,000");
    EXPECT_EQ(FormatFixedGrouped(0, 999), "999");
    EXPECT_EQ(FormatFixedGrouped(2, 999.999), "1,000.00");
    EXPECT_EQ(FormatFixedGrouped(2, -0.001), "0.00");
}

TEST(NumberFormatTest, FormatTrimmedDropsTrailingZerosAndPoint) {
    const std::pair<double, const char*> cases[] = {
        {2.5, "2.5"}, {3, "3"},     {-0.25, "-0.25"}, {0, "0"},
        {100, "100"}, {1e-13, "0"}, {-1e-13, "0"},    {1234.5678, "1234.5678"},
    };
    for (const auto& [x, expected] : cases)
        EXPECT_EQ(FormatTrimmed(x), expected) << x;
}

TEST(NumberFormatTest, PaddedVariantsPadButNeverTruncate) {
    EXPECT_EQ(FormatFixedRight(8, 2, 3.14159), "    3.14");
    EXPECT_EQ(FormatFixedRight(8, 2, -1.5), "   -1.50");
    EXPECT_EQ(FormatFixedRight(0, 2, 3.14159), "3.14");
    EXPECT_EQ(FormatFixedRight(3, 2, 1234.5), "1234.50");
    EXPECT_EQ(FormatFixedLeft(8, 2, 3.14159), "3.14    ");
    EXPECT_EQ(FormatFixedLeft(0, 1, 2.26), "2.3");
    EXPECT_EQ(FormatFixedLeft(2, 0, -12345), "-12345");
    // Wider than the usual 20 characters: still whole.
    EXPECT_EQ(FormatFixedRight(5, 1, 1e25).size(), 28u);
}

TEST(NumberFormatTest, ExtremeInputsDoNotBreakFormatting) {
    const double max = std::numeric_limits<double>::max();
    std::string big = FormatFixed(2, -max);
    EXPECT_EQ(big.substr(0, 2), "-1");
    EXPECT_EQ(big.size(), 1 + 309 + 3u);
    EXPECT_EQ(FormatFixed(100000, 1.0).substr(0, 5), "1.000");
    EXPECT_FALSE(FormatSignificant(4, std::numeric_limits<double>::denorm_min()).empty());
    EXPECT_FALSE(FormatSignificant(4, std::nan("")).empty());
    EXPECT_FALSE(FormatSignificantGrouped(4, -std::numeric_limits<double>::infinity()).empty());
    EXPECT_EQ(FormatSignificant(4, 5e-300).substr(0, 6), "0.0000");
}

} // namespace

// Results for reports and grids: words for what is not a number, an exponent for what would be
// more than 15 integer digits long, the plain form otherwise.
TEST(NumberFormatTest, FiniteFormsSayWhatIsNotANumberAndShortenHugeOnes) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(FormatFixedFinite(4, inf), "Not Computable");
    EXPECT_EQ(FormatFixedFinite(4, -inf), "Not Computable");
    EXPECT_EQ(FormatFixedFinite(4, nan, "None"), "None");
    EXPECT_EQ(FormatFixedFinite(4, 1.5), "1.5000");
    EXPECT_EQ(FormatFixedFinite(2, -0.001), "0.00");
    EXPECT_EQ(FormatFixedFinite(0, 999999999999999.0), "999999999999999");
    EXPECT_EQ(FormatFixedFinite(4, 1e15), "1.0000e+15");
    EXPECT_EQ(FormatFixedFinite(2, -1.7976931348623157e308), "-1.80e+308");
    EXPECT_EQ(FormatFixedFinite(0, 1e300), "1e+300");
    // Beyond a double: a sum of squares kept in long double.
    EXPECT_EQ(FormatFixedFinite(4, 4e400L), "4.0000e+400");
    EXPECT_EQ(FormatFixedFinite(9, 1e-300), "0.000000000");

    EXPECT_EQ(FormatTrimmedFinite(2.5), "2.5");
    EXPECT_EQ(FormatTrimmedFinite(1e300), "1e+300");
    EXPECT_EQ(FormatTrimmedFinite(-1.25e20), "-1.25e+20");
    EXPECT_EQ(FormatTrimmedFinite(nan), "Not Computable");
}

TEST(NumberFormatTest, CellNumbersReadBackExactly) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {2.5, "2.5"},
        {-3, "-3"},
        {0.1, "0.1"},
        {1e-7, "0.0000001"},
        {1e80, "1e+80"},
        {-1.5e-300, "-1.5e-300"},
        {1.0 / 3, "0.3333333333333333"},
        {123456789012.25, "123456789012.25"},
        {std::numeric_limits<double>::infinity(), ""},
        {std::nan(""), ""},
    };
    for (const auto& [x, text] : cases)
        EXPECT_EQ(kivspc::FormatCellNumber(x), text) << x;

    // Any finite double, written and read back through the cell conversion, is the same double.
    std::uint64_t bits = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 20000; ++i) {
        bits ^= bits << 13;
        bits ^= bits >> 7;
        bits ^= bits << 17;
        double x = 0;
        std::memcpy(&x, &bits, sizeof x);
        if (!std::isfinite(x)) continue;
        const std::string text = kivspc::FormatCellNumber(x);
        EXPECT_EQ(kivspc::CellTextToValue(text), x == 0 ? 0.0 : x) << text;
    }
}
