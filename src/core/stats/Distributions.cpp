// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/Distributions.h"

#include "app/Messages.h"
#include "app/SharedState.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <random>

namespace kivspc {

namespace {

constexpr Extended kPi = std::numbers::pi_v<Extended>;
constexpr Extended kLargest = std::numeric_limits<Extended>::max();
// The probabilities the inverse routines use in place of 0 and 1.
constexpr Extended kSmallestP = 1e-9L;
constexpr Extended kLargestP = 0.999999999L;

// Log-factorial cache: ln(k!) for k = 0..300, built on first use.
std::array<Extended, 301> LogFactorials{};
bool LogFactorialsBuilt = false;

// Gaussian pair cache: the second deviate of the last polar draw.
Extended CachedDeviate = 0;
bool HaveCachedDeviate = false;

std::mt19937_64 UniformEngine;
bool UniformSeeded = false;

Extended StandardNormalDensity(Extended z) { return std::exp(-z * z / 2) / std::sqrt(2 * kPi); }

bool IsInteger(Extended x) { return std::isfinite(x) && x == std::trunc(x); }

// source: Abramowitz and Stegun 26.2.17 (Hastings), absolute error below 7.5e-8.
Extended NormalTailPolynomial(Extended absZ) {
    const Extended t = 1 / (1 + 0.2316419L * absZ);
    return 0.3989422804L * std::exp(-absZ * absZ / 2) * t *
           (0.31938153L + t * (-0.356563782L + t * (1.781477937L + t * (-1.821255978L + t * 1.330274429L))));
}

// P(|T| > t) for t >= 0 and many or fractional degrees of freedom.
// source: R. A. Fisher, expansion of Student's integral in powers of 1/df (Metron 5, 1925).
Extended TwoTailedTAsymptotic(Extended t, Extended df) {
    // The series is a polynomial in t^2.
    const Extended t2 = t * t;
    if (t2 > 1000) return 0;
    if (t < 5e-5L) return 1;
    const Extended v = df;
    const Extended v2 = v * v;
    const Extended v3 = v2 * v;
    const Extended v4 = v3 * v;
    const Extended v5 = v4 * v;
    const Extended t4 = t2 * t2;
    const Extended t6 = t4 * t2;
    const Extended t8 = t6 * t2;
    const Extended t10 = t8 * t2;
    const Extended t12 = t10 * t2;
    const Extended t14 = t12 * t2;
    const Extended t16 = t14 * t2;
    const Extended t18 = t16 * t2;
    const Extended series =
        (t2 + 1) / (4 * v) + (3 * t6 - 7 * t4 - 5 * t2 - 3) / (96 * v2) +
        (t10 - 11 * t8 + 14 * t6 + 6 * t4 - 3 * t2 - 15) / (384 * v3) +
        (15 * t14 - 375 * t12 + 2225 * t10 - 2141 * t8 - 939 * t6 - 213 * t4 - 915 * t2 + 945) /
            (92160 * v4) +
        (3 * t18 - 133 * t16 + 1764 * t14 - 7516 * t12 + 5994 * t10 + 2490 * t8 + 1140 * t6 + 180 * t4 +
         5355 * t2 + 17955) /
            (368640 * v5);
    const Extended twoTailed = 2 * (NormalProb(kUpperTail, t) + StandardNormalDensity(t) * t * series);
    // The series is meant for many degrees of freedom; for few (non-integer) ones it can
    // leave the probability range, so it is held inside it.
    return std::clamp(twoTailed, Extended{0}, Extended{1});
}

// P(|T| > t) for t >= 0 and an integer df of 1 to 30: one minus the central probability A.
// source: Abramowitz and Stegun 26.7.3 (odd df) and 26.7.4 (even df).
Extended TwoTailedTExact(Extended t, Extended df) {
    const int degrees = static_cast<int>(df);
    const Extended theta = std::atan(t / std::sqrt(df));
    const Extended cosTheta = std::cos(theta);
    const Extended sinTheta = std::sin(theta);
    const Extended cos2 = cosTheta * cosTheta;
    Extended central;
    if (degrees == 1) {
        central = 2 * theta / kPi;
    } else if (degrees % 2 == 0) {
        Extended term = 1;
        Extended sum = 1;
        for (int k = 2; k <= degrees - 2; k += 2) {
            term *= cos2 * (k - 1) / k;
            sum += term;
        }
        central = sinTheta * sum;
    } else {
        Extended term = cosTheta;
        Extended sum = cosTheta;
        for (int k = 3; k <= degrees - 2; k += 2) {
            term *= cos2 * (k - 1) / k;
            sum += term;
        }
        central = 2 / kPi * (theta + sinTheta * sum);
    }
    return std::max(1 - central, Extended{0});
}

// P(|T| > t) for Student t with df degrees of freedom, t >= 0.
Extended TwoTailedT(Extended t, Extended df) {
    if (df > 30 || !IsInteger(df)) return TwoTailedTAsymptotic(t, df);
    return TwoTailedTExact(t, df);
}

// Upper tail probability and density of the kinds RefineQuantile knows.
Extended KindTail(QuantileKind kind, Extended x, Extended df) {
    switch (kind) {
    case kQuantileNormal: return NormalProb(kUpperTail, x);
    case kQuantileStudentT: return TProb(kUpperTail, x, df);
    case kQuantileChiSquare: return ChiSqProb(kUpperTail, x, df);
    }
    return NormalProb(kUpperTail, x);
}

// The density of a kind. Its normalising constant depends on df only, so a refinement works it
// out once instead of at every step.
class KindDensity {
public:
    KindDensity(QuantileKind kind, Extended df) : kind_(kind), df_(df), logNorm_(LogNorm(kind, df)) {}

    Extended operator()(Extended x) const {
        switch (kind_) {
        case kQuantileNormal: return StandardNormalDensity(x);
        case kQuantileStudentT: return std::exp(logNorm_ - (df_ + 1) / 2 * std::log(x * x / df_ + 1));
        case kQuantileChiSquare: return std::exp(logNorm_ + (df_ - 2) / 2 * std::log(x) - x / 2);
        }
        return StandardNormalDensity(x);
    }

private:
    static Extended LogNorm(QuantileKind kind, Extended df) {
        switch (kind) {
        case kQuantileNormal: return 0;
        case kQuantileStudentT: return LnGamma((df + 1) / 2) - LnGamma(df / 2) - std::log(df * kPi) / 2;
        case kQuantileChiSquare: return -(df / 2) * std::log(Extended{2}) - LnGamma(df / 2);
        }
        return 0;
    }

    QuantileKind kind_;
    Extended df_;
    Extended logNorm_;
};

Extended PoissonTerm(Extended lambda, Extended k) {
    const Extended lnFact = LnFactorial(k);
    return std::exp(k * std::log(lambda) - lambda - lnFact);
}

// Upper tail of the chi-square distribution with more than 30 degrees of freedom, x > 0.
// source: Peizer and Pratt (1968), JASA 63, the normal approximation of the gamma tail.
Extended ChiSquareTailPeizerPratt(Extended x, Extended df) {
    const Extended dfLess1 = df - 1;
    const Extended correction = 0.08L / df;
    Extended z;
    if (x != dfLess1) {
        // The radicand is never negative in exact arithmetic; rounding must not make it so.
        const Extended radicand = std::max(x - dfLess1 + dfLess1 * std::log(dfLess1 / x), Extended{0});
        z = std::sqrt(radicand) * (x - df + 2.0L / 3 - correction) / std::fabs(x - dfLess1);
    } else {
        z = -(correction + 1.0L / 3) / std::sqrt(2 * df - 2);
    }
    return NormalProb(kUpperTail, z);
}

// Upper tail of the chi-square distribution with 2 to 30 degrees of freedom, x > 0.
// source: Abramowitz and Stegun 26.4.4 (odd df) and 26.4.5 (even df).
Extended ChiSquareTailExact(Extended x, int degrees) {
    if (degrees % 2 == 1) {
        const Extended root = std::sqrt(x);
        Extended term = root;
        Extended sum = 0;
        for (int k = 1; k <= (degrees - 1) / 2; ++k) {
            if (k > 1) term *= x / (2 * k - 1);
            sum += term;
        }
        return 2 * NormalProbSeries(kUpperTail, root) + std::sqrt(2 / kPi) * std::exp(-x / 2) * sum;
    }
    const Extended half = x / 2;
    Extended term = 1;
    Extended sum = 1;
    for (int k = 1; k <= degrees / 2 - 1; ++k) {
        term *= half / k;
        sum += term;
    }
    return std::exp(-half) * sum;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Small arithmetic routines

Extended Power(Extended base, Extended exponent) {
    if (exponent == 0) return 1;
    if (base == 0 && exponent > 0) return 0;
    if (IsInteger(exponent) && std::fabs(exponent) <= 2147483647.0L) {
        auto times = static_cast<long long>(std::fabs(exponent));
        Extended result = 1;
        if (times <= 64) {
            for (long long i = 0; i < times; ++i)
                result *= base;
        } else {
            // Square and multiply keeps huge integer exponents from taking seconds.
            Extended factor = base;
            while (times > 0 && std::isfinite(result) && result != 0) {
                if (times & 1) result *= factor;
                times >>= 1;
                if (times > 0) factor *= factor;
            }
        }
        if (exponent < 0) result = 1 / result;
        // Overflow ends at the largest value, as on the logarithmic path.
        if (std::isinf(result)) result = std::copysign(kLargest, result);
        return result;
    }
    if (std::isnan(base) || std::isnan(exponent)) return std::numeric_limits<Extended>::quiet_NaN();
    // A negative base has no real power for a fractional exponent.
    if (base < 0) return 0;
    if (base == 1) return 1;
    const Extended logResult = exponent * std::log(base);
    if (logResult < std::log(std::numeric_limits<Extended>::min())) return 0;
    if (logResult > std::log(kLargest)) return kLargest;
    return std::exp(logResult);
}

Extended RealMin(Extended a, Extended b) { return a < b ? a : b; }
Extended RealMax(Extended a, Extended b) { return a > b ? a : b; }
int IntMin(int a, int b) { return a < b ? a : b; }
int IntMax(int a, int b) { return a > b ? a : b; }

void StatError(const std::string& routine) {
    StatErrorCode = 10;
    ShowWarning("Error in Statistical Routine " + routine);
}

Extended Sinh(Extended x) { return (std::exp(x) - std::exp(-x)) / 2; }

Extended ArcSinh(Extended x) {
    // Odd symmetry avoids the cancellation of x + sqrt(x^2 + 1) for large negative x.
    if (x < 0) return -ArcSinh(-x);
    // Beyond 1e10, x^2 + 1 equals x^2 in extended precision; this form cannot overflow.
    if (x > 1e10L) return std::log(Extended{2}) + std::log(x);
    return std::log(x + std::sqrt(x * x + 1));
}

Extended ArcCosh(Extended x) {
    if (!(x >= 1)) return 0;
    if (x > 1e10L) return std::log(Extended{2}) + std::log(x);
    return std::log(x + std::sqrt(x * x - 1));
}

Extended Sign(Extended x) { return x >= 0 ? 1 : -1; }

Extended Log10(Extended x) { return x > 0 ? std::log(x) / std::log(Extended{10}) : 99; }

Extended PowerOfTen(int k) {
    // Past 5000 steps the result is already infinite or zero in extended precision.
    const int steps = k < 0 ? (k < -5000 ? 5000 : -k) : (k > 5000 ? 5000 : k);
    Extended result = 1;
    for (int i = 0; i < steps; ++i) {
        if (k > 0)
            result *= 10;
        else
            result /= 10;
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// Gamma and beta families

// source: Lanczos (1964), six terms, with the coefficients of Press et al., Numerical Recipes (1986), 6.1.
Extended LnGamma(Extended x) {
    if (!(x > 0) || x == 1) return 0;
    if (std::isinf(x)) return x;
    // Below 1 the series gives ln Gamma(x + 1), and ln Gamma(x) = ln Gamma(x + 1) - ln x.
    const Extended y = x >= 1 ? x - 1 : x;
    const Extended shifted = y + 5.5L;
    const Extended head = (y + 0.5L) * std::log(shifted) - shifted;
    const Extended series = 1 + 76.18009173L / (y + 1) - 86.50532033L / (y + 2) + 24.01409822L / (y + 3) -
                            1.231739516L / (y + 4) + 0.00120858003L / (y + 5) - 0.00000536382L / (y + 6);
    const Extended lnGamma = head + std::log(2.50662827465L * series);
    return x >= 1 ? lnGamma : lnGamma - std::log(x);
}

Extended LnFactorial(Extended x) {
    if (std::isnan(x)) return x;
    if (x < 0) return 0;
    if (x > 300) return LnGamma(x + 1);
    // The cache entry at x rounded to the nearest integer (halves to the even neighbour).
    const int index = static_cast<int>(std::nearbyint(x));
    if (!LogFactorialsBuilt) {
        LogFactorials[0] = 1;
        for (int k = 1; k <= 300; ++k)
            LogFactorials[k] = k * LogFactorials[k - 1];
        for (Extended& entry : LogFactorials)
            entry = std::log(entry);
        LogFactorialsBuilt = true;
    }
    return LogFactorials[index];
}

// source: Numerical Recipes (1986) 6.2, gser: the series Abramowitz and Stegun 6.5.29.
void GSER(Extended a, Extended x, Extended& result, Extended& gln) {
    gln = LnGamma(a);
    result = 0;
    if (x <= 0) return;
    Extended ap = a;
    Extended sum = 1 / a;
    Extended term = sum;
    for (int n = 1;; ++n) {
        ap += 1;
        term = term * x / ap;
        sum += term;
        if (n == 100) {
            StatError("- GSER routine");
            return;
        }
        if (std::fabs(term) < std::fabs(sum) * 3e-10L) break;
    }
    // For shapes below about 1e-10 the value lies within ln Gamma's error of 1 and could pass it.
    result = std::min(sum * std::exp(-x + a * std::log(x) - gln), Extended{1});
}

// source: Numerical Recipes (1986) 6.2, gcf: the continued fraction Abramowitz and Stegun 6.5.31,
// evaluated by its convergents A/B, renormalised at every step so that they cannot overflow.
void GCF(Extended a, Extended x, Extended& result, Extended& gln) {
    gln = LnGamma(a);
    result = 0;
    Extended a0 = 1;
    Extended a1 = x;
    Extended b0 = 0;
    Extended b1 = 1;
    Extended renorm = 1;
    Extended fraction = 0;
    Extended previousFraction = 0;
    for (int n = 1;; ++n) {
        const Extended an = n - a;
        a0 = (a1 + a0 * an) * renorm;
        b0 = (b1 + b0 * an) * renorm;
        const Extended anf = n * renorm;
        a1 = x * a0 + anf * a1;
        b1 = x * b0 + anf * b1;
        if (a1 != 0) {
            renorm = 1 / a1;
            previousFraction = fraction;
            fraction = b1 * renorm;
        }
        if (n == 100) {
            StatError("- GCF routine");
            return;
        }
        if (std::fabs((fraction - previousFraction) / fraction) < 3e-10L) break;
    }
    result = std::clamp(fraction * std::exp(-x + a * std::log(x) - gln), Extended{0}, Extended{1});
}

// source: Abramowitz and Stegun, Handbook of Mathematical Functions (1964), 6.5.29 (series, for
// x < a + 1) and 6.5.31 (continued fraction for the upper tail), evaluated as in Press et al.,
// Numerical Recipes (1986), 6.2.
Extended GAMMP(Extended a, Extended x) {
    // Written as negations so that NaN arguments take the error path too.
    if (!(x >= 0) || !(a > 0)) {
        StatError("- GAMMP routine");
        return 0;
    }
    if (std::isinf(x)) return 1;
    Extended result;
    Extended gln;
    if (x >= a + 1) {
        GCF(a, x, result, gln);
        return 1 - result;
    }
    GSER(a, x, result, gln);
    return result;
}

// source: Numerical Recipes (1986) 6.3, betacf: the continued fraction Abramowitz and Stegun
// 26.5.8, whose names the locals keep.
Extended BETACF(Extended a, Extended b, Extended x) {
    const Extended qab = a + b;
    const Extended qap = a + 1;
    const Extended qam = a - 1;
    Extended am = 1;
    Extended bm = 1;
    Extended az = 1;
    Extended bz = 1 - qab * x / qap;
    for (int m = 1; m <= 10000; ++m) {
        const Extended em = m;
        const Extended tem = 2 * em;
        Extended d = em * (b - em) * x / ((qam + tem) * (a + tem));
        const Extended ap = az + d * am;
        const Extended bp = bz + d * bm;
        d = -(a + em) * (qab + em) * x / ((a + tem) * (qap + tem));
        const Extended app = ap + d * az;
        const Extended bpp = bp + d * bz;
        const Extended aold = az;
        am = ap / bpp;
        bm = bp / bpp;
        az = app / bpp;
        bz = 1;
        if (std::fabs(az - aold) < 3e-7L * std::fabs(az)) return az;
    }
    StatError("- BETACF routine");
    return az;
}

// source: Numerical Recipes (1986) 6.3, betai: the fraction where it converges fast, otherwise
// through the symmetry I_x(a, b) = 1 - I_1-x(b, a) (Abramowitz and Stegun 26.5.2).
Extended IncompleteBeta(Extended a, Extended b, Extended x) {
    if (!(x >= 0 && x <= 1)) {
        StatErrorCode = 99;
        return 0;
    }
    if (std::isnan(a) || std::isnan(b)) return 0;
    // x^a (1 - x)^b / B(a, b), the factor in front of the fraction.
    Extended front = 0;
    if (x != 0 && x != 1) {
        const Extended lnFront =
            LnGamma(a + b) - LnGamma(a) - LnGamma(b) + a * std::log(x) + b * std::log(1 - x);
        front = lnFront >= -10000 ? std::exp(lnFront) : 0;
    }
    Extended result;
    if (a > 0 && (x < (a + 1) / (a + b + 2) || b == 0))
        result = front * BETACF(a, b, x) / a;
    else
        result = 1 - front * BETACF(b, a, 1 - x) / b;
    // Degenerate parameters (a or b not positive) can divide by zero; nothing sensible is left.
    if (!std::isfinite(result)) return 0;
    // Near-degenerate parameters (a or b close to 0) can carry the approximations just past the
    // ends of the probability range.
    return std::clamp(result, Extended{0}, Extended{1});
}

// ---------------------------------------------------------------------------------------------
// Tail modes and quantile refinement

Extended ApplyTailMode(int mode, Extended p) {
    if (TailModeOf(mode) == kTwoTailed) {
        // A doubled upper tail above 1 stands for the central probability 2p - 1.
        const Extended doubled = 2 * p;
        return doubled > 1 ? doubled - 1 : doubled;
    }
    return p;
}

void UpperTailOf(Extended& p, int mode) {
    p = std::fabs(p);
    if (TailModeOf(mode) == kTwoTailed) p = p > 0.5L ? (p + 1) / 2 : p / 2;
}

// source: Newton-Raphson kept inside a bracket, as rtsafe in Numerical Recipes (1986) 9.4. The
// upper tail falls as x grows, so a tail above the target puts x below the root.
void RefineQuantile(Extended& x, int kind, Extended df, Extended target) {
    const QuantileKind quantileKind = QuantileKindOf(kind);
    const bool chiSquare = quantileKind == kQuantileChiSquare;
    const KindDensity densityAt(quantileKind, df);
    bool haveHi = false;
    bool haveLo = false;
    Extended hi = 0;
    Extended lo = 0;
    for (int pass = 1; pass <= 1000; ++pass) {
        if (chiSquare && x <= 0) {
            x = 0;
            return;
        }
        const Extended miss = target - KindTail(quantileKind, x, df);
        // Nothing can be learnt from an undefined tail or start value.
        if (!std::isfinite(miss) || !std::isfinite(x)) return;
        const Extended density = densityAt(x);
        Extended next = x;
        if (density != 0) {
            const Extended step = miss / density;
            if (std::isfinite(step)) next = x - step;
        }
        if (miss > 0 && (!haveHi || hi > x)) {
            hi = x;
            haveHi = true;
        }
        if (miss < 0 && (!haveLo || lo < x)) {
            lo = x;
            haveLo = true;
        }
        if (haveLo && next <= lo) next = haveHi ? (hi + lo) / 2 : (lo + x) / 2;
        if (haveHi && next >= hi) next = haveLo ? (hi + lo) / 2 : (hi + x) / 2;
        // A Newton step below 0 would end a chi-square search at 0, whose tail is 1 whatever
        // the target; halving stays inside the domain and still reaches a tiny quantile.
        if (chiSquare && next <= 0) next = x / 2;
        // Far in a tail a probability already within 1e-10 of the target can come with a
        // density so small that the last step would throw x far off: keep the x that met it.
        if (std::fabs(miss) < 1e-10L && std::fabs(next - x) > 1e-6L * std::max<Extended>(1, std::fabs(x)))
            return;
        x = next;
        if ((haveLo && haveHi && hi - lo < 1e-10L) || std::fabs(miss) < 1e-10L) return;
    }
}

// ---------------------------------------------------------------------------------------------
// Normal, t, chi-square and F

Extended NormalProb(int mode, Extended z) {
    if (std::isnan(z)) return z;
    const Extended absZ = std::fabs(z);
    Extended upper = absZ > 8 ? 0 : NormalTailPolynomial(absZ);
    if (TailModeOf(mode) == kUpperTail && z <= 0) upper = 1 - upper;
    return ApplyTailMode(mode, upper);
}

// source: Abramowitz and Stegun 26.2.11, P(z) - 1/2 = phi(z) (z + z^3/3 + z^5/(3 5) + ...).
Extended NormalProbSeries(int mode, Extended z) {
    if (std::isnan(z)) return z;
    if (TailModeOf(mode) == kUpperTail && z < -8.6L) return 1;
    if (std::fabs(z) > 8.6L) return 0;
    if (z == 0) return ApplyTailMode(mode, 0.5L);
    const Extended z2 = z * z;
    const Extended phi = StandardNormalDensity(z);
    Extended term = z * z2 * phi / 3;
    Extended sum = z * phi + term;
    Extended divisor = 3;
    // For |z| <= 8.6 the terms fall below 1e-20 well within this many steps.
    for (int i = 0; i < 10000; ++i) {
        divisor += 2;
        term = z2 * term / divisor;
        sum += term;
        if (std::fabs(term) < 1e-20L) break;
    }
    return ApplyTailMode(mode, 0.5L - sum);
}

Extended InvNormal(int mode, Extended p) {
    if (std::isnan(p)) return p;
    UpperTailOf(p, mode);
    if (p == 0.5L) return 0;
    if (p <= 0) p = kSmallestP;
    if (p >= 1) p = kLargestP;
    // source: Abramowitz and Stegun 26.2.23 (error below 4.5e-4), then refined.
    const Extended q = p <= 0.5L ? p : 1 - p;
    const Extended t = std::sqrt(std::log(1 / (q * q)));
    Extended z = t - (2.515517L + 0.802853L * t + 0.010328L * t * t) /
                         (1 + 1.432788L * t + 0.189269L * t * t + 0.001308L * t * t * t);
    if (p >= 0.5L) z = -z;
    RefineQuantile(z, kQuantileNormal, 0, p);
    return z;
}

Extended TProb(int mode, Extended t, Extended df) {
    if (std::isnan(t) || std::isnan(df)) return std::numeric_limits<Extended>::quiet_NaN();
    // With no degrees of freedom the distribution has no finite tail: every |T| is exceeded.
    const Extended twoTailed = df < 1 ? 1 : TwoTailedT(std::fabs(t), df);
    return ApplyTailMode(mode, twoTailed / 2);
}

Extended InvT(int mode, Extended p, Extended df) {
    if (!(df >= 1)) return 0;
    if (std::isnan(p)) return p;
    UpperTailOf(p, mode);
    if (p == 0.5L) return 0;
    if (p <= 0) p = kSmallestP;
    if (p >= 1) p = kLargestP;
    Extended sign = 1;
    if (p > 0.5L) {
        sign = -1;
        p = 1 - p;
    }
    // source: Abramowitz and Stegun 26.7.5 (Cornish-Fisher expansion in 1/df), then refined.
    const Extended z = -InvNormal(kUpperTail, 1 - p);
    const Extended z2 = z * z;
    const Extended z3 = z2 * z;
    const Extended z5 = z3 * z2;
    const Extended z7 = z5 * z2;
    const Extended z9 = z7 * z2;
    const Extended g1 = (z3 + z) / 4;
    const Extended g2 = (5 * z5 + 16 * z3 + 3 * z) / 96;
    const Extended g3 = (3 * z7 + 19 * z5 + 17 * z3 - 15 * z) / 384;
    const Extended g4 = (79 * z9 + 776 * z7 + 1482 * z5 - 1920 * z3 - 945 * z) / 92160;
    const Extended v = df;
    Extended t = z + g1 / v + g2 / (v * v) + g3 / (v * v * v) + g4 / (v * v * v * v);
    RefineQuantile(t, kQuantileStudentT, df, p);
    return sign * t;
}

Extended ChiSqProb(int mode, Extended x, Extended df) {
    if (std::isnan(x) || std::isnan(df)) return std::numeric_limits<Extended>::quiet_NaN();
    Extended upper;
    if (x <= 0 || df < 1) {
        upper = 1;
    } else if (std::isinf(x)) {
        upper = 0;
    } else if (df == 1) {
        upper = 2 * NormalProbSeries(kUpperTail, std::sqrt(x));
    } else if (df > 30) {
        upper = ChiSquareTailPeizerPratt(x, df);
    } else {
        upper = ChiSquareTailExact(x, static_cast<int>(df));
    }
    // The series may round a hair past 0 or 1; a probability stays inside them.
    upper = std::clamp(upper, Extended{0}, Extended{1});
    if (TailModeOf(mode) == kTwoTailed && upper > 0.5L) upper = 1 - upper;
    return ApplyTailMode(mode, upper);
}

Extended InvChiSq(int mode, Extended p, Extended df) {
    if (std::isnan(p)) return p;
    UpperTailOf(p, mode);
    if (p <= 0) p = kSmallestP;
    if (p >= 1) p = kLargestP;
    if (df == 1) {
        const Extended z = InvNormal(kUpperTail, p / 2);
        return z * z;
    }
    if (!(df > 0)) return 0;
    // source: Wilson and Hilferty, Abramowitz and Stegun 26.4.17, then refined.
    const Extended z = InvNormal(kUpperTail, 1 - p);
    const Extended w = 2 / (9 * df);
    const Extended cubeRoot = 1 - w - z * std::sqrt(w);
    Extended x = df * cubeRoot * cubeRoot * cubeRoot;
    // Below one degree of freedom the tail is constant, so refining could only wander off.
    if (df < 1) return std::max(x, Extended{0});
    if (!(x > 0)) {
        // Far in the lower tail with few degrees of freedom the start falls at or below 0, where
        // the upper tail is 1 whatever p is. Start instead from the small-x form of the lower tail,
        // (x/2)^(df/2) / Gamma(df/2 + 1) = 1 - p.
        x = 2 * std::exp((std::log1p(-p) + LnGamma(df / 2 + 1)) * 2 / df);
    }
    RefineQuantile(x, kQuantileChiSquare, df, p);
    return x;
}

// source: Abramowitz and Stegun 26.6.2 (the incomplete beta); one degree of freedom on either
// side through the square of a t statistic.
Extended FProb(int mode, Extended f, Extended df1, Extended df2) {
    Extended upper;
    if (!(df1 > 0) || !(df2 > 0))
        upper = 1; // without degrees of freedom there is no evidence at all
    else if (df1 == 1)
        upper = TProb(kTwoTailed, std::sqrt(std::fabs(f)), df2);
    else if (df2 == 1 && df1 > 1)
        upper = 1 - TProb(kTwoTailed, std::sqrt(std::fabs(1 / f)), df1);
    else
        upper = IncompleteBeta(df2 / 2, df1 / 2, df2 / (df2 + df1 * f));
    if (!(upper >= 0)) upper = 0;
    if (upper > 0.5L && TailModeOf(mode) == kTwoTailed) upper = 1 - upper;
    return ApplyTailMode(mode, upper);
}

// ---------------------------------------------------------------------------------------------
// Random numbers

double UniformRandom() {
    if (!UniformSeeded) {
        UniformEngine.seed(
            static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
        UniformSeeded = true;
    }
    // The top 53 bits give every double of [0, 1) on the 2^-53 grid; 1 itself never comes.
    return static_cast<double>(UniformEngine() >> 11) * 0x1.0p-53;
}

void SeedRandom(std::uint64_t seed) {
    UniformEngine.seed(seed);
    UniformSeeded = true;
    // A seed then fixes every following deviate, not only those after a cached one.
    HaveCachedDeviate = false;
}

// source: the polar method of Marsaglia and Bray (1964), Knuth, TAOCP vol. 2, 3.4.1 Algorithm P.
Extended GaussRandom() {
    if (HaveCachedDeviate) {
        HaveCachedDeviate = false;
        return CachedDeviate;
    }
    Extended w1;
    Extended w2;
    Extended radius2;
    do {
        w1 = 2 * static_cast<Extended>(UniformRandom()) - 1;
        w2 = 2 * static_cast<Extended>(UniformRandom()) - 1;
        radius2 = w1 * w1 + w2 * w2;
    } while (radius2 >= 1 || radius2 == 0); // a zero radius has no direction
    const Extended scale = std::sqrt(-2 * std::log(radius2) / radius2);
    CachedDeviate = w1 * scale;
    HaveCachedDeviate = true;
    return w2 * scale;
}

Extended NormalRandom(Extended mean, Extended sd) { return mean + sd * GaussRandom(); }

// ---------------------------------------------------------------------------------------------
// Binomial and Poisson

Extended BinomialProbability(int k, int n, Extended p) {
    StatErrorCode = 0;
    if (k < 0 || k > n) return 0;
    if (std::isnan(p)) return p;
    // The end points have exact answers that the logarithms below cannot give.
    if (p <= 0) return k == 0 && p == 0 ? 1 : 0;
    if (p >= 1) return k == n && p == 1 ? 1 : 0;
    // C(n, k) = (m + 1) ... n / (2 ... (n - m)) with m the larger of k and n - k; dividing and
    // multiplying in turn keeps it inside the extended range.
    long long factor;
    long long lastDivisor;
    if (n / 2.0L >= k) {
        factor = static_cast<long long>(n) - k;
        lastDivisor = k;
    } else {
        factor = k;
        lastDivisor = static_cast<long long>(n) - k;
    }
    Extended coefficient = 1;
    if (factor != n) {
        factor += 1;
        long long divisor = 2;
        while (coefficient <= 1e4900L) {
            if (divisor <= lastDivisor) {
                coefficient /= static_cast<Extended>(divisor);
                ++divisor;
            }
            if (factor <= n) {
                coefficient *= static_cast<Extended>(factor);
                ++factor;
            }
            if ((divisor > lastDivisor && factor > n) || coefficient < 1e-4900L) break;
        }
    }
    if (coefficient < 1e-4900L || coefficient > 1e4900L) {
        StatErrorCode = 1;
        return 1;
    }
    const Extended lnP =
        std::log(coefficient) + k * std::log(p) + (static_cast<Extended>(n) - k) * std::log(1 - p);
    if (lnP < -11350) return 0;
    return std::min(std::exp(lnP), Extended{1});
}

// source: Abramowitz and Stegun 26.5.24, P(X >= k) = I_p(k, n - k + 1).
Extended BinomialUpperTail(int k, int n, Extended p) {
    if (k <= 0) return 1;
    if (k > n) return 0;
    if (k == n) return BinomialProbability(n, n, p);
    return IncompleteBeta(k, static_cast<Extended>(n) - k + 1, p);
}

Extended PoissonProbability(Extended lambda, Extended k) {
    if (std::isnan(lambda) || std::isnan(k)) return std::numeric_limits<Extended>::quiet_NaN();
    if (!(lambda > 0) || k < 0) return 0;
    // An infinite mean leaves no mass at any finite count.
    if (std::isinf(lambda)) return 0;
    return std::exp(k * std::log(lambda) - lambda - LnFactorial(k));
}

Extended PoissonUpperTail(Extended lambda, Extended k) {
    if (std::isnan(lambda) || std::isnan(k)) return std::numeric_limits<Extended>::quiet_NaN();
    if (k < 1) return 1;
    const Extended kRounded = std::nearbyint(k);
    if (lambda > 1e9L) {
        // Far beyond any chart: the sum below would take too long, the normal limit is exact enough.
        // source: the normal approximation with a continuity correction of one half.
        return NormalProb(kUpperTail, (kRounded - 0.5L - lambda) / std::sqrt(lambda));
    }
    // P(X < k), summed upwards.
    Extended lowerSum = 0;
    Extended first = 1;
    if (lambda > 1000) {
        // Terms more than 60 standard deviations below the mean are below e^-1800 and cannot
        // change the sum in extended precision.
        first = std::max(Extended{1}, std::floor(lambda - 60 * std::sqrt(lambda)));
    }
    if (first == 1) lowerSum = std::exp(-lambda);
    // Each term is the one before times lambda / count; every 64th is formed afresh from its
    // logarithms, so that rounding cannot build up along a long sum.
    Extended term = 0;
    unsigned step = 0;
    for (Extended count = first; count <= kRounded - 1; count += 1, ++step) {
        if (!(lambda > 0))
            term = 0;
        else if (step % 64 == 0)
            term = PoissonTerm(lambda, count);
        else
            term *= lambda / count;
        lowerSum += term;
        if (lowerSum >= 1) break;
        // Past the mean the terms shrink geometrically; stop once the rest cannot show.
        if (count + 1 > lambda && term * (count + 1) < 1e-25L * lowerSum * (count + 1 - lambda)) break;
        if (lambda <= 0) break;
    }
    lowerSum = std::min(lowerSum, Extended{1});
    return 1 - lowerSum;
}

void ResetDistributionState() {
    HaveCachedDeviate = false;
    CachedDeviate = 0;
}

} // namespace kivspc
