// SPDX-License-Identifier: GPL-3.0-or-later
// The description of one analysis run: how groups and values are formed, which columns are
// measured and grouped, the range of groups and the labels of the current one.
#pragma once

#include "app/TextTools.h"

#include <array>
#include <cstdint>
#include <string>

namespace kivspc {

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
    std::uint8_t RunType = 0;
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
