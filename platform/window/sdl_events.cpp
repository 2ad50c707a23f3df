#include "platform/window/sdl_events.h"

#include "platform/window/virtual_keys.h"

namespace platform {

uint32_t virtualKeyFor(SDL_Keycode key)
{
    // SDL gives the keys that type no character keycodes made from their places.
    if (key & SDLK_SCANCODE_MASK)
        return virtualKeyForPlace(static_cast<SDL_Scancode>(key & ~SDLK_SCANCODE_MASK));
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + static_cast<uint32_t>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + static_cast<uint32_t>(key - SDLK_0);
    switch (key) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS:
    case SDLK_PLUS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    default: return 0;
    }
}

uint32_t virtualKeyForPlace(SDL_Scancode place)
{
    if (place >= SDL_SCANCODE_A && place <= SDL_SCANCODE_Z)
        return 'A' + static_cast<uint32_t>(place - SDL_SCANCODE_A);
    if (place >= SDL_SCANCODE_1 && place <= SDL_SCANCODE_9)
        return '1' + static_cast<uint32_t>(place - SDL_SCANCODE_1);
    if (place >= SDL_SCANCODE_F1 && place <= SDL_SCANCODE_F12)
        return VK_F1 + static_cast<uint32_t>(place - SDL_SCANCODE_F1);
    if (place >= SDL_SCANCODE_F13 && place <= SDL_SCANCODE_F24)
        return VK_F13 + static_cast<uint32_t>(place - SDL_SCANCODE_F13);
    if (place >= SDL_SCANCODE_KP_1 && place <= SDL_SCANCODE_KP_9)
        return VK_NUMPAD0 + 1 + static_cast<uint32_t>(place - SDL_SCANCODE_KP_1);
    switch (place) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_RETURN2:
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return VK_OEM_5;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_PRINTSCREEN:
    case SDL_SCANCODE_SYSREQ: return VK_SNAPSHOT;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_PAGEUP:
    case SDL_SCANCODE_PRIOR: return VK_PRIOR;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
    case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
    case SDL_SCANCODE_KP_COMMA:
    case SDL_SCANCODE_SEPARATOR: return VK_SEPARATOR;
    case SDL_SCANCODE_KP_CLEAR:
    case SDL_SCANCODE_CLEAR: return VK_CLEAR;
    case SDL_SCANCODE_APPLICATION:
    case SDL_SCANCODE_MENU: return VK_APPS;
    case SDL_SCANCODE_EXECUTE: return VK_EXECUTE;
    case SDL_SCANCODE_HELP: return VK_HELP;
    case SDL_SCANCODE_SELECT: return VK_SELECT;
    case SDL_SCANCODE_CANCEL: return VK_CANCEL;
    case SDL_SCANCODE_CRSEL: return VK_CRSEL;
    case SDL_SCANCODE_EXSEL: return VK_EXSEL;
    case SDL_SCANCODE_INTERNATIONAL3: return VK_OEM_5;  // yen, beside Backspace
    case SDL_SCANCODE_INTERNATIONAL4: return VK_CONVERT;
    case SDL_SCANCODE_INTERNATIONAL5: return VK_NONCONVERT;
    case SDL_SCANCODE_INTERNATIONAL2:
    case SDL_SCANCODE_LANG1: return VK_KANA;
    case SDL_SCANCODE_LANG2: return VK_HANJA;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return VK_CONTROL;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
    case SDL_SCANCODE_MODE: return VK_MENU;
    case SDL_SCANCODE_LGUI: return VK_LWIN;
    case SDL_SCANCODE_RGUI: return VK_RWIN;
    case SDL_SCANCODE_MUTE:
    case SDL_SCANCODE_AUDIOMUTE: return VK_VOLUME_MUTE;
    case SDL_SCANCODE_VOLUMEDOWN: return VK_VOLUME_DOWN;
    case SDL_SCANCODE_VOLUMEUP: return VK_VOLUME_UP;
    case SDL_SCANCODE_AUDIONEXT: return VK_MEDIA_NEXT_TRACK;
    case SDL_SCANCODE_AUDIOPREV: return VK_MEDIA_PREV_TRACK;
    case SDL_SCANCODE_AUDIOSTOP: return VK_MEDIA_STOP;
    case SDL_SCANCODE_AUDIOPLAY: return VK_MEDIA_PLAY_PAUSE;
    case SDL_SCANCODE_MEDIASELECT: return VK_LAUNCH_MEDIA_SELECT;
    case SDL_SCANCODE_MAIL: return VK_LAUNCH_MAIL;
    case SDL_SCANCODE_COMPUTER: return VK_LAUNCH_APP1;
    case SDL_SCANCODE_CALCULATOR: return VK_LAUNCH_APP2;
    case SDL_SCANCODE_WWW:
    case SDL_SCANCODE_AC_HOME: return VK_BROWSER_HOME;
    case SDL_SCANCODE_AC_SEARCH: return VK_BROWSER_SEARCH;
    case SDL_SCANCODE_AC_BACK: return VK_BROWSER_BACK;
    case SDL_SCANCODE_AC_FORWARD: return VK_BROWSER_FORWARD;
    case SDL_SCANCODE_STOP:
    case SDL_SCANCODE_AC_STOP: return VK_BROWSER_STOP;
    case SDL_SCANCODE_AC_REFRESH: return VK_BROWSER_REFRESH;
    case SDL_SCANCODE_AC_BOOKMARKS: return VK_BROWSER_FAVORITES;
    case SDL_SCANCODE_SLEEP: return VK_SLEEP;
    default: return 0;
    }
}

uint32_t virtualKeyFor(const SDL_Keysym& key)
{
    // The layout's own key where it is one of the US keyboard's; otherwise
    // (letters such as o-umlaut, e-acute or sharp s, and keys that type
    // nothing) the key by its place. The keypad's keys go by their places too,
    // whatever characters the layout gives them.
    bool keypad = key.scancode >= SDL_SCANCODE_KP_DIVIDE && key.scancode <= SDL_SCANCODE_KP_PERIOD;
    if (uint32_t vk = keypad ? 0 : virtualKeyFor(key.sym))
        return vk;
    if (uint32_t vk = virtualKeyForPlace(key.scancode))
        return vk;
    return VK_OEM_UNMAPPED;
}

namespace {

bool keyMessage(const SDL_KeyboardEvent& key, Message& message)
{
    uint32_t vk = virtualKeyFor(key.keysym);
    // Alt combinations, Alt itself and F10 are the system's keys.
    bool system = (key.keysym.mod & KMOD_ALT) != 0 || vk == VK_MENU || vk == VK_F10;
    bool down = key.type == SDL_KEYDOWN;
    if (down)
        message.message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
    else
        message.message = system ? WM_SYSKEYUP : WM_KEYUP;
    message.wParam = vk;
    // Repeat count 1; bit 30: the key was down before; bit 31: it is going up.
    intptr_t flags = 1;
    if (!down || key.repeat)
        flags |= intptr_t{1} << 30;
    if (!down)
        flags |= intptr_t{1} << 31;
    message.lParam = flags;
    return true;
}

bool windowMessage(const SDL_WindowEvent& event, bool minimised, Message& message)
{
    switch (event.event) {
    case SDL_WINDOWEVENT_MINIMIZED:
        message.message = WM_ACTIVATE;
        message.wParam = WA_INACTIVE | (uintptr_t{1} << 16);
        return true;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        message.message = WM_ACTIVATE;
        message.wParam = WA_ACTIVE;
        return true;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
        message.message = WM_ACTIVATE;
        message.wParam = (event.event == SDL_WINDOWEVENT_FOCUS_GAINED ? WA_ACTIVE : WA_INACTIVE) |
                         (uintptr_t{minimised ? 1u : 0u} << 16);
        return true;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        message.message = WM_SIZE;
        message.lParam = makeLong(static_cast<uint32_t>(event.data1), static_cast<uint32_t>(event.data2));
        return true;
    case SDL_WINDOWEVENT_CLOSE:
        message.message = WM_CLOSE;
        return true;
    default:
        return false;
    }
}

} // namespace

bool messageFromEvent(const SDL_Event& event, WindowHandle window, bool minimised, Message& message)
{
    if (!window)
        return false;
    message = Message{};
    message.window = window;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return keyMessage(event.key, message);
    case SDL_MOUSEMOTION:
        message.message = WM_MOUSEMOVE;
        message.lParam = makeLong(static_cast<uint32_t>(event.motion.x), static_cast<uint32_t>(event.motion.y));
        return true;
    case SDL_WINDOWEVENT:
        return windowMessage(event.window, minimised, message);
    case SDL_QUIT:
        // The system asks the program to end: the window is asked to close.
        message.message = WM_CLOSE;
        return true;
    default:
        return false;
    }
}

} // namespace platform
