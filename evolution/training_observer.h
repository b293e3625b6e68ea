// The one way the evolver reports: after every evaluation and every generation, whenever it moves to
// another phase of its work, and with the text of each training's result; and it is asked after every
// evaluation whether to stop. Every report has a default, so an observer overrides only what it wants,
// and nothing an observer does changes which trees are drawn or how they score.
#pragma once

#include <string>

class CIndividual;

// Where the evolver's time goes; a measuring tool may follow the changes, the program does not.
enum class EvolverPhase { Breeding, Rendering, Capturing, Comparing, Selecting, Reporting, Idle };

class ITrainingObserver {
public:
    virtual ~ITrainingObserver() = default;

    // The individual just scored, its fitness stored.
    virtual void OnEvaluated(const CIndividual& /*individual*/) {}
    // generation 0 once the population has been scored against the target, then 1, 2, ... after each.
    virtual void OnGeneration(int /*generation*/) {}
    virtual void OnPhase(EvolverPhase /*phase*/) {}
    // A yes ends the training early: no further evaluation or selection, best as the last selection left it.
    virtual bool StopRequested() { return false; }
    // "Current best fitness is ..." at the end of each training. The program's way, and the default, is
    // the application's message box, which returns once the user has dismissed it.
    virtual void OnResult(const std::string& text);
};
