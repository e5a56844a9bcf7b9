#include "app/DialogFont.h"

#include "platform/DialogUnits.h"

#include <QGuiApplication>
#include <QScreen>

QFont dialogFont(const QString& family, int points)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int dpi = screen ? qRound(screen->logicalDotsPerInchY()) : 96;
    font.setPixelSize(scaleRounded(points, dpi, 72));
    return font;
}
