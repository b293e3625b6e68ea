// The OpenGL binding of a panel: an EGL surface format and pbuffer per drawing surface, rendering
// contexts made on demand or kept with the surface, and the read-back of a finished frame.
// The process's EGL display is chosen on first use and never terminated; a few more of the same kind
// are opened for surfaces that must draw at the same time as others. Displays, surfaces and contexts
// are made on the thread that runs the program; a context may then be made current and used on any
// thread, by one thread at a time.
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

// Opens the displays that jobs threads drawing at once need: for more than one, display 1 for the right
// panel and the others for render workers, whose software rasteriser gets no threads of its own
// (LP_NUM_THREADS=0 while they are made). Call it before any other thread exists, as it sets the
// environment for a moment; without it, displays are opened when a surface first asks for one.
void OpenDisplaysForJobs(int jobs);

// Puts a surface that has no pbuffer yet on display number wanted of the process, opened for it if need
// be, or on number wanted modulo those that can be had. Mesa's software rasteriser draws the scenes of
// all contexts of one display one after another; surfaces on displays apart from one another draw at
// the same time. Every display gives the same pictures.
void ChooseDisplay(DrawingSurface& surface, int wanted);

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

// Deletes a context made for the surface.
void DeleteGlContext(const DrawingSurface& surface, GlContext context);

// The surface's own context: made on its first use and kept until the surface is released; null
// when none can be made (the next call tries again).
GlContext KeptGlContext(DrawingSurface* surface);

// Bracket each render in a kept context, with that context current: inside, every GL state is what a
// new context starts with; afterwards nothing the render changed is left but the matrices, which the
// next EnterFreshState loads with the identity again.
void EnterFreshState();
void LeaveFreshState();

// Reads the finished picture of the surface back into frame. False without a surface or when no context
// of this surface is current on this thread, so there is no picture: frame keeps what it had.
bool ReadFrame(const DrawingSurface* surface, PresentedFrame& frame);

// GL_RENDERER of the process's display, e.g. "llvmpipe (LLVM 15.0.6, 256 bits)", read through a
// one-pixel surface and context of its own; empty when no context can be made.
std::string GlRendererName();

}  // namespace platform
