// The first press of "Train" on a fresh program: the real panels at their real size on Qt's offscreen
// platform, the target tree and the evolver made in the dialog's order, 50 generations unless told
// otherwise (--generations N). Prints the total and where the time goes; it does not judge the figures.
//
// The evolver reports its phases; inside a render the draw-list entries are wrapped in timing entries.
// A render's context creation, read-back and context deletion happen between entries, so a short
// calibration on the same panels before the press measures them, and the press's lumps are split with it.
#include <GL/gl.h>

#include <QApplication>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "bench/bench_program.h"
#include "display/offscreen_image.h"
#include "display/platform/gl_binding.h"

namespace {

using bench::Clock;
using bench::kPanelHeight;
using bench::kPanelWidth;
using bench::Seconds;

constexpr int kCalibrationRenders = 20;

// Draws the entry it wraps and notes when that began and ended. With finish set it waits for the GL to
// complete everything so far, so that the rasterising of a panel counts as its drawing, not as its read-back.
class TimedEntry : public IRenderable {
public:
    TimedEntry(IRenderable& inner, bool finish) : inner(inner), finish(finish) {}

    void Draw() override {
        begin = Clock::now();
        if (renderer.empty()) {
            const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
            renderer = name != nullptr ? name : "unknown";
        }
        inner.Draw();
        if (finish) glFinish();
        end = Clock::now();
    }

    IRenderable& inner;
    bool finish;
    Clock::time_point begin, end;
    std::string renderer;
};

struct RenderCosts {
    double create = 0.0;
    double readBack = 0.0;
    double remove = 0.0;
};

// One render of one panel, step by step as CGLView::Render does it; the last entry finishes the frame.
void TimeRender(CGLView& view, const TimedEntry& last, RenderCosts& costs) {
    const Clock::time_point start = Clock::now();
    platform::GlContext context = view.BeginRender();
    const Clock::time_point begun = Clock::now();
    view.DrawScene();
    const Clock::time_point drawn = Clock::now();
    platform::MakeGlCurrent(nullptr, nullptr);
    platform::DeleteGlContext(context);
    const Clock::time_point deleted = Clock::now();
    costs.create += Seconds(begun - start);
    costs.readBack += Seconds(drawn - last.end);
    costs.remove += Seconds(deleted - drawn);
}

// Seconds spent in each phase the evolver reports, with the render phase cut at the draw-list entries.
struct PhaseClock {
    explicit PhaseClock(const TimedEntry& evolvedCamera, const TimedEntry& targetCamera, const TimedEntry& targetTree)
        : evolvedCamera(evolvedCamera), targetCamera(targetCamera), targetTree(targetTree) {}

    void Enter(EvolverPhase next) {
        const Clock::time_point now = Clock::now();
        const double spent = Seconds(now - since);
        switch (phase) {
            case EvolverPhase::Rendering:
                ++evaluations;
                evolvedBegin += Seconds(evolvedCamera.begin - since);
                evolvedLump += Seconds(targetCamera.begin - evolvedCamera.begin);
                targetDraw += Seconds(targetTree.end - targetCamera.begin);
                targetTail += Seconds(now - targetTree.end);
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

    const TimedEntry& evolvedCamera;
    const TimedEntry& targetCamera;
    const TimedEntry& targetTree;
    EvolverPhase phase = EvolverPhase::Idle;
    Clock::time_point since = Clock::now();
    long evaluations = 0;
    // Right panel: start of the evaluation to its first entry (context creation, clearing); first entry to
    // the left panel's first entry (camera, candidate, read-back, right context deleted, left one made).
    double evolvedBegin = 0.0, evolvedLump = 0.0;
    // Left panel: its entries, finished; then its read-back and context deletion.
    double targetDraw = 0.0, targetTail = 0.0;
    double breeding = 0.0, capturing = 0.0, comparing = 0.0, selecting = 0.0, reporting = 0.0, other = 0.0;
};

int GenerationsFrom(int argc, char** argv) {
    int generations = 50;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--generations") == 0 && i + 1 < argc) {
            generations = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--generations N]\n", argv[0]);
            std::exit(2);
        }
    }
    return generations;
}

void PrintRow(const char* what, double seconds, long evaluations, double total) {
    std::printf("  %-44s %9.2f s %9.3f ms/eval %6.1f %%\n", what, seconds,
                evaluations > 0 ? 1000.0 * seconds / evaluations : 0.0, total > 0.0 ? 100.0 * seconds / total : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    bench::PrepareEnvironment();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ramulon"));
    const int generations = GenerationsFrom(argc, argv);

    bench::Program program;
    // The dialog's wiring, with each entry wrapped; only the read-back entry of each panel finishes the GL.
    COrbitCamera& camera = program.camera;
    TimedEntry evolvedCamera(camera, false);
    TimedEntry targetCamera(camera, false);
    TimedEntry targetTree(program.targetTree, true);
    program.Wire(evolvedCamera, targetCamera, targetTree);
    QString result;
    program.evolver.showResult = [&result](QWidget*, const QString& text) { result = text; };

    // The paint that a shown dialog gets before anyone can press a button.
    program.evolvedView.Render();

    // Calibration: render each panel on its own with its entries finished, best standing in as candidate.
    RenderCosts costs;
    TimedEntry finishedBest(program.evolver.best, true);
    program.evolvedView.RemoveLastRenderable();
    program.evolvedView.AppendRenderable(&finishedBest);
    for (int i = 0; i < kCalibrationRenders; ++i) {
        TimeRender(program.evolvedView, finishedBest, costs);
        TimeRender(program.targetView, targetTree, costs);
    }
    program.evolvedView.RemoveLastRenderable();
    program.evolvedView.AppendRenderable(&program.evolver.best);
    const double createEach = costs.create / (2 * kCalibrationRenders);
    const double readBackEach = costs.readBack / (2 * kCalibrationRenders);
    const double removeEach = costs.remove / (2 * kCalibrationRenders);

    PhaseClock clock(evolvedCamera, targetCamera, targetTree);
    program.evolver.phaseChanged = [&clock](EvolverPhase phase) { clock.Enter(phase); };

    // OnTrain, step by step.
    const Clock::time_point pressStart = Clock::now();
    clock.since = pressStart;
    std::unique_ptr<COffscreenImage> image = program.targetView.CreateImage(1.0, false);
    program.targetView.Capture(*image);
    program.evolver.target = image.get();
    program.evolver.Train(generations);
    program.evolvedView.Render();
    image.reset();
    program.evolver.target = nullptr;
    const double total = Seconds(Clock::now() - pressStart);
    clock.Enter(EvolverPhase::Idle);

    const long n = clock.evaluations;
    // The right panel's lump holds its own read-back and context deletion and the left panel's context
    // creation; those are taken at their calibrated cost, the rest is the candidate's drawing.
    const double evolvedReadBack = n * readBackEach;
    const double targetRemove = n * removeEach;
    const double contexts = clock.evolvedBegin + n * (removeEach + createEach) + targetRemove;
    const double candidate = clock.evolvedLump - n * (readBackEach + removeEach + createEach);
    const double readBack = evolvedReadBack + (clock.targetTail - targetRemove);

    std::printf("Train press: %d generations, %ld evaluations, two panels of %d x %d, renderer %s\n", generations, n,
                kPanelWidth, kPanelHeight, evolvedCamera.renderer.c_str());
    std::printf("  %s\n", qPrintable(result));
    std::printf("  total %.2f s, %.1f evaluations per second\n", total, total > 0.0 ? n / total : 0.0);
    std::printf("  calibration per panel render: context creation %.3f ms, read-back %.3f ms, deletion %.3f ms\n",
                1000.0 * createEach, 1000.0 * readBackEach, 1000.0 * removeEach);
    PrintRow("context creation and deletion (both panels)", contexts, n, total);
    PrintRow("drawing the candidate (camera and tree)", candidate, n, total);
    PrintRow("drawing the partner panel", clock.targetDraw, n, total);
    PrintRow("reading back (both panels)", readBack, n, total);
    PrintRow("capture", clock.capturing, n, total);
    PrintRow("comparison", clock.comparing, n, total);
    PrintRow("breeding", clock.breeding, n, total);
    PrintRow("selection", clock.selecting, n, total);
    PrintRow("closing renders and report", clock.reporting, n, total);
    PrintRow("everything else", clock.other, n, total);
    std::printf("  (context, candidate and read-back rows split measured lumps with the calibration above)\n");
    return 0;
}
