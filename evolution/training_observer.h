// Follows a training from outside the evolver: told after every evaluation and every generation, and
// asked after every evaluation whether to stop. The program sets none; a tool that reports progress or
// stops on request does, and nothing it does changes which trees are drawn or how they score.
#pragma once

class ITrainingObserver {
public:
    virtual ~ITrainingObserver() = default;

    virtual void OnEvaluated() {}
    // generation 0 once the population has been scored against the target, then 1, 2, ... after each.
    virtual void OnGeneration(int /*generation*/) {}
    // A yes ends the training early: no further evaluation or selection, best as the last selection left it.
    virtual bool StopRequested() { return false; }
};
