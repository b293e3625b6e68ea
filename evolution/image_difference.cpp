#include "evolution/image_difference.h"

#include <cassert>
#include <cstddef>
#include <cstdlib>

#include "display/offscreen_image.h"

namespace {

constexpr int kColourBytesPerPixel = 3;

}  // namespace

PixelRows RowsOf(const COffscreenImage& image) {
    return PixelRows{image.Bits(), image.Width(), image.Height(), image.Pitch(), image.BitsPerPixel()};
}

bool HasPixels(const PixelRows& rows) { return rows.top != nullptr && rows.width > 0 && rows.height > 0; }

bool IsComparable(const PixelRows& target, const PixelRows& capture) {
    // Equal pitches alone are not enough: a pitch shorter than a row would make rows overlap or run
    // backwards into memory that is not the picture's.
    const long long rowBytes = static_cast<long long>(target.width) * kColourBytesPerPixel;
    return HasPixels(target) && HasPixels(capture) && target.bitsPerPixel == 24 && capture.bitsPerPixel == 24 &&
           capture.width == target.width && capture.height == target.height && capture.pitch == target.pitch &&
           std::llabs(static_cast<long long>(target.pitch)) >= rowBytes;
}

std::uint64_t SumOfSquaredDifferences(const PixelRows& target, const PixelRows& capture) {
    assert(IsComparable(target, capture) && "check IsComparable before summing; the capture must match the target");
    const long long rowBytes = static_cast<long long>(target.width) * kColourBytesPerPixel;
    std::uint64_t sum = 0;
    for (int y = 0; y < target.height; ++y) {
        // Each picture is stepped by its own pitch; only the colour bytes of a row are read, never the
        // alignment bytes that follow them.
        const unsigned char* targetRow = target.top + static_cast<std::ptrdiff_t>(y) * target.pitch;
        const unsigned char* captureRow = capture.top + static_cast<std::ptrdiff_t>(y) * capture.pitch;
        for (long long i = 0; i < rowBytes; ++i) {
            const int d = static_cast<int>(targetRow[i]) - static_cast<int>(captureRow[i]);
            sum += static_cast<std::uint64_t>(d * d);
        }
    }
    return sum;
}

double ImageDifference(const PixelRows& target, const PixelRows& capture) {
    if (!HasPixels(target)) return 0.0;
    if (!IsComparable(target, capture)) return kWorstFitness;
    // The byte count is formed in 64 bits: a 32-bit product would overflow for pictures far larger
    // than a panel, and the result is the same wherever it does not.
    const long long n = static_cast<long long>(target.width) * target.height * kColourBytesPerPixel;
    return static_cast<double>(SumOfSquaredDifferences(target, capture)) / (static_cast<double>(n) * kFitnessDivisor);
}
