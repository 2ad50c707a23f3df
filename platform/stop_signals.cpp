#include "platform/stop_signals.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <pthread.h>
#include <semaphore.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

// Written by the handler on whichever thread the signal lands.
std::atomic<bool> stopNoted{false};
static_assert(std::atomic<bool>::is_always_lock_free);
std::atomic<void (*)()> lastWords{nullptr};
static_assert(std::atomic<void (*)()>::is_always_lock_free);
int pipeEnds[2] = {-1, -1};
// What the watcher waits on: posted once, with the flag. Made ready by
// catchStopSignals, which may run before any object of the program is
// constructed: nothing here needs a constructor.
sem_t stopPosted;
std::atomic<bool> semaphoreReady{false};

// Only async-signal-safe work: a flag, the watcher's semaphore, and one byte
// into a pipe that nothing drains, so that every later wait finds it readable.
void onStopSignal(int)
{
    int savedErrno = errno;
    if (!stopNoted.exchange(true)) {
        if (semaphoreReady)
            sem_post(&stopPosted);
        if (pipeEnds[1] >= 0) {
            [[maybe_unused]] ssize_t written = write(pipeEnds[1], "s", 1);
        }
    }
    errno = savedErrno;
}

// A line on stderr unless that would make the watcher wait (a full pipe that
// nobody reads may be what holds the program back): a pipe or a terminal is
// written through a description of its own that never waits.
void say(const char* text)
{
    const size_t length = std::strlen(text);
    struct stat status {};
    if (fstat(2, &status) != 0)
        return;
    [[maybe_unused]] ssize_t written = 0;
    if (S_ISREG(status.st_mode)) {
        written = write(2, text, length);
    } else if (S_ISSOCK(status.st_mode)) {
        written = send(2, text, length, MSG_DONTWAIT | MSG_NOSIGNAL);
    } else if (int own = open("/proc/self/fd/2", O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC); own >= 0) {
        written = write(own, text, length);
        close(own);
    }
}

std::chrono::duration<double> seconds(double value)
{
    return std::chrono::duration<double>(value);
}

// Runs work on a thread of its own that nobody joins; false when none can be
// made (the error number in `error`).
bool detached(void* (*work)(void*), int& error)
{
    pthread_t thread;
    error = pthread_create(&thread, nullptr, work, nullptr);
    if (error == 0)
        pthread_detach(thread);
    return error == 0;
}

std::atomic<bool> lastWordsSaid{false};
std::atomic<bool> endingInOrder{false};

void* sayLastWords(void*)
{
    if (void (*words)() = lastWords.load())
        words();
    lastWordsSaid = true;
    return nullptr;
}

// The program has not ended by itself: the last words, then the end.
[[noreturn]] void endNow()
{
    say(endingInOrder ? "skarvel: the program's end after the stop signal took too long; it ends now\n"
                      : "skarvel: the program did not end by itself after the stop signal; it ends now\n");
    runLastWords();
    _exit(0);
}

void* watch(void*)
{
    while (sem_wait(&stopPosted) != 0) {
    }
    std::this_thread::sleep_for(seconds(stopGraceSeconds));
    if (endingInOrder && endingSeconds > 0)
        std::this_thread::sleep_for(seconds(endingSeconds));
    endNow();
}

} // namespace

void catchStopSignals()
{
    if (!semaphoreReady) {
        sem_init(&stopPosted, 0, 0);
        semaphoreReady = true;
    }
    // A write to a pipe or socket whose reader has gone (stderr into a pager
    // that was closed, say) fails like any other write.
    signal(SIGPIPE, SIG_IGN);
    if (pipeEnds[0] < 0 && pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipeEnds[0] = pipeEnds[1] = -1;
        std::fprintf(stderr,
                     "skarvel: no wake-up pipe for the stop signals (%s): a box or the settings "
                     "dialog waits until the program is ended %g s after a signal\n",
                     std::strerror(errno), stopGraceSeconds);
    }
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
        // Blocked by whoever started the program, it would never arrive.
        sigset_t one;
        sigemptyset(&one);
        sigaddset(&one, signal);
        pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    }
    static bool watching = false;
    int error = 0;
    if (!watching && !detached(watch, error))
        std::fprintf(stderr, "skarvel: no watcher for the stop signals (%s): a call that blocks can hold "
                             "a stop back\n", std::strerror(error));
    watching = true;
}

bool stopRequested()
{
    return stopNoted;
}

int stopSignalDescriptor()
{
    return pipeEnds[0];
}

void noteOrdinaryEnd()
{
    endingInOrder = true;
}

void setLastWords(void (*words)())
{
    lastWords = words;
}

void runLastWords()
{
    int error = 0;
    if (lastWords.load() && detached(sayLastWords, error)) {
        const auto deadline = std::chrono::steady_clock::now() + seconds(lastWordsSeconds);
        while (!lastWordsSaid && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } else if (lastWords.load()) {
        sayLastWords(nullptr);  // no thread for them: unbounded rather than left out
    }
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
    while (semaphoreReady && sem_trywait(&stopPosted) == 0) {
    }
    stopNoted = false;
}

} // namespace platform
