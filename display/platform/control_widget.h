// The widget behind a static control of a dialog. It forwards paint requests and mouse moves to the
// window object attached to it, and paints the frame that object holds; the frame is the object's.
#pragma once

#include <QWidget>

#include "display/platform/geometry.h"

namespace platform {

class WindowObject;
struct PresentedFrame;

class ControlWidget : public QWidget {
public:
    explicit ControlWidget(QWidget* parent);
    ~ControlWidget() override;

    // Paints the attached object's new frame at once, so that every frame of a training is seen as it
    // happens; a hidden control shows it when it is next painted.
    void ShowFrameNow();
    // Paints it with the next round of paint events: the way to show a frame from inside a paint.
    void ShowFrameLater() { update(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    friend class WindowObject;
    friend void RouteMouseMove(QWidget& receiver, const QMouseEvent& event);
    void PaintFrame(const PresentedFrame* frame);

    WindowObject* attached = nullptr;
};

// Hands a move that Qt delivered to receiver (a control or its dialog) to the window object of the
// control under the pointer, if any.
void RouteMouseMove(QWidget& receiver, const QMouseEvent& event);

// Qt's buttons and modifiers as mouse-move key flags.
int MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

}  // namespace platform
