#pragma once

#include <QFont>

// The font a window laid out in dialog units is drawn in: `family` at `points`, or the closest
// sans-serif face installed.
QFont dialogFont(const QString& family, int points);
