// An OpenGL panel attached to a static control of a dialog. It owns only its draw list; a render draws
// the list, first to last, in the panel's kept GL context reset to a new context's state, then renders
// the partner panel the same way, and only then shows the new frames. A panel whose draw list, camera
// and size are as they were at its last frame keeps that frame and is not drawn again.
// Mouse moves are normalised to 0..1 and handed to the listener before the render.
#pragma once

#include <memory>
#include <vector>

#include "display/drawing_key.h"
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
    // Leaves no context current; a fresh context is deleted, a kept one back in its new state.
    void EndRender(platform::GlContext context);
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

    // For tests and benchmarks only, as the reference that the program's pictures are checked against:
    // every render in a context made and deleted for it, and no panel ever left undrawn.
    bool referenceRendering = false;

private:
    // Renders this panel alone unless its frame is still right; true when a new frame was presented.
    bool RenderPanel();
    // True when the draw list, its entries' keys and the client size give frameKey again.
    bool FrameIsCurrent();

    // frameKey describes the presented frame while frameKeyValid; nextKey is the one being compared.
    CDrawingKey frameKey;
    CDrawingKey nextKey;
    bool frameKeyValid = false;
    bool nextKeyComplete = false;
    bool framePresented = false;
};
