// SPDX-License-Identifier: GPL-3.0-or-later
// Confidence intervals for the mean and the standard deviation of the current sample, Pearson
// correlation of accumulated pairs, and the p-value text used by the reports.
#pragma once

#include "app/MissingValue.h"

#include <string>

namespace kivspc {

class TConfI {
public:
    void SetAlpha(double alpha);
    // Takes Mean, StdDev and SampleN of the current sample, then Calculate.
    void Init();
    // A limit that does not exist (a chi-square quantile of 0) is MissingValue.
    void Calculate();

    double Mean = 0;
    double SD = 0;
    int N = 0;
    double MeanLower = 0;
    double MeanUpper = 0;
    double SDLower = 0;
    double SDUpper = 0;
    double Confidence = 0.95;
    double Alpha = 0.05;
};

class TCorr {
public:
    void Clear();
    // Ignored when either value is MissingValue.
    void Add(double x, double y);
    // r of the pairs so far; sets P and CannotCalculate. With exactly two pairs r is returned
    // but P is 999: the t statistic has no degrees of freedom.
    Extended Calculate();

    int Count = 0;
    Extended SumX2 = 0;
    Extended SumX = 0;
    Extended SumY = 0;
    Extended SumY2 = 0;
    Extended SumD = 0;  // sum of x - y
    Extended SumD2 = 0; // sum of (x - y)^2
    Extended SumXY = 0;
    bool CannotCalculate = false;
    double P = 0; // two-sided
};

// The program's one confidence-interval object (alpha 0.05) and correlation accumulator.
extern TConfI ConfI;
extern TCorr Corr;

// p with 3 decimals, followed by "*" when p <= alpha.
void FormatPValue(std::string& text, double p, double alpha);

// Alpha back to 0.05 and an empty correlation accumulator.
void ResetConfidenceCorrelationState();

} // namespace kivspc
