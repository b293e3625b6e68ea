#include "tree/noise_field.h"

#include <cassert>
#include <cstddef>

#include "tree/random_sources.h"

int NodeCount(int depth) {
    int count = 1;
    for (int level = 1; level <= depth; ++level) count = 5 * count + 1;
    return count;
}

NoiseField::NoiseField(int recordCount)
    : count(recordCount), records(std::make_unique<NodeNoise[]>(static_cast<std::size_t>(recordCount))) {
    assert(recordCount >= 1 && "a noise field needs at least the root's record; size it with NodeCount(depth)");
}

NodeNoise& NoiseField::operator[](int node) {
    assert(node >= 0 && node < count && "node outside the field; was it sized with NodeCount of this depth?");
    return records[static_cast<std::size_t>(node)];
}

const NodeNoise& NoiseField::operator[](int node) const {
    assert(node >= 0 && node < count && "node outside the field; was it sized with NodeCount of this depth?");
    return records[static_cast<std::size_t>(node)];
}

void FillNoise(NoiseField& noise, int depth) {
    const int nodes = NodeCount(depth);
    assert(nodes <= noise.Count() && "the field is smaller than the tree; size it with NodeCount(depth)");
    for (int node = 0; node < nodes; ++node) {
        NodeNoise& record = noise[node];
        record.presence = RandomUniform(0.0, 1.0);
        record.azimuth = RandomUniform(0.0, 1.0);
        record.inclination = RandomUniform(0.0, 1.0);
    }
}
