#include "display/offscreen_image.h"

#include <cassert>
#include <cstdlib>
#include <utility>

#include "display/memory_dc_pool.h"

COffscreenImage::~COffscreenImage() {
    assert(dcRefCount == 0 && "match every BorrowDC with a ReturnDC before destroying the image");
    if (bitmap == nullptr) return;
    platform::Bitmap* handle = bitmap;
    bitmap = nullptr;
    bits = nullptr;
    width = 0;
    height = 0;
    pitch = 0;
    bitsPerPixel = 0;
    platform::DeleteBitmap(handle);
}

bool COffscreenImage::Create(int requestedWidth, int requestedHeight, int requestedBitsPerPixel) {
    assert(bitmap == nullptr && "an image is created once; make a new image for another size");
    platform::Bitmap* made = platform::CreateBitmap(requestedWidth, requestedHeight, requestedBitsPerPixel);
    if (made == nullptr) return false;

    // The fields follow what the bitmap says it is, not what was asked for.
    bitmap = made;
    width = made->width;
    height = std::abs(made->height);
    bitsPerPixel = made->bitCount;
    pitch = made->stride;
    bits = made->pixels.get();
    if (made->height > 0) {
        // Bottom-up rows: start at the last row in memory and step backwards, so that callers walk the
        // picture top to bottom whatever the storage order.
        bits = bits + (height - 1) * pitch;
        pitch = -pitch;
    }
    return true;
}

platform::MemoryContext* COffscreenImage::BorrowDC() {
    ++dcRefCount;
    if (dc == nullptr) {
        dc = CMemoryDCPool::Instance().Take();
        if (dc != nullptr) previousBitmap = std::exchange(dc->selected, bitmap);
    }
    return dc;
}

void COffscreenImage::ReturnDC() {
    assert(dcRefCount > 0 && "ReturnDC without a matching BorrowDC");
    --dcRefCount;
    if (dcRefCount == 0) {
        // The pooled context must not keep a bitmap that dies with this image.
        if (dc != nullptr) dc->selected = previousBitmap;
        CMemoryDCPool::Instance().GiveBack(dc);
        dc = nullptr;
    }
}
