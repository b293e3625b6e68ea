#include "evolution/renderer_identity.h"

#include <GL/gl.h>

#include "display/platform/drawing_surface.h"
#include "display/platform/gl_binding.h"

RendererIdentity IdentityOf(platform::GlDisplay& display) {
    platform::DrawingSurface probe;
    if (!display.Open() || !display.ApplySurfaceFormat(probe, 1, 1)) return {};
    RendererIdentity identity;
    if (platform::GlContext context = platform::CreateGlContext(&probe)) {
        if (platform::MakeGlCurrent(&probe, context)) {
            if (const auto* text = reinterpret_cast<const char*>(glGetString(GL_RENDERER))) identity.name = text;
            if (const auto* text = reinterpret_cast<const char*>(glGetString(GL_VERSION))) identity.version = text;
            platform::MakeGlCurrent(nullptr, nullptr);
        }
        platform::DeleteGlContext(probe, context);
    }
    platform::ReleaseSurface(probe);
    return identity;
}
