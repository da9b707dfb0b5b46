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

Extended StandardNormalDensity(Extended z) {
    return std::exp(-z * z / 2) / std::sqrt(2 * kPi);
}

bool IsInteger(Extended x) {
    return std::isfinite(x) && x == std::trunc(x);
}

// Polynomial (Horner) part of the fast normal tail.
Extended NormalTailPolynomial(Extended absZ) {
    const Extended t = 1 / (1 + 0.2316419L * absZ);
    return 0.3989422804L * std::exp(-absZ * absZ / 2) * t *
           (0.31938153L + t * (-0.356563782L + t * (1.781477937L + t * (-1.821255978L + t * 1.330274429L))));
}

// P(|T| > t) for Student t with df degrees of freedom, t >= 0.
Extended TwoTailedT(Extended t, Extended df) {
    if (df > 30 || !IsInteger(df)) {
        const Extended o = t * t;
        if (o > 1000) return 0;
        if (t < 5e-5L) return 1;
        const Extended v = df;
        const Extended v2 = v * v;
        const Extended v3 = v2 * v;
        const Extended v4 = v3 * v;
        const Extended v5 = v4 * v;
        const Extended o2 = o * o;
        const Extended o3 = o2 * o;
        const Extended o4 = o3 * o;
        const Extended o5 = o4 * o;
        const Extended o6 = o5 * o;
        const Extended o7 = o6 * o;
        const Extended o8 = o7 * o;
        const Extended o9 = o8 * o;
        const Extended s =
            (o + 1) / (4 * v) + (3 * o3 - 7 * o2 - 5 * o - 3) / (96 * v2) +
            (o5 - 11 * o4 + 14 * o3 + 6 * o2 - 3 * o - 15) / (384 * v3) +
            (15 * o7 - 375 * o6 + 2225 * o5 - 2141 * o4 - 939 * o3 - 213 * o2 - 915 * o + 945) /
                (92160 * v4) +
            (3 * o9 - 133 * o8 + 1764 * o7 - 7516 * o6 + 5994 * o5 + 2490 * o4 + 1140 * o3 + 180 * o2 +
             5355 * o + 17955) /
                (368640 * v5);
        const Extended m = 2 * (NormalProb(1, t) + StandardNormalDensity(t) * t * s);
        // The series is meant for many degrees of freedom; for few (non-integer) ones it can
        // leave the probability range, so it is held inside it.
        return std::clamp(m, Extended{0}, Extended{1});
    }
    // Exact finite series for integer df 1..30.
    const int n = static_cast<int>(df);
    const Extended theta = std::atan(t / std::sqrt(df));
    const Extended c = std::cos(theta);
    const Extended s = std::sin(theta);
    const Extended c2 = c * c;
    Extended a;
    if (n == 1) {
        a = 2 * theta / kPi;
    } else if (n % 2 == 0) {
        Extended term = 1;
        Extended sum = 1;
        for (int k = 2; k <= n - 2; k += 2) {
            term *= c2 * (k - 1) / k;
            sum += term;
        }
        a = s * sum;
    } else {
        Extended term = c;
        Extended sum = c;
        for (int k = 3; k <= n - 2; k += 2) {
            term *= c2 * (k - 1) / k;
            sum += term;
        }
        a = 2 / kPi * (theta + s * sum);
    }
    return std::max(1 - a, Extended{0});
}

// Mode-1 tail probability and density of the kinds RefineQuantile knows.
Extended KindTail(int kind, Extended x, Extended df) {
    switch (kind) {
    case 2:
        return TProb(1, x, df);
    case 3:
        return ChiSqProb(1, x, df);
    default:
        return NormalProb(1, x);
    }
}

Extended KindDensity(int kind, Extended x, Extended df) {
    switch (kind) {
    case 2: {
        const Extended g = LnGamma((df + 1) / 2) - LnGamma(df / 2) - std::log(df * kPi) / 2;
        return std::exp(g - (df + 1) / 2 * std::log(x * x / df + 1));
    }
    case 3: {
        const Extended g = -(df / 2) * std::log(Extended{2}) - LnGamma(df / 2);
        return std::exp(g + (df - 2) / 2 * std::log(x) - x / 2);
    }
    default:
        return StandardNormalDensity(x);
    }
}

Extended PoissonTerm(Extended lambda, Extended k) {
    const Extended lnFact = LnFactorial(k);
    return std::exp(k * std::log(lambda) - lambda - lnFact);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Small arithmetic routines

Extended Power(Extended base, Extended exponent) {
    if (exponent == 0) return 1;
    if (base == 0 && exponent > 0) return 0;
    if (IsInteger(exponent) && std::fabs(exponent) <= 2147483647.0L) {
        auto n = static_cast<long long>(std::fabs(exponent));
        Extended result = 1;
        if (n <= 64) {
            for (long long i = 0; i < n; ++i)
                result *= base;
        } else {
            // Square and multiply keeps huge integer exponents from taking seconds.
            Extended factor = base;
            while (n > 0 && std::isfinite(result) && result != 0) {
                if (n & 1) result *= factor;
                n >>= 1;
                if (n > 0) factor *= factor;
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
    const Extended y = exponent * std::log(base);
    if (y < std::log(std::numeric_limits<Extended>::min())) return 0;
    if (y > std::log(kLargest)) return kLargest;
    return std::exp(y);
}

Extended RealMin(Extended a, Extended b) {
    return a < b ? a : b;
}
Extended RealMax(Extended a, Extended b) {
    return a > b ? a : b;
}
int IntMin(int a, int b) {
    return a < b ? a : b;
}
int IntMax(int a, int b) {
    return a > b ? a : b;
}

void StatError(const std::string& routine) {
    StatErrorCode = 10;
    ShowWarning("Error in Statistical Routine " + routine);
}

Extended Sinh(Extended x) {
    return (std::exp(x) - std::exp(-x)) / 2;
}

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

Extended Sign(Extended x) {
    return x >= 0 ? 1 : -1;
}

Extended Log10(Extended x) {
    return x > 0 ? std::log(x) / std::log(Extended{10}) : 99;
}

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
    const Extended y = x >= 1 ? x - 1 : x;
    Extended tmp = y + 5.5L;
    tmp = (y + 0.5L) * std::log(tmp) - tmp;
    const Extended ser = 1 + 76.18009173L / (y + 1) - 86.50532033L / (y + 2) + 24.01409822L / (y + 3) -
                         1.231739516L / (y + 4) + 0.00120858003L / (y + 5) - 0.00000536382L / (y + 6);
    const Extended g = tmp + std::log(2.50662827465L * ser);
    return x >= 1 ? g : g - std::log(x);
}

Extended LnFactorial(Extended x) {
    if (std::isnan(x)) return x;
    if (x < 0) return 0;
    if (x > 300) return LnGamma(x + 1);
    // The cache entry at x rounded to the nearest integer (halves to the even neighbour).
    const int n = static_cast<int>(std::nearbyint(x));
    if (!LogFactorialsBuilt) {
        LogFactorials[0] = 1;
        for (int k = 1; k <= 300; ++k)
            LogFactorials[k] = k * LogFactorials[k - 1];
        for (Extended& entry : LogFactorials)
            entry = std::log(entry);
        LogFactorialsBuilt = true;
    }
    return LogFactorials[n];
}

void GSER(Extended a, Extended x, Extended& result, Extended& gln) {
    gln = LnGamma(a);
    result = 0;
    if (x <= 0) return;
    Extended ap = a;
    Extended sum = 1 / a;
    Extended del = sum;
    for (int n = 1;; ++n) {
        ap += 1;
        del = del * x / ap;
        sum += del;
        if (n == 100) {
            StatError("- GSER routine");
            return;
        }
        if (std::fabs(del) < std::fabs(sum) * 3e-10L) break;
    }
    // For shapes below about 1e-10 the value lies within ln Gamma's error of 1 and could pass it.
    result = std::min(sum * std::exp(-x + a * std::log(x) - gln), Extended{1});
}

void GCF(Extended a, Extended x, Extended& result, Extended& gln) {
    gln = LnGamma(a);
    result = 0;
    Extended a0 = 1;
    Extended a1 = x;
    Extended b0 = 0;
    Extended b1 = 1;
    Extended fac = 1;
    Extended g = 0;
    Extended gold = 0;
    for (int n = 1;; ++n) {
        const Extended ana = n - a;
        a0 = (a1 + a0 * ana) * fac;
        b0 = (b1 + b0 * ana) * fac;
        const Extended anf = n * fac;
        a1 = x * a0 + anf * a1;
        b1 = x * b0 + anf * b1;
        if (a1 != 0) {
            fac = 1 / a1;
            gold = g;
            g = b1 * fac;
        }
        if (n == 100) {
            StatError("- GCF routine");
            return;
        }
        if (std::fabs((g - gold) / g) < 3e-10L) break;
    }
    result = std::clamp(g * std::exp(-x + a * std::log(x) - gln), Extended{0}, Extended{1});
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

Extended IncompleteBeta(Extended a, Extended b, Extended x) {
    if (!(x >= 0 && x <= 1)) {
        StatErrorCode = 99;
        return 0;
    }
    if (std::isnan(a) || std::isnan(b)) return 0;
    Extended bt = 0;
    if (x != 0 && x != 1) {
        const Extended e = LnGamma(a + b) - LnGamma(a) - LnGamma(b) + a * std::log(x) + b * std::log(1 - x);
        bt = e >= -10000 ? std::exp(e) : 0;
    }
    Extended result;
    if (a > 0 && (x < (a + 1) / (a + b + 2) || b == 0))
        result = bt * BETACF(a, b, x) / a;
    else
        result = 1 - bt * BETACF(b, a, 1 - x) / b;
    // Degenerate parameters (a or b not positive) can divide by zero; nothing sensible is left.
    if (!std::isfinite(result)) return 0;
    // Near-degenerate parameters (a or b close to 0) can carry the approximations just past the
    // ends of the probability range.
    return std::clamp(result, Extended{0}, Extended{1});
}

// ---------------------------------------------------------------------------------------------
// Tail modes and quantile refinement

Extended ApplyTailMode(int mode, Extended p) {
    if (mode == 2) {
        const Extended q = 2 * p;
        return q > 1 ? q - 1 : q;
    }
    return p;
}

void UpperTailOf(Extended& p, int mode) {
    p = std::fabs(p);
    if (mode == 2) p = p > 0.5L ? (p + 1) / 2 : p / 2;
}

void RefineQuantile(Extended& x, int kind, Extended df, Extended target) {
    bool haveHi = false;
    bool haveLo = false;
    Extended hi = 0;
    Extended lo = 0;
    for (int pass = 1; pass <= 1000; ++pass) {
        if (kind == 3 && x <= 0) {
            x = 0;
            return;
        }
        const Extended h = target - KindTail(kind, x, df);
        // Nothing can be learnt from an undefined tail or start value.
        if (!std::isfinite(h) || !std::isfinite(x)) return;
        const Extended l = KindDensity(kind, x, df);
        Extended newx = x;
        if (l != 0) {
            const Extended step = h / l;
            if (std::isfinite(step)) newx = x - step;
        }
        if (h > 0 && (!haveHi || hi > x)) {
            hi = x;
            haveHi = true;
        }
        if (h < 0 && (!haveLo || lo < x)) {
            lo = x;
            haveLo = true;
        }
        if (haveLo && newx <= lo) newx = haveHi ? (hi + lo) / 2 : (lo + x) / 2;
        if (haveHi && newx >= hi) newx = haveLo ? (hi + lo) / 2 : (hi + x) / 2;
        // A Newton step below 0 would end a chi-square search at 0, whose tail is 1 whatever
        // the target; halving stays inside the domain and still reaches a tiny quantile.
        if (kind == 3 && newx <= 0) newx = x / 2;
        // Far in a tail a probability already within 1e-10 of the target can come with a
        // density so small that the last step would throw x far off: keep the x that met it.
        if (std::fabs(h) < 1e-10L && std::fabs(newx - x) > 1e-6L * std::max<Extended>(1, std::fabs(x))) return;
        x = newx;
        if ((haveLo && haveHi && hi - lo < 1e-10L) || std::fabs(h) < 1e-10L) return;
    }
}

// ---------------------------------------------------------------------------------------------
// Normal, t, chi-square and F

Extended NormalProb(int mode, Extended z) {
    if (std::isnan(z)) return z;
    const Extended absZ = std::fabs(z);
    Extended q = absZ > 8 ? 0 : NormalTailPolynomial(absZ);
    if (mode != 2 && z <= 0) q = 1 - q;
    return ApplyTailMode(mode, q);
}

Extended NormalProbSeries(int mode, Extended z) {
    if (std::isnan(z)) return z;
    if (mode != 2 && z < -8.6L) return 1;
    if (std::fabs(z) > 8.6L) return 0;
    if (z == 0) return ApplyTailMode(mode, 0.5L);
    const Extended z2 = z * z;
    const Extended phi = StandardNormalDensity(z);
    Extended d = z * z2 * phi / 3;
    Extended f = z * phi + d;
    Extended e = 3;
    // For |z| <= 8.6 the terms fall below 1e-20 well within this many steps.
    for (int i = 0; i < 10000; ++i) {
        e += 2;
        d = z2 * d / e;
        f += d;
        if (std::fabs(d) < 1e-20L) break;
    }
    return ApplyTailMode(mode, 0.5L - f);
}

Extended InvNormal(int mode, Extended p) {
    if (std::isnan(p)) return p;
    UpperTailOf(p, mode);
    if (p == 0.5L) return 0;
    if (p <= 0) p = kSmallestP;
    if (p >= 1) p = kLargestP;
    const Extended q = p <= 0.5L ? p : 1 - p;
    const Extended t = std::sqrt(std::log(1 / (q * q)));
    Extended z = t - (2.515517L + 0.802853L * t + 0.010328L * t * t) /
                         (1 + 1.432788L * t + 0.189269L * t * t + 0.001308L * t * t * t);
    if (p >= 0.5L) z = -z;
    RefineQuantile(z, 1, 0, p);
    return z;
}

Extended TProb(int mode, Extended t, Extended df) {
    if (std::isnan(t) || std::isnan(df)) return std::numeric_limits<Extended>::quiet_NaN();
    // With no degrees of freedom the distribution has no finite tail: every |T| is exceeded.
    const Extended m = df < 1 ? 1 : TwoTailedT(std::fabs(t), df);
    return ApplyTailMode(mode, m / 2);
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
    const Extended z = -InvNormal(1, 1 - p);
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
    RefineQuantile(t, 2, df, p);
    return sign * t;
}

Extended ChiSqProb(int mode, Extended x, Extended df) {
    if (std::isnan(x) || std::isnan(df)) return std::numeric_limits<Extended>::quiet_NaN();
    Extended d;
    if (x <= 0 || df < 1) {
        d = 1;
    } else if (std::isinf(x)) {
        d = 0;
    } else if (df == 1) {
        d = 2 * NormalProbSeries(1, std::sqrt(x));
    } else if (df > 30) {
        const Extended e = df - 1;
        const Extended f = 0.08L / df;
        Extended g;
        if (x != e) {
            // The radicand is never negative in exact arithmetic; rounding must not make it so.
            const Extended radicand = std::max(x - e + e * std::log(e / x), Extended{0});
            g = std::sqrt(radicand) * (x - df + 2.0L / 3 - f) / std::fabs(x - e);
        } else {
            g = -(f + 1.0L / 3) / std::sqrt(2 * df - 2);
        }
        d = NormalProb(1, g);
    } else {
        const int n = static_cast<int>(df);
        if (n % 2 == 1) {
            const Extended root = std::sqrt(x);
            Extended term = root;
            Extended sum = 0;
            for (int k = 1; k <= (n - 1) / 2; ++k) {
                if (k > 1) term *= x / (2 * k - 1);
                sum += term;
            }
            d = 2 * NormalProbSeries(1, root) + std::sqrt(2 / kPi) * std::exp(-x / 2) * sum;
        } else {
            const Extended half = x / 2;
            Extended term = 1;
            Extended sum = 1;
            for (int k = 1; k <= n / 2 - 1; ++k) {
                term *= half / k;
                sum += term;
            }
            d = std::exp(-half) * sum;
        }
    }
    if (mode == 2 && d > 0.5L) d = 1 - d;
    return ApplyTailMode(mode, d);
}

Extended InvChiSq(int mode, Extended p, Extended df) {
    if (std::isnan(p)) return p;
    UpperTailOf(p, mode);
    if (p <= 0) p = kSmallestP;
    if (p >= 1) p = kLargestP;
    if (df == 1) {
        const Extended z = InvNormal(1, p / 2);
        return z * z;
    }
    if (!(df > 0)) return 0;
    const Extended z = InvNormal(1, 1 - p);
    const Extended w = 2 / (9 * df);
    const Extended e = 1 - w - z * std::sqrt(w);
    Extended x = df * e * e * e;
    // Below one degree of freedom the tail is constant, so refining could only wander off.
    if (df < 1) return std::max(x, Extended{0});
    if (!(x > 0)) {
        // Far in the lower tail with few degrees of freedom the start falls at or below 0, where
        // the upper tail is 1 whatever p is. Start instead from the small-x form of the lower tail,
        // (x/2)^(df/2) / Gamma(df/2 + 1) = 1 - p.
        x = 2 * std::exp((std::log1p(-p) + LnGamma(df / 2 + 1)) * 2 / df);
    }
    RefineQuantile(x, 3, df, p);
    return x;
}

Extended FProb(int mode, Extended f, Extended df1, Extended df2) {
    Extended e;
    if (!(df1 > 0) || !(df2 > 0))
        e = 1; // without degrees of freedom there is no evidence at all
    else if (df1 == 1)
        e = TProb(2, std::sqrt(std::fabs(f)), df2);
    else if (df2 == 1 && df1 > 1)
        e = 1 - TProb(2, std::sqrt(std::fabs(1 / f)), df1);
    else
        e = IncompleteBeta(df2 / 2, df1 / 2, df2 / (df2 + df1 * f));
    if (!(e >= 0)) e = 0;
    if (e > 0.5L && mode == 2) e = 1 - e;
    return ApplyTailMode(mode, e);
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

Extended GaussRandom() {
    if (HaveCachedDeviate) {
        HaveCachedDeviate = false;
        return CachedDeviate;
    }
    Extended w1;
    Extended w2;
    Extended r;
    do {
        w1 = 2 * static_cast<Extended>(UniformRandom()) - 1;
        w2 = 2 * static_cast<Extended>(UniformRandom()) - 1;
        r = w1 * w1 + w2 * w2;
    } while (r >= 1 || r == 0); // a zero radius has no direction
    const Extended fac = std::sqrt(-2 * std::log(r) / r);
    CachedDeviate = w1 * fac;
    HaveCachedDeviate = true;
    return w2 * fac;
}

Extended NormalRandom(Extended mean, Extended sd) {
    return mean + sd * GaussRandom();
}

// ---------------------------------------------------------------------------------------------
// Binomial and Poisson

Extended BinomialProbability(int k, int n, Extended p) {
    StatErrorCode = 0;
    if (k < 0 || k > n) return 0;
    if (std::isnan(p)) return p;
    // The end points have exact answers that the logarithms below cannot give.
    if (p <= 0) return k == 0 && p == 0 ? 1 : 0;
    if (p >= 1) return k == n && p == 1 ? 1 : 0;
    long long i;
    long long c;
    if (n / 2.0L >= k) {
        i = static_cast<long long>(n) - k;
        c = k;
    } else {
        i = k;
        c = static_cast<long long>(n) - k;
    }
    Extended b = 1;
    if (i != n) {
        i += 1;
        long long j = 2;
        while (b <= 1e4900L) {
            if (j <= c) {
                b /= static_cast<Extended>(j);
                ++j;
            }
            if (i <= n) {
                b *= static_cast<Extended>(i);
                ++i;
            }
            if ((j > c && i > n) || b < 1e-4900L) break;
        }
    }
    if (b < 1e-4900L || b > 1e4900L) {
        StatErrorCode = 1;
        return 1;
    }
    const Extended lnP = std::log(b) + k * std::log(p) + (static_cast<Extended>(n) - k) * std::log(1 - p);
    if (lnP < -11350) return 0;
    return std::min(std::exp(lnP), Extended{1});
}

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
        return NormalProb(1, (kRounded - 0.5L - lambda) / std::sqrt(lambda));
    }
    Extended c = 0;
    Extended first = 1;
    if (lambda > 1000) {
        // Terms more than 60 standard deviations below the mean are below e^-1800 and cannot
        // change the sum in extended precision.
        first = std::max(Extended{1}, std::floor(lambda - 60 * std::sqrt(lambda)));
    }
    if (first == 1) c = std::exp(-lambda);
    for (Extended j = first; j <= kRounded - 1; j += 1) {
        const Extended term = lambda > 0 ? PoissonTerm(lambda, j) : 0;
        c += term;
        if (c >= 1) break;
        // Past the mean the terms shrink geometrically; stop once the rest cannot show.
        if (j + 1 > lambda && term * (j + 1) < 1e-25L * c * (j + 1 - lambda)) break;
        if (lambda <= 0) break;
    }
    c = std::min(c, Extended{1});
    return 1 - c;
}

void ResetDistributionState() {
    HaveCachedDeviate = false;
    CachedDeviate = 0;
}

} // namespace kivspc
