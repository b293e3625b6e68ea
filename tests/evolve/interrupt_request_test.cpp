// Stop requests taken in this process by the signal thread: what the first records, which second one
// is an echo and which ends the process.
#include "evolve/interrupt_request.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <ctime>

namespace {

// Bounded, so that a request that never arrives fails the test instead of hanging it.
template <typename Condition>
bool WaitFor(Condition condition) {
    const timespec step = {0, 1'000'000};
    for (int i = 0; i < 20'000; ++i) {
        if (condition()) return true;
        nanosleep(&step, nullptr);
    }
    return condition();
}

bool IsPending(int signal) {
    sigset_t pending;
    sigpending(&pending);
    return sigismember(&pending, signal) == 1;
}

}  // namespace

TEST(InterruptRequest, TheSameSignalSentTwiceByOneProcessIsOneRequest) {
    InstallInterruptRequest();
    ASSERT_FALSE(InterruptRequested()) << "a request was taken before any was sent";

    kill(getpid(), SIGTERM);
    ASSERT_TRUE(WaitFor([] { return InterruptRequested(); }));
    // Sent only once the first was taken, so that it arrives as a delivery of its own.
    kill(getpid(), SIGTERM);
    ASSERT_TRUE(WaitFor([] { return !IsPending(SIGTERM); }));

    EXPECT_TRUE(InterruptRequested());
    EXPECT_EQ(InterruptSignal(), SIGTERM);
    EXPECT_STREQ(SignalName(InterruptSignal()), "SIGTERM");
}

TEST(InterruptRequest, ASecondRequestThatIsNoEchoEndsTheProcessWithItsSignal) {
    // Each case in a freshly started process, whose only thread when it installs is the one below.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    enum Sender { kKill, kQueue };
    struct Case {
        const char* what;
        int first;
        Sender firstBy;
        int second;
        Sender secondBy;
    };
    const Case cases[] = {
        {"another signal", SIGTERM, kKill, SIGHUP, kKill},
        // sigqueue's code is no SI_USER, as a terminal's Ctrl-C is not: a second press is meant.
        {"the same signal, the second not sent by kill", SIGINT, kKill, SIGINT, kQueue},
        {"the same signal, the first not sent by kill", SIGHUP, kQueue, SIGHUP, kKill},
    };
    const auto send = [](int signal, Sender by) {
        if (by == kKill) {
            kill(getpid(), signal);
        } else {
            sigqueue(getpid(), signal, sigval{});
        }
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                InstallInterruptRequest();
                send(c.first, c.firstBy);
                if (!WaitFor([] { return InterruptRequested(); })) _exit(1);
                send(c.second, c.secondBy);
                WaitFor([] { return false; });
                _exit(InterruptSignal() == c.first ? 0 : 2);
            },
            testing::KilledBySignal(c.second), "")
            << c.what;
    }
}
