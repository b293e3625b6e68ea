// The OpenGL binding of a panel: an EGL surface format and pbuffer per drawing surface, rendering
// contexts made, made current and deleted on demand, and presentation by reading the frame back.
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

// Gives the pbuffer back; the surface can be given a format again afterwards.
void ReleaseSurface(DrawingSurface& surface);

// A new context with every GL state at its defaults, or null.
GlContext CreateGlContext(DrawingSurface* surface);

// Makes the context current for the surface on this thread; null and null make none current.
bool MakeGlCurrent(DrawingSurface* surface, GlContext context);

void DeleteGlContext(GlContext context);

// Reads the finished frame back into the surface's presented frame and shows it at once.
void PresentFrame(DrawingSurface* surface);

}  // namespace platform
