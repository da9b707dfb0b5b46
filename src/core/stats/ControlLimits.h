// SPDX-License-Identifier: GPL-3.0-or-later
// The shared control limit routine: a summary statistic in, centerline, sigma (or standard
// error) and control limits out, for the ten chart kinds of the limit calculator
// (the kinds with a calculator page).
#pragma once

#include "stats/ChartKind.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kivspc {

// X-Bar, Median and X: the centerline is typed, not computed.
constexpr bool HasCentreInput(TChartKind chart) {
    switch (chart) {
    case kChartMean:
    case kChartMedian:
    case kChartX: return true;
    case kChartNone:
    case kChartMovingRange:
    case kChartRange:
    case kChartStdDev:
    case kChartVariance:
    case kChartIndividualPoints:
    case kChartP:
    case kChartNP:
    case kChartC:
    case kChartU: return false;
    }
    return false;
}

// Limits from a process sigma; p, np, c and u are attributes charts.
constexpr bool IsVariablesChart(TChartKind chart) {
    switch (chart) {
    case kChartMean:
    case kChartMedian:
    case kChartX:
    case kChartMovingRange:
    case kChartRange:
    case kChartStdDev:
    case kChartVariance:
    case kChartIndividualPoints: return true;
    case kChartNone:
    case kChartP:
    case kChartNP:
    case kChartC:
    case kChartU: return false;
    }
    return false;
}

// The methods of each chart are the items of its list, numbered from 1 as ComputeControlLimits
// takes them.

// X-Bar and Median: where the process sigma comes from.
enum class CentreSigmaMethod : std::uint8_t {
    AverageRange = 1,
    MedianRange = 2,
    AverageStdDev = 3,
    MedianStdDev = 4,
    AverageVariance = 5,
    // Of the plotted subgroup means or medians.
    AverageMovingRangeOfCentres = 6,
    MedianMovingRangeOfCentres = 7,
    StdDevOfCentres = 8,
    KnownStdDev = 9,
};

// X (individual values): n is the span of the moving range, or the number of values.
enum class IndividualsSigmaMethod : std::uint8_t {
    AverageMovingRange = 1,
    MedianMovingRange = 2,
    StdDev = 3,
    KnownStdDev = 4,
};

// R, s and s².
enum class DispersionSigmaMethod : std::uint8_t {
    AverageRange = 1,
    MedianRange = 2,
    AverageStdDev = 3,
    MedianStdDev = 4,
    AverageVariance = 5,
    KnownStdDev = 6,
};

// p, np, c and u: 1 is the normal approximation and every other number the exact binomial or
// Poisson limits.
enum class AttributeLimitMethod : std::uint8_t {
    Approximate = 1,
    Exact = 2,
};

// The method numbered `number` of a list whose last item is `last`; nothing outside the list.
template <typename Method> constexpr std::optional<Method> MethodOfNumber(int number, Method last) {
    if (number < 1 || number > static_cast<int>(last)) return std::nullopt;
    return static_cast<Method>(number);
}

constexpr AttributeLimitMethod AttributeLimitMethodOf(int number) {
    return number == static_cast<int>(AttributeLimitMethod::Approximate) ? AttributeLimitMethod::Approximate
                                                                         : AttributeLimitMethod::Exact;
}

// Whether the limits depend on n: not for c, nor for X with a known standard deviation.
constexpr bool LimitsUseSampleSize(TChartKind chart, int method) {
    switch (chart) {
    case kChartX: return method != static_cast<int>(IndividualsSigmaMethod::KnownStdDev);
    case kChartC: return false;
    case kChartNone:
    case kChartMean:
    case kChartMedian:
    case kChartMovingRange:
    case kChartRange:
    case kChartStdDev:
    case kChartVariance:
    case kChartIndividualPoints:
    case kChartP:
    case kChartNP:
    case kChartU: return true;
    }
    return true;
}

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

// chart: a kind with a calculator page (any other is not computable). method: the number of one of the
// chart's methods (CentreSigmaMethod, IndividualsSigmaMethod, DispersionSigmaMethod or AttributeLimitMethod).
// centerline: input for X-Bar, Median and X (the grand mean X), output for the others.
// sigma: the process standard deviation of individual values (variables charts) or the standard
// error of the plotted statistic (p, np, c, u).
// n: subgroup size (units for u, may be fractional; span or count of values for X; unused for c
// and for X with a known standard deviation). k: the number of standard errors.
// On a positive status the outputs are 0 (and centerline is left alone for X-Bar, Median and X); on -1
// the LCL and on -2 the UCL are not limits. When both limits are missing the status is -1.
std::int32_t ComputeControlLimits(TChartKind chart, std::uint8_t method, double& centerline, double& sigma,
                                  double& lcl, double& ucl, double n, double k, double statistic);

// The calculator's line for a positive status; empty for 0, -1 and -2.
std::string ControlLimitStatusText(std::int32_t status);

} // namespace kivspc
