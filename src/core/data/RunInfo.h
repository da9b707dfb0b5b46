// SPDX-License-Identifier: GPL-3.0-or-later
// The description of one analysis run: how groups and values are formed, which columns are
// measured and grouped, the range of groups and the labels of the current one.
#pragma once

#include "app/TextTools.h"

#include <array>
#include <cstdint>
#include <string>

namespace kivspc {

// How an analysis run forms its groups and values (TRunInfo::RunType).
enum RunType : std::uint8_t {
    kRunColumns = 1,                // each selected column is a group
    kRunByGroupValue = 2,           // the measure column by the values of the group column
    kRunByCombination = 3,          // the measure column by the combinations of the group columns
    kRunPooled = 5,                 // the selected columns pooled into one group
    kRunColumnsByGroupValue = 6,    // every selected column by the values of the group column
    kRunColumnsByCombination = 7,   // every selected column by the combinations
    kRunRowMeans = 8,               // the row means of the selected columns, one group
    kRunRowMeansByGroupValue = 9,   // row means by the values of the group column
    kRunRowMeansByCombination = 10, // row means by the combinations
    kRunEachByGroupValue = 11,      // each selected measure in turn by the values of the group column
    kRunEachByCombination = 12,     // each selected measure in turn by the combinations
    kRunBySingleCombination = 20,   // the measure column by the combinations of one group column
};

class TRunInfo {
public:
    std::int32_t Position = 0;
    std::int32_t Reserved1 = 0;
    std::int32_t Reserved2 = 0;
    std::int32_t FirstGroup = 0;
    std::int32_t LastGroup = 0;
    std::int32_t CurrentMeasure = 0;
    std::int32_t FirstMeasure = 0;
    std::int32_t LastMeasure = 0;
    std::int32_t MeasureColumn = 0;
    std::int32_t GroupColumn = 0;
    std::int32_t FirstCode = 0;
    std::int32_t LastCode = 0;
    std::uint8_t ReservedFlag1 = 0;
    std::uint8_t ReservedFlag2 = 0;
    std::uint8_t ReservedFlag3 = 0;
    std::uint8_t RunType = 0; // a RunType
    std::uint8_t ReservedFlag4 = 0;

    std::string LongLabel;
    std::string ShortLabel;
    std::string MeasureLabel;
    std::string GroupColumnsLabel;

    // Index 1..512; index 0 unused.
    std::array<std::int32_t, kMaxColumns + 1> Multiplier{};
    std::array<std::int16_t, kMaxColumns + 1> LevelRange{};
    std::int16_t GroupColumnCount = 0;
    std::array<std::int16_t, kMaxColumns + 1> GroupColumns{};
    std::int32_t GroupCount = 0;
    std::int32_t ValueTotal = 0;

    // Zeroes everything but GroupColumnCount, which the caller keeps.
    void Clear();
};

} // namespace kivspc
