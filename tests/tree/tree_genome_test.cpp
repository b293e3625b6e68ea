#include "tree/tree_genome.h"

#include <gtest/gtest.h>

#include "tests/tree/tree_test_support.h"
#include "tree/random_seam.h"
#include "tree/random_sources.h"

namespace {

// A genome away from every bound, so that a step in either direction shows.
TreeGenome MiddleGenome() {
    TreeGenome genome;
    genome.taper = 0.5;
    genome.radius = 0.25;
    for (BranchGene& gene : genome.branches) gene = BranchGene{180.0, 45.0, 45.0, 90.0, 0.5, 0.5};
    return genome;
}

const struct {
    const char* name;
    void (TreeGenome::*randomize)();
    const GenomeBounds& bounds;
} kRandomisations[] = {{"wide", &TreeGenome::RandomizeWide, kWideBounds},
                       {"narrow", &TreeGenome::RandomizeNarrow, kNarrowBounds}};

}  // namespace

TEST(TreeGenome, DefaultConstructionDrawsNarrowBranchesAndSetsTheFixedFields) {
    ResetRandomSequence();
    const TreeGenome genome;
    EXPECT_EQ(RandomDrawCount(), 30);
    EXPECT_EQ(genome.radius, 0.25);
    EXPECT_EQ(genome.taper, 0.5);
    ExpectInRange(genome, kNarrowBounds);
}

TEST(TreeGenome, RandomisationsPutExtremeDrawsExactlyOnTheEndsInTheirFixedOrder) {
    // Alternating extremes give neighbouring fields different ends, so a swapped pair of draws shows.
    for (const auto& c : kRandomisations) {
        for (const std::vector<int>& draws : {Draws(kLowestDraw, kGenomeDraws), Draws(kHighestDraw, kGenomeDraws),
                                              Alternating(kGenomeDraws, kLowestDraw, kHighestDraw)}) {
            SCOPED_TRACE(testing::Message() << c.name << ", first draws " << draws[0] << ", " << draws[1]);
            TreeGenome genome;
            genome.scale = 3.0;
            genome.slices = 4;
            genome.stacks = 5;
            ResetRandomSequence();
            ScriptRandomDraws(draws);
            (genome.*c.randomize)();
            EXPECT_EQ(RandomDrawCount(), kGenomeDraws);
            ExpectOnEnds(genome, c.bounds, draws);
            EXPECT_EQ(genome.scale, 3.0);
            EXPECT_EQ(genome.slices, 4);
            EXPECT_EQ(genome.stacks, 5);
        }
    }
}

TEST(TreeGenome, NarrowRandomisationKeepsInclinationBelow45AndWideBelow90) {
    for (const auto& c : kRandomisations) {
        SCOPED_TRACE(c.name);
        ResetRandomSequence();
        TreeGenome genome;
        bool steeperThanNarrow = false;
        for (int round = 0; round < 300; ++round) {
            (genome.*c.randomize)();
            ExpectInRange(genome, c.bounds);
            for (const BranchGene& gene : genome.branches) steeperThanNarrow |= gene.inclination > 45.0;
        }
        EXPECT_EQ(steeperThanNarrow, &c.bounds == &kWideBounds);
        EXPECT_EQ(RandomDrawCount(), 30 + 300 * kGenomeDraws);
    }
}

TEST(TreeGenome, MutationStepsScaleWithEachFieldsFactor) {
    // One field at a time takes a jitter of about +0.25; the others take the quietest draw.
    ResetRandomSequence();
    ScriptRandomDraws({24576});
    const double jitter = RandomJitter();
    const double strength = 0.5;
    const double before[] = {0.5, 0.25, 0.5, 0.5, 45.0, 45.0, 180.0, 90.0};
    const double factor[] = {0.28125, 0.125, 1.0, 1.0, 90.0, 90.0, 360.0, 180.0};
    for (size_t i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        TreeGenome genome = MiddleGenome();
        std::vector<int> draws = Draws(kQuietDraw, kGenomeDraws);
        draws[i] = 24576;
        ResetRandomSequence();
        ScriptRandomDraws(draws);
        genome.Mutate(strength);
        EXPECT_EQ(RandomDrawCount(), kGenomeDraws);
        EXPECT_NEAR(HeritableValues(genome)[i], before[i] + jitter * strength * factor[i], 1e-12 * factor[i]);
        // The quiet draws move the other branches by a hundred-thousandth of their factor at most.
        EXPECT_NEAR(genome.branches[4].azimuth, 180.0, 360.0 * 1e-5);
    }
}

TEST(TreeGenome, MutationLandsOnTheBreedingBoundsAtExtremeDrawsAndStaysWithinThem) {
    for (int draw : {kLowestDraw, kHighestDraw}) {
        SCOPED_TRACE(draw);
        TreeGenome genome = MiddleGenome();
        ResetRandomSequence();
        ScriptRandomDraws(Draws(draw, kGenomeDraws));
        genome.Mutate(0.5);
        ExpectOnEnds(genome, kBreedingBounds, Draws(draw, kGenomeDraws));
        ExpectInRange(genome, kBreedingBounds);
    }
    ResetRandomSequence();
    TreeGenome genome;
    genome.RandomizeWide();
    for (int round = 0; round < 300; ++round) {
        genome.Mutate(0.5);
        ExpectInRange(genome, kBreedingBounds);
    }
    EXPECT_EQ(RandomDrawCount(), 30 + kGenomeDraws + 300 * kGenomeDraws);
}

TEST(BranchGene, MutatedAzimuthIsClampedNotWrapped) {
    const struct {
        double before;
        int draw;
        double expected;
    } cases[] = {{350.0, 24576, 360.0}, {10.0, 8191, 0.0}};
    for (const auto& c : cases) {
        BranchGene gene{c.before, 45.0, 45.0, 90.0, 0.5, 0.5};
        // position, presence, inclination and its spread come before the azimuth.
        std::vector<int> draws = Draws(kQuietDraw, 6);
        draws[4] = c.draw;
        ResetRandomSequence();
        ScriptRandomDraws(draws);
        gene.Mutate(0.5);
        EXPECT_EQ(gene.azimuth, c.expected) << "from " << c.before;
        EXPECT_EQ(RandomDrawCount(), 6);
    }
}

TEST(TreeGenome, CrossoverTakesEachFieldFromTheParentItsDrawPicksAndCopiesTheFixedFieldsFromNeither) {
    TreeGenome a = MiddleGenome();
    TreeGenome b = MiddleGenome();
    b.taper = 0.3;
    b.radius = 0.1;
    for (BranchGene& gene : b.branches) gene = BranchGene{20.0, 10.0, 5.0, 30.0, 0.25, 0.75};
    a.scale = 1.0;
    b.scale = 2.0;
    TreeGenome child;
    // Draws 0 and 32767 pick a and b; with p = 0.5 the pick alternates field by field.
    ResetRandomSequence();
    ScriptRandomDraws(Alternating(kGenomeDraws, kLowestDraw, kHighestDraw));
    child.Crossover(a, b, 0.5);
    EXPECT_EQ(RandomDrawCount(), kGenomeDraws);
    const std::vector<double> fromA = HeritableValues(a), fromB = HeritableValues(b), got = HeritableValues(child);
    for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], (i % 2 == 0 ? fromA : fromB)[i]) << "value " << i;
    EXPECT_EQ(child.scale, 100.0);
    EXPECT_EQ(child.slices, 10);
    EXPECT_EQ(child.stacks, 1);
}
