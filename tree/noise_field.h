// The per-node random fractions of a tree, one record per node of the full five-way tree, indexed by
// node number (the children of node n are 5n + 1 ... 5n + 5). A field owns its records, is sized once
// at construction and is only ever refilled in place, never resized or copied.
#pragma once

#include <memory>

struct NodeNoise {
    double presence;     // compared with the branch gene's presence
    double azimuth;      // fraction behind the node's azimuth variation
    double inclination;  // fraction behind the node's inclination variation
};

// Nodes of a full five-way tree with the root and depth levels below it; 1 for any depth below 1.
int NodeCount(int depth);

class NoiseField {
public:
    // count zeroed records.
    explicit NoiseField(int recordCount);

    NoiseField(const NoiseField&) = delete;
    NoiseField& operator=(const NoiseField&) = delete;

    NodeNoise& operator[](int node);
    const NodeNoise& operator[](int node) const;
    int Count() const { return count; }
    NodeNoise* Data() { return records.get(); }
    const NodeNoise* Data() const { return records.get(); }

private:
    int count;
    std::unique_ptr<NodeNoise[]> records;
};

// Three draws per node, node 0 first: presence, azimuth, inclination.
void FillNoise(NoiseField& noise, int depth);
