// SPDX-License-Identifier: GPL-3.0-or-later
// Number lists typed by the user (Process If "in" lists, test settings, column lists).
// Input: a byte of scripted answers, a byte saying whether the blank-commas question is still
// open, then the text.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "app/TextTools.h"

#include <algorithm>

namespace kivspc::fuzz {

int FuzzNumberLists(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    RecordingPlatform& platform = ResetCore();
    ScriptAnswers(platform, in.Byte());
    const std::uint8_t flags = in.Byte();
    AskBlankCommas = flags & 1;
    BlankCommasMissing = flags & 2;
    const std::string_view text = in.Rest();

    std::vector<std::string> texts{"stale"};
    std::vector<double> values{1, 2};
    int count = -1;
    ParseNumberList(text, texts, values, count);
    Check(count >= 0 && count <= kMaxColumns, "ParseNumberList keeps at most 512 numbers");
    Check(texts.size() == static_cast<std::size_t>(count) && values.size() == static_cast<std::size_t>(count),
          "ParseNumberList fills one text and one value per number");
    for (int i = 0; i < count; ++i) {
        const auto k = static_cast<std::size_t>(i);
        Check(!texts[k].empty() || values[k] == MissingValue, "a blank entry stands for a missing value");
        double typed = 0;
        Check(texts[k].empty() || (ConvertNumber(texts[k], typed) && typed == values[k]),
              "an entry's text reads back as its value");
    }

    std::vector<int> integers{7};
    ParseIntegerList(text, integers, count);
    Check(count >= 0 && integers.size() == static_cast<std::size_t>(count),
          "ParseIntegerList counts its values");
    Check(std::all_of(integers.begin(), integers.end(), [](int v) { return v >= 0 && v <= 32767; }),
          "ParseIntegerList holds values at 32767");
    const bool digits = std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    const long long first = FirstInteger(text);
    Check(digits ? first >= 0 : first == -1, "FirstInteger is -1 exactly when there are no digits");
    return 0;
}

} // namespace kivspc::fuzz
