// The program's five long-lived objects, constructed in this order and destroyed in reverse: the two
// panels, the target tree, the evolver and the shared camera. The target tree takes its random draws
// before the evolver's 276 individuals, so this order fixes which trees a run starts with. The renderer,
// whose display the panels draw on and whose workers score a training's candidates, comes first and
// goes last; it draws nothing at random. The main dialog holds one by value; the command-line tool, the
// benchmarks and the tests use the same type.
#pragma once

#include "display/gl_view.h"
#include "display/orbit_camera.h"
#include "evolution/evolver.h"
#include "evolution/renderer.h"
#include "tree/tree_model.h"

class CProgramObjects {
public:
    // One job per core the process may run on.
    CProgramObjects();

    // The wiring, in the order it must happen and before either panel is attached to a control: both
    // panels on the renderer's display, the camera at distance 500 with its headlight; the right panel shows [camera,
    // best] and the left one [camera, target tree]; both report mouse moves to the camera and are each other's partner.
    void Wire();
    // Gives both panels a client size of their own, for renders without any widget.
    void UseDetachedPanels(int width, int height);
    // How many draw at once: a training's render workers, and both panels of a drag. 1 draws
    // everything in the panels, one after the other, as the program always did.
    void SetJobs(int jobs);

    CRenderer renderer;
    CGLView targetView;
    CGLView evolvedView;
    CTreeModel targetTree;
    CEvolver evolver;
    COrbitCamera camera;
};
