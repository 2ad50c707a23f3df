// The program's one window and its GL rendering context: full screen after a
// display-mode change, an ordinary window when that mode is refused and the user
// accepts one, or a child of the screen-saver host's preview window.
#pragma once

#include "platform/window/window_system.h"

#include <cstdint>

extern platform::ModuleHandle hInstance;
extern platform::WindowHandle hWnd;
extern platform::DeviceContextHandle hDC;
extern platform::RenderContextHandle hRC;
extern uint8_t fullscreen;  // the display mode was changed for the window

// Makes the window of the given client size, its context (made current), the
// viewport, the GL state and the textures. False after a box has said which
// step failed; what had been made is released by then.
bool createGLWindow(const char* title, int width, int height, int bits, bool fullscreenWanted,
                    uint32_t style, platform::HostWindow parent);

// Restores the display mode and the cursor after a full-screen run, and
// releases the context, the device context, the window and the class; a release
// that fails is reported in a box and the next step runs all the same.
void killGLWindow();
