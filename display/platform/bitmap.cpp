#include "display/platform/bitmap.h"

#include <atomic>
#include <climits>
#include <cstdlib>
#include <memory>
#include <new>

namespace platform {

struct Bitmap {
    BitmapHeader header;
    int stride = 0;
    std::unique_ptr<unsigned char[]> memory;
};

namespace {

std::atomic<int> liveBitmaps{0};

}  // namespace

Bitmap* CreateBitmap(const BitmapHeader& header, unsigned char** pixels) {
    if (pixels != nullptr) *pixels = nullptr;
    if (header.width <= 0 || header.height == 0 || header.height == INT_MIN ||
        (header.bitCount != 24 && header.bitCount != 32)) {
        return nullptr;
    }
    // Callers step through the memory with int offsets (a signed pitch times a row), so every byte
    // must be reachable by one.
    const long long stride = ((static_cast<long long>(header.width) * header.bitCount + 31) / 32) * 4;
    const long long rows = std::llabs(static_cast<long long>(header.height));
    if (stride > INT_MAX || stride * rows > INT_MAX) return nullptr;
    const std::size_t bytes = static_cast<std::size_t>(stride * rows);

    auto bitmap = std::unique_ptr<Bitmap>(new (std::nothrow) Bitmap);
    if (bitmap == nullptr) return nullptr;
    bitmap->memory.reset(new (std::nothrow) unsigned char[bytes]());
    if (bitmap->memory == nullptr) return nullptr;
    bitmap->header = header;
    bitmap->stride = static_cast<int>(stride);
    if (pixels != nullptr) *pixels = bitmap->memory.get();
    ++liveBitmaps;
    return bitmap.release();
}

bool DescribeBitmap(const Bitmap* bitmap, BitmapDescription& description) {
    if (bitmap == nullptr) return false;
    description.header = bitmap->header;
    description.stride = bitmap->stride;
    description.pixels = bitmap->memory.get();
    return true;
}

bool DeleteBitmap(Bitmap* bitmap) {
    if (bitmap == nullptr) return false;
    delete bitmap;
    --liveBitmaps;
    return true;
}

int LiveBitmapCount() { return liveBitmaps.load(); }

}  // namespace platform
