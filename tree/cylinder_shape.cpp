#include "tree/cylinder_shape.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

namespace {

// The quadric keeps its angle tables on the stack and quietly draws at most this many slices less one.
constexpr int kQuadricAngleTable = 240;
constexpr double kPi = 3.14159265358979323846;
constexpr double kHeight = 1.0;

}  // namespace

// The variables below have the quadric's own float and double types on purpose. Each rounding to float,
// and each place where a float meets a double and the sum is taken in double, is part of the values the GL
// receives; the same expressions in doubles throughout would move some vertices and normals by one unit in
// the last place and change pixels.
void CylinderShape::Build(double base, double top, int sliceCount, int stackCount) {
    baseRadius = base;
    topRadius = top;
    slices = sliceCount >= kQuadricAngleTable ? kQuadricAngleTable - 1 : sliceCount;
    stacks = stackCount;
    positions.clear();
    normals.clear();
    if (slices < 2 || stacks < 1 || base < 0.0 || top < 0.0) return;

    const float deltaRadius = static_cast<float>(base - top);
    // The square is a float product; adding the double height makes the sum, and the root, double.
    const float length = static_cast<float>(std::sqrt(deltaRadius * deltaRadius + kHeight * kHeight));
    if (length == 0.0f) return;
    const float zNormal = deltaRadius / length;
    const float xyNormalRatio = static_cast<float>(kHeight / length);

    std::array<float, kQuadricAngleTable> sines{}, cosines{}, normalSines{}, normalCosines{};
    for (int i = 0; i < slices; ++i) {
        const float angle = static_cast<float>(2 * kPi * i / slices);
        // The float angle goes back to double for the sine: the C library's double functions, not the
        // float overloads, which differ in the last place for some angles.
        const double sine = std::sin(static_cast<double>(angle));
        const double cosine = std::cos(static_cast<double>(angle));
        normalSines[i] = static_cast<float>(xyNormalRatio * sine);
        normalCosines[i] = static_cast<float>(xyNormalRatio * cosine);
        sines[i] = static_cast<float>(sine);
        cosines[i] = static_cast<float>(cosine);
    }
    // The strip closes on exactly the first angle's values, not on sin(2 pi).
    sines[slices] = sines[0];
    cosines[slices] = cosines[0];
    normalSines[slices] = normalSines[0];
    normalCosines[slices] = normalCosines[0];

    positions.resize(static_cast<std::size_t>(3 * StripVertexCount() * stacks));
    normals.resize(positions.size());
    float* position = positions.data();
    float* normal = normals.data();
    for (int j = 0; j < stacks; ++j) {
        const float zLow = static_cast<float>(j * kHeight / stacks);
        const float zHigh = static_cast<float>((j + 1) * kHeight / stacks);
        const float radiusLow = static_cast<float>(base - deltaRadius * (static_cast<float>(j) / stacks));
        const float radiusHigh = static_cast<float>(base - deltaRadius * (static_cast<float>(j + 1) / stacks));
        for (int i = 0; i <= slices; ++i) {
            for (const auto& [radius, z] : {std::pair{radiusLow, zLow}, std::pair{radiusHigh, zHigh}}) {
                *position++ = radius * sines[i];
                *position++ = radius * cosines[i];
                *position++ = z;
                *normal++ = normalSines[i];
                *normal++ = normalCosines[i];
                *normal++ = zNormal;
            }
        }
    }
}
