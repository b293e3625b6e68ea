#include "tree/tree_genome.h"

#include "tree/random_sources.h"

TreeGenome::TreeGenome() {
    // The branches draw before anything else is set: every tree of a run is built on these thirty
    // draws, so they come first even though a randomisation usually overwrites them at once.
    for (BranchGene& branch : branches) branch.RandomizeNarrow();
    scale = 100.0;
    slices = 10;
    radius = 0.25;
    stacks = 1;
    taper = 0.5;
}

void TreeGenome::RandomizeWide() {
    taper = RandomUniform(0.0, 0.5) + 0.25;
    radius = RandomUniform(0.0, 0.25) + 0.125;
    for (BranchGene& branch : branches) branch.RandomizeWide();
}

void TreeGenome::RandomizeNarrow() {
    taper = RandomUniform(0.0, 0.5) + 0.25;
    radius = RandomUniform(0.0, 0.25) + 0.125;
    for (BranchGene& branch : branches) branch.RandomizeNarrow();
}

void TreeGenome::Mutate(double strength) {
    // Steps and bounds are wider than the randomisation ranges on purpose: bred trees may go where no
    // new tree starts (radius down to 0, taper down to 0).
    taper = Clamp(taper + RandomJitter() * strength * 0.28125, kTaperBound);
    radius = Clamp(radius + RandomJitter() * strength * 0.125, kRadiusBound);
    for (BranchGene& branch : branches) branch.Mutate(strength);
}

void TreeGenome::Crossover(const TreeGenome& a, const TreeGenome& b, double p) {
    // scale, slices and stacks are not heritable: the child keeps its own.
    taper = PickGene(p, a.taper, b.taper);
    radius = PickGene(p, a.radius, b.radius);
    for (int i = 0; i < kBranchCount; ++i) branches[i].Crossover(a.branches[i], b.branches[i], p);
}
