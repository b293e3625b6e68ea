// The few cylinder shapes drawn most recently, each rebuilt in place when a shape not among them is
// asked for. Training draws every candidate with its own radius and taper, interleaved with the target
// tree, so a handful of entries hit nearly always; once warm the cache allocates nothing.
#pragma once

#include <array>
#include <cstdint>

#include "tree/cylinder_shape.h"

class CCylinderShapeCache {
public:
    static constexpr int kCapacity = 4;

    // The shape for these quadric arguments; the reference stays valid until kCapacity other shapes have
    // been asked for since. Radii are matched bit for bit, so -0 and +0 stay apart as they do in the GL.
    const CylinderShape& ShapeFor(double baseRadius, double topRadius, int slices, int stacks);

    // How many shapes have been built so far.
    long long Builds() const { return builds; }

private:
    struct Entry {
        CylinderShape shape;
        std::uint64_t baseBits = 0;
        std::uint64_t topBits = 0;
        int slices = 0;
        int stacks = 0;
        long long lastUse = -1;  // -1: never built
    };

    std::array<Entry, kCapacity> entries;
    int mostRecent = 0;
    long long uses = 0;
    long long builds = 0;
};
