#include "display/matrix3.h"

#include <cassert>
#include <cmath>

Matrix3 Matrix3::PlaneRotation(int i, int j, double angle) {
    assert(i >= 0 && i < 3 && j >= 0 && j < 3 && i != j && "PlaneRotation needs two distinct axes in 0..2");
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    Matrix3 r;
    r.m[3 * i + i] = c;
    r.m[3 * j + j] = c;
    r.m[3 * i + j] = -s;
    r.m[3 * j + i] = s;
    return r;
}

Matrix3 Matrix3::AxisRotation(int axis, double angle) { return PlaneRotation((axis + 1) % 3, (axis + 2) % 3, angle); }

Vector3 Matrix3::Row(int r) const { return Vector3{m[3 * r], m[3 * r + 1], m[3 * r + 2]}; }

Matrix3 operator*(const Matrix3& a, const Matrix3& b) {
    Matrix3 p;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            p.m[3 * r + c] = a.m[3 * r] * b.m[c] + a.m[3 * r + 1] * b.m[3 + c] + a.m[3 * r + 2] * b.m[6 + c];
        }
    }
    return p;
}

Vector3 operator*(const Vector3& v, const Matrix3& m) {
    return Vector3{v.x * m.m[0] + v.y * m.m[3] + v.z * m.m[6], v.x * m.m[1] + v.y * m.m[4] + v.z * m.m[7],
                   v.x * m.m[2] + v.y * m.m[5] + v.z * m.m[8]};
}
