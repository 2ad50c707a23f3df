// The screen-saver host's window through Xlib: its client size, a GL-capable
// child window inside it, and whether either has gone away. X errors never end
// the program: once this module has opened its display, every X error is
// counted and passed over (a host that vanishes makes the drawing calls fail
// until the program notices and ends).
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

// Makes X errors harmless again after another library installed its own
// handler (SDL's ends the program).
void trapErrors();

// Ends the program at once when the X display goes away (the server ends or
// the connection breaks) instead of leaving it to wait on the dead connection.
void endWhenDisplayLost();

// Closes the display of this module (the windows it made go with it).
void closeDisplay();

} // namespace platform::x11
