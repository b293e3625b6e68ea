#include "display/orbit_camera.h"

#include <GL/gl.h>

#include "display/drawing_key.h"
#include "display/platform/geometry.h"

namespace {

// w = 0 makes the light directional; taken with an identity model-view it points from the eye into the
// scene, so the light travels with the camera.
constexpr GLfloat kHeadlightPosition[4] = {0.0f, 0.0f, 1.0f, 0.0f};
constexpr GLfloat kHeadlightAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
constexpr GLfloat kHeadlightDiffuse[4] = {0.7f, 0.7f, 0.7f, 1.0f};
constexpr GLfloat kHeadlightSpecular[4] = {0.9f, 0.9f, 0.9f, 1.0f};

}  // namespace

void COrbitCamera::OnMouse(int flags, double x, double y) {
    // A button acts only when the previous event carried it too, so the event that first shows a press
    // merely records where the drag starts and the view never jumps.
    const bool zooming = (flags & platform::kMouseRightButton) && (lastFlags & platform::kMouseRightButton);
    const bool turning = (flags & platform::kMouseLeftButton) && (lastFlags & platform::kMouseLeftButton);
    if (zooming) {
        // Scaling (distance + 1) keeps the step proportional to the distance; as |y - lastY| <= 1 the factor
        // never changes sign, so the distance stays above -1 however far the drag goes.
        pose.AddDistance((pose.Distance() + 1.0) * (y - lastY));
    }
    if (turning) {
        // Normalised deltas are angles in radians. The vertical turn is about the camera's own row-1 axis;
        // post-multiplying keeps the horizontal turn about the world z axis whatever the tilt.
        pose.PreRotate(Matrix3::AxisRotation(1, y - lastY));
        pose.PostRotate(Matrix3::AxisRotation(2, x - lastX));
    }
    lastFlags = flags;
    lastX = x;
    lastY = y;
}

void COrbitCamera::Draw() {
    if (lightOn) {
        // Every render starts from a new context's state, so the light is set up again on each draw.
        glLightfv(GL_LIGHT0, GL_POSITION, kHeadlightPosition);
        glLightfv(GL_LIGHT0, GL_AMBIENT, kHeadlightAmbient);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, kHeadlightDiffuse);
        glLightfv(GL_LIGHT0, GL_SPECULAR, kHeadlightSpecular);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
    }
    pose.LookAt();
}

bool COrbitCamera::DescribeDrawing(CDrawingKey& key) const {
    // The pointer position and flags of the last move steer the next move, not the picture.
    for (double v : {pose.center.x, pose.center.y, pose.center.z, pose.offset.x, pose.offset.y, pose.offset.z})
        key.Append(v);
    key.AppendBytes(pose.rotation.m, sizeof pose.rotation.m);
    key.Append(lightOn);
    return true;
}
