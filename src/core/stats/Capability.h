// SPDX-License-Identifier: GPL-3.0-or-later
// The tolerance limits (LSL, Target, USL) of the analysis in hand and the capability indices computed against
// them. The performance indices (Pp, Ppk, Ppm) are the same functions called with an overall
// sigma.
#pragma once

#include "app/MissingValue.h"

#include <string>

namespace kivspc {

struct TSpecLimits {
    // An absent value holds MissingValue.
    double LSL = MissingValue;
    double Target = MissingValue;
    double USL = MissingValue;
    bool HasLSL = false;
    bool HasTarget = false;
    bool HasUSL = false;
    // FormatTrimmed of the value; empty when absent.
    std::string LSLText;
    std::string TargetText;
    std::string USLText;
    bool HasLimit = false;   // HasLSL or HasUSL
    bool HasAnySpec = false; // any of the three present
    bool TwoSided = false;   // HasLSL and HasUSL
    // USL - LSL; only written when TwoSided, otherwise it keeps its previous value.
    double Tolerance = 0.0;
    bool SpecsUsable = false;
    // Process spread used by CapabilityCp: 6 sigma of the last call with kind 0 or 1.
    double SpreadWidth = 0.0;
};

// The one record of tolerance limits of the program.
extern TSpecLimits SpecLimits;

// Pass MissingValue for an absent limit or target.
void SetSpecifications(double lsl, double target, double usl);

// kind: 0 none, 1 normal, 2 and above a fitted non-normal distribution. Kinds 0 and 1 set
// SpreadWidth to 6 sigma; higher kinds reuse the spread left by the last such call.
// Two-sided: Cp; one-sided: CPU or CPL. 0 when it cannot be formed.
Extended CapabilityCp(int kind, Extended sigma, Extended mean);
// 0 for kinds 2 and above and whenever it cannot be formed.
Extended CapabilityCpk(int kind, Extended sigma, Extended mean);
// n >= 2 applies the small-sample factor n / (n - 1) to the off-target term; n < 0 omits it;
// n of 0 or 1 gives 0.
Extended CapabilityCpm(int n, Extended sigma, Extended mean);

// Back to no tolerance limits (new runs and tests).
void ResetSpecLimits();

} // namespace kivspc
