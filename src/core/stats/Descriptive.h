// SPDX-License-Identifier: GPL-3.0-or-later
// Descriptive statistics of the current sample SampleX[1..SampleN]: location, spread, order
// statistics, mode, moving ranges, quantiles, counts beyond a limit and shape statistics. The
// results go to the one result record SampleStats; 999 marks a value that cannot be formed.
//
// Routines that sort (OrderStatistics, SampleMode for n >= 3, BasicStatistics, SpreadTies)
// reorder SampleX; MovingRangeStatistics overwrites it with the sorted moving ranges.
// A SampleN beyond the buffer is read as the buffer's length, a negative one as 0.
#pragma once

#include "app/MissingValue.h"

namespace kivspc {

// "Not available" in every shape statistic, test statistic and p-value.
inline constexpr double NotAvailable = 999.0;

struct TSampleStats {
    Extended NReal = 0;
    Extended Sum = 0;
    Extended Mean = 0;
    Extended StdDev = 0;      // divisor n - 1
    Extended Variance = 0;    // divisor n - 1
    Extended PopVariance = 0; // divisor n
    double Minimum = 0;
    double Maximum = 0;
    double Range = 0;
    Extended Median = 0;
    double Mode = 0;
    double SmallestGap = 0;
    Extended MeanMovingRange = 0;
    Extended SigmaMR = 0;
    Extended MedianMovingRange = 0;
    Extended SigmaMedianMR = 0;
    Extended Skewness = 0;    // g1
    Extended Kurtosis = 0;    // g2, excess kurtosis
    Extended SkewnessAdj = 0; // G1
    Extended KurtosisAdj = 0; // G2
    Extended LowerNatural = 0;
    Extended UpperNatural = 0;
    // Tests of normality (stats/Normality.h).
    double SWW = 0;
    double SWP = 0;
    double ADStar = 0;
    double ADP = 0;
    double LMR = 0;
    double LMP = 0;
    double KurtosisP = 0;
};

extern TSampleStats SampleStats;

void MeanOnly();
void MeanAndStdDev();
// Minimum, Maximum and Range without reordering the sample.
void FindMinMax();
// Ascending, in place, over SampleX[lo..hi].
void SortSample(int lo, int hi);
// Sorts the sample; Minimum, Maximum, Range, Median.
void OrderStatistics();
void SampleMode();
// OrderStatistics, then MeanAndStdDev.
void BasicStatistics();
// Needs MeanAndStdDev of the same sample first.
void ShapeStatistics();
// Leaves the n - 1 moving ranges, sorted, in SampleX[1..n-1]; SampleN is kept.
void MovingRangeStatistics();
// The value at cumulative proportion p of the sorted sample (plotting position (i - 0.3)/(n + 0.4)).
Extended SampleQuantile(Extended p);
// Values strictly above / below x.
void CountAbove(int& count, Extended x);
void CountBelow(int& count, Extended x);
// Sorts the sample and spreads every run of equal values evenly inside half the smallest gap.
void SpreadTies();
// BasicStatistics, then by code: 'T' Shapiro-Wilk, shape statistics, Lin-Mudholkar and
// Anderson-Darling; 'S' shape; 'L' Lin-Mudholkar; 'A' Anderson-Darling; 'I' confidence
// intervals; 'N' natural limits.
void ComputeStatistics(char code);

Extended SDFromSums(Extended n, Extended sum, Extended sumSq);
Extended VarianceFromSums(Extended n, Extended sum, Extended sumSq);

// Zeroes SampleStats and empties the sample count (the buffer keeps its size).
void ResetDescriptiveState();

} // namespace kivspc
