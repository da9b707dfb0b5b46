// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FormScale.h"

#include <gtest/gtest.h>

using namespace kivspc;

TEST(FormScaleTest, EnlargingFillsTheWorkAreaAsFarAsBothSidesAllow) {
    struct Case {
        TWorkArea work;
        double factor;
        int width, height, left, top;
    };
    const Case cases[] = {
        {{0, 0, 1200, 900}, 3, 1200, 900, 0, 0},
        {{0, 0, 1600, 900}, 3, 1200, 900, 200, 0}, // limited by the height, centred across
        {{0, 0, 1200, 1200}, 3, 1200, 900, 0, 150},
        // A work area that starts below a top panel on a second screen.
        {{1920, 30, 1600, 900}, 3, 1200, 900, 2120, 30},
    };
    const TFormSize designed{400, 300};
    for (const Case& c : cases) {
        double target = ToggleFormTarget(c.work, designed, 1);
        TFormScale geometry = ScaleFormGeometry(c.work, designed, 1, target);
        ASSERT_TRUE(geometry.Changed);
        EXPECT_DOUBLE_EQ(geometry.Factor, c.factor);
        EXPECT_EQ(geometry.Width, c.width);
        EXPECT_EQ(geometry.Height, c.height);
        EXPECT_EQ(geometry.Left, c.left);
        EXPECT_EQ(geometry.Top, c.top);
    }
}

TEST(FormScaleTest, ToggleReturnsToTheDesignedSizeAndRefusesWhatCannotGrow) {
    const TWorkArea work{0, 0, 1200, 900};
    TFormScale big = ScaleFormGeometry(work, {400, 300}, 1, 3);
    double target = ToggleFormTarget(work, {big.Width, big.Height}, big.Scale);
    EXPECT_EQ(target, 1);
    TFormScale back = ScaleFormGeometry(work, {big.Width, big.Height}, big.Scale, target);
    EXPECT_TRUE(back.Changed);
    EXPECT_EQ(back.Width, 400);
    EXPECT_EQ(back.Height, 300);
    EXPECT_DOUBLE_EQ(back.Scale, 1);

    EXPECT_FALSE(ScaleFormGeometry(work, {400, 300}, 1, 1).Changed) << "already there";
    EXPECT_FALSE(ScaleFormGeometry({0, 0, 300, 200}, {400, 300}, 1, 2).Changed) << "does not fit already";
    EXPECT_FALSE(ScaleFormGeometry(work, {0, 300}, 1, 2).Changed);
}
