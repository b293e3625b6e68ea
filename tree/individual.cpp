#include "tree/individual.h"

#include <cassert>

#include "tree/random_sources.h"
#include "tree/tree_drawing.h"
#include "tree/tree_drawing_key.h"

// The noise field is allocated before the wide randomisation; allocating draws nothing, so the draws are
// the genome's own 30, the wide 32, then the noise, as for every tree of a run.
CIndividual::CIndividual() : noise(NodeCount(kIndividualDepth)) {
    genome.RandomizeWide();
    FillNoise(noise, kIndividualDepth);
}

void CIndividual::Draw() { DrawTree(genome, kIndividualDepth, noise); }

// Fitness is the picture's score, not part of it.
bool CIndividual::DescribeDrawing(CDrawingKey& key) const {
    DescribeTree(key, genome, kIndividualDepth, noise);
    return true;
}

CIndividual& CIndividual::CopyFrom(const CIndividual& other) {
    genome = other.genome;
    fitness = other.fitness;
    for (int node = 0; node < noise.Count(); ++node) noise[node] = other.noise[node];
    return *this;
}

// Breeding draws once per noise value in memory order: a node's presence, azimuth and inclination, then
// the next node's. The noise is inherited value by value exactly like the genes.

void CIndividual::MutateFrom(const CIndividual& parent, double strength) {
    assert(&parent != this && "mutate into a different individual than the parent");
    genome = parent.genome;
    genome.Mutate(strength);
    for (int node = 0; node < noise.Count(); ++node) {
        const NodeNoise& from = parent.noise[node];
        NodeNoise& to = noise[node];
        to.presence = Clamp(from.presence + RandomJitter() * strength, 1.0);
        to.azimuth = Clamp(from.azimuth + RandomJitter() * strength, 1.0);
        to.inclination = Clamp(from.inclination + RandomJitter() * strength, 1.0);
    }
}

void CIndividual::Crossover(const CIndividual& a, double weightA, const CIndividual& b, double weightB) {
    assert(&a != this && &b != this && "cross into a different individual than either parent");
    const double p = weightA / (weightA + weightB);
    genome.Crossover(a.genome, b.genome, p);
    for (int node = 0; node < noise.Count(); ++node) {
        const NodeNoise& fromA = a.noise[node];
        const NodeNoise& fromB = b.noise[node];
        NodeNoise& to = noise[node];
        to.presence = PickGene(p, fromA.presence, fromB.presence);
        to.azimuth = PickGene(p, fromA.azimuth, fromB.azimuth);
        to.inclination = PickGene(p, fromA.inclination, fromB.inclination);
    }
}
