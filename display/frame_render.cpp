#include "display/frame_render.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstddef>

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

// Brackets each render in a kept context: inside, every GL state is what a new context starts with;
// afterwards nothing the render changed is left but the matrices, which the next render loads with
// the identity again.
void EnterFreshState() {
    // Everything a render can change is on the attribute stacks except the matrices, which a new
    // context starts as identities; gluPerspective and gluLookAt multiply onto what they find.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    for (GLenum mode : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(mode);
        glLoadIdentity();
    }
    // Mesa's attribute pop does not bring the current colour and normal back, so they are set to a
    // new context's values here.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord4f(0.0f, 0.0f, 0.0f, 1.0f);
}

void LeaveFreshState() {
    glPopClientAttrib();
    glPopAttrib();
}

// The finished picture of the current surface, read back into frame in one copy and one flip.
void ReadBack(const platform::DrawingSurface& surface, platform::PresentedFrame& frame) {
    const int width = surface.pbufferWidth;
    const int height = surface.pbufferHeight;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    frame.width = width;
    frame.height = height;
    // Same size as last time: the buffer is reused and nothing is allocated.
    frame.bgr.resize(rowBytes * static_cast<std::size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, frame.bgr.data());
    // GL returns the bottom row first; a frame keeps the top row first.
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        unsigned char* a = frame.bgr.data() + static_cast<std::size_t>(top) * rowBytes;
        unsigned char* b = frame.bgr.data() + static_cast<std::size_t>(bottom) * rowBytes;
        std::swap_ranges(a, a + rowBytes, b);
    }
}

// Without a current context there is no picture to read, and frame keeps what it had.
bool DrawPanelScene(const std::vector<IRenderable*>& drawList, const platform::DrawingSurface* surface, bool current,
                    platform::PresentedFrame& frame) {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // No push or pop between entries: the camera's look-at must apply to everything after it.
    for (IRenderable* renderable : drawList) renderable->Draw();
    if (current) ReadBack(*surface, frame);
    glPopMatrix();
    return current;
}

}  // namespace

bool RenderDrawList(const RenderTarget& target, int width, int height, const std::vector<IRenderable*>& drawList,
                    platform::PresentedFrame& frame) {
    // Without a current context every step still runs: its GL calls have no effect, and no picture is read.
    const bool current = target.surface != nullptr && target.context != nullptr &&
                         ((target.staysCurrent && platform::IsGlCurrent(target.surface, target.context)) ||
                          platform::MakeGlCurrent(target.surface, target.context));
    if (current && target.keptContext) EnterFreshState();
    SetupPanelProjection(width, height);
    const bool read = DrawPanelScene(drawList, target.surface, current, frame);
    // The state goes back after the read-back, so the next render in this context starts as a new one.
    if (current && target.keptContext) LeaveFreshState();
    if (!target.staysCurrent) platform::MakeGlCurrent(nullptr, nullptr);
    return read;
}
