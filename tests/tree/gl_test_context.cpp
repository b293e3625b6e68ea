#include "tests/tree/gl_test_context.h"

#include <GL/gl.h>

GlTestContext::GlTestContext(int width, int height) {
    if (!display.Open() || !display.ApplySurfaceFormat(surface, width, height)) return;
    context = platform::CreateGlContext(&surface);
    current = context != nullptr && platform::MakeGlCurrent(&surface, context);
    if (!current) return;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

GlTestContext::~GlTestContext() {
    platform::MakeGlCurrent(nullptr, nullptr);
    platform::DeleteGlContext(surface, context);
    platform::ReleaseSurface(surface);
}
