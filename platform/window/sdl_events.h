// SDL events as the window messages of window_system.h (US keyboard layout).
// Used by the SDL window system; the platform tests drive it with made-up events.
#pragma once

#include "platform/window/window_system.h"

#include <SDL.h>

namespace platform {

// The virtual-key code of a key, or 0 for a key that has none.
uint32_t virtualKeyFor(SDL_Keycode key);

// The message for one event of `window`. False for an event that gives no
// message (a key without a code, an event the program does not follow).
// `minimised` tells whether the window is minimised now.
bool messageFromEvent(const SDL_Event& event, WindowHandle window, bool minimised, Message& message);

} // namespace platform
