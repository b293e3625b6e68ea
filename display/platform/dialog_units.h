// Conversion of dialog units to pixels: a horizontal unit is a quarter of the dialog font's average
// character width, a vertical unit an eighth of its height, each rounded half away from zero.
#pragma once

#include <QRect>

namespace platform {

struct DialogBaseUnits {
    int x = 0;  // average character width in pixels
    int y = 0;  // character height in pixels
};

QRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int width, int height);

}  // namespace platform
