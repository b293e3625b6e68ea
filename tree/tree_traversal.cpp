#include "tree/tree_traversal.h"

#include "tree/random_sources.h"

NodeTransform NodeTransformOf(const TreeGenome& genome, int branch, int node, const NoiseField& noise) {
    const BranchGene& gene = genome.branches[branch];
    const NodeNoise& draw = noise[node];
    // The parent is one unit long in its own frame. The size is the parent's radius at the attachment
    // point over its base radius, so the child starts exactly as thick as the parent is there.
    return NodeTransform{
        .position = gene.position,
        .size = (1.0 - gene.position) * (1.0 - genome.taper) + genome.taper,
        .azimuth = JitterOf(draw.azimuth) * gene.azimuthSpread + gene.azimuth,
        .inclination = JitterOf(draw.inclination) * gene.inclinationSpread + gene.inclination,
    };
}
