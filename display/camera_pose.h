// Where the camera stands: the point looked at, the orientation frame and the eye's offset in that frame.
// Row 0 of the rotation is the axis the eye stands off along, row 2 the up direction. Only the
// offset's x, the signed distance, ever changes; the centre stays at the origin.
#pragma once

#include "display/matrix3.h"
#include "display/vector3.h"

struct CameraPose {
    Vector3 center;
    Matrix3 rotation;
    Vector3 offset{-100.0, 0.0, 0.0};

    double Distance() const { return offset.x; }
    void SetDistance(double d) { offset.x = d; }
    void AddDistance(double delta) { offset.x = offset.x + delta; }
    void PreRotate(const Matrix3& r) { rotation = r * rotation; }
    void PostRotate(const Matrix3& r) { rotation = rotation * r; }
    Vector3 EyePosition() const { return center + offset * rotation; }
    // Multiplies the current GL matrix by the viewing transform of this pose.
    void LookAt() const;
};
