// The run's checkpoint in its folder (checkpoint.bin): written whole like every file of the run, so a
// crash, a kill or a full disk leaves the previous checkpoint as it was, and read back only whole.
#pragma once

#include <QString>

#include "evolve/checkpoint/run_state.h"

bool HasCheckpoint(const QString& folder);

// An error line naming the file, or empty.
QString WriteCheckpoint(const QString& folder, const RunState& state);
QString ReadCheckpoint(const QString& folder, RunState& state);
