// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/NumberFormat.h"

#include "app/TextTools.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kivspc {

namespace {

// Numbers written into cells switch to an exponent beyond this many characters.
constexpr long kMaxPlainCellChars = 22;

// Results at or beyond this magnitude are written with an exponent.
constexpr long double kMaxPlainResult = 1e15L;

// Digits beyond this are never meaningful for a double and only cost memory.
constexpr int kMaxDecimals = 340;

// A result that rounds to zero shows no sign: "-0.00" reads as a mistake in a report.
void DropNegativeZero(std::string& s) {
    if (s.empty() || s[0] != '-') return;
    if (s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
}

// Inserts "," between groups of three digits of the integer part of an unsigned number text.
std::string GroupThousands(const std::string& s) {
    std::size_t intEnd = s.find('.');
    if (intEnd == std::string::npos) intEnd = s.size();
    if (intEnd < 4 || s.find_first_not_of("0123456789") < intEnd) return s;
    std::string out;
    out.reserve(s.size() + intEnd / 3);
    for (std::size_t i = 0; i < intEnd; ++i) {
        if (i > 0 && (intEnd - i) % 3 == 0) out += ',';
        out += s[i];
    }
    out.append(s, intEnd, std::string::npos);
    return out;
}

} // namespace

std::string FormatFixed(int d, double x) {
    d = std::clamp(d, 0, kMaxDecimals);
    std::string buf(static_cast<std::size_t>(d) + 340, '\0');
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::fixed, d);
    buf.resize(static_cast<std::size_t>(res.ptr - buf.data()));
    DropNegativeZero(buf);
    return buf;
}

int SignificantDecimals(int n, double x) {
    double a = std::fabs(x);
    if (x == 0 || !std::isfinite(x)) return std::max(n, 0);
    double lg = std::log10(a);
    int d;
    if (a > 1) {
        d = std::max(n - static_cast<int>(std::trunc(lg)) - 1, 0);
    } else if (lg == std::floor(lg)) {
        d = n - (static_cast<int>(lg) + 1);
    } else {
        d = n - static_cast<int>(std::trunc(lg));
    }
    return std::clamp(d, 0, kMaxDecimals);
}

std::string FormatSignificant(int n, double x) { return FormatFixed(SignificantDecimals(n, x), x); }

std::string FormatSignificantGrouped(int n, double x) {
    std::string s = GroupThousands(FormatSignificant(n, std::fabs(x)));
    if (x < 0 && s.find_first_not_of("0.,") != std::string::npos) s.insert(0, 1, '-');
    return s;
}

std::string FormatFixedGrouped(int d, double x) {
    std::string s = FormatFixed(d, std::fabs(x));
    if (std::fabs(x) > 999) s = GroupThousands(s);
    if (x < 0 && s.find_first_not_of("0.,") != std::string::npos) s.insert(0, 1, '-');
    return s;
}

std::string FormatTrimmed(double x) {
    std::string s = FormatFixed(12, x);
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0')
            s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    DropNegativeZero(s);
    return s;
}

std::string FormatCellNumber(double x) {
    if (!std::isfinite(x)) return {};
    if (x == 0) return "0";
    char buf[64];
    // The shortest plain decimal that reads back as x, unless it would be long: then the shortest
    // form with an exponent (1e+80 rather than a 1 with eighty zeros).
    auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed);
    if (res.ec != std::errc() || res.ptr - buf > kMaxPlainCellChars)
        res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific);
    return std::string(buf, res.ptr);
}

std::string FormatFixedFinite(int d, long double x, std::string_view words) {
    if (!std::isfinite(x)) return std::string(words);
    d = std::clamp(d, 0, kMaxDecimals);
    if (std::fabs(x) < kMaxPlainResult) {
        // Rounding may carry into a sixteenth digit, which is still short.
        std::string buf(static_cast<std::size_t>(d) + 24, '\0');
        auto res = std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::fixed, d);
        buf.resize(static_cast<std::size_t>(res.ptr - buf.data()));
        DropNegativeZero(buf);
        return buf;
    }
    std::string buf(static_cast<std::size_t>(d) + 24, '\0');
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::scientific, d);
    buf.resize(static_cast<std::size_t>(res.ptr - buf.data()));
    return buf;
}

std::string FormatTrimmedFinite(double x, std::string_view words) {
    if (!std::isfinite(x)) return std::string(words);
    if (std::fabs(x) < kMaxPlainResult) return FormatTrimmed(x);
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific);
    return std::string(buf, res.ptr);
}

std::string FormatFixedRight(int w, int d, double x) { return PadLeft(FormatFixed(d, x), std::max(w, 0)); }

std::string FormatFixedLeft(int w, int d, double x) { return PadRight(FormatFixed(d, x), std::max(w, 0)); }

} // namespace kivspc
