// The program's renderer: the one EGL display its panels draw on, and the render workers that score a
// training's candidates in processes of their own. It is made before the panels and goes after them,
// since their surfaces live on its display.
#pragma once

#include "display/platform/gl_binding.h"
#include "evolution/evaluation_pool.h"

class CGLView;

class CRenderer {
public:
    // Gives the panel the display it draws on.
    void Serve(CGLView& panel);

    platform::GlDisplay display;
    CEvaluationPool workers{display};
};
