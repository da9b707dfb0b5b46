// SPDX-License-Identifier: GPL-3.0-or-later
// The comparisons of Missing When and Process If, which number them alike: 1 "=", 2 ">", 3 ">=",
// 4 "<", 5 "<=", 6 "<>".
#pragma once

#include <cstdint>
#include <functional>

namespace kivspc {

// Calls f with the comparison of a relation code; false (f not called) for any other code.
template <typename F> bool WithComparison(std::uint8_t relation, F&& f) {
    switch (relation) {
    case 1: f(std::equal_to<double>{}); return true;
    case 2: f(std::greater<double>{}); return true;
    case 3: f(std::greater_equal<double>{}); return true;
    case 4: f(std::less<double>{}); return true;
    case 5: f(std::less_equal<double>{}); return true;
    case 6: f(std::not_equal_to<double>{}); return true;
    default: return false;
    }
}

// x relation value; false for a code that is no comparison. Written out rather than through
// WithComparison: Missing When asks it for every value an analysis reads.
inline bool RelationHolds(std::uint8_t relation, double x, double value) {
    switch (relation) {
    case 1: return x == value;
    case 2: return x > value;
    case 3: return x >= value;
    case 4: return x < value;
    case 5: return x <= value;
    case 6: return x != value;
    default: return false;
    }
}

} // namespace kivspc
