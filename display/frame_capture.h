// A panel's capture of a frame: the frame of a client area copied into the whole of an image, scaled
// to fit, top row to top row. The panel captures what it shows this way, and so does a render worker
// with a frame of its own. A null frame copies nothing, and the image keeps what it had.
#pragma once

#include "display/platform/drawing_surface.h"

class COffscreenImage;

void CaptureFrame(const platform::PresentedFrame* frame, int clientWidth, int clientHeight, COffscreenImage& image);
