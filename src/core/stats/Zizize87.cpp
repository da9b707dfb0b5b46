// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/Zizize87.h"

#include <chrono>
#include <cstdint>

namespace kivspc {

void InitStatistics() {
    ResetConfidenceCorrelationState();
    SeedRandom(static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

void ResetStatisticsState() {
    ResetDescriptiveState();
    ResetNormalityState();
    ResetConfidenceCorrelationState();
    ResetDistributionState();
}

} // namespace kivspc
