// SPDX-License-Identifier: GPL-3.0-or-later
// The tests for statistical control on small hand-made series. Every expected code below was
// worked out by hand from the series beside it: own letters as they are, a pattern-member mark
// written as '*' + the test's letter.
#include "charts/ControlTests.h"
#include "CoreFixture.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

using namespace kivspc;

namespace {

constexpr double kMiss = MissingValue;

// The rows of the variables chart's location call.
constexpr int kValueRow = 1, kLclRow = 3, kClRow = 4, kUclRow = 5, kSetRow = 12, kSeRow = 13, kBreakRow = 18;
constexpr int kRows = 19;

using Codes = std::vector<std::string>;

// n cells of `value`, with the given (point, value) exceptions; points count from 1.
std::vector<double> Fill(std::size_t n, double value, std::initializer_list<std::pair<int, double>> at = {}) {
    std::vector<double> cells(n, value);
    for (const auto& [point, v] : at)
        cells[static_cast<std::size_t>(point) - 1] = v;
    return cells;
}

// One chart's points; an empty row takes its default for every point: centerline 0, standard
// error 1, no limits, set 0, no breaks.
struct Chart {
    std::vector<double> values{};
    std::vector<double> cl{}, se{}, ucl{}, lcl{}, set{}, brk{};
};

// A code as the tests below write it: member marks as '*' + letter.
std::string Readable(std::string_view raw) {
    std::string text;
    for (char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > kMemberMarkOffset) {
            text += '*';
            text += static_cast<char>(byte - kMemberMarkOffset);
        } else {
            text += c;
        }
    }
    return text;
}

Codes Repeat(std::size_t n, const std::string& code) { return Codes(n, code); }
Codes Join(std::initializer_list<Codes> parts) {
    Codes all;
    for (const Codes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class ControlTestsTest : public CoreTest {
public:
    // Only the given tests on in the Standard column.
    static void Only(std::initializer_list<int> tests) {
        ControlTestSettings.StdCheck.fill(false);
        for (int t : tests)
            ControlTestSettings.StdCheck[static_cast<std::size_t>(t - 1)] = true;
    }
    static void SetCount(int place, int value) {
        ControlTestSettings.Counts[static_cast<std::size_t>(place)] = static_cast<std::uint8_t>(value);
    }

    // Runs the tests on the chart in `slot` and returns the readable codes of its points.
    static Codes Run(const Chart& chart, int slot = 0, bool movingRange = false) {
        const std::size_t n = chart.values.size();
        std::vector<std::vector<double>> table(kRows, std::vector<double>(n + 1, kMiss));
        const auto put = [&](int row, const std::vector<double>& cells, double otherwise) {
            for (std::size_t p = 1; p <= n; ++p)
                table[static_cast<std::size_t>(row)][p] = cells.empty() ? otherwise : cells[p - 1];
        };
        put(kValueRow, chart.values, kMiss);
        put(kClRow, chart.cl, 0);
        put(kSeRow, chart.se, 1);
        put(kUclRow, chart.ucl, kMiss);
        put(kLclRow, chart.lcl, kMiss);
        put(kSetRow, chart.set, 0);
        put(kBreakRow, chart.brk, 0);
        const TPointTableRows rows(table);
        RunControlTests(rows.View(), static_cast<int>(n), kSetRow, slot, movingRange, kSeRow, kBreakRow,
                        kUclRow, kClRow, kLclRow, kValueRow);
        Codes codes;
        for (int p = 1; p <= static_cast<int>(n); ++p)
            codes.push_back(Readable(RawControlCode(slot, p)));
        return codes;
    }
};

struct PatternCase {
    const char* what;
    int test; // the only test on
    Chart chart;
    Codes expected;
};

void ExpectCases(const std::vector<PatternCase>& cases) {
    for (const PatternCase& c : cases) {
        SCOPED_TRACE(c.what);
        ControlTestSettings = DefaultControlTestSettings();
        ControlTestSettings.StdCheck.fill(false);
        ControlTestSettings.StdCheck[static_cast<std::size_t>(c.test - 1)] = true;
        EXPECT_EQ(ControlTestsTest::Run(c.chart), c.expected);
    }
}

} // namespace

// Default counts, centerline 0, standard error 1: each test on its own pattern, and what just
// fails to make the pattern.
TEST_F(ControlTestsTest, EachTestFiresOnItsPattern) {
    // clang-format off
    ExpectCases({
        {"8 above after a point on the centre; the 9th fires again", kTestRun,
         {Fill(10, 1, {{1, 0}})}, Join({{""}, Repeat(7, "*R"), {"R", "R"}})},
        {"a point on the centre ends a run below", kTestRun,
         {Fill(16, -1, {{8, 0}})}, Join({Repeat(8, ""), Repeat(7, "*R"), {"R"}})},
        {"six increasing points: five rises", kTestTrend,
         {{1, 2, 3, 4, 5, 6, 7}}, Join({Repeat(5, "*T"), {"T", "T"}})},
        {"six decreasing points", kTestTrend, {{6, 5, 4, 3, 2, 1}}, Join({Repeat(5, "*T"), {"T"}})},
        {"a tie breaks the trend", kTestTrend,
         {{1, 2, 3, 3, 4, 5, 6, 7, 8}}, Join({Repeat(3, ""), Repeat(5, "*T"), {"T"}})},
        {"8 outside one standard error on both sides", kTestExcessVariability,
         {{2, -2, 2, -2, 2, -2, 2, -2}}, Join({Repeat(7, "*E"), {"E"}})},
        {"8 outside on one side only", kTestExcessVariability, {Fill(8, 2)}, Repeat(8, "")},
        {"15 strictly inside", kTestLackOfVariability, {Fill(15, 0.5)}, Join({Repeat(14, "*L"), {"L"}})},
        {"a point on the band's edge is not inside", kTestLackOfVariability,
         {Fill(15, 0.5, {{8, 1}})}, Repeat(15, "")},
        {"14 alternating", kTestAlternating,
         {{1, -1, 1, -1, 1, -1, 1, -1, 1, -1, 1, -1, 1, -1}}, Join({Repeat(13, "*A"), {"A"}})},
        {"two equal neighbours break the alternation", kTestAlternating,
         {{1, -1, 1, -1, 1, -1, 1, 1, -1, 1, -1, 1, -1, 1}}, Repeat(14, "")},
        {"5 of 5 outside one standard error", kTestZoneRule1, {Fill(5, 2)}, Join({Repeat(4, "*1"), {"1"}})},
        {"4 of 5 outside, on either side; the edge is inside", kTestZoneRule1,
         {{2, 1, -2, 2, 2}}, Join({Repeat(4, "*1"), {"1"}})},
        {"3 of 5 outside", kTestZoneRule1, {{2, 1, 1, 2, 2}}, Repeat(5, "")},
        {"2 of 3 outside two standard errors", kTestZoneRule2, {{3, 0, -3}}, {"*2", "*2", "2"}},
        {"a point on two standard errors is inside", kTestZoneRule2, {{3, 2, 0}}, Repeat(3, "")},
        {"outside the limits, not on them", kTestOutsideLimits,
         {{4, 3, -3, -4, 0}, {}, {}, Fill(5, 3), Fill(5, -3)}, {"O", "", "", "O", ""}},
        {"jumps beyond 3.6864 standard errors", kTestMovingRange,
         {{0, 3.6, 0, 3.7, -0.1}}, {"", "", "", "M", "M"}},
        {"a jump of exactly 3.6864 standard errors", kTestMovingRange, {{0, 3.6864}}, {"", ""}},
        {"a standard error of 0 never fires", kTestMovingRange, {{0, 5}, {}, Fill(2, 0)}, {"", ""}},
    });
    // clang-format on
}

// A break mark, a set change or a missing value between the points of a window keeps every
// pattern test quiet for that window; the first clean window fires. Twelve points above the
// centerline with the run test (8) on.
TEST_F(ControlTestsTest, BreaksSetsAndMissingValuesCloseTheWindow) {
    const Codes afterPoint4 = Join({Repeat(4, ""), Repeat(7, "*R"), {"R"}});
    const Codes afterPoint1 = Join({{""}, Repeat(7, "*R"), Repeat(4, "R")});
    // clang-format off
    ExpectCases({
        {"no interruption", kTestRun, {Fill(12, 1)}, Join({Repeat(7, "*R"), Repeat(5, "R")})},
        {"break after point 4", kTestRun, {Fill(12, 1), {}, {}, {}, {}, {}, Fill(12, 0, {{4, 1}})}, afterPoint4},
        {"set change after point 4", kTestRun, {Fill(12, 1), {}, {}, {}, {}, Fill(12, 2, {{1, 1}, {2, 1}, {3, 1}, {4, 1}})},
         afterPoint4},
        {"point 4 missing", kTestRun, {Fill(12, 1, {{4, kMiss}})}, afterPoint4},
        {"centerline missing at point 4", kTestRun, {Fill(12, 1), Fill(12, 0, {{4, kMiss}})}, afterPoint4},
        {"break after the first point", kTestRun, {Fill(12, 1), {}, {}, {}, {}, {}, Fill(12, 0, {{1, 1}})}, afterPoint1},
        {"set change after the first point", kTestRun, {Fill(12, 1), {}, {}, {}, {}, Fill(12, 5, {{1, 4}})}, afterPoint1},
        {"a break after the last point of the window does not matter", kTestRun,
         {Fill(12, 1), {}, {}, {}, {}, {}, Fill(12, 0, {{8, 1}})}, Join({Repeat(7, "*R"), {"R"}, Repeat(4, "")})},
        {"jump across a break", kTestMovingRange, {{0, 5, 10}, {}, {}, {}, {}, {}, {0, 1, 0}}, {"", "M", ""}},
        {"jump across a set change", kTestMovingRange, {{0, 5, 10}, {}, {}, {}, {}, {1, 2, 2}}, {"", "", "M"}},
        {"jump over a missing point", kTestMovingRange, {{0, kMiss, 10}}, {"", "", ""}},
        {"outside the limits also right after a break", kTestOutsideLimits,
         {{4, 4}, {}, {}, {3, 3}, {}, {}, {1, 0}}, {"O", "O"}},
    });
    // clang-format on
}

// What cannot be formed does not fire: limits, centerlines and standard errors that are missing.
TEST_F(ControlTestsTest, MissingCentreStandardErrorOrLimitsKeepTestsQuiet) {
    const Chart noSe = {{2, -2, 2, -2, 2, -2, 2, -2}, {}, Fill(8, kMiss)};
    // clang-format off
    ExpectCases({
        {"only the LCL", kTestOutsideLimits, {{4, -4}, {}, {}, Fill(2, kMiss), Fill(2, -3)}, {"", "O"}},
        {"only the UCL", kTestOutsideLimits, {{4, -4}, {}, {}, Fill(2, 3), Fill(2, kMiss)}, {"O", ""}},
        {"no limits", kTestOutsideLimits, {{4, -4}}, {"", ""}},
        {"no centerline: no run", kTestRun, {Fill(8, 1), Fill(8, kMiss)}, Repeat(8, "")},
        {"no centerline: the trend needs none", kTestTrend, {{1, 2, 3, 4, 5, 6}, Fill(6, kMiss)},
         Join({Repeat(5, "*T"), {"T"}})},
        {"no standard error: no excess", kTestExcessVariability, noSe, Repeat(8, "")},
        {"no standard error: no zone rule", kTestZoneRule1, noSe, Repeat(8, "")},
        {"no standard error: no lack", kTestLackOfVariability, {Fill(15, 0), {}, Fill(15, kMiss)}, Repeat(15, "")},
        {"no standard error at the point: no jump", kTestMovingRange, {{0, 5}, {}, {1, kMiss}}, {"", ""}},
        // The zone walk counts what it saw before the missing centerline: 2 of 3 are outside.
        {"zone rule stops at a missing centerline", kTestZoneRule2, {{0, 3, 3}, {kMiss, 0, 0}}, {"*2", "*2", "2"}},
        {"zone rule counts nothing before a missing centerline", kTestZoneRule2, {{3, 3, 3}, {0, kMiss, 0}},
         Repeat(3, "")},
    });
    // clang-format on
}

// The Standard column codes ordinary charts, the Moving Range column moving-range charts; own
// letters come in test order, marks follow in the order the patterns were found.
TEST_F(ControlTestsTest, ColumnsOfFlagsAndOrderOfLettersAndMarks) {
    const Chart chart = {{1.5, 1.5, 1.5, 1.5, 1.5, 1.5, 1.5, 4}, {}, {}, Fill(8, 3)};
    EXPECT_EQ(Run(chart), Join({Repeat(7, "*R"), {"OR"}})); // defaults: tests 1-6
    EXPECT_EQ(Run(chart, 0, true), Join({Repeat(7, ""), {"O"}}));

    ControlTestSettings.StdCheck[kTestOutsideLimits - 1] = false;
    EXPECT_EQ(Run(chart), Join({Repeat(7, "*R"), {"R"}}));
    ControlTestSettings.MRCheck[kTestOutsideLimits - 1] = false;
    EXPECT_EQ(Run(chart, 0, true), Repeat(8, ""));

    // Every test on: 4 of 5 outside one standard error from point 5 on, then the run at 8.
    ControlTestSettings.StdCheck.fill(true);
    EXPECT_EQ(Run(chart), Join({Repeat(4, "*1*R"), Repeat(3, "1*R"), {"OR1"}}));

    // ControlCodes shows the marks as plain letters.
    EXPECT_EQ(ControlCodes(0, 1), "1R");
    EXPECT_EQ(ControlCodes(0, 5), "1R");
    EXPECT_EQ(ControlCodes(0, 8), "OR1");
}

// A point already holding a test's letter or mark gets no second mark from a later pattern.
TEST_F(ControlTestsTest, MembersAreMarkedOncePerTest) {
    Only({kTestOutsideLimits, kTestRun, kTestZoneRule2});
    SetCount(kCountRun, 3);
    const Chart chart = {{1, 3, 3, 3}, {}, {}, Fill(4, 2.5)};
    // Point 3: a run of 3 (points 1-3) and 2 of 3 beyond two standard errors; point 4 both again,
    // its members 2 and 3 already carry the marks or letters.
    EXPECT_EQ(Run(chart), Codes({"*R*2", "O*R*2", "OR2", "OR2"}));
    EXPECT_EQ(ControlCodes(0, 1), "R2");
    EXPECT_EQ(ControlCodes(0, 2), "OR2");
}

// Every count at the ends of its range.
TEST_F(ControlTestsTest, CountsAtTheirRangeEnds) {
    struct Case {
        const char* what;
        int test;
        std::vector<std::pair<int, int>> counts; // place, value
        Chart chart;
        Codes expected;
    };
    const Codes run99 = Join({Repeat(98, "*R"), {"R"}});
    // clang-format off
    const Case cases[] = {
        {"run of 2", kTestRun, {{kCountRun, 2}}, {{1, 1, -1, -1, 0}}, {"*R", "R", "*R", "R", ""}},
        {"run of 99", kTestRun, {{kCountRun, 99}}, {Fill(99, 1)}, run99},
        {"98 points are no run of 99", kTestRun, {{kCountRun, 99}}, {Fill(98, 1)}, Repeat(98, "")},
        {"trend of 2", kTestTrend, {{kCountTrend, 2}}, {{1, 2, 2, 1}}, {"*T", "T", "*T", "T"}},
        {"excess of 3", kTestExcessVariability, {{kCountExcessVariability, 3}}, {{2, -2, 2}}, {"*E", "*E", "E"}},
        {"lack of 2", kTestLackOfVariability, {{kCountLackOfVariability, 2}}, {{0, 0, 2}}, {"*L", "L", ""}},
        {"alternating 3", kTestAlternating, {{kCountAlternating, 3}}, {{0, 1, 0, 1}}, {"*A", "*A", "A", "A"}},
        // With 1 of 2 the point that completes the window fires even when it is inside itself.
        {"1 of 2", kTestZoneRule1, {{kCountZoneRule1K, 1}, {kCountZoneRule1M, 2}}, {{2, 0, 0}}, {"*1", "1", ""}},
        {"99 of 99", kTestZoneRule2, {{kCountZoneRule2K, 99}, {kCountZoneRule2M, 99}}, {Fill(99, 3)},
         Join({Repeat(98, "*2"), {"2"}})},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ControlTestSettings = DefaultControlTestSettings();
        Only({c.test});
        for (const auto& [place, value] : c.counts)
            SetCount(place, value);
        EXPECT_EQ(Run(c.chart), c.expected);
    }
}

// Counts outside their ranges (from a caller that filled the settings itself) act as the nearest
// end of the range, and rows the table does not have read as missing.
TEST_F(ControlTestsTest, BadCountsAndRowsAreHarmless) {
    Only({kTestRun});
    SetCount(kCountRun, 0); // as a run of 2
    EXPECT_EQ(Run({{1, 1, 0}}), Codes({"*R", "R", ""}));

    Only({kTestOutsideLimits, kTestRun});
    std::vector<std::vector<double>> table(2, std::vector<double>(4, 5));
    const TPointTableRows rows(table);
    // Limits and centerline from rows 7 and -1, which do not exist; 100 points asked of 3.
    RunControlTests(rows.View(), 100, 7, 0, false, 7, 7, 7, -1, 7, 1);
    for (int p = 1; p <= 3; ++p)
        EXPECT_EQ(ControlCodes(0, p), "");
    EXPECT_EQ(ControlCodes(0, 4), "");
    RunControlTests(rows.View(), 3, 0, 5, false, 0, 0, 0, 0, 0, 1); // no slot 5: nothing happens
    RunControlTests({}, 3, 0, 0, false, 0, 0, 0, 0, 0, 1);
}

// The two slots hold separate codes; out-of-range questions get empty codes.
TEST_F(ControlTestsTest, SlotsAreSeparate) {
    Only({kTestOutsideLimits});
    EXPECT_EQ(Run({{4, 0}, {}, {}, Fill(2, 3)}, 0), Codes({"O", ""}));
    EXPECT_EQ(Run({{0, 4, 4}, {}, {}, Fill(3, 3)}, 1), Codes({"", "O", "O"}));
    EXPECT_EQ(ControlCodes(0, 1), "O");
    EXPECT_EQ(ControlCodes(0, 2), "");
    EXPECT_EQ(ControlCodes(1, 3), "O");
    for (const auto& [slot, point] :
         std::initializer_list<std::pair<int, int>>{{0, 0}, {0, -1}, {0, 1000}, {2, 1}, {-1, 1}})
        EXPECT_EQ(ControlCodes(slot, point), "") << slot << " " << point;

    ClearControlCodes();
    EXPECT_EQ(ControlCodes(0, 1), "");
    EXPECT_EQ(ControlCodes(1, 2), "");
}

TEST_F(ControlTestsTest, NamesCarryTheCurrentCounts) {
    const std::vector<std::string> defaults = {
        "Points Outside Control Limits",
        "Run of 8 or More Above/Below the Centerline",
        "Trend of 6 or More Increasing/Decreasing",
        "Excessive Variability, 8 or More Outside One Standard Error",
        "Lack of Variability, 15 or More Inside One Standard Error",
        "14 or More Alternating Values",
        "4 of 5 Outside One Standard Error",
        "2 of 3 Outside Two Standard Errors",
        "Excessive Moving Range Between Two Points",
    };
    for (int t = 1; t <= kControlTestCount; ++t)
        EXPECT_EQ(ControlTestName(t), defaults[static_cast<std::size_t>(t - 1)]);
    for (int unknown : {0, 10, -1})
        EXPECT_EQ(ControlTestName(unknown), "");

    SetCount(kCountRun, 12);
    SetCount(kCountAlternating, 99);
    SetCount(kCountZoneRule1K, 3);
    SetCount(kCountZoneRule1M, 7);
    SetCount(kCountZoneRule2K, 1);
    SetCount(kCountZoneRule2M, 2);
    EXPECT_EQ(ControlTestName(kTestRun), "Run of 12 or More Above/Below the Centerline");
    EXPECT_EQ(ControlTestName(kTestAlternating), "99 or More Alternating Values");
    EXPECT_EQ(ControlTestName(kTestZoneRule1), "3 of 7 Outside One Standard Error");
    EXPECT_EQ(ControlTestName(kTestZoneRule2), "1 of 2 Outside Two Standard Errors");
}

class ControlTestSettingsTest : public ControlTestsTest {
protected:
    std::string Stored(const std::string& name) {
        auto key = platform.Store.Keys.find(SettingsKey);
        if (key == platform.Store.Keys.end()) return "<no key>";
        auto value = key->second.find(name);
        return value == key->second.end() ? "<absent>" : value->second;
    }
};

TEST_F(ControlTestSettingsTest, DefaultsWhenNothingIsStored) {
    ControlTestSettings.StdCheck.fill(true);
    SetCount(kCountRun, 40);
    LoadControlTestSettings();
    EXPECT_EQ(ControlTestSettings, DefaultControlTestSettings());
    EXPECT_EQ(Stored(kStdControlTestCheck), "<no key>"); // reading writes nothing

    // An unreadable store gives the same.
    SaveControlTestSettings();
    platform.Store.Broken = true;
    SetCount(kCountRun, 40);
    LoadControlTestSettings();
    EXPECT_EQ(ControlTestSettings, DefaultControlTestSettings());
    EXPECT_TRUE(platform.Messages.empty());
}

TEST_F(ControlTestSettingsTest, SavedAsThreeTexts) {
    SaveControlTestSettings();
    EXPECT_EQ(Stored(kStdControlTestCheck), "111111000");
    EXPECT_EQ(Stored(kMRControlTestCheck), "100000000");
    // Count + 64: 0 '@', 8 'H', 6 'F', 8 'H', 15 'O', 14 'N', 4 'D', 2 'B', seven 0s, 5 'E', 3 'C', 0.
    EXPECT_EQ(Stored(kControlTestValues), "@HFHONDB@@@@@@@EC@");
}

// 4 of 5 and 2 of 3 come back as k and m; counts above 63 are characters beyond ASCII; the places
// without meaning are kept as they were.
TEST_F(ControlTestSettingsTest, RoundTrip) {
    TControlTestSettings chosen = DefaultControlTestSettings();
    chosen.StdCheck = {true, false, true, false, true, false, true, false, true};
    chosen.MRCheck = {false, true, false, false, false, false, false, true, true};
    chosen.Counts[kCountRun] = 99;
    chosen.Counts[kCountTrend] = 2;
    chosen.Counts[kCountAlternating] = 3;
    chosen.Counts[17] = 200;
    ControlTestSettings = chosen;
    SaveControlTestSettings();
    EXPECT_EQ(Stored(kStdControlTestCheck), "101010101");
    EXPECT_EQ(Stored(kMRControlTestCheck), "010000011");
    // 99 + 64 = 163 (U+00A3), 200 + 64 = 264 (U+0108), both two bytes in UTF-8.
    EXPECT_EQ(Stored(kControlTestValues), "@\xC2\xA3"
                                          "BHOCDB@@@@@@@EC\xC4\x88");

    ResetControlTests();
    ASSERT_EQ(ControlTestSettings, DefaultControlTestSettings());
    LoadControlTestSettings();
    EXPECT_EQ(ControlTestSettings, chosen);
    EXPECT_EQ(ControlTestSettings.Counts[kCountZoneRule1K], 4);
    EXPECT_EQ(ControlTestSettings.Counts[kCountZoneRule1M], 5);
    EXPECT_EQ(ControlTestSettings.Counts[kCountZoneRule2K], 2);
    EXPECT_EQ(ControlTestSettings.Counts[kCountZoneRule2M], 3);
}

// What another program or a damaged store may hold: short texts, counts out of range, single
// Latin-1 bytes. Nothing read can make a test fire everywhere or never be counted.
TEST_F(ControlTestSettingsTest, DamagedValuesTakeDefaults) {
    const TControlTestSettings defaults = DefaultControlTestSettings();
    WriteSettingString(SettingsKey, kStdControlTestCheck, "11x1");
    LoadControlTestSettings(); // no Moving Range column, no counts
    EXPECT_EQ(ControlTestSettings.StdCheck,
              (std::array<bool, 9>{true, true, false, true, false, false, false, false, false}));
    EXPECT_EQ(ControlTestSettings.MRCheck, (std::array<bool, 9>{}));
    EXPECT_EQ(ControlTestSettings.Counts, defaults.Counts);

    // Run 0 ('@') and excess 2 ('B') are below their ranges, trend 100 ('\xA4' as Latin-1) above;
    // lack 99 as the Latin-1 byte '\xA3' is fine. The text ends after 5 counts.
    WriteSettingString(SettingsKey, kControlTestValues,
                       "@@\xA4"
                       "B\xA3");
    LoadControlTestSettings();
    std::array<std::uint8_t, 18> expected = defaults.Counts;
    expected[kCountLackOfVariability] = 99;
    EXPECT_EQ(ControlTestSettings.Counts, expected);
}

// Codes are reset with the rest of the program; the table only grows while it lives.
TEST_F(ControlTestsTest, ResetFreesCodesAndRestoresSettings) {
    Only({kTestOutsideLimits});
    Run({{4}, {}, {}, {3}});
    ASSERT_EQ(ControlCodes(0, 1), "O");
    SizeControlCodes(10);
    EXPECT_EQ(ControlCodes(0, 1), "O");
    ResetCoreState();
    EXPECT_EQ(ControlCodes(0, 1), "");
    EXPECT_EQ(ControlTestSettings, DefaultControlTestSettings());
}
