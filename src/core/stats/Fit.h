// SPDX-License-Identifier: GPL-3.0-or-later
// Distribution models fitted to the current sample SampleX[1..SampleN]: their parameters, the
// natural process limits (the 0.135 % and 99.865 % points), how well they fit, and the fitted
// cumulative distribution and quantile functions that the capability analysis, its graphs and
// the distribution calculator evaluate. Parameters can also be fixed by the user.
#pragma once

#include "app/MissingValue.h"

#include <array>
#include <string>

namespace kivspc {

// The models, in the order of the capability window's distribution list.
enum TDistKind : int {
    kDistNone = 0,
    kDistNormal = 1,
    kDistExponential0 = 2,
    kDistExponentialLow = 3,
    kDistWeibull = 4,
    kDistUniform = 5,
    kDistJohnson = 6,
    kDistGamma0 = 7,
    kDistGammaLow = 8,
    kDistBeta = 9,
    kDistRayleigh0 = 10,
    kDistRayleighLow = 11,
};
inline constexpr int kDistKinds = 12;
// "None", "Normal", "Exponential (0)" ... as the list shows them.
const char* DistKindName(int kind);
// The model of a name, in any letter case: its full name, or the start of exactly one name
// ("weibull", "johnson"); -1 for none.
int DistKindByName(const std::string& name);
// Every model's name, joined by ", ".
std::string DistKindNameList();

// The model chosen in the capability window.
extern int DistKind;

// FitFailed values.
inline constexpr int kFitUsable = 0;
inline constexpr int kFitReset = 50; // no fit (ResetFit): no spread, or a model the data cannot take
inline constexpr int kFitJohnsonFailed = 99;

struct TFitState {
    int FitFailed = kFitReset;
    // Why there is no fit, in words for the user; empty when there is one (or none was asked).
    std::string FitMessage;
    Extended FitMean = 0, FitSD = 0;
    Extended Threshold = 0;
    Extended FitMax = 0, FitRange = 0;
    Extended WeibullShape = 0, WeibullScale = 0, WeibullMode = 0;
    Extended GammaRate = 0, GammaShape = 0;
    Extended BetaP = 0, BetaQ = 0;
    Extended RayleighScale = 0;
    std::array<Extended, 5> ParamValues{};
    std::array<std::string, 5> ParamNames{};
    int ParamCount = 0;
    Extended FitCriterion = 0; // "Fit": r squared of the probability-probability plot
    double LPL = 0, UPL = 0;
    Extended NT = 0;
    // 0 fitted; 1..10 parameters fixed by the user (ApplyFixedParameters), read from FixedValues.
    int FixedKind = 0;
    std::array<double, 5> FixedValues{}; // fields 1..4
};
extern TFitState FitState;

// The Johnson fit: the percentile method's sample percentiles and ratio, and the parameters of
// the winning method, z = Gamma + Delta f((x - Xi) / Lambda).
struct TJohnsonState {
    Extended Z = 0;
    std::array<Extended, 4> X{}; // x(-3z), x(-z), x(z), x(3z)
    Extended M = 0, N = 0, P = 0;
    Extended Ratio = 0; // mn / p², 0 when p = 0, -1 after a moment fit
    Extended Delta = 0, Gamma = 0, Lambda = 0, Xi = 0;
    int Type = 0;         // TJohnsonType
    std::string TypeText; // "Su", "Sb", "SL", "ND" or "T"
};
extern TJohnsonState JohnsonO;

// Least squares through points, y = a + b x (model kind 1).
class TCurveFit {
public:
    void Init(int kind);
    void Add(Extended x, Extended y);
    // Intercept and slope; StatErrorCode 2 with fewer than two points, 1 when all x are equal.
    void Solve();
    // r² of the points; 0 and StatErrorCode 1 when either variable has no spread.
    Extended RSquared() const;
    Extended Intercept = 0, Slope = 0;
    int Count() const { return count_; }

private:
    int count_ = 0;
    int kind_ = 1;
    Extended sx_ = 0, sxx_ = 0, sy_ = 0, syy_ = 0, sd_ = 0, sdd_ = 0, sxy_ = 0;
};
extern TCurveFit CurveFit;

// Fits DistKind to the current sample (sorting it) and fills FitState, the process limits and
// the fit criterion.
void FitDistribution();
void ResetFit();
void JohnsonFit();
void ProcessLimits();
void ComputeFitCriterion();
// P(X <= x) under the fitted model; 0 without a usable fit.
Extended FittedCDF(Extended x);
// The probability density of the fitted model at x; 0 without a usable fit, outside the model's
// support and where the density has a pole (the ends of a beta or SB curve).
Extended FittedDensity(Extended x);
// The x with P(X <= x) = p; the model's mean without a usable fit, 0 for p outside 0..1.
Extended FittedQuantile(Extended p);
void ApplyFixedParameters();
// Back to no fit at all (a new table, tests).
void ResetFitState();

} // namespace kivspc
