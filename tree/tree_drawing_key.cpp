#include "tree/tree_drawing_key.h"

static_assert(sizeof(NodeNoise) == 3 * sizeof(double), "noise records are appended as raw doubles");

void DescribeTree(CDrawingKey& key, const TreeGenome& genome, int depth, const NoiseField& noise) {
    for (const BranchGene& gene : genome.branches) {
        for (double v :
             {gene.azimuth, gene.inclination, gene.inclinationSpread, gene.azimuthSpread, gene.presence, gene.position})
            key.Append(v);
    }
    for (double v : {genome.radius, genome.taper, genome.scale}) key.Append(v);
    key.Append(genome.slices);
    key.Append(genome.stacks);
    key.Append(depth);
    key.Append(noise.Count());
    key.AppendBytes(noise.Data(), static_cast<std::size_t>(noise.Count()) * sizeof(NodeNoise));
}
