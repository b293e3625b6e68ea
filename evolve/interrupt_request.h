// A stop request from outside: the first SIGINT, SIGTERM or SIGHUP only records which signal came,
// which the run reads after every evaluation; a second request by any of them ends the process at
// once, as the signal normally does. The same signal sent again at once by the same process is the
// first request delivered twice, as `timeout` does. Ctrl-C, a hang-up and a batch system's time limit
// all end a run alike.
//
// The three signals are blocked and taken by one thread of our own, never by a handler that could run
// on whichever thread the kernel picks (Qt's, Mesa's rasterisers, a render worker). Every thread
// inherits the mask from the one that starts it, so the mask is set while no other thread exists; child
// processes keep it across exec and leave the decision to this program.
#pragma once

// Call first in main(), before any other thread exists. Calling it again does nothing.
void InstallInterruptRequest();

bool InterruptRequested();

// The signal that asked for the stop, or 0 while none has.
int InterruptSignal();

// "SIGINT", "SIGTERM" or "SIGHUP"; empty for any other number.
const char* SignalName(int signal);
