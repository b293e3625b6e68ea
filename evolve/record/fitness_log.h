// The fitness of a run, generation by generation: what fitness.csv holds and fitness.png shows.
// Generation 0 of a press is its population scored against the new target, before any breeding.
#pragma once

#include <string>
#include <vector>

class CEvolver;
struct TreeGenome;

struct FitnessRow {
    int press = 0;
    int generation = 0;
    long long evaluations = 0;  // of the whole run so far
    double seconds = 0.0;       // since the run started
    double best = 0.0;
    double median = 0.0;
    double worst = 0.0;
    double geneDistance = -1.0;  // of the best individual to the target tree; negative without one
};

// The population's lowest, median and highest fitness, and the genome of the first individual with the
// lowest; after a selection that is best's. The population need not be sorted.
struct PopulationFitness {
    double best = 0.0;
    double median = 0.0;
    double worst = 0.0;
    const TreeGenome* bestGenome = nullptr;
};

PopulationFitness SummarizePopulation(const CEvolver& evolver);
// The index of that first individual with the lowest fitness; 0 for an empty population.
int FittestIndex(const CEvolver& evolver);

// With gene distances the CSV has an eighth column. Fitness has ten decimals, seconds three.
std::string FitnessCsv(const std::vector<FitnessRow>& rows, bool withGeneDistance);
