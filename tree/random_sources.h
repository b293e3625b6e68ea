// The one process-wide random sequence and the few ways the tree model turns its draws into values.
// The dialog never seeds the generator, so every run, on every machine, grows the same trees in the same
// order; which part of the program draws when is therefore part of its behaviour.
#pragma once

#include <cstdint>

// The next integer of the process-wide sequence, 0 ... 32767 inclusive.
int RandomDraw();

// Restarts the sequence from the given state, as the C runtime's srand() does for rand(): seed 1 is the
// unseeded start. ramulon-evolve calls it before any tree exists, so that runs can differ.
void SeedRandomSequence(std::uint32_t seed);

// Where the sequence stands: seeding with it continues the sequence from here, as a run continued from a
// checkpoint does.
std::uint32_t RandomSequenceState();

// a + fraction * (b - a) for one draw; a draw of 0 gives exactly a, a draw of 32767 exactly b when a is 0.
double RandomUniform(double a, double b);

// A Cauchy value with location 0 and scale 0.25 for one draw: heavy-tailed, never 0, always finite.
double RandomJitter();

// The same quantile function applied to a fraction drawn earlier; draws nothing.
double JitterOf(double u);

// a with probability about p, otherwise a + (b - a); one draw. A NaN p gives a.
double PickGene(double p, double a, double b);

// v limited to [0, K]; draws nothing. Inside the range the result is K - (K - v), which may differ from v
// in its last bits.
double Clamp(double v, double K);
