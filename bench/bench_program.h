// What every benchmark shares: the panels' real size, a clock, and the environment set before the
// QApplication exists (no display needed, and a writable shader cache). The program's objects are
// the program's own assembly, wired as the dialog wires them, with panels that need no widget.
#pragma once

#include <chrono>
#include <cstdlib>

#include "evolution/program_objects.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline constexpr int kPanelWidth = 308;
inline constexpr int kPanelHeight = 361;

inline double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

inline void PrepareEnvironment() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("MESA_SHADER_CACHE_DIR", RAMULON_SHADER_CACHE, 0);
}

// A fresh program's objects, constructed in the dialog's order so that they take their random draws
// as a fresh program does, at the real panel size.
struct Program : CProgramObjects {
    Program() { UseDetachedPanels(kPanelWidth, kPanelHeight); }
};

}  // namespace bench
