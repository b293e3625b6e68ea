#include "display/platform/dialog_units.h"

#include <cstdint>

namespace platform {

int ScaleRounded(int value, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t p = product < 0 ? -product : product;
    const std::int64_t d = denominator < 0 ? -static_cast<std::int64_t>(denominator) : denominator;
    const std::int64_t rounded = (p + d / 2) / d;
    return static_cast<int>(negative ? -rounded : rounded);
}

QRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int width, int height) {
    return QRect(ScaleRounded(x, units.x, 4), ScaleRounded(y, units.y, 8), ScaleRounded(width, units.x, 4),
                 ScaleRounded(height, units.y, 8));
}

}  // namespace platform
