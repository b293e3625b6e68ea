#include "evolve/run_observer.h"

#include <cstdio>

#include "evolution/program_objects.h"
#include "evolve/interrupt_request.h"
#include "evolve/record/genome_distance.h"

CRunObserver::CRunObserver(const CProgramObjects& objects, const RunOptions& options, bool withGeneDistance,
                           CProgressMeter& progress)
    : objects(objects), options(options), withGeneDistance(withGeneDistance), progress(progress) {
    const CEvolver& evolver = objects.evolver;
    totalEvaluations = static_cast<long long>(options.presses) *
                       (evolver.populationSize +
                        static_cast<long long>(options.generations) * (evolver.childCount + evolver.mutantCount));
}

void CRunObserver::TakeUp(const std::vector<FitnessRow>& rowsSoFar, long long evaluationsSoFar, double secondsSoFar) {
    rows = rowsSoFar;
    evaluations = startEvaluations = evaluationsSoFar;
    secondsBefore = secondsSoFar;
    start = std::chrono::steady_clock::now();
}

void CRunObserver::StartPress(int pressNumber, int generationsAlreadyDone) {
    press = pressNumber;
    generationsDone = generationsAlreadyDone;
}

double CRunObserver::Seconds() const {
    return secondsBefore + std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void CRunObserver::OnEvaluated(const CIndividual& /*individual*/) {
    ++evaluations;
    progress.Evaluated(Progress());
}

void CRunObserver::OnGeneration(int generation) {
    generationsDone = generation;
    const PopulationFitness summary = SummarizePopulation(objects.evolver);
    FitnessRow row{press, generation, evaluations, Seconds(), summary.best, summary.median, summary.worst};
    if (withGeneDistance && summary.bestGenome != nullptr)
        row.geneDistance = GenomeDistance(*summary.bestGenome, objects.targetTree.genome);
    rows.push_back(row);
    progress.GenerationEnded(Progress());
    if (generationEnded) generationEnded(generation);
}

bool CRunObserver::StopRequested() {
    if (InterruptRequested()) interrupted = true;
    return interrupted || failed;
}

void CRunObserver::OnResult(const std::string& text) {
    if (interrupted || failed) return;
    progress.Finish();
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

ProgressState CRunObserver::Progress() const {
    ProgressState state;
    state.press = press;
    state.presses = options.presses;
    state.generation = generationsDone < 0 ? 0 : generationsDone;
    state.generations = options.generations;
    state.evaluations = evaluations;
    state.totalEvaluations = totalEvaluations;
    state.startEvaluations = startEvaluations;
    state.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.best = rows.empty() ? -1.0 : rows.back().best;
    return state;
}
