#include "platform/DialogUnits.h"

#include <QFontMetrics>
#include <QFontMetricsF>

#include <cmath>

DialogUnits DialogUnits::FromFont(const QFont& font)
{
    const int width52 =
        QFontMetrics(font).horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // The toolkit lays lines out at their fractional height; rounding it up lets a label hold
    // as many lines as the template made room for.
    const int lineHeight = int(std::ceil(QFontMetricsF(font).height()));
    return {(width52 / 26 + 1) / 2, lineHeight};
}

QRect DialogUnits::ToPixels(const DialogRect& rect) const
{
    return {ToPixelsX(rect.x), ToPixelsY(rect.y), ToPixelsX(rect.cx), ToPixelsY(rect.cy)};
}

QSize DialogUnits::ToPixels(int cx, int cy) const
{
    return {ToPixelsX(cx), ToPixelsY(cy)};
}
