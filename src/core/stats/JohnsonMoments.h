// SPDX-License-Identifier: GPL-3.0-or-later
// The Johnson curve with given first four moments (Hill, Hill and Holder's published algorithm
// AS 99): the type (SU, SB, SL, normal or two-point) and its parameters, so that
// z = gamma + delta f((x - xi) / lambda) is standard normal.
#pragma once

namespace kivspc {

enum TJohnsonType : int {
    kJohnsonNone = 0,
    kJohnsonSU = 1,
    kJohnsonSB = 2,
    kJohnsonSL = 3, // lognormal: lambda is +1 or -1, the sign of the skewness
    kJohnsonNormal = 4,
    kJohnsonTwoPoint = 5,
};

struct TJohnsonMomentFit {
    int Type = kJohnsonNone; // a TJohnsonType
    double Gamma = 0, Delta = 0, Lambda = 0, Xi = 0;
    // 0 fitted; 1 a negative standard deviation; 2 kurtosis below skewness squared + 1 (no
    // distribution has such moments); 3 the SB iteration failed and the two-point type stands for
    // it; 10 the SU iteration did not settle in 1,000 passes.
    int Status = 0;
};

// `skewness` is sqrt(b1) with its sign, `kurtosis` is b2 (3 for the normal, not the excess).
TJohnsonMomentFit JohnsonFromMoments(double mean, double sd, double skewness, double kurtosis);

} // namespace kivspc
