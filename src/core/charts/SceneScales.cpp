// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/SceneScales.h"

#include "app/NumberFormat.h"
#include "stats/Distributions.h"

#include <cmath>

namespace kivspc {

double NormalScalePosition(double p) {
    // The normal quantile of p is the point with p above it, mirrored.
    return -static_cast<double>(InvNormal(1, p));
}

std::shared_ptr<const TSceneTicks> ProbabilityPaperTicks(double lowPosition, double highPosition) {
    static constexpr double kPercents[] = {0.01, 0.1, 1,  5,  10, 20, 30,   40,   50,
                                           60,   70,  80, 90, 95, 99, 99.9, 99.99};
    auto ticks = std::make_shared<TSceneTicks>();
    for (double percent : kPercents) {
        const double at = NormalScalePosition(percent / 100);
        if (at < lowPosition || at > highPosition) continue;
        ticks->At.push_back(at);
        ticks->Labels.push_back(FormatTrimmed(percent) + " %");
    }
    return ticks;
}

double LogScalePosition(double value) { return value > 0 ? std::log10(value) : kGap; }

std::shared_ptr<const TSceneTicks> LogScaleTicks(double lowPosition, double highPosition) {
    auto ticks = std::make_shared<TSceneTicks>();
    if (!(highPosition >= lowPosition) || !std::isfinite(lowPosition) || !std::isfinite(highPosition))
        return ticks;
    const bool decadesOnly = highPosition - lowPosition > 4;
    for (int decade = static_cast<int>(std::floor(lowPosition));
         decade <= static_cast<int>(std::ceil(highPosition)); ++decade)
        for (double step : {1.0, 2.0, 5.0}) {
            if (decadesOnly && step != 1) continue;
            const double at = decade + std::log10(step);
            if (at < lowPosition - 1e-12 || at > highPosition + 1e-12) continue;
            ticks->At.push_back(at);
            ticks->Labels.push_back(FormatTrimmed(step * std::pow(10.0, decade)));
        }
    return ticks;
}

} // namespace kivspc
