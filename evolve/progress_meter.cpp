#include "evolve/progress_meter.h"

#include "evolve/record/number_text.h"

namespace {

std::string Duration(double seconds) {
    const long long s = static_cast<long long>(seconds + 0.5);
    char text[32];
    if (s < 60) {
        std::snprintf(text, sizeof text, "%llds", s);
    } else if (s < 3600) {
        std::snprintf(text, sizeof text, "%lldm%02llds", s / 60, s % 60);
    } else {
        std::snprintf(text, sizeof text, "%lldh%02lldm", s / 3600, (s % 3600) / 60);
    }
    return text;
}

}  // namespace

std::string ProgressLine(const ProgressState& state) {
    std::string line = "press " + std::to_string(state.press) + '/' + std::to_string(state.presses) + "  generation " +
                       std::to_string(state.generation) + '/' + std::to_string(state.generations) + "  evaluations " +
                       std::to_string(state.evaluations) + '/' + std::to_string(state.totalEvaluations);
    if (state.seconds > 0.0 && state.evaluations > state.startEvaluations) {
        const double rate = static_cast<double>(state.evaluations - state.startEvaluations) / state.seconds;
        line += "  " + FixedNumber(rate, 1) + "/s  " +
                Duration(static_cast<double>(state.totalEvaluations - state.evaluations) / rate) + " left";
    }
    line += "  best " + (state.best >= 0.0 ? FixedNumber(state.best, 6) : std::string("-"));
    return line;
}

void CProgressMeter::Evaluated(const ProgressState& state) {
    if (!inPlace) return;
    const auto now = std::chrono::steady_clock::now();
    if (lineOpen && now - lastDrawn < std::chrono::milliseconds(100)) return;
    Draw(state);
}

void CProgressMeter::GenerationEnded(const ProgressState& state) { Draw(state); }

void CProgressMeter::Draw(const ProgressState& state) {
    const std::string line = ProgressLine(state);
    if (inPlace) {
        // Back to the line's start, then clear what a longer earlier line left behind.
        std::fprintf(stream, "\r%s\x1b[K", line.c_str());
        lineOpen = true;
        lastDrawn = std::chrono::steady_clock::now();
    } else {
        std::fprintf(stream, "%s\n", line.c_str());
    }
    std::fflush(stream);
}

void CProgressMeter::Finish() {
    if (!lineOpen) return;
    std::fputc('\n', stream);
    std::fflush(stream);
    lineOpen = false;
}
