// The termination signals a screen-saver host or a terminal sends (SIGTERM,
// SIGINT, SIGHUP) end the program as its own end does. The handler only notes
// the request; the waits of the program (the main loop's message queue, a
// message box, the settings dialog) see it and end in the ordinary way, so the
// display mode is restored and nothing half-written is left behind.
//
// Whatever the program is doing when the signal comes (a call that blocks, a
// long start-up step), it ends within a second: a watcher thread gives the
// ordinary end stopGraceSeconds, then says so on stderr, runs the last words (the display mode back) and ends
// the process itself with exit code 0.
#pragma once

namespace platform {

constexpr double stopGraceSeconds = 0.5;
// How long an ordinary end already under way when the grace runs out may still
// take: nothing more in a plain build, whose end takes a tenth of a second; a
// sanitizer's build ends many times slower, its leak check last, and is not cut
// short in the middle of it.
#if defined(__SANITIZE_ADDRESS__)
constexpr double endingSeconds = 4.5;
#else
constexpr double endingSeconds = 0.0;
#endif
// How long the last words may take before the process ends without them.
constexpr double lastWordsSeconds = 0.3;

// Installs the handlers, except for a signal that is ignored already (nohup),
// and starts the watcher; SIGPIPE is ignored from then on. Called once, first
// thing, before any library installs handlers of its own or starts threads,
// even before the program's objects are constructed. Says on stderr when the
// waits cannot be woken (no pipe) or there is no watcher.
void catchStopSignals();

// A stop signal has arrived (and stays noted).
bool stopRequested();

// A descriptor that becomes readable when a stop signal arrives and stays
// readable, for waits that poll; -1 before catchStopSignals.
int stopSignalDescriptor();

// The program has begun its ordinary end (a wait has seen the stop, or the
// entry point has returned): the watcher leaves it endingSeconds more to
// finish, and says that the end took too long rather than that none came.
void noteOrdinaryEnd();

// What the watcher runs before it ends the process itself; null for nothing.
// It runs on the watcher's side, while the main thread may be anywhere, so it
// must not use what the main thread uses (a connection, a library's state).
void setLastWords(void (*words)());
// Runs them, for at most lastWordsSeconds (a display that does not answer must
// not hold the end back), for a program that ends at once.
void runLastWords();

// Test control: notes a stop as a signal would, or forgets it. Never used
// where the watcher runs: it would end the process.
void requestStop();
void forgetStop();

} // namespace platform
