#include "app/panel_wiring.h"

#include "display/gl_view.h"
#include "display/orbit_camera.h"
#include "evolution/evolver.h"
#include "tree/tree_model.h"

void WireMainPanels(CGLView& targetView, CGLView& evolvedView, CTreeModel& targetTree, CEvolver& evolver,
                    COrbitCamera& camera) {
    camera.pose.SetDistance(500);
    camera.lightOn = true;

    evolvedView.listener = &camera;
    evolvedView.AppendRenderable(&camera);
    evolver.AttachView(&evolvedView);

    targetView.listener = &camera;
    targetView.AppendRenderable(&camera);
    targetView.AppendRenderable(&targetTree);

    targetView.partner = &evolvedView;
    evolvedView.partner = &targetView;
}
