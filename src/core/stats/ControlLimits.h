// SPDX-License-Identifier: GPL-3.0-or-later
// The shared control limit routine: a summary statistic in, centerline, sigma (or standard
// error) and control limits out, for the ten chart kinds of the limit calculator.
#pragma once

#include <cstdint>
#include <string>

namespace kivspc {

// Chart kinds, numbered as the calculator's pages.
enum ControlChartKind : std::uint8_t {
    kChartXBar = 1,
    kChartMedian = 2,
    kChartX = 3,
    kChartR = 4,
    kChartS = 5,
    kChartS2 = 6,
    kChartP = 7,
    kChartNP = 8,
    kChartC = 9,
    kChartU = 10,
};

// Status left in StatErrorCode (and returned) by ComputeControlLimits.
inline constexpr std::int32_t kLimitsComputed = 0;
// A factor was asked for n below 2 or beyond its range, p-bar is 1 or more, or the sample is
// too large for the exact binomial search.
inline constexpr std::int32_t kLimitsOutOfRange = 1;
// An argument is not a finite number, the method is unknown for the chart, exact Poisson limits
// were asked beyond about 8 standard errors (the normal tail reads 0 there), or a statistical
// routine failed to converge.
inline constexpr std::int32_t kLimitsNotComputable = 2;
inline constexpr std::int32_t kLimitsZeroSampleSize = 5;
inline constexpr std::int32_t kLimitsSampleSizeOne = 6;
// n is below 0 for a chart that uses it (after rounding, except for u).
inline constexpr std::int32_t kLimitsNegativeSampleSize = 7;
// The number of standard errors is below 0: the limits would change places.
inline constexpr std::int32_t kLimitsNegativeStdErrors = 8;
// The statistic (a dispersion, proportion, count or rate) is below 0.
inline constexpr std::int32_t kLimitsNegativeStatistic = 9;
// The statistic or the number of standard errors is 0.
inline constexpr std::int32_t kLimitsZeroStatistic = 10;
// np-bar is n or more (p-bar of 1 or more on the np chart).
inline constexpr std::int32_t kLimitsCountAboveSampleSize = 11;
// The mean count is beyond the exact Poisson search; the approximation still works.
inline constexpr std::int32_t kLimitsPoissonMeanTooLarge = 12;
// A centerline, sigma or limit is beyond the range of a double.
inline constexpr std::int32_t kLimitsOverflow = 13;
// No lower limit: the LCL is 0.
inline constexpr std::int32_t kLimitsNoLower = -1;
// No upper limit: the UCL is 1 for proportions (n for np).
inline constexpr std::int32_t kLimitsNoUpper = -2;

// chart: ControlChartKind. method: the 1-based item of the chart's method list; for p, np, c
// and u, 1 is the normal approximation and any other value the exact limits.
// centerline: input for kinds 1-3 (the grand mean X), output for the others.
// sigma: the process standard deviation of individual values (kinds 1-6) or the standard error
// of the plotted statistic (kinds 7-10).
// n: subgroup size (units for u, may be fractional; span or count of values for X; unused for c
// and for X with a known standard deviation). k: the number of standard errors.
// On a positive status the outputs are 0 (and centerline is left alone for kinds 1-3); on -1
// the LCL and on -2 the UCL are not limits. When both limits are missing the status is -1.
std::int32_t ComputeControlLimits(std::uint8_t chart, std::uint8_t method, double& centerline, double& sigma,
                                  double& lcl, double& ucl, double n, double k, double statistic);

// The calculator's line for a positive status; empty for 0, -1 and -2.
std::string ControlLimitStatusText(std::int32_t status);

} // namespace kivspc
