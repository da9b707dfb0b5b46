// SPDX-License-Identifier: GPL-3.0-or-later
// The special functions and distributions with arbitrary arguments: tail modes, degrees of
// freedom, counts and probabilities anywhere (negative, huge, denormal, infinite, NaN).
// Input: a sequence of calls, each a routine byte followed by its arguments.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "app/SharedState.h"
#include "stats/Distributions.h"

#include <cmath>

namespace kivspc::fuzz {

namespace {

void CheckProbability(Extended p, const char* routine) {
    Check(std::isnan(p) || (p >= 0 && p <= 1), routine);
}

void Call(FuzzInput& in) {
    const std::uint8_t routine = in.Byte();
    const int mode = static_cast<int>(in.IntIn(-1, 3));
    const Extended a = in.AnyDouble();
    const Extended b = in.AnyDouble();
    const Extended c = in.AnyDouble();
    Extended result = 0;
    Extended gln = 0;
    switch (routine % 30) {
    case 0: CheckProbability(NormalProb(mode, a), "NormalProb is a probability"); break;
    case 1: CheckProbability(NormalProbSeries(mode, a), "NormalProbSeries is a probability"); break;
    case 2: InvNormal(mode, a); break;
    case 3: CheckProbability(TProb(mode, a, b), "TProb is a probability"); break;
    case 4: InvT(mode, a, b); break;
    case 5: CheckProbability(ChiSqProb(mode, a, b), "ChiSqProb is a probability"); break;
    case 6: InvChiSq(mode, a, b); break;
    case 7: CheckProbability(FProb(mode, a, b, c), "FProb is a probability"); break;
    case 8: CheckProbability(GAMMP(a, b), "GAMMP is a probability"); break;
    case 9: GSER(a, b, result, gln); break;
    case 10: GCF(a, b, result, gln); break;
    case 11: BETACF(a, b, c); break;
    case 12: CheckProbability(IncompleteBeta(a, b, c), "IncompleteBeta is held inside 0..1"); break;
    case 13: LnGamma(a); break;
    case 14: LnFactorial(a); break;
    case 15: Power(a, b); break;
    case 16: PowerOfTen(in.AnyInt()); break;
    case 17: {
        const int k = in.AnyInt();
        const Extended p = BinomialProbability(k, in.AnyInt(), a);
        if (StatErrorCode == 0) CheckProbability(p, "BinomialProbability is a probability");
        break;
    }
    case 18: {
        const int k = in.AnyInt();
        CheckProbability(BinomialUpperTail(k, in.AnyInt(), a), "BinomialUpperTail is a probability");
        break;
    }
    case 19: CheckProbability(PoissonProbability(a, b), "PoissonProbability is a probability"); break;
    case 20: CheckProbability(PoissonUpperTail(a, b), "PoissonUpperTail is a probability"); break;
    case 21: {
        Extended x = a;
        RefineQuantile(x, static_cast<int>(in.IntIn(0, 4)), b, c);
        break;
    }
    case 22: Sinh(a); break;
    case 23: ArcSinh(a); break;
    case 24: ArcCosh(a); break;
    case 25: Log10(a); break;
    case 26: ApplyTailMode(mode, a); break;
    case 27: {
        Extended p = a;
        UpperTailOf(p, mode);
        break;
    }
    case 28: NormalRandom(a, b); break;
    default:
        Sign(a);
        RealMin(a, b);
        RealMax(a, b);
        break;
    }
}

} // namespace

int FuzzDistributions(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    ResetCore();
    for (int calls = 0; calls < 16 && !in.Empty(); ++calls)
        Call(in);
    return 0;
}

} // namespace kivspc::fuzz
