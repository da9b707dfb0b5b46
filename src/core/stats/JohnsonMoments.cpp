// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/JohnsonMoments.h"

#include <array>
#include <cmath>

namespace kivspc {

namespace {

// Closeness that decides the type: normal, on the log-normal line, on the two-point boundary.
constexpr double kTypeTolerance = 0.01;
// The SU iteration stops once the skewness squared it implies is this close to the given one.
constexpr double kSuTolerance = 0.01;
constexpr int kSuMaxPasses = 1000;
// The SB Newton iteration: steps of gamma and delta below this end it.
constexpr double kSbStep = 1e-4;
constexpr int kSbMaxPasses = 50;
// The SB moments by Goodwin's rule: relative change between step halvings, relative change of
// the series, most halvings and terms, the largest exponent taken and the one past which
// 1 + exp(-t) counts as 1.
constexpr double kMomentTolerance = 1e-5;
constexpr double kSeriesTolerance = 1e-8;
constexpr int kMomentMaxTerms = 500;
constexpr double kMomentMaxExponent = 80.0;
constexpr double kMomentNegligibleExponent = 23.7;

// The initial estimates of delta and gamma for the SB iteration: the published approximations
// of the SB region of the (skewness squared, kurtosis) plane.
constexpr double kA1 = 0.0124, kA2 = 0.0623, kA3 = 0.4043, kA4 = 0.408, kA5 = 0.479, kA6 = 0.485,
                 kA7 = 0.5291, kA8 = 0.5955, kA9 = 0.626, kA10 = 0.64, kA11 = 0.7077, kA12 = 0.7466,
                 kA13 = 0.8, kA14 = 0.9281, kA15 = 1.0614, kA16 = 1.25, kA17 = 1.7973, kA18 = 1.8,
                 kA19 = 2.163, kA20 = 2.5, kA21 = 8.5245, kA22 = 11.346;

using TSixMoments = std::array<double, 6>;

bool AllFinite(const TJohnsonMomentFit& fit) {
    return std::isfinite(fit.Gamma) && std::isfinite(fit.Delta) && std::isfinite(fit.Lambda) &&
           std::isfinite(fit.Xi);
}

// w = exp(delta^-2) of the log-normal with skewness sqrt(b1): the real root of
// (w - 1)(w + 2)^2 = b1, by Cardano.
double LognormalW(double absSkew) {
    const double b1 = absSkew * absSkew;
    const double u = std::cbrt(0.5 * b1 + 1 + absSkew * std::sqrt(0.25 * b1 + 1));
    return u + 1 / u - 1;
}

// The kurtosis of the log-normal with that w.
double LognormalKurtosis(double w) { return w * w * (3 + w * (2 + w)) - 3; }

// The two points and the weight of the upper one: Xi the lower point, Lambda the upper point,
// Delta the probability of the upper point.
TJohnsonMomentFit TwoPoint(double mean, double sd, double skewness) {
    const double b1 = skewness * skewness;
    double upperWeight = 0.5 + 0.5 * std::sqrt(1 - 4 / (b1 + 4));
    if (skewness > 0) upperWeight = 1 - upperWeight;
    const double gap = sd / std::sqrt(upperWeight * (1 - upperWeight));
    TJohnsonMomentFit fit;
    fit.Type = kJohnsonTwoPoint;
    fit.Xi = mean - upperWeight * gap;
    fit.Lambda = fit.Xi + gap;
    fit.Delta = upperWeight;
    return fit;
}

// z = gamma + delta x.
TJohnsonMomentFit Normal(double mean, double sd) {
    TJohnsonMomentFit fit;
    fit.Type = kJohnsonNormal;
    fit.Delta = 1 / sd;
    fit.Gamma = -mean / sd;
    return fit;
}

// z = gamma + delta ln((x - xi) / lambda) with lambda = +-1, the sign of the skewness.
TJohnsonMomentFit Lognormal(double mean, double sd, double skewness) {
    const double w = LognormalW(std::fabs(skewness));
    const double logW = std::log(w);
    if (!(logW > 0)) return Normal(mean, sd); // no skewness left to give a tail
    TJohnsonMomentFit fit;
    fit.Type = kJohnsonSL;
    fit.Lambda = skewness < 0 ? -1 : 1;
    fit.Delta = 1 / std::sqrt(logW);
    // The variance of exp((z - gamma)/delta) is w (w - 1) exp(-2 gamma/delta).
    fit.Gamma = 0.5 * fit.Delta * (std::log(w * (w - 1)) - 2 * std::log(sd));
    // Its mean is exp((1/(2 delta) - gamma)/delta).
    fit.Xi = mean - fit.Lambda * std::exp((0.5 / fit.Delta - fit.Gamma) / fit.Delta);
    return fit;
}

// Johnson's iteration for the SU curve: w = exp(delta^-2) and m (with Omega = gamma/delta,
// m = w sinh^2 Omega) so that the skewness squared and the kurtosis are met. False when it does
// not settle or would take the square root of a non-positive number.
bool FitSU(double mean, double sd, double skewness, double kurtosis, TJohnsonMomentFit& fit) {
    const double b1 = skewness * skewness;
    const double b2 = kurtosis;
    const double excess = b2 - 3;
    auto rootOf = [](double value, double& root) {
        if (!(value > 0)) return false;
        root = std::sqrt(value);
        return true;
    };
    // First estimate of w: exact for the symmetric curve, whose kurtosis is (w^4 + 2w^2 + 3)/2.
    double w = 0;
    if (!rootOf(2 * b2 - 2.8 * b1 - 2, w) || !rootOf(w - 1, w)) return false;
    double m = 0;
    if (std::fabs(skewness) > kTypeTolerance) {
        for (int pass = 1;; ++pass) {
            if (pass > kSuMaxPasses) return false;
            // m from the kurtosis at this w (the root of a quadratic), then the skewness squared
            // that (w, m) give.
            const double wPlus = w + 1, wMinus = w - 1;
            const double z0 = wPlus * excess;
            const double v0 = w * (6 + w * (3 + w));
            const double a = 8 * (wMinus * (3 + w * (7 + v0)) - z0);
            const double b = 16 * (wMinus * (6 + v0) - excess);
            double root = 0;
            if (!rootOf(a * a - 2 * b * (wMinus * (3 + w * (9 + w * (10 + v0))) - 2 * wPlus * z0), root))
                return false;
            m = (root - a) / b;
            const double impliedB1 = m * wMinus * std::pow(4 * (w + 2) * m + 3 * wPlus * wPlus, 2) /
                                     (2 * std::pow(2 * m + wPlus, 3));
            // The next w from the kurtosis with that skewness.
            const double v = w * w;
            if (!rootOf(1 - 2 * (1.5 - b2 + b1 * (b2 - 1.5 - v * (1 + 0.5 * v)) / impliedB1), w) ||
                !rootOf(w - 1, w))
                return false;
            if (std::fabs(b1 - impliedB1) <= kSuTolerance) break;
        }
        m /= w;
        if (!(m >= 0)) return false;
        m = std::asinh(std::sqrt(m)); // now Omega
        if (skewness > 0) m = -m;
    }
    const double logW = std::log(w);
    if (!(logW > 0)) return false;
    const double omega = m;
    fit.Type = kJohnsonSU;
    fit.Delta = std::sqrt(1 / logW);
    fit.Gamma = omega * fit.Delta;
    // The SU variance is lambda^2 (w - 1)(w cosh(2 Omega) + 1)/2 and its mean
    // xi - lambda sqrt(w) sinh(Omega).
    fit.Lambda = sd / std::sqrt(0.5 * (w - 1) * (w * std::cosh(2 * omega) + 1));
    fit.Xi = mean + fit.Lambda * std::sqrt(w) * std::sinh(omega);
    return AllFinite(fit);
}

// The first six moments about 0 of y = 1/(1 + exp((g - z)/d)), z standard normal (the SB curve
// z = g + d ln(y/(1 - y)) on the unit interval), by Goodwin's rule: the integral of
// f(x) exp(-x^2) is h times the sum of f(nh) exp(-(nh)^2), with h halved until the moments
// settle. False when they do not.
bool SbMoments(double g, double d, TSixMoments& moments) {
    const double centre = g / d;
    if (centre > kMomentMaxExponent) return false;
    const double centreDenominator = std::exp(centre) + 1;
    const double slope = std::sqrt(2.0) / d;
    const double invRootPi = 1 / std::sqrt(std::acos(-1.0));
    double h = d < 3 ? 0.25 * d : 0.75;
    TSixMoments previous{};
    for (int halving = 1;; ++halving) {
        if (halving > kMomentMaxTerms) return false;
        if (halving > 1) {
            previous = moments;
            h *= 0.5;
        }
        // The term at x = 0.
        moments[0] = 1 / centreDenominator;
        for (std::size_t k = 1; k < 6; ++k)
            moments[k] = moments[k - 1] / centreDenominator;
        const double step = slope * h;
        double below = centre; // (g - z)/d at z = +sqrt(2) n h
        double above = centre; // (g - z)/d at z = -sqrt(2) n h
        double square = h * h; // (nh)^2, stepped by its differences
        double increment = h * h;
        for (int n = 1;; ++n) {
            if (n > kMomentMaxTerms) return false;
            const TSixMoments before = moments;
            below -= step;
            above += step;
            const double denominatorBelow = 1 + (below > -kMomentNegligibleExponent ? std::exp(below) : 0.0);
            bool aboveNegligible = above > kMomentNegligibleExponent;
            const double denominatorAbove = aboveNegligible ? 0.0 : std::exp(above) + 1;
            const double weight = std::exp(-square);
            double termBelow = weight, termAbove = weight;
            for (std::size_t k = 0; k < 6; ++k) {
                termBelow /= denominatorBelow;
                const double sum = moments[k] + termBelow;
                if (sum == moments[k]) break; // higher powers add even less
                moments[k] = sum;
                if (!aboveNegligible) {
                    termAbove /= denominatorAbove;
                    const double withAbove = moments[k] + termAbove;
                    aboveNegligible = withAbove == moments[k];
                    moments[k] = withAbove;
                }
            }
            increment += 2 * h * h;
            square += increment;
            bool settled = true;
            for (std::size_t k = 0; k < 6; ++k) {
                if (moments[k] == 0) return false;
                if (std::fabs((moments[k] - before[k]) / moments[k]) > kSeriesTolerance) {
                    settled = false;
                    break;
                }
            }
            if (settled) break;
        }
        for (double& moment : moments)
            moment *= invRootPi * h;
        bool settled = true;
        for (std::size_t k = 0; k < 6; ++k) {
            if (moments[k] == 0) return false;
            if (std::fabs((moments[k] - previous[k]) / moments[k]) > kMomentTolerance) {
                settled = false;
                break;
            }
        }
        if (settled) return true;
    }
}

// The SB curve by Newton's method on (gamma, delta), fitted to the absolute skewness (gamma >= 0)
// and mirrored for a negative one. False when the iteration fails.
bool FitSB(double mean, double sd, double skewness, double kurtosis, TJohnsonMomentFit& fit) {
    const double rb1 = std::fabs(skewness);
    const double b1 = rb1 * rb1;
    const double b2 = kurtosis;

    // First estimate of delta, from where the kurtosis lies between the two-point boundary
    // (fraction 0) and the log-normal line (fraction 1).
    const double w = LognormalW(rb1);
    const double boundary = b1 + 1;
    const double fraction = (b2 - boundary) / (LognormalKurtosis(w) - boundary);
    double f = 2;
    if (rb1 > kTypeTolerance) {
        const double d0 = 1 / std::sqrt(std::log(w));
        f = d0 < kA10 ? kA16 * d0 : 2 - kA21 / (d0 * (d0 * (d0 - kA19) + kA22));
    }
    f = fraction * f + 1;
    double d = f < kA18 ? kA13 * (f - 1) : (kA9 * f - kA4) * std::pow(3 - f, -kA5);
    // First estimate of gamma.
    double g = 0;
    if (b1 >= kSbStep) {
        if (d <= 1) {
            g = (kA12 * std::pow(d, kA17) + kA8) * std::pow(b1, kA6);
        } else {
            const double u = d > kA20 ? kA1 : kA2;
            const double y = d > kA20 ? kA7 : kA3;
            g = std::pow(b1, u * d + y) * (kA14 + d * (kA15 * d - kA11));
        }
    }

    TSixMoments mu{};
    double variance = 0;
    for (int pass = 1;; ++pass) {
        if (pass > kSbMaxPasses) return false;
        if (!(d > 0) || !std::isfinite(g) || !SbMoments(g, d, mu)) return false;
        const double mean1 = mu[0];
        variance = mu[1] - mean1 * mean1;
        if (!(variance > 0)) return false;
        const double third = mu[2] - mean1 * (3 * mu[1] - 2 * mean1 * mean1);
        const double fourth = mu[3] - mean1 * (4 * mu[2] - mean1 * (6 * mu[1] - 3 * mean1 * mean1));
        const double sdCube = variance * std::sqrt(variance);
        const double skewNow = third / sdCube;
        const double kurtNow = fourth / (variance * variance);

        // Derivatives of the skewness and kurtosis by gamma (j = 0) and by delta (j = 1), from
        // those of the moments: d mu_k/d gamma = k (mu_(k+1) - mu_k)/delta and, by Stein's
        // identity E[z h(z)] = E[h'(z)], d mu_k/d delta = k ((g d - k)(mu_k - mu_(k+1))
        // + (k + 1)(mu_(k+1) - mu_(k+2)))/delta^3.
        double dSkew[2] = {0, 0}, dKurt[2] = {0, 0};
        for (int j = 0; j < 2; ++j) {
            std::array<double, 4> dMu{};
            for (std::size_t k = 1; k <= 4; ++k) {
                const double m0 = mu[k - 1], m1 = mu[k], m2 = mu[k + 1];
                const double kk = static_cast<double>(k);
                const double s =
                    j == 0 ? m1 - m0 : ((g * d - kk) * (m0 - m1) + (kk + 1) * (m1 - m2)) / (d * d);
                dMu[k - 1] = kk * s / d;
            }
            const double dVariance = dMu[1] - 2 * mean1 * dMu[0];
            const double dThird = dMu[2] - 3 * (dMu[0] * mu[1] + mean1 * dMu[1]) + 6 * mean1 * mean1 * dMu[0];
            const double dFourth = dMu[3] - 4 * (dMu[0] * mu[2] + mean1 * dMu[2]) +
                                   6 * (2 * mean1 * dMu[0] * mu[1] + mean1 * mean1 * dMu[1]) -
                                   12 * mean1 * mean1 * mean1 * dMu[0];
            dSkew[j] = (dThird - 1.5 * third * dVariance / variance) / sdCube;
            dKurt[j] = (dFourth - 2 * fourth * dVariance / variance) / (variance * variance);
        }
        const double determinant = dSkew[0] * dKurt[1] - dSkew[1] * dKurt[0];
        if (!(std::fabs(determinant) > 0)) return false;
        const double stepG = (dKurt[1] * (skewNow - rb1) - dSkew[1] * (kurtNow - b2)) / determinant;
        const double stepD = (dSkew[0] * (kurtNow - b2) - dKurt[0] * (skewNow - rb1)) / determinant;
        if (!std::isfinite(stepG) || !std::isfinite(stepD)) return false;
        g -= stepG;
        if (b1 == 0 || g < 0) g = 0;
        d -= stepD;
        if (std::fabs(stepG) <= kSbStep && std::fabs(stepD) <= kSbStep) break;
    }
    if (!(d > 0)) return false;
    fit.Type = kJohnsonSB;
    fit.Delta = d;
    fit.Lambda = sd / std::sqrt(variance);
    double unitMean = mu[0];
    if (skewness < 0) { // mirror: y -> 1 - y turns gamma into -gamma
        fit.Gamma = -g;
        unitMean = 1 - unitMean;
    } else {
        fit.Gamma = g;
    }
    fit.Xi = mean - fit.Lambda * unitMean;
    return AllFinite(fit);
}

} // namespace

namespace {

TJohnsonMomentFit FitFromMoments(double mean, double sd, double skewness, double kurtosis) {
    TJohnsonMomentFit fit;
    if (sd < 0) {
        fit.Status = 1;
        return fit;
    }
    if (!std::isfinite(mean) || !std::isfinite(sd) || !std::isfinite(skewness) || !std::isfinite(kurtosis)) {
        fit.Status = 2;
        return fit;
    }
    if (sd == 0) {
        fit.Type = kJohnsonTwoPoint;
        fit.Xi = mean;
        return fit;
    }
    const double b1 = skewness * skewness;
    const double b2 = kurtosis;
    if (b2 < b1 + 1) {
        fit.Status = 2;
        return fit;
    }
    if (b2 <= b1 + 1 + kTypeTolerance) return TwoPoint(mean, sd, skewness);
    if (std::fabs(skewness) <= kTypeTolerance && std::fabs(b2 - 3) <= kTypeTolerance) return Normal(mean, sd);

    // Above the log-normal line lies SU, below it SB.
    const double aboveLine = b2 - LognormalKurtosis(LognormalW(std::fabs(skewness)));
    if (std::fabs(aboveLine) <= kTypeTolerance) return Lognormal(mean, sd, skewness);
    if (aboveLine > 0) {
        if (!FitSU(mean, sd, skewness, kurtosis, fit)) {
            fit = TJohnsonMomentFit{};
            fit.Type = kJohnsonSU;
            fit.Status = 10;
        }
        return fit;
    }
    if (FitSB(mean, sd, skewness, kurtosis, fit)) return fit;

    // The SB iteration failed: what the moments are close to stands for it.
    if (b2 > b1 + 2) {
        fit = std::fabs(skewness) <= kTypeTolerance ? Normal(mean, sd) : Lognormal(mean, sd, skewness);
    } else {
        fit = TwoPoint(mean, sd, skewness);
    }
    fit.Status = 3;
    return fit;
}

} // namespace

TJohnsonMomentFit JohnsonFromMoments(double mean, double sd, double skewness, double kurtosis) {
    TJohnsonMomentFit fit = FitFromMoments(mean, sd, skewness, kurtosis);
    // Moments at the ends of the number range (a spread of 1e-320, a mean of 1e300 over a spread
    // of 1e-300) give parameters no number holds.
    if (!AllFinite(fit)) {
        fit = TJohnsonMomentFit{};
        fit.Status = 2;
    }
    return fit;
}

} // namespace kivspc
