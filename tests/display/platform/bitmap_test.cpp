#include "display/platform/bitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "display/platform/drawing_surface.h"

namespace {

// A frame whose pixel (x, y) has blue x, green y and red 200, so every copied byte tells where it came from.
platform::PresentedFrame CoordinateFrame(int width, int height) {
    platform::PresentedFrame frame;
    frame.width = width;
    frame.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            frame.bgr.push_back(static_cast<unsigned char>(x));
            frame.bgr.push_back(static_cast<unsigned char>(y));
            frame.bgr.push_back(200);
        }
    }
    return frame;
}

// A bitmap selected into a fresh context, its memory filled with a marker byte.
struct Target {
    Target(int width, int height, int bitCount)
        : bitmap(platform::CreateBitmap(width, height, bitCount)), context(platform::CreateMemoryContext()) {
        pixels = bitmap->pixels.get();
        std::memset(pixels, kMarker, static_cast<std::size_t>(bitmap->stride) * std::abs(height));
        context->selected = bitmap;
    }
    ~Target() {
        platform::DeleteMemoryContext(context);
        platform::DeleteBitmap(bitmap);
    }
    // Pixel (x, y) counted from the picture's top row, whichever way the rows are stored.
    const unsigned char* At(int x, int y) const {
        const int stored = bitmap->height > 0 ? bitmap->height - 1 - y : y;
        return pixels + stored * bitmap->stride + x * (bitmap->bitCount / 8);
    }

    static constexpr unsigned char kMarker = 0x77;
    platform::Bitmap* bitmap = nullptr;
    platform::MemoryContext* context = nullptr;
    unsigned char* pixels = nullptr;
};

void ExpectPixel(const unsigned char* pixel, int blue, int green, int red, const char* where) {
    EXPECT_EQ(pixel[0], blue) << where;
    EXPECT_EQ(pixel[1], green) << where;
    EXPECT_EQ(pixel[2], red) << where;
}

void ExpectUntouched(const unsigned char* pixel, const char* where) {
    ExpectPixel(pixel, Target::kMarker, Target::kMarker, Target::kMarker, where);
}

// The three alignment bytes after each 9-byte row of a 3-pixel 24-bit bitmap keep what they had.
void ExpectPaddingUntouched(const Target& target, int rows) {
    for (int row = 0; row < rows; ++row)
        for (int pad = 9; pad < 12; ++pad) EXPECT_EQ(target.pixels[row * 12 + pad], Target::kMarker);
}

}  // namespace

TEST(StretchCopy, EqualSizesCopyPixelForPixelTopRowToTopRow) {
    const platform::PresentedFrame frame = CoordinateFrame(3, 2);
    for (int height : {2, -2}) {
        Target target(3, height, 24);
        platform::StretchCopyFrame(target.context, frame, 3, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) ExpectPixel(target.At(x, y), x, y, 200, "copied pixel");
        // Bottom-up storage puts the frame's last row at the lowest address.
        EXPECT_EQ(target.pixels[1], height > 0 ? 1 : 0);
        ExpectPaddingUntouched(target, 2);
    }
}

TEST(StretchCopy, NearestNeighbourSamplesUnderEachDestinationCentre) {
    const platform::PresentedFrame frame = CoordinateFrame(4, 4);
    Target shrunk(2, 2, 24);
    platform::StretchCopyFrame(shrunk.context, frame, 4, 4);
    ExpectPixel(shrunk.At(0, 0), 1, 1, 200, "shrunk (0, 0)");
    ExpectPixel(shrunk.At(1, 0), 3, 1, 200, "shrunk (1, 0)");
    ExpectPixel(shrunk.At(1, 1), 3, 3, 200, "shrunk (1, 1)");

    Target grown(8, 8, 24);
    platform::StretchCopyFrame(grown.context, frame, 4, 4);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ExpectPixel(grown.At(x, y), x / 2, y / 2, 200, "grown pixel");

    // A source area smaller than the frame samples its top-left part only, into every row of a
    // bottom-up bitmap and past the three padding bytes of each.
    Target part(3, 2, 24);
    platform::StretchCopyFrame(part.context, frame, 3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) ExpectPixel(part.At(x, y), x, y, 200, "top-left pixel");
    ExpectPaddingUntouched(part, 2);
}

TEST(StretchCopy, SourceBeyondTheFrameReadsAsBlack) {
    const platform::PresentedFrame frame = CoordinateFrame(2, 2);
    Target target(4, 4, 24);
    platform::StretchCopyFrame(target.context, frame, 4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool inside = x < 2 && y < 2;
            ExpectPixel(target.At(x, y), inside ? x : 0, inside ? y : 0, inside ? 200 : 0, "inside the frame or black");
        }

    // A panel that never presented a frame gives black everywhere.
    Target unrendered(2, 2, 24);
    platform::StretchCopyFrame(unrendered.context, platform::PresentedFrame{}, 2, 2);
    ExpectPixel(unrendered.At(1, 1), 0, 0, 0, "no frame");
}

TEST(StretchCopy, AnEmptySourceOrAMissingBitmapCopiesNothing) {
    const platform::PresentedFrame frame = CoordinateFrame(4, 4);
    Target target(4, 4, 24);
    platform::StretchCopyFrame(target.context, frame, 0, 0);
    platform::StretchCopyFrame(target.context, frame, 4, 0);
    platform::StretchCopyFrame(target.context, frame, 0, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) ExpectUntouched(target.At(x, y), "untouched");

    // Neither a context with no bitmap selected nor no context at all is written through.
    platform::MemoryContext* bare = platform::CreateMemoryContext();
    platform::StretchCopyFrame(bare, frame, 4, 4);
    platform::DeleteMemoryContext(bare);
    platform::StretchCopyFrame(nullptr, frame, 4, 4);
}

TEST(StretchCopy, ThirtyTwoBitPixelsGetColourAndAZeroFourthByte) {
    const platform::PresentedFrame frame = CoordinateFrame(2, 2);
    Target target(2, 2, 32);
    platform::StretchCopyFrame(target.context, frame, 2, 2);
    ExpectPixel(target.At(1, 0), 1, 0, 200, "32-bit pixel");
    EXPECT_EQ(target.At(1, 0)[3], 0);
    EXPECT_EQ(target.At(0, 1)[3], 0);
}
