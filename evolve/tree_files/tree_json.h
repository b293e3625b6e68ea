// best-P.json: a tree as data, so that it can be drawn again: its genome, the depth it is drawn to, and
// the noise field whose presence values decide which nodes exist. Every number is written with the
// shortest text that reads back as the same double, so a reader gets exactly the tree that was drawn.
#pragma once

#include <string>

#include "tree/noise_field.h"
#include "tree/tree_genome.h"

// Fields keep the program's names; noise holds one [presence, azimuth, inclination] per node, node 0 first.
std::string TreeJson(const TreeGenome& genome, const NoiseField& noise, int depth, double fitness, int press);
