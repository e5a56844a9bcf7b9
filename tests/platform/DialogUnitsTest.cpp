#include "platform/DialogUnits.h"

#include <gtest/gtest.h>

namespace {

TEST(MulDiv, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(MulDiv(433, 6, 4), 650);  // 649.5
    EXPECT_EQ(MulDiv(54, 13, 8), 88);   // 87.75
    EXPECT_EQ(MulDiv(141, 6, 4), 212);  // 211.5
    EXPECT_EQ(MulDiv(9, 13, 8), 15);    // 14.625
    EXPECT_EQ(MulDiv(10, 13, 8), 16);   // 16.25
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);    // -1.5
    EXPECT_EQ(MulDiv(0, 7, 4), 0);
}

TEST(DialogUnits, ConvertsPositionAndSizeEachOnItsOwn)
{
    const DialogUnits units(6, 13);
    EXPECT_EQ(units.ToPixels(DialogRect{433, 54, 141, 12}), QRect(650, 88, 212, 20));
    EXPECT_EQ(units.ToPixels(DialogRect{1, 1, 1, 1}), QRect(2, 2, 2, 2));
    EXPECT_EQ(units.ToPixels(575, 265), QSize(863, 431));
}

} // namespace
