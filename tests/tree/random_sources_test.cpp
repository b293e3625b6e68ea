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
    const double ranges[][2] = {{0, 1}, {0, 0.25}, {0, 0.5}, {0, 15}, {0, 45}, {0, 90}, {0, 360}, {2, 5}};
    for (const auto& [a, b] : ranges) {
        EXPECT_EQ(UniformAt(kLowestDraw, a, b), a) << a << " ... " << b;
        EXPECT_EQ(UniformAt(kHighestDraw, a, b), b) << a << " ... " << b;
    }
}

TEST(RandomUniform, FractionIsTheDrawTimesTheReciprocalOf32767) {
    // For these draws multiplying by the reciprocal and dividing by 32767 differ in the last bit.
    ResetRandomSequence();
    const double reciprocal = 3.051850947599719e-05;
    for (int draw : {257, 261, 20032, kHighestDraw}) EXPECT_EQ(UniformAt(draw, 0.0, 1.0), draw * reciprocal) << draw;
    EXPECT_NE(257 * reciprocal, 257 / 32767.0);
}

TEST(RandomJitter, IsFiniteAtTheEndsNeverZeroInTheMiddleAndMatchesJitterOfTheStoredFraction) {
    ResetRandomSequence();
    const struct {
        int draw;
        double expected;
        double tolerance;
    } cases[] = {{kLowestDraw, -4.08e15, 0.01e15}, {1, -2607.5, 1.0},
                 {8191, -0.2500360, 1e-6},         {8192, -0.2499880, 1e-6},
                 {16383, -1.1985e-5, 0.0001e-5},   {16384, 1.1985e-5, 0.0001e-5},
                 {24575, 0.2499880, 1e-6},         {24576, 0.2500360, 1e-6},
                 {kHighestDraw, 4.08e15, 0.01e15}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.draw);
        const double jitter = JitterAt(c.draw);
        EXPECT_TRUE(std::isfinite(jitter));
        EXPECT_NEAR(jitter, c.expected, c.tolerance);
        EXPECT_EQ(JitterOf(UniformAt(c.draw, 0.0, 1.0)), jitter);
    }
    EXPECT_EQ(RandomDrawCount(), 2 * 9);  // JitterOf draws nothing
    EXPECT_EQ(JitterOf(0.5), 0.0);
}

TEST(PickGene, FirstValueWinsUpToAndIncludingTheProbability) {
    ResetRandomSequence();
    const double boundary = UniformAt(100, 0.0, 1.0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        int draw;
        double p;
        double expected;  // picking between 2 and 7
    } cases[] = {{100, boundary, 2.0},      {101, boundary, 7.0},     {kLowestDraw, 1.0, 2.0},
                 {kQuietDraw, 1.0, 2.0},    {kHighestDraw, 1.0, 2.0}, {kLowestDraw, -0.1, 7.0},
                 {kHighestDraw, -0.1, 7.0}, {kLowestDraw, 0.0, 2.0},  {1, 0.0, 7.0},
                 {kHighestDraw, 0.0, 7.0},  {kQuietDraw, 0.5, 2.0},   {kQuietDraw + 1, 0.5, 7.0},
                 {kLowestDraw, nan, 2.0},   {kHighestDraw, nan, 2.0}};
    for (const auto& c : cases) EXPECT_EQ(PickAt(c.draw, c.p, 2.0, 7.0), c.expected) << c.draw << ", p " << c.p;
}

TEST(PickGene, FirstValueTakesFloorOf32767pPlusOneOfAllDraws) {
    ResetRandomSequence();
    std::vector<int> everyDraw;
    for (int draw = kLowestDraw; draw <= kHighestDraw; ++draw) everyDraw.push_back(draw);
    for (double p : {0.3, 0.401, 0.5, 0.599}) {
        ScriptRandomDraws(everyDraw);
        int first = 0;
        for (int i = 0; i <= kHighestDraw; ++i) first += PickGene(p, 1.0, 0.0) == 1.0 ? 1 : 0;
        EXPECT_EQ(first, static_cast<int>(std::floor(32767.0 * p)) + 1) << "p " << p;
    }
}

TEST(Clamp, LimitsToZeroAndTheBoundAndPutsExtremeJittersExactlyOnTheEnds) {
    ResetRandomSequence();
    const struct {
        double v;
        double bound;
        double expected;
    } cases[] = {{1.3, 1.0, 1.0},
                 {-0.2, 1.0, 0.0},
                 {1.0, 1.0, 1.0},
                 {0.0, 1.0, 0.0},
                 {0.5, 1.0, 0.5},
                 {0.1, 1.0, 0.09999999999999998},
                 {400.0, 360.0, 360.0},
                 {-5.0, 360.0, 0.0},
                 {90.0, 90.0, 90.0},
                 {4.08e15, 180.0, 180.0},
                 {-4.08e15, 0.75, 0.0},
                 {0.75 + JitterAt(kLowestDraw), 1.0, 0.0},
                 {0.75 + JitterAt(kHighestDraw), 1.0, 1.0}};
    for (const auto& c : cases) EXPECT_EQ(Clamp(c.v, c.bound), c.expected) << "Clamp(" << c.v << ", " << c.bound << ")";
}
