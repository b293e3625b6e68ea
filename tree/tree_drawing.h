// Draws a tree as tapered open cylinders into the current OpenGL context, one per node, the i-th child
// of every node following branch gene i. Drawing makes no random draws, so a genome and its noise field
// always give the same picture; the model-view matrix is left as it was found.
#pragma once

#include "tree/noise_field.h"
#include "tree/tree_genome.h"

// The colour of every tree. The panels draw with GL_COLOR_MATERIAL in its default mode, so it is the
// trees' ambient and diffuse reflectance; their specular reflectance stays the GL's default, black.
inline constexpr double kTreeColour[3] = {0.75, 0.5, 0.25};

// depth >= 1 levels below the root; noise holds at least NodeCount(depth) records. Leaves the current
// colour at kTreeColour and GL_NORMALIZE enabled.
void DrawTree(const TreeGenome& genome, int depth, const NoiseField& noise);

// Node `node`, child number `branch` of its parent, and its subtree of `levels` further levels, unless its
// presence draw exceeds the gene's presence, in which case nothing of the subtree is drawn.
void DrawNode(const TreeGenome& genome, int levels, int branch, int node, const NoiseField& noise);

// Multiplies the model-view matrix by the transform from the parent's frame into the node's frame.
void ApplyNodeTransform(const TreeGenome& genome, int branch, int node, const NoiseField& noise);

// One segment along +z from 0 to 1 in the current frame: the quadric's cylinder of the genome's radius,
// taper, slices and stacks, drawn from arrays that hold exactly the quadric's vertices and normals.
void DrawSegment(const TreeGenome& genome);
