// A stop request from outside: the first SIGINT, SIGTERM or SIGHUP only records which signal came,
// which the run reads after every evaluation; a second request by any of them ends the process at
// once, as the signal normally does. The same signal sent again at once by the same process is the
// first request delivered twice, as `timeout` does. Ctrl-C, a hang-up and a batch system's time limit
// all end a run alike.
#pragma once

void InstallInterruptRequest();

bool InterruptRequested();

// The signal that asked for the stop, or 0 while none has.
int InterruptSignal();

// "SIGINT", "SIGTERM" or "SIGHUP"; empty for any other number.
const char* SignalName(int signal);
