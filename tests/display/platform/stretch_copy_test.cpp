#include "display/platform/stretch_copy.h"

#include <gtest/gtest.h>

#include <cstring>

#include "display/platform/bitmap.h"
#include "display/platform/drawing_surface.h"
#include "display/platform/memory_context.h"

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
    Target(int width, int height, int bitCount) {
        bitmap = platform::CreateBitmap(platform::BitmapHeader{width, height, bitCount}, &pixels);
        platform::DescribeBitmap(bitmap, description);
        const int rows = height < 0 ? -height : height;
        std::memset(pixels, kMarker, static_cast<std::size_t>(description.stride) * rows);
        context = platform::CreateMemoryContext();
        platform::SelectBitmap(context, bitmap);
    }
    ~Target() {
        platform::DeleteMemoryContext(context);
        platform::DeleteBitmap(bitmap);
    }
    // Pixel (x, y) counted from the picture's top row, whichever way the rows are stored.
    const unsigned char* At(int x, int y) const {
        const int rows = description.header.height;
        const int stored = rows > 0 ? rows - 1 - y : y;
        return pixels + stored * description.stride + x * (description.header.bitCount / 8);
    }

    static constexpr unsigned char kMarker = 0x77;
    platform::Bitmap* bitmap = nullptr;
    unsigned char* pixels = nullptr;
    platform::BitmapDescription description;
    platform::MemoryContext* context = nullptr;
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
        ASSERT_TRUE(platform::StretchCopyFrame(target.context, {0, 0, 3, 2}, frame, {0, 0, 3, 2}));
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
    ASSERT_TRUE(platform::StretchCopyFrame(shrunk.context, {0, 0, 2, 2}, frame, {0, 0, 4, 4}));
    ExpectPixel(shrunk.At(0, 0), 1, 1, 200, "shrunk (0, 0)");
    ExpectPixel(shrunk.At(1, 0), 3, 1, 200, "shrunk (1, 0)");
    ExpectPixel(shrunk.At(1, 1), 3, 3, 200, "shrunk (1, 1)");

    Target grown(8, 8, 24);
    ASSERT_TRUE(platform::StretchCopyFrame(grown.context, {0, 0, 8, 8}, frame, {0, 0, 4, 4}));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ExpectPixel(grown.At(x, y), x / 2, y / 2, 200, "grown pixel");
}

TEST(StretchCopy, SourceBeyondTheFrameReadsAsBlack) {
    const platform::PresentedFrame frame = CoordinateFrame(2, 2);
    Target target(4, 4, 24);
    ASSERT_TRUE(platform::StretchCopyFrame(target.context, {0, 0, 4, 4}, frame, {0, 0, 4, 4}));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool inside = x < 2 && y < 2;
            ExpectPixel(target.At(x, y), inside ? x : 0, inside ? y : 0, inside ? 200 : 0, "inside the frame or black");
        }

    // A panel that never presented a frame gives black everywhere.
    Target unrendered(2, 2, 24);
    ASSERT_TRUE(platform::StretchCopyFrame(unrendered.context, {0, 0, 2, 2}, platform::PresentedFrame{}, {0, 0, 2, 2}));
    ExpectPixel(unrendered.At(1, 1), 0, 0, 0, "no frame");
}

TEST(StretchCopy, DestinationIsClippedToTheBitmap) {
    const platform::PresentedFrame frame = CoordinateFrame(4, 4);
    Target target(3, 2, 24);
    ASSERT_TRUE(platform::StretchCopyFrame(target.context, {1, 1, 4, 4}, frame, {0, 0, 4, 4}));
    ExpectPixel(target.At(1, 1), 0, 0, 200, "first pixel of the area");
    ExpectPixel(target.At(2, 1), 1, 0, 200, "second pixel of the area");
    ExpectUntouched(target.At(0, 0), "outside the area");
    ExpectUntouched(target.At(0, 1), "outside the area");
    ExpectPaddingUntouched(target, 2);
}

TEST(StretchCopy, EmptyAreasAndMissingBitmapsCopyNothing) {
    const platform::PresentedFrame frame = CoordinateFrame(4, 4);
    Target target(4, 4, 24);
    EXPECT_FALSE(platform::StretchCopyFrame(target.context, {0, 0, 4, 4}, frame, {0, 0, 0, 0}));
    EXPECT_FALSE(platform::StretchCopyFrame(target.context, {0, 0, 4, 4}, frame, {0, 0, 4, 0}));
    EXPECT_FALSE(platform::StretchCopyFrame(target.context, {0, 0, 0, 4}, frame, {0, 0, 4, 4}));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) ExpectUntouched(target.At(x, y), "untouched");

    platform::MemoryContext* bare = platform::CreateMemoryContext();
    EXPECT_FALSE(platform::StretchCopyFrame(bare, {0, 0, 4, 4}, frame, {0, 0, 4, 4}));
    platform::DeleteMemoryContext(bare);
    EXPECT_FALSE(platform::StretchCopyFrame(nullptr, {0, 0, 4, 4}, frame, {0, 0, 4, 4}));
}

TEST(StretchCopy, ThirtyTwoBitPixelsGetColourAndAZeroFourthByte) {
    const platform::PresentedFrame frame = CoordinateFrame(2, 2);
    Target target(2, 2, 32);
    ASSERT_TRUE(platform::StretchCopyFrame(target.context, {0, 0, 2, 2}, frame, {0, 0, 2, 2}));
    ExpectPixel(target.At(1, 0), 1, 0, 200, "32-bit pixel");
    EXPECT_EQ(target.At(1, 0)[3], 0);
    EXPECT_EQ(target.At(0, 1)[3], 0);
}
