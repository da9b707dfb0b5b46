// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include "app/NumberEntry.h"
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
    std::string refused;
    EXPECT_EQ(ApplyMissingRules(kMissEqual, "nan", kMissGreater, "Infinity", &refused), "Missing Off");
    EXPECT_EQ(MissingRec.Relation1, kMissNone);
    EXPECT_EQ(MissingRec.Relation2, kMissNone);
    EXPECT_FALSE(MissingRec.MissingOn);
    EXPECT_EQ(refused, "Missing When value 1 is not a number!\r\nMissing When value 2 is not a number!\r\n"
                       "Missing When is off.");
    EXPECT_EQ(ApplyMissingRules(kMissEqual, "0", kMissGreater, "1e", &refused), "Missing: X = 0");
    EXPECT_EQ(refused, "Missing When value 2 is not a number!\r\nThat rule is switched off.");
    EXPECT_EQ(ApplyMissingRules(kMissEqual, "0", kMissNone, "1e", &refused), "Missing: X = 0");
    EXPECT_EQ(refused, "") << "a rule at None has no value to refuse";
}

TEST(ConvertNumberTest, NumberBoxesNameTheBoxThatHoldsNoNumber) {
    struct Case {
        const char* text;
        const char* problem; // "" when it is a number
        double value;
    };
    const Case cases[] = {
        {"2.5", "", 2.5},
        {" -3 ", "", -3},
        {"5.", "", 5},
        {"-.5", "", -0.5},
        {"1e3", "", 1000},
        {"-", "A is not a number!", 0},
        {"1e", "A is not a number!", 0},
        {"", "A is not a number!", 0},
        {"  ", "A is not a number!", 0},
        {".", "A is not a number!", 0},
        {"1-2", "A is not a number!", 0},
        {"nan", "A is not a number!", 0},
        {"1e999", "A is beyond the range of numbers!", 0},
        {"-1e400", "A is beyond the range of numbers!", 0},
    };
    for (const Case& c : cases) {
        double value = 7;
        EXPECT_EQ(NumberEntryProblem(c.text, "A", value), c.problem) << c.text;
        EXPECT_EQ(value, *c.problem ? 7 : c.value) << c.text << ": a refused text leaves the value alone";
    }
}
