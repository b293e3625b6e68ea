// What a tree's picture depends on, for a panel's drawing key: every field of the genome, the depth
// and every noise record. Two trees with equal keys draw identical pictures from the same camera.
#pragma once

#include "display/drawing_key.h"
#include "tree/noise_field.h"
#include "tree/tree_genome.h"

void DescribeTree(CDrawingKey& key, const TreeGenome& genome, int depth, const NoiseField& noise);
