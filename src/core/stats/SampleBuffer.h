// SPDX-License-Identifier: GPL-3.0-or-later
// The current sample: the one program-wide buffer of extracted values, SampleX[1..SampleN].
#pragma once

#include <vector>

namespace kivspc {

extern std::vector<double> SampleX; // index 0 unused
extern int SampleN;

} // namespace kivspc
