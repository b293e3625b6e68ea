#include "display/gl_view.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "display/platform/control_widget.h"
#include "display/platform/drawing_surface.h"

void CGLView::AppendRenderable(IRenderable* renderable) { drawList.push_back(renderable); }

void CGLView::RemoveLastRenderable() {
    if (!drawList.empty()) drawList.pop_back();
}

bool CGLView::EnsurePixelFormat() {
    if (pixelFormatSet) return true;
    const platform::SurfaceFormatRequest request{
        .drawToWindow = true, .openGl = true, .doubleBuffered = true, .rgba = true, .colorBits = 32, .depthBits = 32};
    if (AcquireDeviceContext() == nullptr) return false;
    const int format = platform::FindSurfaceFormat(request);
    if (format == 0) return false;
    const platform::Rect client = GetClientRect();
    if (!platform::ApplySurfaceFormat(*deviceContext, format, client.right, client.bottom)) return false;
    pixelFormatSet = true;
    return true;
}

void CGLView::SetupProjection(int width, int height) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_COLOR_MATERIAL);
    glMatrixMode(GL_PROJECTION);
    // An empty client area has no aspect ratio; a square one keeps the matrix finite.
    const double aspect = (width > 0 && height > 0) ? static_cast<double>(width) / height : 1.0;
    gluPerspective(45.0, aspect, 3.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
}

platform::GlContext CGLView::BeginRender() {
    // A kept context and its pbuffer belong to the size they were made for; a resized panel gets both anew.
    const platform::Rect client = GetClientRect();
    if (pixelFormatSet && AcquireDeviceContext() != nullptr &&
        !platform::SurfaceHasSize(*deviceContext, client.right, client.bottom)) {
        platform::ReleaseSurface(*deviceContext);
        pixelFormatSet = false;
    }
    EnsurePixelFormat();
    AcquireDeviceContext();
    platform::GlContext context =
        referenceRendering ? platform::CreateGlContext(deviceContext) : platform::KeptGlContext(deviceContext);
    if (platform::MakeGlCurrent(deviceContext, context) && !referenceRendering) platform::EnterFreshState();
    clientRect = GetClientRect();
    SetupProjection(clientRect.right, clientRect.bottom);
    return context;
}

void CGLView::DrawScene() {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // No push or pop between entries: the camera's look-at must apply to everything after it.
    for (IRenderable* renderable : drawList) renderable->Draw();
    framePresented = platform::PresentFrame(AcquireDeviceContext());
    ReleaseDeviceContext();
    glPopMatrix();
}

void CGLView::EndRender(platform::GlContext context) {
    // The state goes back after the read-back, so the next render in this context starts as a new one.
    if (!referenceRendering && context != nullptr) platform::LeaveFreshState();
    platform::MakeGlCurrent(nullptr, nullptr);
    if (referenceRendering) platform::DeleteGlContext(context);
}

void CGLView::Render() {
    const bool presented = RenderPanel();
    const bool partnerPresented = partner != nullptr && partner->RenderPanel();
    // New frames are shown only once both panels are drawn: showing one lets the window system paint,
    // and a paint must never find a render under way.
    platform::ShowNewFrames({presented ? Control() : nullptr, partnerPresented ? partner->Control() : nullptr});
}

bool CGLView::RenderPanel() {
    if (!referenceRendering && FrameIsCurrent()) return false;
    framePresented = false;
    platform::GlContext context = BeginRender();
    DrawScene();
    EndRender(context);
    // Only a presented frame can be kept; after a failed render the next one tries again.
    frameKeyValid = framePresented && nextKeyComplete && !referenceRendering;
    if (frameKeyValid) frameKey.Swap(nextKey);
    return framePresented;
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

platform::DrawingSurface* CGLView::AcquireDeviceContext() {
    if (deviceContext == nullptr) deviceContext = GetDrawingSurface();
    return deviceContext;
}

void CGLView::ReleaseDeviceContext() { deviceContext = nullptr; }

void CGLView::OnPaint() {
    BeginPaint(paintStruct);
    Render();
    EndPaint(paintStruct);
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
