// How many processor cores this process may run on: its CPU affinity, which a batch system or taskset
// may have narrowed, not the machine's total.
#pragma once

// At least 1.
int UsableCoreCount();
