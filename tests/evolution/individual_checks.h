// Comparisons of individuals for the evolver's tests: exact copies, and children whose every value
// comes from one of two parents.
#pragma once

#include <cmath>

#include "tests/tree/tree_test_support.h"

inline bool SameTree(const CIndividual& a, const CIndividual& b) {
    return a.genome == b.genome && NoiseValues(a.noise) == NoiseValues(b.noise);
}

// What CopyFrom makes: genome, noise and fitness alike.
inline bool SameIndividual(const CIndividual& a, const CIndividual& b) {
    return a.fitness == b.fitness && SameTree(a, b);
}

// Crossover takes the second parent's value as a + (b - a), which may miss b in the last bits.
inline bool EveryValueFromEither(const CIndividual& child, const CIndividual& a, const CIndividual& b) {
    const auto near = [](double u, double v) { return std::fabs(u - v) <= 1e-12 * (1.0 + std::fabs(v)); };
    const std::vector<double> x = BreedingValues(child), p = BreedingValues(a), q = BreedingValues(b);
    if (x.size() != p.size() || x.size() != q.size()) return false;
    for (size_t i = 0; i < x.size(); ++i)
        if (!near(x[i], p[i]) && !near(x[i], q[i])) return false;
    return true;
}
