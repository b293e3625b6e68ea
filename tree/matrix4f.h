// A 4 x 4 float matrix, column-major, that composes translations, scales and axis rotations the way the
// fixed-function GL composes its model-view matrix: arguments rounded to float, rotation sines taken in
// double from the float angle, products summed in the GL's order. A frame built here therefore lands
// where the GL puts it, even for the huge angles that extreme noise fractions give.
#pragma once

#include <array>

struct Matrix4f {
    // Each multiplies this matrix from the right, like the GL call of the same name.
    void Translate(double x, double y, double z);
    void Scale(double x, double y, double z);
    void RotateAboutZ(double degrees);
    void RotateAboutX(double degrees);

    // This matrix times b.
    void MultiplyBy(const std::array<float, 16>& b);

    float At(int row, int column) const { return m[column * 4 + row]; }

    std::array<float, 16> m = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};
