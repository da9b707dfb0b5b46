// SPDX-License-Identifier: GPL-3.0-or-later
// The distribution calculator's four questions about the fitted model and, beside it, the data
// (the proportion below or above a value, the value below or above a proportion), shown as a
// percent, a proportion, ppm or ppb; and the parameters a user types instead of fitting them.
#pragma once

#include <array>
#include <string>

namespace kivspc {

// "Percent", "Proportion", "ppm", "ppb".
struct TDistCalcScale {
    const char* Caption;
    double Factor;
    const char* Suffix;   // after a proportion shown on this scale
    const char* UnitText; // beside the input box of the value questions
};
const TDistCalcScale& DistCalcScale(int display);

// "Proportion Below", "Proportion Above", "Value (Given Upper-Proportion)",
// "Value (Given Lower-Proportion)" with their three labels.
struct TDistCalcQuestion {
    const char* Caption;
    const char* InputLabel;
    const char* ResultLabel;
    const char* ObservedLabel;
};
const TDistCalcQuestion& DistCalcQuestion(int question);
inline constexpr int kDistCalcQuestions = 4;
inline constexpr int kDistCalcScales = 4;

struct TDistCalcResult {
    std::string Estimated, Observed;
};
// The fitted model's answer (FittedCDF, FittedQuantile) and the current sample's (counts or the
// sample quantile) to `question` for the typed `input`, on scale `display` with `decimals`.
// "Error" for a proportion outside 0..1 or an input that is not a number.
TDistCalcResult DistCalcCompute(int question, int display, int decimals, const std::string& input);

// The fixed-parameter types of the "Distribution Type:" list: "None", "Normal", "Exponential",
// ... "Rayleigh", with the labels of their boxes (empty: the box is hidden).
inline constexpr int kFixedTypes = 11;
const char* FixedTypeName(int type);
std::array<std::string, 4> FixedTypeLabels(int type);
// The entry of the analysis window's distribution list a type selects.
int FixedTypeDistKind(int type);
// The typed boxes checked by the type's rules; the message of the last rule broken (empty when
// the entries are valid).
std::string FixedParametersProblem(int type, const std::array<std::string, 4>& boxes);
// Installs valid typed parameters for the next fit (FitState.FixedKind and FixedValues); false,
// with fixed parameters switched off, when they are not valid.
bool SetFixedParameters(int type, const std::array<std::string, 4>& boxes);
// The type and box texts that hold the fitted model of `distKind` (FitState, JohnsonO); type 0
// and empty texts for "None" or no usable fit.
struct TFixedEntries {
    int Type = 0;
    std::array<std::string, 4> Boxes;
};
TFixedEntries FittedParameterEntries(int distKind);

} // namespace kivspc
