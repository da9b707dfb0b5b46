// SPDX-License-Identifier: GPL-3.0-or-later
// The program-wide transform: while on, every extracted value passes through it.
#pragma once

#include <cstdint>
#include <string>

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

// Switches the transform off (Kind 0), keeping its constants.
void TransformOff();
// The initial state: off, A = 1, B = 0, C = 1.
void ResetTransform();

} // namespace kivspc
