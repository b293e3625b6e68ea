#include "tree/individual.h"

#include <gtest/gtest.h>

#include "tests/tree/gl_test_context.h"
#include "tests/tree/tree_test_support.h"
#include "tree/random_seam.h"
#include "tree/tree_drawing_seam.h"

namespace {

constexpr long long kConstructionDraws = 30 + kGenomeDraws + kNoiseDraws;
constexpr long long kBreedingDraws = kGenomeDraws + kNoiseDraws;

void ExpectSameNoise(const NoiseField& expected, const NoiseField& actual) {
    ASSERT_EQ(expected.Count(), actual.Count());
    for (int node = 0; node < expected.Count(); ++node) {
        ASSERT_EQ(expected[node].presence, actual[node].presence) << node;
        ASSERT_EQ(expected[node].azimuth, actual[node].azimuth) << node;
        ASSERT_EQ(expected[node].inclination, actual[node].inclination) << node;
    }
}

void ExpectNoiseWithin01(const NoiseField& noise) {
    for (int node = 0; node < noise.Count(); ++node) {
        for (double value : {noise[node].presence, noise[node].azimuth, noise[node].inclination}) {
            ASSERT_GE(value, 0.0) << node;
            ASSERT_LE(value, 1.0) << node;
        }
    }
}

// Draws that pick a, b, a, b, ... when p lies between 16383/32767 and 16384/32767, as 0.5 does.
std::vector<int> AlternatingAroundHalf(long long count) {
    std::vector<int> draws;
    for (long long i = 0; i < count; ++i) draws.push_back(i % 2 == 0 ? kQuietDraw : kQuietDraw + 1);
    return draws;
}

}  // namespace

TEST(CIndividual, ConstructionDrawsGenomeWideRandomisationAndNoise) {
    ResetRandomSequence();
    const CIndividual individual;
    EXPECT_EQ(RandomDrawCount(), kConstructionDraws);
    EXPECT_EQ(individual.noise.Count(), 3906);
    EXPECT_EQ(individual.fitness, 0.0);
    EXPECT_EQ(individual.genome.scale, 100.0);
    EXPECT_EQ(individual.genome.slices, 10);
    EXPECT_EQ(individual.genome.stacks, 1);
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
    ExpectSameGenome(source.genome, copy.genome);
    ExpectSameNoise(source.noise, copy.noise);
    EXPECT_EQ(copy.fitness, 0.125);
}

TEST(CIndividual, MutateFromStaysInRangeAtExtremeDraws) {
    ResetRandomSequence();
    CIndividual parent;
    CIndividual child;
    for (int draw : {kLowestDraw, kHighestDraw}) {
        SCOPED_TRACE(draw);
        const double top = draw == kHighestDraw ? 1.0 : 0.0;
        ResetRandomSequence();
        ScriptRandomDraws(Draws(draw, kBreedingDraws));
        child.MutateFrom(parent, 0.5);
        EXPECT_EQ(RandomDrawCount(), kBreedingDraws);
        ExpectWithinBreedingBounds(child.genome);
        EXPECT_EQ(child.genome.taper, 0.75 * top);
        EXPECT_EQ(child.genome.branches[4].azimuthSpread, 180.0 * top);
        for (int node = 0; node < child.noise.Count(); ++node) {
            ASSERT_EQ(child.noise[node].presence, top) << node;
            ASSERT_EQ(child.noise[node].azimuth, top) << node;
            ASSERT_EQ(child.noise[node].inclination, top) << node;
        }
    }
}

TEST(CIndividual, MutateFromStaysInRangeOverManyGenerations) {
    ResetRandomSequence();
    CIndividual a;
    CIndividual b;
    for (int round = 0; round < 20; ++round) {
        b.MutateFrom(a, 0.5);
        a.MutateFrom(b, 0.5);
    }
    ExpectWithinBreedingBounds(a.genome);
    ExpectNoiseWithin01(a.noise);
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
    const struct {
        const char* name;
        double weightA;
        double weightB;
        std::vector<int> draws;
        bool (*fromA)(long long valueIndex);
    } cases[] = {
        {"weightB 0 takes a even at the highest draw", 1.0, 0.0, Draws(kHighestDraw, kBreedingDraws),
         [](long long) { return true; }},
        {"weightA 0 takes b from draw 1 up", 0.0, 1.0, Draws(1, kBreedingDraws), [](long long) { return false; }},
        {"weightA 0 still takes a at draw 0", 0.0, 0.7, Draws(kLowestDraw, kBreedingDraws),
         [](long long) { return true; }},
        {"equal weights split at one half", 0.8, 0.8, AlternatingAroundHalf(kBreedingDraws),
         [](long long i) { return i % 2 == 0; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetRandomSequence();
        ScriptRandomDraws(c.draws);
        child.Crossover(a, c.weightA, b, c.weightB);
        EXPECT_EQ(RandomDrawCount(), kBreedingDraws);
        // Values taken from b are a + (b - a), which may differ from b in the last bit.
        const auto expectFrom = [](bool fromA, double fromAValue, double fromBValue, double actual) {
            if (fromA) return actual == fromAValue;
            return actual == fromAValue + (fromBValue - fromAValue);
        };
        EXPECT_TRUE(expectFrom(c.fromA(0), a.genome.taper, b.genome.taper, child.genome.taper));
        EXPECT_TRUE(expectFrom(c.fromA(1), a.genome.radius, b.genome.radius, child.genome.radius));
        EXPECT_TRUE(expectFrom(c.fromA(2), a.genome.branches[0].position, b.genome.branches[0].position,
                               child.genome.branches[0].position));
        EXPECT_TRUE(expectFrom(c.fromA(31), a.genome.branches[4].azimuthSpread, b.genome.branches[4].azimuthSpread,
                               child.genome.branches[4].azimuthSpread));
        for (int node = 0; node < child.noise.Count(); ++node) {
            const long long first = kGenomeDraws + 3 * node;
            ASSERT_TRUE(
                expectFrom(c.fromA(first), a.noise[node].presence, b.noise[node].presence, child.noise[node].presence))
                << node;
            ASSERT_TRUE(
                expectFrom(c.fromA(first + 1), a.noise[node].azimuth, b.noise[node].azimuth, child.noise[node].azimuth))
                << node;
            ASSERT_TRUE(expectFrom(c.fromA(first + 2), a.noise[node].inclination, b.noise[node].inclination,
                                   child.noise[node].inclination))
                << node;
        }
    }
}

TEST(CIndividual, CrossoverOfIdenticalParentsReproducesThem) {
    ResetRandomSequence();
    CIndividual a;
    CIndividual b;
    CIndividual child;
    b.CopyFrom(a);
    child.Crossover(a, 0.7, b, 0.9);
    ExpectSameGenome(a.genome, child.genome);
    ExpectSameNoise(a.noise, child.noise);
}

TEST(CIndividual, DrawsItsTreeAtDepthFiveWithoutRandomDraws) {
    GlTestContext gl;
    ASSERT_TRUE(gl.IsCurrent());
    ResetRandomSequence();
    CIndividual individual;
    for (BranchGene& gene : individual.genome.branches) gene.presence = 1.0;
    const long long before = RandomDrawCount();
    TreeDrawingLog log;
    WatchTreeDrawing(&log);
    individual.Draw();
    WatchTreeDrawing(nullptr);
    EXPECT_EQ(log.segments, 3906);
    EXPECT_EQ(RandomDrawCount(), before);
}
