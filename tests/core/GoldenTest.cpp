// SPDX-License-Identifier: GPL-3.0-or-later
// The golden file helper itself: what it shows when a text differs, and when it writes.
#include "Golden.h"
#include "TempFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string Numbered(int from, int to, int changed = 0) {
    std::string text;
    for (int i = from; i <= to; ++i)
        text += (i == changed ? "changed " : "line ") + std::to_string(i) + "\n";
    return text;
}

} // namespace

// Changes far apart get a hunk each, with two lines of context and the line numbers of both texts.
TEST(GoldenTest, DiffShowsEachChangeWithLineNumbersAndContext) {
    const std::string golden = Numbered(1, 12);
    std::string actual = Numbered(1, 12, 3);
    actual.replace(actual.find("line 10\n"), 8, "line 10\nnew line\n");
    EXPECT_EQ(GoldenDiff(golden, actual), "@@ -1,5 +1,5 @@\n"
                                          " line 1\n"
                                          " line 2\n"
                                          "-line 3\n"
                                          "+changed 3\n"
                                          " line 4\n"
                                          " line 5\n"
                                          "@@ -9,4 +9,5 @@\n"
                                          " line 9\n"
                                          " line 10\n"
                                          "+new line\n"
                                          " line 11\n"
                                          " line 12\n");
    // Close changes share one hunk.
    EXPECT_EQ(GoldenDiff("a\nb\nc\nd\ne\nf\n", "A\nb\nc\nd\ne\nF\n"), "@@ -1,6 +1,6 @@\n"
                                                                      "-a\n"
                                                                      "+A\n"
                                                                      " b\n"
                                                                      " c\n"
                                                                      " d\n"
                                                                      " e\n"
                                                                      "-f\n"
                                                                      "+F\n");
}

// A hunk deep in a file of many cases says which case it is in.
TEST(GoldenTest, HunksNameTheCaseTheyAreIn) {
    const std::string golden = "#### case 1\nA\n\n#### case 2\nB\nC\nD\nE\n";
    EXPECT_EQ(GoldenDiff(golden, "#### case 1\nA\n\n#### case 2\nB\nC\nD\nX\n"),
              "@@ -6,3 +6,3 @@ #### case 2\n C\n D\n-E\n+X\n");
    EXPECT_EQ(GoldenDiff("A\nB\n", "A\nC\n"), "@@ -1,2 +1,2 @@\n A\n-B\n+C\n");
}

// Blanks that end a line, tabs and carriage returns would look alike in a plain diff.
TEST(GoldenTest, DiffMakesInvisibleDifferencesVisible) {
    EXPECT_EQ(GoldenDiff("UCL = 1\n", "UCL = 1  \n"), "@@ -1,1 +1,1 @@\n-UCL = 1\n+UCL = 1\u00B7\u00B7\n");
    EXPECT_EQ(GoldenDiff("a b\n", "a\tb\r\n"), "@@ -1,1 +1,1 @@\n-a b\n+a\\tb\\r\n");
    EXPECT_EQ(GoldenDiff("a\nb\n", "a\nb"),
              "\\ the golden text ends with a line break, the actual text does not\n");
}

// A text that differs everywhere shows its first lines, not a wall of text.
TEST(GoldenTest, LongDiffsAreCutShort) {
    std::string golden;
    std::string actual;
    for (int i = 1; i <= 500; ++i) {
        golden += "row " + std::to_string(i) + "\n";
        actual += "row " + std::to_string(i) + (i % 2 == 0 ? " changed" : "") + "\n";
    }
    const std::string diff = GoldenDiff(golden, actual, 10);
    EXPECT_EQ(diff.substr(0, diff.find('\n')), "@@ -1,500 +1,500 @@");
    EXPECT_NE(diff.find("-row 2\n+row 2 changed\n"), std::string::npos) << diff;
    EXPECT_LT(std::count(diff.begin(), diff.end(), '\n'), 13) << diff;
    // 250 lines removed and 250 added, of which the 10 shown lines hold 3 and 3.
    EXPECT_EQ(diff.substr(diff.rfind("...")), "... (494 more changed lines)\n");
}

TEST(GoldenTest, MissingFileFailsAndSaysHowToCreateIt) {
    TempFolder folder;
    const std::filesystem::path file = folder.Path() / "golden" / "report.txt";
    GoldenOutcome outcome = CompareGolden(file, "Report\nline 2\n", false);
    EXPECT_FALSE(outcome.passed);
    EXPECT_NE(outcome.message.find(file.string() + " does not exist"), std::string::npos) << outcome.message;
    EXPECT_NE(outcome.message.find("KIVSPC_UPDATE_GOLDEN=1"), std::string::npos) << outcome.message;
    EXPECT_NE(outcome.message.find("  Report\n  line 2\n"), std::string::npos) << outcome.message;
    EXPECT_FALSE(std::filesystem::exists(file));

    outcome = CompareGolden(file, "Report\nline 2\n", true);
    EXPECT_TRUE(outcome.passed);
    EXPECT_EQ(outcome.message.rfind("created the golden file " + file.string(), 0), 0u) << outcome.message;
    EXPECT_EQ(TempFolder::Read(file.string()), "Report\nline 2\n");
}

// Without the switch a file is only read; with it, a differing file is rewritten byte for byte.
TEST(GoldenTest, FilesAreRewrittenOnlyOnRequest) {
    TempFolder folder;
    const std::string file = folder.Write("report.txt", "UCL = 1\nLCL = 0\n");
    EXPECT_EQ(CompareGolden(file, "UCL = 1\nLCL = 0\n", false).message, "");
    EXPECT_TRUE(CompareGolden(file, "UCL = 1\nLCL = 0\n", true).passed);
    EXPECT_EQ(CompareGolden(file, "UCL = 1\nLCL = 0\n", true).message, "") << "nothing to write";

    GoldenOutcome outcome = CompareGolden(file, "UCL = 2\r\nLCL = 0\r\n", false);
    EXPECT_FALSE(outcome.passed);
    EXPECT_NE(outcome.message.find("-UCL = 1\n-LCL = 0\n+UCL = 2\\r\n+LCL = 0\\r\n"), std::string::npos)
        << outcome.message;
    EXPECT_EQ(TempFolder::Read(file), "UCL = 1\nLCL = 0\n");

    outcome = CompareGolden(file, "UCL = 2\r\nLCL = 0\r\n", true);
    EXPECT_TRUE(outcome.passed);
    EXPECT_EQ(outcome.message.rfind("rewrote the golden file " + file, 0), 0u) << outcome.message;
    EXPECT_EQ(TempFolder::Read(file), "UCL = 2\r\nLCL = 0\r\n");
}

TEST(GoldenTest, NamesAreFoundInTheSourceTree) {
    EXPECT_TRUE(std::filesystem::is_regular_file(GoldenPath("Golden.h")));
    EXPECT_TRUE(std::filesystem::is_regular_file(GoldenPath("GoldenTest.cpp")));
}
