#include "evolve/interrupt_request.h"

#include <atomic>
#include <csignal>

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Lock-free, so that the handler may set it whatever the interrupted code was doing.
std::atomic<int> requestedBy{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnInterrupt(int signal) {
    int none = 0;
    requestedBy.compare_exchange_strong(none, signal, std::memory_order_relaxed);
    // All three go back to their default, not only this one, so that a Ctrl-C after a SIGTERM ends
    // the process too. The mask blocks the others meanwhile: one that arrives now waits and then kills.
    struct sigaction fallBack = {};
    fallBack.sa_handler = SIG_DFL;
    sigemptyset(&fallBack.sa_mask);
    for (const int stop : kStopSignals) sigaction(stop, &fallBack, nullptr);
}

}  // namespace

void InstallInterruptRequest() {
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (const int stop : kStopSignals) sigaddset(&action.sa_mask, stop);
    action.sa_flags = SA_RESTART;
    for (const int stop : kStopSignals) sigaction(stop, &action, nullptr);
    // Output to a reader that went away (an SSH session that dropped, `| head`) fails quietly instead
    // of killing the run: its files are what matters.
    signal(SIGPIPE, SIG_IGN);
}

bool InterruptRequested() { return InterruptSignal() != 0; }

int InterruptSignal() { return requestedBy.load(std::memory_order_relaxed); }

const char* SignalName(int signal) {
    switch (signal) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        default:
            return "";
    }
}
