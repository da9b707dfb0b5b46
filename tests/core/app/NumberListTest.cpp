// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include <string>
#include <vector>

using namespace kivspc;

namespace {

constexpr const char* kBlankCommasQuestion = "Want blank Commas to indicate missing values?";

class NumberListTest : public CoreTest {
protected:
    void Parse(std::string_view text) {
        texts = {"stale"};
        values = {1.0};
        count = -1;
        ParseNumberList(text, texts, values, count);
        ASSERT_EQ(texts.size(), static_cast<std::size_t>(count));
        ASSERT_EQ(values.size(), static_cast<std::size_t>(count));
    }
    int Questions() const {
        int n = 0;
        for (const auto& m : platform.Messages)
            n += m.kind == "yesno" && m.text == kBlankCommasQuestion;
        return n;
    }

    std::vector<std::string> texts;
    std::vector<double> values;
    int count = 0;
};

TEST_F(NumberListTest, CommasAfterNumbersOnlySeparate) {
    Parse("1, 2, 3");
    EXPECT_EQ(texts, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(values, (std::vector<double>{1, 2, 3}));
    Parse("1,2,3");
    EXPECT_EQ(count, 3);
    EXPECT_TRUE(platform.Messages.empty());
    EXPECT_TRUE(AskBlankCommas);
}

TEST_F(NumberListTest, BlankCommaAsksOnceAndYesMeansMissing) {
    platform.Answers = {Answer::Yes};
    Parse("1,,3");
    EXPECT_EQ(texts, (std::vector<std::string>{"1", "", "3"}));
    EXPECT_EQ(values, (std::vector<double>{1, MissingValue, 3}));
    EXPECT_EQ(Questions(), 1);

    // The answer holds until the next data file is loaded.
    Parse("4,,,5");
    EXPECT_EQ(values, (std::vector<double>{4, MissingValue, MissingValue, 5}));
    EXPECT_EQ(Questions(), 1);

    AskBlankCommas = true; // what loading a file does
    platform.Answers = {Answer::No};
    Parse("1,,3");
    EXPECT_EQ(values, (std::vector<double>{1, 3}));
    EXPECT_EQ(Questions(), 2);
}

TEST_F(NumberListTest, BlankCommaWithNoIsSkipped) {
    platform.Answers = {Answer::No};
    Parse("1,,3");
    EXPECT_EQ(texts, (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(values, (std::vector<double>{1, 3}));
    EXPECT_FALSE(AskBlankCommas);
    EXPECT_FALSE(BlankCommasMissing);
}

TEST_F(NumberListTest, CommaThatEndsTheTextCountsAsBlank) {
    platform.Answers = {Answer::Yes};
    Parse("1,2,");
    EXPECT_EQ(texts, (std::vector<std::string>{"1", "2", ""}));
    EXPECT_EQ(Questions(), 1);
    Parse(",7");
    EXPECT_EQ(texts, (std::vector<std::string>{"", "7"}));
}

TEST_F(NumberListTest, TabsAlwaysGiveBlankEntries) {
    Parse("\t7\t\t");
    EXPECT_EQ(texts, (std::vector<std::string>{"", "7", "", ""}));
    EXPECT_EQ(values, (std::vector<double>{MissingValue, 7, MissingValue, MissingValue}));
    Parse("1\t2");
    EXPECT_EQ(values, (std::vector<double>{1, MissingValue, 2}));
    EXPECT_TRUE(platform.Messages.empty());
}

TEST_F(NumberListTest, LoneSignsAndPointsAreIgnored) {
    Parse("1 . - 2 -");
    EXPECT_EQ(values, (std::vector<double>{1, 2}));
    // A comma straight after an ignored token still only ends it: no question, no blank.
    platform.Answers = {Answer::Yes};
    Parse("1,.,3,-,4");
    EXPECT_EQ(values, (std::vector<double>{1, 3, 4}));
    EXPECT_EQ(Questions(), 0);
}

TEST_F(NumberListTest, TokensAreNormalisedAndConverted) {
    Parse(".5 -.5 5. 1.5E-3 +2 x9;10");
    EXPECT_EQ(texts, (std::vector<std::string>{"0.5", "-0.5", "5", "1.5E-3", "2", "9", "10"}));
    EXPECT_EQ(values, (std::vector<double>{0.5, -0.5, 5, 0.0015, 2, 9, 10}));
}

TEST_F(NumberListTest, BadTokensBecomeBlankEntries) {
    Parse("1-2 3 1e999 4..5 ..");
    EXPECT_EQ(texts, (std::vector<std::string>{"", "3", "", "", ""}));
    EXPECT_EQ(values, (std::vector<double>{MissingValue, 3, MissingValue, MissingValue, MissingValue}));
}

TEST_F(NumberListTest, StopsAt512Entries) {
    std::string text;
    for (int i = 1; i <= 600; ++i)
        text += std::to_string(i) + " ";
    Parse(text);
    EXPECT_EQ(count, 512);
    EXPECT_EQ(values.back(), 512);

    std::string tabs(1000, '\t');
    Parse(tabs);
    EXPECT_EQ(count, 512);
}

TEST_F(NumberListTest, HugeTextDoesNotBreakParsing) {
    std::string digits(1 << 20, '7');
    Parse(digits + " 1");
    ASSERT_EQ(count, 2);
    EXPECT_EQ(values[1], 1);
    Parse(std::string(1 << 20, 'x'));
    EXPECT_EQ(count, 0);
}

} // namespace
