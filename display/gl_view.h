// An OpenGL panel attached to a static control of a dialog. It owns its draw list, its drawing surface
// with the GL context kept for it, and the frame a render leaves. A render draws the list, first to
// last, in that context reset to a new context's state, then renders the partner panel the same way,
// and only then has the new frames shown. A panel whose draw list, camera and size are as they were
// at its last frame keeps that frame and is not drawn again.
// Mouse moves are normalised to 0..1 and handed to the listener before the render.
#pragma once

#include <memory>
#include <vector>

#include "display/drawing_key.h"
#include "display/mouse_listener.h"
#include "display/platform/drawing_surface.h"
#include "display/platform/geometry.h"
#include "display/platform/gl_binding.h"
#include "display/platform/window_object.h"
#include "display/renderable.h"

class COffscreenImage;
class CRenderThread;

class CGLView : public platform::WindowObject {
public:
    CGLView();
    ~CGLView() override;

    void AppendRenderable(IRenderable* renderable);
    void RemoveLastRenderable();
    // Renders this panel, then its partner; the partner's own partner is not followed.
    void Render();

    // A new image of the client size times scale, 32 bits per pixel if bitsFlag, else 24.
    std::unique_ptr<COffscreenImage> CreateImage(double scale, bool bitsFlag);
    // Copies what the panel presents now into the whole image; it does not render.
    void Capture(COffscreenImage& image);

    bool EnsurePixelFormat();
    // Readies the surface for the client size and returns the context to render in: the kept one, or
    // a new one on the reference path.
    platform::GlContext BeginRender();
    static void SetupProjection(int width, int height);
    void DrawScene(platform::GlContext context);
    // A context made for this render alone is deleted; a kept one stays with the surface.
    void EndRender(platform::GlContext context);
    platform::DrawingSurface* AcquireDeviceContext();
    void ReleaseDeviceContext();

    void OnPaint() override;
    void OnMouseMove(int flags, platform::Point point) override;
    bool HasCurrentFrame() override;
    const platform::PresentedFrame* FrameToShow() override;

    // The picture of the latest render; empty until a render succeeds.
    const platform::PresentedFrame& Frame() const { return frame; }
    // The client area as it is now; left and top are 0.
    platform::Rect ClientArea() const { return GetClientRect(); }
    // Takes a picture that was rendered elsewhere from this panel's draw list as it stands now, at its
    // client size, and shows it as the panel's own latest frame. rendered gets the old frame's buffer.
    void ShowRenderedFrame(platform::PresentedFrame& rendered);

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
    // When both panels of a pair must be drawn, the partner is drawn on a thread of its own at the same
    // time; both frames are still shown only once both are drawn.
    bool drawPartnerConcurrently = false;
    // The display the panel draws on, given by the program's renderer; without one it stays black.
    platform::GlDisplay* glDisplay = nullptr;

private:
    // This panel, then its partner, each unless its frame is still right.
    void RenderPair();
    // Makes the key of what the panel would draw now; true when that is not its frame.
    bool NeedsRender() { return referenceRendering || !FrameIsCurrent(); }
    // Draws this panel alone, after NeedsRender has made its key.
    void DrawPanel();
    // After a render: keeps the key of a stored frame, which waits to be shown.
    void KeepFrame();
    // True when the draw list, its entries' keys and the client size give frameKey again.
    bool FrameIsCurrent();
    void ShowNewFrameNow();

    platform::DrawingSurface surface;
    platform::PresentedFrame frame;
    std::unique_ptr<CRenderThread> partnerThread;
    // A stored frame that no paint has shown yet.
    bool frameUnshown = false;
    bool frameStored = false;
    // frameKey describes the stored frame while frameKeyValid; nextKey is the one being compared.
    CDrawingKey frameKey;
    CDrawingKey nextKey;
    bool frameKeyValid = false;
    bool nextKeyComplete = false;
};
