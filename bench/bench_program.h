// What every benchmark shares: the panels' real size, a clock, and the environment set before the
// QApplication exists (no display needed, and a writable shader cache). The program's objects are
// the program's own assembly, wired as the dialog wires them, with panels that need no widget.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

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

// The standard output of this benchmark run again with other arguments, in a process of its own: the
// renderer's threads are set for a whole process, so runs with other jobs are compared this way.
inline std::string RunAgain(const char* self, const std::string& arguments) {
    std::string output;
    const std::string command = std::string("'") + self + "' " + arguments;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
        pclose(pipe);
    }
    return output;
}

// The number after marker in text, or -1 when the marker is not there.
inline double NumberAfter(const std::string& text, const std::string& marker) {
    const std::size_t at = text.find(marker);
    return at == std::string::npos ? -1.0 : std::atof(text.c_str() + at + marker.size());
}

// A fresh program's objects, constructed in the dialog's order so that they take their random draws
// as a fresh program does, at the real panel size.
struct Program : CProgramObjects {
    Program() { UseDetachedPanels(kPanelWidth, kPanelHeight); }
};

}  // namespace bench
