// Test-only control over the process-wide random sequence: restart it, force its next draws, and count
// how many draws an operation makes. The program itself never calls these.
#pragma once

#include <vector>

// Back to the start state of a fresh process; any scripted draws not yet taken are dropped.
void ResetRandomSequence();

// The next RandomDraw() calls return these values in order (each 0 ... 32767), then the generator
// carries on from the state it had. A new script replaces what is left of an earlier one.
void ScriptRandomDraws(std::vector<int> draws);

// Draws made since the last ResetRandomSequence(), scripted ones included.
long long RandomDrawCount();
