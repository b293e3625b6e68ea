// Comparisons of individuals for the evolver's tests: exact copies, and children whose every value
// comes from one of two parents.
#pragma once

#include <cmath>

#include "tree/individual.h"

inline bool SameTree(const CIndividual& a, const CIndividual& b) {
    if (!(a.genome == b.genome) || a.noise.Count() != b.noise.Count()) return false;
    for (int node = 0; node < a.noise.Count(); ++node) {
        const NodeNoise& x = a.noise[node];
        const NodeNoise& y = b.noise[node];
        if (x.presence != y.presence || x.azimuth != y.azimuth || x.inclination != y.inclination) return false;
    }
    return true;
}

// What CopyFrom makes: genome, noise and fitness alike.
inline bool SameIndividual(const CIndividual& a, const CIndividual& b) {
    return a.fitness == b.fitness && SameTree(a, b);
}

// Crossover takes the second parent's value as a + (b - a), which may miss b in the last bits.
inline bool FromEither(double value, double a, double b) {
    const auto near = [](double u, double v) { return std::fabs(u - v) <= 1e-12 * (1.0 + std::fabs(v)); };
    return near(value, a) || near(value, b);
}

inline bool EveryValueFromEither(const CIndividual& child, const CIndividual& a, const CIndividual& b) {
    const TreeGenome& g = child.genome;
    if (!FromEither(g.taper, a.genome.taper, b.genome.taper)) return false;
    if (!FromEither(g.radius, a.genome.radius, b.genome.radius)) return false;
    for (int i = 0; i < kBranchCount; ++i) {
        const BranchGene& x = g.branches[i];
        const BranchGene& p = a.genome.branches[i];
        const BranchGene& q = b.genome.branches[i];
        if (!FromEither(x.position, p.position, q.position) || !FromEither(x.presence, p.presence, q.presence) ||
            !FromEither(x.inclination, p.inclination, q.inclination) ||
            !FromEither(x.inclinationSpread, p.inclinationSpread, q.inclinationSpread) ||
            !FromEither(x.azimuth, p.azimuth, q.azimuth) ||
            !FromEither(x.azimuthSpread, p.azimuthSpread, q.azimuthSpread))
            return false;
    }
    for (int node = 0; node < child.noise.Count(); ++node) {
        const NodeNoise& x = child.noise[node];
        const NodeNoise& p = a.noise[node];
        const NodeNoise& q = b.noise[node];
        if (!FromEither(x.presence, p.presence, q.presence) || !FromEither(x.azimuth, p.azimuth, q.azimuth) ||
            !FromEither(x.inclination, p.inclination, q.inclination))
            return false;
    }
    return true;
}
