// SPDX-License-Identifier: GPL-3.0-or-later
// The control limit calculator's report, page by page, as golden text: every method of every
// page, the status lines and the columns that widen for long values. Each golden file states the
// inputs of every report above it; the cases are the tables below.
#include "CoreFixture.h"
#include "Golden.h"
#include "charts/contcalc.h"
#include "output/OutputModule.h"
#include "stats/CC_calc.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace kivspc;

namespace {

// The texts of one page's edits as typed; the X is used on pages 1-3 only, n not on page 9.
struct ReportCase {
    int method;
    const char* centre;
    const char* statistic;
    const char* n;
    const char* k;
    int decimals = 4;
};

struct PageReports {
    int page;
    const char* golden;
    std::vector<ReportCase> cases;
};

// Hand checks, at least one per page, with the tabled factors (d2, the median-range factor d4, d3,
// the variance factor of the median) and the formulas of the limits. alpha is the program's
// normal tail beyond k = 3 from its polynomial approximation, 0.0013499672 (exactly 0.0013498980).
//
// X-Bar, average range 2.326, n 5, X 10: sigma = 2.326 / d2(5) = 2.326 / 2.32593 = 1.0000301;
//   UCL = 10 + 3 * 1.0000301 / sqrt(5) = 10 + 1.3416812 = 11.3417, LCL = 8.6583.
//   Std dev of X-bars 0.45: sigma = sqrt(5) * 0.45 = 1.0062306, limits 10 -+ 3 * 0.45.
// Median, known sigma 1, n 5: SE = sqrt(0.2868336616) = 0.5355685 (the integral of the median's
//   distribution gives 0.28683366; the table's 0.28668336616 doubles a digit); limits 10 -+
//   1.6067056 = 8.3933 and 11.6067. n 21, beyond the table: SE = sqrt(pi / 2) / sqrt(21) =
//   0.2734956, limits 10 -+ 0.8204867 = 9.1795 and 10.8205.
// X, average moving range 1.12838 of span 2: sigma = 1.12838 / d2(2) = 1, limits 7 and 13; median
//   moving range 0.9539: sigma = 0.9539 / d4(2) = 1, the same limits.
// R, known sigma 2, n 7: centerline = 2 * d2(7) = 5.40872; s_R = 2 * d3(7) = 1.6664; UCL =
//   5.40872 + 4.9992 = 10.4079, LCL = 0.4095. Average range 2.326, n 5: LCL = 2.326 - 3 * 0.8641 *
//   1.0000301 < 0, "none"; UCL = 2.326 + 2.5923780 = 4.9184. n 31, beyond the tables: the range
//   integrals give d2(31) = 4.11293 and d3(31) = 0.689902; the program's d3 integration reads the
//   normal distribution from a table at steps of 0.01 and comes within 2e-5 of it, which moves the
//   fourth decimal of the UCL (6.1414 with the exact d3).
// s, known sigma 1, n 10: c4(10) = sqrt(2/9) * Gamma(5) / Gamma(4.5) = 0.4714045 * 24 / 11.6317284
//   = 0.9726593; s_s = sqrt(1 - c4^2) = 0.2322368; limits 0.9726593 -+ 0.6967104 = 0.2759 and
//   1.6694.
// s², known sigma 1, n 5 (4 degrees of freedom, where P(chi² > x) = exp(-x/2) (1 + x/2), solved
//   for x): centerline = 3.3566940 / 4 = 0.8392; UCL = 17.8004666 / 4 = 4.4501 (upper tail alpha);
//   LCL = 0.1057658 / 4 = 0.0264 (upper tail 1 - alpha).
// p, p-bar 0.2, n 100, approximate: SE = sqrt(0.2 * 0.8 / 100) = 0.04; limits 0.2 -+ 0.12. Exact:
//   P(X >= 34) = 0.00074 < alpha <= P(X >= 33) = 0.00155, so UCL = 33.5 / 100; P(X <= 8) =
//   0.00086 < alpha < P(X <= 9) = 0.00233, so LCL = 8.5 / 100.
// np, np-bar 20, n 100: the p page's numbers times 100.
// c, c-bar 16, approximate: SE = 4, limits 16 -+ 12 = 4 and 28. Exact: P(X >= 30) = 0.00113 <
//   alpha <= P(X >= 29) = 0.00219, so UCL = 29.5; P(X <= 4) = 0.00040 < alpha < P(X <= 5) =
//   0.00138, so LCL = 4.5. c-bar 4: UCL = 4 + 6 = 10 and 4 - 6 < 0: LCL "none".
// u, u-bar 4 on 2.5 units: c = 10, SE = sqrt(10) / 2.5 = 1.2649111; limits 4 -+ 3.7947332 =
//   0.2053 and 7.7947.
// Every other number in the golden files was recomputed the same way with an arbitrary-precision
// library before the files were committed.
const std::vector<PageReports> kPages = {
    {1,
     "charts/golden/control-limits-xbar.txt",
     {
         {1, "10", "2.326", "5", "3"},
         {1, "10", "2.326", "5", "3", 2},
         {1, "10", "2.326", "5", "3", 0},
         {2, "10", "2.2569", "5", "3"},
         {3, "10", "0.94", "5", "3"},
         {4, "10", "0.9", "5", "3"},
         {5, "10", "1.21", "5", "3"},
         {6, "10", "0.5", "5", "3"},
         {7, "10", "0.4", "5", "3"},
         {8, "10", "0.45", "5", "3"},
         {9, "10", "1", "5", "3"},
         // Long values widen both result columns; the values after "sigma = " and "n = " still
         // start in the same column. 14 characters fit the usual layout, 15 do not.
         {9, "1000000", "2", "4", "3", 9},
         {9, "100000", "2", "4", "3", 7},
         {9, "100000", "2", "4", "3", 8},
         {1, "10", "2.326", "5", "0"},
         {1, "10", "0", "5", "3"},
         {1, "10", "2.326", "1", "3"},
         {1, "10", "2.326", "0", "3"},
         {1, "10", "2.326", "-5", "3"},
         {1, "10", "2.326", "5", "-3"},
         {8, "10", "1e308", "5", "3"}, // sqrt(5) 1e308 is beyond a double
     }},
    {2,
     "charts/golden/control-limits-median.txt",
     {
         {1, "10", "2.326", "5", "3"},
         {2, "10", "2.2569", "5", "3"},
         {3, "10", "0.94", "5", "3"},
         {4, "10", "0.9", "5", "3"},
         {5, "10", "1.21", "5", "3"},
         {6, "10", "0.6", "5", "3"},
         {7, "10", "0.5", "5", "3"},
         {8, "10", "0.55", "5", "3"},
         {9, "10", "1", "5", "3"},
         {9, "10", "1", "21", "3"},
         {9, "10", "1", "1", "3"},
     }},
    {3,
     "charts/golden/control-limits-x.txt",
     {
         {1, "10", "1.12838", "2", "3"},
         {1, "10", "1.12838", "3", "3"},
         {2, "10", "0.9539", "2", "3"},
         {3, "10", "2", "25", "3"},
         {4, "10", "2", "0", "3"}, // a known sigma needs no n
         {1, "10", "1.12838", "1", "3"},
         {4, "0", "10", "0", "1e308"}, // 10 times 1e308
     }},
    {4,
     "charts/golden/control-limits-r.txt",
     {
         {1, "", "2.326", "5", "3"},
         // No lower limit up to n = 6: d2 - 3 d3 is negative there.
         {1, "", "2.326", "2", "3"},
         {1, "", "2.326", "3", "3"},
         {1, "", "2.326", "4", "3"},
         {1, "", "2.326", "6", "3"},
         {1, "", "2.326", "7", "3"},
         // Tabled factors up to 30, computed ones above.
         {1, "", "4.08552", "30", "3"},
         {1, "", "4.08552", "31", "3"},
         {2, "", "4.0373", "31", "3"},
         {2, "", "2.2569", "5", "3"},
         {3, "", "0.94", "5", "3"},
         {4, "", "0.9", "5", "3"},
         {5, "", "1.21", "5", "3"},
         {6, "", "2", "7", "3"},
         {1, "", "-2", "5", "3"},
         {6, "", "1e308", "5", "3"}, // d2(5) 1e308 as the centerline
     }},
    {5,
     "charts/golden/control-limits-s.txt",
     {
         {1, "", "2.326", "5", "3"},
         {2, "", "2.2569", "5", "3"},
         {3, "", "0.94", "5", "3"},
         {4, "", "0.9", "5", "3"},
         {5, "", "1.21", "5", "3"},
         {6, "", "1", "5", "3"},
         {6, "", "1", "10", "3"},
     }},
    {6,
     "charts/golden/control-limits-s2.txt",
     {
         {1, "", "2.326", "5", "3"},
         {2, "", "2.2569", "5", "3"},
         {3, "", "0.94", "5", "3"},
         {4, "", "0.9", "5", "3"},
         {5, "", "1.21", "5", "3"},
         {6, "", "1", "5", "3"},
         {6, "", "1", "2", "3"},
         {6, "", "1", "1", "3"},
     }},
    {7,
     "charts/golden/control-limits-p.txt",
     {
         {1, "", "0.2", "100", "3"},
         {2, "", "0.2", "100", "3"},
         {1, "", "0.1", "50", "3"},
         {2, "", "0.1", "50", "3"},
         // Both approximate limits fall outside [0, 1]; the lower one decides the status, so the
         // upper limit shows as the number 1.
         {1, "", "0.5", "2", "3"},
         {1, "", "0.9", "10", "3"},
         {2, "", "0.9", "10", "3"},
         {1, "", "1.5", "50", "3"},
         {1, "", "0.2", "50", "0"},
     }},
    {8,
     "charts/golden/control-limits-np.txt",
     {
         {1, "", "20", "100", "3"},
         {2, "", "20", "100", "3"},
         {1, "", "5", "50", "3"},
         {2, "", "5", "50", "3"},
         {1, "", "60", "50", "3"},
         // np-bar 10^15 - 1 of n = 10^15: a centerline longer than its column under an upper limit
         // that is "none"; SE = sqrt(n p (1 - p)) = 1 to 4 decimals, LCL = np-bar - 3.
         {1, "", "999999999999999", "1000000000000000", "3"},
     }},
    {9,
     "charts/golden/control-limits-c.txt",
     {
         {1, "", "4", "", "3"},
         {1, "", "16", "", "3"},
         {2, "", "16", "", "3"},
         {2, "", "4", "", "3"},
         // So small a mean that P(X = 0) is above alpha: no lower limit.
         {2, "", "0.001", "", "3"},
         {2, "", "1e308", "", "3"},
         {2, "", "4", "", "40"}, // alpha reads 0: no exact limit exists
         {1, "", "0.2", "", "0"},
     }},
    {10,
     "charts/golden/control-limits-u.txt",
     {
         {1, "", "4", "2.5", "3"},
         {1, "", "4", "2.5", "3", 2},
         {2, "", "4", "2.5", "3"},
         {1, "", "4", "0", "3"},
         {1, "", "4", "-1", "3"},
     }},
};

class ControlLimitReportTest : public CoreTest {
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

    // The inputs, the report as plain text with one "\n" per line, and "(beep)" when it beeped.
    std::string ReportOf(int page, const ReportCase& c) {
        TControlLimitInput input;
        // The page and method as the window numbers them.
        input.Page = ChartKindOfCalculatorPage(page).value();
        input.Method = static_cast<decltype(input.Method)>(c.method);
        input.CentreText = c.centre;
        input.StatisticText = c.statistic;
        input.NText = c.n;
        input.KText = c.k;
        input.Decimals = c.decimals;

        const std::vector<std::string> items = ControlLimitMethodItems(input.Page);
        std::string text = std::string(kCaseHeading) + "method " + std::to_string(c.method) + " (" +
                           items.at(c.method - 1) + ")";
        if (page <= 3) text += ", X \"" + std::string(c.centre) + "\"";
        text += ", statistic \"" + std::string(c.statistic) + "\"";
        if (page != 9) text += ", n \"" + std::string(c.n) + "\"";
        text += ", k \"" + std::string(c.k) + "\", " + std::to_string(c.decimals) + " decimals\n";

        platform.Beeps = 0;
        WriteControlLimitReport(input);
        for (std::size_t i = 0; i < doc.LineCount(); ++i)
            text += doc.Line(i).Text() + "\n";
        if (platform.Beeps > 0) text += "(beep)\n";
        EXPECT_TRUE(platform.Messages.empty()) << text << "a report speaks only through its text";
        EXPECT_EQ(platform.BusyDepth, 0) << text << "the busy cursor is restored";
        return text;
    }

    TOutputDocument doc;
};

} // namespace

TEST_F(ControlLimitReportTest, EveryPageMatchesItsGoldenFile) {
    for (const PageReports& page : kPages) {
        SCOPED_TRACE(page.golden);
        std::string text = "Reports of the control limit calculator's " +
                           ControlLimitPageCaption(ChartKindOfCalculatorPage(page.page).value()) +
                           " page; each follows the inputs it was written from.\n";
        for (const ReportCase& c : page.cases)
            text += "\n" + ReportOf(page.page, c);
        ExpectGolden(page.golden, text);
    }
}

// The heading and the body are written in the report fonts, scaled by the window's text scale
// to whole points.
TEST_F(ControlLimitReportTest, FontsFollowTheTextScale) {
    for (double scale : {1.0, 1.3, 2.0}) {
        SCOPED_TRACE(scale);
        TControlLimitInput input;
        input.CentreText = "10";
        input.StatisticText = "2.326";
        input.NText = "5";
        input.TextScale = scale;
        WriteControlLimitReport(input);
        ASSERT_EQ(doc.LineCount(), 8u);
        const TOutputFont heading = doc.Line(0).FirstFont();
        EXPECT_EQ(heading.Name, "Arial");
        EXPECT_TRUE(heading.Bold && heading.Underline);
        EXPECT_EQ(heading.Size, std::nearbyint(10 * scale));
        for (std::size_t i = 1; i < doc.LineCount(); ++i) {
            const TOutputFont body = doc.Line(i).FirstFont();
            EXPECT_EQ(body.Name, "Courier New") << i;
            EXPECT_FALSE(body.Bold || body.Underline) << i;
            EXPECT_EQ(body.Size, std::nearbyint(8 * scale)) << i;
        }
    }
    // A scale no window gives still yields a printable font instead of an integer overflow.
    for (double scale : {1e300, std::numeric_limits<double>::infinity(), 0.0}) {
        SCOPED_TRACE(scale);
        TControlLimitInput input;
        input.StatisticText = "2.326";
        input.NText = "5";
        input.TextScale = scale;
        WriteControlLimitReport(input);
        const int size = doc.Line(0).FirstFont().Size;
        EXPECT_GE(size, 1);
        EXPECT_LE(size, 400);
    }
}
