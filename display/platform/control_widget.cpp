#include "display/platform/control_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "display/platform/drawing_surface.h"
#include "display/platform/window_object.h"

namespace platform {

namespace {

// The control that the previous mouse move went to; null after a move that reached none.
ControlWidget* lastMoveTarget = nullptr;

constexpr int kButtonFlags = kMouseLeftButton | kMouseRightButton | kMouseMiddleButton;

}  // namespace

int MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    int flags = 0;
    if (buttons & Qt::LeftButton) flags |= kMouseLeftButton;
    if (buttons & Qt::RightButton) flags |= kMouseRightButton;
    if (modifiers & Qt::ShiftModifier) flags |= kMouseShift;
    if (modifiers & Qt::ControlModifier) flags |= kMouseControl;
    if (buttons & Qt::MiddleButton) flags |= kMouseMiddleButton;
    return flags;
}

ControlWidget::ControlWidget(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A right drag zooms the camera; it must not open the dialog's window menu.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

ControlWidget::~ControlWidget() {
    if (lastMoveTarget == this) lastMoveTarget = nullptr;
    if (attached != nullptr) attached->Detach();
}

void ControlWidget::ShowFrameNow() {
    if (isVisible()) repaint();
}

void ControlWidget::paintEvent(QPaintEvent*) {
    // A frame that a render has just stored is only shown; rendering for it again would make the
    // panels of a pair ask each other for paints for ever.
    if (attached != nullptr && !attached->HasCurrentFrame()) attached->OnPaint();
    PaintFrame(attached != nullptr ? attached->FrameToShow() : nullptr);
}

void ControlWidget::PaintFrame(const PresentedFrame* frame) {
    QPainter painter(this);
    const int width = frame != nullptr ? frame->width : 0;
    const int height = frame != nullptr ? frame->height : 0;
    if (width > 0 && height > 0) {
        const QImage image(frame->bgr.data(), width, height, 3 * width, QImage::Format_BGR888);
        painter.drawImage(0, 0, image);
    }
    const QRegion uncovered = QRegion(rect()) - QRegion(0, 0, width, height);
    for (const QRect& r : uncovered) painter.fillRect(r, Qt::black);
}

void ControlWidget::mouseMoveEvent(QMouseEvent* event) { RouteMouseMove(*this, *event); }

void RouteMouseMove(QWidget& receiver, const QMouseEvent& event) {
    // Qt keeps sending moves to the widget where a press began, a control or the dialog itself. Without
    // such a grab a move belongs to the control under the pointer, so it is handed to that panel, or to none.
    QPoint local = event.position().toPoint();
    auto* target = dynamic_cast<ControlWidget*>(&receiver);
    if (target == nullptr || !target->rect().contains(local)) {
        QWidget* window = receiver.window();
        target = dynamic_cast<ControlWidget*>(window->childAt(receiver.mapTo(window, local)));
        if (target != nullptr) local = target->mapFromGlobal(receiver.mapToGlobal(local));
    }
    if (target == nullptr || target->attached == nullptr) {
        lastMoveTarget = nullptr;
        return;
    }
    const int flags = MouseKeyFlags(event.buttons(), event.modifiers());
    const Point point{local.x(), local.y()};
    // A drag that arrives from another panel, or comes back after leaving, has no previous position in
    // this panel's coordinates. The panel first sees the pointer arrive with the buttons up, so this
    // move only sets where the drag goes on from, as the first move of a drag does.
    if (target != lastMoveTarget && (flags & kButtonFlags) != 0)
        target->attached->OnMouseMove(flags & ~kButtonFlags, point);
    lastMoveTarget = target;
    target->attached->OnMouseMove(flags, point);
}

}  // namespace platform
