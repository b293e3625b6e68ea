// A window object: program code attached to an existing control of a dialog. Once attached, the
// control's paint and mouse-move events reach OnPaint and OnMouseMove, and the control shows the
// object's frame. It never owns the control. An object without a control may be given a client size
// of its own, so that tools and tests can render it without any widget.
#pragma once

#include "display/platform/geometry.h"

namespace platform {

class ControlWidget;
struct PresentedFrame;

class WindowObject {
public:
    WindowObject() = default;
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;
    virtual ~WindowObject();

    // Links this object and the control both ways; a previous attachment of either is undone.
    void Attach(ControlWidget& control);
    void Detach();
    ControlWidget* Control() const { return control; }

    // The client size reported while no control is attached; 0 by 0, no window, until set.
    void SetDetachedClientSize(int width, int height);

    virtual void OnPaint() {}
    virtual void OnMouseMove(int /*flags*/, Point /*point*/) {}

    // Whether the frame the object holds still shows what it draws; a paint that finds it is not asks
    // for a render through OnPaint first.
    virtual bool HasCurrentFrame() { return true; }
    // The frame for the control to paint now, or null for none; it counts as shown from then on.
    virtual const PresentedFrame* FrameToShow() { return nullptr; }

protected:
    // Whether there is a window to draw for: an attached control, or a client size of the object's own.
    bool HasWindow() const { return control != nullptr || detachedSize.right > 0 || detachedSize.bottom > 0; }
    Rect GetClientRect() const;
    Rect GetWindowRect() const;
    void BeginPaint(PaintRecord& /*record*/) const {}
    void EndPaint(PaintRecord& /*record*/) const {}

private:
    ControlWidget* control = nullptr;
    Rect detachedSize;
};

}  // namespace platform
