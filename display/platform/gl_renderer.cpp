#include "display/platform/gl_renderer.h"

#include <GL/gl.h>

#include "display/platform/drawing_surface.h"
#include "display/platform/gl_binding.h"

namespace platform {

std::string GlRendererName() {
    const int format = FindSurfaceFormat(SurfaceFormatRequest{});
    DrawingSurface probe;
    if (format == 0 || !ApplySurfaceFormat(probe, format, 1, 1)) return {};
    std::string name;
    if (GlContext context = CreateGlContext(&probe)) {
        if (MakeGlCurrent(&probe, context)) {
            if (const auto* text = reinterpret_cast<const char*>(glGetString(GL_RENDERER))) name = text;
            MakeGlCurrent(nullptr, nullptr);
        }
        DeleteGlContext(context);
    }
    ReleaseSurface(probe);
    return name;
}

}  // namespace platform
