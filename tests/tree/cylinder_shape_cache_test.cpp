#include "tree/cylinder_shape_cache.h"

#include <gtest/gtest.h>

namespace {

bool SameArrays(const CylinderShape& a, const CylinderShape& b) {
    return a.slices == b.slices && a.stacks == b.stacks && a.positions == b.positions && a.normals == b.normals;
}

}  // namespace

TEST(CCylinderShapeCache, RebuildsOnlyShapesNotAmongTheMostRecentAndAlwaysAnswersTheAskedShape) {
    // Shapes 0 ... 5 differ in one argument each from shape 0; -0 and +0 radii count as different shapes.
    const struct {
        double base, top;
        int slices, stacks;
    } shapes[] = {{0.25, 0.125, 10, 1}, {0.25, 0.1251, 10, 1}, {0.2, 0.125, 10, 1},
                  {0.25, 0.125, 9, 1},  {0.25, 0.125, 10, 2},  {-0.0, 0.0, 10, 1}};
    // Which shape to ask for next, and whether that must build it.
    const struct {
        int shape;
        bool builds;
    } steps[] = {
        {0, true},  {0, false}, {1, true},  {0, false},
        {2, true},  {3, true},  {1, false}, {4, true},  // evicts 0, the least recently asked of 0 ... 3
        {0, true},                                      // evicts 2
        {3, false}, {1, false}, {5, true},  {2, true},
    };
    CCylinderShapeCache cache;
    CylinderShape fresh;
    long long builds = 0;
    for (size_t i = 0; i < std::size(steps); ++i) {
        const auto& s = shapes[steps[i].shape];
        SCOPED_TRACE(testing::Message() << "step " << i << ", shape " << steps[i].shape);
        const CylinderShape& shape = cache.ShapeFor(s.base, s.top, s.slices, s.stacks);
        builds += steps[i].builds ? 1 : 0;
        EXPECT_EQ(cache.Builds(), builds);
        fresh.Build(s.base, s.top, s.slices, s.stacks);
        EXPECT_TRUE(SameArrays(shape, fresh));
    }
}
