// SPDX-License-Identifier: GPL-3.0-or-later
// The program-wide transform: while on, every extracted value passes through it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivspc {

enum TransformKind : std::uint8_t {
    kTransformNone = 0,
    kTransformLinear,
    kTransformPower1,
    kTransformPower2,
    kTransformInverse,
    kTransformLog,
    kTransformExp,
    kTransformArcsin,
    kTransformSin,
    kTransformUniform,
    kTransformNormal,
    kTransformExponential,
    kTransformChiSquare,
};

struct TTransformRec {
    std::uint8_t Kind = kTransformNone;
    double A = 1;
    double B = 0;
    double C = 1;
    std::string AText = "1"; // up to 20 characters each
    std::string BText = "0";
    std::string CText = "1";
    std::uint8_t ErrorFlag = 0;
    std::string ErrorText; // "Error: " + the reason
    std::uint8_t NormalFirst = 0;
};

extern TTransformRec TransformRec;

// The value through the transform (unchanged when off). A domain error leaves x as it was and
// sets ErrorFlag and ErrorText.
double TransformValue(double x);
// Transforms SampleX[1..n] in place, stopping at the first domain error.
void TransformSample(int n);
// The description shown after "Transform: ".
std::string TransformText();
// Shows the domain error and switches the transform off.
void ReportTransformError();
// Reads the A, B and C texts into the constants (a text that is not a number gives 0).
void ConvertTransformConstants();
// True for the kinds that use the constant C.
bool TransformUsesC(int kind);
// Converts the constants the chosen kind uses (A and B; C too where it takes part) when every one
// of their texts is a number, and returns "". Otherwise the constants stay as they were and the
// message names the first box that holds no number ("A is not a number!"); `box`, when given, is
// set to that box (0 A, 1 B, 2 C).
std::string TakeTransformConstants(int* box = nullptr);

// Adds or modifies columns with transformed values of the given columns, as the transform
// dialog's "Add"/"Modify" does. Returns false (with a message) when a constant the transform uses
// is no number or the new columns would not fit.
bool AddTransformedVariables(const std::vector<int>& columns, bool addNew, bool turnOffWhenDone);

// Switches the transform off (Kind 0), keeping its constants.
void TransformOff();
// The initial state: off, A = 1, B = 0, C = 1.
void ResetTransform();

} // namespace kivspc
