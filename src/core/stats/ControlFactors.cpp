// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ControlFactors.h"

#include "app/SharedState.h"
#include "stats/Distributions.h"
#include "stats/RangeConstants.h"

#include <cmath>
#include <numbers>

namespace kivspc {

namespace {

bool OutOfRange(int n) {
    if (n >= 2 && n <= kFactorMaxN) return false;
    StatErrorCode = 1;
    return true;
}

// A zero factor (refused n) gives a zero sigma rather than a division by zero.
Extended Divide(Extended x, Extended factor) {
    return factor != 0 ? x / factor : 0;
}

} // namespace

Extended D2(int n) {
    if (OutOfRange(n)) return 0;
    if (n <= kFactorTableMax) return kD2Table[static_cast<std::size_t>(n)];
    return D2Integral(n);
}

Extended D4(int n) {
    if (OutOfRange(n)) return 0;
    if (n <= kFactorTableMax) return kMedianRangeTable[static_cast<std::size_t>(n)];
    const Extended d = D2(n);
    return ((((1.5678783e-5L * d - 0.00052043421L) * d + 0.006798329575L) * d - 0.043371568875L) * d +
            1.135844528837L) *
               d -
           0.215703930721L;
}

Extended D3Times(int n, Extended x) {
    if (OutOfRange(n)) return 0;
    if (n <= kFactorTableMax) return x * kD3Table[static_cast<std::size_t>(n)];
    return x * D3Integral(n);
}

Extended C4(int n) {
    if (OutOfRange(n)) return 0;
    const Extended nn = n;
    return std::exp(0.5L * std::log(2 / (nn - 1)) + LnGamma(nn / 2) - LnGamma((nn - 1) / 2));
}

Extended SigmaFromMeanRange(int n, Extended x) {
    return Divide(x, D2(n));
}

Extended SigmaFromMedianRange(int n, Extended x) {
    return Divide(x, D4(n));
}

Extended SigmaFromMeanSD(int n, Extended x) {
    return Divide(x, C4(n));
}

Extended SigmaFromMedianSD(int n, Extended x) {
    if (OutOfRange(n)) return 0;
    const Extended df = n - 1;
    const Extended median = InvChiSq(1, 0.5L, df);
    if (!(median > 0)) return 0;
    return x * std::sqrt(df / median);
}

Extended MedianSEFactor(int n, Extended x) {
    if (OutOfRange(n)) return 0;
    if (n <= kMedianVarianceTableMax)
        return x * std::sqrt(Extended{kMedianVarianceTable[static_cast<std::size_t>(n)]});
    return x * std::sqrt(std::numbers::pi_v<Extended> / 2) / std::sqrt(Extended(n));
}

} // namespace kivspc
