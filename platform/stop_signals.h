// The termination signals a screen-saver host or a terminal sends (SIGTERM,
// SIGINT, SIGHUP) end the program as its own end does. The handler only notes
// the request; the waits of the program (the main loop's message queue, a
// message box, the settings dialog) see it and end in the ordinary way, so the
// display mode is restored and nothing half-written is left behind.
#pragma once

namespace platform {

// Installs the handlers, except for a signal that is ignored already (nohup).
// Called once, first thing, before any library installs handlers of its own.
void catchStopSignals();

// A stop signal has arrived (and stays noted).
bool stopRequested();

// A descriptor that becomes readable when a stop signal arrives and stays
// readable, for waits that poll; -1 before catchStopSignals.
int stopSignalDescriptor();

// Test control: notes a stop as a signal would, or forgets it.
void requestStop();
void forgetStop();

} // namespace platform
