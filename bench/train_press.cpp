// The first press of "Train" on a fresh program: the real panels at their real size on Qt's offscreen
// platform, the target tree and the evolver made in the dialog's order, 50 generations unless told
// otherwise (--generations N). Prints the total, the floor and where the time goes; then, unless
// --no-reference, the first generation of the same press again on the program's path and on the
// reference path (a fresh context per render, the partner always drawn, GLU's quadric for every
// segment), with both rates and their ratio.
// It does not judge the figures.
//
// The floor is the time from the first draw call of each candidate's render to the end of that render:
// drawing the candidate and reading it back. Everything else a press does is overhead on top of it.
#include "app/train_press.h"

#include <sys/resource.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/resources.h"
#include "bench/bench_program.h"
#include "display/offscreen_image.h"
#include "display/platform/application_start.h"
#include "display/platform/gl_binding.h"
#include "evolution/fitness_recorder.h"
#include "evolution/heap_policy.h"
#include "evolution/processor_cores.h"
#include "evolution/renderer_identity.h"
#include "tree/random_seam.h"
#include "tree/tree_drawing_seam.h"

namespace {

using bench::Clock;
using bench::kPanelHeight;
using bench::kPanelWidth;
using bench::Seconds;

// Notes when the entry it wraps began drawing; describes its drawing as the entry itself does, so that
// a panel keeps its frame exactly as it would without the wrapper.
class TimedEntry : public IRenderable {
public:
    explicit TimedEntry(IRenderable& inner) : inner(inner) {}

    void Draw() override {
        begin = Clock::now();
        inner.Draw();
    }
    bool DescribeDrawing(CDrawingKey& key) const override { return inner.DescribeDrawing(key); }

    IRenderable& inner;
    Clock::time_point begin;
};

// Seconds spent in each phase the evolver reports; the render phase is cut at the candidate's first draw.
struct PhaseClock : CFitnessRecorder {
    explicit PhaseClock(const TimedEntry* evolvedCamera) : evolvedCamera(evolvedCamera) {}

    void OnPhase(EvolverPhase next) override {
        if (evolvedCamera == nullptr) return;
        const Clock::time_point now = Clock::now();
        const double spent = Seconds(now - since);
        switch (phase) {
            case EvolverPhase::Rendering:
                ++evaluations;
                if (evolvedCamera->begin >= since) {
                    beforeDrawing += Seconds(evolvedCamera->begin - since);
                    floor += Seconds(now - evolvedCamera->begin);
                } else {
                    beforeDrawing += spent;  // the candidate's frame was still right: nothing drawn
                }
                break;
            case EvolverPhase::Breeding:
                breeding += spent;
                break;
            case EvolverPhase::Capturing:
                capturing += spent;
                break;
            case EvolverPhase::Comparing:
                comparing += spent;
                break;
            case EvolverPhase::Selecting:
                selecting += spent;
                break;
            case EvolverPhase::Reporting:
                reporting += spent;
                break;
            case EvolverPhase::Idle:
                other += spent;
                break;
        }
        phase = next;
        since = now;
    }

    const TimedEntry* evolvedCamera;
    EvolverPhase phase = EvolverPhase::Idle;
    Clock::time_point since = Clock::now();
    long evaluations = 0;
    double floor = 0.0, beforeDrawing = 0.0;
    double breeding = 0.0, capturing = 0.0, comparing = 0.0, selecting = 0.0, reporting = 0.0, other = 0.0;
};

struct Options {
    int generations = 50;
    bool reference = true;
    int jobs = UsableCoreCount();
    bool compareJobs = false;
};

Options OptionsFrom(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--generations") == 0 && i + 1 < argc) {
            options.generations = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--no-reference") == 0) {
            options.reference = false;
        } else if (std::strcmp(argv[i], "--jobs") == 0 && i + 1 < argc) {
            options.jobs = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--compare-jobs") == 0) {
            options.compareJobs = true;
        } else {
            std::fprintf(stderr, "usage: %s [--generations N] [--jobs N] [--compare-jobs] [--no-reference]\n", argv[0]);
            std::exit(2);
        }
    }
    return options;
}

void PrintRow(const char* what, double seconds, long evaluations, double total) {
    std::printf("  %-48s %9.2f s %9.3f ms/eval %6.1f %%\n", what, seconds,
                evaluations > 0 ? 1000.0 * seconds / evaluations : 0.0, total > 0.0 ? 100.0 * seconds / total : 0.0);
}

struct PressResult {
    double seconds = 0.0;
    long evaluations = 0;
    std::string report;
    std::vector<double> fitness;  // every evaluation's, in order
};

// A fresh program's first press, through the functions the dialog's Train button uses, on the reference
// path or the program's own with the given jobs. The clock follows the evolver's phases when it watches a
// timed entry. The reference is one thread, as the program was.
PressResult Press(int generations, bool reference, int jobs, PhaseClock& clock, bench::Program& program) {
    program.SetJobs(reference ? 1 : jobs);
    program.targetView.referenceRendering = reference;
    program.evolvedView.referenceRendering = reference;
    UseQuadricCylinders(reference);
    // The paint that a shown dialog gets before anyone can press a button.
    program.evolvedView.Render();

    program.evolver.observer = &clock;
    const Clock::time_point start = Clock::now();
    clock.since = start;
    const std::unique_ptr<COffscreenImage> image = CaptureTargetPicture(program.targetView);
    TrainTowards(*image, program.evolver, program.evolvedView, generations);
    PressResult result;
    result.seconds = Seconds(Clock::now() - start);
    program.evolver.observer = nullptr;
    UseQuadricCylinders(false);
    clock.OnPhase(EvolverPhase::Idle);
    result.report = clock.result;
    result.fitness = clock.fitness;
    result.evaluations = static_cast<long>(result.fitness.size());
    return result;
}

// A fresh program's first press on the program's path with the given jobs, or on the reference path.
PressResult FreshPress(int generations, bool reference, int jobs) {
    ResetRandomSequence();
    bench::Program program;
    program.Wire();
    PhaseClock untimed(nullptr);
    return Press(generations, reference, jobs, untimed, program);
}

void CompareWithReference(int jobs) {
    const PressResult runs[2] = {FreshPress(1, false, jobs), FreshPress(1, true, 1)};
    const PressResult& ours = runs[0];
    const PressResult& reference = runs[1];
    const double oursRate = ours.evaluations / ours.seconds;
    const double referenceRate = reference.evaluations / reference.seconds;
    std::printf("The first generation again, each from a fresh program (%ld evaluations):\n", ours.evaluations);
    std::printf("  program path, %d jobs %3s %8.2f s %8.1f evaluations per second  %s\n", jobs, "", ours.seconds,
                oursRate, ours.report.c_str());
    std::printf("  reference path, 1 thread %8.2f s %8.1f evaluations per second  %s\n", reference.seconds,
                referenceRate, reference.report.c_str());
    std::printf("  ratio                    %.2fx; every fitness identical, in the same order: %s\n",
                oursRate / referenceRate, ours.fitness == reference.fitness ? "yes" : "NO");
}

}  // namespace

// The same press with one job and with jobs, side by side, each in a process of its own.
void CompareJobs(const char* self, int generations, int jobs) {
    const std::string common = "--no-reference --generations " + std::to_string(generations);
    const std::string one = bench::RunAgain(self, common + " --jobs 1");
    const std::string many = bench::RunAgain(self, common + " --jobs " + std::to_string(jobs));
    const double oneSeconds = bench::NumberAfter(one, "  total ");
    const double manySeconds = bench::NumberAfter(many, "  total ");
    const auto result = [](const std::string& output) {
        const std::size_t at = output.find("Current best fitness is ");
        return at == std::string::npos ? std::string("no result") : output.substr(at, output.find('\n', at) - at);
    };
    std::printf("The first %d generations of a fresh program's first press, each in a process of its own:\n",
                generations);
    std::printf("  1 job    %8.2f s  peak %6.1f MB  %s\n", oneSeconds, bench::NumberAfter(one, "workers, summed: "),
                result(one).c_str());
    std::printf("  %d jobs %s %8.2f s  peak %6.1f MB  %s\n", jobs, jobs < 10 ? "  " : " ", manySeconds,
                bench::NumberAfter(many, "workers, summed: "), result(many).c_str());
    std::printf("  time with %d jobs over time with 1: %.3f\n", jobs, manySeconds / oneSeconds);
}

int main(int argc, char** argv) {
    KeepFreedHeapMemory();
    bench::PrepareEnvironment();
    const Options options = OptionsFrom(argc, argv);
    if (options.compareJobs) {
        CompareJobs(argv[0], options.generations, options.jobs);
        return 0;
    }
    const std::unique_ptr<QApplication> application = platform::StartApplication(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(kApplicationName));

    PressResult press;
    std::string renderer;
    {
        bench::Program program;
        // The dialog's wiring. With one job the right panel's first entry is wrapped to see when a
        // candidate's drawing begins; workers draw a copy of the list on threads of their own, so with
        // several the floor is the workers' own time, shared among them.
        program.Wire();
        TimedEntry evolvedCamera(program.camera);
        const bool serial = options.jobs == 1;
        if (serial) program.evolvedView.drawList.front() = &evolvedCamera;
        PhaseClock clock(serial ? &evolvedCamera : nullptr);
        press = Press(options.generations, false, options.jobs, clock, program);
        renderer = IdentityOf(program.renderer.display).name;
        const int workers = program.renderer.workers.MostWorkers();
        if (!serial) clock.floor = program.renderer.workers.WorkSeconds() / std::max(1, workers);

        const double total = press.seconds;
        const long n = press.evaluations;
        const char* rasteriserThreads = std::getenv("LP_NUM_THREADS");
        std::printf("Train press: %d generations, %ld evaluations, two panels of %d x %d, renderer %s\n",
                    options.generations, n, kPanelWidth, kPanelHeight, renderer.c_str());
        std::printf("  %d jobs (%d render worker processes), LP_NUM_THREADS %s\n", options.jobs, workers,
                    rasteriserThreads != nullptr ? rasteriserThreads : "unset");
        std::printf("  %s\n", press.report.c_str());
        std::printf("  total %.2f s, %.1f evaluations per second\n", total, total > 0.0 ? n / total : 0.0);
        std::printf("  floor %.2f s (%s); the total is %.3fx the floor\n", clock.floor,
                    serial ? "drawing and reading back the candidates"
                           : "the workers' drawing, reading back and scoring, shared among them",
                    clock.floor > 0.0 ? total / clock.floor : 0.0);
        if (serial) {
            PrintRow("drawing and reading back the candidate", clock.floor, n, total);
            PrintRow("render set-up before the first draw call", clock.beforeDrawing, n, total);
            PrintRow("capture", clock.capturing, n, total);
            PrintRow("comparison", clock.comparing, n, total);
            PrintRow("breeding", clock.breeding, n, total);
            PrintRow("selection", clock.selecting, n, total);
            PrintRow("closing renders and report", clock.reporting, n, total);
            PrintRow("everything else", clock.other, n, total);
        }
        const bench::ProcessesMemory memory = bench::MemoryOf(program.renderer.workers.WorkerPids());
        std::printf("  peak resident set of the program and its workers, summed: %.1f MB (%d processes)\n",
                    memory.peakResident, 1 + static_cast<int>(program.renderer.workers.WorkerPids().size()));
        std::printf("  proportional set of the program and its workers at the end, summed: %.1f MB\n",
                    memory.proportional);
    }
    if (options.reference) CompareWithReference(options.jobs);
    return 0;
}
