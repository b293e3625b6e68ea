#include "evolution/worker_protocol.h"

#include <cstdlib>

namespace worker_protocol {

namespace {

// Every part starts on a cache line, so that no two are written through one line from two processes.
std::size_t RoundUp(std::size_t bytes) { return (bytes + 63) / 64 * 64; }

}  // namespace

std::size_t RowBytes(int pitch, int height) {
    return height > 0 ? static_cast<std::size_t>(std::abs(pitch)) * static_cast<std::size_t>(height) : 0;
}

std::size_t TopRowOffset(int pitch, int height) {
    return pitch < 0 && height > 0 ? static_cast<std::size_t>(-pitch) * static_cast<std::size_t>(height - 1) : 0;
}

SharedLayout::SharedLayout(int width, int height, std::size_t target)
    : targetBytes(RoundUp(target)),
      noiseBytes(RoundUp(static_cast<std::size_t>(NodeCount(kIndividualDepth)) * sizeof(NodeNoise))),
      pictureBytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3),
      slotBytes(noiseBytes + RoundUp(pictureBytes)) {}

}  // namespace worker_protocol
