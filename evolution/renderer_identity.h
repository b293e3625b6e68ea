// What draws a display's pictures. Two displays whose renderers have the same name and version give
// the same pixels for the same drawing; a render worker whose renderer differs from the panels' is
// therefore not used.
#pragma once

#include <string>

namespace platform {
class GlDisplay;
}

struct RendererIdentity {
    std::string name;     // GL_RENDERER, e.g. "llvmpipe (LLVM 15.0.6, 256 bits)"
    std::string version;  // GL_VERSION
    bool operator==(const RendererIdentity&) const = default;
};

// Read through a one-pixel surface and context of its own; empty when the display cannot be opened
// or no context can be made on it.
RendererIdentity IdentityOf(platform::GlDisplay& display);
