// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FormScale.h"

#include <gtest/gtest.h>

using namespace kivspc;

TEST(FormScaleTest, EnlargingFillsTheWorkAreaAsFarAsBothSidesAllow) {
    struct Case {
        int workWidth, workHeight;
        double factor;
        int width, height, left, top;
    };
    const Case cases[] = {
        {1200, 900, 3, 1200, 900, 0, 0},
        {1600, 900, 3, 1200, 900, 200, 0}, // limited by the height, centred across
        {1200, 1200, 3, 1200, 900, 0, 150},
    };
    for (const Case& c : cases) {
        double target = ToggleFormTarget(c.workWidth, c.workHeight, 400, 300, 1);
        TFormScale s = ScaleFormGeometry(0, 0, c.workWidth, c.workHeight, 400, 300, 1, target);
        ASSERT_TRUE(s.Changed);
        EXPECT_DOUBLE_EQ(s.Factor, c.factor);
        EXPECT_EQ(s.Width, c.width);
        EXPECT_EQ(s.Height, c.height);
        EXPECT_EQ(s.Left, c.left);
        EXPECT_EQ(s.Top, c.top);
    }
}

TEST(FormScaleTest, ToggleReturnsToTheDesignedSizeAndRefusesWhatCannotGrow) {
    TFormScale big = ScaleFormGeometry(0, 0, 1200, 900, 400, 300, 1, 3);
    double target = ToggleFormTarget(1200, 900, big.Width, big.Height, big.Scale);
    EXPECT_EQ(target, 1);
    TFormScale back = ScaleFormGeometry(0, 0, 1200, 900, big.Width, big.Height, big.Scale, target);
    EXPECT_TRUE(back.Changed);
    EXPECT_EQ(back.Width, 400);
    EXPECT_EQ(back.Height, 300);
    EXPECT_DOUBLE_EQ(back.Scale, 1);

    EXPECT_FALSE(ScaleFormGeometry(0, 0, 1200, 900, 400, 300, 1, 1).Changed) << "already there";
    EXPECT_FALSE(ScaleFormGeometry(0, 0, 300, 200, 400, 300, 1, 2).Changed) << "does not fit already";
    EXPECT_FALSE(ScaleFormGeometry(0, 0, 1200, 900, 0, 300, 1, 2).Changed);
}
