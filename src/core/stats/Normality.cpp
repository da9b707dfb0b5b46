// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/Normality.h"

#include "app/NumberFormat.h"
#include "stats/Descriptive.h"
#include "stats/Distributions.h"
#include "stats/SampleBuffer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

namespace kivspc {

namespace {

// Polynomial coefficients of algorithm AS R94, lowest power first.
// source: Royston (1995), "Remark AS R94", Applied Statistics 44(4), 547-551.
constexpr std::array<double, 6> kC1 = {0.0, 0.221157, -0.147981, -2.07119, 4.434685, -2.706056};
constexpr std::array<double, 6> kC2 = {0.0, 0.042981, -0.293762, -1.752461, 5.682633, -3.582633};
constexpr std::array<double, 4> kC3 = {0.544, -0.39978, 0.025054, -0.0006714};
constexpr std::array<double, 4> kC4 = {1.3822, -0.77857, 0.062767, -0.0020322};
constexpr std::array<double, 4> kC5 = {-1.5861, -0.31082, -0.083751, 0.0038915};
constexpr std::array<double, 3> kC6 = {-0.4803, -0.082676, 0.0030302};
constexpr std::array<double, 2> kG = {-2.273, 0.459};

// The coefficients a[1..n div 2] of the last n (index 0 unused) and that n; 0 = empty.
std::vector<double> swCoefficients(1, 0.0);
int swCoefficientN = 0;

struct AdPoint {
    double aStar;
    double cumulative;
};

// (A*, cumulative probability) of the Anderson-Darling statistic for a normal sample with
// estimated mean and standard deviation, from the published table.
// source: D'Agostino and Stephens (1986), Goodness-of-Fit Techniques, chapter 4 (case 3).
constexpr std::array<AdPoint, 24> kAdTable = {{
    {0.1, 0},      {0.146, 0.01},  {0.2, 0.099},   {0.3, 0.38},   {0.4, 0.6223}, {0.472, 0.75},
    {0.5, 0.783},  {0.509, 0.8},   {0.561, 0.85},  {0.6, 0.8787}, {0.631, 0.9},  {0.7, 0.9327},
    {0.752, 0.95}, {0.8, 0.9633},  {0.873, 0.975}, {0.9, 0.9797}, {1.0, 0.9887}, {1.035, 0.99},
    {1.1, 0.9937}, {1.159, 0.995}, {1.2, 0.9963},  {1.3, 0.998},  {1.4, 0.999},  {1.5, 1.0},
}};

// Critical values of the excess kurtosis g2 of a normal sample of size n: lower and upper
// limits at the 10%, 5% and 2% levels, from the published table.
struct KurtosisRow {
    int n;
    std::array<double, 6> limits; // 10% low, 10% high, 5% low, 5% high, 2% low, 2% high
};

constexpr std::array<KurtosisRow, 26> kKurtosisTable = {{
    {7, {-1.59, 0.55, -1.66, 0.85, -1.75, 1.23}},      {8, {-1.54, 0.7, -1.6, 1.09, -1.69, 1.53}},
    {9, {-1.47, 0.86, -1.55, 1.28, -1.65, 1.82}},      {10, {-1.44, 0.95, -1.51, 1.4, -1.61, 2.0}},
    {12, {-1.36, 1.05, -1.44, 1.56, -1.54, 2.2}},      {15, {-1.28, 1.13, -1.36, 1.66, -1.45, 2.3}},
    {20, {-1.18, 1.17, -1.26, 1.68, -1.35, 2.36}},     {25, {-1.09, 1.16, -1.17, 1.65, -1.28, 2.3}},
    {30, {-1.02, 1.11, -1.1, 1.59, -1.21, 2.21}},      {35, {-0.97, 1.1, -1.05, 1.53, -1.16, 2.13}},
    {40, {-0.93, 1.06, -1.02, 1.46, -1.11, 2.04}},     {45, {-0.89, 1.0, -0.97, 1.39, -1.07, 1.94}},
    {50, {-0.85, 0.99, -0.94, 1.33, -1.05, 1.88}},     {75, {-0.73, 0.87, -0.812, 1.159, -0.92, 1.59}},
    {100, {-0.65, 0.77, -0.731, 1.027, -0.82, 1.39}},  {125, {-0.6, 0.71, -0.671, 0.928, -0.76, 1.24}},
    {150, {-0.55, 0.65, -0.624, 0.854, -0.71, 1.13}},  {200, {-0.49, 0.57, -0.556, 0.743, -0.63, 0.98}},
    {250, {-0.45, 0.52, -0.507, 0.665, -0.58, 0.87}},  {300, {-0.41, 0.47, -0.469, 0.608, -0.54, 0.79}},
    {400, {-0.36, 0.41, -0.415, 0.524, -0.48, 0.67}},  {500, {-0.33, 0.37, -0.377, 0.466, -0.43, 0.6}},
    {1000, {-0.24, 0.26, -0.277, 0.324, -0.32, 0.41}}, {2000, {-0.17, 0.18, -0.202, 0.226, -0.23, 0.28}},
    {5000, {-0.11, 0.12, -0.131, 0.141, -0.15, 0.17}}, {10001, {-0.081, 0.081, -0.096, 0.096, -0.114, 0.114}},
}};

int Count() {
    const int capacity = SampleX.empty() ? 0 : static_cast<int>(SampleX.size()) - 1;
    return std::clamp(SampleN, 0, capacity);
}

} // namespace

namespace {
template <typename T> Extended Horner(std::span<const T> c, int k, Extended x) {
    if (c.empty()) return 0;
    k = std::clamp(k, 0, static_cast<int>(c.size()) - 1);
    if (k == 0) return c[0];
    if (k == 1) return c[0] + x * c[1];
    Extended result = c[static_cast<std::size_t>(k)];
    for (int j = k - 1; j >= 0; --j)
        result = result * x + c[static_cast<std::size_t>(j)];
    return result;
}
} // namespace

Extended EvalPolynomial(std::span<const double> c, int k, Extended x) { return Horner(c, k, x); }

Extended EvalPolynomial(std::span<const Extended> c, int k, Extended x) { return Horner(c, k, x); }

Extended EvalPolynomial(std::initializer_list<double> c, int k, Extended x) {
    return Horner(std::span<const double>(c.begin(), c.size()), k, x);
}

void ShapiroWilkCoefficients(int n) {
    if (n < 3 || n == swCoefficientN) return;
    const int half = n / 2;
    swCoefficients.assign(static_cast<std::size_t>(half) + 1, 0.0);
    if (n == 3) {
        swCoefficients[1] = std::sqrt(0.5);
        swCoefficientN = n;
        return;
    }
    // Expected normal order statistics, negative for the lower half.
    // source: Blom (1958), Statistical Estimates and Transformed Beta-Variables: (i - 3/8) / (n + 1/4).
    std::vector<Extended> m(static_cast<std::size_t>(half) + 1, 0);
    Extended s = 0;
    const Extended an25 = n + 0.25L;
    for (int i = 1; i <= half; ++i) {
        m[static_cast<std::size_t>(i)] = -InvNormal(kUpperTail, (i - 0.375L) / an25);
        s += m[static_cast<std::size_t>(i)] * m[static_cast<std::size_t>(i)];
    }
    const Extended q = std::sqrt(2 * s);
    const Extended u = 1 / std::sqrt(static_cast<Extended>(n));
    const Extended a1 = EvalPolynomial(kC1, 5, u) - m[1] / q;
    Extended fac;
    int first;
    if (n <= 5) {
        fac = std::sqrt((2 * s - 2 * m[1] * m[1]) / (1 - 2 * a1 * a1));
        first = 2;
    } else {
        const Extended a2 = -m[2] / q + EvalPolynomial(kC2, 5, u);
        fac = std::sqrt((2 * s - 2 * m[1] * m[1] - 2 * m[2] * m[2]) / (1 - 2 * a1 * a1 - 2 * a2 * a2));
        swCoefficients[2] = static_cast<double>(a2);
        first = 3;
    }
    swCoefficients[1] = static_cast<double>(a1);
    for (int i = first; i <= half; ++i)
        swCoefficients[static_cast<std::size_t>(i)] =
            static_cast<double>(-m[static_cast<std::size_t>(i)] / fac);
    swCoefficientN = n;
}

const double* ShapiroWilkCoefficientData() { return swCoefficients.data(); }

int ShapiroWilkCoefficientN() { return swCoefficientN; }

void ShapiroWilkTest(bool sortFirst) {
    const int n = Count();
    SampleStats.NReal = n;
    if (n <= 2) {
        SampleStats.SWW = 0;
        SampleStats.SWP = NotAvailable;
        return;
    }
    if (sortFirst) OrderStatistics();
    if (SampleStats.Range < 1e-20) {
        SampleStats.SWW = 0;
        SampleStats.SWP = 0;
        return;
    }
    ShapiroWilkCoefficients(n);
    const double* a = swCoefficients.data();
    const double* x = SampleX.data();
    const int half = n / 2;
    // The data are scaled by their range (taken in extended precision, where the difference
    // of two huge doubles cannot overflow); W does not depend on the scale.
    const Extended range = static_cast<Extended>(SampleStats.Maximum) - SampleStats.Minimum;
    auto coefficient = [&](int i) -> Extended {
        if (i <= half) return -static_cast<Extended>(a[i]);
        if (i > n - half) return a[n + 1 - i];
        return 0;
    };
    Extended sa = 0;
    Extended sx = 0;
    for (int i = 1; i <= n; ++i) {
        sa += coefficient(i);
        sx += x[i] / range;
    }
    sa /= n;
    sx /= n;
    Extended ssa = 0;
    Extended ssx = 0;
    Extended sax = 0;
    for (int i = 1; i <= n; ++i) {
        const Extended asa = coefficient(i) - sa;
        const Extended xsx = x[i] / range - sx;
        ssa += asa * asa;
        ssx += xsx * xsx;
        sax += asa * xsx;
    }
    if (!(ssa * ssx > 0)) {
        // No spread left to correlate with (a stale Range over equal values).
        SampleStats.SWW = 0;
        SampleStats.SWP = 0;
        return;
    }
    // w1 = 1 - W, formed so that W close to 1 keeps its digits in large samples.
    const Extended ssassx = std::sqrt(ssa * ssx);
    Extended w1 = (ssassx - sax) * (ssassx + sax) / (ssa * ssx);
    if (w1 < 0) w1 = 0;
    const Extended w = 1 - w1;
    SampleStats.SWW = static_cast<double>(w);

    const Extended nn = n;
    Extended p;
    if (n == 3) {
        // Exact for three values; W = 0.75 (its smallest value) gives 0, not a rounding negative.
        // source: Shapiro and Wilk (1965), Biometrika 52, 591-611: p = (6/pi)(asin(sqrt(W)) - pi/3).
        p = (std::asin(std::sqrt(std::min(w, Extended{1}))) - 1.047198L) * 1.909859L;
        if (p < 0) p = 0;
    } else if (n <= 11) {
        const Extended gamma = EvalPolynomial(kG, 1, nn);
        Extended y = std::log(w1);
        if (y >= gamma) {
            p = 0;
        } else {
            y = -std::log(gamma - y);
            const Extended m = EvalPolynomial(kC3, 3, nn);
            const Extended s = std::exp(EvalPolynomial(kC4, 3, nn));
            p = NormalProb(kUpperTail, (y - m) / s);
        }
    } else {
        const Extended y = std::log(w1);
        const Extended v = std::log(nn);
        const Extended m = EvalPolynomial(kC5, 3, v);
        const Extended s = std::exp(EvalPolynomial(kC6, 2, v));
        p = NormalProb(kUpperTail, (y - m) / s);
    }
    SampleStats.SWP = static_cast<double>(p);
}

void AndersonDarlingTest() {
    const int n = Count();
    SampleStats.NReal = n;
    SampleStats.ADStar = NotAvailable;
    SampleStats.ADP = NotAvailable;
    if (SampleStats.StdDev == 0 || n < 2) return;
    const double* x = SampleX.data();
    const Extended mean = SampleStats.Mean;
    const Extended sd = SampleStats.StdDev;
    std::vector<Extended> f(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) {
        const Extended fi = 1 - NormalProb(kUpperTail, (x[i] - mean) / sd);
        // Beyond about 8 standard deviations the tail is 0 and its logarithm does not exist.
        if (!(fi > 0 && fi < 1)) return;
        f[static_cast<std::size_t>(i)] = fi;
    }
    Extended s = 0;
    for (int k = 1; k <= n; ++k)
        s += (2 * k - 1) * (std::log(f[static_cast<std::size_t>(k)]) +
                            std::log(1 - f[static_cast<std::size_t>(n + 1 - k)]));
    const Extended nn = n;
    const Extended a2 = -s / nn - nn;
    // source: D'Agostino and Stephens (1986), chapter 4: the modification for estimated mean and sd.
    const Extended aStar = a2 * (1 + 0.75L / nn + 2.25L / (nn * nn));
    SampleStats.ADStar = static_cast<double>(aStar);
    SampleStats.ADP = static_cast<double>(AndersonDarlingP(aStar));
}

Extended AndersonDarlingP(Extended aStar) {
    if (aStar == NotAvailable) return NotAvailable;
    // Thresholds as doubles, like the statistic callers keep.
    if (aStar <= 0.1) return 1;
    // Below 0.63 a log-normal curve fitted to the table; above it, straight lines between its points.
    if (aStar < 0.63) return NormalProb(kUpperTail, (std::log(aStar - 0.04L) + 1.2026L) / 0.527L);
    if (aStar >= 1.5) return 0;
    for (std::size_t i = 0; i + 1 < kAdTable.size(); ++i) {
        const AdPoint lo = kAdTable[i];
        const AdPoint hi = kAdTable[i + 1];
        if (hi.aStar >= aStar) {
            const Extended cumulative =
                lo.cumulative + (static_cast<Extended>(hi.cumulative) - lo.cumulative) * (aStar - lo.aStar) /
                                    (static_cast<Extended>(hi.aStar) - lo.aStar);
            return 1 - cumulative;
        }
    }
    return NotAvailable; // NaN
}

void LinMudholkarTest() {
    const int n = Count();
    SampleStats.NReal = n;
    if (n <= 2 || SampleStats.StdDev == 0) {
        SampleStats.LMR = NotAvailable;
        SampleStats.LMP = NotAvailable;
        return;
    }
    const double* x = SampleX.data();
    const Extended nn = n;
    const Extended mean = SampleStats.Mean;
    const Extended ss = nn * SampleStats.PopVariance;
    Extended sg = 0;
    Extended sg2 = 0;
    Extended sh = 0;
    Extended sh2 = 0;
    Extended sgh = 0;
    for (int i = 1; i <= n; ++i) {
        const Extended d = x[i] - mean;
        // The variance of the sample without this value; rounding may leave it just below 0.
        const Extended var = (ss - d * d * nn / (nn - 1)) / (nn - 2);
        const Extended h = var > 0 ? std::cbrt(var) : 0;
        const Extended g = d / (nn - 1);
        sg += g;
        sg2 += g * g;
        sh += h;
        sh2 += h * h;
        sgh += g * h;
    }
    const Extended b = (sg2 - sg * sg / nn) * (sh2 - sh * sh / nn);
    const Extended r = b > 0 ? std::fabs((sgh - sg * sh / nn) / std::sqrt(b)) : 0;
    SampleStats.LMR = static_cast<double>(r);
    SampleStats.LMP = r >= 1 ? 0.0 : static_cast<double>(LinMudholkarP(n, r));
}

Extended LinMudholkarP(int n, Extended r) {
    if (n < 3 || std::isnan(r)) return NotAvailable;
    const Extended nn = n;
    // Fisher's z with a normal approximation whose kurtosis is corrected by gamma.
    // source: Lin and Mudholkar (1980), Biometrika 67, 455-461, the moments of z under normality.
    const Extended z = r == 1 ? 999.0L : std::log((1 + r) / (1 - r)) / 2;
    const Extended sigma = std::sqrt(3 / nn - 7.324L / (nn * nn) + 53.005L / (nn * nn * nn));
    const Extended gamma = -11.7L / nn + 55.06L / (nn * nn);
    // Beyond the value of the expansion at 3.5 the tail is taken as 0.
    if (((1 - gamma / 8) * 3.5L + gamma * 42.875L / 24) * sigma < z) return 0;
    // Solve x + (gamma/24)(x^3 - 3x) = z/sigma, i.e. x^3 - 3gx + 2f = 0.
    Extended x;
    if (gamma == 0) {
        x = z / sigma;
    } else {
        const Extended g = -(24 / gamma - 3) / 3;
        const Extended f = -12 * z / (sigma * gamma);
        const Extended l = g * g * g - f * f;
        if (l >= 0) {
            const Extended theta = std::acos(std::clamp(f / std::sqrt(g * g * g), Extended{-1}, Extended{1}));
            x = -2 * std::sqrt(g) * std::cos((theta + 4 * std::numbers::pi_v<Extended>) / 3);
        } else {
            const Extended u = std::cbrt(std::fabs(f) + std::sqrt(-l));
            x = -Sign(f) * (u + g / u);
        }
    }
    return NormalProb(kTwoTailed, x);
}

Extended SkewnessTestP(int n, Extended g1) {
    if (n < 8 || g1 == NotAvailable) return NotAvailable;
    const Extended nn = n;
    // source: D'Agostino (1970), Biometrika 57, 679-681, the standard deviation and kurtosis of g1
    // under normality; a Student t with that kurtosis, d = (4b - 6) / (b - 3) (Pearson type VII).
    const Extended c = std::sqrt(6 * (nn - 2) / ((nn + 1) * (nn + 3)));
    const Extended b =
        3 * (nn * nn + 27 * nn - 70) * (nn + 1) * (nn + 3) / ((nn - 2) * (nn + 5) * (nn + 7) * (nn + 9));
    const Extended d = (4 * b - 6) / (b - 3);
    const Extended e = std::sqrt(d / (d - 2));
    return TProb(kTwoTailed, g1 * e / c, std::trunc(d));
}

void KurtosisTest(int n, std::string& text, Extended g2) {
    if (n < 7 || g2 == NotAvailable) {
        text = "999.000";
        SampleStats.KurtosisP = NotAvailable;
        return;
    }
    const Extended nn = n;
    if (n > 5000) {
        // The standard deviation of g2 under normality (Fisher 1930), with a normal tail.
        const Extended s =
            std::sqrt(24 * nn * (nn - 1) * (nn - 1) / ((nn - 3) * (nn - 2) * (nn + 3) * (nn + 5)));
        SampleStats.KurtosisP = static_cast<double>(NormalProb(kTwoTailed, g2 / s));
        text = FormatFixed(3, SampleStats.KurtosisP).substr(0, 10);
        return;
    }
    std::size_t row = 0;
    while (row + 1 < kKurtosisTable.size() && n > kKurtosisTable[row].n)
        ++row;
    auto limit = [&](int column) -> Extended {
        const KurtosisRow& hi = kKurtosisTable[row];
        const Extended v = hi.limits[static_cast<std::size_t>(column)];
        if (n == hi.n || row == 0) return v;
        const KurtosisRow& lo = kKurtosisTable[row - 1];
        const Extended v0 = lo.limits[static_cast<std::size_t>(column)];
        return v0 + (v - v0) * (nn - lo.n) / (hi.n - lo.n);
    };
    text = ">.10";
    double p = NotAvailable;
    if (g2 == 0) {
        text = "1.000";
    } else if (g2 < 0) {
        if (g2 <= limit(4)) {
            text = "<.02";
            p = 0.02;
        } else if (g2 <= limit(2)) {
            text = ".05-.02";
            p = 0.05;
        } else if (g2 <= limit(0)) {
            text = ".10-.05";
            p = 0.1;
        }
    } else if (g2 > 0) {
        if (g2 >= limit(5)) {
            text = "<.02";
            p = 0.02;
        } else if (g2 >= limit(3)) {
            text = ".05-.02";
            p = 0.05;
        } else if (g2 >= limit(1)) {
            text = ".10-.05";
            p = 0.1;
        }
    }
    // Just below the band's upper p, so that a band ending at alpha counts as significant;
    // "not available" stays exactly 999.
    SampleStats.KurtosisP = p == NotAvailable ? p : p - 1e-10;
}

void ResetNormalityState() {
    swCoefficients.assign(1, 0.0);
    swCoefficientN = 0;
}

} // namespace kivspc
