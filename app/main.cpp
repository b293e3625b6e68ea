// Ramulon: evolves 3D tree models towards a target picture.
#include "app/main_app.h"
#include "app/resources.h"
#include "evolution/heap_policy.h"

namespace {

CMainApp theApp;

}  // namespace

int main(int argc, char** argv) {
    KeepFreedHeapMemory();
    return theApp.Run(argc, argv, kApplicationName, kApplicationVersion);
}
