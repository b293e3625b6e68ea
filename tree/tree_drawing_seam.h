// How each segment of a tree reaches the GL, chosen by tests and benchmarks before they draw: from the
// cached arrays (the program's way), through GLU's shared quadric (the reference the arrays must match
// value for value and pixel for pixel), or through a test's own function that also sees the node.
// Change it only while no tree is being drawn on any thread.
#pragma once

struct TreeGenome;

// The node whose segment is drawn; kNoNode for a segment drawn on its own.
using SegmentDrawer = void (*)(const TreeGenome& genome, int node);
inline constexpr int kNoNode = -1;

void DrawArraySegment(const TreeGenome& genome, int node);
void DrawQuadricSegment(const TreeGenome& genome, int node);

void UseSegmentDrawer(SegmentDrawer drawer);
void UseQuadricCylinders(bool useQuadric);
