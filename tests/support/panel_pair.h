// Two panels of a given size on an offscreen top-level widget, attached and made partners, the way
// the main dialog wires them, on a display of their own. Tests render and capture through them like the program does.
#pragma once

#include <QWidget>
#include <memory>

#include "display/drawing_key.h"
#include "display/gl_view.h"
#include "display/platform/control_widget.h"

struct PanelPair {
    PanelPair(int width, int height, bool partners = true);
    ~PanelPair();

    // The display both panels draw on, as the program's renderer gives them theirs; it outlives them.
    platform::GlDisplay display;
    QWidget host;
    platform::ControlWidget* leftControl;
    platform::ControlWidget* rightControl;
    CGLView left;
    CGLView right;
};

// A renderable that counts its draws and, if asked, fills the viewport with one colour. Unless made
// describable it cannot tell what it draws, so every render draws it.
class CountingRenderable : public IRenderable {
public:
    void Draw() override;
    bool DescribeDrawing(CDrawingKey& key) const override;
    int draws = 0;
    bool paint = false;
    bool describable = false;
    float red = 1.0f, green = 1.0f, blue = 1.0f;
};
