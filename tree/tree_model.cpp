#include "tree/tree_model.h"

#include "tree/random_sources.h"
#include "tree/tree_drawing.h"
#include "tree/tree_drawing_key.h"

// The field is allocated before the wide randomisation rather than after it; allocating draws nothing,
// so the sequence of draws is the same either way.
CTreeModel::CTreeModel() : noise(NodeCount(kTargetTreeDepth)) {
    genome.RandomizeWide();
    FillNoise(noise, depth);
}

void CTreeModel::Draw() { DrawTree(genome, depth, noise); }

bool CTreeModel::DescribeDrawing(CDrawingKey& key) const {
    DescribeTree(key, genome, depth, noise);
    return true;
}

void CTreeModel::Randomize() {
    genome.RandomizeNarrow();
    FillNoise(noise, depth);
}
