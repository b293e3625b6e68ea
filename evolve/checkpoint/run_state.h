// Everything a run needs to go on exactly from the end of a generation: what made it, how far it got,
// the rows and records it has written, and the program's state: the random sequence, the camera, the
// target tree, best, the population and the target picture of the press under way.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "display/camera_pose.h"
#include "evolve/animation/animation_frames.h"
#include "evolve/record/fitness_log.h"
#include "evolve/record/run_options.h"
#include "evolve/record/run_record.h"
#include "tree/noise_field.h"
#include "tree/tree_genome.h"

// A tree as data: the target tree or an individual of the population (the target tree's fitness is 0).
struct SavedTree {
    TreeGenome genome{UnsetGenome{}};
    std::vector<NodeNoise> noise;
    double fitness = 0.0;
};

struct RunState {
    QString version;  // of the program that wrote it
    QString rendererName;
    QString rendererVersion;
    RunOptions options;
    QString started;  // ISO 8601, UTC, of the run's first start
    int panelWidth = 0;
    int panelHeight = 0;

    int press = 1;             // the press under way or the next to start; options.presses + 1 at the end
    int generationsDone = -1;  // of that press; -1 before its population has been scored
    long long evaluations = 0;
    double seconds = 0.0;  // of work behind this state, over every start of the run
    int workers = 0;       // the most render workers any start of the run has used
    std::vector<PressRecord> presses;
    std::vector<FitnessRow> rows;

    std::uint32_t randomState = 1;
    CameraPose camera;
    SavedTree targetTree;
    SavedTree best;
    std::vector<SavedTree> population;
    // The picture the press under way trains towards, or that every press does with --target: rows of
    // the program's image, top first, blue, green, red. Empty while a run of the left panel's picture
    // stands before a press, which captures its own.
    int targetWidth = 0;
    int targetHeight = 0;
    std::vector<unsigned char> targetPicture;
    // The animation's frames so far; none without the animation.
    std::vector<AnimationFrame> animation;
};
