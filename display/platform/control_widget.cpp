#include "display/platform/control_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "display/platform/gl_binding.h"
#include "display/platform/window_object.h"

namespace platform {

namespace {

// Controls currently inside a paint event. Repainting a widget while another one paints would nest
// painting into the one backing store, so a frame presented then is shown by a deferred update.
int paintingControls = 0;

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
    if (attached != nullptr) attached->Detach();
    ReleaseSurface(surface);
}

void ControlWidget::ShowFrame() {
    framePending = true;
    if (inPaint) return;  // the paint under way draws the new frame when the render returns
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

void ControlWidget::mouseMoveEvent(QMouseEvent* event) {
    // Qt keeps sending moves to the control where a drag began. Without such a grab a move belongs
    // to the control under the pointer, so it is handed to that panel, or to none.
    ControlWidget* target = this;
    QPoint local = event->position().toPoint();
    if (QWidget* parent = parentWidget(); parent != nullptr && !rect().contains(local)) {
        QWidget* under = parent->childAt(mapTo(parent, local));
        target = dynamic_cast<ControlWidget*>(under);
        if (target == nullptr) return;
        local = target->mapFromGlobal(mapToGlobal(local));
    }
    if (target->attached != nullptr) {
        target->attached->OnMouseMove(MouseKeyFlags(event->buttons(), event->modifiers()), Point{local.x(), local.y()});
    }
}

}  // namespace platform
