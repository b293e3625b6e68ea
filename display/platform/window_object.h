// A window object: program code attached to an existing control of a dialog. Once attached, the
// control's paint and mouse-move events reach OnPaint and OnMouseMove. It never owns the control.
#pragma once

#include "display/platform/geometry.h"

namespace platform {

class ControlWidget;
struct DrawingSurface;

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

    virtual void OnPaint() {}
    virtual void OnMouseMove(int /*flags*/, Point /*point*/) {}

protected:
    Rect GetClientRect() const;
    Rect GetWindowRect() const;
    // The surface of the attached control, or null when there is none.
    DrawingSurface* GetDrawingSurface() const;
    void BeginPaint(PaintRecord& record) const;
    void EndPaint(PaintRecord& record) const;

private:
    ControlWidget* control = nullptr;
};

}  // namespace platform
