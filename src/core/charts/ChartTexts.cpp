// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ChartTexts.h"

namespace kivspc {

TChartTextMemory ChartTextMemory;

} // namespace kivspc
