#include "tree/tree_model.h"

#include <gtest/gtest.h>

#include "tests/tree/gl_test_context.h"
#include "tests/tree/tree_test_support.h"
#include "tree/random_seam.h"

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
    ExpectOnEnds(tree.genome, kWideBounds, wide);
    ExpectInRange(tree.genome, kWideBounds);
    EXPECT_EQ(tree.noise[0].presence, 1.0);
}

TEST(CTreeModel, RandomizeRedrawsTheGenomeNarrowlyAndEveryNoiseRecordInNodeOrderInPlace) {
    ResetRandomSequence();
    CTreeModel tree;
    const NodeNoise* storage = tree.noise.Data();
    std::vector<int> draws = Draws(kHighestDraw, kGenomeDraws);
    for (long long i = 0; i < kNoiseDraws; ++i) draws.push_back(static_cast<int>((i * 104729) % 32768));
    ResetRandomSequence();
    ScriptRandomDraws(draws);
    tree.Randomize();
    EXPECT_EQ(RandomDrawCount(), kGenomeDraws + kNoiseDraws);
    ExpectOnEnds(tree.genome, kNarrowBounds, draws);
    ExpectInRange(tree.genome, kNarrowBounds);
    EXPECT_EQ(tree.depth, 5);
    EXPECT_EQ(tree.noise.Data(), storage);
    const std::vector<double> noise = NoiseValues(tree.noise);
    ASSERT_EQ(noise.size(), static_cast<size_t>(kNoiseDraws));
    for (size_t i = 0; i < noise.size(); ++i) ASSERT_DOUBLE_EQ(noise[i], draws[kGenomeDraws + i] / 32767.0) << i;
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
    EXPECT_EQ(SegmentsOfOneDraw(tree), 3906);
}
