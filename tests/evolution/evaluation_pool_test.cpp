// Training on render workers against training in the panel: every fitness, the population it leaves,
// the random draws and the picture it ends with must be the same whatever the number of workers.
#include "evolution/evaluation_pool.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "display/offscreen_image.h"
#include "evolution/fitness_recorder.h"
#include "tests/evolution/individual_checks.h"
#include "tests/evolution/wired_program.h"
#include "tree/random_seam.h"

namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 112;

// Stops once a number of evaluations has been counted.
class StoppingRecorder : public CFitnessRecorder {
public:
    explicit StoppingRecorder(long stopAt) : stopAt(stopAt) {}
    bool StopRequested() override { return static_cast<long>(fitness.size()) >= stopAt; }
    long stopAt;
};

// An individual as plain values: CopyFrom's genome, noise and fitness.
struct Snapshot {
    explicit Snapshot(const CIndividual& individual)
        : fitness(individual.fitness), genome(individual.genome), noise(NoiseValues(individual.noise)) {}
    bool operator==(const Snapshot&) const = default;
    double fitness;
    TreeGenome genome;
    std::vector<double> noise;
};

struct Outcome {
    std::vector<double> fitness;
    std::string result;
    std::vector<Snapshot> population;
    std::vector<Snapshot> children;
    long long draws = 0;
    std::vector<unsigned char> rightPanel;
    int workers = 0;
};

// A fresh program's first training of two generations with the given jobs, stopped after stopAt
// evaluations when that is positive.
Outcome Train(int jobs, long stopAt = 0, CEvaluationPool::ContextMaker maker = nullptr) {
    ResetRandomSequence();
    WiredProgram program(kWidth, kHeight);
    program.SetJobs(jobs);
    if (maker != nullptr) program.evaluationPool.SetContextMaker(maker);
    program.evolvedView.Render();
    std::unique_ptr<COffscreenImage> target = program.targetView.CreateImage(1.0, false);
    program.targetView.Capture(*target);
    program.evolver.target = target.get();
    StoppingRecorder recorder(stopAt > 0 ? stopAt : 1L << 40);
    program.evolver.observer = &recorder;
    program.evolver.Train(2);
    program.evolver.observer = nullptr;
    program.evolver.target = nullptr;

    Outcome outcome;
    outcome.fitness = recorder.fitness;
    outcome.result = recorder.result;
    for (int i = 0; i < program.evolver.populationSize; ++i)
        outcome.population.emplace_back(program.evolver.population[i]);
    for (int i = 0; i < program.evolver.childCount; ++i) outcome.children.emplace_back(program.evolver.children[i]);
    outcome.draws = RandomDrawCount();
    outcome.rightPanel = program.evolvedView.Frame().bgr;
    outcome.workers = program.evaluationPool.WorkerCount();
    return outcome;
}

void ExpectSame(const Outcome& a, const Outcome& b, const std::string& what) {
    EXPECT_EQ(a.fitness, b.fitness) << what;
    EXPECT_EQ(a.result, b.result) << what;
    EXPECT_EQ(a.draws, b.draws) << what;
    EXPECT_TRUE(a.rightPanel == b.rightPanel) << what << ": the right panel ends with another picture";
    // Bit for bit: fitness compared as doubles that must be equal, genomes and noise field by field.
    EXPECT_TRUE(a.population == b.population) << what << ": another population";
    EXPECT_TRUE(a.children == b.children) << what << ": other children";
}

int contextsMade = 0;

// Every second worker's context cannot be made.
platform::GlContext EverySecondContextFails(platform::DrawingSurface* surface) {
    return contextsMade++ % 2 == 1 ? nullptr : platform::KeptGlContext(surface);
}

platform::GlContext NoContext(platform::DrawingSurface*) { return nullptr; }

}  // namespace

TEST(EvaluationPool, TrainingGivesTheSameResultWithOneTwoOrThreeWorkers) {
    const Outcome serial = Train(1);
    ASSERT_EQ(serial.fitness.size(), 50u + 2u * 175u);
    EXPECT_EQ(serial.workers, 0);
    for (int jobs : {2, 3}) {
        const Outcome parallel = Train(jobs);
        EXPECT_EQ(parallel.workers, jobs);
        ExpectSame(parallel, serial, std::to_string(jobs) + " workers");
    }
}

TEST(EvaluationPool, AStopCountsNothingThatTheWorkersScoredAhead) {
    // Among the population's scoring, then among the first generation's children.
    for (long stopAt : {20L, 50L + 70L}) {
        ExpectSame(Train(3, stopAt), Train(1, stopAt), "stopped after " + std::to_string(stopAt));
    }
}

TEST(EvaluationPool, WorkersWhoseContextCannotBeMadeAreLeftOutOnceSaidSo) {
    const Outcome serial = Train(1);

    contextsMade = 0;
    testing::internal::CaptureStderr();
    const Outcome fewer = Train(4, 0, EverySecondContextFails);
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(fewer.workers, 2);
    EXPECT_EQ(errors, "ramulon: only 2 of 4 render workers could be made; training goes on with them\n");
    ExpectSame(fewer, serial, "two of four workers");

    testing::internal::CaptureStderr();
    const Outcome none = Train(3, 0, NoContext);
    errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(none.workers, 0);
    EXPECT_EQ(errors, "ramulon: no render worker could be made; the panel draws every candidate itself\n");
    ExpectSame(none, serial, "no worker");
}
