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

TControlLimitInput Input(TChartKind page, int method, const char* centre, const char* statistic,
                         const char* n, const char* k) {
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

// Page N is the Nth calculator kind, and its list holds the chart's methods in the order of their numbers.
TEST_F(ContcalcTest, PagesAreTheChartKindsAndListTheirMethods) {
    struct Case {
        TChartKind page;
        const char* caption;
        int methods;
        const char* last;
    };
    const int centre = static_cast<int>(CentreSigmaMethod::KnownStdDev);
    const int dispersion = static_cast<int>(DispersionSigmaMethod::KnownStdDev);
    const int attribute = static_cast<int>(AttributeLimitMethod::Exact);
    const Case cases[] = {
        {kChartMean, "X-Bar", centre, "Known Std Dev"},
        {kChartMedian, "Median", centre, "Known Std Dev"},
        {kChartX, "X", static_cast<int>(IndividualsSigmaMethod::KnownStdDev), "Known Std Dev"},
        {kChartRange, "R", dispersion, "Known Std Dev"},
        {kChartStdDev, "s", dispersion, "Known Std Dev"},
        {kChartVariance, "s\u00B2", dispersion, "Known Std Dev"},
        {kChartP, "p", attribute, "Exact Binomial"},
        {kChartNP, "np", attribute, "Exact Binomial"},
        {kChartC, "c", attribute, "Exact Poisson"},
        {kChartU, "u", attribute, "Exact Poisson"},
    };
    ASSERT_EQ(std::size(cases), kCalculatorChartKinds.size());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(kCalculatorChartKinds[i], c.page);
        EXPECT_EQ(CalculatorPageOf(c.page), static_cast<int>(i) + 1);
        EXPECT_EQ(ControlLimitPageCaption(c.page), c.caption);
        const std::vector<std::string> items = ControlLimitMethodItems(c.page);
        ASSERT_EQ(static_cast<int>(items.size()), c.methods);
        EXPECT_EQ(items.back(), c.last);
    }
    EXPECT_EQ(ControlLimitMethodItems(kChartX)[static_cast<int>(IndividualsSigmaMethod::StdDev) - 1],
              "Std Dev (k values)");
    EXPECT_EQ(ControlLimitMethodItems(kChartMean)[static_cast<int>(CentreSigmaMethod::StdDevOfCentres) - 1],
              "Std Dev of X-bars");
}

// Whatever way a text reached an edit (typed, pasted, dropped), the action uses it only when it
// is a number in range; the first edit that fails is named.
TEST_F(ContcalcTest, InputChecksNameTheEditThatFails) {
    struct Case {
        TChartKind page;
        int method;
        const char *centre, *statistic, *n, *k;
        Error error;
        const char* message;
    };
    const Case cases[] = {
        {kChartMean, 1, "10", "2.326", "5", "3", Error::None, ""},
        {kChartMean, 1, "", "2.326", "5", "3", Error::None, ""}, // an empty X reads as 0
        {kChartMean, 1, "10", " 2.276e-2 ", "5", "3", Error::None, ""},
        {kChartMean, 1, "10", "2.326", "5", "0", Error::None, ""}, // left to the report: "Statistic = 0"
        {kChartMean, 1, "1\t2", "2.326", "5", "3", Error::Centre, "X is not a number!"},
        {kChartMedian, 1, "-", "2.326", "5", "3", Error::Centre, "X is not a number!"},
        {kChartX, 1, "-1e309", "2.326", "5", "3", Error::Centre, "X is beyond the range of numbers!"},
        {kChartRange, 1, "abc", "2.326", "5", "3", Error::None, ""}, // the R page has no X
        {kChartMean, 1, "x", "y", "z", "w", Error::Centre, "X is not a number!"},
        {kChartMean, 1, "10", "abc", "5", "3", Error::Statistic, "Statistic is not a number!"},
        {kChartMean, 1, "10", "", "5", "3", Error::Statistic, "Statistic must be greater than 0!"},
        {kChartStdDev, 1, "0", "0", "5", "3", Error::Statistic, "Statistic must be greater than 0!"},
        {kChartMean, 1, "10", "-2.3", "5", "3", Error::Statistic, "Statistic must be greater than 0!"},
        {kChartMean, 1, "10", "1e309", "5", "3", Error::Statistic,
         "Statistic is beyond the range of numbers!"},
        {kChartC, 1, "0", "1e-400", "1", "3", Error::Statistic, "Statistic is beyond the range of numbers!"},
        {kChartMean, 1, "10", "2.3", "abc", "3", Error::SampleSize, "n is not a number!"},
        {kChartNP, 1, "0", "2", "5.5.5", "3", Error::SampleSize, "n is not a number!"},
        {kChartMean, 1, "10", "2.3", "", "3", Error::SampleSize, "n must be greater than 0!"},
        {kChartU, 1, "0", "2.3", "-0.5", "3", Error::SampleSize, "n must be greater than 0!"},
        {kChartVariance, 1, "0", "2.3", "1e400", "3", Error::SampleSize, "n is beyond the range of numbers!"},
        {kChartX, 4, "10", "2", "abc", "3", Error::None, ""}, // known sigma: n is not used
        {kChartC, 1, "0", "4", "abc", "3", Error::None, ""},  // the c page has no n
        {kChartMean, 1, "10", "2.3", "5", "x", Error::StdErrors, "Std Err is not a number!"},
        {kChartMean, 1, "10", "2.3", "5", "-3", Error::StdErrors, "Std Err must be greater than 0!"},
        {kChartP, 1, "0", "0.1", "50", "1e999", Error::StdErrors, "Std Err is beyond the range of numbers!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "page " << CalculatorPageOf(c.page) << " X '" << c.centre << "' statistic '"
                     << c.statistic << "' n '" << c.n << "' k '" << c.k << "'");
        std::string message = "stale";
        EXPECT_EQ(
            FindControlLimitInputError(Input(c.page, c.method, c.centre, c.statistic, c.n, c.k), message),
            c.error);
        EXPECT_EQ(message, c.message);
    }
    EXPECT_TRUE(platform.Messages.empty()) << "finding is silent";

    EXPECT_EQ(CheckControlLimitInput(Input(kChartMean, 1, "10", "2.3", "5", "-3")), Error::StdErrors);
    ASSERT_EQ(platform.Messages.size(), 1u);
    EXPECT_EQ(platform.Messages[0].kind, "error");
    EXPECT_EQ(platform.Messages[0].text, "Std Err must be greater than 0!");
    EXPECT_EQ(platform.Beeps, 1);
}
