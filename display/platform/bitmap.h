// Bitmaps whose pixel memory lies on the process heap, so that the program can read it in place while a
// memory context draws into it. Rows are padded to 32 bits; a positive height stores the bottom row first,
// a negative one the top row first. Pixel memory starts zeroed and lives until the bitmap is deleted.
#pragma once

#include <cstdint>

namespace platform {

// Rows hold the pixels as they are; no other storage is offered.
constexpr int kUncompressedRows = 0;

struct BitmapHeader {
    int width = 0;
    int height = 0;  // the sign picks the row order: positive bottom first, negative top first
    int planes = 0;
    int bitCount = 0;
    int compression = kUncompressedRows;
};

// What a bitmap is made from. The colour table is read only for indexed formats of 8 bits or fewer.
struct BitmapFormat {
    BitmapHeader header;
    std::uint32_t colourTable[256];
};

struct BitmapDescription {
    BitmapHeader header;
    int stride = 0;  // bytes from one row in memory to the next
    unsigned char* pixels = nullptr;
};

struct Bitmap;

// A new bitmap, and through pixels the address of its memory, or null (pixels null too) when the format
// is not one this layer stores (one plane, uncompressed, 1, 4, 8, 16, 24 or 32 bits, a non-zero height)
// or the memory cannot be had.
Bitmap* CreateBitmap(const BitmapFormat& format, unsigned char** pixels);

// The header the bitmap was made with and where its memory lies; false for a null bitmap.
bool DescribeBitmap(const Bitmap* bitmap, BitmapDescription& description);

// Frees the bitmap and its pixel memory. It must not be selected into a memory context any more.
bool DeleteBitmap(Bitmap* bitmap);

// Bitmaps made and not yet deleted, for checks that nothing leaks.
int LiveBitmapCount();

}  // namespace platform
