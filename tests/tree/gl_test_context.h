// A small current OpenGL context for drawing tests, made through the panels' own EGL binding on a
// pbuffer of its own, with an identity model-view matrix. Tests fail, not skip, when none can be made.
#pragma once

#include "display/platform/drawing_surface.h"
#include "display/platform/gl_binding.h"

class GlTestContext {
public:
    explicit GlTestContext(int width = 64, int height = 64);
    ~GlTestContext();

    GlTestContext(const GlTestContext&) = delete;
    GlTestContext& operator=(const GlTestContext&) = delete;

    bool IsCurrent() const { return current; }

private:
    platform::GlDisplay display;
    platform::DrawingSurface surface;
    platform::GlContext context = nullptr;
    bool current = false;
};
