#include "evolve/record/genome_distance.h"

#include <cmath>

namespace {

constexpr int kHeritableGenes = 2 + 6 * kBranchCount;

double Part(double a, double b, double range) { return std::fabs(a - b) / range; }

}  // namespace

double GenomeDistance(const TreeGenome& a, const TreeGenome& b) {
    // Each gene's difference is divided by the range mutation keeps it in.
    double sum = Part(a.radius, b.radius, kRadiusBound) + Part(a.taper, b.taper, kTaperBound);
    for (int i = 0; i < kBranchCount; ++i) {
        const BranchGene& x = a.branches[i];
        const BranchGene& y = b.branches[i];
        sum += Part(x.azimuth, y.azimuth, kAzimuthBound) + Part(x.inclination, y.inclination, kInclinationBound) +
               Part(x.inclinationSpread, y.inclinationSpread, kInclinationSpreadBound) +
               Part(x.azimuthSpread, y.azimuthSpread, kAzimuthSpreadBound) +
               Part(x.presence, y.presence, kPresenceBound) + Part(x.position, y.position, kPositionBound);
    }
    return sum / kHeritableGenes;
}
