#include "tree/cylinder_shape.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "tests/tree/gl_test_context.h"
#include "tree/tree_drawing.h"
#include "tree/tree_drawing_seam.h"

namespace {

// What the GL makes of the values it is fed, read back through feedback mode. Texture-coordinate
// generation copies each vertex's object position or its normal into its texture coordinates unchanged
// (identity matrices, no normalisation), so the feedback holds the fed values themselves, beside the lit
// colour and the window position.
enum class Probe { Positions, Normals };

class FeedbackProbe {
public:
    FeedbackProbe() {
        // Texture coordinates only come through for an enabled, complete texture.
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        const unsigned char white[4] = {255, 255, 255, 255};
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glEnable(GL_TEXTURE_2D);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_NORMALIZE);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_COLOR_MATERIAL);
    }
    ~FeedbackProbe() { glDeleteTextures(1, &texture); }

    template <class Draw>
    std::vector<float> Capture(Probe probe, Draw draw) {
        const GLenum coordinates[4] = {GL_S, GL_T, GL_R, GL_Q};
        for (int i = 0; i < 4; ++i) {
            const bool used = probe == Probe::Positions || i < 3;
            if (used) {
                glTexGeni(coordinates[i], GL_TEXTURE_GEN_MODE,
                          probe == Probe::Positions ? GL_OBJECT_LINEAR : GL_NORMAL_MAP);
                GLfloat plane[4] = {0, 0, 0, 0};
                plane[i] = 1;
                glTexGenfv(coordinates[i], GL_OBJECT_PLANE, plane);
                glEnable(GL_TEXTURE_GEN_S + i);
            } else {
                glDisable(GL_TEXTURE_GEN_S + i);
            }
        }
        std::vector<float> buffer(1 << 18);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        const GLint used = glRenderMode(GL_RENDER);
        buffer.resize(used > 0 ? static_cast<size_t>(used) : 0);  // negative: the buffer overflowed
        return buffer;
    }

private:
    GLuint texture = 0;
};

// Back to the program's way of drawing cylinders whatever a test does.
struct QuadricSwitch {
    ~QuadricSwitch() { UseQuadricCylinders(false); }
    void Use(bool quadric) { UseQuadricCylinders(quadric); }
};

// Equal feedback, or the first place where the two differ.
testing::AssertionResult SameFeedback(const std::vector<float>& arrays, const std::vector<float>& quadric) {
    if (arrays.size() != quadric.size())
        return testing::AssertionFailure()
               << arrays.size() << " values from the arrays, " << quadric.size() << " from the quadric";
    for (size_t i = 0; i < arrays.size(); ++i)
        if (arrays[i] != quadric[i])
            return testing::AssertionFailure()
                   << "value " << i << ": " << arrays[i] << " from the arrays, " << quadric[i] << " from the quadric";
    return testing::AssertionSuccess();
}

TreeGenome CylinderGenome(double radius, double taper, int slices, int stacks) {
    TreeGenome genome;
    genome.radius = radius;
    genome.taper = taper;
    genome.slices = slices;
    genome.stacks = stacks;
    return genome;
}

}  // namespace

TEST(CylinderShape, ArgumentsTheQuadricRejectsGiveNoVerticesAndSlicesAreCappedLikeItsTables) {
    const struct {
        double base, top;
        int slices, stacks;
        int expectedSlices, expectedVertices;
    } cases[] = {
        {0.25, 0.125, 10, 1, 10, 22}, {0.25, 0.125, 10, 3, 10, 66},    {0.0, 0.0, 2, 1, 2, 6},
        {0.25, 0.125, 1, 1, 1, 0},    {0.25, 0.125, 10, 0, 10, 0},     {-0.25, 0.125, 10, 1, 10, 0},
        {0.25, -0.001, 10, 1, 10, 0}, {0.25, 0.125, 239, 1, 239, 480}, {0.25, 0.125, 240, 1, 239, 480},
    };
    CylinderShape shape;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.base << " " << c.top << " " << c.slices << " " << c.stacks);
        shape.Build(c.base, c.top, c.slices, c.stacks);
        EXPECT_EQ(shape.slices, c.expectedSlices);
        EXPECT_EQ(shape.VertexCount(), c.expectedVertices);
        EXPECT_EQ(shape.normals.size(), shape.positions.size());
    }
}

TEST(CylinderShape, ArraysFeedTheGlExactlyWhatTheQuadricFeedsIt) {
    GlTestContext gl;
    ASSERT_TRUE(gl.IsCurrent());
    FeedbackProbe probe;
    QuadricSwitch quadric;

    // The probe must hand back fed values unchanged, or equal feedback would prove nothing: the arrays'
    // own vertices, drawn as points, come back as themselves.
    CylinderShape shape;
    shape.Build(0.3, 0.1, 10, 2);
    for (const Probe kind : {Probe::Positions, Probe::Normals}) {
        const std::vector<float>& fed = kind == Probe::Positions ? shape.positions : shape.normals;
        const std::vector<float> points = probe.Capture(kind, [&] {
            glBegin(GL_POINTS);
            for (int v = 0; v < shape.VertexCount(); ++v) {
                glNormal3fv(&shape.normals[3 * v]);
                glVertex3fv(&shape.positions[3 * v]);
            }
            glEnd();
        });
        constexpr int kPointRecord = 1 + 4 + 4 + 4;  // token, window position, colour, texture coordinates
        ASSERT_EQ(points.size(), static_cast<size_t>(kPointRecord * shape.VertexCount()));
        for (int v = 0; v < shape.VertexCount(); ++v)
            for (int i = 0; i < 3; ++i) ASSERT_EQ(points[kPointRecord * v + 9 + i], fed[3 * v + i]) << v << " " << i;
    }

    // Genome ranges of radius and taper with their ends, a cylinder without taper, and other slice and
    // stack counts, including one the quadric caps.
    struct Case {
        double radius, taper;
        int slices, stacks;
    };
    std::vector<Case> cases = {{0.25, 0.5, 10, 1},  {0.0, 0.5, 10, 1},   {0.5, 0.0, 10, 1}, {0.5, 0.75, 10, 1},
                               {0.125, 1.0, 10, 1}, {0.375, 0.25, 3, 1}, {0.2, 0.6, 17, 3}, {0.3, 0.3, 300, 2}};
    std::mt19937 generator(20240607);
    std::uniform_real_distribution<double> radius(0.0, 0.5), taper(0.0, 0.75);
    for (int i = 0; i < 200; ++i) cases.push_back({radius(generator), taper(generator), 10, 1});
    for (int i = 0; i < 20; ++i) cases.push_back({radius(generator), taper(generator), 2 + i * 7, 1 + i % 4});

    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "radius " << c.radius << " taper " << c.taper << " slices " << c.slices
                                        << " stacks " << c.stacks);
        const TreeGenome genome = CylinderGenome(c.radius, c.taper, c.slices, c.stacks);
        for (const Probe kind : {Probe::Positions, Probe::Normals}) {
            std::array<std::vector<float>, 2> fed;
            for (const bool useQuadric : {true, false}) {
                quadric.Use(useQuadric);
                fed[useQuadric] = probe.Capture(kind, [&] { DrawSegment(genome); });
            }
            ASSERT_FALSE(fed[false].empty());
            ASSERT_TRUE(SameFeedback(fed[false], fed[true]));
        }
        // The arrays leave no client array on, and the quadric's last normal current.
        std::array<std::array<GLfloat, 4>, 2> normal{};
        for (const bool useQuadric : {true, false}) {
            quadric.Use(useQuadric);
            glNormal3f(9.0f, 9.0f, 9.0f);
            DrawSegment(genome);
            glGetFloatv(GL_CURRENT_NORMAL, normal[useQuadric].data());
            EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
            EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
        }
        EXPECT_EQ(normal[false], normal[true]);
        EXPECT_NE(normal[false][0], 9.0f);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
