// Renders of the right panel, at its real size, with each of the 50 trees a fresh program's population
// starts with: first every cylinder through the GLU quadric, then from the exact arrays, in whole blocks,
// the pair of blocks repeated. Prints the mean time of a render and of the tree's drawing within it, and
// whether both ways gave the same frame for every tree. It does not judge the figures.
#include <GL/gl.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "bench/bench_program.h"
#include "display/platform/application_start.h"
#include "evolution/heap_policy.h"
#include "tree/tree_drawing_seam.h"

namespace {

constexpr int kPopulation = 50;

// Draws the tree it wraps and adds up the time, waiting for the GL to finish so that rasterising the tree
// counts as drawing it.
class TimedTree : public IRenderable {
public:
    void Draw() override {
        const bench::Clock::time_point start = bench::Clock::now();
        tree->Draw();
        glFinish();
        seconds += bench::Seconds(bench::Clock::now() - start);
    }

    IRenderable* tree = nullptr;
    double seconds = 0.0;
};

struct Block {
    double render = 0.0;  // mean of a whole render, in seconds
    double draw = 0.0;    // mean of the tree's drawing within it
    double cpu = 0.0;     // mean processor time of the process per render, the GL's threads included
};

// Processor time is steadier than the clock on a machine that others share.
double ProcessCpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

Block RenderPopulation(bench::Program& program, TimedTree& timed, int rounds,
                       std::vector<std::vector<unsigned char>>* frames) {
    CGLView& view = program.evolvedView;
    timed.seconds = 0.0;
    double total = 0.0;
    const double cpuStart = ProcessCpuSeconds();
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < kPopulation; ++i) {
            timed.tree = &program.evolver.population[i];
            const bench::Clock::time_point start = bench::Clock::now();
            view.Render();
            total += bench::Seconds(bench::Clock::now() - start);
            if (frames != nullptr && round == 0) frames->push_back(view.Frame().bgr);
        }
    }
    const double renders = static_cast<double>(rounds) * kPopulation;
    return Block{total / renders, timed.seconds / renders, (ProcessCpuSeconds() - cpuStart) / renders};
}

}  // namespace

int main(int argc, char** argv) {
    KeepFreedHeapMemory();
    bench::PrepareEnvironment();
    const std::unique_ptr<QApplication> application = platform::StartApplication(argc, argv);
    int rounds = 4;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: %s [--rounds N]\n", argv[0]);
            return 2;
        }
    }

    bench::Program program;
    TimedTree timed;
    program.Wire();
    // Only the right panel renders: the figures are per render of one panel.
    program.evolvedView.partner = nullptr;
    program.targetView.partner = nullptr;
    program.evolvedView.drawList.back() = &timed;
    timed.tree = &program.evolver.population[0];
    program.evolvedView.Render();  // the first render of a panel also makes its pbuffer

    std::printf("Right panel %d x %d, the %d start-up population trees, %d rounds per block\n", bench::kPanelWidth,
                bench::kPanelHeight, kPopulation, rounds);
    std::vector<std::vector<unsigned char>> frames[2];
    for (int pass = 0; pass < 2; ++pass) {
        for (const bool quadric : {true, false}) {
            UseQuadricCylinders(quadric);
            const Block block = RenderPopulation(program, timed, rounds, pass == 0 ? &frames[quadric] : nullptr);
            std::printf("  %-18s render %7.2f ms   tree drawing %7.2f ms   processor time %7.2f ms\n",
                        quadric ? "quadric cylinders" : "array cylinders", 1000.0 * block.render, 1000.0 * block.draw,
                        1000.0 * block.cpu);
        }
    }
    UseQuadricCylinders(false);
    std::printf("Frames of both ways identical for all %d trees: %s\n", kPopulation,
                frames[0] == frames[1] ? "yes" : "NO");
    return frames[0] == frames[1] ? 0 : 1;
}
