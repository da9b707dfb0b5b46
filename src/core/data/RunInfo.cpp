// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/RunInfo.h"

namespace kivspc {

void TRunInfo::Clear() {
    std::int16_t keep = GroupColumnCount;
    *this = TRunInfo{};
    GroupColumnCount = keep;
}

} // namespace kivspc
