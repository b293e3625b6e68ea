// How far one tree genome is from another: the mean absolute difference over the 32 heritable genes
// (radius, taper and the six fields of each of the five branches, branch i against branch i), each
// divided by the range that mutation keeps it in. 0 for equal genomes, 1 when every gene is at the
// opposite end of its range. scale, slices and stacks are not heritable and do not count.
#pragma once

#include "tree/tree_genome.h"

double GenomeDistance(const TreeGenome& a, const TreeGenome& b);
