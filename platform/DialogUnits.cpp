#include "platform/DialogUnits.h"

#include <QFontMetrics>
#include <QFontMetricsF>

#include <cmath>

DialogUnits DialogUnits::fromFont(const QFont& font)
{
    const int width52 =
        QFontMetrics(font).horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // The toolkit lays lines out at their fractional height; rounding it up lets a label hold
    // as many lines as the template made room for.
    const int lineHeight = int(std::ceil(QFontMetricsF(font).height()));
    return {(width52 / 26 + 1) / 2, lineHeight};
}

QRect DialogUnits::toPixels(const DialogRect& rect) const
{
    return {toPixelsX(rect.x), toPixelsY(rect.y), toPixelsX(rect.cx), toPixelsY(rect.cy)};
}

QSize DialogUnits::toPixels(int cx, int cy) const
{
    return {toPixelsX(cx), toPixelsY(cy)};
}
