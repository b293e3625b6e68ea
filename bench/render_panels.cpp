// The cost of one Render() of the two partner panels at their real size, as a drag step pays it: the
// camera turns a little before every render, so both panels must be drawn. With empty draw lists, with
// the trees a fresh program starts with, and with full trees of 3906 segments; each on the program's
// path and on the reference path (a fresh context per render, GLU's quadric for every segment), timed
// in whole blocks. Also a move with no button held, which changes nothing. Prints the mean and the
// fastest; it does not judge the figures.
#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "bench/bench_program.h"
#include "display/platform/application_start.h"
#include "display/platform/geometry.h"
#include "display/platform/gl_binding.h"
#include "evolution/heap_policy.h"
#include "tree/tree_drawing.h"
#include "tree/tree_drawing_seam.h"

namespace {

// A tree in which every node is present: every branch gene's presence is 1, so no draw exceeds it.
class FullTree : public IRenderable {
public:
    explicit FullTree(const TreeGenome& from) : genome(from), noise(NodeCount(5)) {
        for (BranchGene& branch : genome.branches) branch.presence = 1.0;
        FillNoise(noise, 5);
    }
    void Draw() override { DrawTree(genome, 5, noise); }

private:
    TreeGenome genome;
    NoiseField noise;
};

struct Timing {
    double mean = 0.0;
    double fastest = 0.0;
};

// Each render follows one mouse move over the left panel, as a drag does with the left button held.
Timing TimeMoves(bench::Program& program, int renders, int buttons) {
    CGLView& view = program.targetView;
    int x = 100;
    view.OnMouseMove(buttons, platform::Point{x, 150});  // the drag's first move, and the pbuffers made
    double total = 0.0;
    double fastest = 1e9;
    for (int i = 0; i < renders; ++i) {
        x += (i % 20 < 10) ? 2 : -2;
        const bench::Clock::time_point start = bench::Clock::now();
        view.OnMouseMove(buttons, platform::Point{x, 150});
        const double seconds = bench::Seconds(bench::Clock::now() - start);
        total += seconds;
        fastest = std::min(fastest, seconds);
    }
    return Timing{total / renders, fastest};
}

void Print(const char* what, bool reference, const Timing& t) {
    std::printf("  %-44s %-9s mean %8.2f ms   fastest %8.2f ms\n", what, reference ? "reference" : "program",
                1000.0 * t.mean, 1000.0 * t.fastest);
}

void TimeBothWays(bench::Program& program, const char* what, int renders) {
    for (bool reference : {false, true}) {
        program.targetView.referenceRendering = reference;
        program.evolvedView.referenceRendering = reference;
        UseQuadricCylinders(reference);
        Print(what, reference, TimeMoves(program, renders, platform::kMouseLeftButton));
    }
    program.targetView.referenceRendering = false;
    program.evolvedView.referenceRendering = false;
    UseQuadricCylinders(false);
}

// A drag step with the start-up trees on the program's path with one job (the two panels one after the
// other) and with two (both at once), each in a process of its own, side by side.
void CompareJobs(const char* self, int renders) {
    const std::string common = "--start-up-only --renders " + std::to_string(renders);
    double means[2] = {};
    for (int round = 0; round < 3; ++round) {
        for (int jobs : {1, 2}) {
            const double mean = bench::NumberAfter(bench::RunAgain(self, common + " --jobs " + std::to_string(jobs)),
                                                   "program   mean ");
            means[jobs - 1] += mean / 3.0;
        }
    }
    std::printf("A drag step with the start-up trees, mean of three runs of %d each:\n", renders);
    std::printf("  one thread   %8.2f ms\n  two threads  %8.2f ms\n  two over one  %.3f\n", means[0], means[1],
                means[1] / means[0]);
}

}  // namespace

int main(int argc, char** argv) {
    KeepFreedHeapMemory();
    bench::PrepareEnvironment();
    int renders = 30;
    int jobs = 1;
    bool startUpOnly = false;
    bool compareJobs = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--renders") == 0 && i + 1 < argc) {
            renders = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--jobs") == 0 && i + 1 < argc) {
            jobs = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--start-up-only") == 0) {
            startUpOnly = true;
        } else if (std::strcmp(argv[i], "--compare-jobs") == 0) {
            compareJobs = true;
        } else {
            std::fprintf(stderr, "usage: %s [--renders N] [--jobs N] [--start-up-only] [--compare-jobs]\n", argv[0]);
            return 2;
        }
    }
    if (compareJobs) {
        CompareJobs(argv[0], renders);
        return 0;
    }
    const std::unique_ptr<QApplication> application = platform::StartApplication(argc, argv);

    bench::Program program;
    program.Wire();
    program.SetJobs(jobs);
    if (startUpOnly) {
        Print("start-up trees (target tree | evolver's best)", false,
              TimeMoves(program, renders, platform::kMouseLeftButton));
        return 0;
    }
    std::printf("One drag step (a mouse move and the Render() of two partner panels of %d x %d), %d each\n",
                bench::kPanelWidth, bench::kPanelHeight, renders);

    // Empty panels: only the cost of contexts, clearing and read-back.
    const auto evolvedList = program.evolvedView.drawList;
    const auto targetList = program.targetView.drawList;
    program.evolvedView.drawList = {&program.camera};
    program.targetView.drawList = {&program.camera};
    TimeBothWays(program, "camera only", renders);

    program.evolvedView.drawList = evolvedList;
    program.targetView.drawList = targetList;
    TimeBothWays(program, "start-up trees (target tree | evolver's best)", renders);
    Print("start-up trees, a move with no button held", false, TimeMoves(program, renders, 0));

    FullTree full(program.targetTree.genome);
    program.targetView.drawList.back() = &full;
    TimeBothWays(program, "full 3906-segment tree | evolver's best", renders);
    program.evolvedView.drawList.back() = &full;
    TimeBothWays(program, "full 3906-segment trees in both panels", renders);
    return 0;
}
