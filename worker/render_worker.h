// The render worker's side: a process of its own with a display of its own, which draws each candidate
// it is sent as the right panel draws it, with the candidate last, and compares the picture with the
// target as an evaluation does. It draws no random number, ignores stop signals and ends with the
// program that started it.
#pragma once

#include <sys/types.h>

// Serves the program until its socket closes; the status to exit with.
int RunRenderWorker(pid_t program);
