// SPDX-License-Identifier: GPL-3.0-or-later
// The numbers a chart kind is stored and shown under: the calculator's pages (which also name its
// controls) and the positions of the variables chart setup's lists.
#include "stats/ChartKind.h"
#include "charts/VARchart.h"

#include <gtest/gtest.h>

#include <string>

using namespace kivspc;

TEST(ChartKindTest, CalculatorPagesAndSetupPositionsKeepTheirNumbers) {
    // The calculator's tabs from left to right: X-Bar, Median, X, R, s, s², p, np, c, u.
    const TChartKind pages[] = {kChartMean,     kChartMedian, kChartX,  kChartRange, kChartStdDev,
                                kChartVariance, kChartP,      kChartNP, kChartC,     kChartU};
    for (int page = 1; page <= 10; ++page) {
        const TChartKind kind = pages[page - 1];
        EXPECT_EQ(ChartKindOfCalculatorPage(page), kind) << page;
        EXPECT_EQ(CalculatorPageOf(kind), page) << page;
    }
    for (int outside : {-1, 0, 11, 255})
        EXPECT_FALSE(ChartKindOfCalculatorPage(outside).has_value()) << outside;
    for (TChartKind none : {kChartNone, kChartMovingRange, kChartIndividualPoints})
        EXPECT_EQ(CalculatorPageOf(none), 0);

    // The setup's list, as the user reads it.
    const char* names[] = {"None",  "X",           "Mean",          "Median",           "Moving Range",
                           "Range", "Std Dev (s)", "Variance (s²)", "Individual Points"};
    for (int position = 0; position <= 8; ++position) {
        const auto kind = ChartKindOfSetupPosition(position);
        ASSERT_TRUE(kind.has_value()) << position;
        EXPECT_EQ(SetupPositionOf(*kind), position);
        EXPECT_EQ(std::string(ChartKindName(*kind)), names[position]);
    }
    EXPECT_FALSE(ChartKindOfSetupPosition(9).has_value());
    for (TChartKind attribute : {kChartP, kChartNP, kChartC, kChartU}) {
        EXPECT_EQ(SetupPositionOf(attribute), -1);
        EXPECT_EQ(std::string(ChartKindName(attribute)), "");
    }
}
