#include "tree/matrix4f.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct SineCosine {
    float sine;
    float cosine;
};

// The angle is rounded to float in degrees and again in radians, and the sine and cosine are the float
// functions of that: near 4e15 degrees each rounding moves the angle by many turns, and the picture
// follows the rounded angle.
SineCosine SineCosineOfDegrees(double degrees) {
    const float angle = static_cast<float>(degrees);
    const float radians = static_cast<float>(angle * kPi / 180.0);
    return {std::sin(radians), std::cos(radians)};
}

}  // namespace

void Matrix4f::Translate(double x, double y, double z) {
    const float fx = static_cast<float>(x), fy = static_cast<float>(y), fz = static_cast<float>(z);
    for (int row = 0; row < 4; ++row) m[12 + row] = m[row] * fx + m[4 + row] * fy + m[8 + row] * fz + m[12 + row];
}

void Matrix4f::Scale(double x, double y, double z) {
    const float fx = static_cast<float>(x), fy = static_cast<float>(y), fz = static_cast<float>(z);
    for (int row = 0; row < 4; ++row) {
        m[row] *= fx;
        m[4 + row] *= fy;
        m[8 + row] *= fz;
    }
}

// A zero angle leaves the matrix untouched rather than multiplying by the identity, which could turn a
// -0 into +0.
void Matrix4f::RotateAboutZ(double degrees) {
    if (static_cast<float>(degrees) == 0.0f) return;
    const auto [s, c] = SineCosineOfDegrees(degrees);
    MultiplyBy({c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

void Matrix4f::RotateAboutX(double degrees) {
    if (static_cast<float>(degrees) == 0.0f) return;
    const auto [s, c] = SineCosineOfDegrees(degrees);
    MultiplyBy({1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1});
}

void Matrix4f::MultiplyBy(const std::array<float, 16>& b) {
    std::array<float, 16> product;
    for (int row = 0; row < 4; ++row) {
        const float a0 = m[row], a1 = m[4 + row], a2 = m[8 + row], a3 = m[12 + row];
        for (int column = 0; column < 4; ++column) {
            const float* bc = &b[4 * column];
            product[4 * column + row] = a0 * bc[0] + a1 * bc[1] + a2 * bc[2] + a3 * bc[3];
        }
    }
    m = product;
}
