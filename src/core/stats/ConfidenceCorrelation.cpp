// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ConfidenceCorrelation.h"

#include "app/NumberFormat.h"
#include "stats/Descriptive.h"
#include "stats/Distributions.h"
#include "stats/SampleBuffer.h"

#include <cmath>

namespace kivspc {

TConfI ConfI;
TCorr Corr;

void TConfI::SetAlpha(double alpha) {
    Confidence = 1 - alpha;
    Alpha = alpha;
}

void TConfI::Init() {
    Mean = static_cast<double>(SampleStats.Mean);
    SD = static_cast<double>(SampleStats.StdDev);
    N = SampleN;
    Calculate();
}

void TConfI::Calculate() {
    const Extended mean = Mean;
    const Extended sd = SD;
    if (N > 1) {
        const Extended df = N - 1;
        const Extended halfWidth = InvT(kTwoTailed, Alpha, df) * sd / std::sqrt(static_cast<Extended>(N));
        MeanLower = static_cast<double>(mean - halfWidth);
        MeanUpper = static_cast<double>(mean + halfWidth);
        // Two-tailed, alpha reads as the upper tail alpha/2 and the confidence as 1 - alpha/2.
        const Extended sumSquares = df * sd * sd;
        const Extended chiUpper = InvChiSq(kTwoTailed, Alpha, df);
        const Extended chiLower = InvChiSq(kTwoTailed, Confidence, df);
        SDLower = chiUpper > 0 ? static_cast<double>(std::sqrt(sumSquares / chiUpper)) : MissingValue;
        SDUpper = chiLower > 0 ? static_cast<double>(std::sqrt(sumSquares / chiLower)) : MissingValue;
    } else {
        MeanLower = Mean;
        MeanUpper = Mean;
        SDLower = SD;
        SDUpper = SD;
    }
}

void TCorr::Clear() { *this = TCorr{}; }

void TCorr::Add(double x, double y) {
    if (!NotMissing(x) || !NotMissing(y)) return;
    const Extended xe = x;
    const Extended ye = y;
    const Extended difference = xe - ye;
    ++Count;
    SumX2 += xe * xe;
    SumX += xe;
    SumY += ye;
    SumY2 += ye * ye;
    SumD += difference;
    SumD2 += difference * difference;
    SumXY += xe * ye;
}

Extended TCorr::Calculate() {
    CannotCalculate = false;
    Extended varianceX = 0;
    Extended varianceY = 0;
    Extended varianceD = 0;
    if (Count >= 2) {
        varianceX = VarianceFromSums(Count, SumX, SumX2);
        varianceY = VarianceFromSums(Count, SumY, SumY2);
        varianceD = VarianceFromSums(Count, SumD, SumD2);
    }
    // A variance that rounding left below zero is as flat as one of zero.
    if (Count > 1 && varianceX > 0 && varianceY > 0) {
        // r from var(x - y) = var x + var y - 2 cov(x, y).
        const double r = static_cast<double>((varianceX + varianceY - varianceD) /
                                             (2 * std::sqrt(varianceX) * std::sqrt(varianceY)));
        if (Count == 2) {
            P = NotAvailable;
        } else if (std::fabs(r) < 1) {
            const Extended rExtended = r;
            const Extended t = rExtended * std::sqrt((Count - 2) / (1 - rExtended * rExtended));
            P = static_cast<double>(TProb(kTwoTailed, t, Count - 2));
        } else {
            P = 0;
        }
        return r;
    }
    P = NotAvailable;
    CannotCalculate = true;
    return 0;
}

void FormatPValue(std::string& text, double p, double alpha) {
    text = FormatFixed(3, p);
    if (p <= alpha) text += "*";
}

void ResetConfidenceCorrelationState() {
    ConfI = TConfI{};
    ConfI.SetAlpha(0.05);
    Corr.Clear();
}

} // namespace kivspc
