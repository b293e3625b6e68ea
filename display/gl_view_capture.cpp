// The panel's side of taking pictures: an image of the client size and the copy of what the panel shows.
#include <memory>

#include "display/frame_capture.h"
#include "display/gl_view.h"
#include "display/offscreen_image.h"
#include "display/platform/bitmap.h"

std::unique_ptr<COffscreenImage> CGLView::CreateImage(double scale, bool bitsFlag) {
    auto image = std::make_unique<COffscreenImage>();
    clientRect = GetClientRect();
    const int height = static_cast<int>(clientRect.bottom * scale);
    const int width = static_cast<int>(clientRect.right * scale);
    // A failed Create leaves an empty image, which callers get all the same; copies onto it change nothing.
    image->Create(width, height, bitsFlag ? 32 : 24);
    return image;
}

void CaptureFrame(const platform::PresentedFrame* frame, int clientWidth, int clientHeight, COffscreenImage& image) {
    platform::MemoryContext* memory = image.BorrowDC();
    if (frame != nullptr) platform::StretchCopyFrame(memory, *frame, clientWidth, clientHeight);
    image.ReturnDC();
}

void CGLView::Capture(COffscreenImage& image) {
    clientRect = GetClientRect();
    AcquireDeviceContext();
    // The source is the whole client area as the panel last presented it; without a surface there is
    // nothing to copy, and the image keeps what it had.
    CaptureFrame(deviceContext != nullptr ? &frame : nullptr, clientRect.right, clientRect.bottom, image);
    ReleaseDeviceContext();
}
