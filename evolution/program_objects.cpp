#include "evolution/program_objects.h"

#include "evolution/processor_cores.h"

CProgramObjects::CProgramObjects() { SetJobs(UsableCoreCount()); }

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
    evolver.evaluationPool = &evaluationPool;
}

void CProgramObjects::UseDetachedPanels(int width, int height) {
    targetView.SetDetachedClientSize(width, height);
    evolvedView.SetDetachedClientSize(width, height);
}

void CProgramObjects::SetJobs(int jobs) {
    evaluationPool.SetWorkerCount(jobs);
    targetView.drawPartnerConcurrently = jobs > 1;
    evolvedView.drawPartnerConcurrently = jobs > 1;
    // Takes effect for a surface not yet made; a panel keeps the display it was made on.
    evolvedView.displayNumber = jobs > 1 ? 1 : 0;
}
