#include "tree/branch_gene.h"

#include "tree/random_sources.h"

// Every operation draws in the order position, presence, inclination, inclinationSpread, azimuth,
// azimuthSpread, which is not the order of the fields. Changing it changes every tree of every run.

void BranchGene::RandomizeWide() {
    position = Clamp(0.75 + RandomJitter(), 1.0);
    presence = Clamp(0.75 + RandomJitter(), 1.0);
    inclination = RandomUniform(0.0, 90.0);
    inclinationSpread = RandomUniform(0.0, 45.0);
    azimuth = RandomUniform(0.0, 360.0);
    azimuthSpread = RandomUniform(0.0, 90.0);
}

void BranchGene::RandomizeNarrow() {
    position = Clamp(0.75 + 0.2 * RandomJitter(), 1.0);
    presence = Clamp(0.8 + 0.1 * RandomJitter(), 1.0);
    inclination = RandomUniform(0.0, 45.0);
    inclinationSpread = RandomUniform(0.0, 15.0);
    azimuth = RandomUniform(0.0, 360.0);
    azimuthSpread = RandomUniform(0.0, 90.0);
}

void BranchGene::Mutate(double strength) {
    // The step's factor equals the field's bound, so a far tail jitter lands the value on 0 or on the
    // bound. Angles are clamped, not wrapped: 360 and 0 stay distinct values of the genome.
    position = Clamp(position + RandomJitter() * strength, kPositionBound);
    presence = Clamp(presence + RandomJitter() * strength, kPresenceBound);
    inclination = Clamp(inclination + RandomJitter() * strength * kInclinationBound, kInclinationBound);
    inclinationSpread =
        Clamp(inclinationSpread + RandomJitter() * strength * kInclinationSpreadBound, kInclinationSpreadBound);
    azimuth = Clamp(azimuth + RandomJitter() * strength * kAzimuthBound, kAzimuthBound);
    azimuthSpread = Clamp(azimuthSpread + RandomJitter() * strength * kAzimuthSpreadBound, kAzimuthSpreadBound);
}

void BranchGene::Crossover(const BranchGene& a, const BranchGene& b, double p) {
    position = PickGene(p, a.position, b.position);
    presence = PickGene(p, a.presence, b.presence);
    inclination = PickGene(p, a.inclination, b.inclination);
    inclinationSpread = PickGene(p, a.inclinationSpread, b.inclinationSpread);
    azimuth = PickGene(p, a.azimuth, b.azimuth);
    azimuthSpread = PickGene(p, a.azimuthSpread, b.azimuthSpread);
}
