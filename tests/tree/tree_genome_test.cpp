#include "tree/tree_genome.h"

#include <gtest/gtest.h>

#include "tests/tree/tree_test_support.h"
#include "tree/random_seam.h"
#include "tree/random_sources.h"

namespace {

struct Ranges {
    double inclination;
    double inclinationSpread;
};
constexpr Ranges kWide{90.0, 45.0};
constexpr Ranges kNarrow{45.0, 15.0};

void ExpectWithinNewTreeRanges(const TreeGenome& genome, Ranges ranges) {
    EXPECT_GE(genome.taper, 0.25);
    EXPECT_LE(genome.taper, 0.75);
    EXPECT_GE(genome.radius, 0.125);
    EXPECT_LE(genome.radius, 0.375);
    for (const BranchGene& gene : genome.branches) {
        EXPECT_GE(gene.position, 0.0);
        EXPECT_LE(gene.position, 1.0);
        EXPECT_GE(gene.presence, 0.0);
        EXPECT_LE(gene.presence, 1.0);
        EXPECT_GE(gene.inclination, 0.0);
        EXPECT_LE(gene.inclination, ranges.inclination);
        EXPECT_GE(gene.inclinationSpread, 0.0);
        EXPECT_LE(gene.inclinationSpread, ranges.inclinationSpread);
        EXPECT_GE(gene.azimuth, 0.0);
        EXPECT_LE(gene.azimuth, 360.0);
        EXPECT_GE(gene.azimuthSpread, 0.0);
        EXPECT_LE(gene.azimuthSpread, 90.0);
    }
}

// A genome away from every bound, so that a step in either direction shows.
TreeGenome MiddleGenome() {
    TreeGenome genome;
    genome.taper = 0.5;
    genome.radius = 0.25;
    for (BranchGene& gene : genome.branches) gene = BranchGene{180.0, 45.0, 45.0, 90.0, 0.5, 0.5};
    return genome;
}

}  // namespace

TEST(TreeGenome, DefaultConstructionDrawsNarrowBranchesAndSetsTheFixedFields) {
    ResetRandomSequence();
    const TreeGenome genome;
    EXPECT_EQ(RandomDrawCount(), 30);
    EXPECT_EQ(genome.scale, 100.0);
    EXPECT_EQ(genome.slices, 10);
    EXPECT_EQ(genome.stacks, 1);
    EXPECT_EQ(genome.radius, 0.25);
    EXPECT_EQ(genome.taper, 0.5);
    ExpectWithinNewTreeRanges(genome, kNarrow);
}

TEST(TreeGenome, RandomisationsDrawInTheirFixedOrder) {
    // Alternating extremes give every field a different end of its range, so a swapped pair shows.
    std::vector<int> alternating;
    for (int i = 0; i < kGenomeDraws; ++i) alternating.push_back(i % 2 == 0 ? kLowestDraw : kHighestDraw);
    const struct {
        const char* name;
        void (TreeGenome::*randomize)();
        double spreadAtTop;
    } cases[] = {{"wide", &TreeGenome::RandomizeWide, 45.0}, {"narrow", &TreeGenome::RandomizeNarrow, 15.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TreeGenome genome;
        ResetRandomSequence();
        ScriptRandomDraws(alternating);
        (genome.*c.randomize)();
        EXPECT_EQ(RandomDrawCount(), kGenomeDraws);
        EXPECT_EQ(genome.taper, 0.25);
        EXPECT_EQ(genome.radius, 0.375);
        for (const BranchGene& gene : genome.branches) {
            EXPECT_EQ(gene.position, 0.0);
            EXPECT_EQ(gene.presence, 1.0);
            EXPECT_EQ(gene.inclination, 0.0);
            EXPECT_EQ(gene.inclinationSpread, c.spreadAtTop);
            EXPECT_EQ(gene.azimuth, 0.0);
            EXPECT_EQ(gene.azimuthSpread, 90.0);
        }
    }
}

TEST(TreeGenome, RandomisationsReachExactlyTheEndsOfTheirRangesAtExtremeDraws) {
    const struct {
        const char* name;
        void (TreeGenome::*randomize)();
        Ranges ranges;
    } cases[] = {{"wide", &TreeGenome::RandomizeWide, kWide}, {"narrow", &TreeGenome::RandomizeNarrow, kNarrow}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (int draw : {kLowestDraw, kHighestDraw}) {
            SCOPED_TRACE(draw);
            const double top = draw == kHighestDraw ? 1.0 : 0.0;
            TreeGenome genome;
            genome.scale = 3.0;
            genome.slices = 4;
            genome.stacks = 5;
            ResetRandomSequence();
            ScriptRandomDraws(Draws(draw, kGenomeDraws));
            (genome.*c.randomize)();
            EXPECT_EQ(genome.taper, 0.25 + 0.5 * top);
            EXPECT_EQ(genome.radius, 0.125 + 0.25 * top);
            for (const BranchGene& gene : genome.branches) {
                EXPECT_EQ(gene.position, top);
                EXPECT_EQ(gene.presence, top);
                EXPECT_EQ(gene.inclination, c.ranges.inclination * top);
                EXPECT_EQ(gene.inclinationSpread, c.ranges.inclinationSpread * top);
                EXPECT_EQ(gene.azimuth, 360.0 * top);
                EXPECT_EQ(gene.azimuthSpread, 90.0 * top);
            }
            EXPECT_EQ(genome.scale, 3.0);
            EXPECT_EQ(genome.slices, 4);
            EXPECT_EQ(genome.stacks, 5);
        }
    }
}

TEST(TreeGenome, NarrowRandomisationKeepsInclinationBelow45) {
    ResetRandomSequence();
    TreeGenome genome;
    for (int round = 0; round < 300; ++round) {
        genome.RandomizeNarrow();
        ExpectWithinNewTreeRanges(genome, kNarrow);
    }
    EXPECT_EQ(RandomDrawCount(), 30 + 300 * kGenomeDraws);
}

TEST(TreeGenome, WideRandomisationKeepsInclinationBelow90) {
    ResetRandomSequence();
    TreeGenome genome;
    bool steeperThanNarrow = false;
    for (int round = 0; round < 300; ++round) {
        genome.RandomizeWide();
        ExpectWithinNewTreeRanges(genome, kWide);
        for (const BranchGene& gene : genome.branches) steeperThanNarrow |= gene.inclination > 45.0;
    }
    EXPECT_TRUE(steeperThanNarrow);
}

TEST(TreeGenome, CopyEqualsItsSourceFieldByField) {
    ResetRandomSequence();
    TreeGenome source;
    source.RandomizeWide();
    source.scale = 2.0;
    source.slices = 7;
    source.stacks = 3;
    const TreeGenome constructed(source);
    TreeGenome assigned;
    assigned = source;
    ExpectSameGenome(source, constructed);
    ExpectSameGenome(source, assigned);
}

TEST(TreeGenome, MutationStepsScaleWithEachFieldsFactor) {
    // One field at a time takes a jitter of about +0.25; the others take the quietest draw.
    ResetRandomSequence();
    ScriptRandomDraws({24576});
    const double jitter = RandomJitter();
    const double strength = 0.5;
    const struct {
        int drawIndex;
        double before;
        double factor;
        double TreeGenome::*genomeField;
        double BranchGene::*branchField;
    } cases[] = {
        {0, 0.5, 0.28125, &TreeGenome::taper, nullptr},     {1, 0.25, 0.125, &TreeGenome::radius, nullptr},
        {2, 0.5, 1.0, nullptr, &BranchGene::position},      {3, 0.5, 1.0, nullptr, &BranchGene::presence},
        {4, 45.0, 90.0, nullptr, &BranchGene::inclination}, {5, 45.0, 90.0, nullptr, &BranchGene::inclinationSpread},
        {6, 180.0, 360.0, nullptr, &BranchGene::azimuth},   {7, 90.0, 180.0, nullptr, &BranchGene::azimuthSpread},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.drawIndex);
        TreeGenome genome = MiddleGenome();
        std::vector<int> draws = Draws(kQuietDraw, kGenomeDraws);
        draws[static_cast<std::size_t>(c.drawIndex)] = 24576;
        ResetRandomSequence();
        ScriptRandomDraws(draws);
        genome.Mutate(strength);
        EXPECT_EQ(RandomDrawCount(), kGenomeDraws);
        const double after = c.genomeField != nullptr ? genome.*c.genomeField : genome.branches[0].*c.branchField;
        EXPECT_NEAR(after, c.before + jitter * strength * c.factor, 1e-12 * c.factor);
        // The quiet draws move the other branches by a hundred-thousandth of their factor at most.
        EXPECT_NEAR(genome.branches[4].azimuth, 180.0, 360.0 * 1e-5);
    }
}

TEST(TreeGenome, MutationAtExtremeDrawsLandsOnTheBounds) {
    for (int draw : {kLowestDraw, kHighestDraw}) {
        SCOPED_TRACE(draw);
        const double top = draw == kHighestDraw ? 1.0 : 0.0;
        TreeGenome genome = MiddleGenome();
        ResetRandomSequence();
        ScriptRandomDraws(Draws(draw, kGenomeDraws));
        genome.Mutate(0.5);
        EXPECT_EQ(genome.taper, 0.75 * top);
        EXPECT_EQ(genome.radius, 0.5 * top);
        for (const BranchGene& gene : genome.branches) {
            EXPECT_EQ(gene.position, top);
            EXPECT_EQ(gene.presence, top);
            EXPECT_EQ(gene.inclination, 90.0 * top);
            EXPECT_EQ(gene.inclinationSpread, 90.0 * top);
            EXPECT_EQ(gene.azimuth, 360.0 * top);
            EXPECT_EQ(gene.azimuthSpread, 180.0 * top);
        }
        ExpectWithinBreedingBounds(genome);
    }
}

TEST(TreeGenome, RepeatedMutationStaysWithinTheBreedingBounds) {
    ResetRandomSequence();
    TreeGenome genome;
    genome.RandomizeWide();
    for (int round = 0; round < 300; ++round) {
        genome.Mutate(0.5);
        ExpectWithinBreedingBounds(genome);
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

TEST(TreeGenome, CrossoverTakesEachFieldFromTheParentItsDrawPicks) {
    TreeGenome a = MiddleGenome();
    TreeGenome b = MiddleGenome();
    b.taper = 0.3;
    b.radius = 0.1;
    for (BranchGene& gene : b.branches) gene = BranchGene{20.0, 10.0, 5.0, 30.0, 0.25, 0.75};
    a.scale = 1.0;
    b.scale = 2.0;
    TreeGenome child;
    // Draws 0 and 32767 pick a and b; with p = 0.5 the pick alternates field by field.
    std::vector<int> alternating;
    for (int i = 0; i < kGenomeDraws; ++i) alternating.push_back(i % 2 == 0 ? kLowestDraw : kHighestDraw);
    ResetRandomSequence();
    ScriptRandomDraws(alternating);
    child.Crossover(a, b, 0.5);
    EXPECT_EQ(RandomDrawCount(), kGenomeDraws);
    EXPECT_EQ(child.taper, a.taper);
    EXPECT_EQ(child.radius, b.radius);
    for (const BranchGene& gene : child.branches) {
        EXPECT_EQ(gene.position, 0.5);
        EXPECT_EQ(gene.presence, 0.25);
        EXPECT_EQ(gene.inclination, 45.0);
        EXPECT_EQ(gene.inclinationSpread, 5.0);
        EXPECT_EQ(gene.azimuth, 180.0);
        EXPECT_EQ(gene.azimuthSpread, 30.0);
    }
    EXPECT_EQ(child.scale, 100.0);
    EXPECT_EQ(child.slices, 10);
    EXPECT_EQ(child.stacks, 1);
}
