// SPDX-License-Identifier: GPL-3.0-or-later
// Range-distribution constants for subgroup sizes beyond the factor tables: d2(n), the mean of
// the range of n standard normal values, and d3(n), its standard deviation, both by numerical
// integration of the normal distribution.
#pragma once

#include "app/MissingValue.h"

#include <array>

namespace kivspc {

inline constexpr int kNormalTableSize = 602;

// Entry i is P(Z > 0.01 i) for a standard normal Z (entry 0 = 0.5); built on the first d3
// integration and kept.
extern std::array<double, kNormalTableSize> NormalTable;
extern bool NormalTableBuilt;

// Each integral keeps only its last result: subgroup sizes rarely change within a run, and a
// d3 integration is far too costly to repeat for every point.
struct TRangeIntegralCache {
    int D2N = -1;
    Extended D2Value = 0;
    int D3N = -1;
    Extended D3Value = 0;
};
extern TRangeIntegralCache RangeIntegralCache;

// d2(n) by the trapezoidal rule over z >= 0 (step 0.03) of 1 - Q(z)^n - (1 - Q(z))^n, doubled.
// Meant for n > 30; n below 2 gives 0.
Extended D2Integral(int n);
// d3(n) from the second moment of the range, a double integral over [-6, 6] on a 0.01 grid
// read from NormalTable. Meant for n > 30; n below 2 gives 0.
Extended D3Integral(int n);

// Empties both caches and the normal table (tests and benchmarks).
void ResetRangeConstants();

} // namespace kivspc
