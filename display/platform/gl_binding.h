// The OpenGL binding: the EGL display a program draws on, a pbuffer of the panels' format for each
// drawing surface, and contexts made on demand or kept with the surface. A display is its opener's and
// is never terminated, as EGL gives every caller in a process the same one. Surfaces and contexts are
// made on the display owner's thread; a context may then be current on any thread, on one at a time.
#pragma once

#include <chrono>

namespace platform {

struct DrawingSurface;

using GlContext = void*;

// The display a program draws on: each EGL device in turn, then Mesa's surfaceless platform, then the
// default display; the first that offers the panels' format (8-bit RGBA with the deepest depth buffer
// offered, in pbuffers, for desktop OpenGL) is kept. Why none could be had is said once on stderr.
class GlDisplay {
public:
    GlDisplay() = default;
    GlDisplay(const GlDisplay&) = delete;
    GlDisplay& operator=(const GlDisplay&) = delete;

    // Opens the display on the first call; after a failed attempt the next one waits for the retry
    // interval to pass, so that a driver that cannot load does not flood stderr on every render.
    bool Open();
    // Five seconds unless tests shorten it.
    void SetRetryInterval(std::chrono::milliseconds interval) { retryInterval = interval; }

    // Gives the surface its pbuffer of the given size on this display. Done once per surface.
    bool ApplySurfaceFormat(DrawingSurface& surface, int width, int height);

    // For the surfaces made on it.
    void* Handle() const { return display; }
    void* Config() const { return config; }
    void ReportNoContext();

private:
    void* display = nullptr;
    void* config = nullptr;
    bool reportedNoDisplay = false;
    bool reportedNoContext = false;
    bool reportedNoSurface = false;
    std::chrono::milliseconds retryInterval{5000};
    bool failedBefore = false;
    std::chrono::steady_clock::time_point lastAttempt;
};

// Whether the surface's pbuffer was made for a client area of this size.
bool SurfaceHasSize(const DrawingSurface& surface, int width, int height);

// Gives the pbuffer and the surface's kept context back; the surface can be given a format again.
void ReleaseSurface(DrawingSurface& surface);

// A new context with every GL state at its defaults, or null.
GlContext CreateGlContext(DrawingSurface* surface);

// Makes the context current for the surface on this thread; null and null make none current.
bool MakeGlCurrent(DrawingSurface* surface, GlContext context);

// Whether the context is current on this thread, drawing into the surface.
bool IsGlCurrent(const DrawingSurface* surface, GlContext context);

// Deletes a context made for the surface.
void DeleteGlContext(const DrawingSurface& surface, GlContext context);

// The surface's own context: made on its first use and kept until the surface is released; null
// when none can be made (the next call tries again).
GlContext KeptGlContext(DrawingSurface* surface);

}  // namespace platform
