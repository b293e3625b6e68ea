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
constexpr long long kBreedingDraws = 32 + 3 * 3906;

// Tags ride along in the taper, which Select copies with everything else and nothing in these tests
// changes between tagging and checking.
void Tag(CIndividual* array, int count, double firstTag) {
    for (int i = 0; i < count; ++i) array[i].genome.taper = firstTag + i;
}

double TagOf(const CIndividual& individual) { return individual.genome.taper; }

struct Report {
    int calls = 0;
    QWidget* owner = nullptr;
    QString text;
};

void CaptureReports(CEvolver& evolver, Report& report) {
    evolver.showResult = [&report](QWidget* owner, const QString& text) {
        ++report.calls;
        report.owner = owner;
        report.text = text;
    };
}

}  // namespace

TEST(Evolver, ConstructsBestThenEachArrayInIndexOrder) {
    ResetRandomSequence();
    CEvolver evolver;
    const long long evolverDraws = RandomDrawCount();
    ResetRandomSequence();
    constexpr int kTotal = 1 + 50 + 50 + 150 + 25;
    std::unique_ptr<CIndividual[]> reference(new CIndividual[kTotal]);
    EXPECT_EQ(RandomDrawCount(), evolverDraws);

    EXPECT_EQ(evolver.populationSize, 50);
    EXPECT_EQ(evolver.mutantCount, 25);
    EXPECT_EQ(evolver.childCount, 150);
    EXPECT_EQ(evolver.target, nullptr);
    EXPECT_EQ(evolver.capture, nullptr);
    EXPECT_EQ(evolver.view, nullptr);
    EXPECT_NE(evolver.population.get(), evolver.scratch.get());

    EXPECT_TRUE(SameTree(evolver.best, reference[0]));
    const struct {
        const CIndividual* array;
        int count;
        int first;
    } arrays[] = {{evolver.population.get(), 50, 1},
                  {evolver.scratch.get(), 50, 51},
                  {evolver.children.get(), 150, 101},
                  {evolver.mutants.get(), 25, 251}};
    for (const auto& array : arrays)
        for (int i = 0; i < array.count; ++i)
            EXPECT_TRUE(SameTree(array.array[i], reference[array.first + i])) << "individual " << array.first + i;
}

TEST(Evolver, AttachingAViewAppendsBest) {
    PanelPair pair(8, 8);
    CountingRenderable camera;
    pair.right.AppendRenderable(&camera);
    CEvolver evolver;
    evolver.AttachView(&pair.right);
    EXPECT_EQ(evolver.view, &pair.right);
    EXPECT_EQ(pair.right.drawList, (std::vector<IRenderable*>{&camera, &evolver.best}));
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

    struct Entry {
        double fitness;
        double tag;
    };
    std::vector<Entry> expected;
    for (int i = 0; i < 10; ++i) expected.push_back({population[i].fitness, TagOf(population[i])});
    for (int i = 0; i < 150; ++i) expected.push_back({children[i].fitness, TagOf(children[i])});
    std::stable_sort(expected.begin(), expected.end(),
                     [](const Entry& x, const Entry& y) { return x.fitness < y.fitness; });

    evolver.Select(population, 10, children, 150);

    EXPECT_EQ(evolver.population.get(), scratch);
    EXPECT_EQ(evolver.scratch.get(), population);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(evolver.population[i].fitness, expected[i].fitness) << i;
        EXPECT_EQ(TagOf(evolver.population[i]), expected[i].tag) << i;
        if (i > 0) {
            EXPECT_LE(evolver.population[i - 1].fitness, evolver.population[i].fitness);
        }
    }
    EXPECT_TRUE(SameIndividual(evolver.best, evolver.population[0]));
}

TEST(Evolver, TiesKeepElitesFirstThenIndexOrderAndAShortRankingStartsOver) {
    CEvolver evolver;
    CIndividual* population = evolver.population.get();
    CIndividual* children = evolver.children.get();
    Tag(population, 3, 100);
    Tag(children, 3, 200);
    const double eliteFitness[] = {0.2, 0.1, 0.2};
    const double candidateFitness[] = {0.1, 0.2, 0.1};
    for (int i = 0; i < 3; ++i) {
        population[i].fitness = eliteFitness[i];
        children[i].fitness = candidateFitness[i];
    }

    evolver.Select(population, 3, children, 3);

    const double expectedTags[] = {101, 200, 202, 100, 102, 201};
    for (int i = 0; i < 50; ++i) EXPECT_EQ(TagOf(evolver.population[i]), expectedTags[i % 6]) << i;
    EXPECT_EQ(TagOf(evolver.best), 101);
    EXPECT_EQ(evolver.best.fitness, 0.1);
}

TEST(Evolver, MutationSelectionKeepsEveryMutantWhateverItsFitness) {
    struct Case {
        const char* what;
        double mutantFitness;
        std::vector<double> expectedTags;  // 0 .. 24 elites, 100 .. 124 mutants
    };
    std::vector<double> elitesThenMutants, firstEliteThenMutants;
    for (int i = 0; i < 25; ++i) elitesThenMutants.push_back(i);
    for (int i = 0; i < 25; ++i) elitesThenMutants.push_back(100 + i);
    firstEliteThenMutants.push_back(0);
    for (int i = 0; i < 25; ++i) firstEliteThenMutants.push_back(100 + i);
    for (int i = 1; i < 25; ++i) firstEliteThenMutants.push_back(i);
    const Case cases[] = {
        {"worse than every elite", kWorstFitness, elitesThenMutants},
        {"equal to the worst elite", 24 / 1000.0, elitesThenMutants},
        {"equal to the best elite", 0.0, firstEliteThenMutants},
    };
    for (const Case& k : cases) {
        CEvolver evolver;
        Tag(evolver.population.get(), 50, 0);
        Tag(evolver.mutants.get(), 25, 100);
        for (int i = 0; i < 50; ++i) evolver.population[i].fitness = i / 1000.0;
        for (int i = 0; i < 25; ++i) evolver.mutants[i].fitness = k.mutantFitness;

        evolver.Select(evolver.population.get(), 25, evolver.mutants.get(), 25);

        for (int i = 0; i < 50; ++i) EXPECT_EQ(TagOf(evolver.population[i]), k.expectedTags[i]) << k.what << ", " << i;
    }
}

TEST(Evolver, CrossoverTakesItsTwoParentsFromTheFirstTwoDraws) {
    struct Case {
        int firstDraw, secondDraw;
        int a, b;
    };
    // b = (second % 49 + a + 1) % 50 with a = first % 50: the offset never brings b back to a.
    const Case cases[] = {{0, 48, 0, 49}, {49, 0, 49, 0}, {32767, 32767, 17, 3}, {25, 24, 25, 0}, {1, 49, 1, 2}};
    CEvolver evolver;
    for (const Case& k : cases) {
        ScriptRandomDraws({k.firstDraw, k.secondDraw});
        evolver.CrossoverStep();
        // The selection has exchanged the arrays; the parents are untouched in scratch.
        const CIndividual& a = evolver.scratch[k.a];
        const CIndividual& b = evolver.scratch[k.b];
        EXPECT_TRUE(EveryValueFromEither(evolver.children[0], a, b)) << k.firstDraw << ", " << k.secondDraw;
        EXPECT_FALSE(SameTree(evolver.children[0], a));
        EXPECT_FALSE(SameTree(evolver.children[0], b));
    }
}

TEST(Evolver, CrossoverStepWithoutTargetKeepsTheElitesThenTheFirstChildren) {
    CEvolver evolver;
    ResetRandomSequence();
    evolver.CrossoverStep();
    EXPECT_EQ(RandomDrawCount(), 150 * (2 + kBreedingDraws));

    const CIndividual* before = evolver.scratch.get();
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(SameIndividual(evolver.population[i], before[i])) << i;
    for (int i = 10; i < 50; ++i) EXPECT_TRUE(SameIndividual(evolver.population[i], evolver.children[i - 10])) << i;
    for (int i = 0; i < 150; ++i) {
        EXPECT_EQ(evolver.children[i].fitness, 0.0);
        // A child of two different parents copies neither of them.
        for (int j = 0; j < 50; ++j) EXPECT_FALSE(SameTree(evolver.children[i], before[j])) << i << " from " << j;
    }
    EXPECT_TRUE(SameIndividual(evolver.best, evolver.population[0]));
}

TEST(Evolver, MutationStepWithoutTargetKeepsTheBetterHalfThenEveryMutant) {
    CEvolver evolver;
    ResetRandomSequence();
    evolver.MutationStep();
    EXPECT_EQ(RandomDrawCount(), 25 * (1 + kBreedingDraws));

    const CIndividual* before = evolver.scratch.get();
    for (int i = 0; i < 25; ++i) EXPECT_TRUE(SameIndividual(evolver.population[i], before[i])) << i;
    for (int i = 0; i < 25; ++i) EXPECT_TRUE(SameIndividual(evolver.population[25 + i], evolver.mutants[i])) << i;
}

TEST(Evolver, EvaluatingNoIndividualReturnsMinusOneAndTouchesNothing) {
    PanelPair pair(8, 8);
    CountingRenderable camera;
    pair.right.AppendRenderable(&camera);
    CEvolver evolver;
    evolver.AttachView(&pair.right);
    COffscreenImage target;
    target.Create(8, 8, 24);
    evolver.target = &target;

    EXPECT_EQ(evolver.Evaluate(nullptr), -1.0);
    EXPECT_EQ(pair.right.drawList, (std::vector<IRenderable*>{&camera, &evolver.best}));
    EXPECT_EQ(camera.draws, 0);
    EXPECT_EQ(evolver.capture, nullptr);
}

TEST(Evolver, EvaluatingWithoutTargetOrViewStoresZeroAndDrawsNothing) {
    PanelPair pair(8, 8);
    CountingRenderable camera;
    pair.right.AppendRenderable(&camera);
    COffscreenImage target;
    target.Create(8, 8, 24);
    for (const bool withTarget : {false, true}) {
        CEvolver evolver;
        if (withTarget)
            evolver.target = &target;
        else
            evolver.AttachView(&pair.right);
        const std::vector<IRenderable*> listBefore = pair.right.drawList;
        CIndividual& individual = evolver.population[7];
        individual.fitness = 0.25;

        EXPECT_EQ(evolver.Evaluate(&individual), 0.0);
        EXPECT_EQ(individual.fitness, 0.0);
        EXPECT_EQ(pair.right.drawList, listBefore);
        EXPECT_EQ(camera.draws, 0);
        pair.right.drawList = {&camera};
    }
}

TEST(Evolver, TrainingWithoutViewDoesNothing) {
    CEvolver evolver;
    COffscreenImage target;
    target.Create(8, 8, 24);
    evolver.target = &target;
    Report report;
    CaptureReports(evolver, report);
    for (int i = 0; i < 50; ++i) evolver.population[i].fitness = 0.001 * i;
    CIndividual* population = evolver.population.get();
    ResetRandomSequence();

    evolver.Train(2);

    EXPECT_EQ(report.calls, 0);
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
    Report report;
    CaptureReports(evolver, report);
    ResetRandomSequence();

    evolver.Train(1);

    EXPECT_EQ(RandomDrawCount(), 150 * (2 + kBreedingDraws) + 25 * (1 + kBreedingDraws));
    // Evaluations without a target render nothing; only the closing render draws the panel.
    EXPECT_EQ(camera.draws, 1);
    EXPECT_EQ(pair.right.drawList, (std::vector<IRenderable*>{&camera, &evolver.best}));
    EXPECT_EQ(report.calls, 1);
    EXPECT_EQ(report.text, QStringLiteral("Current best fitness is 0.000000"));
    EXPECT_EQ(report.owner, &pair.host);
    EXPECT_TRUE(SameIndividual(evolver.best, evolver.population[0]));
    EXPECT_NE(evolver.capture, nullptr);
}

TEST(Evolver, TrainingNoGenerationsReportsTheFitnessBestStartsWith) {
    PanelPair pair(8, 8);
    CEvolver evolver;
    evolver.AttachView(&pair.right);
    Report report;
    CaptureReports(evolver, report);
    for (const int generations : {0, -3}) {
        ResetRandomSequence();
        evolver.Train(generations);
        EXPECT_EQ(RandomDrawCount(), 0) << generations;
        EXPECT_EQ(report.text, QStringLiteral("Current best fitness is 0.000000")) << generations;
    }
    EXPECT_EQ(report.calls, 2);
}
