// A fresh program's objects, the program's own assembly and wiring, on panels of a given size that
// need no widget.
#pragma once

#include <memory>

#include "display/offscreen_image.h"
#include "evolution/program_objects.h"

struct WiredProgram : CProgramObjects {
    WiredProgram(int width, int height) {
        UseDetachedPanels(width, height);
        Wire();
    }

    // After the paint a shown dialog gets, the left panel's picture as the target of the evolver's next
    // training; the evolver points at it while the caller keeps it.
    std::unique_ptr<COffscreenImage> AimAtLeftPanel() {
        evolvedView.Render();
        std::unique_ptr<COffscreenImage> target = targetView.CreateImage(1.0, false);
        targetView.Capture(*target);
        evolver.target = target.get();
        return target;
    }
};
