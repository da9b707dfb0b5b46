// SPDX-License-Identifier: GPL-3.0-or-later
// The capability and performance analysis without its window: what the analysis computes from
// the data table for the statistics table and the graphs.
#pragma once

namespace kivspc {

// The row statistics of the selected measure columns (the table's Selected marks), into the
// value cache's columns C+1 (mean), C+2 (standard deviation) and C+3 (count of valid values):
// every row that passes Process If gets the statistics of its valid values after the transform
// (a transform error is reported and switches the transform off; the values go on untransformed).
// A mean needs one value and a standard deviation two; rows left out by Process If count 0.
void ComputeRowStatistics();

} // namespace kivspc
