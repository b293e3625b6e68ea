#include "tests/support/panel_pair.h"

#include <GL/gl.h>

PanelPair::PanelPair(int width, int height, bool partners)
    : leftControl(new platform::ControlWidget(&host)), rightControl(new platform::ControlWidget(&host)) {
    host.resize(2 * width + 30, height + 20);
    leftControl->setGeometry(10, 10, width, height);
    rightControl->setGeometry(width + 20, 10, width, height);
    left.glDisplay = &display;
    right.glDisplay = &display;
    if (partners) {
        left.partner = &right;
        right.partner = &left;
    }
    left.Attach(*leftControl);
    right.Attach(*rightControl);
}

PanelPair::~PanelPair() {
    left.Detach();
    right.Detach();
}

void CountingRenderable::Draw() {
    ++draws;
    if (!paint) return;
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

bool CountingRenderable::DescribeDrawing(CDrawingKey& key) const {
    if (!describable) return false;
    key.Append(paint);
    for (float v : {red, green, blue}) key.Append(v);
    return true;
}
