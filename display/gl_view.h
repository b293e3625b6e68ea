// An OpenGL panel attached to a static control of a dialog. It owns only its draw list; every render
// draws the list, first to last, into a fresh GL context, then renders the partner panel the same way.
// Mouse moves are normalised to 0..1 and handed to the listener before the render.
#pragma once

#include <memory>
#include <vector>

#include "display/mouse_listener.h"
#include "display/platform/geometry.h"
#include "display/platform/gl_binding.h"
#include "display/platform/window_object.h"
#include "display/renderable.h"

class COffscreenImage;

class CGLView : public platform::WindowObject {
public:
    CGLView() = default;
    ~CGLView() override = default;

    void AppendRenderable(IRenderable* renderable);
    void RemoveLastRenderable();
    // Renders this panel, then its partner; the partner's own partner is not followed.
    void Render();

    // A new image of the client size times scale, 32 bits per pixel if bitsFlag, else 24.
    std::unique_ptr<COffscreenImage> CreateImage(double scale, bool bitsFlag);
    // Copies what the panel presents now into the whole image; it does not render.
    void Capture(COffscreenImage& image);

    bool EnsurePixelFormat();
    platform::GlContext BeginRender();
    void SetupProjection(int width, int height);
    void DrawScene();
    platform::DrawingSurface* AcquireDeviceContext();
    void ReleaseDeviceContext();

    void OnPaint() override;
    void OnMouseMove(int flags, platform::Point point) override;

    std::vector<IRenderable*> drawList;
    IMouseListener* listener = nullptr;
    platform::Rect clientRect;
    platform::PaintRecord paintStruct;
    bool pixelFormatSet = false;
    CGLView* partner = nullptr;
    platform::DrawingSurface* deviceContext = nullptr;
};
