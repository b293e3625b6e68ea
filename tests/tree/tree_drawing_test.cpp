#include "tree/tree_drawing.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <set>

#include "display/orbit_camera.h"
#include "tests/tree/gl_test_context.h"
#include "tests/tree/tree_test_support.h"
#include "tree/individual.h"
#include "tree/random_seam.h"
#include "tree/tree_drawing_seam.h"
#include "tree/tree_model.h"

namespace {

class TreeDrawing : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gl.IsCurrent()); }
    GlTestContext gl;
};

TreeGenome GenomeWithPresence(double presence) {
    ResetRandomSequence();
    TreeGenome genome;
    for (BranchGene& gene : genome.branches) gene.presence = presence;
    return genome;
}

void SetPresenceDraws(NoiseField& noise, double presence) {
    for (int node = 0; node < noise.Count(); ++node) noise[node] = NodeNoise{presence, 0.5, 0.5};
}

// node and its descendants within a tree of the given depth; the children of n are 5n + 1 ... 5n + 5.
std::set<int> SubtreeOf(int node, int depth) {
    std::set<int> nodes;
    for (int first = node, count = 1; first < NodeCount(depth); first = 5 * first + 1, count *= 5)
        for (int i = 0; i < count; ++i) nodes.insert(first + i);
    return nodes;
}

std::array<double, 16> ModelView() {
    std::array<double, 16> m{};
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

}  // namespace

TEST_F(TreeDrawing, AbsentBranchAppearsOnlyWherePresenceDrawIsExactlyZero) {
    TreeGenome genome = GenomeWithPresence(1.0);
    genome.branches[2].presence = 0.0;
    NoiseField noise(NodeCount(5));
    SetPresenceDraws(noise, 0.5);
    noise[3].presence = 0.0;     // child 2 of the root
    noise[8].presence = 1e-300;  // child 2 of node 1: the smallest step above 0 already fails
    TreeDrawingWatch watch;
    DrawTree(genome, 5, noise);
    const std::set<int> drawn(watch.log.nodes.begin(), watch.log.nodes.end());
    EXPECT_TRUE(drawn.count(3));
    EXPECT_FALSE(drawn.count(8));
    EXPECT_FALSE(drawn.count(13));  // child 2 of node 2, presence draw 0.5
    // Paths through branches 0, 1, 3 and 4 only: 1 + 4 + ... + 4^5 nodes, plus node 3 with its
    // 4-way subtree of four levels.
    EXPECT_EQ(watch.log.segments, 1365 + 341);
}

TEST_F(TreeDrawing, EveryPresentNodeIsDrawnOnceAndAFailedNodeHidesItsWholeSubtree) {
    // Every other node passes its own test; a failing node must take exactly its descendants with it,
    // which also shows which records are its children.
    const struct {
        int depth;
        int failing;
        std::set<int> missing;
    } cases[] = {
        {5, -1, {}},       {2, 5, {5, 26, 27, 28, 29, 30}}, {3, 6, {6, 31, 32, 33, 34, 35}},
        {5, 3905, {3905}}, {5, 1, SubtreeOf(1, 5)},
    };
    const TreeGenome genome = GenomeWithPresence(0.5);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "node " << c.failing << " at depth " << c.depth);
        NoiseField noise(NodeCount(c.depth));
        SetPresenceDraws(noise, 0.0);
        if (c.failing >= 0) noise[c.failing].presence = 1.0;
        TreeDrawingWatch watch;
        DrawTree(genome, c.depth, noise);
        std::vector<int> expected;
        for (int node = 0; node < NodeCount(c.depth); ++node)
            if (!c.missing.count(node)) expected.push_back(node);
        std::vector<int> drawn = watch.log.nodes;
        std::sort(drawn.begin(), drawn.end());
        EXPECT_EQ(drawn, expected);
        EXPECT_EQ(watch.log.segments, static_cast<long long>(expected.size()));
    }
    EXPECT_EQ(SubtreeOf(1, 5).size(), static_cast<size_t>(NodeCount(4)));
}

TEST_F(TreeDrawing, LeavesTheMatrixAsFoundAndTheColourAndNormalisationSetAndMakesNoRandomDraws) {
    ResetRandomSequence();
    TreeGenome genome;
    genome.RandomizeWide();
    NoiseField noise(NodeCount(5));
    FillNoise(noise, 5);
    glMatrixMode(GL_MODELVIEW);
    glTranslated(1.0, -2.0, -500.0);
    glRotated(30.0, 0.3, 0.4, 0.5);
    GLint depthBefore = 0, depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    const std::array<double, 16> before = ModelView();
    const long long draws = RandomDrawCount();
    DrawTree(genome, 5, noise);
    EXPECT_EQ(RandomDrawCount(), draws);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(ModelView(), before);
    EXPECT_EQ(depthAfter, depthBefore);
    GLdouble colour[4] = {};
    glGetDoublev(GL_CURRENT_COLOR, colour);
    EXPECT_NEAR(colour[0], 0.75, 1e-6);
    EXPECT_NEAR(colour[1], 0.5, 1e-6);
    EXPECT_NEAR(colour[2], 0.25, 1e-6);
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TreeDrawing, PositionSetsTheAttachmentAndTheChildsSize) {
    TreeGenome genome = GenomeWithPresence(1.0);
    genome.taper = 0.4;
    NoiseField noise(NodeCount(1));
    SetPresenceDraws(noise, 0.0);
    const struct {
        double position;
        double size;
    } cases[] = {{0.0, 1.0}, {1.0, 0.4}, {0.5, 0.7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        genome.branches[0] = BranchGene{0.0, 0.0, 30.0, 60.0, 1.0, c.position};
        glLoadIdentity();
        ApplyNodeTransform(genome, 0, 1, noise);
        const std::array<double, 16> m = ModelView();
        // A stored fraction of 0.5 means no variation, so only translate and scale remain.
        const std::array<double, 16> expected = {c.size, 0, 0,      0, 0, c.size, 0,          0,
                                                 0,      0, c.size, 0, 0, 0,      c.position, 1};
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], expected[i], 1e-6) << "element " << i;
    }
}

TEST_F(TreeDrawing, NodeFrameIsTranslatedScaledTurnedThenTilted) {
    TreeGenome genome = GenomeWithPresence(1.0);
    genome.taper = 0.5;
    genome.branches[3] = BranchGene{90.0, 90.0, 10.0, 10.0, 1.0, 0.5};
    NoiseField noise(NodeCount(1));
    SetPresenceDraws(noise, 0.0);
    glLoadIdentity();
    ApplyNodeTransform(genome, 3, 4, noise);
    // Tilting +z by 90 degrees about x gives -y; turning that by 90 degrees about z gives +x. The
    // child's tip then lies 0.75 (its size) along +x from the attachment point half way up the parent.
    const std::array<double, 16> m = ModelView();
    const double tip[3] = {m[8] + m[12], m[9] + m[13], m[10] + m[14]}, expected[3] = {0.75, 0.0, 0.5};
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(tip[i], expected[i], 1e-6) << "coordinate " << i;
}

TEST_F(TreeDrawing, ExtremeNoiseFractionsStillDrawAFiniteNode) {
    TreeGenome genome = GenomeWithPresence(1.0);
    genome.branches[0] = BranchGene{100.0, 20.0, 30.0, 60.0, 1.0, 0.75};
    NoiseField noise(NodeCount(1));
    for (const NodeNoise extreme : {NodeNoise{0.0, 0.0, 1.0}, NodeNoise{1.0, 1.0, 0.0}}) {
        noise[1] = extreme;
        glLoadIdentity();
        ApplyNodeTransform(genome, 0, 1, noise);
        for (double element : ModelView()) EXPECT_TRUE(std::isfinite(element));
        glLoadIdentity();
        TreeDrawingWatch watch;
        DrawNode(genome, 0, 0, 1, noise);
        EXPECT_EQ(watch.log.nodes, std::vector<int>{1});
        EXPECT_EQ(watch.log.segments, 1);
    }
}

TEST_F(TreeDrawing, DrawnTreeCoversPixelsAndRedrawsIdentically) {
    ResetRandomSequence();
    TreeGenome genome;
    genome.RandomizeNarrow();
    NoiseField noise(NodeCount(5));
    FillNoise(noise, 5);
    const auto render = [&] {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-150.0, 150.0, -150.0, 150.0, -300.0, 300.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotated(-90.0, 1.0, 0.0, 0.0);
        DrawTree(genome, 5, noise);
        std::vector<unsigned char> pixels(64 * 64 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 64, 64, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    };
    const std::vector<unsigned char> first = render();
    const long long lit = std::count_if(first.begin(), first.end(), [](unsigned char v) { return v != 0; });
    EXPECT_GT(lit, 0);
    EXPECT_EQ(render(), first);
}

TEST(TreeDrawingCylinders, ArraysAndQuadricDrawByteIdenticalTrees) {
    // A panel's render: its own fresh context and size, the projection, the camera with its headlight at
    // the start-up distance, then the tree.
    constexpr int kWidth = 308, kHeight = 361;
    const auto render = [&](IRenderable& tree, bool useQuadric) {
        GlTestContext gl(kWidth, kHeight);
        EXPECT_TRUE(gl.IsCurrent());
        UseQuadricCylinders(useQuadric);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glEnable(GL_COLOR_MATERIAL);
        glMatrixMode(GL_PROJECTION);
        gluPerspective(45.0, static_cast<double>(kWidth) / kHeight, 3.0, 1000.0);
        glMatrixMode(GL_MODELVIEW);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        COrbitCamera camera;
        camera.pose.SetDistance(500);
        camera.lightOn = true;
        camera.Draw();
        tree.Draw();
        std::vector<unsigned char> pixels(kWidth * kHeight * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        UseQuadricCylinders(false);
        return pixels;
    };

    // The start-up target tree and the first individuals of a fresh run, then bred extremes: every node
    // present, the widest radius with no taper, and noise fractions of exactly 0 and 1.
    ResetRandomSequence();
    CTreeModel target;
    std::vector<IRenderable*> trees{&target};
    std::vector<std::unique_ptr<CIndividual>> individuals;
    for (int i = 0; i < 6; ++i) {
        individuals.push_back(std::make_unique<CIndividual>());
        trees.push_back(individuals.back().get());
    }
    for (BranchGene& branch : individuals[0]->genome.branches) branch.presence = 1.0;
    individuals[1]->genome.radius = 0.5;
    individuals[1]->genome.taper = 0.0;
    for (int node = 1; node < 31; ++node) individuals[2]->noise[node] = NodeNoise{0.0, node % 2 ? 0.0 : 1.0, 1.0};

    for (size_t i = 0; i < trees.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "tree " << i);
        const std::vector<unsigned char> quadric = render(*trees[i], true);
        const std::vector<unsigned char> arrays = render(*trees[i], false);
        EXPECT_GT(std::count_if(arrays.begin(), arrays.end(), [](unsigned char v) { return v != 0; }), 1000);
        EXPECT_TRUE(arrays == quadric);
    }
}
