// SPDX-License-Identifier: GPL-3.0-or-later
// Special functions and probability distributions: the gamma and beta families, normal, t,
// chi-square and F tails and their inverses, binomial and Poisson probabilities and a normal
// random generator. Everything is computed in extended precision.
//
// The routines take their tail mode as a number (see TailMode); any value but 2 reads as 1.
// Failures leave a status in StatErrorCode (10 failed iteration, 99 incomplete beta outside
// 0..1, 1 binomial coefficient out of range) and never throw. No argument makes a routine crash
// or loop for long: a NaN argument gives NaN (or the documented failure value) and every
// iteration has a fixed limit.
#pragma once

#include "app/MissingValue.h"

#include <cstdint>
#include <string>

namespace kivspc {

// The tail a distribution routine reports or a quantile routine reads its probability as.
enum TailMode : int {
    kUpperTail = 1,
    // A probability beyond |x| on both sides; the quantiles read p up to 0.5 as such an alpha
    // and p above 0.5 as a central coverage.
    kTwoTailed = 2,
};
// The mode a routine's number stands for: 2 is two-tailed, every other number the upper tail.
constexpr TailMode TailModeOf(int mode) { return mode == kTwoTailed ? kTwoTailed : kUpperTail; }

// The distributions whose quantiles RefineQuantile improves.
enum QuantileKind : int {
    kQuantileNormal = 1,
    kQuantileStudentT = 2,
    kQuantileChiSquare = 3,
};
// The kind a number stands for: 2 and 3 as named, every other number the normal.
constexpr QuantileKind QuantileKindOf(int kind) {
    return kind == kQuantileStudentT || kind == kQuantileChiSquare ? static_cast<QuantileKind>(kind)
                                                                   : kQuantileNormal;
}

// Sets StatErrorCode to 10 and shows the warning "Error in Statistical Routine " + routine.
void StatError(const std::string& routine);
// Integer exponents multiply; others go through exp and ln, with underflow giving 0 and
// overflow the largest extended value. A negative base with a fractional exponent gives 0.
Extended Power(Extended base, Extended exponent);
Extended RealMin(Extended a, Extended b);
Extended RealMax(Extended a, Extended b);
int IntMin(int a, int b);
int IntMax(int a, int b);

// Six-term series; 0 for x <= 0 and x = 1.
Extended LnGamma(Extended x);
// ln(n!) from a 301-entry table built on first use, LnGamma(n + 1) above 300; 0 for n < 0.
Extended LnFactorial(Extended n);
// Series for the regularised lower incomplete gamma P(a, x), held at most 1; gln receives ln Gamma(a).
void GSER(Extended a, Extended x, Extended& result, Extended& gln);
// Continued fraction for the regularised upper incomplete gamma Q(a, x), held inside 0..1.
void GCF(Extended a, Extended x, Extended& result, Extended& gln);
// P(a, x), inside 0..1; a <= 0 or x < 0 warns through StatError and gives 0.
Extended GAMMP(Extended a, Extended x);
Extended BETACF(Extended a, Extended b, Extended x);
// I_x(a, b), held inside 0..1; x outside 0..1 gives 0 and StatErrorCode 99 without a message.
Extended IncompleteBeta(Extended a, Extended b, Extended x);

Extended Sinh(Extended x);
Extended ArcSinh(Extended x);
Extended ArcCosh(Extended x);
Extended Sign(Extended x);
Extended Log10(Extended x);
Extended PowerOfTen(int k);

Extended ApplyTailMode(int mode, Extended p);
void UpperTailOf(Extended& p, int mode);
// Bracketed Newton steps until the upper tail of the kind (a QuantileKind) at x is target
// (within 1e-10, or a bracket narrower than 1e-10, or 1000 passes).
void RefineQuantile(Extended& x, int kind, Extended df, Extended target);

// Polynomial approximation of the normal tail (absolute error below 7.5e-8): the fast path.
Extended NormalProb(int mode, Extended z);
// Taylor series of the normal tail, accurate far out (about 1e-19 absolute).
Extended NormalProbSeries(int mode, Extended z);
// The quantiles take p through UpperTailOf(p, mode) and read p <= 0 as 1e-9, p >= 1 as 1 - 1e-9.
// InvNormal is the root of NormalProb (not of the exact normal).
Extended InvNormal(int mode, Extended p);
// Tail beyond |t|: exact series for integer df 1..30, asymptotic series otherwise; df < 1 gives
// the tail of a distribution without degrees of freedom (one-tailed 0.5, two-tailed 1).
Extended TProb(int mode, Extended t, Extended df);
// 0 for df < 1.
Extended InvT(int mode, Extended p, Extended df);
// 1 for x <= 0 or df < 1; exact series up to 30 df, a normal approximation beyond.
Extended ChiSqProb(int mode, Extended x, Extended df);
// 0 for df <= 0; always positive for df >= 1.
Extended InvChiSq(int mode, Extended p, Extended df);
// A df that is not positive gives the one-tailed value 1 (no evidence).
Extended FProb(int mode, Extended f, Extended df1, Extended df2);

Extended GaussRandom();
Extended NormalRandom(Extended mean, Extended sd);
// The uniform generator on [0, 1) behind GaussRandom and the random transforms: a 64-bit
// Mersenne Twister seeded from the clock on first use.
double UniformRandom();
// Fixes the sequence (tests); also drops a cached normal deviate, so that everything drawn
// afterwards follows from the seed.
void SeedRandom(std::uint64_t seed);

// Sets StatErrorCode to 0, or to 1 (result 1) when C(n, k) leaves the extended range.
// Exact at p = 0 and p = 1; 0 for k outside 0..n.
Extended BinomialProbability(int k, int n, Extended p);
// P(X >= k): 1 for k <= 0, 0 for k > n.
Extended BinomialUpperTail(int k, int n, Extended p);
// 0 for lambda <= 0 or k < 0.
Extended PoissonProbability(Extended lambda, Extended k);
// P(X >= round(k)) as 1 minus the lower sum; 1 for k < 1.
Extended PoissonUpperTail(Extended lambda, Extended k);

// Empties the cached second normal deviate (new runs and tests).
void ResetDistributionState();

} // namespace kivspc
