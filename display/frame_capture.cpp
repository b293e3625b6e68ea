#include "display/frame_capture.h"

#include "display/offscreen_image.h"
#include "display/platform/stretch_copy.h"

void CaptureFrame(const platform::PresentedFrame* frame, int clientWidth, int clientHeight, COffscreenImage& image) {
    platform::MemoryContext* memory = image.BorrowDC();
    if (frame != nullptr) {
        platform::StretchCopyFrame(memory, platform::PixelArea{0, 0, image.Width(), image.Height()}, *frame,
                                   platform::PixelArea{0, 0, clientWidth, clientHeight});
    }
    image.ReturnDC();
}
