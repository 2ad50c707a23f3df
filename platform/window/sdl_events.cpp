#include "platform/window/sdl_events.h"

#include "platform/window/virtual_keys.h"

namespace platform {

uint32_t virtualKeyFor(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + static_cast<uint32_t>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + static_cast<uint32_t>(key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VK_F1 + static_cast<uint32_t>(key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return VK_NUMPAD0 + 1 + static_cast<uint32_t>(key - SDLK_KP_1);
    switch (key) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
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

namespace {

bool keyMessage(const SDL_KeyboardEvent& key, Message& message)
{
    uint32_t vk = virtualKeyFor(key.keysym.sym);
    if (vk == 0)
        return false;
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
        // The system asks the program to end (the last window closed, or a
        // termination signal): the window is asked to close.
        message.message = WM_CLOSE;
        return true;
    default:
        return false;
    }
}

} // namespace platform
