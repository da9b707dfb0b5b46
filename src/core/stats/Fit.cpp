// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/Fit.h"

#include "app/Messages.h"
#include "app/SharedState.h"
#include "stats/Descriptive.h"
#include "stats/Distributions.h"
#include "stats/JohnsonMoments.h"
#include "stats/SampleBuffer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace kivspc {

int DistKind = kDistNormal;
TFitState FitState;
TJohnsonState JohnsonO;
TCurveFit CurveFit;

namespace {

constexpr Extended kLowTail = 0.00135L;
// The Johnson transforms' stand-in for a value outside an SB curve's range (or below an SL
// curve's threshold): far enough out that the normal tail beyond it is nothing.
constexpr Extended kOutside = 10;

int SampleCount() { return std::clamp(SampleN, 0, static_cast<int>(SampleX.size()) - 1); }
Extended Sorted(int i) { return SampleX[static_cast<std::size_t>(i)]; }

// Φ(t), the normal probability below t, to the precision of the long double error function: the
// fitted models' tail areas are read in ppm and ppb, where a polynomial approximation's 1e-7
// would show.
Extended NormalBelow(Extended t) { return 0.5L * std::erfc(-t / std::numbers::sqrt2_v<Extended>); }

// The z with upper tail area q, the inverse of NormalBelow: the polynomial inverse refined by
// Newton steps on the exact tail area.
Extended NormalUpperQuantile(Extended q) {
    Extended z = InvNormal(1, q);
    if (!(q > 0 && q < 1) || !std::isfinite(static_cast<double>(z))) return z;
    for (int step = 0; step < 4; ++step) {
        const Extended density = std::exp(-z * z / 2) / std::sqrt(2 * std::numbers::pi_v<Extended>);
        if (!(density > 0)) break;
        const Extended upper = 0.5L * std::erfc(z / std::numbers::sqrt2_v<Extended>);
        z += (upper - q) / density;
    }
    return z;
}

void SetParam(int index, const char* name, Extended value) {
    FitState.ParamNames[static_cast<std::size_t>(index)] = name;
    FitState.ParamValues[static_cast<std::size_t>(index)] = value;
    FitState.ParamCount = std::max(FitState.ParamCount, index + 1);
}

// No fit, with the reason the user is told.
void Refuse(const std::string& message) {
    ResetFit();
    FitState.FitMessage = message;
}

// "Su", "Sb", "SL", "ND" or "T" for a TJohnsonType.
const char* JohnsonTypeText(int type) {
    static const char* const kTexts[] = {"", "Su", "Sb", "SL", "ND", "T"};
    return type >= 0 && type <= 5 ? kTexts[type] : "";
}

// The Johnson parameters as the table lists them: "Nu", "Gamma", ("Lambda",) "Epsilon", "Criteria".
void ListJohnsonParams() {
    const TJohnsonState& j = JohnsonO;
    const bool sl = j.Type == 3;
    SetParam(0, "Nu", j.Delta);
    SetParam(1, "Gamma", j.Gamma);
    if (!sl) SetParam(2, "Lambda", j.Lambda);
    SetParam(sl ? 2 : 3, "Epsilon", j.Xi);
    SetParam(sl ? 3 : 4, "Criteria", j.Ratio);
}

// The Weibull mode eta (1 - 1/beta)^(1/beta); 0 when beta <= 1 or eta <= 0.
Extended WeibullModeOf(Extended beta, Extended eta) {
    return beta > 1 && eta > 0 ? eta * std::pow(1 - 1 / beta, 1 / beta) : 0;
}

// The Johnson z of x for the fitted type: increasing in x, ±kOutside beyond a bounded curve.
Extended JohnsonZ(Extended x) {
    const TJohnsonState& j = JohnsonO;
    switch (j.Type) {
    case 1: return j.Delta * std::asinh((x - j.Xi) / j.Lambda) + j.Gamma;
    case 2:
        if (x <= j.Xi) return -kOutside;
        if (x >= j.Xi + j.Lambda) return kOutside;
        return j.Delta * std::log((x - j.Xi) / (j.Xi + j.Lambda - x)) + j.Gamma;
    case 3: {
        // A negative lambda (a log-normal of negative skew) mirrors the curve.
        const bool mirrored = j.Lambda < 0;
        const Extended u = mirrored ? j.Xi - x : x - j.Xi;
        if (u <= 0) return mirrored ? kOutside : -kOutside;
        const Extended z = j.Delta * std::log(u) + j.Gamma;
        return mirrored ? -z : z;
    }
    case 4: return FitState.FitSD > 0 ? (x - FitState.FitMean) / FitState.FitSD : 0;
    default: return 0;
    }
}

Extended JohnsonX(Extended z) {
    const TJohnsonState& j = JohnsonO;
    switch (j.Type) {
    case 1: return j.Lambda * std::sinh((z - j.Gamma) / j.Delta) + j.Xi;
    case 2: {
        // Xi + Lambda e/(1 + e), written so that every step rounds in the direction x moves: the
        // quantile never steps back, and the digits near the lower end are kept.
        const Extended e = std::exp(std::clamp((z - j.Gamma) / j.Delta, -700.0L, 700.0L));
        return j.Xi + j.Lambda / (1 + 1 / e);
    }
    case 3:
        if (j.Lambda < 0) return j.Xi - std::exp((-z - j.Gamma) / j.Delta);
        return j.Xi + std::exp((z - j.Gamma) / j.Delta);
    default: return z * FitState.FitSD + FitState.FitMean;
    }
}

// The percentiles of the Johnson percentile method for the proportion a.
void JohnsonPercentiles(Extended a) {
    TJohnsonState& j = JohnsonO;
    const TSampleStats& s = SampleStats;
    j.Z = std::min(std::fabs(SampleQuantile(1 - a) - s.Mean), std::fabs(SampleQuantile(a) - s.Mean)) /
          (3 * s.StdDev);
    const Extended at[4] = {-3 * j.Z, -j.Z, j.Z, 3 * j.Z};
    for (std::size_t i = 0; i < 4; ++i)
        j.X[i] = SampleQuantile(NormalBelow(at[i]));
    j.M = j.X[3] - j.X[2];
    j.N = j.X[1] - j.X[0];
    j.P = j.X[2] - j.X[1];
    j.Ratio = j.P != 0 ? j.M * j.N / (j.P * j.P) : 0;
}

bool Usable(Extended v) { return std::isfinite(static_cast<double>(v)); }

bool FitSU() {
    TJohnsonState& j = JohnsonO;
    j.Type = 1;
    j.TypeText = "Su";
    const Extended m = j.M, n = j.N, p = j.P;
    if (m == 0 || n == 0 || p == 0) return false;
    const Extended mp = m / p, np = n / p;
    if (!((m + n) / p > 2) || !(j.Ratio > 1) || !(mp + np > 2)) return false;
    j.Delta = 2 * j.Z / std::acosh((mp + np) / 2);
    j.Gamma = j.Delta * std::asinh((np - mp) / (2 * std::sqrt(m * n / (p * p) - 1)));
    j.Lambda = 2 * p * std::sqrt(m * n / (p * p) - 1) / ((mp + np - 2) * std::sqrt(mp + np + 2));
    j.Xi = (j.X[2] + j.X[1]) / 2 + p * (np - mp) / (2 * (mp + np - 2));
    return j.Lambda != 0 && j.Delta != 0 && Usable(j.Delta + j.Gamma + j.Lambda + j.Xi);
}

bool FitSB() {
    TJohnsonState& j = JohnsonO;
    j.Type = 2;
    j.TypeText = "Sb";
    const Extended m = j.M, n = j.N, p = j.P;
    if (m == 0 || n == 0 || p == 0) return false;
    const Extended pmn = p * p / (m * n);
    if (pmn == 1) return false;
    const Extended k = (1 + p / m) * (1 + p / n);
    if (!(k >= 4) || !(std::sqrt(k) / 2 > 1)) return false;
    j.Delta = j.Z / std::acosh(std::sqrt(k) / 2);
    j.Gamma = j.Delta * std::asinh((p / n - p / m) * std::sqrt(k - 4) / (2 * (pmn - 1)));
    j.Lambda = p * std::sqrt((k - 2) * (k - 2) - 4) / (pmn - 1);
    j.Xi = (j.X[2] + j.X[1]) / 2 - j.Lambda / 2 + p * (p / n - p / m) / (2 * (pmn - 1));
    if (!Usable(j.Delta + j.Gamma + j.Lambda + j.Xi) || j.Delta == 0 || j.Lambda <= 0) return false;
    // The curve must cover the sample.
    return j.Xi <= SampleStats.Minimum && j.Xi + j.Lambda >= SampleStats.Maximum;
}

bool FitSL() {
    TJohnsonState& j = JohnsonO;
    j.Type = 3;
    j.TypeText = "SL";
    const Extended m = j.M, p = j.P;
    if (m == 0 || p == 0 || !(m / p > 1)) return false;
    const Extended mp = m / p;
    j.Delta = 2 * j.Z / std::log(mp);
    j.Gamma = j.Delta * std::log((mp - 1) / (p * std::sqrt(mp)));
    j.Xi = (j.X[2] + j.X[1]) / 2 - (p / 2) * (mp + 1) / (mp - 1);
    j.Lambda = 0;
    return j.Delta != 0 && Usable(j.Delta + j.Gamma + j.Xi);
}

// The percentile method (Slifker and Shapiro): the first proportion that gives a curve.
bool PercentileFit() {
    bool fitted = false;
    for (int step = 0; step < 15 && !fitted; ++step) {
        JohnsonPercentiles(0.05L + 0.01L * step);
        const Extended r = JohnsonO.Ratio;
        if (r == 0) continue;
        fitted = r > 1.05L ? FitSU() : r < 0.95L ? FitSB() : FitSL();
    }
    const Extended r = JohnsonO.Ratio;
    if (!fitted && (r < 0.95L || r > 1.05L))
        for (int step = 0; step <= 15 && !fitted; ++step) {
            JohnsonPercentiles(0.05L + 0.01L * step);
            fitted = FitSL();
        }
    return fitted;
}

} // namespace

const char* DistKindName(int kind) {
    static const char* const kNames[kDistKinds] = {
        "None",        "Normal",       "Exponential (0)", "Exponential (Low)", "Weibull (2 Param)",
        "Uniform",     "Johnson",      "Gamma (0)",       "Gamma (Low)",       "Beta",
        "Rayleigh(0)", "Rayleigh(Low)"};
    return kind >= 0 && kind < kDistKinds ? kNames[kind] : "";
}

int DistKindByName(const std::string& name) {
    const auto lower = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    const std::string wanted = lower(name);
    int starts = 0, started = -1;
    for (int k = 0; k < kDistKinds; ++k) {
        const std::string candidate = lower(DistKindName(k));
        if (candidate == wanted) return k;
        if (!wanted.empty() && candidate.rfind(wanted, 0) == 0) {
            ++starts;
            started = k;
        }
    }
    return starts == 1 ? started : -1;
}

std::string DistKindNameList() {
    std::string names;
    for (int k = 0; k < kDistKinds; ++k)
        names += std::string(k ? ", " : "") + DistKindName(k);
    return names;
}

void TCurveFit::Init(int kind) {
    kind_ = kind;
    count_ = 0;
    sx_ = sxx_ = sy_ = syy_ = sd_ = sdd_ = sxy_ = 0;
    Intercept = Slope = 0;
    StatErrorCode = 0;
}

void TCurveFit::Add(Extended x, Extended y) {
    ++count_;
    sx_ += x;
    sxx_ += x * x;
    sy_ += y;
    syy_ += y * y;
    sd_ += x - y;
    sdd_ += (x - y) * (x - y);
    sxy_ += x * y;
}

void TCurveFit::Solve() {
    if (count_ < 2) {
        StatErrorCode = 2;
        return;
    }
    const Extended n = count_;
    const Extended c = n * sxx_ - sx_ * sx_;
    if (c != 0) {
        Slope = (n * sxy_ - sx_ * sy_) / c;
    } else {
        Slope = 0;
        StatErrorCode = 1;
    }
    Intercept = (sy_ - Slope * sx_) / n;
}

Extended TCurveFit::RSquared() const {
    const Extended n = count_;
    const Extended vx = VarianceFromSums(n, sx_, sxx_), vy = VarianceFromSums(n, sy_, syy_),
                   vd = VarianceFromSums(n, sd_, sdd_);
    if (count_ <= 1 || vx <= 0 || vy <= 0) {
        StatErrorCode = 1;
        return 0;
    }
    StatErrorCode = 0;
    const Extended c = vx + vy - vd;
    return std::clamp(c * c / (4 * vx * vy), 0.0L, 1.0L);
}

void ResetFit() {
    FitState.ParamValues.fill(0);
    FitState.ParamCount = 0;
    FitState.FitCriterion = 0;
    if (FitState.FitFailed == 0) FitState.FitFailed = kFitReset;
}

void ResetFitState() {
    FitState = TFitState{};
    JohnsonO = TJohnsonState{};
    CurveFit = TCurveFit{};
    DistKind = kDistNormal;
}

void FitDistribution() {
    TFitState& f = FitState;
    f.FitFailed = kFitUsable;
    f.FitMessage.clear();
    f.ParamCount = 0;
    f.ParamNames = {};
    f.ParamValues.fill(0);
    OrderStatistics();
    if (f.FixedKind >= 1) {
        ApplyFixedParameters();
        return;
    }
    const TSampleStats& s = SampleStats;
    f.Threshold = s.Minimum;
    f.FitMax = s.Maximum;
    f.FitRange = s.Range;
    MeanAndStdDev();
    f.FitMean = s.Mean;
    f.FitSD = s.StdDev;
    const auto noFit = [&](const std::string& message) {
        Refuse(message);
        f.LPL = f.UPL = std::isfinite(static_cast<double>(f.FitMean)) ? static_cast<double>(f.FitMean) : 0.0;
        f.NT = 0;
    };
    if (SampleCount() < 2 || !(s.Range > 0))
        return noFit("The values do not vary: no distribution can be fitted");
    const int n = SampleCount();
    switch (DistKind) {
    case kDistExponential0:
    case kDistExponentialLow:
        if (DistKind == kDistExponential0 && s.Minimum < 0)
            return noFit("Values below 0: this model starts at 0");
        f.Threshold = DistKind == kDistExponential0 ? 0.0L : static_cast<Extended>(s.Minimum);
        SetParam(0, "Min", f.Threshold);
        SetParam(1, "Mean", s.Mean);
        break;
    case kDistWeibull: {
        // The Weibull plot takes logarithms of the values.
        if (!(s.Minimum > 0)) return noFit("Values of 0 or below: no Weibull fit");
        CurveFit.Init(1);
        // Double precision logarithms: the plot's points need no more, and they are many.
        for (int i = 1; i <= n; ++i) {
            const double p = (i - 0.3) / (n + 0.4);
            CurveFit.Add(std::log(SampleX[static_cast<std::size_t>(i)]), std::log(-std::log1p(-p)));
        }
        CurveFit.Solve();
        const Extended beta = CurveFit.Slope;
        if (!(beta > 0)) return noFit("No Weibull fit for these values");
        const Extended eta = std::exp(-CurveFit.Intercept / beta);
        f.WeibullShape = beta;
        f.WeibullScale = eta;
        SetParam(0, "Beta", beta);
        SetParam(1, "Eta", eta);
        f.WeibullMode = WeibullModeOf(beta, eta);
        if (!(beta > 1 && eta > 0)) f.Threshold = 0;
        break;
    }
    case kDistUniform:
        SetParam(0, "Min", s.Minimum);
        SetParam(1, "Max", s.Maximum);
        break;
    case kDistJohnson:
        JohnsonFit();
        if (f.FitFailed) return noFit("Johnson Distribution Fit Failed");
        ListJohnsonParams();
        break;
    case kDistGamma0:
    case kDistGammaLow: {
        if (DistKind == kDistGamma0 && s.Minimum < 0) return noFit("Values below 0: this model starts at 0");
        f.Threshold = DistKind == kDistGamma0 ? 0.0L : static_cast<Extended>(s.Minimum);
        const Extended rate = (s.Mean - f.Threshold) / s.Variance;
        f.GammaRate = rate;
        f.GammaShape = (s.Mean - f.Threshold) * rate;
        if (!(f.GammaRate > 0) || !(f.GammaShape > 0)) return noFit("No gamma fit for these values");
        SetParam(0, "Min", f.Threshold);
        SetParam(1, "Lambda", f.GammaRate);
        SetParam(2, "Nu", f.GammaShape);
        break;
    }
    case kDistBeta: {
        const Extended m = (s.Mean - s.Minimum) / s.Range, sd = s.StdDev / s.Range;
        const Extended q = (1 - m) * (m * (1 - m) - sd * sd) / (sd * sd);
        const Extended p = m * q / (1 - m);
        // The moments of values on [min, max] can still be too wide for any beta curve.
        // Shapes of rounding size are a two-point sample, not a curve.
        if (!(q > 1e-9L) || !(p > 1e-9L)) return noFit("The values spread too widely for a beta fit");
        f.BetaP = p;
        f.BetaQ = q;
        SetParam(0, "Min", s.Minimum);
        SetParam(1, "Max", s.Maximum);
        SetParam(2, "Gamma", p);
        SetParam(3, "Nu", q);
        break;
    }
    case kDistRayleigh0:
    case kDistRayleighLow: {
        if (DistKind == kDistRayleigh0 && s.Minimum < 0)
            return noFit("Values below 0: this model starts at 0");
        f.Threshold = DistKind == kDistRayleigh0 ? 0.0L : static_cast<Extended>(s.Minimum);
        Extended squares = 0;
        for (int i = 1; i <= n; ++i)
            squares += (Sorted(i) - f.Threshold) * (Sorted(i) - f.Threshold);
        f.RayleighScale = std::sqrt(squares / (2 * n));
        SetParam(0, "Min", f.Threshold);
        SetParam(1, "Beta", f.RayleighScale);
        break;
    }
    default: f.ParamCount = 0; break;
    }
    ProcessLimits();
    // A model whose parameters or process limits are beyond the doubles (a near-degenerate
    // Johnson curve, values near the largest double) is no fit to show.
    bool finite = std::isfinite(f.LPL) && std::isfinite(f.UPL) && std::isfinite(static_cast<double>(f.NT));
    for (int i = 0; i < f.ParamCount; ++i)
        finite = finite && std::isfinite(static_cast<double>(f.ParamValues[static_cast<std::size_t>(i)]));
    if (!finite) return noFit("The fitted model's process limits are beyond the range of numbers");
    if (DistKind != kDistNone && DistKind != kDistJohnson) ComputeFitCriterion();
}

void ProcessLimits() {
    TFitState& f = FitState;
    switch (DistKind) {
    case kDistNone:
    case kDistNormal:
        f.UPL = static_cast<double>(f.FitMean + 3 * f.FitSD);
        f.LPL = static_cast<double>(f.FitMean - 3 * f.FitSD);
        break;
    case kDistExponential0:
    case kDistExponentialLow:
        f.LPL = static_cast<double>(f.Threshold);
        f.UPL = static_cast<double>(f.Threshold - std::log(kLowTail) * (f.FitMean - f.Threshold));
        break;
    case kDistWeibull:
        f.LPL = static_cast<double>(f.WeibullScale * std::pow(-std::log(1 - kLowTail), 1 / f.WeibullShape));
        f.UPL = static_cast<double>(f.WeibullScale * std::pow(-std::log(kLowTail), 1 / f.WeibullShape));
        break;
    case kDistUniform:
        f.LPL = static_cast<double>(f.Threshold);
        f.UPL = static_cast<double>(f.FitMax);
        break;
    default:
        if (DistKind > kDistUniform && DistKind < kDistKinds) {
            f.LPL = static_cast<double>(FittedQuantile(kLowTail));
            f.UPL = static_cast<double>(FittedQuantile(1 - kLowTail));
        } else {
            f.LPL = f.UPL = static_cast<double>(SampleStats.Mean);
        }
        break;
    }
    f.NT = static_cast<Extended>(f.UPL) - f.LPL;
}

namespace {

// The density of the gamma and beta models (0 outside their range), for stepping their
// distribution functions along the sorted sample; NaN for the other models. The normalising
// constants are worked out once per fit.
class TFittedDensity {
public:
    TFittedDensity() {
        const TFitState& f = FitState;
        if (DistKind == kDistGamma0 || DistKind == kDistGammaLow) {
            kind_ = kGamma;
            scale_ = static_cast<double>(f.GammaRate);
            shift_ = static_cast<double>(f.Threshold);
            a_ = static_cast<double>(f.GammaShape) - 1;
            log_ = -std::lgamma(static_cast<double>(f.GammaShape));
        } else if (DistKind == kDistBeta) {
            kind_ = kBeta;
            const double p = static_cast<double>(f.BetaP), q = static_cast<double>(f.BetaQ);
            scale_ = 1 / static_cast<double>(f.FitRange);
            shift_ = static_cast<double>(f.Threshold);
            a_ = p - 1;
            b_ = q - 1;
            log_ = std::lgamma(p + q) - std::lgamma(p) - std::lgamma(q);
        }
    }
    double operator()(double x) const {
        const double u = (x - shift_) * scale_;
        switch (kind_) {
        case kGamma: return u > 0 ? scale_ * std::exp(a_ * std::log(u) - u + log_) : 0;
        case kBeta:
            return u > 0 && u < 1 ? std::exp(a_ * std::log(u) + b_ * std::log1p(-u) + log_) * scale_ : 0;
        default: return std::numeric_limits<double>::quiet_NaN();
        }
    }

private:
    enum { kNone, kGamma, kBeta } kind_ = kNone;
    double scale_ = 1, shift_ = 0, a_ = 0, b_ = 0, log_ = 0;
};

} // namespace

void ComputeFitCriterion() {
    const int n = SampleCount();
    CurveFit.Init(1);
    // The incomplete gamma and beta functions are costly: over a large sample their values step
    // from one sorted value to the next by Simpson's rule on the density, and are formed afresh at
    // every 256th value, where the density is not finite or changes fast, and wherever a step would
    // leave 0..1.
    const TFittedDensity density;
    const bool stepped = n > 2000 && !std::isnan(density(static_cast<double>(Sorted(1))));
    Extended cdf = 0;
    // The density at the previous value, carried from one step to the next.
    double previous = stepped ? density(static_cast<double>(Sorted(1))) : 0;
    for (int i = 1; i <= n; ++i) {
        const double x = static_cast<double>(Sorted(i));
        bool exact = !stepped || i % 256 == 1;
        const double fb = stepped && i > 1 ? density(x) : previous;
        if (!exact) {
            const double a = static_cast<double>(Sorted(i - 1)), fa = previous, fm = density((a + x) / 2);
            const double step = (x - a) / 6 * (fa + 4 * fm + fb);
            // Where the density changes fast over the step (near a pole at an end), Simpson's rule
            // is not to be trusted.
            const double low = std::min({fa, fm, fb}), high = std::max({fa, fm, fb});
            exact = !std::isfinite(step) || !(cdf + step <= 1) || !(high <= 8 * low);
            if (!exact) cdf += step;
        }
        if (exact) cdf = FittedCDF(x);
        previous = fb;
        CurveFit.Add(cdf, (i - 0.3L) / (n + 0.4L));
    }
    CurveFit.Solve();
    FitState.FitCriterion = CurveFit.RSquared();
}

Extended FittedCDF(Extended x) {
    const TFitState& f = FitState;
    if (f.FitFailed > 0) return 0;
    switch (DistKind) {
    case kDistNormal: return f.FitSD > 0 ? NormalBelow((x - f.FitMean) / f.FitSD) : (x < f.FitMean ? 0 : 1);
    case kDistExponential0:
    case kDistExponentialLow:
        if (x < f.Threshold) return 0;
        return -std::expm1(-static_cast<double>((x - f.Threshold) / (f.FitMean - f.Threshold)));
    case kDistWeibull:
        return -std::expm1(
            -std::pow(std::max(static_cast<double>(x), 0.0) / static_cast<double>(f.WeibullScale),
                      static_cast<double>(f.WeibullShape)));
    case kDistUniform:
        if (x < f.Threshold) return 0;
        if (x > f.FitMax) return 1;
        return (x - f.Threshold) / (f.FitMax - f.Threshold);
    case kDistJohnson: return NormalBelow(JohnsonZ(x));
    case kDistGamma0:
    case kDistGammaLow: {
        const Extended t = (x - f.Threshold) * f.GammaRate;
        if (t < 0) return 0;
        // A status left by an earlier routine is not this evaluation's; and one evaluation never
        // takes the fit away: a failed one reads as the nearest end.
        StatErrorCode = 0;
        const Extended p = GAMMP(f.GammaShape, t);
        if (StatErrorCode != 0 || !std::isfinite(static_cast<double>(p))) return t < f.GammaShape ? 0 : 1;
        return p;
    }
    case kDistBeta: {
        if (x <= f.Threshold) return 0;
        if (x >= f.FitMax) return 1;
        return IncompleteBeta(f.BetaP, f.BetaQ, (x - f.Threshold) / f.FitRange);
    }
    case kDistRayleigh0:
    case kDistRayleighLow: {
        if (x < f.Threshold) return 0;
        const double u = static_cast<double>((x - f.Threshold) / f.RayleighScale);
        return -std::expm1(-u * u / 2);
    }
    default: return 0;
    }
}

Extended FittedDensity(Extended x) {
    const TFitState& f = FitState;
    if (f.FitFailed > 0) return 0;
    constexpr Extended kRootTwoPi = 2.50662827463100050241576528481104525L;
    const auto phi = [](Extended z) { return std::exp(-z * z / 2) / kRootTwoPi; };
    const auto finite = [](Extended d) { return std::isfinite(static_cast<double>(d)) && d > 0 ? d : 0; };
    switch (DistKind) {
    case kDistNormal: return f.FitSD > 0 ? phi((x - f.FitMean) / f.FitSD) / f.FitSD : 0;
    case kDistExponential0:
    case kDistExponentialLow: {
        const Extended scale = f.FitMean - f.Threshold;
        if (x < f.Threshold || !(scale > 0)) return 0;
        return finite(std::exp(-(x - f.Threshold) / scale) / scale);
    }
    case kDistWeibull: {
        const Extended beta = f.WeibullShape, eta = f.WeibullScale;
        if (!(x > 0 && beta > 0 && eta > 0)) return 0;
        const Extended t = x / eta;
        return finite(beta / eta * std::pow(t, beta - 1) * std::exp(-std::pow(t, beta)));
    }
    case kDistUniform: {
        const Extended range = f.FitMax - f.Threshold;
        return x >= f.Threshold && x <= f.FitMax && range > 0 ? 1 / range : 0;
    }
    case kDistGamma0:
    case kDistGammaLow: {
        const Extended t = x - f.Threshold, rate = f.GammaRate, shape = f.GammaShape;
        if (!(t > 0 && rate > 0 && shape > 0)) return 0;
        return finite(
            std::exp(shape * std::log(rate) + (shape - 1) * std::log(t) - rate * t - std::lgamma(shape)));
    }
    case kDistBeta: {
        if (!(f.FitRange > 0)) return 0;
        const Extended u = (x - f.Threshold) / f.FitRange;
        if (!(u > 0 && u < 1)) return 0;
        return finite(std::exp(std::lgamma(f.BetaP + f.BetaQ) - std::lgamma(f.BetaP) - std::lgamma(f.BetaQ) +
                               (f.BetaP - 1) * std::log(u) + (f.BetaQ - 1) * std::log1p(-u)) /
                      f.FitRange);
    }
    case kDistRayleigh0:
    case kDistRayleighLow: {
        const Extended sigma = f.RayleighScale, t = x - f.Threshold;
        if (!(t > 0 && sigma > 0)) return 0;
        const Extended u = t / sigma;
        return finite(t / (sigma * sigma) * std::exp(-u * u / 2));
    }
    case kDistJohnson: {
        const TJohnsonState& j = JohnsonO;
        const Extended u = x - j.Xi;
        Extended slope = 0; // dz/dx
        switch (j.Type) {
        case 1: slope = j.Delta / std::sqrt(j.Lambda * j.Lambda + u * u); break;
        case 2:
            if (!(u > 0 && u < j.Lambda)) return 0;
            slope = j.Delta * j.Lambda / (u * (j.Lambda - u));
            break;
        case 3: {
            const Extended w = j.Lambda < 0 ? -u : u;
            if (!(w > 0)) return 0;
            slope = j.Delta / w;
            break;
        }
        case 4: return f.FitSD > 0 ? phi((x - f.FitMean) / f.FitSD) / f.FitSD : 0;
        default: return 0; // the two-point curve has no density
        }
        return finite(phi(JohnsonZ(x)) * slope);
    }
    default: return 0;
    }
}

Extended FittedQuantile(Extended p) {
    const TFitState& f = FitState;
    if (f.FitFailed > 0) return f.FitMean;
    if (!(p >= 0 && p <= 1)) return 0;
    // Unbounded tails have no 0 % and 100 % points: the ends stand one in a billion inside.
    const Extended inner = std::clamp(p, 1e-9L, 1 - 1e-9L);
    const Extended q = 1 - inner;
    switch (DistKind) {
    case kDistExponential0:
    case kDistExponentialLow:
        if (p == 0) return f.Threshold;
        return f.Threshold - std::log(q) * (f.FitMean - f.Threshold);
    case kDistWeibull:
        if (p == 0) return 0;
        return f.WeibullScale * std::pow(std::log(1 / q), 1 / f.WeibullShape);
    case kDistUniform: return p * (f.FitMax - f.Threshold) + f.Threshold;
    case kDistJohnson:
        if (JohnsonO.Type >= 1 && JohnsonO.Type <= 3) return JohnsonX(NormalUpperQuantile(q));
        return NormalUpperQuantile(q) * f.FitSD + f.FitMean;
    case kDistGamma0:
    case kDistGammaLow: {
        if (p == 0) return f.Threshold;
        // Bracket the root, doubling from the shape (the mean of the unit-rate gamma), then halve the
        // bracket: at most 2,000 doublings and 200 halvings.
        const auto at = [&](Extended t) { return GAMMP(f.GammaShape, t); };
        Extended lo = 0, hi = std::max(f.GammaShape, 1.0L);
        StatErrorCode = 0;
        for (int k = 0; k < 2000 && StatErrorCode == 0 && at(hi) < inner; ++k) {
            lo = hi;
            hi *= 2;
        }
        Extended t = (lo + hi) / 2;
        for (int k = 0; k < 200 && StatErrorCode == 0; ++k) {
            t = (lo + hi) / 2;
            const Extended pt = static_cast<double>(at(t));
            if (std::fabs(pt - inner) < 1e-12L || hi - lo <= hi * 1e-18L) break;
            if (inner >= pt)
                lo = t;
            else
                hi = t;
        }
        return t / f.GammaRate + f.Threshold;
    }
    case kDistBeta: {
        Extended lo = 0, hi = 1, t = 0.5L;
        for (int k = 0; k < 200; ++k) {
            t = (lo + hi) / 2;
            const Extended pt = IncompleteBeta(f.BetaP, f.BetaQ, t);
            if (std::fabs(pt - p) < 1e-12L) break;
            if (p >= pt)
                lo = t;
            else
                hi = t;
        }
        return f.Threshold + t * f.FitRange;
    }
    case kDistRayleigh0:
    case kDistRayleighLow:
        if (p == 0) return f.Threshold;
        return std::sqrt(-2 * std::log(q)) * f.RayleighScale + f.Threshold;
    case kDistNone:
    case kDistNormal: return NormalUpperQuantile(q) * f.FitSD + f.FitMean;
    default: return 0;
    }
}

void JohnsonFit() {
    TFitState& f = FitState;
    f.FitFailed = kFitUsable;
    // The fit spreads ties and works on its own copy: the sample and its statistics stay as they were.
    const int n = SampleCount();
    const std::vector<double> sample(SampleX.begin(), SampleX.begin() + n + 1);
    const TSampleStats stats = SampleStats;
    SpreadTies();
    MeanAndStdDev();
    ShapeStatistics();

    const bool percentile = PercentileFit();
    Extended d = 0;
    if (percentile) {
        f.FitFailed = kFitUsable;
        ComputeFitCriterion();
        d = f.FitCriterion;
    }
    const TJohnsonState byPercentiles = JohnsonO;

    // The moment fit (AS 99) from the mean, standard deviation, skewness and kurtosis.
    const TSampleStats& s = SampleStats;
    const TJohnsonMomentFit moments =
        JohnsonFromMoments(static_cast<double>(s.Mean), static_cast<double>(s.StdDev),
                           static_cast<double>(s.SkewnessAdj), static_cast<double>(s.KurtosisAdj) + 3);
    // A two-point result has no curve to evaluate: it counts as a failed moment fit.
    bool momentFitted = moments.Status == 0 && moments.Type >= kJohnsonSU && moments.Type <= kJohnsonNormal;
    Extended momentCriterion = 0;
    if (momentFitted) {
        TJohnsonState& j = JohnsonO;
        j.Type = moments.Type;
        j.Delta = moments.Delta;
        j.Gamma = moments.Gamma;
        j.Lambda = moments.Lambda;
        j.Xi = moments.Xi;
        j.TypeText = JohnsonTypeText(j.Type);
        j.Ratio = -1;
        f.FitFailed = kFitUsable;
        // Points outside a moment SB curve's range count at probability 0 or 1.
        ComputeFitCriterion();
        momentCriterion = f.FitCriterion;
        momentFitted = f.FitFailed == kFitUsable && StatErrorCode == 0;
    }
    if (momentFitted && (!percentile || momentCriterion > d)) {
        f.FitFailed = kFitUsable;
        f.FitCriterion = momentCriterion;
    } else if (percentile) {
        JohnsonO = byPercentiles;
        f.FitFailed = kFitUsable;
        f.FitCriterion = d;
        StatErrorCode = 0;
    } else {
        JohnsonO = byPercentiles;
        f.FitFailed = kFitJohnsonFailed;
        ShowError("Johnson Distribution Fit Failed");
    }
    std::copy(sample.begin(), sample.end(), SampleX.begin());
    SampleStats = stats;
}

void ApplyFixedParameters() {
    TFitState& f = FitState;
    const auto& v = f.FixedValues;
    f.FitFailed = kFitUsable;
    f.ParamCount = 0;
    switch (f.FixedKind) {
    case 1:
        DistKind = kDistNormal;
        f.FitMean = v[1];
        f.FitSD = v[2];
        break;
    case 2:
        DistKind = kDistExponentialLow;
        f.Threshold = v[1];
        f.FitMean = v[2];
        SetParam(0, "Min", v[1]);
        SetParam(1, "Mean", v[2]);
        break;
    case 3:
        DistKind = kDistWeibull;
        f.WeibullShape = v[1];
        f.WeibullScale = v[2];
        f.WeibullMode = WeibullModeOf(v[1], v[2]);
        SetParam(0, "Beta", v[1]);
        SetParam(1, "Eta", v[2]);
        break;
    case 4:
    case 9:
        DistKind = f.FixedKind == 4 ? kDistUniform : kDistBeta;
        f.Threshold = v[1];
        f.FitMax = v[2];
        f.FitRange = f.FitMax - f.Threshold;
        SetParam(0, "Min", v[1]);
        SetParam(1, "Max", v[2]);
        if (f.FixedKind == 9) {
            f.BetaP = v[3];
            f.BetaQ = v[4];
            SetParam(2, "Gamma", v[3]);
            SetParam(3, "Nu", v[4]);
        }
        break;
    case 5:
    case 6:
    case 7: {
        DistKind = kDistJohnson;
        TJohnsonState& j = JohnsonO;
        j.Type = f.FixedKind - 4;
        j.TypeText = JohnsonTypeText(j.Type);
        j.Delta = v[1];
        j.Gamma = v[2];
        j.Lambda = j.Type == 3 ? 0.0L : static_cast<Extended>(v[3]);
        j.Xi = j.Type == 3 ? v[3] : v[4];
        ListJohnsonParams();
        break;
    }
    case 8:
        DistKind = kDistGammaLow;
        f.Threshold = v[1];
        f.GammaRate = v[2];
        f.GammaShape = v[3];
        SetParam(0, "Min", v[1]);
        SetParam(1, "Lambda", v[2]);
        SetParam(2, "Nu", v[3]);
        break;
    case 10:
        DistKind = kDistRayleighLow;
        f.Threshold = v[1];
        f.RayleighScale = v[2];
        SetParam(0, "Min", v[1]);
        SetParam(1, "Beta", v[2]);
        break;
    default: break;
    }
    ProcessLimits();
    if (DistKind > kDistNone) ComputeFitCriterion();
}

} // namespace kivspc
