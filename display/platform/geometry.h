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

// What a begin-paint/end-paint pair records for a window object.
struct PaintRecord {
    Rect invalid;
    bool painting = false;
};

}  // namespace platform
