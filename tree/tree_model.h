// The target tree the left panel shows: a genome, its own noise field and a fixed depth of 5. It owns
// the field for life and is never copied; Randomize replaces its values in place.
#pragma once

#include "display/renderable.h"
#include "tree/noise_field.h"
#include "tree/tree_genome.h"

inline constexpr int kTargetTreeDepth = 5;

class CTreeModel : public IRenderable {
public:
    // Takes the first draws of the program: the genome's own 30, a wide randomisation, then the noise.
    CTreeModel();
    virtual ~CTreeModel() = default;

    CTreeModel(const CTreeModel&) = delete;
    CTreeModel& operator=(const CTreeModel&) = delete;

    void Draw() override;
    bool DescribeDrawing(CDrawingKey& key) const override;
    // A narrow genome and fresh noise; scale, slices, stacks and depth stay.
    void Randomize();

    TreeGenome genome;
    NoiseField noise;
    int depth = kTargetTreeDepth;
};
