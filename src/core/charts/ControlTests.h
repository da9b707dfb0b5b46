// SPDX-License-Identifier: GPL-3.0-or-later
// The nine tests for statistical control over the points of a chart, the code each point gets
// (the letters of the tests it violates and the marks of the patterns it belongs to), and the
// program-wide test settings with their defaults in the settings store.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kivspc {

// The tests in their fixed order; a test's number is its place in that order.
enum ControlTest : int {
    kTestOutsideLimits = 1,
    kTestRun = 2,
    kTestTrend = 3,
    kTestExcessVariability = 4,
    kTestLackOfVariability = 5,
    kTestAlternating = 6,
    kTestZoneRule1 = 7,
    kTestZoneRule2 = 8,
    kTestMovingRange = 9,
};
inline constexpr int kControlTestCount = 9;
// The code letter of test t is kControlTestLetters[t - 1].
inline constexpr std::string_view kControlTestLetters = "ORTELA12M";
// A point's code holds at most this many characters.
inline constexpr std::size_t kControlCodeChars = 9;
// A pattern-member mark is the test's letter plus this (a byte above 100).
inline constexpr int kMemberMarkOffset = 100;
// Slot 0: the location or attributes chart; slot 1: the dispersion chart.
inline constexpr int kControlCodeSlots = 2;
// Test 9 fires on a jump larger than this many standard errors.
inline constexpr double kMovingRangeStdErrors = 3.6864;

// Places of the counts in TControlTestSettings::Counts; the other places are kept as stored.
enum ControlTestCount : int {
    kCountRun = 1,
    kCountTrend = 2,
    kCountExcessVariability = 3,
    kCountLackOfVariability = 4,
    kCountAlternating = 5,
    kCountZoneRule1K = 6,
    kCountZoneRule2K = 7,
    kCountZoneRule1M = 15,
    kCountZoneRule2M = 16,
};
inline constexpr int kControlTestCountSlots = 18;

// Which tests are on (index t - 1 for test t) for ordinary and for moving-range charts, and the
// counts that define the patterns.
struct TControlTestSettings {
    std::array<bool, kControlTestCount> StdCheck{};
    std::array<bool, kControlTestCount> MRCheck{};
    std::array<std::uint8_t, kControlTestCountSlots> Counts{};

    bool operator==(const TControlTestSettings&) const = default;
};

// Tests 1-6 on for ordinary charts, test 1 on for moving-range charts; runs of 8, trends of 6,
// 8 outside and 15 inside one standard error, 14 alternating, 4 of 5 and 2 of 3.
TControlTestSettings DefaultControlTestSettings();
// The range a count may take; {0, 255} for the places without meaning.
struct TCountRange {
    int Min;
    int Max;
};
TCountRange ControlTestCountRange(int place);

// The program-wide settings every chart uses.
extern TControlTestSettings ControlTestSettings;

// Settings store value names and their text forms: nine "1"/"0" characters per column, and 18
// characters for the counts, count j written as the character whose code is j's value + 64.
inline constexpr const char* kStdControlTestCheck = "StdControlTestCheck";
inline constexpr const char* kMRControlTestCheck = "MRControlTestCheck";
inline constexpr const char* kControlTestValues = "ControlTestValues";
std::string ControlTestChecksText(const std::array<bool, kControlTestCount>& checks);
std::string ControlTestValuesText(const std::array<std::uint8_t, kControlTestCountSlots>& counts);

// Reads the settings from the store; the built-in defaults when they were never saved (or the
// store cannot be read). A count that is absent or outside its range takes its default.
void LoadControlTestSettings();
// Writes the settings as the defaults of later runs.
void SaveControlTestSettings();

// The description of test t with the current counts ("Run of 8 or More Above/Below the
// Centerline"); empty for an unknown test.
std::string ControlTestName(int test);

// A read-only view of a point table: Rows[r][p] is row r's cell of point p (points from 1, so
// cell 0 is unused). A row index beyond Rows, or a null row, reads as missing everywhere.
struct TPointTableView {
    std::span<const double* const> Rows;
    std::size_t Cells = 0; // cells in every row: points 1..Cells - 1 can be read
};
// A view over rows kept as vectors (the rows are referenced, not copied). Rows must stay alive
// and unresized while the view is used.
class TPointTableRows {
public:
    explicit TPointTableRows(const std::vector<std::vector<double>>& rows);
    TPointTableView View() const { return {pointers_, cells_}; }

private:
    std::vector<const double*> pointers_;
    std::size_t cells_ = 0;
};

// Codes every point 1..points of slot `slot` with the enabled tests (the Moving Range column of
// the settings when movingRangeFlag is set, else the Standard column). The rows are given by
// index into the table: value, upper limit, centerline, lower limit, standard error, set number
// and break mark (1 when an empty row or subgroup follows the point). A point whose value is
// missing gets an empty code. Points beyond the table's cells are not evaluated.
void RunControlTests(const TPointTableView& table, int points, int setRow, int slot, bool movingRangeFlag,
                     int seRow, int breakRow, int uclRow, int clRow, int lclRow, int valueRow);

// Makes room for codes of points 1..points in both slots; the table never shrinks.
void SizeControlCodes(int points);
// Empties every code of both slots.
void ClearControlCodes();
// Frees the code table and puts the settings back to the built-in defaults (new runs, tests).
void ResetControlTests();

// The code of a point with every pattern-member mark shown as its plain letter; empty for a
// point or slot out of range.
std::string ControlCodes(int slot, int point);
// The code as stored: own letters, then member marks (letter + kMemberMarkOffset).
std::string_view RawControlCode(int slot, int point);

} // namespace kivspc
