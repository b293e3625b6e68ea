#include "tree/noise_field.h"

#include <gtest/gtest.h>

#include "tests/tree/tree_test_support.h"
#include "tree/random_seam.h"

TEST(NodeCount, CountsTheNodesOfAFullFiveWayTree) {
    const struct {
        int depth;
        int expected;
    } cases[] = {{-7, 1}, {-1, 1}, {0, 1}, {1, 6}, {2, 31}, {3, 156}, {4, 781}, {5, 3906}, {13, 1525878906}};
    for (const auto& c : cases) EXPECT_EQ(NodeCount(c.depth), c.expected) << "depth " << c.depth;
}

TEST(FillNoise, RefillsPresenceAzimuthInclinationNodeByNodeInPlaceAndLeavesRecordsBeyondTheTreeZero) {
    const struct {
        int fieldDepth;
        int depth;
    } cases[] = {{5, 5}, {2, 2}, {2, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "depth " << c.depth << " in a field for depth " << c.fieldDepth);
        ResetRandomSequence();
        NoiseField field(NodeCount(c.fieldDepth));
        ASSERT_EQ(field.Count(), NodeCount(c.fieldDepth));
        const std::vector<double> zeroed = NoiseValues(field);
        EXPECT_EQ(zeroed, std::vector<double>(zeroed.size(), 0.0));
        const NodeNoise* storage = field.Data();
        std::vector<int> draws;
        for (int i = 0; i < 3 * NodeCount(c.depth); ++i) draws.push_back(i * 7919 % 32768);
        ScriptRandomDraws(draws);
        FillNoise(field, c.depth);
        EXPECT_EQ(RandomDrawCount(), 3 * NodeCount(c.depth));
        EXPECT_EQ(field.Data(), storage);
        const std::vector<double> filled = NoiseValues(field);
        for (size_t i = 0; i < filled.size(); ++i)
            ASSERT_DOUBLE_EQ(filled[i], i < draws.size() ? draws[i] / 32767.0 : 0.0) << "value " << i;
    }
}
