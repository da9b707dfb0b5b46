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
    const Extended m = Mean;
    const Extended s = SD;
    if (N > 1) {
        const Extended df = N - 1;
        const Extended h = InvT(2, Alpha, df) * s / std::sqrt(static_cast<Extended>(N));
        MeanLower = static_cast<double>(m - h);
        MeanUpper = static_cast<double>(m + h);
        // Mode 2 reads alpha as the upper tail alpha/2 and the confidence as 1 - alpha/2.
        const Extended ss = df * s * s;
        const Extended chiUpper = InvChiSq(2, Alpha, df);
        const Extended chiLower = InvChiSq(2, Confidence, df);
        SDLower = chiUpper > 0 ? static_cast<double>(std::sqrt(ss / chiUpper)) : MissingValue;
        SDUpper = chiLower > 0 ? static_cast<double>(std::sqrt(ss / chiLower)) : MissingValue;
    } else {
        MeanLower = Mean;
        MeanUpper = Mean;
        SDLower = SD;
        SDUpper = SD;
    }
}

void TCorr::Clear() {
    *this = TCorr{};
}

void TCorr::Add(double x, double y) {
    if (!NotMissing(x) || !NotMissing(y)) return;
    const Extended ex = x;
    const Extended ey = y;
    const Extended d = ex - ey;
    ++Count;
    SumX2 += ex * ex;
    SumX += ex;
    SumY += ey;
    SumY2 += ey * ey;
    SumD += d;
    SumD2 += d * d;
    SumXY += ex * ey;
}

Extended TCorr::Calculate() {
    CannotCalculate = false;
    Extended vx = 0;
    Extended vy = 0;
    Extended vd = 0;
    if (Count >= 2) {
        vx = VarianceFromSums(Count, SumX, SumX2);
        vy = VarianceFromSums(Count, SumY, SumY2);
        vd = VarianceFromSums(Count, SumD, SumD2);
    }
    // A variance that rounding left below zero is as flat as one of zero.
    if (Count > 1 && vx > 0 && vy > 0) {
        const double r = static_cast<double>((vx + vy - vd) / (2 * std::sqrt(vx) * std::sqrt(vy)));
        if (Count == 2) {
            P = NotAvailable;
        } else if (std::fabs(r) < 1) {
            const Extended rr = r;
            const Extended t = rr * std::sqrt((Count - 2) / (1 - rr * rr));
            P = static_cast<double>(TProb(2, t, Count - 2));
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
