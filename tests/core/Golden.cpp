// SPDX-License-Identifier: GPL-3.0-or-later
#include "Golden.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

#ifndef KIVSPC_CORE_TEST_SOURCE_DIR
#error "tests/core/CMakeLists.txt passes the source folder of the core tests"
#endif

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kContext = 2;
// Above this many line pairs the changed middle is shown as removed and added, not aligned.
constexpr std::size_t kMaxAlignedPairs = 4'000'000;

struct TextLines {
    std::vector<std::string_view> lines;
    bool endsWithBreak = false;
};

TextLines SplitLines(std::string_view text) {
    TextLines out;
    out.endsWithBreak = !text.empty() && text.back() == '\n';
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            out.lines.push_back(text.substr(start));
            break;
        }
        out.lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

enum class Change : char { Same = ' ', Removed = '-', Added = '+' };

struct Step {
    Change change;
    std::string_view text;
};

// The longest common subsequence of two runs of lines, as the steps that turn one into the other.
void AlignMiddle(const std::vector<std::string_view>& a, std::size_t aBegin, std::size_t aEnd,
                 const std::vector<std::string_view>& b, std::size_t bBegin, std::size_t bEnd,
                 std::vector<Step>& steps) {
    const std::size_t n = aEnd - aBegin;
    const std::size_t m = bEnd - bBegin;
    if (n * m > kMaxAlignedPairs) {
        for (std::size_t i = aBegin; i < aEnd; ++i)
            steps.push_back({Change::Removed, a[i]});
        for (std::size_t j = bBegin; j < bEnd; ++j)
            steps.push_back({Change::Added, b[j]});
        return;
    }
    // common[i * (m + 1) + j]: length of the longest common subsequence of a[i..] and b[j..].
    std::vector<std::uint32_t> common((n + 1) * (m + 1), 0);
    auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& { return common[i * (m + 1) + j]; };
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            at(i, j) =
                a[aBegin + i] == b[bBegin + j] ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && a[aBegin + i] == b[bBegin + j]) {
            steps.push_back({Change::Same, a[aBegin + i]});
            ++i;
            ++j;
        } else if (j == m || (i < n && at(i + 1, j) >= at(i, j + 1))) {
            steps.push_back({Change::Removed, a[aBegin + i++]});
        } else {
            steps.push_back({Change::Added, b[bBegin + j++]});
        }
    }
}

std::vector<Step> EditSteps(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b) {
    std::size_t prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    std::vector<Step> steps;
    for (std::size_t i = 0; i < prefix; ++i)
        steps.push_back({Change::Same, a[i]});
    AlignMiddle(a, prefix, a.size() - suffix, b, prefix, b.size() - suffix, steps);
    for (std::size_t i = a.size() - suffix; i < a.size(); ++i)
        steps.push_back({Change::Same, a[i]});
    return steps;
}

// Control characters escaped and trailing blanks made visible: report columns are made of blanks.
std::string Visible(std::string_view line) {
    std::size_t kept = line.size();
    while (kept > 0 && line[kept - 1] == ' ')
        --kept;
    std::string out;
    for (std::size_t i = 0; i < kept; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            static const char kHex[] = "0123456789abcdef";
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    for (std::size_t i = kept; i < line.size(); ++i)
        out += "\u00B7";
    return out;
}

bool UpdateRequested() {
    const char* value = std::getenv(kUpdateGoldenVariable);
    return value != nullptr && *value != '\0' && std::string_view(value) != "0";
}

bool ReadFile(const fs::path& file, std::string& text) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return !in.bad();
}

bool WriteFile(const fs::path& file, std::string_view text) {
    std::error_code ignored;
    fs::create_directories(file.parent_path(), ignored);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return static_cast<bool>(out);
}

std::string FirstLines(std::string_view text, std::size_t count) {
    const TextLines split = SplitLines(text);
    std::string out;
    for (std::size_t i = 0; i < std::min(count, split.lines.size()); ++i)
        out += "  " + Visible(split.lines[i]) + "\n";
    if (split.lines.size() > count)
        out += "  ... (" + std::to_string(split.lines.size() - count) + " more lines)\n";
    return out;
}

std::string FinalBreakNote(const TextLines& a, const TextLines& b) {
    if (a.endsWithBreak == b.endsWithBreak) return {};
    return std::string("\\ the golden text ") + (a.endsWithBreak ? "ends" : "does not end") +
           " with a line break, the actual text " + (b.endsWithBreak ? "does" : "does not") + "\n";
}

// The last case heading of the golden text before a hunk, as git shows the function a hunk is in.
std::string CaseHeading(const std::vector<Step>& steps, std::size_t hunkBegin) {
    for (std::size_t s = hunkBegin; s-- > 0;)
        if (steps[s].change != Change::Added && steps[s].text.starts_with(kCaseHeading))
            return " " + Visible(steps[s].text);
    return {};
}

} // namespace

std::string GoldenDiff(std::string_view expected, std::string_view actual, std::size_t maxLines) {
    const TextLines a = SplitLines(expected);
    const TextLines b = SplitLines(actual);
    const std::vector<Step> steps = EditSteps(a.lines, b.lines);

    // Line numbers before each step, in the golden text and the actual text.
    std::vector<std::size_t> oldLine(steps.size() + 1, 1);
    std::vector<std::size_t> newLine(steps.size() + 1, 1);
    for (std::size_t s = 0; s < steps.size(); ++s) {
        oldLine[s + 1] = oldLine[s] + (steps[s].change != Change::Added);
        newLine[s + 1] = newLine[s] + (steps[s].change != Change::Removed);
    }

    auto changedFrom = [&steps](std::size_t from) {
        return std::count_if(steps.begin() + static_cast<std::ptrdiff_t>(from), steps.end(),
                             [](const Step& step) { return step.change != Change::Same; });
    };
    std::ostringstream out;
    std::size_t shown = 0;
    std::size_t s = 0;
    while (s < steps.size()) {
        while (s < steps.size() && steps[s].change == Change::Same)
            ++s;
        if (s == steps.size()) break;
        // A hunk runs from kContext lines before a change to kContext lines after its last change,
        // taking in the next change when the two contexts would touch.
        const std::size_t begin = s >= kContext ? s - kContext : 0;
        std::size_t last = s;
        for (std::size_t t = s; t < steps.size() && t <= last + 2 * kContext + 1; ++t)
            if (steps[t].change != Change::Same) last = t;
        const std::size_t end = std::min(steps.size(), last + 1 + kContext);
        out << "@@ -" << oldLine[begin] << ',' << oldLine[end] - oldLine[begin] << " +" << newLine[begin]
            << ',' << newLine[end] - newLine[begin] << " @@" << CaseHeading(steps, begin) << "\n";
        for (std::size_t t = begin; t < end; ++t, ++shown) {
            if (shown == maxLines) {
                if (const auto more = changedFrom(t); more > 0)
                    out << "... (" << more << " more changed lines)\n";
                return out.str() + FinalBreakNote(a, b);
            }
            out << static_cast<char>(steps[t].change) << Visible(steps[t].text) << '\n';
        }
        s = end;
    }
    return out.str() + FinalBreakNote(a, b);
}

fs::path GoldenPath(std::string_view name) { return fs::path(KIVSPC_CORE_TEST_SOURCE_DIR) / fs::path(name); }

GoldenOutcome CompareGolden(const fs::path& file, std::string_view actual, bool update) {
    std::error_code ec;
    const bool exists = fs::exists(file, ec);
    std::string expected;
    if (exists && !ReadFile(file, expected)) return {false, "cannot read the golden file " + file.string()};
    if (exists && expected == actual) return {true, {}};
    if (update) {
        if (!WriteFile(file, actual)) return {false, "cannot write the golden file " + file.string()};
        return {true, std::string(exists ? "rewrote" : "created") + " the golden file " + file.string() +
                          " (review it with git diff before committing)"};
    }
    if (!exists)
        return {false, "the golden file " + file.string() +
                           " does not exist.\nTo create it, run the test with " + kUpdateGoldenVariable +
                           "=1, then check every line of the new file before committing it." +
                           "\nThe actual text begins:\n" + FirstLines(actual, 20)};
    return {false, "the text differs from the golden file " + file.string() + " (- golden, + actual):\n" +
                       GoldenDiff(expected, actual) + "If the change is intended, run the test with " +
                       kUpdateGoldenVariable + "=1 and review the file with git diff."};
}

void ExpectGolden(std::string_view name, std::string_view actual, const char* callerFile, int callerLine) {
    const GoldenOutcome outcome = CompareGolden(GoldenPath(name), actual, UpdateRequested());
    if (!outcome.passed) {
        ADD_FAILURE_AT(callerFile, callerLine) << outcome.message;
    } else if (!outcome.message.empty()) {
        std::cout << "[ GOLDEN   ] " << outcome.message << std::endl;
        testing::Test::RecordProperty("golden", outcome.message);
    }
}
