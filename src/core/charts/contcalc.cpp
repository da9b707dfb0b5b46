// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/contcalc.h"

#include "app/Messages.h"
#include "app/NumberEntry.h"
#include "app/NumberFormat.h"
#include "app/Platform.h"
#include "app/TextTools.h"
#include "output/ReditU.h"
#include "stats/ControlLimits.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace kivspc {

namespace {

double NumberOf(const std::string& text) {
    double value = 0;
    return ConvertNumber(TrimBlanks(text), value) ? value : 0;
}

enum class TextReading { Number, NotNumber, OutOfRange };

// The value of an edit's text; an empty text is 0, as the action always read it.
TextReading ReadNumber(const std::string& text, double& value) {
    const std::string trimmed = TrimBlanks(text);
    value = 0;
    if (trimmed.empty() || ConvertNumber(trimmed, value)) return TextReading::Number;
    return HasNumberForm(trimmed) ? TextReading::OutOfRange : TextReading::NotNumber;
}

// "" when the text is a usable number, else why not, naming the edit.
std::string NumberProblem(const std::string& text, const std::string& name, double& value) {
    switch (ReadNumber(text, value)) {
    case TextReading::Number: return {};
    case TextReading::NotNumber: return name + " is not a number!";
    case TextReading::OutOfRange: return name + " is beyond the range of numbers!";
    }
    return {};
}

double SampleSizeOf(const TControlLimitInput& input) {
    return input.Page == kChartC ? 1.0 : NumberOf(input.NText);
}

// Window scaling gives scales of about 0.25 to 4; anything else is held to a font one could print.
int FontSize(double points, double scale) {
    const double size = points * scale;
    return static_cast<int>(std::nearbyint(std::isfinite(size) ? std::clamp(size, 1.0, 400.0) : points));
}

} // namespace

std::string ControlLimitPageCaption(TChartKind page) {
    switch (page) {
    case kChartMean: return "X-Bar";
    case kChartMedian: return "Median";
    case kChartX: return "X";
    case kChartRange: return "R";
    case kChartStdDev: return "s";
    case kChartVariance: return "s\u00B2";
    case kChartP: return "p";
    case kChartNP: return "np";
    case kChartC: return "c";
    case kChartU: return "u";
    case kChartNone:
    case kChartMovingRange:
    case kChartIndividualPoints: break; // no page of the calculator
    }
    return {};
}

std::string ControlLimitMethodCaption(TChartKind page) {
    return IsVariablesChart(page) ? "Statistic Used" : "Method";
}

std::vector<std::string> ControlLimitMethodItems(TChartKind page) {
    switch (page) {
    case kChartMean:
        return {"Average Range",       "Median Range",      "Average Std Dev",
                "Median Std Dev",      "Average Variance",  "Avg MR of X-bars",
                "Median MR of X-bars", "Std Dev of X-bars", "Known Std Dev"};
    case kChartMedian:
        return {"Average Range",     "Median Range",       "Average Std Dev",
                "Median Std Dev",    "Average Variance",   "Avg MR of Medians",
                "Med MR of Medians", "Std Dev of Medians", "Known Std Dev"};
    case kChartX: return {"Average MR", "Median MR", "Std Dev (k values)", "Known Std Dev"};
    case kChartRange:
    case kChartStdDev:
    case kChartVariance:
        return {"Average Range",  "Median Range",     "Average Std Dev",
                "Median Std Dev", "Average Variance", "Known Std Dev"};
    case kChartP:
    case kChartNP: return {"Approximate", "Exact Binomial"};
    case kChartC:
    case kChartU: return {"Approximate", "Exact Poisson"};
    case kChartNone:
    case kChartMovingRange:
    case kChartIndividualPoints: break; // no page of the calculator
    }
    return {};
}

ControlLimitInputError FindControlLimitInputError(const TControlLimitInput& input, std::string& message) {
    double value = 0;
    if (HasCentreInput(input.Page)) {
        message = NumberProblem(input.CentreText, "X", value);
        if (!message.empty()) return ControlLimitInputError::Centre;
    }
    message = NumberProblem(input.StatisticText, "Statistic", value);
    if (message.empty() && !(value > 0)) message = "Statistic must be greater than 0!";
    if (!message.empty()) return ControlLimitInputError::Statistic;
    if (LimitsUseSampleSize(input.Page, input.Method)) {
        message = NumberProblem(input.NText, "n", value);
        if (message.empty() && !(value > 0)) message = "n must be greater than 0!";
        if (!message.empty()) return ControlLimitInputError::SampleSize;
    }
    message = NumberProblem(input.KText, "Std Err", value);
    if (message.empty() && value < 0) message = "Std Err must be greater than 0!";
    if (!message.empty()) return ControlLimitInputError::StdErrors;
    return ControlLimitInputError::None;
}

ControlLimitInputError CheckControlLimitInput(const TControlLimitInput& input) {
    std::string message;
    const ControlLimitInputError error = FindControlLimitInputError(input, message);
    if (error != ControlLimitInputError::None) ShowError(message);
    return error;
}

void WriteControlLimitReport(const TControlLimitInput& input) {
    if (CalculatorPageOf(input.Page) == 0) return;
    ClearOutputDocument();
    BusyCursor busy;
    const int decimals = std::max(input.Decimals, 0);
    const double n = SampleSizeOf(input);
    double centerline = NumberOf(input.CentreText);
    double sigma = 0;
    double lcl = 0;
    double ucl = 0;
    const std::int32_t status =
        ComputeControlLimits(input.Page, static_cast<std::uint8_t>(input.Method), centerline, sigma, lcl, ucl,
                             n, NumberOf(input.KText), NumberOf(input.StatisticText));

    const std::vector<std::string> items = ControlLimitMethodItems(input.Page);
    const std::string item = input.Method >= 1 && static_cast<std::size_t>(input.Method) <= items.size()
                                 ? items[static_cast<std::size_t>(input.Method) - 1]
                                 : "";

    SetUnderlinedHeadingFont(FontSize(10, input.TextScale));
    WriteOutputLine("Control Limit Calculations:  " + ControlLimitPageCaption(input.Page) + " Chart");
    SetBodyFont(FontSize(8, input.TextScale));
    WriteBlankLine();
    const bool variables = IsVariablesChart(input.Page);
    WriteOutputLine(variables ? "Statistic used: " + item + " = " + input.StatisticText
                              : "Method used: " + item);
    WriteOutputLine("Standard Errors = " + input.KText);
    WriteBlankLine();
    if (status > 0) {
        Beep();
        WriteOutputLine(ControlLimitStatusText(status));
        return;
    }
    auto fixed = [decimals](double x) { return FormatFixed(decimals, x); };
    const std::string upperValue = status == kLimitsNoUpper ? "none" : fixed(ucl);
    const std::string centreValue = fixed(centerline);
    // The UCL column is 15 characters and the centerline's 4 more, so that the values after
    // "sigma = " and "n = " start in the same column. Long values widen both, keeping a blank
    // before the next label.
    const int upperChars = static_cast<int>(CharCount(upperValue));
    const int centreChars = static_cast<int>(CharCount(centreValue));
    const int width = std::max({15, upperChars + 1, centreChars + 1 - 4});
    const std::string upper =
        status == kLimitsNoUpper ? PadLeft(upperValue, width) : PadRight(upperValue, width);
    const std::string label = variables ? "sigma" : "   SE";
    WriteOutputLine("       UCL = " + upper + label + " = " + fixed(sigma));
    // Only the u chart's n, units of product, may be fractional.
    WriteOutputLine("Centerline = " + PadRight(centreValue, width + 4) +
                    "n = " + FormatFixed(input.Page == kChartU ? decimals : 0, n));
    WriteOutputLine("       LCL = " + (status == kLimitsNoLower ? std::string("none") : fixed(lcl)));
}

} // namespace kivspc
