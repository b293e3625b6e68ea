// Dialog templates as plain data: the dialog's caption, size, style and font, and its controls in
// creation (and tab) order, with positions in dialog units.
#pragma once

#include <span>

namespace platform {

enum class ControlKind { Button, Static };

enum ControlStyle : unsigned {
    kControlVisible = 1u << 0,
    kTabStop = 1u << 1,
    kPushButton = 1u << 2,
    kDefaultPushButton = 1u << 3,
    kGroupStart = 1u << 4,
    kLeftText = 1u << 5,
    kNotify = 1u << 6,  // a static control that takes mouse input: it becomes a panel control
    kShowsIcon = 1u << 7,
    kNoPrefix = 1u << 8,
};

enum DialogStyle : unsigned {
    kDialogVisible = 1u << 0,
    kCaption = 1u << 1,
    kSystemMenu = 1u << 2,
    kModalFrame = 1u << 3,
    kOwnFont = 1u << 4,
    kOwnTaskbarButton = 1u << 5,
};

// A control id for statics nobody addresses.
inline constexpr int kUnaddressedControl = -1;

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;  // for a static that shows an icon: the icon's resource path
    int x;
    int y;
    int width;
    int height;
    unsigned style;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int x;
    int y;
    int width;
    int height;
    unsigned style;
    const char* fontFamily;
    int fontPointSize;
    std::span<const ControlTemplate> controls;
};

}  // namespace platform
