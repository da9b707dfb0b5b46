// SPDX-License-Identifier: GPL-3.0-or-later
// Control chart factors: the expected range (d2), the median range, the standard deviation of
// the range (d3), c4, the variance of a subgroup median, and the sigma estimates built on them.
#pragma once

#include "app/MissingValue.h"

#include <array>

namespace kivspc {

// Tables run over n = 2..30 (entries 0 and 1 unused); the values are stored as published.
inline constexpr int kFactorTableMax = 30;
// The factor functions take an unsigned 16-bit subgroup size: above this they refuse like below 2.
inline constexpr int kFactorMaxN = 65535;

inline constexpr std::array<double, kFactorTableMax + 1> kD2Table{
    0,       0,       1.12838, 1.69257, 2.05875, 2.32593, 2.53441, 2.70436, 2.8472,  2.97003, 3.07751,
    3.17287, 3.25846, 3.33598, 3.40676, 3.47183, 3.53198, 3.58788, 3.64006, 3.68896, 3.73495, 3.77834,
    3.81938, 3.85832, 3.89535, 3.93063, 3.96432, 3.99654, 4.02741, 4.05704, 4.08552};

// Expected median of the range of n standard normal values.
inline constexpr std::array<double, kFactorTableMax + 1> kMedianRangeTable{
    0,      0,      0.9539, 1.5878, 1.9783, 2.2569, 2.4717, 2.6455, 2.7908, 2.9154, 3.0242,
    3.1205, 3.2069, 3.285,  3.3562, 3.4217, 3.4821, 3.5383, 3.5907, 3.6398, 3.6859, 3.7294,
    3.7706, 3.8097, 3.8468, 3.8821, 3.9159, 3.9482, 3.9791, 4.0088, 4.0373};

inline constexpr std::array<double, kFactorTableMax + 1> kD3Table{
    0,      0,      0.8525, 0.8884, 0.8798, 0.8641, 0.848,  0.8332, 0.8198, 0.8078, 0.7971,
    0.7873, 0.7785, 0.7704, 0.763,  0.7562, 0.7499, 0.7441, 0.7386, 0.7335, 0.7287, 0.7242,
    0.7199, 0.7159, 0.7121, 0.7084, 0.705,  0.7017, 0.6986, 0.6955, 0.6927};

// Variance of the median of n standard normal values, n = 2..20 (every entry checked against the
// order-statistic integrals; n = 5 is 0.2868336616, not 0.28668336616 with a doubled digit);
// beyond 20 the large-sample value pi / (2n).
inline constexpr int kMedianVarianceTableMax = 20;
inline constexpr std::array<double, kMedianVarianceTableMax + 1> kMedianVarianceTable{0,
                                                                                      0,
                                                                                      0.5,
                                                                                      0.4486711046,
                                                                                      0.2981996185,
                                                                                      0.2868336616,
                                                                                      0.2147426666,
                                                                                      0.2104468615,
                                                                                      0.1681808552,
                                                                                      0.1661012814,
                                                                                      0.1383264359,
                                                                                      0.1371624335,
                                                                                      0.1175161871,
                                                                                      0.116798995,
                                                                                      0.1021678368,
                                                                                      0.1016946521,
                                                                                      0.0903752113,
                                                                                      0.0900465814,
                                                                                      0.0810285101,
                                                                                      0.0807909751,
                                                                                      0.0734370277};

// The subgroup sizes the factor functions answer for.
constexpr bool FactorSizeInRange(int n) { return n >= 2 && n <= kFactorMaxN; }

// Every factor function returns 0 and sets StatErrorCode to 1 when n is below 2 (or above
// kFactorMaxN); otherwise StatErrorCode is left as it was.

// d2: the table up to 30, D2Integral above.
Extended D2(int n);
// Median-range factor: the table up to 30, above a fifth-degree polynomial in D2(n).
Extended D4(int n);
// sigma d3(n), the standard deviation of the range: the table up to 30, D3Integral above.
Extended D3Times(int n, Extended sigma);
// c4 = sqrt(2 / (n - 1)) Gamma(n / 2) / Gamma((n - 1) / 2).
Extended C4(int n);

// The process sigma from a statistic of subgroups of n: its mean range / d2, median range / D4,
// mean standard deviation / c4.
Extended SigmaFromMeanRange(int n, Extended statistic);
Extended SigmaFromMedianRange(int n, Extended statistic);
Extended SigmaFromMeanSD(int n, Extended statistic);
// statistic sqrt((n - 1) / chi2(0.5, n - 1)), chi2(p, v) being the value with upper tail p.
Extended SigmaFromMedianSD(int n, Extended statistic);
// Standard error of a subgroup median of n values whose standard deviation is sigma.
Extended MedianSEFactor(int n, Extended sigma);

} // namespace kivspc
