// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include <string>

using namespace kivspc;

namespace {

TEST(TextToolsTest, BlanksAndPadding) {
    EXPECT_EQ(Blanks(0), "");
    EXPECT_EQ(Blanks(3), "   ");
    EXPECT_EQ(Blanks(-2), "");
    EXPECT_EQ(PadRight("ab", 5), "ab   ");
    EXPECT_EQ(PadRight("abcdef", 3), "abcdef");
    EXPECT_EQ(PadLeft("ab", 5), "   ab");
    EXPECT_EQ(PadLeft("abcdef", 3), "abcdef");
    EXPECT_EQ(PadLeft("ab", 0), "ab");
    // Widths count characters, so a name with an accent lines up like any other.
    EXPECT_EQ(PadRight("\xC2\xB5m", 4), "\xC2\xB5m  ");
    EXPECT_EQ(PadLeft("\xC3\xA9t\xC3\xA9", 4), " \xC3\xA9t\xC3\xA9");
}

TEST(TextToolsTest, BlankRemoval) {
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks(""), "");
    EXPECT_EQ(TrimBlanks("\ta\t"), "\ta\t");
    EXPECT_EQ(RemoveBlanks(" a b  c "), "abc");
    EXPECT_EQ(CollapseBlanks("  a   b  c "), "a b c");
    EXPECT_EQ(CollapseBlanks("    "), "");
}

TEST(TextToolsTest, DropLastCharAndTag) {
    EXPECT_EQ(DropLastChar("abc"), "ab");
    EXPECT_EQ(DropLastChar("a"), "");
    EXPECT_EQ(DropLastChar(""), "");
    EXPECT_EQ(DropLastChar("a\xC2\xB5"), "a"); // a whole character, not a byte
    EXPECT_EQ(DropTag("ABWeight"), "Weight");
    EXPECT_EQ(DropTag("AB"), "");
    EXPECT_EQ(DropTag("A"), "");
}

TEST(TextToolsTest, ColumnTagsRoundTripForEveryColumn) {
    EXPECT_EQ(ColumnTag(1), "AB");
    EXPECT_EQ(ColumnTag(25), "BA");
    EXPECT_EQ(ColumnTag(512), "UM");
    EXPECT_EQ(TagColumn("AB"), 1);
    EXPECT_EQ(TagColumn("BA"), 25);
    EXPECT_EQ(TagColumn("UM"), 512);
    for (int col = 1; col <= kMaxColumns; ++col) {
        std::string tag = ColumnTag(col);
        ASSERT_EQ(tag.size(), 2u);
        ASSERT_EQ(TagColumn(tag), col) << tag;
        // Setup lists carry the tag in front of the column name.
        ASSERT_EQ(TagColumn(tag + "Diameter (mm)"), col);
    }
    EXPECT_EQ(TagColumn(""), 0);
    EXPECT_EQ(TagColumn("A"), 0);
}

TEST(TextToolsTest, WorkTextAccumulates) {
    WorkText.clear();
    AppendWorkText("Mean = ");
    AppendWorkText("4.5");
    EXPECT_EQ(WorkText, "Mean = 4.5");
    WorkText.clear();
}

TEST(TextToolsTest, ParseIntegerListTakesEveryRunOfDigits) {
    std::vector<int> values;
    int count = -1;
    ParseIntegerList("12 ab 7,0042-3", values, count);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(values, (std::vector<int>{12, 7, 42, 3}));

    ParseIntegerList("", values, count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(values.empty());

    // 16-bit values: larger runs are held at the largest one.
    ParseIntegerList("32767 32768 99999999999999999999", values, count);
    EXPECT_EQ(values, (std::vector<int>{32767, 32767, 32767}));
}

TEST(TextToolsTest, FirstIntegerSkipsZeroRuns) {
    const std::pair<const char*, long long> cases[] = {
        {"", -1},     {"abc", -1},   {"- .", -1},  {"0", 0},       {"0 00 000", 0},
        {"0 7 9", 7}, {"x12y3", 12}, {"  005", 5}, {"0,0,31", 31},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(FirstInteger(text), expected) << '"' << text << '"';
    EXPECT_GT(FirstInteger("99999999999999999999999"), 0); // held, never wrapped negative
}

TEST(TextToolsTest, HasNonNumericChar) {
    for (const char* numeric : {"", "12", " -1.5E+3 ", "1,000", "\t", "e", "..", "+-"})
        EXPECT_FALSE(HasNonNumericChar(numeric)) << '"' << numeric << '"';
    for (const char* text : {"x", "12a", "1/2", "N/A", "\xC2\xB5", "5\r", "(3)", "1_000"})
        EXPECT_TRUE(HasNonNumericChar(text)) << '"' << text << '"';
}

TEST(TextToolsTest, IsNumberTextWantsTheWholeTextToBeANumber) {
    // Numbers as a cell reads them, and the cells' missing-value marks.
    for (const char* number : {"12", "-1.5E+3", ".5", "5.", "-.5", "+3", "1e5", ".", ".."})
        EXPECT_TRUE(IsNumberText(number)) << '"' << number << '"';
    // Only characters that occur in numbers, but no number: a column may be named so.
    for (const char* name : {"", "E", "e", "-", "+", "1-2", "1,000", "...", "1e", "E5", " ", "Temp"})
        EXPECT_FALSE(IsNumberText(name)) << '"' << name << '"';
}

TEST(TextToolsTest, ACommaStandsForTheDecimalPointAsInTheNumberBoxes) {
    const std::pair<const char*, const char*> cases[] = {
        {"24,995", "24.995"}, {"-0,5", "-0.5"},   {",5", ".5"},       {"1,5E3", "1.5E3"},
        {"5,", "5."},         {"1,2,3", "1,2,3"}, {"1,5.2", "1,5.2"}, {"1.5,2", "1.5,2"},
        {"a,b", "a,b"},       {",", ","},         {"12", "12"},       {"Early shift", "Early shift"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(DecimalCommaAsPoint(text), expected) << '"' << text << '"';
}

} // namespace
