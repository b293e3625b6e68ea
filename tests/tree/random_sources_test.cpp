#include "tree/random_sources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "tests/tree/tree_test_support.h"
#include "tree/random_seam.h"

namespace {

double UniformAt(int draw, double a, double b) {
    ScriptRandomDraws({draw});
    return RandomUniform(a, b);
}

double JitterAt(int draw) {
    ScriptRandomDraws({draw});
    return RandomJitter();
}

double PickAt(int draw, double p, double a, double b) {
    ScriptRandomDraws({draw});
    return PickGene(p, a, b);
}

}  // namespace

TEST(RandomDraw, RestartsFromTheSameStateAndStaysInRange) {
    ResetRandomSequence();
    std::vector<int> first;
    for (int i = 0; i < 1 << 17; ++i) first.push_back(RandomDraw());
    ResetRandomSequence();
    int lowest = kHighestDraw, highest = kLowestDraw;
    double sum = 0.0;
    for (int expected : first) {
        const int draw = RandomDraw();
        ASSERT_EQ(draw, expected);
        lowest = std::min(lowest, draw);
        highest = std::max(highest, draw);
        sum += draw;
    }
    EXPECT_EQ(lowest, kLowestDraw);
    EXPECT_EQ(highest, kHighestDraw);
    EXPECT_NEAR(sum / static_cast<double>(first.size()), 16383.5, 200.0);
    EXPECT_EQ(RandomDrawCount(), 1 << 17);
}

TEST(RandomDraw, ScriptedDrawsComeFirstThenTheSequenceCarriesOn) {
    ResetRandomSequence();
    const int a = RandomDraw(), b = RandomDraw(), c = RandomDraw();
    ResetRandomSequence();
    EXPECT_EQ(RandomDraw(), a);
    ScriptRandomDraws({7, kHighestDraw});
    EXPECT_EQ(RandomDraw(), 7);
    EXPECT_EQ(RandomDraw(), kHighestDraw);
    EXPECT_EQ(RandomDraw(), b);
    EXPECT_EQ(RandomDraw(), c);
    EXPECT_EQ(RandomDrawCount(), 5);
}

TEST(RandomSources, EachOperationDrawsOnceOrNotAtAll) {
    ResetRandomSequence();
    RandomUniform(0.0, 1.0);
    EXPECT_EQ(RandomDrawCount(), 1);
    RandomJitter();
    EXPECT_EQ(RandomDrawCount(), 2);
    PickGene(0.5, 1.0, 2.0);
    EXPECT_EQ(RandomDrawCount(), 3);
    JitterOf(0.3);
    Clamp(0.3, 1.0);
    EXPECT_EQ(RandomDrawCount(), 3);
}

TEST(RandomUniform, ExtremeDrawsGiveExactlyTheEndsOfEveryRangeInUse) {
    ResetRandomSequence();
    for (double b : {1.0, 0.25, 0.5, 15.0, 45.0, 90.0, 360.0}) {
        SCOPED_TRACE(b);
        EXPECT_EQ(UniformAt(kLowestDraw, 0.0, b), 0.0);
        EXPECT_EQ(UniformAt(kHighestDraw, 0.0, b), b);
    }
    EXPECT_EQ(UniformAt(kLowestDraw, 2.0, 5.0), 2.0);
    EXPECT_EQ(UniformAt(kHighestDraw, 2.0, 5.0), 5.0);
}

TEST(RandomUniform, FractionIsTheDrawTimesTheReciprocalOf32767) {
    // For these draws multiplying by the reciprocal and dividing by 32767 differ in the last bit.
    ResetRandomSequence();
    const double reciprocal = 3.051850947599719e-05;
    for (int draw : {257, 261, 20032, kHighestDraw}) {
        SCOPED_TRACE(draw);
        EXPECT_EQ(UniformAt(draw, 0.0, 1.0), draw * reciprocal);
    }
    EXPECT_NE(257 * reciprocal, 257 / 32767.0);
}

TEST(RandomJitter, IsFiniteAtTheEndsAndNeverZeroInTheMiddle) {
    ResetRandomSequence();
    struct Case {
        int draw;
        double expected;
        double tolerance;
    };
    const Case cases[] = {
        {kLowestDraw, -4.08e15, 0.01e15}, {1, -2607.5, 1.0},
        {8191, -0.2500360, 1e-6},         {8192, -0.2499880, 1e-6},
        {16383, -1.1985e-5, 0.0001e-5},   {16384, 1.1985e-5, 0.0001e-5},
        {24575, 0.2499880, 1e-6},         {24576, 0.2500360, 1e-6},
        {kHighestDraw, 4.08e15, 0.01e15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.draw);
        const double jitter = JitterAt(c.draw);
        EXPECT_TRUE(std::isfinite(jitter));
        EXPECT_NEAR(jitter, c.expected, c.tolerance);
    }
}

TEST(JitterOf, MatchesTheJitterOfTheSameStoredFraction) {
    ResetRandomSequence();
    EXPECT_EQ(JitterOf(0.5), 0.0);
    EXPECT_NEAR(JitterOf(0.0), -4.08e15, 0.01e15);
    EXPECT_NEAR(JitterOf(1.0), 4.08e15, 0.01e15);
    for (int draw : {kLowestDraw, 1, 12345, kQuietDraw, 30000, kHighestDraw}) {
        SCOPED_TRACE(draw);
        const double stored = UniformAt(draw, 0.0, 1.0);
        EXPECT_EQ(JitterOf(stored), JitterAt(draw));
    }
    EXPECT_EQ(RandomDrawCount(), 12);
}

TEST(PickGene, FirstValueWinsUpToAndIncludingTheProbability) {
    ResetRandomSequence();
    const double boundary = UniformAt(100, 0.0, 1.0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        int draw;
        double p;
        double expected;  // picking between 2 and 7
    };
    const Case cases[] = {
        {100, boundary, 2.0},      {101, boundary, 7.0},     {kLowestDraw, 1.0, 2.0},
        {kQuietDraw, 1.0, 2.0},    {kHighestDraw, 1.0, 2.0}, {kLowestDraw, -0.1, 7.0},
        {kHighestDraw, -0.1, 7.0}, {kLowestDraw, 0.0, 2.0},  {1, 0.0, 7.0},
        {kHighestDraw, 0.0, 7.0},  {kQuietDraw, 0.5, 2.0},   {kQuietDraw + 1, 0.5, 7.0},
        {kLowestDraw, nan, 2.0},   {kHighestDraw, nan, 2.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "draw " << c.draw << ", p " << c.p);
        EXPECT_EQ(PickAt(c.draw, c.p, 2.0, 7.0), c.expected);
    }
}

TEST(PickGene, FirstValueTakesFloorOf32767pPlusOneOfAllDraws) {
    ResetRandomSequence();
    for (double p : {0.3, 0.401, 0.5, 0.599}) {
        std::vector<int> everyDraw;
        for (int draw = kLowestDraw; draw <= kHighestDraw; ++draw) everyDraw.push_back(draw);
        ScriptRandomDraws(everyDraw);
        int first = 0;
        for (int i = 0; i <= kHighestDraw; ++i) first += PickGene(p, 1.0, 0.0) == 1.0 ? 1 : 0;
        EXPECT_EQ(first, static_cast<int>(std::floor(32767.0 * p)) + 1) << "p " << p;
    }
}

TEST(Clamp, LimitsToZeroAndTheBound) {
    struct Case {
        double v;
        double bound;
        double expected;
    };
    const Case cases[] = {
        {1.3, 1.0, 1.0},         {-0.2, 1.0, 0.0},      {1.0, 1.0, 1.0},
        {0.0, 1.0, 0.0},         {0.5, 1.0, 0.5},       {0.1, 1.0, 0.09999999999999998},
        {400.0, 360.0, 360.0},   {-5.0, 360.0, 0.0},    {90.0, 90.0, 90.0},
        {4.08e15, 180.0, 180.0}, {-4.08e15, 0.75, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Clamp(" << c.v << ", " << c.bound << ")");
        EXPECT_EQ(Clamp(c.v, c.bound), c.expected);
    }
}

TEST(Clamp, ExtremeJittersLandExactlyOnTheEnds) {
    ResetRandomSequence();
    ScriptRandomDraws({kLowestDraw, kHighestDraw});
    EXPECT_EQ(Clamp(0.75 + RandomJitter(), 1.0), 0.0);
    EXPECT_EQ(Clamp(0.75 + RandomJitter(), 1.0), 1.0);
}
