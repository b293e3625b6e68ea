#include "display/platform/window_object.h"

#include "display/platform/control_widget.h"

namespace platform {

WindowObject::~WindowObject() { Detach(); }

void WindowObject::Attach(ControlWidget& widget) {
    Detach();
    if (widget.attached != nullptr) widget.attached->Detach();
    control = &widget;
    widget.attached = this;
}

void WindowObject::Detach() {
    if (control == nullptr) return;
    control->attached = nullptr;
    control = nullptr;
}

void WindowObject::SetDetachedClientSize(int width, int height) { detachedSize = Rect{0, 0, width, height}; }

Rect WindowObject::GetClientRect() const {
    if (control == nullptr) return detachedSize;
    return Rect{0, 0, control->width(), control->height()};
}

Rect WindowObject::GetWindowRect() const {
    if (control == nullptr) return detachedSize;
    // The panels have no frame, so the outer rectangle is the client area in screen coordinates.
    const QPoint origin = control->mapToGlobal(QPoint(0, 0));
    return Rect{origin.x(), origin.y(), origin.x() + control->width(), origin.y() + control->height()};
}

}  // namespace platform
