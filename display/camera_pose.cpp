#include "display/camera_pose.h"

#include <GL/gl.h>
#include <GL/glu.h>

void CameraPose::LookAt() const {
    const Vector3 eye = EyePosition();
    const Vector3 up = rotation.Row(2);
    // A distance of exactly 0 hands GLU equal eye and centre; like any other pose it is passed on unchecked.
    gluLookAt(eye.x, eye.y, eye.z, center.x, center.y, center.z, up.x, up.y, up.z);
}
