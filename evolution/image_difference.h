// The pixel comparison behind an individual's fitness: the sum of squared colour-byte differences of a
// captured picture against the target, normalised to [0, kWorstFitness]. Plain bytes, no GL context.
// It never reads outside either picture, and a capture that cannot be compared never scores well.
#pragma once

#include <cstdint>

class COffscreenImage;

// Where the rows of a 24-bit picture lie: row y (from the top) starts at top + y * pitch, three colour
// bytes per pixel in blue, green, red order; up to three alignment bytes may follow each row.
struct PixelRows {
    const unsigned char* top = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
    int bitsPerPixel = 0;
};

PixelRows RowsOf(const COffscreenImage& image);

// 196608 = 3 * 65536 turns a mean squared byte difference into a fitness below one.
inline constexpr double kFitnessDivisor = 196608.0;
// Every colour byte off by 255: 65025 / 196608 = 0.3307342529296875.
inline constexpr double kWorstFitness = 65025.0 / kFitnessDivisor;

bool HasPixels(const PixelRows& rows);
// True when the capture can be read with the target's width, height and row layout.
bool IsComparable(const PixelRows& target, const PixelRows& capture);

// The sum over the target's width and height; the two pictures must be comparable.
std::uint64_t SumOfSquaredDifferences(const PixelRows& target, const PixelRows& capture);

// 0 for identical pictures, kWorstFitness at most. A target without pixels gives 0: there is nothing
// to be unlike, just as without a target. An incomparable capture gives kWorstFitness.
double ImageDifference(const PixelRows& target, const PixelRows& capture);
