#include "evolution/image_difference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "display/offscreen_image.h"

namespace {

// A 24-bit picture stored like the program's: rows bottom first, each padded to a multiple of four
// bytes, the top row addressed with a negative pitch. The buffer is exactly as large as the rows, so a
// read past either end is a read outside the picture.
struct Picture {
    Picture(int width, int height, unsigned char fill = 0)
        : stride((width * 3 + 3) / 4 * 4), bytes(static_cast<size_t>(stride) * height, fill) {
        rows.width = width;
        rows.height = height;
        rows.pitch = -stride;
        rows.bitsPerPixel = 24;
        rows.top = height > 0 ? bytes.data() + static_cast<size_t>(height - 1) * stride : bytes.data();
    }
    unsigned char& At(int x, int y, int c) {
        return bytes[static_cast<size_t>(rows.top - bytes.data()) + static_cast<std::ptrdiff_t>(y) * rows.pitch +
                     3 * x + c];
    }

    int stride;
    std::vector<unsigned char> bytes;
    PixelRows rows;
};

void FillColourBytes(Picture& picture, unsigned seed) {
    std::mt19937 generator(seed);
    for (int y = 0; y < picture.rows.height; ++y)
        for (int x = 0; x < picture.rows.width; ++x)
            for (int c = 0; c < 3; ++c) picture.At(x, y, c) = static_cast<unsigned char>(generator());
}

double OneByteFitness(int width, int height, int d) {
    return static_cast<double>(d * d) / (static_cast<double>(width) * height * 3 * 196608.0);
}

}  // namespace

TEST(ImageDifference, IdenticalPicturesScoreZeroOppositeOnesTheWorstAndAnyTwoTheSameBothWaysInBetween) {
    EXPECT_EQ(kWorstFitness, 0.3307342529296875);
    unsigned seed = 1;
    for (const auto& [width, height] : {std::pair{1, 1}, {7, 5}, {13, 9}, {308, 361}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        Picture black(width, height, 0), white(width, height, 255), a(width, height), b(width, height);
        EXPECT_EQ(ImageDifference(black.rows, white.rows), kWorstFitness);
        EXPECT_EQ(ImageDifference(white.rows, black.rows), kWorstFitness);
        FillColourBytes(a, seed);
        FillColourBytes(b, seed + 1000);
        const double ab = ImageDifference(a.rows, b.rows);
        EXPECT_GT(ab, 0.0);
        EXPECT_LE(ab, kWorstFitness);
        EXPECT_EQ(ab, ImageDifference(b.rows, a.rows));
        b.bytes = a.bytes;
        EXPECT_EQ(ImageDifference(a.rows, b.rows), 0.0);
        ++seed;
    }
}

TEST(ImageDifference, OneByteOffByDScoresDSquaredOverAllColourBytes) {
    const struct {
        int width, height, x, y, c, d;
    } cases[] = {
        {1, 1, 0, 0, 0, 1},         {7, 5, 0, 0, 0, 255},       {7, 5, 6, 4, 2, 17},  {7, 5, 3, 2, 1, 128},
        {308, 361, 307, 360, 2, 3}, {307, 333, 0, 332, 0, 200}, {4, 3, 3, 0, 2, 255},
    };
    for (const auto& k : cases) {
        Picture target(k.width, k.height, 100);
        Picture capture(k.width, k.height, 100);
        // A byte of 100 cannot move by more than 155 upwards; larger steps go down from 255.
        target.At(k.x, k.y, k.c) = static_cast<unsigned char>(k.d <= 155 ? 100 : 255);
        capture.At(k.x, k.y, k.c) = static_cast<unsigned char>(k.d <= 155 ? 100 + k.d : 255 - k.d);
        EXPECT_EQ(SumOfSquaredDifferences(target.rows, capture.rows), static_cast<std::uint64_t>(k.d) * k.d);
        EXPECT_DOUBLE_EQ(ImageDifference(target.rows, capture.rows), OneByteFitness(k.width, k.height, k.d))
            << k.width << " x " << k.height << " at " << k.x << ", " << k.y << ", " << k.c;
    }
}

TEST(ImageDifference, AlignmentBytesOfAnOddWidthImageDoNotCountButFirstAndLastRowsDo) {
    COffscreenImage target;
    COffscreenImage capture;
    ASSERT_TRUE(target.Create(307, 6, 24));
    ASSERT_TRUE(capture.Create(307, 6, 24));
    ASSERT_EQ(target.Pitch(), -924);
    // The whole pixel memory, alignment bytes included, starts at the bottom row.
    unsigned char* targetMemory = target.Bits() + 5 * target.Pitch();
    unsigned char* captureMemory = capture.Bits() + 5 * capture.Pitch();
    for (int i = 0; i < 924 * 6; ++i) {
        const bool alignment = i % 924 >= 921;
        targetMemory[i] = static_cast<unsigned char>(alignment ? 0x00 : i * 7);
        captureMemory[i] = static_cast<unsigned char>(alignment ? 0xFF : i * 7);
    }
    EXPECT_EQ(ImageDifference(RowsOf(target), RowsOf(capture)), 0.0);

    capture.Bits()[0] = static_cast<unsigned char>(target.Bits()[0] + 10);
    capture.Bits()[5 * capture.Pitch() + 920] =
        static_cast<unsigned char>(target.Bits()[5 * target.Pitch() + 920] - 20);
    EXPECT_EQ(SumOfSquaredDifferences(RowsOf(target), RowsOf(capture)), 100u + 400u);
    EXPECT_DOUBLE_EQ(ImageDifference(RowsOf(target), RowsOf(capture)), 500.0 / (307.0 * 6 * 3 * 196608.0));
}

TEST(ImageDifference, CaptureOfAnotherShapeScoresTheWorstWithoutBeingRead) {
    Picture target(8, 6, 40);
    const struct {
        const char* what;
        int width, height;
        int pitchChange;
        int bitsPerPixel;
        bool noPixels;
    } cases[] = {{"narrower", 7, 6, 0, 24, false},
                 {"wider", 9, 6, 0, 24, false},
                 {"shorter", 8, 5, 0, 24, false},
                 {"taller", 8, 7, 0, 24, false},
                 {"rows further apart", 8, 6, -4, 24, false},
                 {"rows top first", 8, 6, 48, 24, false},
                 {"32 bits per pixel", 8, 6, 0, 32, false},
                 {"no pixel memory", 8, 6, 0, 24, true}};
    for (const auto& k : cases) {
        // Identical colour bytes wherever both pictures have them: only the shape is wrong.
        Picture capture(k.width, k.height, 40);
        PixelRows rows = capture.rows;
        rows.pitch += k.pitchChange;
        if (k.pitchChange > 0) rows.top = capture.bytes.data();
        if (k.pitchChange < 0) {
            capture.bytes.resize(capture.bytes.size() + 4 * 6, 40);
            rows.top = capture.bytes.data() + 5 * -rows.pitch;
        }
        rows.bitsPerPixel = k.bitsPerPixel;
        if (k.noPixels) rows.top = nullptr;
        EXPECT_FALSE(IsComparable(target.rows, rows)) << k.what;
        EXPECT_EQ(ImageDifference(target.rows, rows), kWorstFitness) << k.what;
    }
    // A pitch shorter than a row is no layout at all, even when both pictures claim it.
    PixelRows overlapping = target.rows;
    overlapping.pitch = 3;
    EXPECT_EQ(ImageDifference(overlapping, overlapping), kWorstFitness);
}

TEST(ImageDifference, TargetWithoutPixelsScoresZeroNotNaN) {
    Picture capture(4, 4, 9);
    Picture empty(0, 0);
    PixelRows noRows = capture.rows;
    noRows.top = nullptr;
    PixelRows noHeight = capture.rows;
    noHeight.height = 0;
    PixelRows noWidth = capture.rows;
    noWidth.width = 0;
    for (const PixelRows& target : {empty.rows, noRows, noHeight, noWidth, PixelRows{}})
        EXPECT_EQ(ImageDifference(target, capture.rows), 0.0);  // and so not NaN
}
