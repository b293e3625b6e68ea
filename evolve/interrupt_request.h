// Ctrl-C as a request: the first SIGINT only sets a flag, which the run reads after every evaluation;
// a second one ends the process at once, as SIGINT normally does.
#pragma once

void InstallInterruptRequest();

bool InterruptRequested();
