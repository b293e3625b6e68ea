#include "tree/individual.h"

#include <gtest/gtest.h>

#include "tests/tree/gl_test_context.h"
#include "tests/tree/tree_test_support.h"
#include "tree/random_seam.h"

namespace {

constexpr long long kBreedingDraws = kGenomeDraws + kNoiseDraws;

void ExpectNoiseWithin01(const NoiseField& noise) {
    for (double value : NoiseValues(noise)) {
        ASSERT_GE(value, 0.0);
        ASSERT_LE(value, 1.0);
    }
}

}  // namespace

TEST(CIndividual, ConstructionDrawsGenomeWideRandomisationAndNoise) {
    ResetRandomSequence();
    const CIndividual individual;
    EXPECT_EQ(RandomDrawCount(), 30 + kBreedingDraws);
    EXPECT_EQ(individual.noise.Count(), 3906);
    EXPECT_EQ(individual.fitness, 0.0);
    ExpectInRange(individual.genome, kWideBounds);
    ExpectNoiseWithin01(individual.noise);
}

TEST(CIndividual, CopyFromReproducesEverythingAndDrawsNothing) {
    ResetRandomSequence();
    CIndividual source;
    CIndividual copy;
    source.genome.Mutate(0.5);
    source.fitness = 0.125;
    const long long before = RandomDrawCount();
    CIndividual& result = copy.CopyFrom(source);
    EXPECT_EQ(RandomDrawCount(), before);
    EXPECT_EQ(&result, &copy);
    EXPECT_EQ(copy.genome, source.genome);
    EXPECT_EQ(NoiseValues(copy.noise), NoiseValues(source.noise));
    EXPECT_EQ(copy.fitness, 0.125);
}

TEST(CIndividual, MutateFromLandsOnTheBoundsAtExtremeDrawsAndStaysInRangeOverManyGenerations) {
    ResetRandomSequence();
    CIndividual parent;
    CIndividual child;
    for (int draw : {kLowestDraw, kHighestDraw}) {
        SCOPED_TRACE(draw);
        ResetRandomSequence();
        ScriptRandomDraws(Draws(draw, kBreedingDraws));
        child.MutateFrom(parent, 0.5);
        EXPECT_EQ(RandomDrawCount(), kBreedingDraws);
        ExpectOnEnds(child.genome, kBreedingBounds, Draws(draw, kGenomeDraws));
        ExpectInRange(child.genome, kBreedingBounds);
        const std::vector<double> noise = NoiseValues(child.noise);
        EXPECT_EQ(noise, std::vector<double>(noise.size(), draw == kHighestDraw ? 1.0 : 0.0));
    }
    for (int round = 0; round < 20; ++round) {
        child.MutateFrom(parent, 0.5);
        parent.MutateFrom(child, 0.5);
    }
    ExpectInRange(parent.genome, kBreedingBounds);
    ExpectNoiseWithin01(parent.noise);
}

TEST(CIndividual, MutateFromDisturbsEachNoiseValueInMemoryOrder) {
    ResetRandomSequence();
    CIndividual parent;
    CIndividual child;
    for (int node = 0; node < parent.noise.Count(); ++node) parent.noise[node] = NodeNoise{0.5, 0.5, 0.5};
    std::vector<int> draws = Draws(kQuietDraw, kGenomeDraws);
    for (long long i = 0; i < kNoiseDraws; ++i) draws.push_back(i % 3 == 0 ? kLowestDraw : kHighestDraw);
    draws[kGenomeDraws + 3 * 3905 + 2] = kQuietDraw;
    ResetRandomSequence();
    ScriptRandomDraws(draws);
    child.MutateFrom(parent, 0.5);
    for (int node = 0; node < child.noise.Count(); ++node) {
        ASSERT_EQ(child.noise[node].presence, 0.0) << node;
        ASSERT_EQ(child.noise[node].azimuth, 1.0) << node;
    }
    EXPECT_EQ(child.noise[3904].inclination, 1.0);
    EXPECT_NEAR(child.noise[3905].inclination, 0.5, 1e-5);
    // Quiet draws leave the genome within a hundred-thousandth of each factor of the parent's.
    EXPECT_NEAR(child.genome.branches[2].azimuth, parent.genome.branches[2].azimuth, 360.0 * 1e-5);
    EXPECT_NEAR(child.genome.taper, parent.genome.taper, 1e-5);
}

TEST(CIndividual, BreedingKeepsFitnessAndTheFixedGenomeFields) {
    ResetRandomSequence();
    CIndividual a;
    CIndividual b;
    CIndividual child;
    a.fitness = 0.25;
    b.fitness = 0.125;
    child.fitness = 0.0625;
    child.MutateFrom(a, 0.5);
    EXPECT_EQ(child.fitness, 0.0625);
    child.Crossover(a, 1.0 - a.fitness, b, 1.0 - b.fitness);
    EXPECT_EQ(child.fitness, 0.0625);
    EXPECT_EQ(child.genome.scale, 100.0);
    EXPECT_EQ(child.genome.slices, 10);
    EXPECT_EQ(child.genome.stacks, 1);
}

TEST(CIndividual, CrossoverWeightsDecideWhichParentEachValueComesFrom) {
    ResetRandomSequence();
    CIndividual a;
    CIndividual b;
    CIndividual child;
    const std::vector<double> fromA = BreedingValues(a), fromB = BreedingValues(b);
    const struct {
        const char* name;
        double weightA;
        double weightB;
        std::vector<int> draws;
        bool (*takesA)(size_t valueIndex);
    } cases[] = {
        {"weightB 0 takes a even at the highest draw", 1.0, 0.0, Draws(kHighestDraw, kBreedingDraws),
         [](size_t) { return true; }},
        {"weightA 0 takes b from draw 1 up", 0.0, 1.0, Draws(1, kBreedingDraws), [](size_t) { return false; }},
        {"weightA 0 still takes a at draw 0", 0.0, 0.7, Draws(kLowestDraw, kBreedingDraws),
         [](size_t) { return true; }},
        // p = 0.5 lies between 16383/32767 and 16384/32767.
        {"equal weights split at one half", 0.8, 0.8, Alternating(kBreedingDraws, kQuietDraw, kQuietDraw + 1),
         [](size_t i) { return i % 2 == 0; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetRandomSequence();
        ScriptRandomDraws(c.draws);
        child.Crossover(a, c.weightA, b, c.weightB);
        EXPECT_EQ(RandomDrawCount(), kBreedingDraws);
        const std::vector<double> got = BreedingValues(child);
        ASSERT_EQ(got.size(), static_cast<size_t>(kBreedingDraws));
        // Values taken from b are a + (b - a), which may differ from b in the last bit.
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], c.takesA(i) ? fromA[i] : fromA[i] + (fromB[i] - fromA[i])) << "value " << i;
    }
}

TEST(CIndividual, CrossoverOfIdenticalParentsReproducesThem) {
    ResetRandomSequence();
    CIndividual a;
    CIndividual b;
    CIndividual child;
    b.CopyFrom(a);
    child.Crossover(a, 0.7, b, 0.9);
    EXPECT_EQ(child.genome, a.genome);
    EXPECT_EQ(NoiseValues(child.noise), NoiseValues(a.noise));
}

TEST(CIndividual, DrawsItsTreeAtDepthFiveWithoutRandomDraws) {
    GlTestContext gl;
    ASSERT_TRUE(gl.IsCurrent());
    ResetRandomSequence();
    CIndividual individual;
    for (BranchGene& gene : individual.genome.branches) gene.presence = 1.0;
    EXPECT_EQ(SegmentsOfOneDraw(individual), 3906);
}
