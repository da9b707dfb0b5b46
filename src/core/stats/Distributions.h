// SPDX-License-Identifier: GPL-3.0-or-later
// Special functions and probability distributions: the gamma and beta families, normal, t,
// chi-square and F tails and their inverses, binomial and Poisson probabilities and a normal
// random generator. Everything is computed in extended precision.
//
// Tail mode: 1 = one-tailed (upper tail), 2 = two-tailed; any other value behaves like 1.
// Failures leave a status in StatErrorCode (10 failed iteration, 99 incomplete beta outside
// 0..1, 1 binomial coefficient out of range) and never throw.
#pragma once

#include "app/MissingValue.h"

#include <cstdint>
#include <string>

namespace kivspc {

Extended Power(Extended base, Extended exponent);
Extended RealMin(Extended a, Extended b);
Extended RealMax(Extended a, Extended b);
int IntMin(int a, int b);
int IntMax(int a, int b);
// Sets StatErrorCode to 10 and shows "Error in Statistical Routine " + routine.
void StatError(const std::string& routine);

Extended LnGamma(Extended x);
Extended LnFactorial(int n);
// Series for the regularised lower incomplete gamma P(a, x); gln receives ln Gamma(a).
void GSER(Extended a, Extended x, Extended& result, Extended& gln);
// Continued fraction for the regularised upper incomplete gamma Q(a, x).
void GCF(Extended a, Extended x, Extended& result, Extended& gln);
Extended GAMMP(Extended a, Extended x);
Extended BETACF(Extended a, Extended b, Extended x);
Extended IncompleteBeta(Extended a, Extended b, Extended x);

Extended Sinh(Extended x);
Extended ArcSinh(Extended x);
Extended ArcCosh(Extended x);
Extended Sign(Extended x);
Extended Log10(Extended x);
Extended PowerOfTen(int k);

Extended ApplyTailMode(int mode, Extended p);
void UpperTailOf(Extended& p, int mode);
// kind: 1 normal, 2 Student t, 3 chi-square.
void RefineQuantile(Extended& x, int kind, Extended df, Extended target);

Extended NormalProb(int mode, Extended z);
Extended NormalProbSeries(int mode, Extended z);
Extended InvNormal(int mode, Extended p);
Extended TProb(int mode, Extended t, Extended df);
Extended InvT(int mode, Extended p, Extended df);
Extended ChiSqProb(int mode, Extended x, Extended df);
Extended InvChiSq(int mode, Extended p, Extended df);
Extended FProb(int mode, Extended f, Extended df1, Extended df2);

Extended GaussRandom();
Extended NormalRandom(Extended mean, Extended sd);
// The uniform generator on [0, 1) behind GaussRandom (seeded from the clock at start-up).
double UniformRandom();
void SeedRandom(std::uint64_t seed);

Extended BinomialProbability(int k, int n, Extended p);
Extended BinomialUpperTail(int k, int n, Extended p);
Extended PoissonProbability(Extended lambda, int k);
Extended PoissonUpperTail(Extended lambda, Extended k);

// Empties the cached second normal deviate (new runs and tests).
void ResetDistributionState();

} // namespace kivspc
