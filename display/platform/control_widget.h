// The widget behind a static control of a dialog. It forwards paint requests and mouse moves to the
// window object attached to it, owns the panel's drawing surface and shows its presented frame.
#pragma once

#include <QWidget>

#include "display/platform/drawing_surface.h"

namespace platform {

class WindowObject;

class ControlWidget : public QWidget {
public:
    ControlWidget(int controlId, QWidget* parent);
    ~ControlWidget() override;

    int ControlId() const { return controlId; }
    DrawingSurface& Surface() { return surface; }

    // Shows the surface's presented frame at once, without asking the window object to render.
    void ShowFrame();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    friend class WindowObject;
    void PaintFrame();

    int controlId;
    WindowObject* attached = nullptr;
    DrawingSurface surface;
    bool framePending = false;
    bool inPaint = false;
};

// Qt's buttons and modifiers as mouse-move key flags.
int MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

}  // namespace platform
