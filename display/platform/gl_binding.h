// The OpenGL binding of a panel: an EGL surface format and pbuffer per drawing surface, rendering
// contexts made on demand or kept with the surface, and the read-back of a finished frame.
// One EGL display serves the whole process; it is chosen on first use and never terminated. Once it
// is open, surfaces and contexts may be made and used on any thread, each by one thread at a time.
#pragma once

#include <chrono>
#include <string>

namespace platform {

struct DrawingSurface;
struct PresentedFrame;

using GlContext = void*;

// Whether the process's display offers the panels' format: 8-bit RGBA with the deepest depth buffer
// offered, in pbuffers, for desktop OpenGL. The display is opened on first use; after a failed
// attempt, the next one waits for the retry interval to pass.
bool SurfaceFormatAvailable();

// The wait between attempts to open a display that failed, five seconds unless tests shorten it.
void SetDisplayRetryInterval(std::chrono::milliseconds interval);

// Gives the surface its pbuffer of the given size in the panels' format. Done once per surface.
bool ApplySurfaceFormat(DrawingSurface& surface, int width, int height);

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

void DeleteGlContext(GlContext context);

// The surface's own context: made on its first use and kept until the surface is released; null
// when none can be made (the next call tries again).
GlContext KeptGlContext(DrawingSurface* surface);

// Bracket each render in a kept context, with that context current: inside, every GL state is what a
// new context starts with; afterwards nothing the render changed is left but the matrices, which the
// next EnterFreshState loads with the identity again.
void EnterFreshState();
void LeaveFreshState();

// Reads the finished picture of the surface back into frame. False when no context of this surface is
// current on this thread, so there is no picture: frame keeps what it had.
bool ReadFrame(const DrawingSurface& surface, PresentedFrame& frame);

// GL_RENDERER of the process's display, e.g. "llvmpipe (LLVM 15.0.6, 256 bits)", read through a
// one-pixel surface and context of its own; empty when no context can be made.
std::string GlRendererName();

}  // namespace platform
