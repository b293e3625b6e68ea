#include "display/frame_render.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "display/renderable.h"

void SetupPanelProjection(int width, int height) {
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

namespace {

bool DrawPanelScene(const std::vector<IRenderable*>& drawList, const platform::DrawingSurface* surface,
                    platform::PresentedFrame& frame) {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // No push or pop between entries: the camera's look-at must apply to everything after it.
    for (IRenderable* renderable : drawList) renderable->Draw();
    const bool read = platform::ReadFrame(surface, frame);
    glPopMatrix();
    return read;
}

}  // namespace

bool RenderDrawList(const RenderTarget& target, int width, int height, const std::vector<IRenderable*>& drawList,
                    platform::PresentedFrame& frame) {
    // Without a current context every step still runs: its GL calls have no effect, and no picture is read.
    const bool current = target.surface != nullptr && target.context != nullptr &&
                         ((target.staysCurrent && platform::IsGlCurrent(target.surface, target.context)) ||
                          platform::MakeGlCurrent(target.surface, target.context));
    if (current && target.keptContext) platform::EnterFreshState();
    SetupPanelProjection(width, height);
    const bool read = DrawPanelScene(drawList, target.surface, frame);
    // The state goes back after the read-back, so the next render in this context starts as a new one.
    if (current && target.keptContext) platform::LeaveFreshState();
    if (!target.staysCurrent) platform::MakeGlCurrent(nullptr, nullptr);
    return read;
}
