// The progress of a run on standard error. On a terminal it is one line rewritten in place as the
// evaluations go by; anywhere else (a log file, a pipe) it is one plain line per generation.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

struct ProgressState {
    int press = 0;
    int presses = 0;
    int generation = 0;  // generations of this press completed
    int generations = 0;
    long long evaluations = 0;
    long long totalEvaluations = 0;
    long long startEvaluations = 0;  // done before this process went on with the run
    double seconds = 0.0;            // since this process began training
    double best = -1.0;              // negative until a generation has been scored
};

// "press 1/1  generation 12/50  evaluations 2150/8800  21.3/s  5m12s left  best 0.009876"
std::string ProgressLine(const ProgressState& state);

class CProgressMeter {
public:
    CProgressMeter(std::FILE* stream, bool inPlace) : stream(stream), inPlace(inPlace) {}

    // After each evaluation; in place the line is redrawn at most ten times a second.
    void Evaluated(const ProgressState& state);
    void GenerationEnded(const ProgressState& state);
    // Ends the line being rewritten, so that what follows starts on a line of its own.
    void Finish();

private:
    void Draw(const ProgressState& state);

    std::FILE* stream;
    bool inPlace;
    bool lineOpen = false;
    std::chrono::steady_clock::time_point lastDrawn{};
};
