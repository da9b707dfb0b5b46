// SPDX-License-Identifier: GPL-3.0-or-later
// The control limit calculator: ten chart kinds, a statistic, a subgroup size and a number of
// standard errors in, a short report of centerline, sigma and limits out.
#pragma once

#include <string>
#include <vector>

namespace kivspc {

inline constexpr int kCalculatorPages = 10;

// "X-Bar", "Median", "X", "R", "s", "s²", "p", "np", "c", "u" (page 1..10).
std::string ControlLimitPageCaption(int page);
// The radio group caption of a page: "Statistic Used" or "Method".
std::string ControlLimitMethodCaption(int page);
// The method items of a page, in order (method 1 first).
std::vector<std::string> ControlLimitMethodItems(int page);

// One page's inputs as typed.
struct TControlLimitInput {
    int Page = 1;
    int Method = 1; // 1-based item of the page's radio group
    std::string CentreText = "0";
    std::string StatisticText = "0";
    std::string NText = "0";
    std::string KText = "3";
    int Decimals = 4;
    double TextScale = 1;
};

enum class ControlLimitInputError { None, Statistic, SampleSize };

// Page 3 with "Known Std Dev": the subgroup size is neither shown nor used.
bool ControlLimitUsesSampleSize(int page, int method);
// The checks of the calculator's action; an error has been shown (with a beep) when the result
// is not None, and the edit it names takes the focus.
ControlLimitInputError CheckControlLimitInput(const TControlLimitInput& input);
// Clears the current output document and writes the calculation's report into it.
void WriteControlLimitReport(const TControlLimitInput& input);

} // namespace kivspc
