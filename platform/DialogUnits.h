#pragma once

#include "platform/DialogTemplate.h"

#include <QRect>
#include <QSize>

class QFont;

// a * b / c rounded to the nearest integer, halves away from zero; c must be positive.
constexpr int MulDiv(int number, int numerator, int denominator)
{
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

// Converts dialog units to pixels. A horizontal unit is a quarter of the dialog font's average
// character width, a vertical unit an eighth of its character height.
class DialogUnits {
public:
    constexpr DialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

    // The base units of `font`: the average width of the 52 Latin letters, rounded, and the
    // character height in whole pixels.
    static DialogUnits FromFont(const QFont& font);

    constexpr int ToPixelsX(int units) const { return MulDiv(units, m_baseX, 4); }
    constexpr int ToPixelsY(int units) const { return MulDiv(units, m_baseY, 8); }

    // Each of position and size converted on its own, the way a dialog places its controls.
    QRect ToPixels(const DialogRect& rect) const;
    QSize ToPixels(int cx, int cy) const;

private:
    int m_baseX;
    int m_baseY;
};
