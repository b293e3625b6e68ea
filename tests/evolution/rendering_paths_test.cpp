// The program's way of rendering against the reference it must match byte for byte: a context made
// and deleted for every render, the partner panel drawn on every render whether or not it changed,
// every segment drawn through GLU's quadric, and everything on one thread.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "display/offscreen_image.h"
#include "display/platform/geometry.h"
#include "evolution/evolver.h"
#include "evolution/fitness_recorder.h"
#include "tests/evolution/wired_program.h"
#include "tree/random_seam.h"
#include "tree/tree_drawing_seam.h"

namespace {

// The wired program, switched as a whole between the program's path and the reference.
struct Program : WiredProgram {
    Program(int width, int height) : WiredProgram(width, height) {}

    // The reference is one thread; the program's path draws both panels of a pair at once, and a
    // training's candidates on three workers.
    void UseReference(bool reference) {
        SetJobs(reference ? 1 : 3);
        targetView.referenceRendering = reference;
        evolvedView.referenceRendering = reference;
        UseQuadricCylinders(reference);
    }
};

const std::vector<unsigned char>& Pixels(CGLView& view) { return view.Frame().bgr; }

// Every fitness a training of the given generations computes, in order, on one of the two paths.
std::vector<double> TrainingFitness(bool reference, int generations) {
    ResetRandomSequence();
    Program program(154, 180);
    program.UseReference(reference);
    const std::unique_ptr<COffscreenImage> target = program.AimAtLeftPanel();
    CFitnessRecorder recorder;
    program.evolver.observer = &recorder;
    program.evolver.Train(generations);
    program.evolver.observer = nullptr;
    program.UseReference(false);
    recorder.fitness.push_back(program.evolver.best.fitness);
    return recorder.fitness;
}

}  // namespace

TEST(RenderingPaths, EveryPictureIsByteIdenticalToTheReferences) {
    ResetRandomSequence();
    Program program(308, 361);
    int scenes = 0;
    const auto compare = [&](const std::string& what) {
        std::vector<unsigned char> reference[2];
        for (bool useReference : {true, false}) {
            program.UseReference(useReference);
            program.targetView.Render();
            if (useReference) {
                reference[0] = Pixels(program.targetView);
                reference[1] = Pixels(program.evolvedView);
            }
        }
        ASSERT_EQ(reference[0].size(), 308u * 361u * 3u) << what << ": no frame was presented";
        EXPECT_TRUE(Pixels(program.targetView) == reference[0]) << what << ", left panel";
        EXPECT_TRUE(Pixels(program.evolvedView) == reference[1]) << what << ", right panel";
        ++scenes;
    };

    compare("start-up target tree and best");
    for (int i = 0; i < program.evolver.populationSize; ++i) {
        program.evolvedView.drawList.back() = &program.evolver.population[i];
        compare("population[" + std::to_string(i) + "]");
    }
    program.targetTree.Randomize();
    compare("randomized target tree");
    for (auto [flags, x, y] : {std::tuple{platform::kMouseLeftButton, 0.5, 0.5},
                               {platform::kMouseLeftButton, 0.7, 0.4},
                               {platform::kMouseRightButton, 0.5, 0.5},
                               {platform::kMouseRightButton, 0.5, 0.3}})
        program.camera.OnMouse(flags, x, y);
    ASSERT_NE(program.camera.pose.Distance(), 500.0);
    compare("turned and zoomed camera");
    EXPECT_EQ(scenes, 53);
    program.UseReference(false);
}

TEST(RenderingPaths, TrainingScoresEveryEvaluationAsTheReferenceDoes) {
    const std::vector<double> reference = TrainingFitness(true, 2);
    const std::vector<double> program = TrainingFitness(false, 2);
    ASSERT_EQ(reference.size(), 50u + 2u * 175u + 1u);
    EXPECT_EQ(program, reference);
}
