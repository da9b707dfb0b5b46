// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of normality over the current sample: Shapiro-Wilk W (algorithm AS R94 with a cache of
// its coefficients), Anderson-Darling A*, the Lin-Mudholkar correlation, and the skewness and
// kurtosis tests. Results go to SampleStats (SWW, SWP, ADStar, ADP, LMR, LMP, KurtosisP); 999
// marks a statistic or p-value that is not available.
#pragma once

#include "app/MissingValue.h"

#include <initializer_list>
#include <span>
#include <string>

namespace kivspc {

// sortFirst = false expects a sample sorted by OrderStatistics (Range is taken from it).
void ShapiroWilkTest(bool sortFirst);
// Fills the coefficient cache for n (nothing when it already holds n or n < 3).
void ShapiroWilkCoefficients(int n);
// a[1..n div 2] of the cache and the n it holds (0 when empty); index 0 unused.
const double* ShapiroWilkCoefficientData();
int ShapiroWilkCoefficientN();

// Needs a sorted sample and MeanAndStdDev.
void AndersonDarlingTest();
Extended AndersonDarlingP(Extended aStar);

// Needs MeanAndStdDev.
void LinMudholkarTest();
Extended LinMudholkarP(int n, Extended r);

// p-value of the sample skewness g1 (999 for n < 8).
Extended SkewnessTestP(int n, Extended g1);
// Sets SampleStats.KurtosisP for the excess kurtosis g2 and gives the band text of the table.
void KurtosisTest(int n, std::string& text, Extended g2);

// c[0] + c[1] x + ... + c[k] x^k by Horner's rule (k is limited to the coefficients given).
Extended EvalPolynomial(std::span<const double> c, int k, Extended x);
Extended EvalPolynomial(std::span<const Extended> c, int k, Extended x);
Extended EvalPolynomial(std::initializer_list<double> c, int k, Extended x);

// Empties the Shapiro-Wilk coefficient cache.
void ResetNormalityState();

} // namespace kivspc
