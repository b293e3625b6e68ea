// Training on render workers against training in the panel: every fitness, the population it leaves,
// the random draws and the picture it ends with must be the same whatever the number of workers.
#include "evolution/evaluation_pool.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
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

// Stops once a number of evaluations has been counted; kills the first worker, as the system's
// out-of-memory killer might, once killAt have been.
class StoppingRecorder : public CFitnessRecorder {
public:
    StoppingRecorder(long stopAt, long killAt, CEvaluationPool& pool) : stopAt(stopAt), killAt(killAt), pool(pool) {}
    bool StopRequested() override {
        if (static_cast<long>(fitness.size()) == killAt && !pool.WorkerPids().empty()) {
            kill(pool.WorkerPids().front(), SIGKILL);
            killAt = -1;
        }
        return static_cast<long>(fitness.size()) >= stopAt;
    }
    long stopAt;
    long killAt;
    CEvaluationPool& pool;
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

struct Faults {
    long killAt = 0;  // evaluations after which a worker is killed; 0 for none
    std::string workerProgram;
    std::vector<std::string> workerEnvironment;
};

// A fresh program's first training of two generations with the given jobs, stopped after stopAt
// evaluations when that is positive.
Outcome Train(int jobs, long stopAt = 0, const Faults& faults = {}) {
    ResetRandomSequence();
    WiredProgram program(kWidth, kHeight);
    program.SetJobs(jobs);
    CEvaluationPool& pool = program.renderer.workers;
    if (!faults.workerProgram.empty()) pool.SetWorkerProgram(faults.workerProgram);
    pool.SetWorkerEnvironment(faults.workerEnvironment);
    const std::unique_ptr<COffscreenImage> target = program.AimAtLeftPanel();
    StoppingRecorder recorder(stopAt > 0 ? stopAt : 1L << 40, faults.killAt, pool);
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
    outcome.workers = pool.MostWorkers();
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

TEST(EvaluationPool, AKilledWorkerCostsNoResultAndIsSaidToBeLost) {
    const Outcome serial = Train(1);
    // Among the population's scoring, and in the second generation's children.
    for (long killAt : {7L, 50L + 175L + 30L}) {
        testing::internal::CaptureStderr();
        Faults faults;
        faults.killAt = killAt;
        const Outcome killed = Train(3, 0, faults);
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_EQ(errors, "ramulon: a render worker was lost (killed by signal 9); its candidates are scored again\n");
        ExpectSame(killed, serial, "a worker killed after " + std::to_string(killAt));
    }
}

TEST(EvaluationPool, WithoutWorkersOrWithAnotherRendererThePanelDrawsEveryCandidateOnceSaidSo) {
    const Outcome serial = Train(1);

    Faults missing;
    missing.workerProgram = "/nonexistent/ramulon-render-worker";
    testing::internal::CaptureStderr();
    const Outcome none = Train(3, 0, missing);
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(none.workers, 0);
    EXPECT_EQ(errors, "ramulon: no render worker could be made; the panel draws every candidate itself\n");
    ExpectSame(none, serial, "no worker");

    // Mesa's other software renderer draws other pixels: its workers must not score.
    Faults other;
    other.workerEnvironment = {"GALLIUM_DRIVER=softpipe"};
    testing::internal::CaptureStderr();
    const Outcome otherRenderer = Train(2, 0, other);
    errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(otherRenderer.workers, 0);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find("ramulon: render workers draw with softpipe"), std::string::npos) << errors;
    ExpectSame(otherRenderer, serial, "workers with another renderer");
}

TEST(EvaluationPool, WorkersStartOnceForTheProgramAndNotForEachTraining) {
    ResetRandomSequence();
    WiredProgram program(kWidth, kHeight);
    program.SetJobs(2);
    CEvaluationPool& pool = program.renderer.workers;
    EXPECT_TRUE(pool.WorkerPids().empty()) << "workers start at the first training, not before";
    const std::unique_ptr<COffscreenImage> target = program.AimAtLeftPanel();
    CFitnessRecorder recorder;
    program.evolver.observer = &recorder;
    program.evolver.Train(0);
    const std::vector<int> first = pool.WorkerPids();
    program.evolver.Train(0);
    program.evolver.observer = nullptr;
    program.evolver.target = nullptr;
    EXPECT_EQ(first.size(), 2u);
    EXPECT_EQ(pool.WorkerPids(), first);
}
