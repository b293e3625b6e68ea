// A fresh program's objects in the dialog's order and wiring, on a panel pair of a given size: the
// target tree takes its draws before the evolver's individuals, the right panel shows [camera, best]
// and the left one [camera, target tree].
#pragma once

#include "display/orbit_camera.h"
#include "evolution/evolver.h"
#include "tests/support/panel_pair.h"
#include "tree/tree_model.h"

struct WiredProgram {
    WiredProgram(int width, int height) : pair(width, height) {
        camera.pose.SetDistance(500);
        camera.lightOn = true;
        pair.right.AppendRenderable(&camera);
        evolver.AttachView(&pair.right);
        pair.left.AppendRenderable(&camera);
        pair.left.AppendRenderable(&tree);
    }

    PanelPair pair;
    CTreeModel tree;
    CEvolver evolver;
    COrbitCamera camera;
};
