// The program's way of rendering against the reference it must match byte for byte: a context made
// and deleted for every render, the partner panel drawn on every render whether or not it changed, and
// every segment drawn through GLU's quadric.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "display/offscreen_image.h"
#include "display/orbit_camera.h"
#include "display/platform/geometry.h"
#include "evolution/evolver.h"
#include "tests/support/panel_pair.h"
#include "tree/random_seam.h"
#include "tree/tree_drawing_seam.h"
#include "tree/tree_model.h"

namespace {

// A fresh program's objects in the dialog's order and wiring, at a given panel size.
struct Program {
    Program(int width, int height) : pair(width, height) {
        camera.pose.SetDistance(500);
        camera.lightOn = true;
        pair.right.AppendRenderable(&camera);
        evolver.AttachView(&pair.right);
        pair.left.AppendRenderable(&camera);
        pair.left.AppendRenderable(&tree);
        evolver.showResult = [](QWidget*, const QString&) {};
    }

    void UseReference(bool reference) {
        pair.left.referenceRendering = reference;
        pair.right.referenceRendering = reference;
        UseQuadricCylinders(reference);
    }

    PanelPair pair;
    CTreeModel tree;
    CEvolver evolver;
    COrbitCamera camera;
};

const std::vector<unsigned char>& Pixels(CGLView& view) { return view.Control()->Surface().frame.bgr; }

// Every fitness a training of the given generations computes, in order, on one of the two paths.
std::vector<double> TrainingFitness(bool reference, int generations) {
    ResetRandomSequence();
    Program program(154, 180);
    program.UseReference(reference);
    program.pair.right.Render();
    std::unique_ptr<COffscreenImage> target = program.pair.left.CreateImage(1.0, false);
    program.pair.left.Capture(*target);
    program.evolver.target = target.get();
    std::vector<double> fitness;
    EvolverPhase previous = EvolverPhase::Idle;
    program.evolver.phaseChanged = [&](EvolverPhase phase) {
        // An evaluation goes from comparing to idle with its individual, just scored, last in the draw list.
        if (previous == EvolverPhase::Comparing && phase == EvolverPhase::Idle)
            fitness.push_back(static_cast<const CIndividual*>(program.pair.right.drawList.back())->fitness);
        previous = phase;
    };
    program.evolver.Train(generations);
    program.UseReference(false);
    fitness.push_back(program.evolver.best.fitness);
    return fitness;
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
            program.pair.left.Render();
            if (useReference) {
                reference[0] = Pixels(program.pair.left);
                reference[1] = Pixels(program.pair.right);
            }
        }
        ASSERT_EQ(reference[0].size(), 308u * 361u * 3u) << what << ": no frame was presented";
        EXPECT_TRUE(Pixels(program.pair.left) == reference[0]) << what << ", left panel";
        EXPECT_TRUE(Pixels(program.pair.right) == reference[1]) << what << ", right panel";
        ++scenes;
    };

    compare("start-up target tree and best");
    for (int i = 0; i < program.evolver.populationSize; ++i) {
        program.pair.right.drawList.back() = &program.evolver.population[i];
        compare("population[" + std::to_string(i) + "]");
    }
    program.tree.Randomize();
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
