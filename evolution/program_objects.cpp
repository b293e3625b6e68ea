#include "evolution/program_objects.h"

#include "evolution/processor_cores.h"

CProgramObjects::CProgramObjects() { SetJobs(UsableCoreCount()); }

void CProgramObjects::Wire() {
    renderer.Serve(targetView);
    renderer.Serve(evolvedView);
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
    evolver.evaluationPool = &renderer.workers;
}

void CProgramObjects::UseDetachedPanels(int width, int height) {
    targetView.SetDetachedClientSize(width, height);
    evolvedView.SetDetachedClientSize(width, height);
}

void CProgramObjects::SetJobs(int jobs) {
    renderer.workers.SetWorkerCount(jobs);
    targetView.drawPartnerConcurrently = jobs > 1;
    evolvedView.drawPartnerConcurrently = jobs > 1;
}
