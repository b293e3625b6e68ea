// A fresh program's objects, the program's own assembly and wiring, on panels of a given size that
// need no widget.
#pragma once

#include "evolution/program_objects.h"

struct WiredProgram : CProgramObjects {
    WiredProgram(int width, int height) {
        UseDetachedPanels(width, height);
        Wire();
    }
};
