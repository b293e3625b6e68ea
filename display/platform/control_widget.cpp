#include "display/platform/control_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "display/platform/gl_binding.h"
#include "display/platform/window_object.h"

namespace platform {

namespace {

// Controls currently inside a paint event. Repainting a widget while another one paints would nest
// painting into the one backing store, so a frame shown then is shown by a deferred update.
int paintingControls = 0;

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

ControlWidget::ControlWidget(int id, QWidget* parent) : QWidget(parent), controlId(id) {
    surface.widget = this;
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A right drag zooms the camera; it must not open the dialog's window menu.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

ControlWidget::~ControlWidget() {
    if (lastMoveTarget == this) lastMoveTarget = nullptr;
    if (attached != nullptr) attached->Detach();
    ReleaseSurface(surface);
}

void ControlWidget::ShowFrame() { ShowNewFrames({this}); }

void ShowNewFrames(std::initializer_list<ControlWidget*> controls) {
    // Every frame is marked before any is painted: painting one control can paint the others too, and
    // a paint that only shows a new frame must not render.
    for (ControlWidget* control : controls)
        if (control != nullptr) control->framePending = true;
    for (ControlWidget* control : controls)
        if (control != nullptr) control->PaintPendingFrame();
}

void ControlWidget::PaintPendingFrame() {
    // Already painted along with another control, or by the paint under way once its render returns.
    if (!framePending || inPaint) return;
    if (paintingControls > 0 || !isVisible()) {
        update();
        return;
    }
    repaint();
}

void ControlWidget::paintEvent(QPaintEvent*) {
    ++paintingControls;
    inPaint = true;
    // A paint that only has to show a new frame must not render again: the two panels of a pair
    // would otherwise repaint each other for ever.
    if (!framePending && attached != nullptr) attached->OnPaint();
    PaintFrame();
    framePending = false;
    inPaint = false;
    --paintingControls;
}

void ControlWidget::PaintFrame() {
    QPainter painter(this);
    const PresentedFrame& frame = surface.frame;
    if (frame.width > 0 && frame.height > 0) {
        const QImage image(frame.bgr.data(), frame.width, frame.height, 3 * frame.width, QImage::Format_BGR888);
        painter.drawImage(0, 0, image);
    }
    const QRegion uncovered = QRegion(rect()) - QRegion(0, 0, frame.width, frame.height);
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
