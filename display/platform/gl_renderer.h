// The name of the OpenGL renderer that the panels draw with, for records of a run. It is read through a
// context and a one-pixel pbuffer of its own, made and given back at once, so no panel's state is touched.
#pragma once

#include <string>

namespace platform {

// GL_RENDERER of the process's EGL display, e.g. "llvmpipe (LLVM 15.0.6, 256 bits)"; empty when no
// context can be made, which means the panels could not draw either.
std::string GlRendererName();

}  // namespace platform
