// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

namespace kivspc {

using Extended = long double;

// The value of every empty or unreadable numeric cell and of every absent limit.
inline constexpr double MissingValue = -2147483647.0;

inline constexpr bool NotMissing(double x) { return x != MissingValue; }
// A number to compute or draw with: neither missing nor infinite nor NaN.
inline bool PresentFinite(double x) { return NotMissing(x) && std::isfinite(x); }

} // namespace kivspc
