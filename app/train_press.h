// One press of "Train", shared by the dialog's button and the command-line tool so that the two cannot
// drift apart: the target picture is lent to the evolver for the generations, then the right panel is
// rendered again. The dialog's press takes the left panel's picture; the tool may lend one of its own.
#pragma once

#include <memory>

class CEvolver;
class CGLView;
class COffscreenImage;

inline constexpr int kGenerationsPerPress = 50;

// The left panel's picture as it stands, in a new image of the panel's size. Nothing is rendered for it:
// every change of the target tree or of the camera is followed by a render of both panels.
std::unique_ptr<COffscreenImage> CaptureTargetPicture(CGLView& targetView);

// Trains towards the picture, which is only borrowed: the evolver's target is cleared again afterwards.
// With generationsDone of 0 or more, the training goes on from the end of that generation instead of
// starting (CEvolver::ContinueTraining).
void TrainTowards(COffscreenImage& picture, CEvolver& evolver, CGLView& evolvedView, int generations,
                  int generationsDone = -1);
