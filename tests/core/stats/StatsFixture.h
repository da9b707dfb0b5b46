// SPDX-License-Identifier: GPL-3.0-or-later
// Statistics tests start from a fresh library state and fill the current sample themselves.
#pragma once

#include "CoreFixture.h"
#include "stats/Zizize87.h"

#include <vector>

class StatsTest : public CoreTest {
protected:
    // SampleX[1..n] = values, SampleN = n.
    static void SetSample(const std::vector<double>& values) {
        kivspc::SampleX.assign(values.size() + 1, 0.0);
        for (std::size_t i = 0; i < values.size(); ++i)
            kivspc::SampleX[i + 1] = values[i];
        kivspc::SampleN = static_cast<int>(values.size());
    }

    static std::vector<double> Sample() {
        return {kivspc::SampleX.begin() + 1, kivspc::SampleX.begin() + 1 + kivspc::SampleN};
    }
};

// Samples shared by several tests.
namespace samples {
inline const std::vector<double> OneToTen = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
// Right-skewed, n = 20.
inline const std::vector<double> Skewed = {0.12, 0.35, 0.41, 0.58, 0.77, 0.93, 1.05, 1.21, 1.48, 1.62,
                                           1.95, 2.31, 2.60, 3.05, 3.47, 4.12, 4.98, 5.76, 7.03, 9.41};
inline const std::vector<double> Five = {2.1, 3.4, 1.9, 5.6, 2.8};
// One outlier among seven.
inline const std::vector<double> Seven = {10.2, 9.8, 10.5, 10.1, 9.6, 12.4, 10.0};
} // namespace samples
