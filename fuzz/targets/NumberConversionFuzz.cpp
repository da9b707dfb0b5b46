// SPDX-License-Identifier: GPL-3.0-or-later
// Number conversion of typed and loaded texts. Input: the text.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "app/TextTools.h"

#include <cmath>
#include <cstring>

namespace kivspc::fuzz {

namespace {

bool Same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

} // namespace

int FuzzNumberConversion(const std::uint8_t* data, std::size_t size) {
    ResetCore();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    constexpr double kUntouched = 12345.25;

    double converted = kUntouched;
    const bool ok = ConvertNumber(text, converted);
    Check(ok || Same(converted, kUntouched), "ConvertNumber leaves the value alone when it fails");
    Check(!ok || std::isfinite(converted), "ConvertNumber gives finite numbers only");

    double at = kUntouched;
    const int position = ConvertNumberAt(text, at);
    Check((position == 0) == ok, "ConvertNumberAt fails exactly when ConvertNumber does");
    Check(position == 0 ? Same(at, converted) : Same(at, kUntouched),
          "ConvertNumberAt gives ConvertNumber's value");
    Check(position >= 0 && static_cast<std::size_t>(position) <= size + 1,
          "ConvertNumberAt points inside the text or just after it");

    double cell = kUntouched;
    const bool numeric = NumericCellValue(text, cell);
    const double value = CellTextToValue(text);
    Check(!numeric || Same(cell, value), "NumericCellValue sets the value CellTextToValue gives");
    Check(numeric || value == MissingValue, "a text cell has no value");
    Check(numeric == !HasNonNumericChar(CharPrefix(text, kMaxFieldChars)),
          "a cell is numeric exactly when its first 80 characters are number characters");

    double plain = kUntouched;
    if (PlainDecimal(text, plain)) {
        double general = kUntouched;
        Check(ConvertNumber(text, general) && Same(plain, general),
              "PlainDecimal converts as the general rules do");
    }
    return 0;
}

} // namespace kivspc::fuzz
