// Follows the evolver through a run's presses: counts the evaluations, keeps a fitness row for every
// generation, draws the progress line, passes a stop request on, prints each press's result line, and
// tells the press loop when a generation has ended, so that it can take a checkpoint there.
#pragma once

#include <chrono>
#include <functional>
#include <vector>

#include "evolution/training_observer.h"
#include "evolve/progress_meter.h"
#include "evolve/record/fitness_log.h"
#include "evolve/record/run_options.h"

class CProgramObjects;

class CRunObserver : public ITrainingObserver {
public:
    // withGeneDistance: the target is the left panel's tree, so the best genome's distance to it counts.
    CRunObserver(const CProgramObjects& objects, const RunOptions& options, bool withGeneDistance,
                 CProgressMeter& progress);

    // Where the run stands when this process takes it up: the rows written, the evaluations done and
    // the seconds of work behind them.
    void TakeUp(const std::vector<FitnessRow>& rowsSoFar, long long evaluationsSoFar, double secondsSoFar);
    void StartPress(int pressNumber, int generationsAlreadyDone);
    // Ends the training after the current evaluation, as a stop request does, but for a failure.
    void StopForFailure() { failed = true; }
    // Seconds of work on the run, over every process that took part.
    double Seconds() const;

    void OnEvaluated(const CIndividual& individual) override;
    void OnGeneration(int generation) override;
    bool StopRequested() override;
    // The result line goes to standard output; the message box would wait for someone to close it.
    void OnResult(const std::string& text) override;

    std::function<void(int generation)> generationEnded;
    std::vector<FitnessRow> rows;
    long long evaluations = 0;
    int press = 0;
    int generationsDone = -1;  // of the press under way
    bool interrupted = false;

private:
    ProgressState Progress() const;

    const CProgramObjects& objects;
    RunOptions options;
    bool withGeneDistance;
    CProgressMeter& progress;
    long long totalEvaluations = 0;
    long long startEvaluations = 0;
    double secondsBefore = 0.0;
    bool failed = false;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};
