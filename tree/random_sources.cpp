#include "tree/random_sources.h"

#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "tree/random_seam.h"

namespace {

// Draws become fractions by multiplying with the double nearest to 1/32767 rather than dividing by
// 32767: the two disagree in the last bit for some draws, and every tree a run grows depends on those
// bits. The product still maps the largest draw onto exactly 1, so every range is reached at both ends.
constexpr double kDrawToFraction = 1.0 / 32767.0;
static_assert(32767.0 * kDrawToFraction == 1.0, "the largest draw must map to exactly 1");

constexpr double kPi = 3.141592653589793;
constexpr double kJitterScale = 0.25;

constexpr std::uint32_t kStartState = 1u;
constexpr int kLargestDraw = 0x7FFF;

int GeneratorDraw();

// The generator and the test script live together so that a reset clears both. Draws go through
// next, the generator's step unless a test has scripted draws, so the program never checks for a script.
struct RandomSequence {
    std::uint32_t state = kStartState;
    int (*next)() = GeneratorDraw;
    std::vector<int> script;
    std::size_t scriptNext = 0;
    long long draws = 0;
};

RandomSequence& Sequence() {
    static RandomSequence sequence;
    return sequence;
}

int GeneratorDraw() {
    RandomSequence& sequence = Sequence();
    ++sequence.draws;
    // A 32-bit linear congruential step; the top bits are the better mixed ones, so the draw is taken
    // from bits 16 ... 30. Unsigned arithmetic wraps by definition, which is the modulus we want.
    sequence.state = sequence.state * 1103515245u + 12345u;
    return static_cast<int>((sequence.state >> 16) & static_cast<std::uint32_t>(kLargestDraw));
}

// Hands out the script, then gives the generator back the draws that follow.
int ScriptedDraw() {
    RandomSequence& sequence = Sequence();
    ++sequence.draws;
    const int draw = sequence.script[sequence.scriptNext++];
    if (sequence.scriptNext == sequence.script.size()) sequence.next = GeneratorDraw;
    return draw;
}

// max(x, 0) by arithmetic: 2x halved is exact even at the extreme jitters, and a negative x gives +0.
double PositivePart(double x) { return (x + std::fabs(x)) * 0.5; }

double QuantileOfJitter(double u) { return std::tan((u - 0.5) * kPi) * kJitterScale; }

}  // namespace

int RandomDraw() { return Sequence().next(); }

void SeedRandomSequence(std::uint32_t seed) { Sequence().state = seed; }

std::uint32_t RandomSequenceState() { return Sequence().state; }

double RandomUniform(double a, double b) {
    const double fraction = RandomDraw() * kDrawToFraction;
    return a + fraction * (b - a);
}

double RandomJitter() { return QuantileOfJitter(RandomDraw() * kDrawToFraction); }

double JitterOf(double u) { return QuantileOfJitter(u); }

double PickGene(double p, double a, double b) {
    const double fraction = RandomDraw() * kDrawToFraction;
    // The strict comparison makes the first value win at the boundary and for a NaN probability.
    const double second = fraction > p ? 1.0 : 0.0;
    return a + (b - a) * second;
}

double Clamp(double v, double K) {
    double t = K - v;
    t = PositivePart(t);
    const double y = K - t;
    return PositivePart(y);
}

void ResetRandomSequence() { Sequence() = RandomSequence{}; }

void ScriptRandomDraws(std::vector<int> draws) {
    for (int draw : draws) {
        assert(draw >= 0 && draw <= kLargestDraw && "scripted draws must lie in 0 ... 32767, like real ones");
        (void)draw;
    }
    RandomSequence& sequence = Sequence();
    sequence.script = std::move(draws);
    sequence.scriptNext = 0;
    sequence.next = sequence.script.empty() ? GeneratorDraw : ScriptedDraw;
}

long long RandomDrawCount() { return Sequence().draws; }
