// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/Capability.h"

#include "app/NumberFormat.h"

#include <cmath>

namespace kivspc {

TSpecLimits SpecLimits;

void ResetSpecLimits() {
    SpecLimits = TSpecLimits{};
}

namespace {

std::string SpecText(bool present, double x) {
    return present ? FormatTrimmed(x) : std::string();
}

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
    TSpecLimits& s = SpecLimits;
    s.LSL = lsl;
    s.Target = target;
    s.USL = usl;
    s.HasLSL = NotMissing(lsl);
    s.HasTarget = NotMissing(target);
    s.HasUSL = NotMissing(usl);
    s.LSLText = SpecText(s.HasLSL, lsl);
    s.TargetText = SpecText(s.HasTarget, target);
    s.USLText = SpecText(s.HasUSL, usl);
    s.HasLimit = s.HasLSL || s.HasUSL;
    s.HasAnySpec = s.HasLimit || s.HasTarget;
    s.TwoSided = s.HasLSL && s.HasUSL;
    if (s.TwoSided) s.Tolerance = usl - lsl;
    // The upper-limit test compares with the stored target even when it is absent: the
    // missing-value code lies below any real limit, so an upper limit alone is usable. A lower
    // limit alone is usable in the same way (an absent target counts as above it), so that a
    // one-sided lower limit reports its CPL just as an upper one reports its CPU.
    s.SpecsUsable = (s.HasUSL && s.HasLSL && usl > lsl) || (s.HasTarget && s.HasLSL && target > lsl) ||
                    (s.HasUSL && target < usl) || (s.HasLSL && !s.HasTarget);
}

Extended CapabilityCp(int kind, Extended sigma, Extended mean) {
    const TSpecLimits& s = SpecLimits;
    if (kind < 2) SpecLimits.SpreadWidth = static_cast<double>(6 * sigma);
    if (!s.HasLimit || !Computable(sigma, mean)) return 0;
    const Extended spread = s.SpreadWidth;
    // A non-normal kind called before any normal one has no spread yet.
    if (!(spread > 0)) return 0;
    if (s.TwoSided) return s.Tolerance / spread;
    if (s.HasUSL) return 2 * (s.USL - mean) / spread;
    return 2 * (mean - s.LSL) / spread;
}

Extended CapabilityCpk(int kind, Extended sigma, Extended mean) {
    const TSpecLimits& s = SpecLimits;
    if (kind >= 2 || !s.HasLimit || !Computable(sigma, mean)) return 0;
    const Extended upper = (s.USL - mean) / (3 * sigma);
    const Extended lower = (mean - s.LSL) / (3 * sigma);
    if (s.TwoSided) return std::fmin(lower, upper);
    return s.HasUSL ? upper : lower;
}

Extended CapabilityCpm(int n, Extended sigma, Extended mean) {
    const TSpecLimits& s = SpecLimits;
    if (!s.HasLimit || !s.HasTarget || !Computable(sigma, mean) || n == 0 || n == 1) return 0;
    const Extended off = mean - s.Target;
    Extended tau2 = sigma * sigma;
    if (n >= 2)
        tau2 += off * off * n / (n - 1);
    else
        tau2 += off * off;
    const Extended tau = std::sqrt(tau2);
    if (s.TwoSided) return s.Tolerance / (6 * tau);
    if (s.HasUSL) return (s.USL - mean) / (3 * tau);
    return (mean - s.LSL) / (3 * tau);
}

} // namespace kivspc
