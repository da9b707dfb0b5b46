// SPDX-License-Identifier: GPL-3.0-or-later
// The control limit calculator without its window: the checks of its inputs. Its report is
// checked as golden text in ControlLimitReportTest.cpp.
#include "charts/contcalc.h"
#include "CoreFixture.h"

#include <string>
#include <vector>

using namespace kivspc;

namespace {

// The checks speak through the recording platform of CoreTest.
using ContcalcTest = CoreTest;

TControlLimitInput Input(int page, int method, const char* centre, const char* statistic, const char* n,
                         const char* k) {
    TControlLimitInput in;
    in.Page = page;
    in.Method = method;
    in.CentreText = centre;
    in.StatisticText = statistic;
    in.NText = n;
    in.KText = k;
    return in;
}

using Error = ControlLimitInputError;

} // namespace

// Whatever way a text reached an edit (typed, pasted, dropped), the action uses it only when it
// is a number in range; the first edit that fails is named.
TEST_F(ContcalcTest, InputChecksNameTheEditThatFails) {
    struct Case {
        int page, method;
        const char *centre, *statistic, *n, *k;
        Error error;
        const char* message;
    };
    const Case cases[] = {
        {1, 1, "10", "2.326", "5", "3", Error::None, ""},
        {1, 1, "", "2.326", "5", "3", Error::None, ""}, // an empty X reads as 0
        {1, 1, "10", " 2.276e-2 ", "5", "3", Error::None, ""},
        {1, 1, "10", "2.326", "5", "0", Error::None, ""}, // left to the report: "Statistic = 0"
        {1, 1, "1\t2", "2.326", "5", "3", Error::Centre, "X is not a number!"},
        {2, 1, "-", "2.326", "5", "3", Error::Centre, "X is not a number!"},
        {3, 1, "-1e309", "2.326", "5", "3", Error::Centre, "X is beyond the range of numbers!"},
        {4, 1, "abc", "2.326", "5", "3", Error::None, ""}, // the R page has no X
        {1, 1, "x", "y", "z", "w", Error::Centre, "X is not a number!"},
        {1, 1, "10", "abc", "5", "3", Error::Statistic, "Statistic is not a number!"},
        {1, 1, "10", "", "5", "3", Error::Statistic, "Statistic must be greater than 0!"},
        {5, 1, "0", "0", "5", "3", Error::Statistic, "Statistic must be greater than 0!"},
        {1, 1, "10", "-2.3", "5", "3", Error::Statistic, "Statistic must be greater than 0!"},
        {1, 1, "10", "1e309", "5", "3", Error::Statistic, "Statistic is beyond the range of numbers!"},
        {9, 1, "0", "1e-400", "1", "3", Error::Statistic, "Statistic is beyond the range of numbers!"},
        {1, 1, "10", "2.3", "abc", "3", Error::SampleSize, "n is not a number!"},
        {8, 1, "0", "2", "5.5.5", "3", Error::SampleSize, "n is not a number!"},
        {1, 1, "10", "2.3", "", "3", Error::SampleSize, "n must be greater than 0!"},
        {10, 1, "0", "2.3", "-0.5", "3", Error::SampleSize, "n must be greater than 0!"},
        {6, 1, "0", "2.3", "1e400", "3", Error::SampleSize, "n is beyond the range of numbers!"},
        {3, 4, "10", "2", "abc", "3", Error::None, ""}, // known sigma: n is not used
        {9, 1, "0", "4", "abc", "3", Error::None, ""},  // the c page has no n
        {1, 1, "10", "2.3", "5", "x", Error::StdErrors, "Std Err is not a number!"},
        {1, 1, "10", "2.3", "5", "-3", Error::StdErrors, "Std Err must be greater than 0!"},
        {7, 1, "0", "0.1", "50", "1e999", Error::StdErrors, "Std Err is beyond the range of numbers!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "page " << c.page << " X '" << c.centre << "' statistic '"
                                        << c.statistic << "' n '" << c.n << "' k '" << c.k << "'");
        std::string message = "stale";
        EXPECT_EQ(
            FindControlLimitInputError(Input(c.page, c.method, c.centre, c.statistic, c.n, c.k), message),
            c.error);
        EXPECT_EQ(message, c.message);
    }
    EXPECT_TRUE(platform.Messages.empty()) << "finding is silent";

    EXPECT_EQ(CheckControlLimitInput(Input(1, 1, "10", "2.3", "5", "-3")), Error::StdErrors);
    ASSERT_EQ(platform.Messages.size(), 1u);
    EXPECT_EQ(platform.Messages[0].kind, "error");
    EXPECT_EQ(platform.Messages[0].text, "Std Err must be greater than 0!");
    EXPECT_EQ(platform.Beeps, 1);
}
