// Conversion of dialog units to pixels: a horizontal unit is a quarter of the base units' average
// character width, a vertical unit an eighth of their height, each rounded half away from zero.
#pragma once

#include <QRect>

namespace platform {

struct DialogBaseUnits {
    int x = 0;  // average character width in pixels
    int y = 0;  // character height in pixels
};

// The base units of the dialogs' 8-point font at 96 dots per inch. They are fixed rather than measured
// from whatever font the machine has, so that the panels, and with them every picture and fitness of a
// run, are 308 x 361 on every machine; a font with other metrics changes only how the buttons' text looks.
inline constexpr DialogBaseUnits kDialogBaseUnits{6, 13};

QRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int width, int height);

}  // namespace platform
