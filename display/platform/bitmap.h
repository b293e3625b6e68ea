// Bitmaps whose pixel memory lies on the process heap, so that the program can read it in place while a
// memory context draws into it, and the copy of a panel's presented frame into one. Rows are padded to
// 32 bits; a positive height stores the bottom row first, a negative one the top row first. Pixel memory
// starts zeroed and lives until the bitmap is deleted.
#pragma once

#include <memory>

namespace platform {

struct PresentedFrame;

struct Bitmap {
    int width = 0;
    int height = 0;  // as made: the sign picks the row order
    int bitCount = 0;
    int stride = 0;  // bytes from one row in memory to the next
    std::unique_ptr<unsigned char[]> pixels;
};

// A drawing target that is not a window: drawing on it lands in the selected bitmap's pixels.
struct MemoryContext {
    Bitmap* selected = nullptr;
};

// Null for a bit count other than 24 or 32, an empty size or memory that cannot be had.
Bitmap* CreateBitmap(int width, int height, int bitCount);
// The bitmap must not be selected into a memory context any more.
void DeleteBitmap(Bitmap* bitmap);

MemoryContext* CreateMemoryContext();
// The bitmap selected into the context, if any, is left alone.
void DeleteMemoryContext(MemoryContext* context);

// Fills the whole of the context's selected bitmap, top row to top row whatever its row order, from the
// sourceWidth by sourceHeight pixels at the frame's top left, by nearest-neighbour sampling. Source pixels
// outside the frame count as black; a 32-bit pixel's fourth byte is set to 0. Without a selected bitmap,
// or with an empty source, nothing is written.
void StretchCopyFrame(MemoryContext* destination, const PresentedFrame& source, int sourceWidth, int sourceHeight);

// Bitmaps and contexts made and not yet deleted, for checks that nothing leaks or is deleted twice.
int LiveBitmapCount();
int LiveMemoryContextCount();

}  // namespace platform
