#include "display/platform/bitmap.h"

#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "display/platform/drawing_surface.h"

namespace platform {

namespace {

std::atomic<int> liveBitmaps{0};
std::atomic<int> liveContexts{0};

// The source index sampled for destination index i: the source pixel under the destination pixel's
// centre. 64-bit products keep huge sizes from overflowing.
int SampleIndex(int i, int sourceLength, int destinationLength) {
    return static_cast<int>((2LL * i + 1) * sourceLength / (2LL * destinationLength));
}

}  // namespace

Bitmap* CreateBitmap(int width, int height, int bitCount) {
    if (width <= 0 || height == 0 || height == INT_MIN || (bitCount != 24 && bitCount != 32)) return nullptr;
    // Callers step through the memory with int offsets (a signed pitch times a row), so every byte
    // must be reachable by one.
    const long long stride = ((static_cast<long long>(width) * bitCount + 31) / 32) * 4;
    const long long rows = std::llabs(static_cast<long long>(height));
    if (stride > INT_MAX || stride * rows > INT_MAX) return nullptr;

    std::unique_ptr<unsigned char[]> pixels(
        new (std::nothrow) unsigned char[static_cast<std::size_t>(stride * rows)]());
    if (pixels == nullptr) return nullptr;
    Bitmap* bitmap = new (std::nothrow) Bitmap{width, height, bitCount, static_cast<int>(stride), std::move(pixels)};
    if (bitmap != nullptr) ++liveBitmaps;
    return bitmap;
}

void DeleteBitmap(Bitmap* bitmap) {
    if (bitmap == nullptr) return;
    delete bitmap;
    --liveBitmaps;
}

MemoryContext* CreateMemoryContext() {
    MemoryContext* context = new (std::nothrow) MemoryContext;
    if (context != nullptr) ++liveContexts;
    return context;
}

void DeleteMemoryContext(MemoryContext* context) {
    if (context == nullptr) return;
    delete context;
    --liveContexts;
}

void StretchCopyFrame(MemoryContext* destination, const PresentedFrame& source, int sourceWidth, int sourceHeight) {
    const Bitmap* target = destination != nullptr ? destination->selected : nullptr;
    if (target == nullptr || sourceWidth <= 0 || sourceHeight <= 0) return;
    const int bytesPerPixel = target->bitCount / 8;
    const bool bottomUp = target->height > 0;
    const int targetHeight = bottomUp ? target->height : -target->height;

    // A frame whose bytes do not cover its stated size is treated as having no pixels at all.
    const std::size_t frameRow = static_cast<std::size_t>(source.width > 0 ? source.width : 0) * 3;
    const bool frameUsable = source.width > 0 && source.height > 0 &&
                             source.bgr.size() >= frameRow * static_cast<std::size_t>(source.height);
    const int frameWidth = frameUsable ? source.width : 0;
    const int frameHeight = frameUsable ? source.height : 0;

    // The case of every capture: a 24-bit image of exactly the frame's size takes each row whole.
    const bool rowsWhole = bytesPerPixel == 3 && sourceWidth == frameWidth && sourceHeight == frameHeight &&
                           target->width == frameWidth && targetHeight == frameHeight;
    for (int y = 0; y < targetHeight; ++y) {
        unsigned char* row =
            target->pixels.get() + static_cast<long long>(bottomUp ? targetHeight - 1 - y : y) * target->stride;
        if (rowsWhole) {
            std::memcpy(row, source.bgr.data() + static_cast<std::size_t>(y) * frameRow, frameRow);
            continue;
        }
        const int sourceRow = SampleIndex(y, sourceHeight, targetHeight);
        const unsigned char* from =
            sourceRow < frameHeight ? source.bgr.data() + static_cast<std::size_t>(sourceRow) * frameRow : nullptr;
        for (int x = 0; x < target->width; ++x) {
            unsigned char* pixel = row + x * bytesPerPixel;
            const int column = SampleIndex(x, sourceWidth, target->width);
            if (from != nullptr && column < frameWidth) {
                std::memcpy(pixel, from + static_cast<std::size_t>(column) * 3, 3);
            } else {
                std::memset(pixel, 0, 3);
            }
            if (bytesPerPixel == 4) pixel[3] = 0;
        }
    }
}

int LiveBitmapCount() { return liveBitmaps.load(); }

int LiveMemoryContextCount() { return liveContexts.load(); }

}  // namespace platform
