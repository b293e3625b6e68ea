#include "evolve/record/fitness_log.h"

#include <algorithm>

#include "evolution/evolver.h"
#include "evolve/record/number_text.h"

PopulationFitness SummarizePopulation(const CEvolver& evolver) {
    PopulationFitness summary;
    const int count = evolver.populationSize;
    if (count <= 0) return summary;
    std::vector<double> fitness(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) fitness[static_cast<std::size_t>(i)] = evolver.population[i].fitness;
    std::sort(fitness.begin(), fitness.end());
    const std::size_t middle = fitness.size() / 2;
    summary.best = fitness.front();
    summary.worst = fitness.back();
    summary.median = fitness.size() % 2 == 1 ? fitness[middle] : (fitness[middle - 1] + fitness[middle]) / 2.0;
    summary.bestGenome = &evolver.population[FittestIndex(evolver)].genome;
    return summary;
}

int FittestIndex(const CEvolver& evolver) {
    int fittest = 0;
    for (int i = 1; i < evolver.populationSize; ++i)
        if (evolver.population[i].fitness < evolver.population[fittest].fitness) fittest = i;
    return fittest;
}

std::string FitnessCsv(const std::vector<FitnessRow>& rows, bool withGeneDistance) {
    std::string csv = "press,generation,evaluations,seconds,best,median,worst";
    csv += withGeneDistance ? ",gene_distance\n" : "\n";
    for (const FitnessRow& row : rows) {
        csv += std::to_string(row.press) + ',' + std::to_string(row.generation) + ',' +
               std::to_string(row.evaluations) + ',' + FixedNumber(row.seconds, 3) + ',' + FixedNumber(row.best, 10) +
               ',' + FixedNumber(row.median, 10) + ',' + FixedNumber(row.worst, 10);
        if (withGeneDistance) csv += ',' + FixedNumber(row.geneDistance, 10);
        csv += '\n';
    }
    return csv;
}
