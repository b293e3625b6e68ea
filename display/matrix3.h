// A 3x3 matrix of doubles stored row-major, element (r, c) at m[3r + c]; the identity by default.
// Vectors are rows multiplied from the left, so v * A * B applies A first.
#pragma once

#include "display/vector3.h"

struct Matrix3 {
    double m[9] = {1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0};

    // The identity with the (i, j) plane turned by angle radians: (i, i) = (j, j) = cos, (i, j) = -sin,
    // (j, i) = sin. i and j are distinct indices in 0..2.
    static Matrix3 PlaneRotation(int i, int j, double angle);
    // The turn in the plane of the two axes that follow axis cyclically.
    static Matrix3 AxisRotation(int axis, double angle);

    Vector3 Row(int r) const;
};

Matrix3 operator*(const Matrix3& a, const Matrix3& b);
Vector3 operator*(const Vector3& v, const Matrix3& m);
