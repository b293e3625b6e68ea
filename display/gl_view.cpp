#include "display/gl_view.h"

#include <utility>

#include "display/frame_render.h"
#include "display/platform/control_widget.h"
#include "display/render_thread.h"

CGLView::CGLView() = default;

CGLView::~CGLView() {
    partnerThread.reset();
    platform::ReleaseSurface(surface);
}

void CGLView::AppendRenderable(IRenderable* renderable) { drawList.push_back(renderable); }

void CGLView::RemoveLastRenderable() {
    if (!drawList.empty()) drawList.pop_back();
}

bool CGLView::EnsurePixelFormat() {
    if (pixelFormatSet) return true;
    if (AcquireDeviceContext() == nullptr) return false;
    if (glDisplay == nullptr || !glDisplay->Open()) return false;
    const platform::Rect client = GetClientRect();
    if (!glDisplay->ApplySurfaceFormat(*deviceContext, client.right, client.bottom)) return false;
    pixelFormatSet = true;
    return true;
}

void CGLView::SetupProjection(int width, int height) { SetupPanelProjection(width, height); }

platform::GlContext CGLView::BeginRender() {
    // A kept context and its pbuffer belong to the size they were made for; a resized panel gets both anew.
    const platform::Rect client = GetClientRect();
    if (pixelFormatSet && !platform::SurfaceHasSize(surface, client.right, client.bottom)) {
        platform::ReleaseSurface(surface);
        pixelFormatSet = false;
    }
    EnsurePixelFormat();
    AcquireDeviceContext();
    clientRect = GetClientRect();
    if (deviceContext == nullptr) return nullptr;
    return referenceRendering ? platform::CreateGlContext(deviceContext) : platform::KeptGlContext(deviceContext);
}

void CGLView::DrawScene(platform::GlContext context) {
    // May run on the partner's render thread: it touches nothing but this panel's own fields and the GL.
    const RenderTarget target{deviceContext, context, !referenceRendering};
    frameStored = RenderDrawList(target, clientRect.right, clientRect.bottom, drawList, frame);
    ReleaseDeviceContext();
}

void CGLView::EndRender(platform::GlContext context) {
    if (referenceRendering) platform::DeleteGlContext(surface, context);
}

void CGLView::Render() {
    RenderPair();
    // New frames are shown only once both panels are drawn: a paint must never find a render under way.
    ShowNewFrameNow();
    if (partner != nullptr) partner->ShowNewFrameNow();
}

void CGLView::RenderPair() {
    // Each panel's key is made once: it tells whether the panel is drawn, and is kept with its frame.
    const bool concurrent = drawPartnerConcurrently && partner != nullptr && partner != this && !referenceRendering &&
                            !partner->referenceRendering;
    if (!concurrent) {
        if (NeedsRender()) DrawPanel();
        if (partner != nullptr && partner->NeedsRender()) partner->DrawPanel();
        return;
    }
    const bool mine = NeedsRender();
    const bool theirs = partner->NeedsRender();
    if (!mine || !theirs) {
        if (mine) DrawPanel();
        if (theirs) partner->DrawPanel();
        return;
    }
    // Everything that asks the window system is done here, on this thread; the two draws need only
    // their own surface, context, draw list and frame.
    platform::GlContext context = BeginRender();
    platform::GlContext partnerContext = partner->BeginRender();
    if (!partnerThread) partnerThread = std::make_unique<CRenderThread>();
    partnerThread->Run([this, partnerContext] { partner->DrawScene(partnerContext); });
    DrawScene(context);
    partnerThread->Wait();
    EndRender(context);
    partner->EndRender(partnerContext);
    KeepFrame();
    partner->KeepFrame();
}

void CGLView::DrawPanel() {
    platform::GlContext context = BeginRender();
    DrawScene(context);
    EndRender(context);
    KeepFrame();
}

void CGLView::KeepFrame() {
    // Only a stored frame can be kept; after a failed render the next one tries again.
    frameKeyValid = frameStored && nextKeyComplete && !referenceRendering;
    if (frameKeyValid) frameKey.Swap(nextKey);
    if (frameStored) frameUnshown = true;
}

void CGLView::ShowRenderedFrame(platform::PresentedFrame& rendered) {
    std::swap(frame, rendered);
    // No key is made for it: that would cost every candidate a key that only a later render of the
    // same list could use, and training puts best back before it renders again.
    frameKeyValid = false;
    frameUnshown = true;
    ShowNewFrameNow();
}

bool CGLView::FrameIsCurrent() {
    nextKeyComplete = false;
    nextKey.Clear();
    const platform::Rect client = GetClientRect();
    nextKey.Append(client.right);
    nextKey.Append(client.bottom);
    nextKey.Append(drawList.size());
    // Each entry's own address goes in too, so that two kinds of entry can never give the same bytes.
    for (const IRenderable* renderable : drawList) {
        nextKey.Append(renderable);
        if (!renderable->DescribeDrawing(nextKey)) return false;
    }
    nextKeyComplete = true;
    return frameKeyValid && nextKey == frameKey;
}

void CGLView::ShowNewFrameNow() {
    // Painting one control can paint its neighbours too; a frame shown that way is not painted twice.
    if (frameUnshown && Control() != nullptr) Control()->ShowFrameNow();
}

bool CGLView::HasCurrentFrame() { return frameUnshown || (!referenceRendering && FrameIsCurrent()); }

const platform::PresentedFrame* CGLView::FrameToShow() {
    frameUnshown = false;
    return &frame;
}

platform::DrawingSurface* CGLView::AcquireDeviceContext() {
    if (deviceContext == nullptr && HasWindow()) deviceContext = &surface;
    return deviceContext;
}

void CGLView::ReleaseDeviceContext() { deviceContext = nullptr; }

void CGLView::OnPaint() {
    BeginPaint(paintStruct);
    RenderPair();
    EndPaint(paintStruct);
    // This panel's frame is painted by the paint under way; the partner's waits for a paint of its own,
    // since one paint event must not paint another control.
    if (partner != nullptr && partner->frameUnshown && partner->Control() != nullptr)
        partner->Control()->ShowFrameLater();
}

void CGLView::OnMouseMove(int flags, platform::Point point) {
    const platform::Rect r = GetWindowRect();
    const double w = r.right - r.left;
    const double h = r.bottom - r.top;
    if (w < 0.001 || h < 0.001) return;
    // Reciprocal first, then the product, so that positions match bit for bit across builds.
    const double xn = (1.0 / w) * point.x;
    const double yn = (1.0 / h) * point.y;
    if (xn >= 0.0 && xn <= 1.0 && yn >= 0.0 && yn <= 1.0 && listener != nullptr) listener->OnMouse(flags, xn, yn);
    BeginPaint(paintStruct);
    Render();
    EndPaint(paintStruct);
}
