// The cost of one Render() of the two partner panels at their real size, as a paint or a mouse move
// pays it: with empty draw lists, with the trees a fresh program starts with, and with full trees of
// 3906 segments. Prints the mean and the fastest of many renders; it does not judge the figures.
#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "bench/bench_program.h"
#include "tree/tree_drawing.h"

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

Timing TimeRenders(CGLView& view, int renders) {
    view.Render();  // the first render of a panel also makes its pbuffer
    double total = 0.0;
    double fastest = 1e9;
    for (int i = 0; i < renders; ++i) {
        const bench::Clock::time_point start = bench::Clock::now();
        view.Render();
        const double seconds = bench::Seconds(bench::Clock::now() - start);
        total += seconds;
        fastest = std::min(fastest, seconds);
    }
    return Timing{total / renders, fastest};
}

void Print(const char* what, const Timing& t) {
    std::printf("  %-52s mean %8.2f ms   fastest %8.2f ms\n", what, 1000.0 * t.mean, 1000.0 * t.fastest);
}

}  // namespace

int main(int argc, char** argv) {
    bench::PrepareEnvironment();
    QApplication application(argc, argv);
    int renders = 30;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--renders") == 0 && i + 1 < argc) {
            renders = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: %s [--renders N]\n", argv[0]);
            return 2;
        }
    }

    bench::Program program;
    program.Wire(program.camera, program.camera, program.targetTree);
    std::printf("One Render() of two partner panels of %d x %d, %d renders each\n", bench::kPanelWidth,
                bench::kPanelHeight, renders);

    // Empty panels: only the cost of contexts, clearing and read-back.
    const auto evolvedList = program.evolvedView.drawList;
    const auto targetList = program.targetView.drawList;
    program.evolvedView.drawList.clear();
    program.targetView.drawList.clear();
    Print("empty draw lists", TimeRenders(program.targetView, renders));

    program.evolvedView.drawList = evolvedList;
    program.targetView.drawList = targetList;
    Print("start-up trees (target tree | evolver's best)", TimeRenders(program.targetView, renders));

    FullTree full(program.targetTree.genome);
    program.targetView.drawList.back() = &full;
    Print("full 3906-segment tree | evolver's best", TimeRenders(program.targetView, renders));
    program.evolvedView.drawList.back() = &full;
    Print("full 3906-segment trees in both panels", TimeRenders(program.targetView, renders));
    return 0;
}
