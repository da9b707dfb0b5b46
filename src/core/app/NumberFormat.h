// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers as text for reports and edit boxes: locale-free, "." as the decimal separator.
#pragma once

#include <string>

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

// The number of decimals FormatSignificant uses for n significant digits of x.
int SignificantDecimals(int n, double x);

} // namespace kivspc
