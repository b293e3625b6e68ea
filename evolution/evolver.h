// The genetic algorithm: it owns the population, the two breeding batches, best and the capture image,
// all made once at construction (the capture at the first training) and afterwards overwritten in place.
// Candidates are scored by drawing them into the attached view and comparing that picture with the target.
#pragma once

#include <memory>

#include "evolution/training_observer.h"
#include "tree/individual.h"

class CEvaluationPool;
class CGLView;
class COffscreenImage;

class CEvolver {
public:
    // Constructs best, then population, scratch, children and mutants, each in index order: the order in
    // which the 276 individuals take their random draws decides which trees a run starts with.
    CEvolver();
    virtual ~CEvolver();

    CEvolver(const CEvolver&) = delete;
    CEvolver& operator=(const CEvolver&) = delete;

    // Remembers the view as the evaluation view and appends best to its draw list.
    void AttachView(CGLView* view);
    // Scores the population against target, runs the generations and reports best's fitness. When the
    // observer asks to stop, the generations end early and best is shown and reported as it stands.
    void Train(int generations);
    // Goes on with a training from the end of generation generationsDone (0: the population has just
    // been scored), with population, best and the random sequence as they stood there, and ends as
    // Train does: a run continued from a saved state draws and scores what the whole run would have.
    void ContinueTraining(int generations, int generationsDone);
    // Stores and returns the fitness of the individual's picture in the view against target: 0 without a
    // target or view (nothing drawn), -1 for no individual (nothing stored).
    double Evaluate(CIndividual* individual);
    void CrossoverStep();
    void MutationStep();
    // Keeps the populationSize best of source[0 .. eliteCount) and the candidates, ascending, in scratch,
    // then makes scratch the population. Equal fitness keeps insertion order: elites, then candidates.
    void Select(CIndividual* source, int eliteCount, CIndividual* candidates, int candidateCount);

    COffscreenImage* target = nullptr;
    std::unique_ptr<COffscreenImage> capture;
    CGLView* view = nullptr;
    std::unique_ptr<CIndividual[]> population;
    std::unique_ptr<CIndividual[]> scratch;
    std::unique_ptr<CIndividual[]> children;
    std::unique_ptr<CIndividual[]> mutants;
    CIndividual best;
    int populationSize = 0;
    int mutantCount = 0;
    int childCount = 0;

    // Follows the trainings; null in the program, which then gets the defaults: the result in the
    // application's message box.
    ITrainingObserver* observer = nullptr;
    // Scores a training's batches on render workers when it has any; without, every candidate is
    // drawn in the view itself. Evaluate on its own always draws in the view.
    CEvaluationPool* evaluationPool = nullptr;

private:
    void EnsureCapture();
    // Evaluates batch[0 .. count) in order; stops early, and remembers it, once the observer asks to.
    void EvaluateInOrder(CIndividual* batch, int count);
    // The same through the pool's workers, whose batch has been started.
    void TakeResultsInOrder(CIndividual* batch, int count);
    // Generations first ... generations, then best shown and reported.
    void RunGenerations(int first, int generations);
    bool Stopping();
    ITrainingObserver& Observer() { return observer != nullptr ? *observer : programObserver; }
    void EnterPhase(EvolverPhase phase) { Observer().OnPhase(phase); }

    ITrainingObserver programObserver;
    bool stopped = false;
};
