// Evaluation and training through real panels: a target tree in the left panel, the evolver's candidates
// in the right one, both seen through one camera, as in the main dialog but at a small size so that the
// few hundred renders stay quick.
#include <gtest/gtest.h>

#include <QString>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "display/offscreen_image.h"
#include "display/orbit_camera.h"
#include "evolution/evolver.h"
#include "evolution/image_difference.h"
#include "tests/evolution/individual_checks.h"
#include "tests/evolution/wired_program.h"
#include "tree/tree_model.h"

namespace {

bool Ascending(const CEvolver& evolver) {
    for (int i = 1; i < evolver.populationSize; ++i)
        if (evolver.population[i - 1].fitness > evolver.population[i].fitness) return false;
    return true;
}

bool AnyCopyOf(const CIndividual& individual, const CIndividual* array, int count) {
    return std::any_of(array, array + count,
                       [&](const CIndividual& other) { return SameIndividual(individual, other); });
}

// Keeps every result text, and best's fitness each time the evolver leaves a selection.
class Reporter : public ITrainingObserver {
public:
    explicit Reporter(const CEvolver& evolver) : evolver(evolver) {}
    void OnPhase(EvolverPhase phase) override {
        if (previous == EvolverPhase::Selecting) bestAfterSelection.push_back(evolver.best.fitness);
        previous = phase;
    }
    void OnResult(const std::string& text) override { reports.push_back(text); }

    const CEvolver& evolver;
    EvolverPhase previous = EvolverPhase::Idle;
    std::vector<double> bestAfterSelection;
    std::vector<std::string> reports;
};

std::string ResultOf(double fitness) { return QString::asprintf("Current best fitness is %lf", fitness).toStdString(); }

class EvolverTraining : public testing::Test, protected WiredProgram {
protected:
    EvolverTraining() : WiredProgram(40, 40) {
        evolver.observer = &reporter;
        evolvedView.Render();
        target = CaptureLeft();
        evolver.target = target.get();
    }

    std::unique_ptr<COffscreenImage> CaptureLeft() {
        std::unique_ptr<COffscreenImage> image = targetView.CreateImage(1.0, false);
        targetView.Capture(*image);
        return image;
    }

    Reporter reporter{evolver};
    std::vector<std::string>& reports = reporter.reports;
    std::unique_ptr<COffscreenImage> target;
};

}  // namespace

TEST_F(EvolverTraining, TheTargetsOwnTreeScoresZeroAndAnotherTreeMore) {
    CIndividual& twin = evolver.mutants[0];
    twin.genome = targetTree.genome;
    for (int node = 0; node < twin.noise.Count(); ++node) twin.noise[node] = targetTree.noise[node];
    EXPECT_EQ(evolver.Evaluate(&twin), 0.0);
    EXPECT_EQ(evolvedView.drawList, (std::vector<IRenderable*>{&camera, &twin}));
    ASSERT_NE(evolver.capture, nullptr);
    EXPECT_EQ(evolver.capture->Width(), 40);
    EXPECT_EQ(evolver.capture->Height(), 40);

    CIndividual& other = evolver.population[0];
    const double fitness = evolver.Evaluate(&other);
    EXPECT_EQ(other.fitness, fitness);
    EXPECT_GT(fitness, 0.0);
    EXPECT_LE(fitness, kWorstFitness);
    EXPECT_EQ(evolvedView.drawList, (std::vector<IRenderable*>{&camera, &other}));
    EXPECT_EQ(evolver.Evaluate(&other), fitness);
}

TEST_F(EvolverTraining, OneGenerationKeepsThePopulationSortedAndBestNeverWorse) {
    for (int i = 0; i < 50; ++i) evolver.Evaluate(&evolver.population[i]);

    evolver.CrossoverStep();
    const CIndividual* elites = evolver.scratch.get();
    const CIndividual* children = evolver.children.get();
    EXPECT_TRUE(Ascending(evolver));
    EXPECT_TRUE(SameIndividual(evolver.best, evolver.population[0]));
    double lowest = elites[0].fitness;
    for (int i = 0; i < 10; ++i) lowest = std::min(lowest, elites[i].fitness);
    for (int i = 0; i < 150; ++i) lowest = std::min(lowest, children[i].fitness);
    EXPECT_EQ(evolver.best.fitness, lowest);
    for (int i = 0; i < 50; ++i) {
        const CIndividual& member = evolver.population[i];
        EXPECT_TRUE(AnyCopyOf(member, elites, 10) || AnyCopyOf(member, children, 150)) << i;
    }
    for (int i = 0; i < 150; ++i)
        for (int j = 0; j < 50; ++j) EXPECT_FALSE(SameTree(children[i], elites[j])) << i << " copies parent " << j;
    const double bestAfterCrossover = evolver.best.fitness;

    evolver.MutationStep();
    const CIndividual* crossed = evolver.scratch.get();
    EXPECT_TRUE(Ascending(evolver));
    EXPECT_TRUE(SameIndividual(evolver.best, evolver.population[0]));
    EXPECT_LE(evolver.best.fitness, bestAfterCrossover);
    for (int i = 0; i < 25; ++i) EXPECT_TRUE(AnyCopyOf(evolver.mutants[i], evolver.population.get(), 50)) << i;
    for (int i = 0; i < 50; ++i) {
        const CIndividual& member = evolver.population[i];
        EXPECT_TRUE(AnyCopyOf(member, crossed, 25) || AnyCopyOf(member, evolver.mutants.get(), 25)) << i;
    }
    EXPECT_EQ(evolvedView.drawList, (std::vector<IRenderable*>{&camera, &evolver.mutants[24]}));
}

TEST_F(EvolverTraining, TrainingTwiceReusesTheCaptureAndRescoresThePopulationFirst) {
    evolver.Train(1);

    const std::vector<double>& bestAfterSelection = reporter.bestAfterSelection;
    ASSERT_EQ(bestAfterSelection.size(), 2u);
    EXPECT_LE(bestAfterSelection[1], bestAfterSelection[0]);
    EXPECT_EQ(evolvedView.drawList, (std::vector<IRenderable*>{&camera, &evolver.best}));
    EXPECT_TRUE(Ascending(evolver));
    EXPECT_TRUE(SameIndividual(evolver.best, evolver.population[0]));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], ResultOf(evolver.best.fitness));
    ASSERT_NE(evolver.capture, nullptr);
    const COffscreenImage* capture = evolver.capture.get();

    // A new target: the left panel without its tree.
    targetView.RemoveLastRenderable();
    evolvedView.Render();
    target = CaptureLeft();
    evolver.target = target.get();
    std::vector<TreeGenome> genomes;
    std::vector<double> oldFitness;
    for (int i = 0; i < 50; ++i) {
        genomes.push_back(evolver.population[i].genome);
        oldFitness.push_back(evolver.population[i].fitness);
    }

    evolver.Train(0);

    EXPECT_EQ(evolver.capture.get(), capture);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1], reports[0]);
    EXPECT_EQ(evolvedView.drawList, (std::vector<IRenderable*>{&camera, &evolver.population[49]}));
    int changed = 0;
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(evolver.population[i].genome, genomes[i]) << "rescoring must not reorder, " << i;
        changed += evolver.population[i].fitness != oldFitness[i];
    }
    EXPECT_GT(changed, 0);
    for (const int i : {0, 49}) {
        const double stored = evolver.population[i].fitness;
        EXPECT_EQ(evolver.Evaluate(&evolver.population[i]), stored) << i;
    }
}

namespace {

// Stops once a given number of evaluations has been made, and keeps best as each generation left it.
class StopAfterEvaluations : public Reporter {
public:
    StopAfterEvaluations(const CEvolver& evolver, long stopAt) : Reporter(evolver), stopAt(stopAt) {}
    void OnEvaluated(const CIndividual&) override { ++evaluations; }
    void OnGeneration(int generation) override {
        generations.push_back(generation);
        bestFitness = evolver.best.fitness;
        bestGenome = evolver.best.genome;
    }
    bool StopRequested() override { return evaluations >= stopAt; }

    long stopAt;
    long evaluations = 0;
    std::vector<int> generations;
    double bestFitness = -1.0;
    TreeGenome bestGenome;
};

}  // namespace

TEST_F(EvolverTraining, AStopEndsTheTrainingAfterTheCurrentEvaluationWithBestFromTheLastGeneration) {
    struct Case {
        const char* when;
        long stopAt;
        std::vector<int> generations;
    };
    // 50 scorings of the population, then 150 children and 25 mutants per generation.
    const Case cases[] = {
        {"while the population is scored", 30, {}},
        {"among the first generation's children", 50 + 100, {0}},
        {"among the second generation's mutants", 50 + 175 + 160, {0, 1}},
    };
    for (const Case& c : cases) {
        const double bestBefore = evolver.best.fitness;
        const TreeGenome genomeBefore = evolver.best.genome;
        StopAfterEvaluations stopper(evolver, c.stopAt);
        evolver.observer = &stopper;

        evolver.Train(5);
        const std::vector<std::string>& reports = stopper.reports;

        EXPECT_EQ(stopper.evaluations, c.stopAt) << c.when;
        EXPECT_EQ(stopper.generations, c.generations) << c.when;
        if (c.generations.empty()) {
            EXPECT_EQ(evolver.best.fitness, bestBefore) << c.when;
            EXPECT_EQ(evolver.best.genome, genomeBefore) << c.when;
        } else if (c.stopAt < 50 + static_cast<long>(c.generations.back()) * 175 + 150) {
            // Stopped among the children: no selection since the last generation.
            EXPECT_EQ(evolver.best.fitness, stopper.bestFitness) << c.when;
            EXPECT_EQ(evolver.best.genome, stopper.bestGenome) << c.when;
        } else {
            // The children's selection ran; only the mutants' was left out.
            EXPECT_LE(evolver.best.fitness, stopper.bestFitness) << c.when;
        }
        if (c.generations.size() >= 2) {
            EXPECT_TRUE(Ascending(evolver)) << c.when;
        }
        EXPECT_EQ(evolvedView.drawList, (std::vector<IRenderable*>{&camera, &evolver.best})) << c.when;
        ASSERT_EQ(reports.size(), 1u) << c.when;
        EXPECT_EQ(reports[0], ResultOf(evolver.best.fitness)) << c.when;
        evolver.observer = &reporter;
    }
}
