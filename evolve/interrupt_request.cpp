#include "evolve/interrupt_request.h"

#include <atomic>
#include <csignal>
#include <ctime>

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
// Senders that deliver one request twice do so at once: `timeout` signals the run and then its whole
// process group. A person who means a second request takes longer than this.
constexpr long kEchoNanoseconds = 500'000'000;

// Lock-free, so that the handler may set it whatever the interrupted code was doing.
std::atomic<int> requestedBy{0};
static_assert(std::atomic<int>::is_always_lock_free);

// The first request's sender and time. Only the handler touches them, and the mask keeps it from
// running twice at once.
pid_t firstSender = 0;
int firstCode = 0;
timespec firstTime = {};

long NanosecondsSince(const timespec& then, const timespec& now) {
    return (now.tv_sec - then.tv_sec) * 1'000'000'000L + (now.tv_nsec - then.tv_nsec);
}

// The same signal from the same process straight after the first: one request delivered twice. The
// terminal's Ctrl-C comes from the kernel, so a second press is never taken for an echo.
bool IsEcho(int signal, const siginfo_t& info, const timespec& now) {
    return signal == requestedBy.load(std::memory_order_relaxed) && info.si_code == SI_USER && firstCode == SI_USER &&
           info.si_pid == firstSender && NanosecondsSince(firstTime, now) < kEchoNanoseconds;
}

extern "C" void OnStopSignal(int signal, siginfo_t* info, void*) {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (requestedBy.load(std::memory_order_relaxed) == 0) {
        firstSender = info->si_pid;
        firstCode = info->si_code;
        firstTime = now;
        requestedBy.store(signal, std::memory_order_relaxed);
        return;
    }
    if (IsEcho(signal, *info, now)) return;
    // A second request ends the process as the signal would have: blocked here, it is taken with its
    // default action as soon as the handler returns.
    struct sigaction fallBack = {};
    fallBack.sa_handler = SIG_DFL;
    sigemptyset(&fallBack.sa_mask);
    sigaction(signal, &fallBack, nullptr);
    raise(signal);
}

}  // namespace

void InstallInterruptRequest() {
    struct sigaction action = {};
    action.sa_sigaction = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int stop : kStopSignals) sigaddset(&action.sa_mask, stop);
    action.sa_flags = SA_SIGINFO | SA_RESTART;
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
