// The vertices and normals of one open cylinder along +z from 0 to 1, as the GLU quadric makes them with
// its default settings (filled, smooth normals facing outward, no texture coordinates). Every value is
// computed in the quadric's own float arithmetic, so drawing these arrays feeds the GL exactly the numbers
// the quadric would have fed it.
#pragma once

#include <vector>

struct CylinderShape {
    // Rebuilds the arrays in place: once the vectors have grown, a rebuild allocates nothing. Arguments the
    // quadric rejects (fewer than 2 slices, no stack, a negative radius) leave the shape empty.
    void Build(double baseRadius, double topRadius, int sliceCount, int stackCount);

    bool Empty() const { return positions.empty(); }
    // Vertices of one stack's quad strip: a lower and an upper vertex for each of slices + 1 angles.
    int StripVertexCount() const { return 2 * (slices + 1); }
    int VertexCount() const { return static_cast<int>(positions.size() / 3); }

    double baseRadius = 0.0;
    double topRadius = 0.0;
    int slices = 0;  // after the quadric's own limit on slices
    int stacks = 0;
    std::vector<float> positions;  // x y z per vertex; stack after stack, each a quad strip
    std::vector<float> normals;    // x y z per vertex, as the quadric issues them (not unit length)
};
