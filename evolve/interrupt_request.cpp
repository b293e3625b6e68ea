#include "evolve/interrupt_request.h"

#include <atomic>
#include <csignal>

namespace {

// Lock-free, so that the handler may set it whatever the interrupted code was doing.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int) { interrupted.store(true, std::memory_order_relaxed); }

}  // namespace

void InstallInterruptRequest() {
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // The handler goes back to the default after the first signal, so a second Ctrl-C ends the process.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

bool InterruptRequested() { return interrupted.load(std::memory_order_relaxed); }
