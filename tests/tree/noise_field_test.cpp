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

TEST(NoiseField, HoldsItsCountOfZeroedRecords) {
    const NoiseField field(NodeCount(5));
    ASSERT_EQ(field.Count(), 3906);
    EXPECT_EQ(field.Data(), &field[0]);
    EXPECT_EQ(field.Data() + 3905, &field[3905]);
    for (int node = 0; node < field.Count(); ++node) {
        ASSERT_EQ(field[node].presence, 0.0);
        ASSERT_EQ(field[node].azimuth, 0.0);
        ASSERT_EQ(field[node].inclination, 0.0);
    }
}

TEST(FillNoise, DrawsPresenceAzimuthInclinationNodeByNode) {
    enum Field { kPresence, kAzimuth, kInclination };
    const struct {
        int node;
        Field field;
    } cases[] = {{0, kPresence}, {0, kInclination}, {3, kAzimuth}, {5, kInclination}, {30, kPresence}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "node " << c.node << ", field " << c.field);
        ResetRandomSequence();
        NoiseField field(NodeCount(2));
        std::vector<int> draws = Draws(kLowestDraw, 3 * 31);
        draws[static_cast<std::size_t>(3 * c.node + c.field)] = kHighestDraw;
        ScriptRandomDraws(draws);
        FillNoise(field, 2);
        EXPECT_EQ(RandomDrawCount(), 3 * 31);
        for (int node = 0; node < field.Count(); ++node) {
            const bool marked = node == c.node;
            EXPECT_EQ(field[node].presence, marked && c.field == kPresence ? 1.0 : 0.0) << node;
            EXPECT_EQ(field[node].azimuth, marked && c.field == kAzimuth ? 1.0 : 0.0) << node;
            EXPECT_EQ(field[node].inclination, marked && c.field == kInclination ? 1.0 : 0.0) << node;
        }
    }
}

TEST(FillNoise, RefillsEveryRecordOfADepthFiveFieldInPlace) {
    ResetRandomSequence();
    NoiseField field(NodeCount(5));
    const NodeNoise* storage = field.Data();
    std::vector<int> draws;
    for (long long i = 0; i < kNoiseDraws; ++i) draws.push_back(static_cast<int>((i * 7919) % 32768));
    ScriptRandomDraws(draws);
    FillNoise(field, 5);
    EXPECT_EQ(RandomDrawCount(), kNoiseDraws);
    EXPECT_EQ(field.Data(), storage);
    for (int node = 0; node < field.Count(); ++node) {
        const std::size_t first = static_cast<std::size_t>(3 * node);
        ASSERT_DOUBLE_EQ(field[node].presence, draws[first] / 32767.0) << node;
        ASSERT_DOUBLE_EQ(field[node].azimuth, draws[first + 1] / 32767.0) << node;
        ASSERT_DOUBLE_EQ(field[node].inclination, draws[first + 2] / 32767.0) << node;
    }
}

TEST(FillNoise, LeavesRecordsBeyondTheTreeAlone) {
    ResetRandomSequence();
    NoiseField field(NodeCount(2));
    ScriptRandomDraws(Draws(kHighestDraw, 3 * 6));
    FillNoise(field, 1);
    EXPECT_EQ(RandomDrawCount(), 3 * 6);
    EXPECT_EQ(field[5].inclination, 1.0);
    EXPECT_EQ(field[6].presence, 0.0);
    EXPECT_EQ(field[30].inclination, 0.0);
}
