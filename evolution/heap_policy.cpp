#include "evolution/heap_policy.h"

#include <malloc.h>

void KeepFreedHeapMemory() {
    // The top of the heap is trimmed only past 1 GiB of free memory, far above what a run frees at once.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}
