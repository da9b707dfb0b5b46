// SPDX-License-Identifier: GPL-3.0-or-later
// The control limit calculator: ten chart kinds, a statistic, a subgroup size and a number of
// standard errors in, a short report of centerline, sigma and limits out.
#pragma once

#include "stats/ControlLimits.h"

#include <string>
#include <vector>

namespace kivspc {

// One page per kind of kCalculatorChartKinds, numbered from 1 (CalculatorPageOf).
inline constexpr int kCalculatorPages = static_cast<int>(kCalculatorChartKinds.size());

// "X-Bar", "Median", "X", "R", "s", "s²", "p", "np", "c", "u".
std::string ControlLimitPageCaption(TChartKind page);
// The radio group caption of a page: "Statistic Used" or "Method".
std::string ControlLimitMethodCaption(TChartKind page);
// The method items of a page, in the order of the chart's method numbers (method 1 first).
std::vector<std::string> ControlLimitMethodItems(TChartKind page);

// One page's inputs as typed.
struct TControlLimitInput {
    TChartKind Page = kChartMean;
    int Method = 1; // 1-based item of the page's radio group: the chart's method number
    std::string CentreText = "0";
    std::string StatisticText = "0";
    std::string NText = "0";
    std::string KText = "3";
    int Decimals = 4;
    double TextScale = 1;
};

// The edit whose text the action cannot use.
enum class ControlLimitInputError { None, Centre, Statistic, SampleSize, StdErrors };

// The first edit, in the order of the page, whose text is not a number, is beyond the range of
// numbers, or is not above 0 (the statistic and n) or below 0 (the number of standard errors; 0
// is left to the report's "Statistic = 0"); `message` says why. An empty text reads as 0.
ControlLimitInputError FindControlLimitInputError(const TControlLimitInput& input, std::string& message);
// The checks of the calculator's action; an error has been shown (with a beep) when the result
// is not None, and the edit it names takes the focus.
ControlLimitInputError CheckControlLimitInput(const TControlLimitInput& input);
// Clears the current output document and writes the calculation's report into it. The result
// columns widen for long values, so that they never run together.
void WriteControlLimitReport(const TControlLimitInput& input);

} // namespace kivspc
