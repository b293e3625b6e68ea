#include "evolve/record/number_text.h"

#include <charconv>
#include <cmath>

std::string ExactNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

std::string FixedNumber(double value, int decimals) {
    char text[64];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (end.ec != std::errc()) return ExactNumber(value);
    return std::string(text, end.ptr);
}
