#include "evolve/interrupt_request.h"

#include <dirent.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cassert>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

// Senders that deliver one request twice do so at once: `timeout` signals the run and then its whole
// process group. A person who means a second request takes longer than this.
constexpr long kEchoNanoseconds = 500'000'000;

// Stored once, by the signal thread; the release pairs with the run's acquire, so whatever the thread
// did before it is visible to whoever sees the signal.
std::atomic<int> requestedBy{0};

sigset_t StopSignals() {
    sigset_t stops;
    sigemptyset(&stops);
    for (const int stop : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, stop);
    return stops;
}

// Read only by the assert below, so a release build pays nothing for it.
[[maybe_unused]] bool IsOnlyThread() {
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr) return true;
    int threads = 0;
    while (const dirent* entry = readdir(tasks)) threads += entry->d_name[0] != '.';
    closedir(tasks);
    return threads == 1;
}

long NanosecondsSince(const timespec& then, const timespec& now) {
    return (now.tv_sec - then.tv_sec) * 1'000'000'000L + (now.tv_nsec - then.tv_nsec);
}

// A second request ends the process as the signal would have. The disposition is made the default
// explicitly, because a parent may have left it ignored (nohup), and the signal goes to this thread
// alone, the one thread that no longer blocks it.
[[noreturn]] void EndAsTheSignalWould(int signal) {
    struct sigaction byDefault = {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    sigaction(signal, &byDefault, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
    // Not reached for these three signals, whose default action ends the process.
    _exit(128 + signal);
}

// The first request's sender, kind and time live on this thread's stack: no other thread can see them,
// so no delivery of any signal can find them half-written.
void* TakeStopSignals(void*) {
    const sigset_t stops = StopSignals();
    int requested = 0;
    pid_t firstSender = 0;
    int firstCode = 0;
    timespec firstTime = {};
    for (;;) {
        siginfo_t info = {};
        const int signal = sigwaitinfo(&stops, &info);
        // Only a handler of some other signal interrupts the wait, and then nothing was taken.
        if (signal < 0) continue;
        timespec now = {};
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (requested == 0) {
            requested = signal;
            firstSender = info.si_pid;
            firstCode = info.si_code;
            firstTime = now;
            requestedBy.store(signal, std::memory_order_release);
            continue;
        }
        // The same signal from the same process straight after the first: one request delivered twice.
        // The terminal's Ctrl-C comes from the kernel, so a second press is never taken for an echo.
        const bool echo = signal == requested && info.si_code == SI_USER && firstCode == SI_USER &&
                          info.si_pid == firstSender && NanosecondsSince(firstTime, now) < kEchoNanoseconds;
        if (!echo) EndAsTheSignalWould(signal);
    }
}

bool StartSignalThread() {
    assert(IsOnlyThread() && "call InstallInterruptRequest first in main(), before anything starts a thread");
    const sigset_t stops = StopSignals();
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &stops, &before);
    // Output to a reader that went away (an SSH session that dropped, `| head`) fails quietly instead
    // of killing the run: its files are what matters.
    signal(SIGPIPE, SIG_IGN);

    // Detached: it waits in sigwaitinfo for as long as the process lives and is never joined, so it
    // holds up no exit.
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    const int error = pthread_create(&thread, &attributes, TakeStopSignals, nullptr);
    pthread_attr_destroy(&attributes);
    if (error != 0) {
        // Blocked with no one to take them, the signals could not stop the run at all; by default
        // they at least end it.
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        std::fprintf(stderr, "ramulon-evolve: no thread for stop signals (%s); a signal ends the run at once\n",
                     std::strerror(error));
        return false;
    }
    return true;
}

}  // namespace

void InstallInterruptRequest() { [[maybe_unused]] static const bool started = StartSignalThread(); }

bool InterruptRequested() { return InterruptSignal() != 0; }

int InterruptSignal() { return requestedBy.load(std::memory_order_acquire); }

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
