// ramulon-render-worker: a render worker process that ramulon and ramulon-evolve start for themselves,
// one per core, to score candidates at the same time. It is not meant to be run by hand.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "evolution/heap_policy.h"
#include "worker/render_worker.h"

int main(int argc, char** argv) {
    char* end = nullptr;
    const long program = argc == 2 ? std::strtol(argv[1], &end, 10) : 0;
    if (program <= 0 || end == nullptr || *end != '\0') {
        std::fputs("ramulon-render-worker: started by ramulon and ramulon-evolve for themselves, not by hand\n",
                   stderr);
        return 2;
    }
    // Mesa frees and takes back the same large buffers on every render, as it does in the program.
    KeepFreedHeapMemory();
    return RunRenderWorker(static_cast<pid_t>(program));
}
