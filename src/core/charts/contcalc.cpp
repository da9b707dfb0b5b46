// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/contcalc.h"

#include "app/Messages.h"
#include "app/NumberFormat.h"
#include "app/Platform.h"
#include "app/TextTools.h"
#include "output/ReditU.h"
#include "stats/ControlLimits.h"

#include <cmath>

namespace kivspc {

namespace {

double NumberOf(const std::string& text) {
    double v = 0;
    return ConvertNumber(TrimBlanks(text), v) ? v : 0;
}

bool PageInRange(int page) { return page >= 1 && page <= kCalculatorPages; }

double SampleSizeOf(const TControlLimitInput& input) {
    return input.Page == 9 ? 1.0 : NumberOf(input.NText);
}

int FontSize(double points, double scale) { return static_cast<int>(std::nearbyint(points * scale)); }

} // namespace

std::string ControlLimitPageCaption(int page) {
    static const char* const kCaptions[] = {"X-Bar", "Median", "X", "R", "s", "s\u00B2", "p", "np", "c", "u"};
    return PageInRange(page) ? kCaptions[page - 1] : std::string();
}

std::string ControlLimitMethodCaption(int page) { return page >= 7 ? "Method" : "Statistic Used"; }

std::vector<std::string> ControlLimitMethodItems(int page) {
    switch (page) {
    case 1:
        return {"Average Range",    "Median Range",        "Average Std Dev",   "Median Std Dev", "Average Variance",
                "Avg MR of X-bars", "Median MR of X-bars", "Std Dev of X-bars", "Known Std Dev"};
    case 2:
        return {"Average Range",     "Median Range",      "Average Std Dev",    "Median Std Dev", "Average Variance",
                "Avg MR of Medians", "Med MR of Medians", "Std Dev of Medians", "Known Std Dev"};
    case 3: return {"Average MR", "Median MR", "Std Dev (k values)", "Known Std Dev"};
    case 4:
    case 5:
    case 6:
        return {"Average Range", "Median Range", "Average Std Dev", "Median Std Dev", "Average Variance",
                "Known Std Dev"};
    case 7:
    case 8: return {"Approximate", "Exact Binomial"};
    case 9:
    case 10: return {"Approximate", "Exact Poisson"};
    default: return {};
    }
}

bool ControlLimitUsesSampleSize(int page, int method) { return page != 9 && !(page == 3 && method == 4); }

ControlLimitInputError CheckControlLimitInput(const TControlLimitInput& input) {
    if (NumberOf(input.StatisticText) == 0) {
        ShowError("Statistic must be greater then 0!");
        return ControlLimitInputError::Statistic;
    }
    if (ControlLimitUsesSampleSize(input.Page, input.Method) && SampleSizeOf(input) == 0) {
        ShowError("n must be greater then 0!");
        return ControlLimitInputError::SampleSize;
    }
    return ControlLimitInputError::None;
}

void WriteControlLimitReport(const TControlLimitInput& input) {
    if (!PageInRange(input.Page)) return;
    ClearOutputDocument();
    BusyCursor busy;
    const int d = std::max(input.Decimals, 0);
    const double n = SampleSizeOf(input);
    double centerline = NumberOf(input.CentreText);
    double sigma = 0;
    double lcl = 0;
    double ucl = 0;
    const std::int32_t status =
        ComputeControlLimits(static_cast<std::uint8_t>(input.Page), static_cast<std::uint8_t>(input.Method),
                             centerline, sigma, lcl, ucl, n, NumberOf(input.KText), NumberOf(input.StatisticText));

    const std::vector<std::string> items = ControlLimitMethodItems(input.Page);
    const std::string item =
        input.Method >= 1 && static_cast<std::size_t>(input.Method) <= items.size() ? items[static_cast<std::size_t>(input.Method) - 1] : "";

    SetUnderlinedHeadingFont(FontSize(10, input.TextScale));
    WriteOutputLine("Control Limit Calculations:  " + ControlLimitPageCaption(input.Page) + " Chart");
    SetBodyFont(FontSize(8, input.TextScale));
    WriteBlankLine();
    if (input.Page <= 6) WriteOutputLine("Statistic used: " + item + " = " + input.StatisticText);
    else WriteOutputLine("Method used: " + item);
    WriteOutputLine("Standard Errors = " + input.KText);
    WriteBlankLine();
    if (status > 0) {
        Beep();
        WriteOutputLine(ControlLimitStatusText(status));
        return;
    }
    auto F = [d](double x) { return FormatFixed(d, x); };
    const std::string upper = status == kLimitsNoUpper ? PadLeft("none", 15) : PadRight(F(ucl), 15);
    const std::string label = input.Page <= 6 ? "sigma" : "   SE";
    WriteOutputLine("       UCL = " + upper + label + " = " + F(sigma));
    WriteOutputLine("Centerline = " + PadRight(F(centerline), 19) + "n = " + FormatFixed(input.Page == 10 ? d : 0, n));
    WriteOutputLine("       LCL = " + (status == kLimitsNoLower ? std::string("none") : F(lcl)));
}

} // namespace kivspc
