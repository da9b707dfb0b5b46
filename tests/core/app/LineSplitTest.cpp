// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include <string>
#include <vector>

using namespace kivspc;

namespace {

using Fields = std::vector<std::string>;

Fields Header(std::string_view line, bool* truncated = nullptr) {
    Fields f;
    bool t = SplitHeaderLine(line, f);
    if (truncated) *truncated = t;
    return f;
}

Fields Data(std::string_view line) {
    std::vector<std::string_view> views;
    SplitDataLine(line, views);
    return {views.begin(), views.end()};
}

TEST(LineSplitTest, HeaderLine) {
    const std::pair<const char*, Fields> cases[] = {
        {"Weight\tHeight", {"Weight", "Height"}},
        {"a\t\tb\t", {"a", "", "b", ""}},
        {"\tb", {"", "b"}},
        // With a tab in the line, blanks and commas belong to the names.
        {"Net weight, kg\tAge", {"Net weight, kg", "Age"}},
        {"  Weight, Height  Age ,,", {"Weight", "Height", "Age"}},
        {",,", {}},
        {"", {}},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(Header(line), expected) << '"' << line << '"';
}

TEST(LineSplitTest, HeaderLineLimits) {
    std::string line;
    for (int i = 1; i <= 600; ++i)
        line += "N" + std::to_string(i) + "\t";
    bool truncated = false;
    Fields f = Header(line, &truncated);
    EXPECT_TRUE(truncated);
    ASSERT_EQ(f.size(), 512u);
    EXPECT_EQ(f[511], "N512");

    Header("A B C", &truncated);
    EXPECT_FALSE(truncated);

    // Names keep 80 characters, counted as characters.
    std::string accented;
    for (int i = 0; i < 100; ++i)
        accented += "\xC3\xA9";
    f = Header(std::string(100, 'n') + "\t" + accented);
    EXPECT_EQ(f[0], std::string(80, 'n'));
    EXPECT_EQ(f[1], accented.substr(0, 160));
}

TEST(LineSplitTest, DataLine) {
    const std::pair<const char*, Fields> cases[] = {
        {"3,,5", {"3", "", "5"}},
        {"3,5,", {"3", "5"}},
        {",3", {"", "3"}},
        {"  3    5  ", {"3", "5"}},
        {"1\t2,5\t3", {"1", "2,5", "3"}}, // tabs win over commas
        {"1\t\t3\t", {"1", "", "3"}},
        {"\t", {""}},
        {"a b,c d", {"a b", "c d"}}, // commas win over blanks; blanks stay
        {" 3, 5", {" 3", " 5"}},
        {"7", {"7"}},
        {"", {}},
        {"    ", {}},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(Data(line), expected) << '"' << line << '"';
}

TEST(LineSplitTest, DataLineWithManyFields) {
    std::string line(100000, ',');
    EXPECT_EQ(Data(line).size(), 100000u);
    std::string wide(1 << 20, 'x');
    EXPECT_EQ(Data(wide + " " + wide).size(), 2u);
}

TEST(LineSplitTest, CellTextToValue) {
    const std::pair<const char*, double> numbers[] = {
        {".5", 0.5},        {"-.5", -0.5}, {"5.", 5}, {"1e3", 1000}, {"+2", 2},
        {"1.5E-3", 0.0015}, {"-7", -7},    {"0", 0},  {"1E+2", 100}, {" 5", 5},
    };
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(CellTextToValue(text), value) << '"' << text << '"';

    const char* missing[] = {"",    ".",   "..", "-",  "+",     "1,000", "5 ",    " .",  " ..", "--5",
                             "+-5", "1-2", "1e", "e5", "1.2.3", "abc",   "1e999", "   ", "5\t"};
    for (const char* text : missing)
        EXPECT_EQ(CellTextToValue(text), MissingValue) << '"' << text << '"';
}

TEST(LineSplitTest, ConvertNumberLeavesTheValueOnFailure) {
    double v = 42;
    EXPECT_FALSE(ConvertNumber("x", v));
    EXPECT_FALSE(ConvertNumber(std::string(1 << 20, '1'), v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(ConvertNumber("  -2.5e1", v));
    EXPECT_EQ(v, -25);
}

} // namespace
