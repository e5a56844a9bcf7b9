#pragma once

#include <QRect>
#include <QSize>

class QFont;

// A rectangle in dialog units: a layout measured in the font's own units keeps its proportions
// in any font.
struct DialogRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

// a * b / c rounded to the nearest integer, halves away from zero; c must be positive.
constexpr int scaleRounded(int number, int numerator, int denominator)
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
    static DialogUnits fromFont(const QFont& font);

    constexpr int toPixelsX(int units) const { return scaleRounded(units, m_baseX, 4); }
    constexpr int toPixelsY(int units) const { return scaleRounded(units, m_baseY, 8); }

    // Each of position and size converted on its own, the way a dialog places its controls.
    QRect toPixels(const DialogRect& rect) const;
    QSize toPixels(int cx, int cy) const;

private:
    int m_baseX;
    int m_baseY;
};
