#include "display/platform/stretch_copy.h"

#include <cstddef>
#include <cstring>

#include "display/platform/bitmap.h"
#include "display/platform/drawing_surface.h"
#include "display/platform/memory_context.h"

namespace platform {

namespace {

// The source index sampled for destination index i: the source pixel under the destination pixel's
// centre. 64-bit products keep huge areas from overflowing.
int SampleIndex(int i, int sourceStart, int sourceLength, int destinationLength) {
    const long long offset = (2LL * i + 1) * sourceLength / (2LL * destinationLength);
    return static_cast<int>(sourceStart + offset);
}

}  // namespace

bool StretchCopyFrame(MemoryContext* destination, PixelArea destinationArea, const PresentedFrame& source,
                      PixelArea sourceArea) {
    BitmapDescription target;
    if (!DescribeBitmap(SelectedBitmap(destination), target)) return false;
    const int bytesPerPixel = target.header.bitCount / 8;
    if (destinationArea.width <= 0 || destinationArea.height <= 0) return false;
    if (sourceArea.width <= 0 || sourceArea.height <= 0) return false;

    const int targetWidth = target.header.width;
    const bool bottomUp = target.header.height > 0;
    const int targetHeight = bottomUp ? target.header.height : -target.header.height;

    // A frame whose bytes do not cover its stated size is treated as having no pixels at all.
    const std::size_t frameRow = static_cast<std::size_t>(source.width > 0 ? source.width : 0) * 3;
    const bool frameUsable = source.width > 0 && source.height > 0 &&
                             source.bgr.size() >= frameRow * static_cast<std::size_t>(source.height);
    const int frameWidth = frameUsable ? source.width : 0;
    const int frameHeight = frameUsable ? source.height : 0;

    // The case of every capture: a 24-bit image of exactly the frame's size takes each row whole.
    const bool sameSize = sourceArea.x == 0 && sourceArea.y == 0 && destinationArea.x == 0 && destinationArea.y == 0 &&
                          sourceArea.width == frameWidth && sourceArea.height == frameHeight &&
                          destinationArea.width == frameWidth && destinationArea.height == frameHeight &&
                          targetWidth == frameWidth && targetHeight == frameHeight;
    if (sameSize && bytesPerPixel == 3) {
        for (int y = 0; y < frameHeight; ++y) {
            const long long storedRow = bottomUp ? targetHeight - 1 - y : y;
            std::memcpy(target.pixels + storedRow * target.stride,
                        source.bgr.data() + static_cast<std::size_t>(y) * frameRow, frameRow);
        }
        return true;
    }

    bool wrote = false;
    for (int j = 0; j < destinationArea.height; ++j) {
        const long long y = static_cast<long long>(destinationArea.y) + j;
        if (y < 0 || y >= targetHeight) continue;
        const long long storedRow = bottomUp ? targetHeight - 1 - y : y;
        unsigned char* row = target.pixels + storedRow * target.stride;
        const int sourceRow = SampleIndex(j, sourceArea.y, sourceArea.height, destinationArea.height);
        const unsigned char* from = (sourceRow >= 0 && sourceRow < frameHeight)
                                        ? source.bgr.data() + static_cast<std::size_t>(sourceRow) * frameRow
                                        : nullptr;
        for (int i = 0; i < destinationArea.width; ++i) {
            const long long x = static_cast<long long>(destinationArea.x) + i;
            if (x < 0 || x >= targetWidth) continue;
            unsigned char* pixel = row + x * bytesPerPixel;
            const int column = SampleIndex(i, sourceArea.x, sourceArea.width, destinationArea.width);
            if (from != nullptr && column >= 0 && column < frameWidth) {
                std::memcpy(pixel, from + static_cast<std::size_t>(column) * 3, 3);
            } else {
                std::memset(pixel, 0, 3);
            }
            if (bytesPerPixel == 4) pixel[3] = 0;
            wrote = true;
        }
    }
    return wrote;
}

}  // namespace platform
