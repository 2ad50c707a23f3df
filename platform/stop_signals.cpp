#include "platform/stop_signals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace platform {

namespace {

volatile sig_atomic_t stopNoted = 0;
int pipeEnds[2] = {-1, -1};

// Only async-signal-safe work: a flag and one byte into a pipe that nothing
// drains, so that every later wait finds it readable too.
void onStopSignal(int)
{
    int savedErrno = errno;
    if (!stopNoted) {
        stopNoted = 1;
        if (pipeEnds[1] >= 0) {
            [[maybe_unused]] ssize_t written = write(pipeEnds[1], "s", 1);
        }
    }
    errno = savedErrno;
}

} // namespace

void catchStopSignals()
{
    if (pipeEnds[0] < 0 && pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        pipeEnds[0] = pipeEnds[1] = -1;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Restarted calls: a signal must not make a file read or write of the
    // program fail half-way.
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        // A signal that whoever started the program set to be ignored (nohup,
        // a background job of a script) stays ignored.
        struct sigaction before {};
        if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN)
            continue;
        sigaction(signal, &action, nullptr);
    }
}

bool stopRequested()
{
    return stopNoted != 0;
}

int stopSignalDescriptor()
{
    return pipeEnds[0];
}

void requestStop()
{
    onStopSignal(0);
}

void forgetStop()
{
    if (pipeEnds[0] >= 0) {
        char byte;
        while (read(pipeEnds[0], &byte, 1) == 1) {
        }
    }
    stopNoted = 0;
}

} // namespace platform
