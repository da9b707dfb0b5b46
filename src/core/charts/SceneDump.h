// SPDX-License-Identifier: GPL-3.0-or-later
// A chart scene as text: every panel, axis and element with its fields, one item per line and
// numbers in their shortest round-trip form. Two scenes draw the same picture exactly when their
// texts are equal, so the text is what the golden files of the charts keep.
#pragma once

#include "charts/ChartScene.h"

#include <string>

namespace kivspc {

std::string DumpScene(const TChartScene& scene);

} // namespace kivspc
