// One render of a draw list into a frame, the same for a panel and for a render worker on another
// thread: the state of a new context, the panels' projection, the list drawn first to last, and the
// read-back into a frame that the caller owns. It touches no widget and no process-wide state.
#pragma once

#include <vector>

#include "display/platform/drawing_surface.h"
#include "display/platform/gl_binding.h"

class IRenderable;

// Where a render draws: the surface, a context for it (null draws nothing) and whether the context
// is a kept one, whose state must be made a new context's for the render and handed back after it.
struct RenderTarget {
    platform::DrawingSurface* surface = nullptr;
    platform::GlContext context = nullptr;
    bool keptContext = false;
    // A thread that owns its context may leave it current between renders and save making it current.
    bool staysCurrent = false;
};

// Makes the target's context current on this thread, sets up the projection for a client area of
// width by height, draws the list and reads the picture back into frame; leaves no context current
// unless the target stays current.
// Without a context the list is still drawn, to no effect; false when no picture was read, and frame
// then keeps what it had.
bool RenderDrawList(const RenderTarget& target, int width, int height, const std::vector<IRenderable*>& drawList,
                    platform::PresentedFrame& frame);

// The projection every render sets up, for a context that is current already.
void SetupPanelProjection(int width, int height);
