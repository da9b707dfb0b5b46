// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/Capability.h"

#include "app/NumberFormat.h"

#include <cmath>

namespace kivspc {

TSpecLimits SpecLimits;

void ResetSpecLimits() { SpecLimits = TSpecLimits{}; }

namespace {

// As a report shows it: a limit of more than fifteen integer digits in exponent form.
std::string SpecText(bool present, double x) { return present ? FormatTrimmedFinite(x) : std::string(); }

// NaN, infinite, zero or negative sigmas and undefined means give no index.
bool Computable(Extended sigma, Extended mean) {
    return sigma > 0 && std::isfinite(sigma) && std::isfinite(mean);
}

} // namespace

void SetSpecifications(double lsl, double target, double usl) {
    // NaN is as absent as the missing-value code, and stored as it.
    if (std::isnan(lsl)) lsl = MissingValue;
    if (std::isnan(target)) target = MissingValue;
    if (std::isnan(usl)) usl = MissingValue;
    TSpecLimits& spec = SpecLimits;
    spec.LSL = lsl;
    spec.Target = target;
    spec.USL = usl;
    spec.HasLSL = NotMissing(lsl);
    spec.HasTarget = NotMissing(target);
    spec.HasUSL = NotMissing(usl);
    spec.LSLText = SpecText(spec.HasLSL, lsl);
    spec.TargetText = SpecText(spec.HasTarget, target);
    spec.USLText = SpecText(spec.HasUSL, usl);
    spec.HasLimit = spec.HasLSL || spec.HasUSL;
    spec.HasAnySpec = spec.HasLimit || spec.HasTarget;
    spec.TwoSided = spec.HasLSL && spec.HasUSL;
    if (spec.TwoSided) spec.Tolerance = usl - lsl;
    // The upper-limit test compares with the stored target even when it is absent: the
    // missing-value code lies below any real limit, so an upper limit alone is usable. A lower
    // limit alone is usable in the same way (an absent target counts as above it), so that a
    // one-sided lower limit reports its CPL just as an upper one reports its CPU.
    spec.SpecsUsable = (spec.HasUSL && spec.HasLSL && usl > lsl) ||
                       (spec.HasTarget && spec.HasLSL && target > lsl) || (spec.HasUSL && target < usl) ||
                       (spec.HasLSL && !spec.HasTarget);
}

Extended CapabilityCp(int kind, Extended sigma, Extended mean) {
    const TSpecLimits& spec = SpecLimits;
    if (kind < 2) SpecLimits.SpreadWidth = static_cast<double>(6 * sigma);
    if (!spec.HasLimit || !Computable(sigma, mean)) return 0;
    // Spread and tolerance in Extended: near the limits of a double either may overflow one.
    const Extended spread = kind < 2 ? 6 * sigma : Extended(spec.SpreadWidth);
    // A non-normal kind called before any normal one has no spread yet.
    if (!(spread > 0)) return 0;
    if (spec.TwoSided) return (static_cast<Extended>(spec.USL) - spec.LSL) / spread;
    if (spec.HasUSL) return 2 * (spec.USL - mean) / spread;
    return 2 * (mean - spec.LSL) / spread;
}

Extended CapabilityCpk(int kind, Extended sigma, Extended mean) {
    const TSpecLimits& spec = SpecLimits;
    if (kind >= 2 || !spec.HasLimit || !Computable(sigma, mean)) return 0;
    const Extended upper = (spec.USL - mean) / (3 * sigma);
    const Extended lower = (mean - spec.LSL) / (3 * sigma);
    if (spec.TwoSided) return std::fmin(lower, upper);
    return spec.HasUSL ? upper : lower;
}

Extended CapabilityCpm(int n, Extended sigma, Extended mean) {
    const TSpecLimits& spec = SpecLimits;
    if (!spec.HasLimit || !spec.HasTarget || !Computable(sigma, mean) || n == 0 || n == 1) return 0;
    const Extended offTarget = mean - spec.Target;
    Extended tau2 = sigma * sigma;
    if (n >= 2)
        tau2 += offTarget * offTarget * n / (n - 1);
    else
        tau2 += offTarget * offTarget;
    const Extended tau = std::sqrt(tau2);
    if (spec.TwoSided) return (static_cast<Extended>(spec.USL) - spec.LSL) / (6 * tau);
    if (spec.HasUSL) return (spec.USL - mean) / (3 * tau);
    return (mean - spec.LSL) / (3 * tau);
}

} // namespace kivspc
