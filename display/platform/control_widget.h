// The widget behind a static control of a dialog. It forwards paint requests and mouse moves to the
// window object attached to it, owns the panel's drawing surface and shows its presented frame.
#pragma once

#include <QWidget>
#include <initializer_list>

#include "display/platform/drawing_surface.h"

namespace platform {

class WindowObject;

class ControlWidget : public QWidget {
public:
    ControlWidget(int controlId, QWidget* parent);
    ~ControlWidget() override;

    int ControlId() const { return controlId; }
    DrawingSurface& Surface() { return surface; }

    // Shows the surface's presented frame at once, without asking the window object to render. Called
    // once a render is complete, never from inside one.
    void ShowFrame();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    friend class WindowObject;
    friend void RouteMouseMove(QWidget& receiver, const QMouseEvent& event);
    friend void ShowNewFrames(std::initializer_list<ControlWidget*> controls);
    void PaintPendingFrame();
    void PaintFrame();

    int controlId;
    WindowObject* attached = nullptr;
    DrawingSurface surface;
    bool framePending = false;
    bool inPaint = false;
};

// ShowFrame for several controls at once; null entries are skipped.
void ShowNewFrames(std::initializer_list<ControlWidget*> controls);

// Hands a move that Qt delivered to receiver (a control or its dialog) to the window object of the
// control under the pointer, if any.
void RouteMouseMove(QWidget& receiver, const QMouseEvent& event);

// Qt's buttons and modifiers as mouse-move key flags.
int MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

}  // namespace platform
