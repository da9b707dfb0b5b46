// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ControlLimits.h"

#include "app/SharedState.h"
#include "stats/ControlFactors.h"
#include "stats/Distributions.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace kivspc {

namespace {

// Poisson probabilities take an int count; the search runs a few standard deviations above.
constexpr Extended kMaxExactPoissonMean = 1e9L;

struct Limits {
    Extended centerline = 0;
    Extended sigma = 0;
    Extended lcl = 0;
    Extended ucl = 0;
    std::int32_t status = kLimitsComputed;
};

// Trunc of a real into a long, saturating instead of overflowing.
long TruncClamped(Extended x, long lo, long hi) {
    if (std::isnan(x)) return lo;
    if (x <= static_cast<Extended>(lo)) return lo;
    if (x >= static_cast<Extended>(hi)) return hi;
    return static_cast<long>(std::trunc(x));
}

int ToFactorN(Extended rounded) {
    if (std::isnan(rounded)) return 0;
    if (rounded > INT_MAX) return INT_MAX;
    if (rounded < INT_MIN) return INT_MIN;
    return static_cast<int>(rounded);
}

// A routine failure code that is also one of the named statuses (10 would read as "statistic is
// 0") is reported as a failure instead; 1 keeps its meaning: n outside a factor's range.
std::int32_t RoutineFailure(std::int32_t code) {
    return code >= kLimitsZeroSampleSize && code <= kLimitsOverflow ? kLimitsNotComputable : code;
}

// Process sigma from the statistic for kinds 1, 2 and 4-6; false for a method the chart lacks.
bool SigmaEstimate(std::uint8_t chart, std::uint8_t method, int n, Extended s, Extended& sigma) {
    const bool centres = chart == kChartXBar || chart == kChartMedian;
    const Extended rootN = std::sqrt(static_cast<Extended>(n));
    auto divide = [](Extended x, Extended factor) { return factor != 0 ? x / factor : Extended{0}; };
    switch (method) {
    case 1:
        sigma = SigmaFromMeanRange(n, s);
        return true;
    case 2:
        sigma = SigmaFromMedianRange(n, s);
        return true;
    case 3:
        sigma = SigmaFromMeanSD(n, s);
        return true;
    case 4:
        sigma = SigmaFromMedianSD(n, s);
        return true;
    case 5:
        sigma = s >= 0 ? std::sqrt(s) : 0;
        return s >= 0;
    case 6:
        if (!centres) {
            sigma = s; // known standard deviation
            return true;
        }
        // The moving range of the plotted centres estimates their standard error.
        if (chart == kChartXBar)
            sigma = rootN * s / D2(2);
        else
            sigma = divide(s / D2(2), MedianSEFactor(n, 1));
        return true;
    case 7:
        if (!centres) return false;
        if (chart == kChartXBar)
            sigma = rootN * s / D4(2);
        else
            sigma = divide(s / D4(2), MedianSEFactor(n, 1));
        return true;
    case 8:
        if (!centres) return false;
        sigma = chart == kChartXBar ? rootN * s : divide(s, MedianSEFactor(n, 1));
        return true;
    case 9:
        if (!centres) return false;
        sigma = s;
        return true;
    default:
        return false;
    }
}

void VariablesLimits(std::uint8_t chart, std::uint8_t method, Extended x, int n, Extended k, Extended s,
                     Extended alpha, Limits& out) {
    Extended sigma = 0;
    if (chart == kChartX) {
        switch (method) {
        case 1:
            sigma = SigmaFromMeanRange(n, s);
            break;
        case 2:
            sigma = SigmaFromMedianRange(n, s);
            break;
        case 3:
            sigma = SigmaFromMeanSD(n, s);
            break;
        case 4:
            sigma = s;
            break;
        default:
            out.status = kLimitsNotComputable;
            return;
        }
    } else {
        if ((chart == kChartXBar || chart == kChartMedian) && n < 2) {
            out.status = kLimitsSampleSizeOne;
            return;
        }
        if (!SigmaEstimate(chart, method, n, s, sigma)) {
            out.status = kLimitsNotComputable;
            return;
        }
    }
    // A refused factor (n out of range) leaves its status; the limits would be meaningless.
    if (StatErrorCode != 0) {
        out.status = RoutineFailure(StatErrorCode);
        return;
    }
    out.sigma = sigma;

    switch (chart) {
    case kChartXBar: {
        const Extended se = sigma / std::sqrt(static_cast<Extended>(n));
        out.centerline = x;
        out.ucl = x + k * se;
        out.lcl = x - k * se;
        break;
    }
    case kChartMedian: {
        const Extended se = MedianSEFactor(n, sigma);
        out.centerline = x;
        out.ucl = x + k * se;
        out.lcl = x - k * se;
        break;
    }
    case kChartX:
        out.centerline = x;
        out.ucl = x + k * sigma;
        out.lcl = x - k * sigma;
        break;
    case kChartR: {
        out.centerline = sigma * D2(n);
        const Extended sr = D3Times(n, sigma);
        out.ucl = out.centerline + k * sr;
        out.lcl = out.centerline - k * sr;
        break;
    }
    case kChartS: {
        const Extended c4 = C4(n);
        out.centerline = sigma * c4;
        const Extended ss = sigma * std::sqrt(std::max(Extended{0}, 1 - c4 * c4));
        out.ucl = out.centerline + k * ss;
        out.lcl = out.centerline - k * ss;
        break;
    }
    default: { // kChartS2: probability limits from the chi-square distribution
        const Extended df = n - 1;
        const Extended var = sigma * sigma;
        out.centerline = var * InvChiSq(1, 0.5L, df) / df;
        out.ucl = var * InvChiSq(1, alpha, df) / df;
        out.lcl = var * InvChiSq(1, 1 - alpha, df) / df;
        break;
    }
    }
    if (StatErrorCode > 0) {
        out.status = RoutineFailure(StatErrorCode);
        return;
    }
    if ((chart == kChartR || chart == kChartS) && out.lcl <= 0) {
        out.lcl = 0;
        out.status = kLimitsNoLower;
    }
}

// Exact binomial limits for a proportion: the smallest count whose upper tail falls below alpha
// and the largest whose lower tail does, each with a continuity half.
void ExactBinomial(long n, Extended p, Extended upper0, Extended lower0, Extended alpha, Limits& out,
                   std::int32_t& failure) {
    const int nn = static_cast<int>(n);
    // P(X >= i); the binomial routines reset StatErrorCode, so a failure is caught per call.
    auto tail = [&](long i) -> Extended {
        if (i <= 0) return 1;
        if (i > n) return 0;
        StatErrorCode = 0;
        const Extended t = BinomialUpperTail(static_cast<int>(i), nn, p);
        if (StatErrorCode > 0 && failure == 0) failure = StatErrorCode;
        return t;
    };

    // Upper limit. Every count at or below 0 has tail 1, so the walk never needs to start
    // lower than -1. With alpha of 0 (beyond about 8 standard errors) no tail falls below it and
    // the walk would end at n; with alpha of 1 the downward walk would end at 0.
    long i = std::min(TruncClamped(n * upper0, -1, n), n);
    if (alpha <= 0) {
        i = n;
    } else {
        if (alpha >= 1) {
            i = 0;
        } else {
            do
                --i;
            while (!(tail(i) > alpha || i <= 0));
        }
        do
            ++i;
        while (!(tail(i) < alpha || i >= n));
    }
    if (i < n) {
        out.ucl = (i - 0.5L) / n;
    } else {
        StatErrorCode = 0;
        const Extended all = alpha > 0 ? BinomialProbability(nn, nn, p) : 0;
        if (StatErrorCode > 0 && failure == 0) failure = StatErrorCode;
        if (alpha > 0 && all < alpha) {
            out.ucl = 1 - 0.5L / n;
        } else {
            out.ucl = 1;
            out.status = kLimitsNoUpper;
        }
    }

    // Lower limit.
    long j = lower0 >= 0 ? TruncClamped(n * lower0, 0, n + 1) : 0;
    if (j > n) j = n - 1;
    if (alpha <= 0) {
        j = 0;
    } else {
        if (alpha >= 1) {
            j = n;
        } else {
            do
                ++j;
            while (!(1 - tail(j) > alpha || j >= n));
        }
        do
            --j;
        while (!(1 - tail(j) < alpha || j <= 0));
    }
    if (j > 0) {
        out.lcl = (j - 0.5L) / n;
    } else {
        out.lcl = 0;
        out.status = kLimitsNoLower;
    }
}

void ProportionLimits(std::uint8_t chart, std::uint8_t method, Extended nRounded, Extended k, Extended s,
                      Extended alpha, Limits& out) {
    const Extended pbar = chart == kChartP ? s : s / nRounded;
    if (pbar >= 1) {
        out.status = chart == kChartNP ? kLimitsCountAboveSampleSize : kLimitsOutOfRange;
        return;
    }
    const Extended se = pbar > 0 ? std::sqrt(pbar * (1 - pbar) / nRounded) : 0;
    const Extended upper0 = pbar + k * se;
    const Extended lower0 = pbar - k * se;
    out.centerline = pbar;
    out.sigma = se;
    if (method == 1) {
        out.ucl = upper0;
        out.lcl = lower0;
        if (out.ucl >= 1) {
            out.ucl = 1;
            out.status = kLimitsNoUpper;
        }
        if (out.lcl <= 0) {
            out.lcl = 0;
            out.status = kLimitsNoLower;
        }
    } else {
        if (nRounded > INT_MAX) {
            out.status = kLimitsOutOfRange;
            return;
        }
        std::int32_t failure = 0;
        ExactBinomial(static_cast<long>(nRounded), pbar, upper0, lower0, alpha, out, failure);
        if (failure != 0) {
            out.status = RoutineFailure(failure);
            return;
        }
    }
    if (chart == kChartNP) {
        out.centerline *= nRounded;
        out.sigma *= nRounded;
        out.ucl *= nRounded;
        out.lcl *= nRounded;
    }
}

void ExactPoisson(Extended lambda, Extended upper0, Extended lower0, Extended alpha, Limits& out) {
    auto prob = [&](long i) { return PoissonProbability(lambda, static_cast<Extended>(i)); };
    // Upper limit: T is P(X >= i) throughout, kept up to date one probability at a time. Counts
    // at or below 0 all have tail 1, so the walk starts no lower than 0.
    long i = TruncClamped(upper0, 0, LONG_MAX);
    Extended t = PoissonUpperTail(lambda, static_cast<Extended>(i));
    while (t < alpha && i > 0) {
        --i;
        t += prob(i);
    }
    for (;;) {
        const Extended p = prob(i);
        t -= p;
        ++i;
        // Once the probabilities have underflowed the tail can no longer move.
        if (t < alpha || (p == 0 && i > lambda)) break;
    }
    out.ucl = i - 0.5L;

    // Lower limit.
    long j = lower0 > 0 ? std::max(TruncClamped(lower0, 0, LONG_MAX), 1L) : 1;
    t = PoissonUpperTail(lambda, static_cast<Extended>(j));
    while (1 - t < alpha) {
        const Extended p = prob(j);
        t -= p;
        ++j;
        if (p == 0 && j > lambda) break;
    }
    do {
        --j;
        t += prob(j);
    } while (!(1 - t < alpha || j <= 0));
    if (j > 0) {
        out.lcl = j - 0.5L;
    } else if (prob(0) > alpha) {
        out.lcl = 0;
        out.status = kLimitsNoLower;
    } else {
        out.lcl = -0.5L;
    }
}

void CountLimits(std::uint8_t chart, std::uint8_t method, Extended n, Extended k, Extended s, Extended alpha,
                 Limits& out) {
    if (chart == kChartU && n == 0) {
        out.status = kLimitsZeroSampleSize;
        return;
    }
    const Extended lambda = chart == kChartC ? s : s * n;
    const Extended se = std::sqrt(lambda);
    const Extended upper0 = lambda + k * se;
    const Extended lower0 = lambda - k * se;
    out.centerline = lambda;
    out.sigma = se;
    if (method == 1) {
        out.ucl = upper0;
        out.lcl = lower0;
        if (out.lcl <= 0) {
            out.lcl = 0;
            out.status = kLimitsNoLower;
        }
    } else {
        // Outside 0 < alpha < 1 no tail crosses alpha and the searches would not end.
        if (!(alpha > 0 && alpha < 1)) {
            out.status = kLimitsNotComputable;
            return;
        }
        if (lambda > kMaxExactPoissonMean) {
            out.status = kLimitsPoissonMeanTooLarge;
            return;
        }
        ExactPoisson(lambda, upper0, lower0, alpha, out);
    }
    if (chart == kChartU) {
        out.centerline /= n;
        out.sigma /= n;
        out.ucl /= n;
        out.lcl /= n;
    }
}

} // namespace

std::int32_t ComputeControlLimits(std::uint8_t chart, std::uint8_t method, double& centerline, double& sigma,
                                  double& lcl, double& ucl, double n, double k, double statistic) {
    const bool centreInput = chart == kChartXBar || chart == kChartMedian || chart == kChartX;
    sigma = 0;
    lcl = 0;
    ucl = 0;
    if (!centreInput) centerline = 0;
    auto finish = [](std::int32_t status) {
        StatErrorCode = status;
        return status;
    };

    if (statistic == 0 || k == 0) return finish(kLimitsZeroStatistic);
    if (chart < kChartXBar || chart > kChartU) return finish(kLimitsNotComputable);
    // n is neither checked nor used for c charts and for X charts with a known sigma.
    const bool usesN = chart != kChartC && !(chart == kChartX && method == 4);
    if (!std::isfinite(statistic) || !std::isfinite(k) || (usesN && !std::isfinite(n)) ||
        (centreInput && !std::isfinite(centerline)))
        return finish(kLimitsNotComputable);

    // Limits in the wrong order or a sample of negative size mean nothing. n is refused here,
    // while it is still a real: no conversion to an integer can overflow further on.
    if (k < 0) return finish(kLimitsNegativeStdErrors);
    if (statistic < 0) return finish(kLimitsNegativeStatistic);
    const Extended nRounded = std::nearbyint(static_cast<Extended>(n));
    if (usesN && (chart == kChartU ? n < 0 : nRounded < 0)) return finish(kLimitsNegativeSampleSize);
    const bool countsN = usesN && chart != kChartU;
    if (countsN && nRounded == 0) return finish(kLimitsZeroSampleSize);
    if (countsN && nRounded == 1) return finish(kLimitsSampleSizeOne);
    // The variables charts take n as an int; a larger n would be silently replaced.
    if (usesN && chart <= kChartS2 && nRounded > INT_MAX) return finish(kLimitsOutOfRange);

    const Extended alpha = NormalProb(1, k);
    StatErrorCode = 0;
    Limits out;
    if (chart <= kChartS2)
        VariablesLimits(chart, method, centerline, ToFactorN(nRounded), k, statistic, alpha, out);
    else if (chart <= kChartNP)
        ProportionLimits(chart, method, nRounded, k, statistic, alpha, out);
    else
        CountLimits(chart, method, n, k, statistic, alpha, out);

    if (out.status > 0) return finish(out.status);
    const double results[] = {static_cast<double>(out.centerline), static_cast<double>(out.sigma),
                              static_cast<double>(out.ucl), static_cast<double>(out.lcl)};
    // Extended numbers reach far beyond a double: a result that does not fit is no limit.
    for (double x : results)
        if (!std::isfinite(x)) return finish(kLimitsOverflow);
    centerline = results[0];
    sigma = results[1];
    ucl = results[2];
    lcl = results[3];
    return finish(out.status);
}

std::string ControlLimitStatusText(std::int32_t status) {
    switch (status) {
    case kLimitsComputed:
    case kLimitsNoLower:
    case kLimitsNoUpper:
        return {};
    case kLimitsOutOfRange:
        return "Sample size outside table range";
    case kLimitsZeroSampleSize:
        return "Zero sample size";
    case kLimitsSampleSizeOne:
        return "Sample size must be larger than 1";
    case kLimitsNegativeSampleSize:
        return "Sample size must not be negative";
    case kLimitsNegativeStdErrors:
        return "Standard errors must not be negative";
    case kLimitsNegativeStatistic:
        return "Statistic must not be negative";
    case kLimitsZeroStatistic:
        return "Statistic = 0";
    case kLimitsCountAboveSampleSize:
        return "np-bar must be less than n";
    case kLimitsPoissonMeanTooLarge:
        return "Mean too large for exact Poisson limits: use the approximation";
    case kLimitsOverflow:
        return "Limits beyond the range of numbers";
    default:
        return status > 0 ? " Error" : std::string();
    }
}

} // namespace kivspc
