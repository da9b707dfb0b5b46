// SPDX-License-Identifier: GPL-3.0-or-later
// Distribution fitting over samples of 1-200 finite values (small integers, decimals, ties, huge
// and tiny magnitudes, a large level with a small spread, raw doubles) with every model, or
// with parameters fixed as the fixed-parameter dialog lets them through; then the moment fit of
// the Johnson curve with arbitrary moments.
// Input: kind byte, fixed byte (fixed type and four values follow when it is odd), the count, the
// values, then mean, standard deviation, skewness and kurtosis for the moment fit.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "app/SharedState.h"
#include "stats/Fit.h"
#include "stats/JohnsonMoments.h"
#include "stats/SampleBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace kivspc::fuzz {

namespace {

bool Finite(Extended v) { return std::isfinite(static_cast<double>(v)); }

// Magnitudes stay within 1e150 so that the sample's spread and the limits three standard
// deviations out are doubles; wider samples overflow the limits (see findings/README.md).
constexpr double kLargest = 1e150;

// A finite value of the kind a data table holds.
double SampleValue(FuzzInput& in, double previous) {
    const std::uint8_t mode = in.Byte();
    switch (mode % 8) {
    case 0:
    case 7: return static_cast<double>(in.IntIn(-20, 20));
    case 1: return static_cast<double>(in.IntIn(-30000, 30000)) / 1000;
    case 2: return previous; // a tie
    case 3: {
        const double sign = in.Bool() ? -1 : 1;
        return sign * std::pow(10.0, static_cast<double>(in.IntIn(6, 150)));
    }
    case 4: {
        const double sign = in.Bool() ? -1 : 1;
        return sign * std::pow(10.0, -static_cast<double>(in.IntIn(1, 300)));
    }
    case 5: {
        const double v = in.AnyDouble();
        return std::fabs(v) <= kLargest ? v : 0; // NaN too
    }
    default: return 1e6 + static_cast<double>(in.IntIn(0, 255)) / 100; // a large level, small spread
    }
}

// A fixed parameter as typed: small numbers, halves and decimals of either sign.
double FixedValue(FuzzInput& in) { return static_cast<double>(in.IntIn(-2000, 2000)) / 100; }

// The fixed-parameter dialog's rules (it refuses anything else).
bool FixedValuesValid(int kind, const std::array<double, 5>& v) {
    switch (kind) {
    case 1: return v[2] > 0;
    case 2:
    case 4: return v[2] > v[1];
    case 3: return v[1] > 0 && v[2] > 0;
    case 5:
    case 6: return v[1] > 0 && v[3] > 0;
    case 7: return v[1] > 0;
    case 8: return v[2] > 0 && v[3] > 0;
    case 9: return v[2] > v[1] && v[3] > 0 && v[4] > 0;
    case 10: return v[2] > 0;
    default: return false;
    }
}

void CheckFitState() {
    const TFitState& f = FitState;
    for (int i = 0; i < 5; ++i)
        Check(Finite(f.ParamValues[static_cast<std::size_t>(i)]), "every parameter is a finite number");
    Check(std::isfinite(f.LPL) && std::isfinite(f.UPL) && Finite(f.NT), "the process limits are finite");
    Check(Finite(f.FitMean) && Finite(f.FitSD), "the fitted mean and standard deviation are finite");
    Check(Finite(f.FitCriterion) && f.FitCriterion >= 0 && f.FitCriterion <= 1,
          "the fit criterion is in 0..1");
    if (f.FitFailed == kFitUsable) Check(f.LPL <= f.UPL, "a usable fit has LPL <= UPL");
}

// The distribution function over sorted points: the sample values, the points between them and
// points beyond both ends.
void CheckCDF(std::vector<double> sorted) {
    std::vector<double> probes;
    const double lo = sorted.front(), hi = sorted.back();
    const double span = std::isfinite(hi - lo) && hi > lo ? hi - lo : 1;
    probes.push_back(lo - span);
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        probes.push_back(sorted[i]);
        if (i + 1 < sorted.size()) probes.push_back(sorted[i] / 2 + sorted[i + 1] / 2);
    }
    probes.push_back(hi + span);
    std::sort(probes.begin(), probes.end());
    Extended last = 0;
    for (double x : probes) {
        const Extended p = FittedCDF(x);
        Check(p >= 0 && p <= 1, "FittedCDF is in 0..1");
        Check(p >= last, "FittedCDF does not decrease");
        last = p;
    }
}

void CheckQuantiles() {
    static constexpr Extended kP[] = {0.00135L, 0.1L, 0.5L, 0.9L, 0.99865L};
    Extended last = -std::numeric_limits<Extended>::infinity();
    for (Extended p : kP) {
        const Extended x = FittedQuantile(p);
        Check(Finite(x), "FittedQuantile is finite");
        Check(x >= last, "FittedQuantile does not decrease in p");
        last = x;
        if (FitState.FitFailed != kFitUsable) return; // the quantile search gave up: nothing to compare
        // On a curve so steep that the numbers next to x already straddle p, x is as near as it gets.
        // A few double rounding steps: the distribution functions work in doubles in places.
        const Extended step =
            16 * std::max(std::fabs(x), static_cast<Extended>(std::numeric_limits<double>::min())) *
            std::numeric_limits<double>::epsilon();
        Check(std::fabs(FittedCDF(x) - p) <= 1e-6L || (FittedCDF(x - step) <= p && FittedCDF(x + step) >= p),
              "FittedCDF undoes FittedQuantile");
    }
}

void CheckMomentFit(FuzzInput& in) {
    const double mean = in.AnyDouble();
    const double sd = std::fabs(in.AnyDouble());
    const double skewness = in.AnyDouble();
    const double kurtosis = in.AnyDouble();
    const TJohnsonMomentFit fit = JohnsonFromMoments(mean, sd, skewness, kurtosis);
    Check(std::isfinite(fit.Gamma) && std::isfinite(fit.Delta) && std::isfinite(fit.Lambda) &&
              std::isfinite(fit.Xi),
          "the moment fit's parameters are finite");
    Check(fit.Type >= kJohnsonNone && fit.Type <= kJohnsonTwoPoint, "the moment fit has a known type");
    if (fit.Status == 0 && fit.Type >= kJohnsonSU && fit.Type <= kJohnsonSL)
        Check(fit.Delta > 0, "a fitted SU, SB or SL curve has delta > 0");
}

} // namespace

int FuzzDistributionFit(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    ResetCore();
    ResetFitState();
    DistKind = static_cast<int>(in.Byte() % kDistKinds);
    const std::uint8_t fixedByte = in.Byte();
    if (fixedByte & 1) {
        const int kind = 1 + (fixedByte >> 1) % 10;
        std::array<double, 5> v{};
        for (int i = 1; i <= 4; ++i)
            v[static_cast<std::size_t>(i)] = FixedValue(in);
        if (FixedValuesValid(kind, v)) {
            FitState.FixedKind = kind;
            FitState.FixedValues = v;
        }
    }
    const int n = static_cast<int>(in.IntIn(1, 200));
    std::vector<double> values;
    double previous = 0;
    for (int i = 0; i < n; ++i) {
        previous = SampleValue(in, previous);
        values.push_back(previous);
    }
    SampleX.assign(values.size() + 1, 0.0);
    std::copy(values.begin(), values.end(), SampleX.begin() + 1);
    SampleN = n;

    FitDistribution();
    std::sort(values.begin(), values.end());
    Check(std::equal(values.begin(), values.end(), SampleX.begin() + 1), "the fit leaves the sample, sorted");
    CheckFitState();
    CheckCDF(values);
    // With no model the quantiles are the normal's but there is no distribution function.
    if (FitState.FitFailed == kFitUsable && DistKind != kDistNone) CheckQuantiles();
    CheckMomentFit(in);
    return 0;
}

} // namespace kivspc::fuzz
