// Plain integer geometry shared by the window objects and the dialogs.
#pragma once

namespace platform {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct Point {
    int x = 0;
    int y = 0;
};

// Mouse-move key flags, bit for bit as window objects receive them.
enum MouseKeyFlag : int {
    kMouseLeftButton = 0x0001,
    kMouseRightButton = 0x0002,
    kMouseShift = 0x0004,
    kMouseControl = 0x0008,
    kMouseMiddleButton = 0x0010,
};

// The record of a begin-paint/end-paint pair. Qt validates a widget's area itself once its paint event
// returns, so the pair has nothing to keep.
struct PaintRecord {};

}  // namespace platform
