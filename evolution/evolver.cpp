#include "evolution/evolver.h"

#include <cassert>
#include <charconv>
#include <map>
#include <string>
#include <utility>

#include "display/gl_view.h"
#include "display/offscreen_image.h"
#include "evolution/evaluation_pool.h"
#include "evolution/image_difference.h"
#include "tree/random_sources.h"

namespace {

constexpr double kMutationStrength = 0.5;

// As %lf writes it, six decimals correctly rounded, but always with a point: the C library's printf
// would follow the user's locale, which Qt has switched to.
std::string ResultText(double fitness) {
    char digits[400];
    const std::to_chars_result end =
        std::to_chars(digits, digits + sizeof digits, fitness, std::chars_format::fixed, 6);
    return "Current best fitness is " + std::string(digits, end.ptr);
}

}  // namespace

CEvolver::CEvolver() : best() {
    view = nullptr;
    populationSize = 50;
    mutantCount = 25;
    childCount = 150;
    // new[] constructs in index order, so the draws run population[0 .. 49], scratch[0 .. 49] and so on.
    population.reset(new CIndividual[populationSize]);
    scratch.reset(new CIndividual[populationSize]);
    children.reset(new CIndividual[childCount]);
    mutants.reset(new CIndividual[mutantCount]);
    target = nullptr;
    capture.reset();
}

CEvolver::~CEvolver() {
    // The arrays go first and in this order; best and then the capture image follow as members.
    population.reset();
    scratch.reset();
    children.reset();
    mutants.reset();
}

void CEvolver::AttachView(CGLView* view) {
    this->view = view;
    if (view != nullptr) view->AppendRenderable(&best);
}

double CEvolver::Evaluate(CIndividual* individual) {
    if (individual == nullptr) return -1.0;
    if (target == nullptr || view == nullptr) {
        individual->fitness = 0.0;
        return 0.0;
    }
    EnterPhase(EvolverPhase::Rendering);
    // Train makes the capture image before its first evaluation; this covers a caller that scores an
    // individual on its own, so that there is always an image to capture into.
    EnsureCapture();
    view->RemoveLastRenderable();
    view->AppendRenderable(individual);
    view->Render();
    EnterPhase(EvolverPhase::Capturing);
    view->Capture(*capture);
    EnterPhase(EvolverPhase::Comparing);
    // The individual stays the last draw-list entry: the next evaluation replaces it, and Train puts
    // best back at the end of each generation.
    individual->fitness = ImageDifference(RowsOf(*target), RowsOf(*capture));
    EnterPhase(EvolverPhase::Idle);
    return individual->fitness;
}

void CEvolver::CrossoverStep() {
    EnterPhase(EvolverPhase::Breeding);
    for (int i = 0; i < childCount; ++i) {
        const int a = RandomDraw() % populationSize;
        // An offset of 1 .. populationSize - 1 from a: never a itself, and every other index is possible.
        const int b = (RandomDraw() % (populationSize - 1) + a + 1) % populationSize;
        const CIndividual& first = population[a];
        const CIndividual& second = population[b];
        // The fitter (lower) parent gets the larger weight and so passes on more of its values.
        children[i].Crossover(first, 1.0 - first.fitness, second, 1.0 - second.fitness);
    }
    EvaluateInOrder(children.get(), childCount);
    // Children left unscored by a stop must not compete with the scored population.
    if (stopped) return;
    EnterPhase(EvolverPhase::Selecting);
    Select(population.get(), populationSize / 5, children.get(), childCount);
    EnterPhase(EvolverPhase::Idle);
}

void CEvolver::MutationStep() {
    EnterPhase(EvolverPhase::Breeding);
    // Parents come from the population that the crossover selection has just produced.
    for (int i = 0; i < mutantCount; ++i)
        mutants[i].MutateFrom(population[RandomDraw() % populationSize], kMutationStrength);
    EvaluateInOrder(mutants.get(), mutantCount);
    if (stopped) return;
    EnterPhase(EvolverPhase::Selecting);
    Select(population.get(), populationSize / 2, mutants.get(), mutantCount);
    EnterPhase(EvolverPhase::Idle);
}

void CEvolver::Select(CIndividual* source, int eliteCount, CIndividual* candidates, int candidateCount) {
    assert(eliteCount + candidateCount >= 1 && "a selection needs at least one elite or candidate");
    assert(source != scratch.get() && candidates != scratch.get() &&
           "select from population and a batch; scratch is overwritten while the map still points into it");
    // multimap places a new key after every equal key already present, so ties keep insertion order:
    // elites before candidates, and lower indices first within each.
    std::multimap<double, CIndividual*> ranking;
    for (int i = 0; i < eliteCount; ++i) ranking.emplace(source[i].fitness, &source[i]);
    for (int i = 0; i < candidateCount; ++i) ranking.emplace(candidates[i].fitness, &candidates[i]);

    best.CopyFrom(*ranking.begin()->second);
    // With fewer entries than the population the walk starts over, repeating the best ones.
    auto entry = ranking.begin();
    for (int i = 0; i < populationSize; ++i) {
        if (entry == ranking.end()) entry = ranking.begin();
        scratch[i].CopyFrom(*entry->second);
        ++entry;
    }
    std::swap(population, scratch);
}

void CEvolver::EnsureCapture() {
    // Made once, at the view's client size and scale 1; every later run reuses it.
    if (!capture) capture = view->CreateImage(1.0, false);
}

void CEvolver::EvaluateInOrder(CIndividual* batch, int count) {
    if (evaluationPool != nullptr && target != nullptr && view != nullptr &&
        evaluationPool->StartBatch(*view, *target, batch, count)) {
        TakeResultsInOrder(batch, count);
        return;
    }
    for (int i = 0; i < count; ++i) {
        Evaluate(&batch[i]);
        Observer().OnEvaluated(batch[i]);
        if (Stopping()) return;
    }
}

void CEvolver::TakeResultsInOrder(CIndividual* batch, int count) {
    for (int i = 0; i < count; ++i) {
        EnterPhase(EvolverPhase::Rendering);
        const CEvaluationPool::Result result = evaluationPool->WaitForResult(i);
        if (result.frame == nullptr) {
            // No worker could score it; the view does, as it does every candidate without workers.
            Evaluate(&batch[i]);
        } else {
            // A candidate's fitness counts only once its turn comes: after a stop, those the workers
            // scored ahead keep the fitness they had, as if they had never been drawn.
            batch[i].fitness = result.fitness;
            // The view ends as an evaluation leaves it: the candidate last in its list, its picture shown.
            view->RemoveLastRenderable();
            view->AppendRenderable(&batch[i]);
            view->ShowRenderedFrame(*result.frame);
            EnterPhase(EvolverPhase::Idle);
        }
        evaluationPool->ResultTaken(i);
        Observer().OnEvaluated(batch[i]);
        if (Stopping()) break;
    }
    evaluationPool->EndBatch();
}

bool CEvolver::Stopping() {
    if (!stopped) stopped = Observer().StopRequested();
    return stopped;
}

void CEvolver::Train(int generations) {
    if (view == nullptr) return;
    stopped = false;
    EnsureCapture();
    // Scored in place, not sorted: a later training's first crossover takes as elites the ten that
    // were best under the previous target.
    EvaluateInOrder(population.get(), populationSize);
    if (!stopped) Observer().OnGeneration(0);
    RunGenerations(1, generations);
}

void CEvolver::ContinueTraining(int generations, int generationsDone) {
    if (view == nullptr) return;
    stopped = false;
    EnsureCapture();
    RunGenerations(generationsDone + 1, generations);
}

void CEvolver::RunGenerations(int first, int generations) {
    for (int generation = first; generation <= generations && !Stopping(); ++generation) {
        CrossoverStep();
        if (!stopped) MutationStep();
        view->RemoveLastRenderable();
        view->AppendRenderable(&best);
        if (!stopped) Observer().OnGeneration(generation);
    }
    // A stop may come while the population is being scored, with a candidate last in the draw list.
    if (stopped) {
        view->RemoveLastRenderable();
        view->AppendRenderable(&best);
    }
    // The stop belongs to this training; a step called on its own later must still select.
    stopped = false;
    EnterPhase(EvolverPhase::Reporting);
    view->Render();
    Observer().OnResult(ResultText(best.fitness));
    EnterPhase(EvolverPhase::Idle);
}
