#include "display/frame_capture.h"

#include "display/offscreen_image.h"
#include "display/platform/bitmap.h"

void CaptureFrame(const platform::PresentedFrame* frame, int clientWidth, int clientHeight, COffscreenImage& image) {
    platform::MemoryContext* memory = image.BorrowDC();
    if (frame != nullptr) platform::StretchCopyFrame(memory, *frame, clientWidth, clientHeight);
    image.ReturnDC();
}
