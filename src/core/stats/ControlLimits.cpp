// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ControlLimits.h"

#include "app/SharedState.h"
#include "stats/ControlFactors.h"
#include "stats/Distributions.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

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

Limits Refused(std::int32_t status) {
    Limits limits;
    limits.status = status;
    return limits;
}

// One computation's inputs, checked: finite, k and the statistic not below 0, n not below 0
// where it is used.
struct LimitsRequest {
    TChartKind chart = kChartMean;
    Extended centre = 0;   // X of the kinds with a centre input
    Extended n = 0;        // as given: the u chart takes it unrounded
    Extended nRounded = 0; // to the nearest integer, halves to the even one
    Extended k = 0;        // the number of standard errors
    Extended statistic = 0;
    Extended alpha = 0; // the normal upper tail beyond k, for the probability limits
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

// ---------------------------------------------------------------------------------------------
// Variables charts

// What a variables chart's statistic is, whichever chart's list names it: the X chart's moving
// range of n values is a range of n, its standard deviation of k values a subgroup standard
// deviation, and a known standard deviation is the same on every list.
enum class SigmaSource {
    AverageRange,
    MedianRange,
    AverageStdDev,
    MedianStdDev,
    AverageVariance,
    AverageMovingRangeOfCentres,
    MedianMovingRangeOfCentres,
    StdDevOfCentres,
    KnownStdDev,
};

SigmaSource SourceOf(CentreSigmaMethod method) {
    switch (method) {
    case CentreSigmaMethod::AverageRange: return SigmaSource::AverageRange;
    case CentreSigmaMethod::MedianRange: return SigmaSource::MedianRange;
    case CentreSigmaMethod::AverageStdDev: return SigmaSource::AverageStdDev;
    case CentreSigmaMethod::MedianStdDev: return SigmaSource::MedianStdDev;
    case CentreSigmaMethod::AverageVariance: return SigmaSource::AverageVariance;
    case CentreSigmaMethod::AverageMovingRangeOfCentres: return SigmaSource::AverageMovingRangeOfCentres;
    case CentreSigmaMethod::MedianMovingRangeOfCentres: return SigmaSource::MedianMovingRangeOfCentres;
    case CentreSigmaMethod::StdDevOfCentres: return SigmaSource::StdDevOfCentres;
    case CentreSigmaMethod::KnownStdDev: return SigmaSource::KnownStdDev;
    }
    return SigmaSource::KnownStdDev;
}

SigmaSource SourceOf(IndividualsSigmaMethod method) {
    switch (method) {
    case IndividualsSigmaMethod::AverageMovingRange: return SigmaSource::AverageRange;
    case IndividualsSigmaMethod::MedianMovingRange: return SigmaSource::MedianRange;
    case IndividualsSigmaMethod::StdDev: return SigmaSource::AverageStdDev;
    case IndividualsSigmaMethod::KnownStdDev: return SigmaSource::KnownStdDev;
    }
    return SigmaSource::KnownStdDev;
}

SigmaSource SourceOf(DispersionSigmaMethod method) {
    switch (method) {
    case DispersionSigmaMethod::AverageRange: return SigmaSource::AverageRange;
    case DispersionSigmaMethod::MedianRange: return SigmaSource::MedianRange;
    case DispersionSigmaMethod::AverageStdDev: return SigmaSource::AverageStdDev;
    case DispersionSigmaMethod::MedianStdDev: return SigmaSource::MedianStdDev;
    case DispersionSigmaMethod::AverageVariance: return SigmaSource::AverageVariance;
    case DispersionSigmaMethod::KnownStdDev: return SigmaSource::KnownStdDev;
    }
    return SigmaSource::KnownStdDev;
}

// Whether the sigma estimate reads a factor at the subgroup size: d2, the median range, c4, the
// chi-square median or the standard error of a median.
bool EstimateReadsFactorOfN(SigmaSource source, TChartKind chart) {
    switch (source) {
    case SigmaSource::AverageRange:
    case SigmaSource::MedianRange:
    case SigmaSource::AverageStdDev:
    case SigmaSource::MedianStdDev: return true;
    case SigmaSource::AverageMovingRangeOfCentres:
    case SigmaSource::MedianMovingRangeOfCentres:
    case SigmaSource::StdDevOfCentres: return chart == kChartMedian;
    case SigmaSource::AverageVariance:
    case SigmaSource::KnownStdDev: return false;
    }
    return false;
}

// Whether the chart's limits read a factor at the subgroup size.
bool LimitsReadFactorOfN(TChartKind chart) {
    switch (chart) {
    case kChartMedian:
    case kChartRange:
    case kChartStdDev: return true;
    case kChartNone:
    case kChartMean:
    case kChartX:
    case kChartMovingRange:
    case kChartVariance:
    case kChartIndividualPoints:
    case kChartP:
    case kChartNP:
    case kChartC:
    case kChartU: return false;
    }
    return false;
}

// The process sigma of individual values, for a size whose factors answer.
Extended EstimateSigma(SigmaSource source, TChartKind chart, int n, Extended statistic) {
    // The moving range and standard deviation of the plotted centres estimate their standard
    // error, which the size of a subgroup scales back to individual values.
    const bool means = chart == kChartMean;
    const Extended rootN = std::sqrt(static_cast<Extended>(n));
    switch (source) {
    case SigmaSource::AverageRange: return SigmaFromMeanRange(n, statistic);
    case SigmaSource::MedianRange: return SigmaFromMedianRange(n, statistic);
    case SigmaSource::AverageStdDev: return SigmaFromMeanSD(n, statistic);
    case SigmaSource::MedianStdDev: return SigmaFromMedianSD(n, statistic);
    case SigmaSource::AverageVariance: return std::sqrt(statistic);
    case SigmaSource::AverageMovingRangeOfCentres:
        return means ? rootN * statistic / D2(2) : statistic / D2(2) / MedianSEFactor(n, 1);
    case SigmaSource::MedianMovingRangeOfCentres:
        return means ? rootN * statistic / D4(2) : statistic / D4(2) / MedianSEFactor(n, 1);
    case SigmaSource::StdDevOfCentres: return means ? rootN * statistic : statistic / MedianSEFactor(n, 1);
    case SigmaSource::KnownStdDev: return statistic;
    }
    return statistic;
}

Limits CentredLimits(Extended centre, Extended k, Extended standardError) {
    Limits out;
    out.centerline = centre;
    out.ucl = centre + k * standardError;
    out.lcl = centre - k * standardError;
    return out;
}

// A dispersion chart's limits; a lower limit at or below 0 is none.
Limits SpreadLimits(Extended centerline, Extended k, Extended standardError) {
    Limits out = CentredLimits(centerline, k, standardError);
    if (out.lcl <= 0) {
        out.lcl = 0;
        out.status = kLimitsNoLower;
    }
    return out;
}

// Probability limits from the chi-square distribution of (n - 1) s² / sigma².
Limits VarianceLimits(Extended sigma, int n, Extended alpha) {
    const Extended df = n - 1;
    const Extended variance = sigma * sigma;
    Limits out;
    out.centerline = variance * InvChiSq(kUpperTail, 0.5L, df) / df;
    out.ucl = variance * InvChiSq(kUpperTail, alpha, df) / df;
    out.lcl = variance * InvChiSq(kUpperTail, 1 - alpha, df) / df;
    return out;
}

// The centerline and limits of a variables chart around the process sigma.
Limits VariablesChartLimits(const LimitsRequest& request, int n, Extended sigma) {
    switch (request.chart) {
    case kChartMean:
        return CentredLimits(request.centre, request.k, sigma / std::sqrt(static_cast<Extended>(n)));
    case kChartMedian: return CentredLimits(request.centre, request.k, MedianSEFactor(n, sigma));
    case kChartX: return CentredLimits(request.centre, request.k, sigma);
    case kChartRange: return SpreadLimits(sigma * D2(n), request.k, D3Times(n, sigma));
    case kChartStdDev: {
        const Extended c4 = C4(n);
        return SpreadLimits(sigma * c4, request.k, sigma * std::sqrt(std::max(Extended{0}, 1 - c4 * c4)));
    }
    case kChartVariance: return VarianceLimits(sigma, n, request.alpha);
    case kChartP:
    case kChartNP:
    case kChartC:
    case kChartU: break; // attributes charts have no process sigma
    case kChartNone:
    case kChartMovingRange:
    case kChartIndividualPoints: break; // no calculator page
    }
    return Refused(kLimitsNotComputable);
}

Limits VariablesLimits(const LimitsRequest& request, SigmaSource source) {
    const int n = ToFactorN(request.nRounded);
    // A factor refuses a size beyond its range (it would read 0 and set StatErrorCode): asked
    // first, the refusal is the status and no factor is called with such a size.
    if ((EstimateReadsFactorOfN(source, request.chart) || LimitsReadFactorOfN(request.chart)) &&
        !FactorSizeInRange(n))
        return Refused(kLimitsOutOfRange);
    const Extended sigma = EstimateSigma(source, request.chart, n, request.statistic);
    Limits out = VariablesChartLimits(request, n, sigma);
    out.sigma = sigma;
    return out;
}

// ---------------------------------------------------------------------------------------------
// Proportions: exact binomial limits

// P(X >= count) for X ~ Binomial(n, p). The binomial routines reset StatErrorCode, so every
// call is checked and the first failure kept.
class BinomialTail {
public:
    BinomialTail(long n, Extended p) : n_(n), p_(p) {}

    Extended AtLeast(long count) {
        if (count <= 0) return 1;
        if (count > n_) return 0;
        StatErrorCode = 0;
        const Extended tail = BinomialUpperTail(static_cast<int>(count), static_cast<int>(n_), p_);
        NoteFailure();
        return tail;
    }
    // P(X = n).
    Extended All() {
        StatErrorCode = 0;
        const Extended all = BinomialProbability(static_cast<int>(n_), static_cast<int>(n_), p_);
        NoteFailure();
        return all;
    }
    std::int32_t Failure() const { return failure_; }

private:
    void NoteFailure() {
        if (StatErrorCode > 0 && failure_ == 0) failure_ = StatErrorCode;
    }

    long n_;
    Extended p_;
    std::int32_t failure_ = 0;
};

struct BinomialSearch {
    long n = 0;
    Extended pbar = 0;
    Extended alpha = 0;
    // p-bar + k se and p-bar - k se: the searches start at their counts.
    Extended approximateUpper = 0;
    Extended approximateLower = 0;
};

// The smallest count whose upper tail falls below alpha; n when none does.
long BinomialUpperCount(const BinomialSearch& search, BinomialTail& tail) {
    const long n = search.n;
    // With alpha of 0 (beyond about 8 standard errors) no tail falls below it; with alpha of 1
    // the downward walk would end at 0.
    if (search.alpha <= 0) return n;
    // Every count at or below 0 has tail 1, so the walk never needs to start lower than -1.
    long count = std::min(TruncClamped(n * search.approximateUpper, -1, n), n);
    if (search.alpha >= 1) {
        count = 0;
    } else {
        do
            --count;
        while (!(tail.AtLeast(count) > search.alpha || count <= 0));
    }
    do
        ++count;
    while (!(tail.AtLeast(count) < search.alpha || count >= n));
    return count;
}

// The largest count whose lower tail P(X < count) falls below alpha; 0 when none does.
long BinomialLowerCount(const BinomialSearch& search, BinomialTail& tail) {
    const long n = search.n;
    if (search.alpha <= 0) return 0;
    long count = search.approximateLower >= 0 ? TruncClamped(n * search.approximateLower, 0, n + 1) : 0;
    if (count > n) count = n - 1;
    if (search.alpha >= 1) {
        count = n;
    } else {
        do
            ++count;
        while (!(1 - tail.AtLeast(count) > search.alpha || count >= n));
    }
    do
        --count;
    while (!(1 - tail.AtLeast(count) < search.alpha || count <= 0));
    return count;
}

// Exact binomial limits for a proportion: the counts where the tails fall below alpha, each
// with a continuity half.
Limits ExactBinomial(const BinomialSearch& search) {
    const long n = search.n;
    BinomialTail tail(n, search.pbar);
    Limits out;
    const long upperCount = BinomialUpperCount(search, tail);
    if (upperCount < n) {
        out.ucl = (upperCount - 0.5L) / n;
    } else if (search.alpha > 0 && tail.All() < search.alpha) {
        out.ucl = 1 - 0.5L / n;
    } else {
        out.ucl = 1;
        out.status = kLimitsNoUpper;
    }
    const long lowerCount = BinomialLowerCount(search, tail);
    if (lowerCount > 0) {
        out.lcl = (lowerCount - 0.5L) / n;
    } else {
        out.lcl = 0;
        out.status = kLimitsNoLower;
    }
    if (tail.Failure() != 0) return Refused(RoutineFailure(tail.Failure()));
    return out;
}

Limits ApproximateProportionLimits(Extended approximateUpper, Extended approximateLower) {
    Limits out;
    out.ucl = approximateUpper;
    out.lcl = approximateLower;
    if (out.ucl >= 1) {
        out.ucl = 1;
        out.status = kLimitsNoUpper;
    }
    if (out.lcl <= 0) {
        out.lcl = 0;
        out.status = kLimitsNoLower;
    }
    return out;
}

Limits ProportionLimits(const LimitsRequest& request, AttributeLimitMethod method) {
    const Extended nRounded = request.nRounded;
    const Extended pbar = request.chart == kChartP ? request.statistic : request.statistic / nRounded;
    if (pbar >= 1)
        return Refused(request.chart == kChartNP ? kLimitsCountAboveSampleSize : kLimitsOutOfRange);
    const Extended se = pbar > 0 ? std::sqrt(pbar * (1 - pbar) / nRounded) : 0;
    const Extended approximateUpper = pbar + request.k * se;
    const Extended approximateLower = pbar - request.k * se;
    Limits out;
    switch (method) {
    case AttributeLimitMethod::Approximate:
        out = ApproximateProportionLimits(approximateUpper, approximateLower);
        break;
    case AttributeLimitMethod::Exact:
        if (nRounded > INT_MAX) return Refused(kLimitsOutOfRange);
        out = ExactBinomial(
            {static_cast<long>(nRounded), pbar, request.alpha, approximateUpper, approximateLower});
        if (out.status > 0) return out;
        break;
    }
    out.centerline = pbar;
    out.sigma = se;
    if (request.chart == kChartNP) {
        out.centerline *= nRounded;
        out.sigma *= nRounded;
        out.ucl *= nRounded;
        out.lcl *= nRounded;
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Counts and rates: exact Poisson limits

Extended PoissonAt(Extended lambda, long count) {
    return PoissonProbability(lambda, static_cast<Extended>(count));
}

// The smallest count whose upper tail falls below alpha, less a continuity half. The tail is
// kept up to date one probability at a time.
Extended PoissonUpperLimit(Extended lambda, Extended approximateUpper, Extended alpha) {
    // Counts at or below 0 all have tail 1, so the walk starts no lower than 0.
    long count = TruncClamped(approximateUpper, 0, LONG_MAX);
    Extended tail = PoissonUpperTail(lambda, static_cast<Extended>(count));
    while (tail < alpha && count > 0) {
        --count;
        tail += PoissonAt(lambda, count);
    }
    for (;;) {
        const Extended probability = PoissonAt(lambda, count);
        tail -= probability;
        ++count;
        // Once the probabilities have underflowed the tail can no longer move.
        if (tail < alpha || (probability == 0 && count > lambda)) break;
    }
    return count - 0.5L;
}

// The largest count whose lower tail falls below alpha, less a continuity half; with none, the
// LCL is 0 and missing when P(X = 0) alone exceeds alpha, else -0.5.
void PoissonLowerLimit(Extended lambda, Extended approximateLower, Extended alpha, Limits& out) {
    long count = approximateLower > 0 ? std::max(TruncClamped(approximateLower, 0, LONG_MAX), 1L) : 1;
    Extended tail = PoissonUpperTail(lambda, static_cast<Extended>(count));
    while (1 - tail < alpha) {
        const Extended probability = PoissonAt(lambda, count);
        tail -= probability;
        ++count;
        if (probability == 0 && count > lambda) break;
    }
    do {
        --count;
        tail += PoissonAt(lambda, count);
    } while (!(1 - tail < alpha || count <= 0));
    if (count > 0) {
        out.lcl = count - 0.5L;
    } else if (PoissonAt(lambda, 0) > alpha) {
        out.lcl = 0;
        out.status = kLimitsNoLower;
    } else {
        out.lcl = -0.5L;
    }
}

Limits CountLimits(const LimitsRequest& request, AttributeLimitMethod method) {
    const Extended n = request.n;
    if (request.chart == kChartU && n == 0) return Refused(kLimitsZeroSampleSize);
    const Extended lambda = request.chart == kChartC ? request.statistic : request.statistic * n;
    const Extended se = std::sqrt(lambda);
    const Extended approximateUpper = lambda + request.k * se;
    const Extended approximateLower = lambda - request.k * se;
    Limits out;
    switch (method) {
    case AttributeLimitMethod::Approximate:
        out.ucl = approximateUpper;
        out.lcl = approximateLower;
        if (out.lcl <= 0) {
            out.lcl = 0;
            out.status = kLimitsNoLower;
        }
        break;
    case AttributeLimitMethod::Exact:
        // Outside 0 < alpha < 1 no tail crosses alpha and the searches would not end.
        if (!(request.alpha > 0 && request.alpha < 1)) return Refused(kLimitsNotComputable);
        if (lambda > kMaxExactPoissonMean) return Refused(kLimitsPoissonMeanTooLarge);
        out.ucl = PoissonUpperLimit(lambda, approximateUpper, request.alpha);
        PoissonLowerLimit(lambda, approximateLower, request.alpha, out);
        break;
    }
    out.centerline = lambda;
    out.sigma = se;
    if (request.chart == kChartU) {
        out.centerline /= n;
        out.sigma /= n;
        out.ucl /= n;
        out.lcl /= n;
    }
    return out;
}

// The limits by the chart's family, with the method taken from its list.
Limits LimitsFor(const LimitsRequest& request, std::uint8_t method) {
    switch (request.chart) {
    case kChartMean:
    case kChartMedian:
        if (const auto centreMethod = MethodOfNumber(method, CentreSigmaMethod::KnownStdDev))
            return VariablesLimits(request, SourceOf(*centreMethod));
        break;
    case kChartX:
        if (const auto individualsMethod = MethodOfNumber(method, IndividualsSigmaMethod::KnownStdDev))
            return VariablesLimits(request, SourceOf(*individualsMethod));
        break;
    case kChartRange:
    case kChartStdDev:
    case kChartVariance:
        if (const auto dispersionMethod = MethodOfNumber(method, DispersionSigmaMethod::KnownStdDev))
            return VariablesLimits(request, SourceOf(*dispersionMethod));
        break;
    case kChartP:
    case kChartNP: return ProportionLimits(request, AttributeLimitMethodOf(method));
    case kChartC:
    case kChartU: return CountLimits(request, AttributeLimitMethodOf(method));
    case kChartNone:
    case kChartMovingRange:
    case kChartIndividualPoints: break; // no calculator page
    }
    // A number beyond the chart's list.
    return Refused(kLimitsNotComputable);
}

} // namespace

std::int32_t ComputeControlLimits(TChartKind chart, std::uint8_t method, double& centerline, double& sigma,
                                  double& lcl, double& ucl, double n, double k, double statistic) {
    const std::optional<TChartKind> kind =
        CalculatorPageOf(chart) != 0 ? std::optional<TChartKind>(chart) : std::nullopt;
    const bool centreInput = kind && HasCentreInput(*kind);
    sigma = 0;
    lcl = 0;
    ucl = 0;
    if (!centreInput) centerline = 0;
    auto finish = [](std::int32_t status) {
        StatErrorCode = status;
        return status;
    };

    if (statistic == 0 || k == 0) return finish(kLimitsZeroStatistic);
    if (!kind) return finish(kLimitsNotComputable);
    const bool usesN = LimitsUseSampleSize(*kind, method);
    if (!std::isfinite(statistic) || !std::isfinite(k) || (usesN && !std::isfinite(n)) ||
        (centreInput && !std::isfinite(centerline)))
        return finish(kLimitsNotComputable);

    // Limits in the wrong order or a sample of negative size mean nothing. n is refused here,
    // while it is still a real: no conversion to an integer can overflow further on.
    if (k < 0) return finish(kLimitsNegativeStdErrors);
    if (statistic < 0) return finish(kLimitsNegativeStatistic);
    const Extended nRounded = std::nearbyint(static_cast<Extended>(n));
    if (usesN && (*kind == kChartU ? n < 0 : nRounded < 0)) return finish(kLimitsNegativeSampleSize);
    const bool countsN = usesN && *kind != kChartU;
    if (countsN && nRounded == 0) return finish(kLimitsZeroSampleSize);
    if (countsN && nRounded == 1) return finish(kLimitsSampleSizeOne);
    // The variables charts take n as an int; a larger n would be silently replaced.
    if (usesN && IsVariablesChart(*kind) && nRounded > INT_MAX) return finish(kLimitsOutOfRange);

    LimitsRequest request;
    request.chart = *kind;
    request.centre = centerline;
    request.n = n;
    request.nRounded = nRounded;
    request.k = k;
    request.statistic = statistic;
    request.alpha = NormalProb(kUpperTail, k);
    const Limits out = LimitsFor(request, method);

    if (out.status > 0) return finish(out.status);
    const double results[] = {static_cast<double>(out.centerline), static_cast<double>(out.sigma),
                              static_cast<double>(out.ucl), static_cast<double>(out.lcl)};
    // Extended numbers reach far beyond a double: a result that does not fit is no limit.
    for (double result : results)
        if (!std::isfinite(result)) return finish(kLimitsOverflow);
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
    case kLimitsNoUpper: return {};
    case kLimitsOutOfRange: return "Sample size outside table range";
    case kLimitsZeroSampleSize: return "Zero sample size";
    case kLimitsSampleSizeOne: return "Sample size must be larger than 1";
    case kLimitsNegativeSampleSize: return "Sample size must not be negative";
    case kLimitsNegativeStdErrors: return "Standard errors must not be negative";
    case kLimitsNegativeStatistic: return "Statistic must not be negative";
    case kLimitsZeroStatistic: return "Statistic = 0";
    case kLimitsCountAboveSampleSize: return "np-bar must be less than n";
    case kLimitsPoissonMeanTooLarge: return "Mean too large for exact Poisson limits: use the approximation";
    case kLimitsOverflow: return "Limits beyond the range of numbers";
    default: return status > 0 ? " Error" : std::string();
    }
}

} // namespace kivspc
