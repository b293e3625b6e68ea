#include "evolve/genome_distance.h"

#include <cmath>

namespace {

// The bounds that mutation clamps each gene to (see TreeGenome::Mutate and BranchGene::Mutate); every
// range starts at 0. They are wider than the randomisation ranges, so any bred tree stays within them.
constexpr double kRadiusRange = 0.5;
constexpr double kTaperRange = 0.75;
constexpr double kFractionRange = 1.0;
constexpr double kInclinationRange = 90.0;
constexpr double kAzimuthRange = 360.0;
constexpr double kAzimuthSpreadRange = 180.0;
constexpr int kHeritableGenes = 2 + 6 * kBranchCount;

double Part(double a, double b, double range) { return std::fabs(a - b) / range; }

}  // namespace

double GenomeDistance(const TreeGenome& a, const TreeGenome& b) {
    double sum = Part(a.radius, b.radius, kRadiusRange) + Part(a.taper, b.taper, kTaperRange);
    for (int i = 0; i < kBranchCount; ++i) {
        const BranchGene& x = a.branches[i];
        const BranchGene& y = b.branches[i];
        sum += Part(x.azimuth, y.azimuth, kAzimuthRange) + Part(x.inclination, y.inclination, kInclinationRange) +
               Part(x.inclinationSpread, y.inclinationSpread, kInclinationRange) +
               Part(x.azimuthSpread, y.azimuthSpread, kAzimuthSpreadRange) +
               Part(x.presence, y.presence, kFractionRange) + Part(x.position, y.position, kFractionRange);
    }
    return sum / kHeritableGenes;
}
