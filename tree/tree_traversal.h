// Which nodes of a tree exist, the order in which they are reached, and the transform from a parent's
// frame into a child's. The GL drawing and the mesh both walk a tree through these, so the two always
// describe the same cylinders in the same order.
#pragma once

#include "tree/noise_field.h"
#include "tree/tree_genome.h"

// Applied in this order to the parent's frame: translate along z by position, scale uniformly by size,
// turn about z by azimuth degrees, then tilt about x by inclination degrees.
struct NodeTransform {
    double position;
    double size;
    double azimuth;
    double inclination;
};

NodeTransform NodeTransformOf(const TreeGenome& genome, int branch, int node, const NoiseField& noise);

// A node exists where its presence draw does not exceed its gene's presence.
inline bool NodeIsPresent(const TreeGenome& genome, int branch, int node, const NoiseField& noise) {
    return !(noise[node].presence > genome.branches[branch].presence);
}

// A visitor provides Enter(branch, node), which moves into the node's frame and keeps the parent's for
// Leave(); Segment(node), which takes the cylinder of the frame it is in; and Leave(), back to the parent.

// Node `node`, child number `branch` of its parent, then its subtree of `levels` further levels. A missing
// node takes its whole subtree with it, whatever the draws below say.
template <class Visitor>
void VisitNode(const TreeGenome& genome, int levels, int branch, int node, const NoiseField& noise, Visitor& visitor) {
    if (!NodeIsPresent(genome, branch, node, noise)) return;
    visitor.Enter(branch, node);
    visitor.Segment(node);
    if (levels >= 1) {
        for (int i = 0; i < kBranchCount; ++i) VisitNode(genome, levels - 1, i, 5 * node + 1 + i, noise, visitor);
    }
    visitor.Leave();
}

// The root's segment in the tree's own frame, then its children with depth - 1 levels below them. The
// root has no presence test and no transform of its own; its noise record is never read.
template <class Visitor>
void VisitTree(const TreeGenome& genome, int depth, const NoiseField& noise, Visitor& visitor) {
    visitor.Segment(0);
    for (int i = 0; i < kBranchCount; ++i) VisitNode(genome, depth - 1, i, i + 1, noise, visitor);
}
