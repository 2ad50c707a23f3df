// SDL events as the window messages of window_system.h. Keys get the codes of a
// US keyboard: by what they type where a US key types it, else by their place.
// Used by the SDL window system; the platform tests drive it with made-up events.
#pragma once

#include "platform/window/window_system.h"

#include <SDL.h>

namespace platform {

// The virtual-key code of a key by what it types (letters, digits, the US
// keyboard's punctuation and control characters) or, for a key that types
// nothing, by its place; 0 for a keycode that has none.
uint32_t virtualKeyFor(SDL_Keycode key);
// The code of the key in that place on a US keyboard, or 0 when none has one.
uint32_t virtualKeyForPlace(SDL_Scancode place);
// Every key's code, from 1 to 255: by the keycode, else by the place, else
// VK_OEM_UNMAPPED.
uint32_t virtualKeyFor(const SDL_Keysym& key);

// The message for one event of `window`. False for an event that gives no
// message (an event the program does not follow).
// `minimised` tells whether the window is minimised now.
bool messageFromEvent(const SDL_Event& event, WindowHandle window, bool minimised, Message& message);

} // namespace platform
