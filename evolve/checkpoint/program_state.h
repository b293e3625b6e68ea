// The program's part of a run's state: taken from its objects at the end of a generation, and given
// back to a freshly made program so that it goes on as the first one would have.
#pragma once

#include <QString>
#include <memory>

#include "evolve/checkpoint/run_state.h"

class COffscreenImage;
class CProgramObjects;

// The random sequence, the camera pose, the target tree, best and the population.
void SaveProgram(const CProgramObjects& objects, RunState& state);

// Gives them back, then renders both panels as after any change of the target tree or camera. Refuses,
// with an error line and nothing changed, a state whose population or noise fields are not of this
// program's sizes.
QString RestoreProgram(const RunState& state, CProgramObjects& objects);

void SaveTargetPicture(const COffscreenImage& picture, RunState& state);
// The saved target picture in a new 24-bit image; null when the state holds none or one of the wrong size.
std::unique_ptr<COffscreenImage> SavedTargetPicture(const RunState& state);
