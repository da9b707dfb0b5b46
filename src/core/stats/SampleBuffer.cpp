// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/SampleBuffer.h"

namespace kivspc {

std::vector<double> SampleX(1, 0.0);
int SampleN = 0;

} // namespace kivspc
