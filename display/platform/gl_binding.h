// The OpenGL binding of a panel: an EGL surface format and pbuffer per drawing surface, rendering
// contexts made on demand or kept with the surface, and presentation by reading the frame back.
// One EGL display serves the whole process; it is chosen on first use and never terminated.
#pragma once

#include <chrono>

namespace platform {

struct DrawingSurface;

using GlContext = void*;

// What a panel asks of its surface; the binding offers the closest format it has.
struct SurfaceFormatRequest {
    bool drawToWindow = true;
    bool openGl = true;
    bool doubleBuffered = true;
    bool rgba = true;
    int colorBits = 32;
    int depthBits = 32;
};

// A format number for the request, counted from 1, or 0 when no display or no format can be had.
// After a failed attempt to open the display, the next one waits for the retry interval to pass.
int FindSurfaceFormat(const SurfaceFormatRequest& request);

// The wait between attempts to open a display that failed, five seconds unless tests shorten it.
void SetDisplayRetryInterval(std::chrono::milliseconds interval);

// Gives the surface its pbuffer of the given size in that format. Done once per surface.
bool ApplySurfaceFormat(DrawingSurface& surface, int format, int width, int height);

// Whether the surface's pbuffer was made for a client area of this size.
bool SurfaceHasSize(const DrawingSurface& surface, int width, int height);

// Gives the pbuffer and the surface's kept context back; the surface can be given a format again.
void ReleaseSurface(DrawingSurface& surface);

// A new context with every GL state at its defaults, or null.
GlContext CreateGlContext(DrawingSurface* surface);

// Makes the context current for the surface on this thread; null and null make none current.
bool MakeGlCurrent(DrawingSurface* surface, GlContext context);

void DeleteGlContext(GlContext context);

// The surface's own context: made on its first use and kept until the surface is released; null
// when none can be made (the next call tries again).
GlContext KeptGlContext(DrawingSurface* surface);

// Bracket each render in a kept context, with that context current: inside, every GL state is what a
// new context starts with; afterwards nothing the render changed is left but the matrices, which the
// next EnterFreshState loads with the identity again.
void EnterFreshState();
void LeaveFreshState();

// Reads the finished frame back into the surface's presented frame. False when no context of this
// surface is current, so there is no frame: the previous one stays. Showing the frame is the caller's.
bool PresentFrame(DrawingSurface* surface);

}  // namespace platform
