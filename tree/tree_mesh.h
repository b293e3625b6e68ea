// A tree as one triangle mesh with normals, holding exactly the cylinders DrawTree draws, in the frame
// DrawTree starts in (the tree's model space, before any camera). Built without a GL context from the
// same traversal, node transforms and cylinder arrays as the drawing.
#pragma once

#include <vector>

#include "tree/noise_field.h"
#include "tree/tree_genome.h"

struct TreeMesh {
    std::vector<float> positions;  // x y z per vertex
    std::vector<float> normals;    // x y z per vertex, unit length, in the same frame
    std::vector<int> triangles;    // three 0-based vertex indices per triangle, counter-clockwise seen from outside
    int segments = 0;              // cylinders in the mesh: one per drawn segment, in drawing order
};

// Same arguments as DrawTree. Each segment adds its cylinder's vertices, stack after stack as the strips
// run, and two triangles per quad of each strip.
TreeMesh BuildTreeMesh(const TreeGenome& genome, int depth, const NoiseField& noise);
