// A drawing surface: the EGL pbuffer a render draws into and the context kept for it. A surface
// belongs to whoever renders through it, a panel or a render worker on a thread of its own, and is
// used by one thread at a time. The frame is where a render's picture is read back to.
#pragma once

#include <vector>

namespace platform {

// A finished picture: rows top first, 3 bytes per pixel in blue, green, red order, no padding.
struct PresentedFrame {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bgr;
};

class GlDisplay;

struct DrawingSurface {
    GlDisplay* display = nullptr;  // the display its pbuffer is made on
    void* pbuffer = nullptr;       // made when the surface is given a format
    void* context = nullptr;       // the context kept for this pbuffer, made on first use
    int pbufferWidth = 0;
    int pbufferHeight = 0;
};

}  // namespace platform
