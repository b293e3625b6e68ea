// Bitmaps whose pixel memory lies on the process heap, so that the program can read it in place while a
// memory context draws into it: 24 or 32 bits per pixel, rows padded to 32 bits; a positive height
// stores the bottom row first, a negative one the top row first. Pixel memory starts zeroed and lives
// until the bitmap is deleted.
#pragma once

namespace platform {

struct BitmapHeader {
    int width = 0;
    int height = 0;  // the sign picks the row order: positive bottom first, negative top first
    int bitCount = 0;
};

struct BitmapDescription {
    BitmapHeader header;
    int stride = 0;  // bytes from one row in memory to the next
    unsigned char* pixels = nullptr;
};

struct Bitmap;

// A new bitmap, and through pixels the address of its memory, or null (pixels null too) for another bit
// count, an empty size or memory that cannot be had.
Bitmap* CreateBitmap(const BitmapHeader& header, unsigned char** pixels);

// The header the bitmap was made with and where its memory lies; false for a null bitmap.
bool DescribeBitmap(const Bitmap* bitmap, BitmapDescription& description);

// Frees the bitmap and its pixel memory. It must not be selected into a memory context any more.
bool DeleteBitmap(Bitmap* bitmap);

// Bitmaps made and not yet deleted, for checks that nothing leaks.
int LiveBitmapCount();

}  // namespace platform
