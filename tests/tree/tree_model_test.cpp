#include "tree/tree_model.h"

#include <gtest/gtest.h>

#include "tests/tree/gl_test_context.h"
#include "tests/tree/tree_test_support.h"
#include "tree/random_seam.h"
#include "tree/tree_drawing_seam.h"

TEST(CTreeModel, ConstructionDrawsTheGenomeThenAWideRandomisationThenTheNoise) {
    // The default genome's thirty draws are all lowest, the wide randomisation's all highest, so the
    // genome shows the wide maxima only if the wide step came second.
    std::vector<int> draws = Draws(kLowestDraw, 30);
    const std::vector<int> wide = Draws(kHighestDraw, kGenomeDraws);
    draws.insert(draws.end(), wide.begin(), wide.end());
    draws.push_back(kHighestDraw);  // node 0's presence
    ResetRandomSequence();
    ScriptRandomDraws(draws);
    const CTreeModel tree;
    EXPECT_EQ(RandomDrawCount(), 30 + kGenomeDraws + kNoiseDraws);
    EXPECT_EQ(tree.depth, 5);
    ASSERT_EQ(tree.noise.Count(), 3906);
    EXPECT_EQ(tree.genome.taper, 0.75);
    EXPECT_EQ(tree.genome.radius, 0.375);
    for (const BranchGene& gene : tree.genome.branches) {
        EXPECT_EQ(gene.inclination, 90.0);
        EXPECT_EQ(gene.inclinationSpread, 45.0);
    }
    EXPECT_EQ(tree.noise[0].presence, 1.0);
    EXPECT_EQ(tree.genome.scale, 100.0);
    EXPECT_EQ(tree.genome.slices, 10);
    EXPECT_EQ(tree.genome.stacks, 1);
}

TEST(CTreeModel, RandomizeRedrawsTheGenomeNarrowlyAndEveryNoiseRecordInNodeOrder) {
    ResetRandomSequence();
    CTreeModel tree;
    const NodeNoise* storage = tree.noise.Data();
    std::vector<int> draws = Draws(kHighestDraw, kGenomeDraws);
    for (long long i = 0; i < kNoiseDraws; ++i) draws.push_back(static_cast<int>((i * 104729) % 32768));
    ResetRandomSequence();
    ScriptRandomDraws(draws);
    tree.Randomize();
    EXPECT_EQ(RandomDrawCount(), kGenomeDraws + kNoiseDraws);
    for (const BranchGene& gene : tree.genome.branches) {
        EXPECT_EQ(gene.inclination, 45.0);
        EXPECT_EQ(gene.inclinationSpread, 15.0);
    }
    EXPECT_EQ(tree.depth, 5);
    EXPECT_EQ(tree.noise.Data(), storage);
    EXPECT_EQ(tree.noise.Count(), 3906);
    for (int node = 0; node < 3906; ++node) {
        const std::size_t first = static_cast<std::size_t>(kGenomeDraws + 3 * node);
        ASSERT_DOUBLE_EQ(tree.noise[node].presence, draws[first] / 32767.0) << node;
        ASSERT_DOUBLE_EQ(tree.noise[node].azimuth, draws[first + 1] / 32767.0) << node;
        ASSERT_DOUBLE_EQ(tree.noise[node].inclination, draws[first + 2] / 32767.0) << node;
    }
}

TEST(CTreeModel, SuccessiveRandomisationsGiveDifferentTrees) {
    ResetRandomSequence();
    CTreeModel tree;
    tree.Randomize();
    const TreeGenome first = tree.genome;
    const NodeNoise firstRoot = tree.noise[0];
    tree.Randomize();
    EXPECT_NE(tree.genome, first);
    EXPECT_NE(tree.noise[0].presence, firstRoot.presence);
}

TEST(CTreeModel, DrawsItsWholeTreeWithoutDrawingRandomNumbers) {
    GlTestContext gl;
    ASSERT_TRUE(gl.IsCurrent());
    ResetRandomSequence();
    CTreeModel tree;
    for (BranchGene& gene : tree.genome.branches) gene.presence = 1.0;
    const long long before = RandomDrawCount();
    TreeDrawingLog log;
    WatchTreeDrawing(&log);
    tree.Draw();
    WatchTreeDrawing(nullptr);
    EXPECT_EQ(log.segments, 3906);
    EXPECT_EQ(RandomDrawCount(), before);
}
