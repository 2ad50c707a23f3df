// The screen-saver host's window through Xlib: its client size, a GL-capable
// child window inside it, and whether either has gone away; whether SDL's own
// windows have gone; the display mode to put back when the program is ended
// at once. X errors never end the program: once this module has opened its
// display or the video system has started, every X error is counted and passed
// over (a window that vanishes makes the drawing calls fail until the program
// notices and ends).
#pragma once

struct SDL_Window;

namespace platform::x11 {

// The client size of a window; false when there is no display or no such window.
bool clientSize(unsigned long window, int& width, int& height);

// A mapped child window of the given client size at (0, 0) of parent, with a
// visual that GL can draw to (double-buffered RGBA with a depth buffer). Both
// windows are watched from then on. 0 when the parent does not exist.
unsigned long createChild(unsigned long parent, int width, int height);
void destroyChild(unsigned long child);

// SDL listens for input only on the windows it made itself: this makes the
// keys, the mouse, the focus and the size of a child reach the SDL window that
// wraps it.
void listenThroughSdl(SDL_Window* window, unsigned long child);

// The pointer's place on the screen, asked of the X server itself (SDL's own
// answer can lag behind moves that no input device made). False without a
// display.
bool pointerPosition(int& x, int& y);

// True once the window, or the host of a child, has been destroyed.
bool childOrHostGone(unsigned long child);

// Watches a window that SDL made, so that its destruction by another program is
// noticed; returns its X id (0 when it has none).
unsigned long watchWindow(SDL_Window* window);
// True once a watched window has been destroyed.
bool windowGone(unsigned long window);
// SDL_DestroyWindow, with the X errors that its requests cause on a window
// that has gone already taken in at once: SDL puts back the handler it found as
// it quits, and that would end the program on them.
void destroySdlWindow(SDL_Window* window);

// Whether the display of that name can be opened.
bool displayOpens(const char* name);

// Notes each monitor's mode (XRandR), before the video system changes it.
void rememberDisplayMode();
// Puts the noted modes back, through a connection of its own: safe on any
// thread while the rest of the program uses Xlib and SDL.
void putBackDisplayMode();

// Makes X errors harmless again after another library installed its own
// handler (SDL's ends the program), from now until the process ends.
void trapErrors();
// The X errors passed over so far.
unsigned long errorsPassedOver();

// Ends the program at once when the X display goes away (the server ends or
// the connection breaks) instead of leaving it to wait on the dead connection.
void endWhenDisplayLost();

// Closes the display of this module (the windows it made go with it).
void closeDisplay();

} // namespace platform::x11
