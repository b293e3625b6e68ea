// Helpers shared by the tree model's tests: scripted draw lists, the heritable values in the order the
// breeding operations draw for them, and range checks against a table of bounds.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "display/renderable.h"
#include "tree/individual.h"
#include "tree/random_seam.h"
#include "tree/tree_drawing_seam.h"

// Which nodes a tree draw reaches, in drawing order, and how many cylinders it hands to the GL.
struct TreeDrawingLog {
    std::vector<int> nodes;
    long long segments = 0;
};

// Records every segment drawn while it lives, then draws it the program's way.
class TreeDrawingWatch {
public:
    TreeDrawingWatch() {
        Active() = &log;
        UseSegmentDrawer(Record);
    }
    ~TreeDrawingWatch() {
        UseSegmentDrawer(DrawArraySegment);
        Active() = nullptr;
    }
    TreeDrawingWatch(const TreeDrawingWatch&) = delete;
    TreeDrawingWatch& operator=(const TreeDrawingWatch&) = delete;

    TreeDrawingLog log;

private:
    static TreeDrawingLog*& Active() {
        static TreeDrawingLog* active = nullptr;
        return active;
    }
    static void Record(const TreeGenome& genome, int node) {
        if (node != kNoNode) Active()->nodes.push_back(node);
        ++Active()->segments;
        DrawArraySegment(genome, node);
    }
};

inline constexpr int kLowestDraw = 0;
inline constexpr int kHighestDraw = 32767;
// The draw whose jitter is nearest 0 (about -1.2e-5): a step that leaves a value almost where it was.
inline constexpr int kQuietDraw = 16383;

// Draws made by a wide or narrow randomisation, a mutation or a crossover of a whole genome.
inline constexpr long long kGenomeDraws = 32;
inline constexpr long long kNoiseDraws = 3 * 3906;

inline std::vector<int> Draws(int value, long long count) {
    return std::vector<int>(static_cast<size_t>(count), value);
}

// first, second, first, second, ...
inline std::vector<int> Alternating(long long count, int first, int second) {
    std::vector<int> draws;
    for (long long i = 0; i < count; ++i) draws.push_back(i % 2 == 0 ? first : second);
    return draws;
}

// taper, radius, then position, presence, inclination, inclinationSpread, azimuth, azimuthSpread of each
// branch: the order in which randomisation, mutation and crossover draw for them.
inline std::vector<double> HeritableValues(const TreeGenome& g) {
    std::vector<double> values{g.taper, g.radius};
    for (const BranchGene& b : g.branches)
        values.insert(values.end(),
                      {b.position, b.presence, b.inclination, b.inclinationSpread, b.azimuth, b.azimuthSpread});
    return values;
}

// Presence, azimuth and inclination of every node, in memory order.
inline std::vector<double> NoiseValues(const NoiseField& noise) {
    std::vector<double> values;
    for (int node = 0; node < noise.Count(); ++node)
        values.insert(values.end(), {noise[node].presence, noise[node].azimuth, noise[node].inclination});
    return values;
}

// Every value an individual's breeding draws for, indexed by the draw that decides it.
inline std::vector<double> BreedingValues(const CIndividual& individual) {
    std::vector<double> values = HeritableValues(individual.genome);
    const std::vector<double> noise = NoiseValues(individual.noise);
    values.insert(values.end(), noise.begin(), noise.end());
    return values;
}

struct Range {
    double low, high;
};
// One range per field, in the order of HeritableValues: taper, radius, then the six branch fields.
using GenomeBounds = std::array<Range, 8>;
inline constexpr GenomeBounds kNarrowBounds{
    {{0.25, 0.75}, {0.125, 0.375}, {0, 1}, {0, 1}, {0, 45}, {0, 15}, {0, 360}, {0, 90}}};
inline constexpr GenomeBounds kWideBounds{
    {{0.25, 0.75}, {0.125, 0.375}, {0, 1}, {0, 1}, {0, 90}, {0, 45}, {0, 360}, {0, 90}}};
// Mutation keeps every genome inside these; new trees lie inside the narrower ones above.
inline constexpr GenomeBounds kBreedingBounds{
    {{0, 0.75}, {0, 0.5}, {0, 1}, {0, 1}, {0, 90}, {0, 90}, {0, 360}, {0, 180}}};

inline Range RangeOf(const GenomeBounds& bounds, size_t valueIndex) {
    return bounds[valueIndex < 2 ? valueIndex : 2 + (valueIndex - 2) % 6];
}

// Every heritable value inside its range, and scale, slices and stacks at the values they are made with.
inline void ExpectInRange(const TreeGenome& genome, const GenomeBounds& bounds) {
    const std::vector<double> values = HeritableValues(genome);
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_GE(values[i], RangeOf(bounds, i).low) << "value " << i;
        EXPECT_LE(values[i], RangeOf(bounds, i).high) << "value " << i;
    }
    EXPECT_EQ(genome.scale, 100.0);
    EXPECT_EQ(genome.slices, 10);
    EXPECT_EQ(genome.stacks, 1);
}

// Each value decided by a lowest or highest draw sits exactly on that end of its range.
inline void ExpectOnEnds(const TreeGenome& genome, const GenomeBounds& bounds, const std::vector<int>& draws) {
    const std::vector<double> values = HeritableValues(genome);
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(values[i], draws[i] == kHighestDraw ? RangeOf(bounds, i).high : RangeOf(bounds, i).low)
            << "value " << i;
}

// Cylinders one Draw() issues; drawing must not touch the random sequence.
inline long long SegmentsOfOneDraw(IRenderable& renderable) {
    const long long before = RandomDrawCount();
    TreeDrawingWatch watch;
    renderable.Draw();
    EXPECT_EQ(RandomDrawCount(), before);
    return watch.log.segments;
}
