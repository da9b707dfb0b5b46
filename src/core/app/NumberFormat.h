// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers as text for reports and edit boxes: locale-free, "." as the decimal separator.
#pragma once

#include <string>
#include <string_view>

namespace kivspc {

// Plain decimal form with exactly d digits after the point, rounded to nearest.
std::string FormatFixed(int d, double x);
// Fixed-point with the number of decimals that gives n significant digits.
std::string FormatSignificant(int n, double x);
// FormatSignificant with "," between groups of three integer digits.
std::string FormatSignificantGrouped(int n, double x);
// FormatFixed with "," between groups of three integer digits.
std::string FormatFixedGrouped(int d, double x);
// Twelve decimals with trailing zeros and a trailing point removed.
std::string FormatTrimmed(double x);
// A number written into a cell: the shortest text that reads back as exactly x, without an
// exponent unless the plain form would be long; empty for infinities and NaN.
std::string FormatCellNumber(double x);
// FormatFixed padded with leading blanks to width w (w = 0: no padding).
std::string FormatFixedRight(int w, int d, double x);
// FormatFixed padded with trailing blanks to width w (w = 0: no padding).
std::string FormatFixedLeft(int w, int d, double x);

// What a report or a grid says for a result that is not a finite number.
inline constexpr std::string_view kNotComputable = "Not Computable";
// A result as a report or a grid shows it: FormatFixed while the integer part has at most 15
// digits (beyond that the digits of a double are noise), the exponent form with d decimals when
// larger ("1.2346e+300"), and `words` for an infinity or NaN. Takes long double, so that a sum of
// squares beyond the range of a double is still written.
std::string FormatFixedFinite(int d, long double x, std::string_view words = kNotComputable);
// FormatTrimmed as a report or a grid shows it: the shortest exponent form that reads back as x
// when the integer part has more than 15 digits, and `words` for an infinity or NaN.
std::string FormatTrimmedFinite(double x, std::string_view words = kNotComputable);

// The number of decimals FormatSignificant uses for n significant digits of x.
int SignificantDecimals(int n, double x);

} // namespace kivspc
