// The entry point: the screen-saver switch decides between a full-screen run, a
// preview inside the host's window and the settings dialog; the first two make
// the window, build the arena and the fonts, run the main loop and release it
// all again.
#pragma once

#include "platform/window/window_system.h"
#include "render/program_dir.h"

#include <cstdint>

extern uint8_t previewMode;    // 1 once the preview window exists

enum class ScreenSaverRole { FullScreen, Preview, Settings };

// The role that the argument text (the command line after the program's name)
// asks for: its second character alone decides, in either case; s runs full
// screen, p previews, anything else (or a text shorter than two characters)
// shows the settings.
ScreenSaverRole screenSaverRole(const char* argumentText);

// The host's window of a preview: the decimal number after the first blank of
// the argument text (leading white space and a plus sign allowed, the digits up
// to the first non-digit). 0 (no window) when there is no blank, no digits, a
// negative number, or a number too large for a window id.
platform::HostWindow previewHostWindow(const char* argumentText);

// The whole run for one argument text; returns the exit code (0 for every
// normal end: the quit message, Escape, a closed dialog, a failed start).
int winMain(const char* argumentText);

// The report of an ODE error in a full-screen or preview run: a box; the
// program then ends as ODE ends it (abort), or with exit code 0 after the
// window is released (the display mode restored) when a stop came meanwhile.
void reportOdeError(const char* text);

// The program's folder into programDir.
void recordProgramDir();

// The shell's own run state back to its start values (for repeated runs in one
// process: tests and benchmarks).
void resetShellState();
