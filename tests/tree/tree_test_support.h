// Helpers shared by the tree model's tests: scripted draw lists and field-by-field genome checks.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "tree/tree_genome.h"

inline constexpr int kLowestDraw = 0;
inline constexpr int kHighestDraw = 32767;
// The draw whose jitter is nearest 0 (about -1.2e-5): a step that leaves a value almost where it was.
inline constexpr int kQuietDraw = 16383;

// Draws made by a wide or narrow randomisation, a mutation or a crossover of a whole genome.
inline constexpr long long kGenomeDraws = 32;
inline constexpr long long kNoiseDraws = 3 * 3906;

inline std::vector<int> Draws(int value, long long count) {
    return std::vector<int>(static_cast<std::size_t>(count), value);
}

inline void ExpectSameBranch(const BranchGene& expected, const BranchGene& actual) {
    EXPECT_EQ(expected.azimuth, actual.azimuth);
    EXPECT_EQ(expected.inclination, actual.inclination);
    EXPECT_EQ(expected.inclinationSpread, actual.inclinationSpread);
    EXPECT_EQ(expected.azimuthSpread, actual.azimuthSpread);
    EXPECT_EQ(expected.presence, actual.presence);
    EXPECT_EQ(expected.position, actual.position);
}

inline void ExpectSameGenome(const TreeGenome& expected, const TreeGenome& actual) {
    for (int i = 0; i < kBranchCount; ++i) {
        SCOPED_TRACE(testing::Message() << "branch " << i);
        ExpectSameBranch(expected.branches[i], actual.branches[i]);
    }
    EXPECT_EQ(expected.radius, actual.radius);
    EXPECT_EQ(expected.taper, actual.taper);
    EXPECT_EQ(expected.scale, actual.scale);
    EXPECT_EQ(expected.slices, actual.slices);
    EXPECT_EQ(expected.stacks, actual.stacks);
}

// The bounds that mutation keeps every genome in; new trees lie inside narrower ones.
inline void ExpectWithinBreedingBounds(const TreeGenome& genome) {
    EXPECT_GE(genome.taper, 0.0);
    EXPECT_LE(genome.taper, 0.75);
    EXPECT_GE(genome.radius, 0.0);
    EXPECT_LE(genome.radius, 0.5);
    for (const BranchGene& gene : genome.branches) {
        EXPECT_GE(gene.position, 0.0);
        EXPECT_LE(gene.position, 1.0);
        EXPECT_GE(gene.presence, 0.0);
        EXPECT_LE(gene.presence, 1.0);
        EXPECT_GE(gene.inclination, 0.0);
        EXPECT_LE(gene.inclination, 90.0);
        EXPECT_GE(gene.inclinationSpread, 0.0);
        EXPECT_LE(gene.inclinationSpread, 90.0);
        EXPECT_GE(gene.azimuth, 0.0);
        EXPECT_LE(gene.azimuth, 360.0);
        EXPECT_GE(gene.azimuthSpread, 0.0);
        EXPECT_LE(gene.azimuthSpread, 180.0);
    }
    EXPECT_EQ(genome.scale, 100.0);
    EXPECT_EQ(genome.slices, 10);
    EXPECT_EQ(genome.stacks, 1);
}
