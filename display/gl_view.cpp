#include "display/gl_view.h"

#include <GL/gl.h>
#include <GL/glu.h>

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
    EnsurePixelFormat();
    AcquireDeviceContext();
    platform::GlContext context = platform::CreateGlContext(deviceContext);
    platform::MakeGlCurrent(deviceContext, context);
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
    platform::PresentFrame(AcquireDeviceContext());
    ReleaseDeviceContext();
    glPopMatrix();
}

void CGLView::Render() {
    platform::GlContext context = BeginRender();
    DrawScene();
    platform::MakeGlCurrent(nullptr, nullptr);
    platform::DeleteGlContext(context);
    if (partner != nullptr) {
        platform::GlContext partnerContext = partner->BeginRender();
        partner->DrawScene();
        platform::MakeGlCurrent(nullptr, nullptr);
        platform::DeleteGlContext(partnerContext);
    }
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
