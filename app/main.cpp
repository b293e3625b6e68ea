// Ramulon: evolves 3D tree models towards a target picture.
#include "app/heap_policy.h"
#include "app/main_app.h"
#include "app/resources.h"
#include "display/platform/gl_binding.h"
#include "evolution/processor_cores.h"

namespace {

CMainApp theApp;

}  // namespace

int main(int argc, char** argv) {
    KeepFreedHeapMemory();
    // The program's objects make one job per core; their displays are opened before any thread starts.
    platform::OpenDisplaysForJobs(UsableCoreCount());
    return theApp.Run(argc, argv, kApplicationName, kApplicationVersion);
}
