#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "display/camera_pose.h"
#include "display/matrix3.h"
#include "display/orbit_camera.h"
#include "display/vector3.h"
#include "tests/support/panel_pair.h"

namespace {

constexpr int kLeft = 0x0001;
constexpr int kRight = 0x0002;

void ExpectRows(const Matrix3& m, const double (&rows)[9]) {
    for (int r = 0; r < 3; ++r) {
        const Vector3 row = m.Row(r);
        EXPECT_DOUBLE_EQ(row.x, rows[3 * r]) << "row " << r;
        EXPECT_DOUBLE_EQ(row.y, rows[3 * r + 1]) << "row " << r;
        EXPECT_DOUBLE_EQ(row.z, rows[3 * r + 2]) << "row " << r;
    }
}

void ExpectIdentity(const Matrix3& m) {
    for (int i = 0; i < 9; ++i) EXPECT_EQ(m.m[i], (i % 4 == 0) ? 1.0 : 0.0) << "element " << i;
}

void ExpectVector(const Vector3& v, double x, double y, double z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

Matrix3 FromElements(const double (&elements)[9]) {
    Matrix3 m;
    for (int i = 0; i < 9; ++i) m.m[i] = elements[i];
    return m;
}

}  // namespace

TEST(Matrix3, DefaultIsIdentityAndRowReadsRowMajor) {
    ExpectIdentity(Matrix3{});
    ExpectRows(FromElements({1, 2, 3, 4, 5, 6, 7, 8, 9}), {1, 2, 3, 4, 5, 6, 7, 8, 9});
}

TEST(Matrix3, AxisRotationRowsFollowTheCyclicPlane) {
    const double c = std::cos(0.3), s = std::sin(0.3);
    ExpectRows(Matrix3::AxisRotation(0, 0.3), {1, 0, 0, 0, c, -s, 0, s, c});
    ExpectRows(Matrix3::AxisRotation(1, 0.3), {c, 0, s, 0, 1, 0, -s, 0, c});
    ExpectRows(Matrix3::AxisRotation(2, 0.3), {c, -s, 0, s, c, 0, 0, 0, 1});
}

TEST(Matrix3, ProductAndRowVectorProductTakeRowsTimesColumnsAndVectorsAddComponentwise) {
    const Matrix3 a = FromElements({1, 2, 3, 4, 5, 6, 7, 8, 10});
    ExpectRows(a * FromElements({2, 0, 1, 1, 3, 0, 0, 1, 4}), {4, 9, 13, 13, 21, 28, 22, 34, 47});
    ExpectVector(Vector3{1, -1, 2} * a, 1 - 4 + 14, 2 - 5 + 16, 3 - 6 + 20);
    ExpectVector(Vector3{1, 2, 3} + Vector3{0.5, -2, 4}, 1.5, 0.0, 7.0);
}

TEST(CameraPose, StartsAtDistanceMinus100AndStandsOnRowZero) {
    CameraPose pose;
    EXPECT_EQ(pose.Distance(), -100.0);
    ExpectVector(pose.EyePosition(), -100.0, 0.0, 0.0);

    pose.SetDistance(500);
    ExpectVector(pose.EyePosition(), 500.0, 0.0, 0.0);
    ExpectVector(pose.rotation.Row(2), 0.0, 0.0, 1.0);

    pose.AddDistance(-20.0);
    EXPECT_EQ(pose.Distance(), 480.0);
    EXPECT_EQ(pose.offset.y, 0.0);
    EXPECT_EQ(pose.offset.z, 0.0);

    // The eye follows whatever row 0 of the rotation points to.
    pose.rotation = Matrix3::AxisRotation(2, 0.5);
    const Vector3 turned = pose.EyePosition();
    EXPECT_DOUBLE_EQ(turned.x, 480.0 * std::cos(0.5));
    EXPECT_DOUBLE_EQ(turned.y, -480.0 * std::sin(0.5));
    EXPECT_DOUBLE_EQ(turned.z, 0.0);
}

TEST(OrbitCamera, FirstEventAfterConstructionOnlyRecords) {
    COrbitCamera camera;
    EXPECT_EQ(camera.pose.Distance(), -100.0);
    EXPECT_FALSE(camera.lightOn);
    camera.OnMouse(kLeft | kRight, 0.8, 0.9);
    ExpectIdentity(camera.pose.rotation);
    EXPECT_EQ(camera.pose.Distance(), -100.0);
    EXPECT_EQ(camera.lastFlags, kLeft | kRight);
    EXPECT_EQ(camera.lastX, 0.8);
    EXPECT_EQ(camera.lastY, 0.9);
}

TEST(OrbitCamera, PressingAButtonBetweenEventsCausesNoJump) {
    COrbitCamera camera;
    camera.pose.SetDistance(500);
    camera.OnMouse(0, 0.1, 0.1);
    camera.OnMouse(kLeft, 0.9, 0.6);   // the press shows up here: only recorded
    camera.OnMouse(kRight, 0.2, 0.9);  // the right button was not down before: only recorded
    camera.OnMouse(kLeft, 0.3, 0.9);   // left was not down in the previous event either
    ExpectIdentity(camera.pose.rotation);
    EXPECT_EQ(camera.pose.Distance(), 500.0);
    camera.OnMouse(kLeft, 0.5, 0.9);
    ExpectRows(camera.pose.rotation, Matrix3::AxisRotation(2, 0.5 - 0.3).m);
    EXPECT_EQ(camera.pose.Distance(), 500.0);
}

TEST(OrbitCamera, DragsTurnWithTheLeftButtonZoomWithTheRightAndIgnoreOtherFlagBits) {
    // From distance 500: a left drag tilts about row 1, then turns about world z; a right drag scales
    // distance + 1 by the vertical step.
    const double ca = std::cos(0.2), sa = std::sin(0.2), cb = std::cos(0.4), sb = std::sin(0.4);
    const Matrix3 tiltThenTurn = FromElements({ca * cb, -ca * sb, sa, sb, cb, 0.0, -sa * cb, sa * sb, ca});
    const struct {
        const char* what;
        int fromFlags;
        double fromX, fromY;
        int toFlags;
        double toX, toY;
        double distance;
        bool turns;
        Matrix3 rotation;
    } cases[] = {
        {"left drag", kLeft, 0.2, 0.3, kLeft, 0.6, 0.5, 500.0, true, tiltThenTurn},
        {"zoom out", kRight, 0.3, 0.25, kRight, 0.9, 0.75, 750.5, false, {}},
        {"zoom in", kRight, 0.3, 0.75, kRight, 0.9, 0.25, 249.5, false, {}},
        {"zoom to -1", kRight, 0.3, 1.0, kRight, 0.9, 0.0, -1.0, false, {}},
        {"no vertical step", kRight, 0.3, 0.5, kRight, 0.9, 0.5, 500.0, false, {}},
        {"both buttons", kLeft | kRight, 0.4, 0.25, kLeft | kRight, 0.4, 0.75, 750.5, true,
         Matrix3::AxisRotation(1, 0.5)},
        {"right with other bits", kRight | 0x0004, 0.5, 0.25, kRight | 0x0008, 0.5, 0.75, 750.5, false, {}},
        {"middle", 0x0004, 0.1, 0.2, 0x0004, 0.7, 0.9, 500.0, false, {}},
        {"x button 1", 0x0008, 0.1, 0.2, 0x0008, 0.7, 0.9, 500.0, false, {}},
        {"x button 2", 0x0010, 0.1, 0.2, 0x0010, 0.7, 0.9, 500.0, false, {}},
        {"three other buttons", 0x001C, 0.1, 0.2, 0x001C, 0.7, 0.9, 500.0, false, {}},
        {"a high bit", 0x0100, 0.1, 0.2, 0x0100, 0.7, 0.9, 500.0, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        COrbitCamera camera;
        camera.pose.SetDistance(500);
        camera.OnMouse(c.fromFlags, c.fromX, c.fromY);
        camera.OnMouse(c.toFlags, c.toX, c.toY);
        EXPECT_EQ(camera.pose.Distance(), c.distance);
        EXPECT_EQ(camera.lastFlags, c.toFlags);
        if (c.turns)
            ExpectRows(camera.pose.rotation, c.rotation.m);
        else
            ExpectIdentity(camera.pose.rotation);
    }
}

TEST(OrbitCamera, AtDistanceMinusOneZoomingHasNoFurtherEffect) {
    COrbitCamera camera;
    camera.pose.SetDistance(500);
    camera.OnMouse(kRight, 0.5, 1.0);
    camera.OnMouse(kRight, 0.5, 0.0);
    ASSERT_EQ(camera.pose.Distance(), -1.0);
    const double ys[] = {1.0, 0.3, 0.0, 0.9};
    for (double y : ys) {
        camera.OnMouse(kRight, 0.5, y);
        EXPECT_EQ(camera.pose.Distance(), -1.0);
    }
}

TEST(OrbitCamera, LongUpwardDragApproachesButNeverPassesMinusOne) {
    COrbitCamera camera;
    camera.pose.SetDistance(500);
    camera.OnMouse(kRight, 0.5, 0.9);
    double previous = camera.pose.Distance();
    for (int i = 0; i < 10; ++i) {
        camera.OnMouse(kRight, 0.5, 0.1);
        camera.OnMouse(0, 0.5, 0.9);
        camera.OnMouse(kRight, 0.5, 0.9);
        EXPECT_LT(camera.pose.Distance(), previous);
        EXPECT_GT(camera.pose.Distance(), -1.0);
        previous = camera.pose.Distance();
    }
    EXPECT_LT(camera.pose.Distance(), 0.0);  // the eye has passed through the centre
}

namespace {

// Reads the GL state that the entries before it left behind, inside the same render pass.
struct StateProbe : IRenderable {
    void Draw() override {
        ++draws;
        lighting = glIsEnabled(GL_LIGHTING);
        light0 = glIsEnabled(GL_LIGHT0);
        glGetDoublev(GL_MODELVIEW_MATRIX, modelView.data());
        const GLenum parameters[] = {GL_POSITION, GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR};
        for (int i = 0; i < 4; ++i) glGetLightfv(GL_LIGHT0, parameters[i], light[i].data());
        glPushMatrix();
        glLoadIdentity();
        gluLookAt(500, 0, 0, 0, 0, 0, 0, 0, 1);
        glGetDoublev(GL_MODELVIEW_MATRIX, referenceLookAt.data());
        glPopMatrix();
    }
    int draws = 0;
    GLboolean lighting = GL_TRUE;
    GLboolean light0 = GL_TRUE;
    std::array<double, 16> modelView{};
    std::array<double, 16> referenceLookAt{};
    std::array<std::array<float, 4>, 4> light{};  // position, ambient, diffuse, specular
};

}  // namespace

TEST(OrbitCamera, DrawSetsAHeadlightOnlyWhenTheLightIsOnThenTheLookAt) {
    // With the light off light 0 keeps a new context's defaults: no ambient, white diffuse and specular.
    // The position is stored in eye space, transformed by the identity that was current when it was set.
    const struct {
        bool lightOn;
        std::array<std::array<float, 4>, 4> light;
    } cases[] = {{false, {{{0, 0, 1, 0}, {0, 0, 0, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}}}},
                 {true, {{{0, 0, 1, 0}, {0.2f, 0.2f, 0.2f, 1}, {0.7f, 0.7f, 0.7f, 1}, {0.9f, 0.9f, 0.9f, 1}}}}};
    // The view from (500, 0, 0) towards the origin with +z up, column-major: eye-space x is world y,
    // eye-space y is world z, and the origin lies 500 units in front of the eye.
    const double lookAtFrom500[16] = {0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -500, 1};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lightOn ? "light on" : "light off");
        PanelPair panels(64, 48, false);
        COrbitCamera camera;
        camera.pose.SetDistance(500);
        camera.lightOn = c.lightOn;
        StateProbe probe;
        panels.left.AppendRenderable(&camera);
        panels.left.AppendRenderable(&probe);
        panels.left.Render();
        ASSERT_EQ(probe.draws, 1);
        EXPECT_EQ(probe.lighting, c.lightOn ? GL_TRUE : GL_FALSE);
        EXPECT_EQ(probe.light0, c.lightOn ? GL_TRUE : GL_FALSE);
        for (int p = 0; p < 4; ++p)
            for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(probe.light[p][i], c.light[p][i]) << "light " << p << ", " << i;
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(probe.modelView[i], lookAtFrom500[i], 1e-4) << "element " << i;
            EXPECT_NEAR(probe.modelView[i], probe.referenceLookAt[i], 1e-9) << "element " << i;
        }
    }
}
