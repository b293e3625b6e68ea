// The one viewpoint both panels share. As a mouse listener it turns the view while the left button is
// dragged and zooms while the right one is; as the first entry of a draw list it lights the scene with a
// headlight and sets the viewing transform for everything drawn after it. It owns nothing.
#pragma once

#include "display/camera_pose.h"
#include "display/mouse_listener.h"
#include "display/renderable.h"

class COrbitCamera : public IMouseListener, public IRenderable {
public:
    COrbitCamera() = default;

    void OnMouse(int flags, double x, double y) override;
    virtual ~COrbitCamera() = default;
    void Draw() override;
    bool DescribeDrawing(CDrawingKey& key) const override;

    CameraPose pose;
    int lastFlags = 0;
    double lastX = 0.0;
    double lastY = 0.0;
    bool lightOn = false;
};
