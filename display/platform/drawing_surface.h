// A panel's drawing surface: the pbuffer a render draws into and the frame the panel presents.
// Owned by the panel's control widget; window objects only borrow it while they render or read.
#pragma once

#include <vector>

namespace platform {

class ControlWidget;

// The picture a panel shows: rows top first, 3 bytes per pixel in blue, green, red order, no padding.
struct PresentedFrame {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bgr;
};

struct DrawingSurface {
    ControlWidget* widget = nullptr;
    void* pbuffer = nullptr;  // the surface's EGL pbuffer, made when the surface is given a format
    void* context = nullptr;  // the context kept for this pbuffer, made on first use
    int pbufferWidth = 0;
    int pbufferHeight = 0;
    PresentedFrame frame;
};

}  // namespace platform
