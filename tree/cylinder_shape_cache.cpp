#include "tree/cylinder_shape_cache.h"

#include <bit>

const CylinderShape& CCylinderShapeCache::ShapeFor(double baseRadius, double topRadius, int slices, int stacks) {
    const std::uint64_t baseBits = std::bit_cast<std::uint64_t>(baseRadius);
    const std::uint64_t topBits = std::bit_cast<std::uint64_t>(topRadius);
    const auto matches = [&](const Entry& entry) {
        return entry.lastUse >= 0 && entry.baseBits == baseBits && entry.topBits == topBits && entry.slices == slices &&
               entry.stacks == stacks;
    };
    ++uses;
    // Every segment of a tree has the same shape, so the most recent entry answers almost every call.
    if (matches(entries[mostRecent])) {
        entries[mostRecent].lastUse = uses;
        return entries[mostRecent].shape;
    }
    int leastRecent = 0;
    for (int i = 0; i < kCapacity; ++i) {
        if (matches(entries[i])) {
            entries[i].lastUse = uses;
            mostRecent = i;
            return entries[i].shape;
        }
        if (entries[i].lastUse < entries[leastRecent].lastUse) leastRecent = i;
    }
    Entry& entry = entries[leastRecent];
    entry.shape.Build(baseRadius, topRadius, slices, stacks);
    entry.baseBits = baseBits;
    entry.topBits = topBits;
    entry.slices = slices;
    entry.stacks = stacks;
    entry.lastUse = uses;
    mostRecent = leastRecent;
    ++builds;
    return entry.shape;
}
