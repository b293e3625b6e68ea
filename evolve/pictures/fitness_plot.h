// fitness.png: best and median fitness of a run against generation, drawn with Qt. Generations count on
// across presses; each press starts at a dashed line with its number, where its population is rescored
// against the new target.
#pragma once

#include <QImage>
#include <vector>

#include "evolve/record/fitness_log.h"

inline constexpr int kPlotWidth = 900;
inline constexpr int kPlotHeight = 540;

QImage PlotFitness(const std::vector<FitnessRow>& rows, int generationsPerPress);
