#include "display/offscreen_image.h"

#include <cassert>
#include <cstdlib>

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
    const platform::BitmapHeader header{requestedWidth, requestedHeight, requestedBitsPerPixel};
    unsigned char* pixels = nullptr;
    platform::Bitmap* made = platform::CreateBitmap(header, &pixels);
    if (made == nullptr) return false;
    platform::BitmapDescription description;
    if (!platform::DescribeBitmap(made, description)) {
        platform::DeleteBitmap(made);
        return false;
    }

    // The fields follow what the bitmap says it is, not what was asked for.
    bitmap = made;
    width = description.header.width;
    height = std::abs(description.header.height);
    bitsPerPixel = description.header.bitCount;
    pitch = ((width * bitsPerPixel + 31) / 32) * 4;
    bits = description.pixels;
    if (requestedHeight >= 0) {
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
        previousBitmap = platform::SelectBitmap(dc, bitmap);
    }
    return dc;
}

void COffscreenImage::ReturnDC() {
    assert(dcRefCount > 0 && "ReturnDC without a matching BorrowDC");
    --dcRefCount;
    if (dcRefCount == 0) {
        // The pooled context must not keep a bitmap that dies with this image.
        platform::SelectBitmap(dc, previousBitmap);
        CMemoryDCPool::Instance().GiveBack(dc);
        dc = nullptr;
    }
}
