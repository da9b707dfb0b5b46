// SPDX-License-Identifier: GPL-3.0-or-later
// The statistical library: special functions and distributions, descriptive statistics over
// the current sample, confidence intervals, correlation and tests of normality.
#pragma once

#include "stats/ConfidenceCorrelation.h"
#include "stats/Descriptive.h"
#include "stats/Distributions.h"
#include "stats/Normality.h"
#include "stats/SampleBuffer.h"

namespace kivspc {

// Start-up: alpha 0.05, an empty correlation accumulator, the random generator seeded from
// the clock.
void InitStatistics();

// Every piece of the library's module-level state back to its start-up value (tests): the
// result record, the sample count, the Shapiro-Wilk cache, the confidence and correlation
// objects and the distribution caches. The random generator is not reseeded.
void ResetStatisticsState();

} // namespace kivspc
