// SPDX-License-Identifier: GPL-3.0-or-later
// The control limit calculator without its window: the checks of its inputs and its report.
#include "charts/contcalc.h"
#include "CoreFixture.h"
#include "output/OutputModule.h"
#include "stats/CC_calc.h"

#include <string>
#include <vector>

using namespace kivspc;

namespace {

class ContcalcTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        ResetCCCalcState();
        ResetOutputModule();
        SetOutputDocument(&doc);
    }
    void TearDown() override {
        ResetOutputModule();
        CoreTest::TearDown();
    }

    // The report's lines from the third on (the heading and the blank line under it aside).
    std::vector<std::string> ReportBody(const TControlLimitInput& input) {
        WriteControlLimitReport(input);
        std::vector<std::string> lines;
        for (std::size_t i = 2; i < doc.LineCount(); ++i)
            lines.push_back(doc.Line(i).Text());
        return lines;
    }

    TOutputDocument doc;
};

TControlLimitInput Input(ControlChartKind page, int method, const char* centre, const char* statistic,
                         const char* n, const char* k, int decimals = 4) {
    TControlLimitInput in;
    in.Page = page;
    in.Method = method;
    in.CentreText = centre;
    in.StatisticText = statistic;
    in.NText = n;
    in.KText = k;
    in.Decimals = decimals;
    return in;
}

using Error = ControlLimitInputError;

} // namespace

// Page N is chart kind N, and its list holds the chart's methods in the order of their numbers.
TEST_F(ContcalcTest, PagesAreTheChartKindsAndListTheirMethods) {
    struct Case {
        ControlChartKind page;
        const char* caption;
        int methods;
        const char* last;
    };
    const int centre = static_cast<int>(CentreSigmaMethod::KnownStdDev);
    const int dispersion = static_cast<int>(DispersionSigmaMethod::KnownStdDev);
    const int attribute = static_cast<int>(AttributeLimitMethod::Exact);
    const Case cases[] = {
        {kChartXBar, "X-Bar", centre, "Known Std Dev"},
        {kChartMedian, "Median", centre, "Known Std Dev"},
        {kChartX, "X", static_cast<int>(IndividualsSigmaMethod::KnownStdDev), "Known Std Dev"},
        {kChartR, "R", dispersion, "Known Std Dev"},
        {kChartS, "s", dispersion, "Known Std Dev"},
        {kChartS2, "s\u00B2", dispersion, "Known Std Dev"},
        {kChartP, "p", attribute, "Exact Binomial"},
        {kChartNP, "np", attribute, "Exact Binomial"},
        {kChartC, "c", attribute, "Exact Poisson"},
        {kChartU, "u", attribute, "Exact Poisson"},
    };
    ASSERT_EQ(std::size(cases), kControlChartKinds.size());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(kControlChartKinds[i], c.page);
        EXPECT_EQ(static_cast<std::size_t>(c.page), i + 1);
        EXPECT_EQ(ControlLimitPageCaption(c.page), c.caption);
        const std::vector<std::string> items = ControlLimitMethodItems(c.page);
        ASSERT_EQ(static_cast<int>(items.size()), c.methods);
        EXPECT_EQ(items.back(), c.last);
    }
    EXPECT_EQ(ControlLimitMethodItems(kChartX)[static_cast<int>(IndividualsSigmaMethod::StdDev) - 1],
              "Std Dev (k values)");
    EXPECT_EQ(ControlLimitMethodItems(kChartXBar)[static_cast<int>(CentreSigmaMethod::StdDevOfCentres) - 1],
              "Std Dev of X-bars");
}

// Whatever way a text reached an edit (typed, pasted, dropped), the action uses it only when it
// is a number in range; the first edit that fails is named.
TEST_F(ContcalcTest, InputChecksNameTheEditThatFails) {
    struct Case {
        ControlChartKind page;
        int method;
        const char *centre, *statistic, *n, *k;
        Error error;
        const char* message;
    };
    const Case cases[] = {
        {kChartXBar, 1, "10", "2.326", "5", "3", Error::None, ""},
        {kChartXBar, 1, "", "2.326", "5", "3", Error::None, ""}, // an empty X reads as 0
        {kChartXBar, 1, "10", " 2.276e-2 ", "5", "3", Error::None, ""},
        {kChartXBar, 1, "10", "2.326", "5", "0", Error::None, ""}, // left to the report: "Statistic = 0"
        {kChartXBar, 1, "1\t2", "2.326", "5", "3", Error::Centre, "X is not a number!"},
        {kChartMedian, 1, "-", "2.326", "5", "3", Error::Centre, "X is not a number!"},
        {kChartX, 1, "-1e309", "2.326", "5", "3", Error::Centre, "X is beyond the range of numbers!"},
        {kChartR, 1, "abc", "2.326", "5", "3", Error::None, ""}, // the R page has no X
        {kChartXBar, 1, "x", "y", "z", "w", Error::Centre, "X is not a number!"},
        {kChartXBar, 1, "10", "abc", "5", "3", Error::Statistic, "Statistic is not a number!"},
        {kChartXBar, 1, "10", "", "5", "3", Error::Statistic, "Statistic must be greater than 0!"},
        {kChartS, 1, "0", "0", "5", "3", Error::Statistic, "Statistic must be greater than 0!"},
        {kChartXBar, 1, "10", "-2.3", "5", "3", Error::Statistic, "Statistic must be greater than 0!"},
        {kChartXBar, 1, "10", "1e309", "5", "3", Error::Statistic,
         "Statistic is beyond the range of numbers!"},
        {kChartC, 1, "0", "1e-400", "1", "3", Error::Statistic, "Statistic is beyond the range of numbers!"},
        {kChartXBar, 1, "10", "2.3", "abc", "3", Error::SampleSize, "n is not a number!"},
        {kChartNP, 1, "0", "2", "5.5.5", "3", Error::SampleSize, "n is not a number!"},
        {kChartXBar, 1, "10", "2.3", "", "3", Error::SampleSize, "n must be greater than 0!"},
        {kChartU, 1, "0", "2.3", "-0.5", "3", Error::SampleSize, "n must be greater than 0!"},
        {kChartS2, 1, "0", "2.3", "1e400", "3", Error::SampleSize, "n is beyond the range of numbers!"},
        {kChartX, 4, "10", "2", "abc", "3", Error::None, ""}, // known sigma: n is not used
        {kChartC, 1, "0", "4", "abc", "3", Error::None, ""},  // the c page has no n
        {kChartXBar, 1, "10", "2.3", "5", "x", Error::StdErrors, "Std Err is not a number!"},
        {kChartXBar, 1, "10", "2.3", "5", "-3", Error::StdErrors, "Std Err must be greater than 0!"},
        {kChartP, 1, "0", "0.1", "50", "1e999", Error::StdErrors, "Std Err is beyond the range of numbers!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "page " << static_cast<int>(c.page) << " X '" << c.centre << "' statistic '"
                     << c.statistic << "' n '" << c.n << "' k '" << c.k << "'");
        std::string message = "stale";
        EXPECT_EQ(
            FindControlLimitInputError(Input(c.page, c.method, c.centre, c.statistic, c.n, c.k), message),
            c.error);
        EXPECT_EQ(message, c.message);
    }
    EXPECT_TRUE(platform.Messages.empty()) << "finding is silent";

    EXPECT_EQ(CheckControlLimitInput(Input(kChartXBar, 1, "10", "2.3", "5", "-3")), Error::StdErrors);
    ASSERT_EQ(platform.Messages.size(), 1u);
    EXPECT_EQ(platform.Messages[0].kind, "error");
    EXPECT_EQ(platform.Messages[0].text, "Std Err must be greater than 0!");
    EXPECT_EQ(platform.Beeps, 1);
}

// Long values widen the result columns: at least one blank before "sigma" and "n = ", and the
// values after them still start in the same column.
TEST_F(ContcalcTest, ReportColumnsWidenForLongValues) {
    // Known sigma 2 over sqrt(4) subgroups: 1000000 +- 3, by hand.
    EXPECT_EQ(ReportBody(Input(kChartXBar, 9, "1000000", "2", "4", "3", 9)),
              (std::vector<std::string>{
                  "Statistic used: Known Std Dev = 2",
                  "Standard Errors = 3",
                  "",
                  "       UCL = 1000003.000000000 sigma = 2.000000000",
                  "Centerline = 1000000.000000000     n = 4",
                  "       LCL = 999997.000000000",
              }));
    // 14 characters: today's layout, UCL in 15 columns and centerline in 19; 15 characters: one more.
    EXPECT_EQ(ReportBody(Input(kChartXBar, 9, "100000", "2", "4", "3", 7)),
              (std::vector<std::string>{
                  "Statistic used: Known Std Dev = 2",
                  "Standard Errors = 3",
                  "",
                  "       UCL = 100003.0000000 sigma = 2.0000000",
                  "Centerline = 100000.0000000     n = 4",
                  "       LCL = 99997.0000000",
              }));
    EXPECT_EQ(ReportBody(Input(kChartXBar, 9, "100000", "2", "4", "3", 8)),
              (std::vector<std::string>{
                  "Statistic used: Known Std Dev = 2",
                  "Standard Errors = 3",
                  "",
                  "       UCL = 100003.00000000 sigma = 2.00000000",
                  "Centerline = 100000.00000000     n = 4",
                  "       LCL = 99997.00000000",
              }));
    // A long centerline under an upper limit that is "none": np-bar 10^15 - 1 of n = 10^15, so
    // p-bar = 1 - 10^-15; SE = sqrt(n p (1 - p)) = 1 (to 4 decimals), LCL = np-bar - 3 SE.
    EXPECT_EQ(ReportBody(Input(kChartNP, 1, "0", "999999999999999", "1000000000000000", "3")),
              (std::vector<std::string>{
                  "Method used: Approximate",
                  "Standard Errors = 3",
                  "",
                  "       UCL =              none   SE = 1.0000",
                  "Centerline = 999999999999999.0000 n = 1000000000000000",
                  "       LCL = 999999999999996.0000",
              }));
}

// Failures are one status line: never a limit of "inf" or "nan".
TEST_F(ContcalcTest, ReportStatusLines) {
    struct Case {
        TControlLimitInput input;
        const char* line;
    };
    const Case cases[] = {
        // sqrt(5) 1e308 is beyond a double.
        {Input(kChartXBar, 8, "10", "1e308", "5", "3"), "Limits beyond the range of numbers"},
        // d2(5) 1e308 as the R chart's centerline.
        {Input(kChartR, 6, "0", "1e308", "5", "3"), "Limits beyond the range of numbers"},
        {Input(kChartX, 4, "0", "10", "0", "1e308"), "Limits beyond the range of numbers"}, // 10 times 1e308
        {Input(kChartNP, 2, "0", "60", "50", "3"), "np-bar must be less than n"},
        {Input(kChartC, 2, "0", "1e308", "1", "3"),
         "Mean too large for exact Poisson limits: use the approximation"},
        {Input(kChartXBar, 1, "10", "2.326", "5", "-3"), "Standard errors must not be negative"},
        {Input(kChartXBar, 1, "10", "2.326", "-5", "3"), "Sample size must not be negative"},
        {Input(kChartP, 1, "0", "1.5", "50", "3"), "Sample size outside table range"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::vector<std::string> body = ReportBody(c.input);
        ASSERT_EQ(body.size(), 4u) << testing::PrintToString(body);
        EXPECT_EQ(body[3], c.line);
    }
    EXPECT_EQ(platform.Beeps, static_cast<int>(std::size(cases)));
}
