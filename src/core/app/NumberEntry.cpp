// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/NumberEntry.h"

#include "app/TextTools.h"

namespace kivspc {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

bool HasNumberForm(std::string_view text) {
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        return i - start;
    };
    if (text.substr(0, 2) == "+.") return false; // no zero is put in front after a plus
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == text.size();
}

std::string NumberEntryProblem(std::string_view text, const std::string& name, double& value) {
    const std::string trimmed = TrimBlanks(text);
    double v = 0;
    if (!trimmed.empty() && ConvertNumber(trimmed, v)) {
        value = v;
        return {};
    }
    return name + (HasNumberForm(trimmed) ? " is beyond the range of numbers!" : " is not a number!");
}

} // namespace kivspc
