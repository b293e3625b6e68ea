// What every benchmark shares: the panels' real size, a clock, and the environment set before the
// QApplication exists (no display needed, and a writable shader cache). The program's objects are
// the program's own assembly, wired as the dialog wires them, with panels that need no widget.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

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

// A number from a /proc file of the process ("self" or a process id), such as VmHWM in status or Pss
// in smaps_rollup, in kilobytes; 0 when it cannot be read.
inline long ProcKilobytes(const std::string& process, const std::string& file, const std::string& key) {
    std::ifstream in("/proc/" + process + "/" + file);
    std::string word;
    while (in >> word) {
        if (word == key + ":") {
            long kilobytes = 0;
            in >> kilobytes;
            return kilobytes;
        }
    }
    return 0;
}

// The memory of this process and its render workers, each summed over all of them, in megabytes: the
// peak resident sets, which count the libraries they share once for every process, and the
// proportional sets now, which share those out among the processes that map them.
struct ProcessesMemory {
    double peakResident = 0.0;
    double proportional = 0.0;
};

inline ProcessesMemory MemoryOf(const std::vector<int>& workers) {
    ProcessesMemory memory;
    std::vector<std::string> processes{"self"};
    for (int pid : workers) processes.push_back(std::to_string(pid));
    for (const std::string& process : processes) {
        memory.peakResident += ProcKilobytes(process, "status", "VmHWM") / 1024.0;
        memory.proportional += ProcKilobytes(process, "smaps_rollup", "Pss") / 1024.0;
    }
    return memory;
}

// A fresh program's objects, constructed in the dialog's order so that they take their random draws
// as a fresh program does, at the real panel size.
struct Program : CProgramObjects {
    Program() { UseDetachedPanels(kPanelWidth, kPanelHeight); }
};

}  // namespace bench
