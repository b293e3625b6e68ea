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

void ExpectRow(const Matrix3& m, int r, double a, double b, double c) {
    const Vector3 row = m.Row(r);
    EXPECT_DOUBLE_EQ(row.x, a) << "row " << r;
    EXPECT_DOUBLE_EQ(row.y, b) << "row " << r;
    EXPECT_DOUBLE_EQ(row.z, c) << "row " << r;
}

void ExpectIdentity(const Matrix3& m) {
    for (int i = 0; i < 9; ++i) EXPECT_EQ(m.m[i], (i % 4 == 0) ? 1.0 : 0.0) << "element " << i;
}

}  // namespace

TEST(Matrix3, DefaultIsIdentityAndRowReadsRowMajor) {
    Matrix3 m;
    ExpectIdentity(m);
    for (int i = 0; i < 9; ++i) m.m[i] = i + 1;
    ExpectRow(m, 0, 1, 2, 3);
    ExpectRow(m, 1, 4, 5, 6);
    ExpectRow(m, 2, 7, 8, 9);
}

TEST(Matrix3, AxisRotationRowsFollowTheCyclicPlane) {
    const double angle = 0.3;
    const double c = std::cos(angle);
    const double s = std::sin(angle);

    const Matrix3 x = Matrix3::AxisRotation(0, angle);
    ExpectRow(x, 0, 1, 0, 0);
    ExpectRow(x, 1, 0, c, -s);
    ExpectRow(x, 2, 0, s, c);

    const Matrix3 y = Matrix3::AxisRotation(1, angle);
    ExpectRow(y, 0, c, 0, s);
    ExpectRow(y, 1, 0, 1, 0);
    ExpectRow(y, 2, -s, 0, c);

    const Matrix3 z = Matrix3::AxisRotation(2, angle);
    ExpectRow(z, 0, c, -s, 0);
    ExpectRow(z, 1, s, c, 0);
    ExpectRow(z, 2, 0, 0, 1);
}

TEST(Matrix3, ProductAndRowVectorProductTakeRowsTimesColumns) {
    Matrix3 a;
    Matrix3 b;
    const double av[9] = {1, 2, 3, 4, 5, 6, 7, 8, 10};
    const double bv[9] = {2, 0, 1, 1, 3, 0, 0, 1, 4};
    for (int i = 0; i < 9; ++i) {
        a.m[i] = av[i];
        b.m[i] = bv[i];
    }
    const Matrix3 p = a * b;
    ExpectRow(p, 0, 4, 9, 13);
    ExpectRow(p, 1, 13, 21, 28);
    ExpectRow(p, 2, 22, 34, 47);

    const Vector3 v = Vector3{1, -1, 2} * a;
    EXPECT_DOUBLE_EQ(v.x, 1 - 4 + 14);
    EXPECT_DOUBLE_EQ(v.y, 2 - 5 + 16);
    EXPECT_DOUBLE_EQ(v.z, 3 - 6 + 20);

    const Vector3 sum = Vector3{1, 2, 3} + Vector3{0.5, -2, 4};
    EXPECT_DOUBLE_EQ(sum.x, 1.5);
    EXPECT_DOUBLE_EQ(sum.y, 0.0);
    EXPECT_DOUBLE_EQ(sum.z, 7.0);
}

TEST(CameraPose, StartsAtDistanceMinus100AndStandsOnRowZero) {
    CameraPose pose;
    EXPECT_EQ(pose.Distance(), -100.0);
    const Vector3 start = pose.EyePosition();
    EXPECT_EQ(start.x, -100.0);
    EXPECT_EQ(start.y, 0.0);
    EXPECT_EQ(start.z, 0.0);

    pose.SetDistance(500);
    const Vector3 eye = pose.EyePosition();
    EXPECT_EQ(eye.x, 500.0);
    EXPECT_EQ(eye.y, 0.0);
    EXPECT_EQ(eye.z, 0.0);
    const Vector3 up = pose.rotation.Row(2);
    EXPECT_EQ(up.x, 0.0);
    EXPECT_EQ(up.y, 0.0);
    EXPECT_EQ(up.z, 1.0);

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
    ExpectIdentity(camera.pose.rotation);
    EXPECT_EQ(camera.pose.Distance(), 500.0);

    camera.OnMouse(kLeft, 0.3, 0.9);  // left was not down in the previous event either
    ExpectIdentity(camera.pose.rotation);
    camera.OnMouse(kLeft, 0.5, 0.9);
    const Matrix3 expected = Matrix3::AxisRotation(2, 0.5 - 0.3);
    for (int i = 0; i < 9; ++i) EXPECT_DOUBLE_EQ(camera.pose.rotation.m[i], expected.m[i]) << "element " << i;
    EXPECT_EQ(camera.pose.Distance(), 500.0);
}

TEST(OrbitCamera, FlagBitsOtherThanTheTwoButtonsChangeNothing) {
    const int others[] = {0x0004, 0x0008, 0x0010, 0x001C, 0x0100};
    for (int flags : others) {
        COrbitCamera camera;
        camera.pose.SetDistance(500);
        camera.OnMouse(flags, 0.1, 0.2);
        camera.OnMouse(flags, 0.7, 0.9);
        ExpectIdentity(camera.pose.rotation);
        EXPECT_EQ(camera.pose.Distance(), 500.0) << "flags " << flags;
        EXPECT_EQ(camera.lastFlags, flags);
    }
    // Extra bits alongside a button do not stop it either.
    COrbitCamera camera;
    camera.pose.SetDistance(500);
    camera.OnMouse(kRight | 0x0004, 0.5, 0.25);
    camera.OnMouse(kRight | 0x0008, 0.5, 0.75);
    EXPECT_EQ(camera.pose.Distance(), 750.5);
}

TEST(OrbitCamera, LeftDragTiltsAboutRowOneThenTurnsAboutWorldZ) {
    COrbitCamera camera;
    camera.OnMouse(kLeft, 0.2, 0.3);
    camera.OnMouse(kLeft, 0.6, 0.5);
    const double ca = std::cos(0.5 - 0.3), sa = std::sin(0.5 - 0.3);
    const double cb = std::cos(0.6 - 0.2), sb = std::sin(0.6 - 0.2);
    // AxisRotation(1, a) * identity * AxisRotation(2, b), written out.
    const double expected[9] = {ca * cb, -ca * sb, sa, sb, cb, 0.0, -sa * cb, sa * sb, ca};
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(camera.pose.rotation.m[i], expected[i], 1e-15) << "element " << i;
}

TEST(OrbitCamera, BothButtonsZoomAndTurnInOneEvent) {
    COrbitCamera camera;
    camera.pose.SetDistance(500);
    camera.OnMouse(kLeft | kRight, 0.4, 0.25);
    camera.OnMouse(kLeft | kRight, 0.4, 0.75);
    EXPECT_EQ(camera.pose.Distance(), 750.5);
    const Matrix3 expected = Matrix3::AxisRotation(1, 0.5);
    for (int i = 0; i < 9; ++i) EXPECT_DOUBLE_EQ(camera.pose.rotation.m[i], expected.m[i]) << "element " << i;
}

TEST(OrbitCamera, ZoomScalesDistancePlusOneByTheVerticalStep) {
    struct Case {
        double fromY, toY, expected;
    };
    const Case cases[] = {{0.25, 0.75, 750.5}, {0.75, 0.25, 249.5}, {1.0, 0.0, -1.0}, {0.5, 0.5, 500.0}};
    for (const Case& c : cases) {
        COrbitCamera camera;
        camera.pose.SetDistance(500);
        camera.OnMouse(kRight, 0.3, c.fromY);
        camera.OnMouse(kRight, 0.9, c.toY);
        EXPECT_EQ(camera.pose.Distance(), c.expected) << c.fromY << " -> " << c.toY;
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
        glGetLightfv(GL_LIGHT0, GL_POSITION, position.data());
        glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient.data());
        glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse.data());
        glGetLightfv(GL_LIGHT0, GL_SPECULAR, specular.data());
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
    std::array<float, 4> position{}, ambient{}, diffuse{}, specular{};
};

// The view from (500, 0, 0) towards the origin with +z up, column-major: eye-space x is world y,
// eye-space y is world z, and the origin lies 500 units in front of the eye.
constexpr double kLookAtFrom500[16] = {0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -500, 1};

void ExpectLookAtFrom500(const StateProbe& probe) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(probe.modelView[i], kLookAtFrom500[i], 1e-4) << "element " << i;
        EXPECT_NEAR(probe.modelView[i], probe.referenceLookAt[i], 1e-9) << "element " << i;
    }
}

void ExpectLight(const std::array<float, 4>& actual, std::array<float, 4> expected, const char* what) {
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(actual[i], expected[i]) << what << " " << i;
}

}  // namespace

TEST(OrbitCamera, DrawWithLightOffIssuesOnlyTheLookAt) {
    PanelPair panels(64, 48, false);
    COrbitCamera camera;
    camera.pose.SetDistance(500);
    StateProbe probe;
    panels.left.AppendRenderable(&camera);
    panels.left.AppendRenderable(&probe);
    panels.left.Render();
    ASSERT_EQ(probe.draws, 1);
    EXPECT_EQ(probe.lighting, GL_FALSE);
    EXPECT_EQ(probe.light0, GL_FALSE);
    // A new context's defaults for light 0: no ambient, white diffuse and specular.
    ExpectLight(probe.ambient, {0.0f, 0.0f, 0.0f, 1.0f}, "ambient");
    ExpectLight(probe.diffuse, {1.0f, 1.0f, 1.0f, 1.0f}, "diffuse");
    ExpectLight(probe.specular, {1.0f, 1.0f, 1.0f, 1.0f}, "specular");
    ExpectLookAtFrom500(probe);
}

TEST(OrbitCamera, DrawWithLightOnSetsAHeadlightThenTheLookAt) {
    PanelPair panels(64, 48, false);
    COrbitCamera camera;
    camera.pose.SetDistance(500);
    camera.lightOn = true;
    StateProbe probe;
    panels.left.AppendRenderable(&camera);
    panels.left.AppendRenderable(&probe);
    panels.left.Render();
    ASSERT_EQ(probe.draws, 1);
    EXPECT_EQ(probe.lighting, GL_TRUE);
    EXPECT_EQ(probe.light0, GL_TRUE);
    // The position is stored in eye space, transformed by the identity that was current when it was set.
    ExpectLight(probe.position, {0.0f, 0.0f, 1.0f, 0.0f}, "position");
    ExpectLight(probe.ambient, {0.2f, 0.2f, 0.2f, 1.0f}, "ambient");
    ExpectLight(probe.diffuse, {0.7f, 0.7f, 0.7f, 1.0f}, "diffuse");
    ExpectLight(probe.specular, {0.9f, 0.9f, 0.9f, 1.0f}, "specular");
    ExpectLookAtFrom500(probe);
}
