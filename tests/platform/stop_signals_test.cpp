#include "platform/stop_signals.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

using namespace platform;
using ::testing::ExitedWithCode;

// Killed by SIGALRM unless the process is ended within a second.
[[noreturn]] static void waitForGood() { for (alarm(1);;) pause(); }

// nohup: an ignored stop stays ignored. Any other ends a program that waits for good within a second, with exit
// code 0, after the last words (cut short when they never end: a display that does not answer). With no wake-up
// pipe (no descriptor free) that is said.
TEST(StopSignalsDeathTest, AnIgnoredStopStaysIgnoredAndAnyOtherEndsTheProgramWithinASecond)
{
    for (int s : {SIGTERM, SIGINT, SIGHUP}) {
        EXPECT_EXIT((signal(s, SIG_IGN), catchStopSignals(), raise(s), _exit(stopRequested())), ExitedWithCode(0), "");
        EXPECT_EXIT((catchStopSignals(), setLastWords([] { for (std::fputs("the mode is back", stderr);;) pause(); }),
                     raise(s), waitForGood()), ExitedWithCode(0), "did not end by itself.*the mode is back");
    }
    // An end under way that blocks: ended within a second in a plain build, as too long; a sanitizer's, slow to
    // end, may finish.
    EXPECT_EXIT((catchStopSignals(), noteOrdinaryEnd(), raise(SIGTERM),
                 endingSeconds ? (sleep(2), _exit(7)) : waitForGood()), ExitedWithCode(endingSeconds ? 7 : 0),
                endingSeconds ? "" : "end after the stop signal took too long");
    sigset_t hup{};  // blocked by whoever started the program: let through
    EXPECT_EXIT((sigaddset(&hup, SIGHUP), sigprocmask(SIG_BLOCK, &hup, nullptr), catchStopSignals(), raise(SIGHUP),
                 waitForGood()), ExitedWithCode(0), "");
    const rlimit none{};
    EXPECT_EXIT((setrlimit(RLIMIT_NOFILE, &none), catchStopSignals(), raise(SIGTERM), waitForGood()),
                ExitedWithCode(0), "skarvel: no wake-up pipe for the stop signals");
}
