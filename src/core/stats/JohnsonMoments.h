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

// SU: z = gamma + delta asinh((x - xi)/lambda); SB: z = gamma + delta ln(u/(1 - u)) with
// u = (x - xi)/lambda; SL: z = gamma + delta ln((x - xi)/lambda). The normal type is
// z = gamma + delta x (delta = 1/sd, gamma = -mean/sd, xi and lambda 0). The two-point type has
// its lower point in Xi, its upper point in Lambda and the probability of the upper point in
// Delta; with a standard deviation of 0 only Xi (the mean) is set.
struct TJohnsonMomentFit {
    int Type = kJohnsonNone; // a TJohnsonType
    double Gamma = 0, Delta = 0, Lambda = 0, Xi = 0;
    // 0 fitted; 1 a negative standard deviation; 2 kurtosis below skewness squared + 1 (no
    // distribution has such moments), a moment that is not a finite number, or parameters too
    // large for a number; 3 the SB iteration failed and the log-normal (normal when symmetric) or
    // the two-point type stands for it; 10 the SU iteration did not settle in 1,000 passes or
    // broke down (its parameters are 0). The parameters are always finite numbers.
    int Status = 0;
};

// `skewness` is sqrt(b1) with its sign, `kurtosis` is b2 (3 for the normal, not the excess).
TJohnsonMomentFit JohnsonFromMoments(double mean, double sd, double skewness, double kurtosis);

} // namespace kivspc
