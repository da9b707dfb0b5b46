// SPDX-License-Identifier: GPL-3.0-or-later
// Golden files: the exact text a test expects, kept as a file beside the test in
// tests/core/<area>/golden/, with its input (a data file, or the inputs stated in the file).
//
// Adding one: call ExpectGolden("<area>/golden/<name>.txt", text) in a test and run that test
// once with KIVSPC_UPDATE_GOLDEN=1, which writes the file:
//     KIVSPC_UPDATE_GOLDEN=1 build/tests/core/kivspc_core_tests --gtest_filter='MyTest.*'
// Read the new file line by line and check its numbers independently (by hand, or against a
// published table) before committing it with the test.
//
// Changing one on purpose: rerun the tests with the switch, read `git diff tests/` and commit the
// files together with the change of behaviour that explains them. Without the switch the files
// are only read; a difference fails the test with a short diff.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The environment variable that lets ExpectGolden write the files.
inline constexpr const char* kUpdateGoldenVariable = "KIVSPC_UPDATE_GOLDEN";

// Compares `actual` with the golden file `name` (a path below tests/core) exactly. A difference
// or a missing file fails the test at the caller's line; with KIVSPC_UPDATE_GOLDEN=1 the file is
// written instead, and the test output says so. (The caller's place comes from the compiler's
// builtins, which clang 14 offers where it lacks std::source_location.)
void ExpectGolden(std::string_view name, std::string_view actual, const char* callerFile = __builtin_FILE(),
                  int callerLine = __builtin_LINE());

// The file a golden name stands for, in the source tree.
std::filesystem::path GoldenPath(std::string_view name);

struct GoldenOutcome {
    bool passed = false;
    std::string message; // why it failed, or what was written; empty when the file matched
};

// The work of ExpectGolden on any file, without touching the test's result.
GoldenOutcome CompareGolden(const std::filesystem::path& file, std::string_view actual, bool update);

// Golden files that hold several cases start each with a line beginning with this heading mark.
inline constexpr std::string_view kCaseHeading = "#### ";

// A unified-style diff of two texts, line by line ("-" golden, "+" actual), with two lines of
// context and at most `maxLines` lines of hunks. A hunk header gives the line numbers and repeats
// the last case heading above the hunk.
std::string GoldenDiff(std::string_view expected, std::string_view actual, std::size_t maxLines = 40);
