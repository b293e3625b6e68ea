// A picture in heap memory that a memory context can draw into and the program reads in place: rows of
// pixels in blue, green, red order, the top row at Bits() and each row Pitch() bytes below the one above.
// Created at most once; an image whose Create failed stays empty, with every size 0 and no pixels.
#pragma once

#include "display/platform/bitmap.h"

class COffscreenImage {
public:
    COffscreenImage() = default;
    COffscreenImage(const COffscreenImage&) = delete;
    COffscreenImage& operator=(const COffscreenImage&) = delete;
    virtual ~COffscreenImage();

    // A positive height stores the rows bottom first, a negative one top first; false leaves the image empty.
    bool Create(int requestedWidth, int requestedHeight, int requestedBitsPerPixel);

    int Width() const { return width; }
    int Height() const { return height; }
    int BitsPerPixel() const { return bitsPerPixel; }
    int Pitch() const { return pitch; }
    unsigned char* Bits() const { return bits; }

    // A memory context with this image's bitmap selected. Borrows nest: every BorrowDC needs one
    // ReturnDC, and all must be returned before the image is destroyed.
    platform::MemoryContext* BorrowDC();
    void ReturnDC();

private:
    platform::Bitmap* bitmap = nullptr;
    unsigned char* bits = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
    int bitsPerPixel = 0;
    platform::MemoryContext* dc = nullptr;
    int dcRefCount = 0;
    platform::Bitmap* previousBitmap = nullptr;
};
