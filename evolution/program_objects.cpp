#include "evolution/program_objects.h"

void CProgramObjects::Wire() {
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

void CProgramObjects::UseDetachedPanels(int width, int height) {
    targetView.SetDetachedClientSize(width, height);
    evolvedView.SetDetachedClientSize(width, height);
}
