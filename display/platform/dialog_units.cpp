#include "display/platform/dialog_units.h"

#include <cstdint>

namespace platform {

namespace {

// 64-bit, so that no product of a template's value and a font's size overflows.
int ScaleRounded(int value, int numerator, int denominator) {
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t rounded = ((product < 0 ? -product : product) + denominator / 2) / denominator;
    return static_cast<int>(product < 0 ? -rounded : rounded);
}

}  // namespace

QRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int width, int height) {
    return QRect(ScaleRounded(x, units.x, 4), ScaleRounded(y, units.y, 8), ScaleRounded(width, units.x, 4),
                 ScaleRounded(height, units.y, 8));
}

}  // namespace platform
