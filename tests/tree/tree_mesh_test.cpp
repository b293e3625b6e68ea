#include "tree/tree_mesh.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "tests/tree/gl_test_context.h"
#include "tests/tree/tree_test_support.h"
#include "tree/cylinder_shape.h"
#include "tree/individual.h"
#include "tree/random_seam.h"
#include "tree/tree_drawing.h"
#include "tree/tree_drawing_seam.h"
#include "tree/tree_model.h"

namespace {

class TreeMeshing : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gl.IsCurrent()); }
    GlTestContext gl;
};

struct Tree {
    TreeGenome genome;
    std::unique_ptr<NoiseField> noise;
};

// The start-up target tree, two individuals of a fresh run, the first with noise fractions of exactly 0
// and 1 near the root (angles of about 4e15 degrees), an all-present tree and one with only its root.
std::vector<Tree> SampleTrees() {
    ResetRandomSequence();
    std::vector<Tree> trees;
    const auto add = [&](const TreeGenome& genome, const NoiseField& noise) {
        trees.push_back({genome, std::make_unique<NoiseField>(noise.Count())});
        for (int node = 0; node < noise.Count(); ++node) (*trees.back().noise)[node] = noise[node];
    };
    CTreeModel target;
    add(target.genome, target.noise);
    CIndividual first, second;
    for (int node = 1; node < 31; ++node) first.noise[node] = NodeNoise{0.0, node % 2 ? 0.0 : 1.0, 1.0};
    add(first.genome, first.noise);
    add(second.genome, second.noise);
    TreeGenome full = second.genome;
    for (BranchGene& branch : full.branches) branch.presence = 1.0;
    add(full, second.noise);
    TreeGenome bare = second.genome;
    for (BranchGene& branch : bare.branches) branch.presence = -1.0;
    add(bare, second.noise);
    return trees;
}

TreeDrawingLog DrawingOf(const Tree& tree) {
    TreeDrawingWatch watch;
    DrawTree(tree.genome, 5, *tree.noise);
    return watch.log;
}

// The GL's model-view matrix for a node's segment: the tree's scale, then every node transform from the
// root's child on the node's path down to the node, through the drawing's own ApplyNodeTransform.
std::array<double, 16> GlFrameOf(const Tree& tree, int node) {
    std::vector<int> path;
    for (int n = node; n != 0; n = (n - 1) / 5) path.push_back(n);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScaled(tree.genome.scale, tree.genome.scale, tree.genome.scale);
    for (auto n = path.rbegin(); n != path.rend(); ++n) ApplyNodeTransform(tree.genome, (*n - 1) % 5, *n, *tree.noise);
    std::array<GLfloat, 16> m{};
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return std::array<double, 16>{m[0], m[1], m[2],  m[3],  m[4],  m[5],  m[6],  m[7],
                                  m[8], m[9], m[10], m[11], m[12], m[13], m[14], m[15]};
}

std::array<double, 3> Subtract(const float* a, const float* b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

}  // namespace

TEST_F(TreeMeshing, HoldsOneCylinderPerDrawnSegmentAndTwoTrianglesPerQuad) {
    const std::vector<Tree> trees = SampleTrees();
    const long long expectedSegments[] = {-1, -1, -1, 3906, 1};  // -1: whatever the drawing draws
    for (size_t i = 0; i < trees.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "tree " << i);
        const TreeDrawingLog log = DrawingOf(trees[i]);
        if (expectedSegments[i] >= 0) {
            EXPECT_EQ(log.segments, expectedSegments[i]);
        }
        const TreeMesh mesh = BuildTreeMesh(trees[i].genome, 5, *trees[i].noise);
        EXPECT_EQ(mesh.segments, log.segments);
        const size_t vertices = static_cast<size_t>(mesh.segments) * 22;
        EXPECT_EQ(mesh.positions.size(), 3 * vertices);
        EXPECT_EQ(mesh.normals.size(), 3 * vertices);
        EXPECT_EQ(mesh.triangles.size(), static_cast<size_t>(mesh.segments) * 10 * 2 * 3);
        EXPECT_TRUE(std::all_of(mesh.triangles.begin(), mesh.triangles.end(),
                                [&](int v) { return v >= 0 && static_cast<size_t>(v) < vertices; }));
    }
}

TEST_F(TreeMeshing, VerticesAndNormalsLieWhereTheGlPutsThem) {
    const std::vector<Tree> trees = SampleTrees();
    for (size_t t = 0; t < trees.size(); ++t) {
        const Tree& tree = trees[t];
        const TreeDrawingLog log = DrawingOf(tree);
        const TreeMesh mesh = BuildTreeMesh(tree.genome, 5, *tree.noise);
        ASSERT_EQ(static_cast<long long>(log.nodes.size()), mesh.segments);
        CylinderShape shape;
        shape.Build(tree.genome.radius, tree.genome.radius * tree.genome.taper, tree.genome.slices, tree.genome.stacks);
        const int perSegment = shape.VertexCount();
        // A few float steps at the size of the tree (about 300 units across): the frames are the GL's own
        // to the last bit or nearly, and a slip in the angle arithmetic shows as thousandths or more.
        const double tolerance = 1e-6 * tree.genome.scale;
        double worstPosition = 0.0, worstNormal = 0.0;
        for (size_t segment = 0; segment < log.nodes.size(); ++segment) {
            const std::array<double, 16> m = GlFrameOf(tree, log.nodes[segment]);
            // Inverse transpose of the linear part, up to a positive factor: its cofactors.
            const auto a = [&](int row, int column) { return m[4 * column + row]; };
            for (int v = 0; v < perSegment; ++v) {
                const float* p = &shape.positions[3 * v];
                const float* n = &shape.normals[3 * v];
                const size_t k = 3 * (segment * perSegment + v);
                double normal[3], length = 0.0;
                for (int row = 0; row < 3; ++row) {
                    const double expected = a(row, 0) * p[0] + a(row, 1) * p[1] + a(row, 2) * p[2] + a(row, 3);
                    worstPosition = std::max(worstPosition, std::fabs(mesh.positions[k + row] - expected));
                    const int r1 = (row + 1) % 3, r2 = (row + 2) % 3;
                    normal[row] = 0.0;
                    for (int c = 0; c < 3; ++c) {
                        const int c1 = (c + 1) % 3, c2 = (c + 2) % 3;
                        normal[row] += (a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1)) * n[c];
                    }
                    length += normal[row] * normal[row];
                }
                for (int row = 0; row < 3; ++row)
                    worstNormal =
                        std::max(worstNormal, std::fabs(mesh.normals[k + row] - normal[row] / std::sqrt(length)));
            }
        }
        EXPECT_LE(worstPosition, tolerance) << "tree " << t;
        EXPECT_LE(worstNormal, 1e-6) << "tree " << t;
    }
}

TEST(TreeMesh, TrianglesTurnCounterClockwiseToTheOutsideAndNormalsAreUnitLength) {
    ResetRandomSequence();
    const CIndividual individual;
    const TreeMesh mesh = BuildTreeMesh(individual.genome, 5, individual.noise);
    ASSERT_GT(mesh.segments, 1);
    for (size_t v = 0; v < mesh.normals.size(); v += 3) {
        const float* n = &mesh.normals[v];
        ASSERT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0, 1e-6) << "vertex " << v / 3;
    }
    // Seen from outside, the outward normals point at the viewer: a counter-clockwise triangle's face
    // normal (b - a) x (c - a) then points the same way as its vertices' normals.
    int checked = 0, inward = 0;
    for (size_t t = 0; t < mesh.triangles.size(); t += 3) {
        const float* a = &mesh.positions[3 * mesh.triangles[t]];
        const float* b = &mesh.positions[3 * mesh.triangles[t + 1]];
        const float* c = &mesh.positions[3 * mesh.triangles[t + 2]];
        const std::array<double, 3> u = Subtract(b, a), w = Subtract(c, a);
        const double face[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
        const double area = std::sqrt(face[0] * face[0] + face[1] * face[1] + face[2] * face[2]);
        if (area < 1e-9) continue;
        double outward = 0.0;
        for (int corner = 0; corner < 3; ++corner)
            for (int i = 0; i < 3; ++i) outward += face[i] * mesh.normals[3 * mesh.triangles[t + corner] + i];
        inward += outward / area > 0.5 ? 0 : 1;
        ++checked;
    }
    EXPECT_EQ(inward, 0);
    EXPECT_GT(checked, 20 * mesh.segments / 2);
}
