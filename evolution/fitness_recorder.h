// An observer that keeps every evaluation's fitness in the order the evaluations ran, for tools and
// tests that compare one way of training with another value for value.
#pragma once

#include <vector>

#include "evolution/training_observer.h"
#include "tree/individual.h"

class CFitnessRecorder : public ITrainingObserver {
public:
    void OnEvaluated(const CIndividual& individual) override { fitness.push_back(individual.fitness); }
    void OnResult(const std::string& text) override { result = text; }

    std::vector<double> fitness;
    std::string result;
};
