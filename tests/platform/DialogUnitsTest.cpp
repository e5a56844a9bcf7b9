#include "platform/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(ScaleRounded, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(scaleRounded(433, 6, 4), 650);  // 649.5
    EXPECT_EQ(scaleRounded(54, 13, 8), 88);   // 87.75
    EXPECT_EQ(scaleRounded(141, 6, 4), 212);  // 211.5
    EXPECT_EQ(scaleRounded(9, 13, 8), 15);    // 14.625
    EXPECT_EQ(scaleRounded(10, 13, 8), 16);   // 16.25
    EXPECT_EQ(scaleRounded(-3, 1, 2), -2);    // -1.5
    EXPECT_EQ(scaleRounded(0, 7, 4), 0);
}

TEST(ScaleRounded, DoesNotOverflowOnTheWayToAResultThatFits)
{
    EXPECT_EQ(scaleRounded(2'000'000'000, 3, 4), 1'500'000'000);
}

TEST(DialogUnits, ConvertsPositionAndSizeEachOnItsOwn)
{
    const DialogUnits units(6, 13);
    EXPECT_EQ(units.toPixels(DialogRect{433, 54, 141, 12}), QRect(650, 88, 212, 20));
    EXPECT_EQ(units.toPixels(DialogRect{1, 1, 1, 1}), QRect(2, 2, 2, 2));
    EXPECT_EQ(units.toPixels(575, 265), QSize(863, 431));
}

class DialogUnitsOfAFont : public ::testing::TestWithParam<int> {
protected:
    QFont font() const
    {
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(GetParam());
        return font;
    }
};

// Four horizontal units are the font's average letter width, whatever the font's size.
TEST_P(DialogUnitsOfAFont, FourHorizontalUnitsAreTheAverageLetterWidth)
{
    const DialogUnits units = DialogUnits::fromFont(font());
    const int letters =
        QFontMetrics(font()).horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_LE(std::abs(units.toPixelsX(4) * 52 - letters), 26);
}

// A label eight units high holds one line of the font, so a text never loses its last line.
TEST_P(DialogUnitsOfAFont, EightVerticalUnitsHoldALineOfTheFont)
{
    const DialogUnits units = DialogUnits::fromFont(font());
    EXPECT_GE(units.toPixelsY(8), QFontMetricsF(font()).height());
    EXPECT_LT(units.toPixelsY(8), QFontMetricsF(font()).height() + 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, DialogUnitsOfAFont, ::testing::Values(9, 11, 13, 20));

} // namespace
