// Conversion of dialog units to pixels: a horizontal unit is a quarter of the dialog font's average
// character width, a vertical unit an eighth of its height.
#pragma once

#include <QRect>

namespace platform {

struct DialogBaseUnits {
    int x = 0;  // average character width in pixels
    int y = 0;  // character height in pixels
};

// value × numerator / denominator in 64-bit arithmetic, rounded half away from zero.
int ScaleRounded(int value, int numerator, int denominator);

QRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int width, int height);

}  // namespace platform
