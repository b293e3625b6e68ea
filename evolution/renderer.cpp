#include "evolution/renderer.h"

#include "display/gl_view.h"

void CRenderer::Serve(CGLView& panel) { panel.glDisplay = &display; }
