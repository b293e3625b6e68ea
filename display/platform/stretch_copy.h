// Copies a panel's presented frame into the bitmap selected in a memory context, scaled to fit.
#pragma once

namespace platform {

struct MemoryContext;
struct PresentedFrame;

// An axis-aligned block of pixels, x to the right and y down from the top-left corner.
struct PixelArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Fills the destination area of the selected bitmap, counted from the picture's top row whatever the
// bitmap's row order, from the source area of the frame. Sizes that differ are bridged by nearest-neighbour
// sampling. Source pixels outside the frame count as black; destination pixels outside the bitmap are
// skipped; a 32-bit pixel's fourth byte is set to 0. Returns false when nothing could be written: no
// context, no bitmap selected, or an empty area.
bool StretchCopyFrame(MemoryContext* destination, PixelArea destinationArea, const PresentedFrame& source,
                      PixelArea sourceArea);

}  // namespace platform
