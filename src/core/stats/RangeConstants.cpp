// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/RangeConstants.h"

#include "stats/Distributions.h"

#include <cmath>
#include <vector>

namespace kivspc {

std::array<double, kNormalTableSize> NormalTable{};
bool NormalTableBuilt = false;
TRangeIntegralCache RangeIntegralCache;

void ResetRangeConstants() {
    NormalTable.fill(0.0);
    NormalTableBuilt = false;
    RangeIntegralCache = TRangeIntegralCache{};
}

namespace {

constexpr Extended kD2Step = 0.03L;
constexpr Extended kGridStep = 0.01L;
constexpr Extended kGridEdge = 6.0L;
// The d2 integrand vanishes beyond z = 8.6, where the normal tail reads 0; this only guards
// against a tail routine that never reaches 0.
constexpr int kMaxD2Steps = 10000;

// base^n by repeated squaring: the d3 double integral takes about 1.4 million powers, so their
// cost must not grow with n.
Extended PowerN(Extended base, unsigned n) {
    Extended result = 1;
    while (n != 0) {
        if (n & 1U) result *= base;
        n >>= 1U;
        if (n != 0) base *= base;
    }
    return result;
}

void BuildNormalTable() {
    NormalTable[0] = 0.5;
    for (int i = 1; i < kNormalTableSize; ++i)
        NormalTable[i] = static_cast<double>(NormalProbSeries(kUpperTail, 0.01L * i));
    NormalTableBuilt = true;
}

// Phi(x) = P(Z <= x), read from the table at the nearest multiple of 0.01.
Extended TablePhi(Extended x) {
    long entry = std::lround(std::fabs(x) / kGridStep);
    if (entry >= kNormalTableSize) entry = kNormalTableSize - 1;
    const Extended upper = NormalTable[static_cast<std::size_t>(entry)];
    return x >= 0 ? 1 - upper : upper;
}

} // namespace

// source: the mean range E(R) = integral of 1 - Phi(z)^n - (1 - Phi(z))^n over all z (Tippett,
// 1925), folded onto z >= 0 by symmetry, by the trapezoidal rule.
Extended D2Integral(int n) {
    if (n < 2) return 0;
    if (n == RangeIntegralCache.D2N) return RangeIntegralCache.D2Value;
    Extended sum = 0;
    Extended previous = 1; // the integrand at z = 0, 1 - 2 (1/2)^n, taken as 1
    Extended z = kD2Step;
    Extended area = 0;
    int steps = 0;
    do {
        const Extended upper = NormalProbSeries(kUpperTail, z);
        const Extended value = 1 - Power(upper, n) - Power(1 - upper, n);
        area = (previous + value) * kD2Step / 2;
        sum += area;
        z += kD2Step;
        previous = value;
    } while (area >= 1e-20L && ++steps < kMaxD2Steps);
    const Extended d2 = 2 * sum;
    RangeIntegralCache.D2N = n;
    RangeIntegralCache.D2Value = d2;
    return d2;
}

// source: E(R^2) = 2 times the double integral over g < x of 1 - Phi(x)^n - (1 - Phi(g))^n +
// (Phi(x) - Phi(g))^n (Hartley, 1942), by the trapezoidal rule in both directions.
Extended D3Integral(int n) {
    if (n < 2) return 0;
    if (n == RangeIntegralCache.D3N) return RangeIntegralCache.D3Value;
    if (!NormalTableBuilt) BuildNormalTable();
    const auto power = static_cast<unsigned>(n);

    // The grid points -6 + 0.01 m, accumulated step by step as the integration walks them;
    // the inner integral walks the same points, so both meet exactly at g = x.
    std::vector<Extended> phi; // phi[m] = Phi(grid point m), phi[0] = Phi(-6)
    phi.reserve(1210);
    Extended gridPoint = -kGridEdge;
    phi.push_back(TablePhi(gridPoint));
    while (gridPoint < kGridEdge) {
        gridPoint += kGridStep;
        phi.push_back(TablePhi(gridPoint));
    }
    const std::size_t points = phi.size();

    // (1 - Phi(g))^n depends on g only.
    std::vector<Extended> upperPower(points);
    for (std::size_t j = 0; j < points; ++j)
        upperPower[j] = PowerN(1 - phi[j], power);

    Extended outer = 0;
    Extended previousInner = 0;
    for (std::size_t m = 1; m < points; ++m) {
        const Extended phiX = phi[m];
        const Extended oneMinusPhiXn = 1 - PowerN(phiX, power);
        Extended inner = 0;
        Extended previousValue = oneMinusPhiXn - upperPower[0] + PowerN(phiX - phi[0], power);
        for (std::size_t j = 1; j <= m; ++j) {
            const Extended value = oneMinusPhiXn - upperPower[j] + PowerN(phiX - phi[j], power);
            inner += (previousValue + value) * kGridStep / 2;
            previousValue = value;
        }
        outer += (previousInner + inner) * kGridStep / 2;
        previousInner = inner;
    }

    const Extended d2 = D2Integral(n);
    const Extended variance = 2 * outer - d2 * d2;
    // Truncating the range to [-6, 6] could only make the variance vanish for absurd n.
    const Extended d3 = variance > 0 ? std::sqrt(variance) : 0;
    RangeIntegralCache.D3N = n;
    RangeIntegralCache.D3Value = d3;
    return d3;
}

} // namespace kivspc
