#include "evolution/evolver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "display/offscreen_image.h"
#include "evolution/image_difference.h"
#include "tests/evolution/individual_checks.h"
#include "tests/support/panel_pair.h"
#include "tree/random_seam.h"

namespace {

// Draws one crossover or one mutation makes besides choosing its parents.
constexpr long long kBreedingDraws = kGenomeDraws + kNoiseDraws;

// Tags ride along in the taper, which Select copies with everything else and nothing in these tests
// changes between tagging and checking.
void Tag(CIndividual* array, int count, double firstTag) {
    for (int i = 0; i < count; ++i) array[i].genome.taper = firstTag + i;
}

double TagOf(const CIndividual& individual) { return individual.genome.taper; }

// Keeps the result texts that would go to the message box.
class ResultLog : public ITrainingObserver {
public:
    void OnResult(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

}  // namespace

TEST(Evolver, ConstructsBestThenEachArrayInIndexOrder) {
    ResetRandomSequence();
    CEvolver evolver;
    const long long evolverDraws = RandomDrawCount();
    ResetRandomSequence();
    std::unique_ptr<CIndividual[]> reference(new CIndividual[1 + 50 + 50 + 150 + 25]);
    EXPECT_EQ(RandomDrawCount(), evolverDraws);

    EXPECT_EQ(evolver.populationSize, 50);
    EXPECT_EQ(evolver.mutantCount, 25);
    EXPECT_EQ(evolver.childCount, 150);
    EXPECT_EQ(evolver.target, nullptr);
    EXPECT_NE(evolver.population.get(), evolver.scratch.get());
    const struct {
        const CIndividual* array;
        int count;
    } arrays[] = {{&evolver.best, 1},
                  {evolver.population.get(), 50},
                  {evolver.scratch.get(), 50},
                  {evolver.children.get(), 150},
                  {evolver.mutants.get(), 25}};
    int next = 0;
    for (const auto& array : arrays)
        for (int i = 0; i < array.count; ++i, ++next)
            EXPECT_TRUE(SameTree(array.array[i], reference[next])) << "individual " << next;
}

TEST(Evolver, SelectionKeepsTheFittestInAscendingOrderAndCopiesTheFirstIntoBest) {
    CEvolver evolver;
    CIndividual* population = evolver.population.get();
    CIndividual* children = evolver.children.get();
    CIndividual* scratch = evolver.scratch.get();
    Tag(population, 50, 1000);
    Tag(children, 150, 2000);
    // Children at k / 600 tie with elites at m / 200 wherever k = 3m.
    for (int i = 0; i < 50; ++i) population[i].fitness = (i * 37 % 50) / 200.0;
    for (int i = 0; i < 150; ++i) children[i].fitness = (i * 53 % 150) / 600.0;
    std::vector<std::pair<double, double>> expected;  // fitness and tag
    for (int i = 0; i < 10; ++i) expected.push_back({population[i].fitness, TagOf(population[i])});
    for (int i = 0; i < 150; ++i) expected.push_back({children[i].fitness, TagOf(children[i])});
    std::stable_sort(expected.begin(), expected.end(), [](auto& x, auto& y) { return x.first < y.first; });

    evolver.Select(population, 10, children, 150);

    EXPECT_EQ(evolver.population.get(), scratch);
    EXPECT_EQ(evolver.scratch.get(), population);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(evolver.population[i].fitness, expected[i].first) << i;
        EXPECT_EQ(TagOf(evolver.population[i]), expected[i].second) << i;
    }
    EXPECT_TRUE(SameIndividual(evolver.best, evolver.population[0]));
}

TEST(Evolver, TiesKeepElitesFirstThenIndexOrderAndAShortRankingStartsOver) {
    CEvolver evolver;
    Tag(evolver.population.get(), 3, 100);
    Tag(evolver.children.get(), 3, 200);
    const double eliteFitness[] = {0.2, 0.1, 0.2}, candidateFitness[] = {0.1, 0.2, 0.1};
    for (int i = 0; i < 3; ++i) {
        evolver.population[i].fitness = eliteFitness[i];
        evolver.children[i].fitness = candidateFitness[i];
    }

    evolver.Select(evolver.population.get(), 3, evolver.children.get(), 3);

    const double expectedTags[] = {101, 200, 202, 100, 102, 201};
    for (int i = 0; i < 50; ++i) EXPECT_EQ(TagOf(evolver.population[i]), expectedTags[i % 6]) << i;
    EXPECT_EQ(TagOf(evolver.best), 101);
    EXPECT_EQ(evolver.best.fitness, 0.1);
}

TEST(Evolver, MutationSelectionKeepsEveryMutantWhateverItsFitness) {
    // Elites are tagged 0 .. 24 with fitness i / 1000, mutants 100 .. 124.
    const struct {
        const char* what;
        double mutantFitness;
        int firstMutant;  // where the mutants come in the new population
    } cases[] = {{"worse than every elite", kWorstFitness, 25},
                 {"equal to the worst elite", 24 / 1000.0, 25},
                 {"equal to the best elite", 0.0, 1}};
    for (const auto& c : cases) {
        CEvolver evolver;
        Tag(evolver.population.get(), 50, 0);
        Tag(evolver.mutants.get(), 25, 100);
        for (int i = 0; i < 50; ++i) evolver.population[i].fitness = i / 1000.0;
        for (int i = 0; i < 25; ++i) evolver.mutants[i].fitness = c.mutantFitness;

        evolver.Select(evolver.population.get(), 25, evolver.mutants.get(), 25);

        for (int i = 0; i < 50; ++i) {
            const int m = c.firstMutant;
            const double expected = i < m ? i : i < m + 25 ? 100 + i - m : i - 25;
            EXPECT_EQ(TagOf(evolver.population[i]), expected) << c.what << ", " << i;
        }
    }
}

TEST(Evolver, CrossoverTakesItsTwoParentsFromTheFirstTwoDraws) {
    const struct {
        int firstDraw, secondDraw;
        int a, b;
    } cases[] = {{0, 48, 0, 49}, {49, 0, 49, 0}, {32767, 32767, 17, 3}, {25, 24, 25, 0}, {1, 49, 1, 2}};
    // b = (second % 49 + a + 1) % 50 with a = first % 50: the offset never brings b back to a.
    CEvolver evolver;
    for (const auto& c : cases) {
        ScriptRandomDraws({c.firstDraw, c.secondDraw});
        evolver.CrossoverStep();
        // The selection has exchanged the arrays; the parents are untouched in scratch.
        const CIndividual& a = evolver.scratch[c.a];
        const CIndividual& b = evolver.scratch[c.b];
        EXPECT_TRUE(EveryValueFromEither(evolver.children[0], a, b)) << c.firstDraw << ", " << c.secondDraw;
        EXPECT_FALSE(SameTree(evolver.children[0], a));
        EXPECT_FALSE(SameTree(evolver.children[0], b));
    }
}

TEST(Evolver, StepsWithoutTargetKeepTheElitesThenTheFirstNewIndividualsWhichCopyNoParent) {
    const struct {
        const char* what;
        void (CEvolver::*step)();
        std::unique_ptr<CIndividual[]> CEvolver::*batch;
        int batchSize;
        int elites;
        long long parentDraws;
    } cases[] = {{"crossover", &CEvolver::CrossoverStep, &CEvolver::children, 150, 10, 2},
                 {"mutation", &CEvolver::MutationStep, &CEvolver::mutants, 25, 25, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CEvolver evolver;
        ResetRandomSequence();
        (evolver.*c.step)();
        EXPECT_EQ(RandomDrawCount(), c.batchSize * (c.parentDraws + kBreedingDraws));
        const CIndividual* before = evolver.scratch.get();
        const CIndividual* batch = (evolver.*c.batch).get();
        for (int i = 0; i < 50; ++i)
            EXPECT_TRUE(SameIndividual(evolver.population[i], i < c.elites ? before[i] : batch[i - c.elites])) << i;
        for (int i = 0; i < c.batchSize; ++i) {
            EXPECT_EQ(batch[i].fitness, 0.0);
            for (int j = 0; j < 50; ++j) EXPECT_FALSE(SameTree(batch[i], before[j])) << i << " from " << j;
        }
        EXPECT_TRUE(SameIndividual(evolver.best, evolver.population[0]));
    }
}

TEST(Evolver, AttachingAViewAppendsBestAndEvaluatingWithoutIndividualTargetOrViewDrawsNothing) {
    PanelPair pair(8, 8);
    CountingRenderable camera;
    COffscreenImage target;
    target.Create(8, 8, 24);
    const struct {
        const char* what;
        bool withIndividual, withTarget, withView;
        double expected;  // -1 stores nothing, 0 is stored
    } cases[] = {{"no individual", false, true, true, -1.0},
                 {"no target", true, false, true, 0.0},
                 {"no view", true, true, false, 0.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        pair.right.drawList = {&camera};
        CEvolver evolver;
        if (c.withTarget) evolver.target = &target;
        if (c.withView) evolver.AttachView(&pair.right);
        EXPECT_EQ(evolver.view, c.withView ? &pair.right : nullptr);
        const std::vector<IRenderable*> listBefore = pair.right.drawList;
        const std::vector<IRenderable*> attached = {&camera, &evolver.best}, alone = {&camera};
        EXPECT_EQ(listBefore, c.withView ? attached : alone);
        CIndividual& individual = evolver.population[7];
        individual.fitness = 0.25;
        EXPECT_EQ(evolver.Evaluate(c.withIndividual ? &individual : nullptr), c.expected);
        EXPECT_EQ(individual.fitness, c.withIndividual ? 0.0 : 0.25);
        EXPECT_EQ(pair.right.drawList, listBefore);
        EXPECT_EQ(camera.draws, 0);
        EXPECT_EQ(evolver.capture, nullptr);
    }
}

TEST(Evolver, TrainingWithoutViewDoesNothing) {
    CEvolver evolver;
    COffscreenImage target;
    target.Create(8, 8, 24);
    evolver.target = &target;
    ResultLog results;
    evolver.observer = &results;
    const std::vector<std::string>& reports = results.texts;
    for (int i = 0; i < 50; ++i) evolver.population[i].fitness = 0.001 * i;
    CIndividual* population = evolver.population.get();
    ResetRandomSequence();

    evolver.Train(2);

    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(RandomDrawCount(), 0);
    EXPECT_EQ(evolver.capture, nullptr);
    EXPECT_EQ(evolver.population.get(), population);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(evolver.population[i].fitness, 0.001 * i);
}

TEST(Evolver, TrainingWithoutTargetRunsItsGenerationsAndReportsZero) {
    PanelPair pair(24, 24);
    CountingRenderable camera;
    pair.right.AppendRenderable(&camera);
    CEvolver evolver;
    evolver.AttachView(&pair.right);
    ResultLog results;
    evolver.observer = &results;
    const std::vector<std::string>& reports = results.texts;
    ResetRandomSequence();

    evolver.Train(1);

    EXPECT_EQ(RandomDrawCount(), 150 * (2 + kBreedingDraws) + 25 * (1 + kBreedingDraws));
    // Evaluations without a target render nothing; only the closing render draws the panel.
    EXPECT_EQ(camera.draws, 1);
    EXPECT_EQ(pair.right.drawList, (std::vector<IRenderable*>{&camera, &evolver.best}));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Current best fitness is 0.000000");
    EXPECT_TRUE(SameIndividual(evolver.best, evolver.population[0]));
    EXPECT_NE(evolver.capture, nullptr);
}

TEST(Evolver, TrainingNoGenerationsReportsTheFitnessBestStartsWith) {
    PanelPair pair(8, 8);
    CEvolver evolver;
    evolver.AttachView(&pair.right);
    ResultLog results;
    evolver.observer = &results;
    const std::vector<std::string>& reports = results.texts;
    for (const int generations : {0, -3}) {
        ResetRandomSequence();
        evolver.Train(generations);
        EXPECT_EQ(RandomDrawCount(), 0) << generations;
    }
    ASSERT_EQ(reports.size(), 2u);
    for (const std::string& report : reports) EXPECT_EQ(report, "Current best fitness is 0.000000");
}
