// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include "data/Missu.h"

#include <limits>

using namespace kivspc;

TEST(ConvertNumberTest, BadCharactersAreReportedByPosition) {
    struct Case {
        const char* text;
        int position; // 0: converted
        double value;
    };
    const double kNone = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"12.5", 0, 12.5}, {"+.5", 0, 0.5},        {"-.5", 0, -0.5},  {"5.", 0, 5},     {" 7", 0, 7},
        {"1e3", 0, 1000},  {"1-2", 2, kNone},      {"1e", 2, kNone},  {"+.", 2, kNone}, {"inf", 1, kNone},
        {"nan", 1, kNone}, {"Infinity", 1, kNone}, {"12x", 3, kNone}, {"", 1, kNone},   {".", 1, kNone},
    };
    for (const Case& c : cases) {
        double v = kNone;
        EXPECT_EQ(ConvertNumberAt(c.text, v), c.position) << c.text;
        if (c.position == 0) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    EXPECT_EQ(CellTextToValue("+."), MissingValue);
}

TEST_F(CoreTest, NumberListConversionsLeaveTheirStatus) {
    std::vector<std::string> texts;
    std::vector<double> values;
    int count = 0;
    ParseNumberList("1-2", texts, values, count);
    EXPECT_EQ(StatErrorCode, 2);
    ParseNumberList("1", texts, values, count);
    EXPECT_EQ(StatErrorCode, 0);
}

TEST_F(CoreTest, RulesWithValuesThatAreNoNumbersAreSwitchedOff) {
    // Missing When on "nan" or "Infinity" would compare against values no cell holds.
    EXPECT_EQ(ApplyMissingRules(kMissEqual, "nan", kMissGreater, "Infinity"), "Missing: no valid rule");
    EXPECT_EQ(MissingRec.Relation1, kMissNone);
    EXPECT_EQ(MissingRec.Relation2, kMissNone);
}
