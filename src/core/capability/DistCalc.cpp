// SPDX-License-Identifier: GPL-3.0-or-later
#include "capability/DistCalc.h"

#include "app/NumberFormat.h"
#include "app/TextTools.h"
#include "stats/Descriptive.h"
#include "stats/Fit.h"
#include "stats/SampleBuffer.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace kivspc {

const TDistCalcScale& DistCalcScale(int display) {
    static const TDistCalcScale kScales[] = {{"Percent", 100, "%", "%"},
                                             {"Proportion", 1, "", ""},
                                             {"ppm", 1e6, " ppm", "ppm"},
                                             {"ppb", 1e9, " ppb", "ppb"}};
    return kScales[std::clamp(display, 0, kDistCalcScales - 1)];
}

const TDistCalcQuestion& DistCalcQuestion(int question) {
    static const TDistCalcQuestion kQuestions[] = {
        {"Proportion Below", "Value:", "Est. Proportion Below:", "Observed Below:"},
        {"Proportion Above", "Value:", "Est. Proportion Above:", "Observed Above:"},
        {"Value (Given Upper-Proportion)", "Proportion Above:", "Est. Value:", "Actual Value:"},
        {"Value (Given Lower-Proportion)", "Proportion Below:", "Est. Value:", "Actual Value:"}};
    return kQuestions[std::clamp(question, 0, kDistCalcQuestions - 1)];
}

TDistCalcResult DistCalcCompute(int question, int display, int decimals, const std::string& input) {
    const TDistCalcScale& scale = DistCalcScale(display);
    const int d = std::clamp(decimals, 1, 9);
    double x = 0;
    const std::string text = TrimBlanks(input);
    if (text.empty() || !ConvertNumber(text, x) || !std::isfinite(x)) return {"Error", "Error"};
    const int n = SampleN;
    const auto proportion = [&](long double p) {
        return FormatFixedFinite(d, scale.Factor * p) + scale.Suffix;
    };
    switch (std::clamp(question, 0, kDistCalcQuestions - 1)) {
    case 0: {
        int below = 0;
        CountBelow(below, x);
        return {proportion(FittedCDF(x)), n > 0 ? proportion(static_cast<long double>(below) / n) : "Error"};
    }
    case 1: {
        int above = 0;
        CountAbove(above, x);
        return {proportion(1 - FittedCDF(x)),
                n > 0 ? proportion(static_cast<long double>(above) / n) : "Error"};
    }
    default: {
        const double p = x / scale.Factor;
        if (!(p > 0 && p < 1)) return {"Error", "Error"};
        const double at = question == 2 ? 1 - p : p;
        return {FormatFixedFinite(d, FittedQuantile(at)),
                n > 0 ? FormatFixedFinite(d, SampleQuantile(at)) : "Error"};
    }
    }
}

namespace {

struct TFixedType {
    const char* Name;
    std::array<const char*, 4> Labels;
    int Kind;
};

const TFixedType kFixed[kFixedTypes] = {
    {"None", {"", "", "", ""}, kDistNone},
    {"Normal", {"Mean:", "Std Deviation:", "", ""}, kDistNormal},
    {"Exponential", {"Low:", "Mean:", "", ""}, kDistExponentialLow},
    {"Weibull (2 Param)", {"Beta (shape):", "Eta (scale):", "", ""}, kDistWeibull},
    {"Uniform", {"Low:", "High:", "", ""}, kDistUniform},
    {"Johnson Su", {"Nu:", "Gamma:", "Lambda:", "Epsilon:"}, kDistJohnson},
    {"Johnson Sb", {"Nu:", "Gamma:", "Lambda:", "Epsilon:"}, kDistJohnson},
    {"Johnson SL", {"Nu:", "Gamma:", "Epsilon:", ""}, kDistJohnson},
    {"Gamma", {"Min:", "Lambda (scale):", "Nu (shape):", ""}, kDistGammaLow},
    {"Beta", {"Min:", "Max:", "Gamma (shape):", "Nu (shape):"}, kDistBeta},
    {"Rayleigh", {"Min:", "Beta:", "", ""}, kDistRayleighLow},
};

const TFixedType& Fixed(int type) { return kFixed[std::clamp(type, 0, kFixedTypes - 1)]; }

// A rule of a type: the boxes' values pass it, or its message is shown.
struct TRule {
    std::function<bool(const std::array<double, 5>&)> Holds;
    const char* Message;
};

std::vector<TRule> Rules(int type) {
    using V = const std::array<double, 5>&;
    switch (type) {
    case 1: return {{[](V v) { return v[2] > 0; }, "Standard Deviation cannot be <= to Zero!"}};
    case 2: return {{[](V v) { return v[2] > v[1]; }, "Mean must be greater than Low!"}};
    case 3:
        return {{[](V v) { return v[1] > 0; }, "Beta must be greater than Zero!"},
                {[](V v) { return v[2] > 0; }, "Eta must be greater than Zero!"}};
    case 4: return {{[](V v) { return v[2] > v[1]; }, "High must be greater than Low!"}};
    case 5:
    case 6:
        return {{[](V v) { return v[1] > 0; }, "Nu must be greater than Zero!"},
                {[](V v) { return v[3] > 0; }, "Lambda must be greater than Zero!"}};
    case 7: return {{[](V v) { return v[1] > 0; }, "Nu must be greater than Zero!"}};
    case 8:
        return {{[](V v) { return v[2] > 0; }, "Lambda must be greater than Zero!"},
                {[](V v) { return v[3] > 0; }, "Nu must be greater than Zero!"}};
    case 9:
        return {{[](V v) { return v[2] > v[1]; }, "Max must be greater than Min!"},
                {[](V v) { return v[3] > 0; }, "Gamma must be greater than Zero!"},
                {[](V v) { return v[4] > 0; }, "Nu must be greater than Zero!"}};
    case 10: return {{[](V v) { return v[2] > 0; }, "Beta cannot be <= to Zero!"}};
    default: return {};
    }
}

// The boxes the type shows, parsed into values 1..4; the first box that holds no number named.
std::string ParseBoxes(int type, const std::array<std::string, 4>& boxes, std::array<double, 5>& values) {
    values.fill(0);
    const auto labels = FixedTypeLabels(type);
    for (std::size_t i = 0; i < 4; ++i) {
        if (labels[i].empty()) continue;
        const std::string text = TrimBlanks(boxes[i]);
        double v = 0;
        if (text.empty() || !ConvertNumber(text, v) || !std::isfinite(v)) {
            std::string name = labels[i];
            if (!name.empty() && name.back() == ':') name.pop_back();
            return name + " is not a number!";
        }
        values[i + 1] = v;
    }
    return {};
}

std::string Text(Extended x) { return FormatCellNumber(static_cast<double>(x)); }

} // namespace

const char* FixedTypeName(int type) { return Fixed(type).Name; }

std::array<std::string, 4> FixedTypeLabels(int type) {
    const auto& labels = Fixed(type).Labels;
    return {labels[0], labels[1], labels[2], labels[3]};
}

int FixedTypeDistKind(int type) { return Fixed(type).Kind; }

std::string FixedParametersProblem(int type, const std::array<std::string, 4>& boxes) {
    std::array<double, 5> values{};
    if (std::string problem = ParseBoxes(type, boxes, values); !problem.empty()) return problem;
    std::string message;
    for (const TRule& rule : Rules(type))
        if (!rule.Holds(values)) message = rule.Message;
    return message;
}

bool SetFixedParameters(int type, const std::array<std::string, 4>& boxes) {
    std::array<double, 5> values{};
    if (type < 1 || type >= kFixedTypes || !FixedParametersProblem(type, boxes).empty()) {
        FitState.FixedKind = 0;
        return type == 0;
    }
    ParseBoxes(type, boxes, values);
    FitState.FixedKind = type;
    FitState.FixedValues = values;
    return true;
}

TFixedEntries FittedParameterEntries(int distKind) {
    TFixedEntries e;
    const TFitState& f = FitState;
    if (f.FitFailed != kFitUsable) return e;
    const TJohnsonState& j = JohnsonO;
    switch (distKind) {
    case kDistNormal: e = {1, {Text(f.FitMean), Text(f.FitSD), "", ""}}; break;
    case kDistExponential0:
    case kDistExponentialLow: e = {2, {Text(f.Threshold), Text(f.FitMean), "", ""}}; break;
    case kDistWeibull: e = {3, {Text(f.WeibullShape), Text(f.WeibullScale), "", ""}}; break;
    case kDistUniform: e = {4, {Text(f.Threshold), Text(f.FitMax), "", ""}}; break;
    case kDistJohnson:
        if (j.Type == 1 || j.Type == 2)
            e = {4 + j.Type, {Text(j.Delta), Text(j.Gamma), Text(j.Lambda), Text(j.Xi)}};
        else if (j.Type == 3)
            e = {7, {Text(j.Delta), Text(j.Gamma), Text(j.Xi), ""}};
        break;
    case kDistGamma0:
    case kDistGammaLow: e = {8, {Text(f.Threshold), Text(f.GammaRate), Text(f.GammaShape), ""}}; break;
    case kDistBeta: e = {9, {Text(f.Threshold), Text(f.FitMax), Text(f.BetaP), Text(f.BetaQ)}}; break;
    case kDistRayleigh0:
    case kDistRayleighLow: e = {10, {Text(f.Threshold), Text(f.RayleighScale), "", ""}}; break;
    default: break;
    }
    return e;
}

} // namespace kivspc
