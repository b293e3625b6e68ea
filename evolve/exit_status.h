// How ramulon-evolve ends, as its exit status says it.
#pragma once

inline constexpr int kExitDone = 0;
// The environment failed: no OpenGL context, a file that could not be written.
inline constexpr int kExitEnvironment = 1;
// Bad input, a folder another run holds, a checkpoint that cannot be continued; nothing was written.
inline constexpr int kExitBadInput = 2;
// A run stopped by a signal ends with this plus the signal's number: 130 after Ctrl-C, 143 after SIGTERM.
inline constexpr int kExitSignalBase = 128;
