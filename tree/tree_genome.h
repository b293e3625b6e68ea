// The heritable description of a tree: five branch prototypes and the numbers that hold for the whole
// tree. A plain value: copying copies every field. scale, slices and stacks are set once and never change.
#pragma once

#include <array>

#include "tree/branch_gene.h"

inline constexpr int kBranchCount = 5;

// The bounds that mutation keeps the radius and the taper within; both ranges start at 0.
inline constexpr double kRadiusBound = 0.5;
inline constexpr double kTaperBound = 0.75;

// Asks for a genome whose every field is about to be overwritten: it takes no draws.
struct UnsetGenome {};

struct TreeGenome {
    // Narrow random branches (thirty draws), radius 0.25, taper 0.5, scale 100, 10 slices, 1 stack.
    TreeGenome();
    // All zero and no draws, for a copy of a genome made elsewhere, as a render worker receives it.
    explicit TreeGenome(UnsetGenome) : radius(0.0), taper(0.0), scale(0.0), slices(0), stacks(0) {}

    // taper, radius, then every branch: 32 draws each. scale, slices and stacks are left alone.
    void RandomizeWide();
    void RandomizeNarrow();
    void Mutate(double strength);
    // Every heritable field from a with probability about p, otherwise from b; 32 draws.
    void Crossover(const TreeGenome& a, const TreeGenome& b, double p);

    bool operator==(const TreeGenome&) const = default;

    std::array<BranchGene, kBranchCount> branches;
    double radius;  // base radius of every segment in its own frame
    double taper;   // top radius over base radius of every segment
    double scale;   // uniform scale of the whole tree in model units
    int slices;     // cylinder subdivisions around the axis
    int stacks;     // cylinder subdivisions along the axis
};
