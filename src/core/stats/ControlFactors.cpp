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
    if (FactorSizeInRange(n)) return false;
    StatErrorCode = 1;
    return true;
}

// A zero factor (refused n) gives a zero sigma rather than a division by zero.
Extended Divide(Extended statistic, Extended factor) { return factor != 0 ? statistic / factor : 0; }

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

Extended D3Times(int n, Extended sigma) {
    if (OutOfRange(n)) return 0;
    if (n <= kFactorTableMax) return sigma * kD3Table[static_cast<std::size_t>(n)];
    return sigma * D3Integral(n);
}

Extended C4(int n) {
    if (OutOfRange(n)) return 0;
    const Extended size = n;
    return std::exp(0.5L * std::log(2 / (size - 1)) + LnGamma(size / 2) - LnGamma((size - 1) / 2));
}

Extended SigmaFromMeanRange(int n, Extended statistic) { return Divide(statistic, D2(n)); }

Extended SigmaFromMedianRange(int n, Extended statistic) { return Divide(statistic, D4(n)); }

Extended SigmaFromMeanSD(int n, Extended statistic) { return Divide(statistic, C4(n)); }

Extended SigmaFromMedianSD(int n, Extended statistic) {
    if (OutOfRange(n)) return 0;
    const Extended df = n - 1;
    const Extended median = InvChiSq(kUpperTail, 0.5L, df);
    if (!(median > 0)) return 0;
    return statistic * std::sqrt(df / median);
}

Extended MedianSEFactor(int n, Extended sigma) {
    if (OutOfRange(n)) return 0;
    if (n <= kMedianVarianceTableMax)
        return sigma * std::sqrt(Extended{kMedianVarianceTable[static_cast<std::size_t>(n)]});
    return sigma * std::sqrt(std::numbers::pi_v<Extended> / 2) / std::sqrt(Extended(n));
}

} // namespace kivspc
