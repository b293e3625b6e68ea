// How the main dialog wires its panels, camera, target tree and evolver, in the order it must happen:
// the dialog calls this before its controls are attached, and tools beside the program call it too, so
// that they can't drift apart from the dialog.
#pragma once

class CEvolver;
class CGLView;
class COrbitCamera;
class CTreeModel;

// The shared camera at distance 500 with its headlight; the right panel shows [camera, best] and the
// left one [camera, target tree]; both report mouse moves to the camera and are each other's partner.
void WireMainPanels(CGLView& targetView, CGLView& evolvedView, CTreeModel& targetTree, CEvolver& evolver,
                    COrbitCamera& camera);
