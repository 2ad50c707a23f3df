#include "platform/window/sdl_events.h"
#include "platform/window/virtual_keys.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

WindowHandle someWindow()
{
    static char token;
    return reinterpret_cast<WindowHandle>(&token);
}

SDL_Event keyEvent(Uint32 type, SDL_Keycode key, Uint16 mod = KMOD_NONE, Uint8 repeat = 0)
{
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.keysym.sym = key;
    event.key.keysym.mod = mod;
    event.key.repeat = repeat;
    return event;
}

SDL_Event windowEvent(Uint8 what, Sint32 data1 = 0, Sint32 data2 = 0)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    event.window.data1 = data1;
    event.window.data2 = data2;
    return event;
}

} // namespace

TEST(VirtualKeys, TheProgramsKeysHaveTheirCodes)
{
    const struct {
        SDL_Keycode key;
        uint32_t vk;
    } cases[] = {
        {SDLK_a, 'A'},          {SDLK_z, 'Z'},           {SDLK_c, 0x43},          {SDLK_0, '0'},
        {SDLK_9, '9'},          {SDLK_ESCAPE, 0x1B},     {SDLK_SPACE, 0x20},      {SDLK_LEFT, 0x25},
        {SDLK_UP, 0x26},        {SDLK_RIGHT, 0x27},      {SDLK_DOWN, 0x28},       {SDLK_LCTRL, 0x11},
        {SDLK_RCTRL, 0x11},     {SDLK_F1, 0x70},         {SDLK_F5, 0x74},         {SDLK_F12, 0x7B},
        {SDLK_KP_3, 0x63},      {SDLK_KP_0, 0x60},       {SDLK_KP_9, 0x69},       {SDLK_PERIOD, 0xBE},
        {SDLK_COMMA, 0xBC},     {SDLK_LEFTBRACKET, 0xDB}, {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_EQUALS, 0xBB},
        {SDLK_MINUS, 0xBD},     {SDLK_RETURN, 0x0D},     {SDLK_LALT, 0x12},
    };
    for (const auto& c : cases)
        EXPECT_EQ(virtualKeyFor(c.key), c.vk) << SDL_GetKeyName(c.key);
}

// Every key is a key press, with the system's code where the key has one and
// otherwise the code of the key in its place on a US keyboard.
TEST(VirtualKeys, EveryKeyHasACode)
{
    const struct {
        SDL_Keycode key;
        SDL_Scancode place;
        uint32_t vk;
    } cases[] = {
        {SDLK_LGUI, SDL_SCANCODE_LGUI, 0x5B},
        {SDLK_RGUI, SDL_SCANCODE_RGUI, 0x5C},
        {SDLK_APPLICATION, SDL_SCANCODE_APPLICATION, 0x5D},
        {SDLK_NUMLOCKCLEAR, SDL_SCANCODE_NUMLOCKCLEAR, 0x90},
        {SDLK_SCROLLLOCK, SDL_SCANCODE_SCROLLLOCK, 0x91},
        {SDLK_PRINTSCREEN, SDL_SCANCODE_PRINTSCREEN, 0x2C},
        {SDLK_F13, SDL_SCANCODE_F13, 0x7C},
        {SDLK_F18, SDL_SCANCODE_F18, 0x81},
        {SDLK_F24, SDL_SCANCODE_F24, 0x87},
        {SDLK_MUTE, SDL_SCANCODE_MUTE, 0xAD},
        {SDLK_AUDIOMUTE, SDL_SCANCODE_AUDIOMUTE, 0xAD},
        {SDLK_VOLUMEDOWN, SDL_SCANCODE_VOLUMEDOWN, 0xAE},
        {SDLK_VOLUMEUP, SDL_SCANCODE_VOLUMEUP, 0xAF},
        {SDLK_AUDIONEXT, SDL_SCANCODE_AUDIONEXT, 0xB0},
        {SDLK_AUDIOPREV, SDL_SCANCODE_AUDIOPREV, 0xB1},
        {SDLK_AUDIOSTOP, SDL_SCANCODE_AUDIOSTOP, 0xB2},
        {SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY, 0xB3},
        // German, French and Russian letters: the US key in their places.
        {0xF6, SDL_SCANCODE_SEMICOLON, 0xBA},    // o-umlaut
        {0xE4, SDL_SCANCODE_APOSTROPHE, 0xDE},   // a-umlaut
        {0xFC, SDL_SCANCODE_LEFTBRACKET, 0xDB},  // u-umlaut
        {0xDF, SDL_SCANCODE_MINUS, 0xBD},        // sharp s
        {0xE9, SDL_SCANCODE_2, '2'},             // e-acute
        {0xE0, SDL_SCANCODE_0, '0'},             // a-grave
        {0x444, SDL_SCANCODE_A, 'A'},            // Cyrillic ef
        {SDLK_LESS, SDL_SCANCODE_NONUSBACKSLASH, 0xE2},
        {SDLK_HASH, SDL_SCANCODE_NONUSHASH, 0xDC},
        // What the layout types wins where the US keyboard has it...
        {SDLK_z, SDL_SCANCODE_Y, 'Z'},
        {SDLK_PLUS, SDL_SCANCODE_RIGHTBRACKET, 0xBB},
        // ...but the keypad goes by its places.
        {SDLK_MINUS, SDL_SCANCODE_KP_MINUS, 0x6D},
        {SDLK_3, SDL_SCANCODE_KP_3, 0x63},
        {SDLK_SLASH, SDL_SCANCODE_KP_DIVIDE, 0x6F},   // the keypad's first key...
        {SDLK_COMMA, SDL_SCANCODE_KP_PERIOD, 0x6E},   // ...and its last (a comma in German)
        // Keys the system has no code for.
        {SDLK_BRIGHTNESSUP, SDL_SCANCODE_BRIGHTNESSUP, 0xFF},
        {SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0xFF},
    };
    for (const auto& c : cases) {
        SDL_Event event = keyEvent(SDL_KEYDOWN, c.key);
        event.key.keysym.scancode = c.place;
        Message message;
        ASSERT_TRUE(messageFromEvent(event, someWindow(), false, message)) << SDL_GetScancodeName(c.place);
        EXPECT_EQ(message.message, WM_KEYDOWN) << SDL_GetScancodeName(c.place);
        EXPECT_EQ(message.wParam, c.vk) << SDL_GetScancodeName(c.place);
        event.type = event.key.type = SDL_KEYUP;
        ASSERT_TRUE(messageFromEvent(event, someWindow(), false, message));
        EXPECT_EQ(message.message, WM_KEYUP);
        EXPECT_EQ(message.wParam, c.vk) << SDL_GetScancodeName(c.place);
    }
}

TEST(KeyMessages, DownUpAndRepeat)
{
    Message message;
    ASSERT_TRUE(messageFromEvent(keyEvent(SDL_KEYDOWN, SDLK_c), someWindow(), false, message));
    EXPECT_EQ(message.message, WM_KEYDOWN);
    EXPECT_EQ(message.wParam, 0x43u);
    EXPECT_EQ(message.window, someWindow());
    EXPECT_EQ(message.lParam & (intptr_t{1} << 30), 0);

    ASSERT_TRUE(messageFromEvent(keyEvent(SDL_KEYDOWN, SDLK_c, KMOD_NONE, 1), someWindow(), false, message));
    EXPECT_EQ(message.message, WM_KEYDOWN);  // held keys repeat their press
    EXPECT_NE(message.lParam & (intptr_t{1} << 30), 0);

    ASSERT_TRUE(messageFromEvent(keyEvent(SDL_KEYUP, SDLK_ESCAPE), someWindow(), false, message));
    EXPECT_EQ(message.message, WM_KEYUP);
    EXPECT_EQ(message.wParam, VK_ESCAPE);

    // Ctrl with another key stays an ordinary key.
    ASSERT_TRUE(messageFromEvent(keyEvent(SDL_KEYDOWN, SDLK_g, KMOD_LCTRL), someWindow(), false, message));
    EXPECT_EQ(message.message, WM_KEYDOWN);
}

TEST(KeyMessages, AltCombinationsAltAndF10AreSystemKeys)
{
    Message message;
    ASSERT_TRUE(messageFromEvent(keyEvent(SDL_KEYDOWN, SDLK_x, KMOD_LALT), someWindow(), false, message));
    EXPECT_EQ(message.message, WM_SYSKEYDOWN);
    ASSERT_TRUE(messageFromEvent(keyEvent(SDL_KEYUP, SDLK_x, KMOD_RALT), someWindow(), false, message));
    EXPECT_EQ(message.message, WM_SYSKEYUP);
    ASSERT_TRUE(messageFromEvent(keyEvent(SDL_KEYDOWN, SDLK_F10), someWindow(), false, message));
    EXPECT_EQ(message.message, WM_SYSKEYDOWN);
    EXPECT_EQ(message.wParam, VK_F10);
    ASSERT_TRUE(messageFromEvent(keyEvent(SDL_KEYDOWN, SDLK_LALT, KMOD_LALT), someWindow(), false, message));
    EXPECT_EQ(message.message, WM_SYSKEYDOWN);
}

TEST(WindowMessages, ActivationCarriesTheMinimisedFlagInTheHighWord)
{
    Message message;
    ASSERT_TRUE(messageFromEvent(windowEvent(SDL_WINDOWEVENT_MINIMIZED), someWindow(), true, message));
    EXPECT_EQ(message.message, WM_ACTIVATE);
    EXPECT_EQ(highWord(message.wParam), 1u);

    ASSERT_TRUE(messageFromEvent(windowEvent(SDL_WINDOWEVENT_RESTORED), someWindow(), false, message));
    EXPECT_EQ(highWord(message.wParam), 0u);
    EXPECT_EQ(lowWord(message.wParam), WA_ACTIVE);

    ASSERT_TRUE(messageFromEvent(windowEvent(SDL_WINDOWEVENT_FOCUS_LOST), someWindow(), false, message));
    EXPECT_EQ(message.message, WM_ACTIVATE);
    EXPECT_EQ(lowWord(message.wParam), WA_INACTIVE);
    EXPECT_EQ(highWord(message.wParam), 0u);

    ASSERT_TRUE(messageFromEvent(windowEvent(SDL_WINDOWEVENT_FOCUS_LOST), someWindow(), true, message));
    EXPECT_EQ(highWord(message.wParam), 1u);
}

TEST(WindowMessages, SizeCloseAndMouse)
{
    Message message;
    ASSERT_TRUE(messageFromEvent(windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 768), someWindow(), false, message));
    EXPECT_EQ(message.message, WM_SIZE);
    EXPECT_EQ(lowWord(static_cast<uintptr_t>(message.lParam)), 1024u);
    EXPECT_EQ(highWord(static_cast<uintptr_t>(message.lParam)), 768u);

    ASSERT_TRUE(messageFromEvent(windowEvent(SDL_WINDOWEVENT_CLOSE), someWindow(), false, message));
    EXPECT_EQ(message.message, WM_CLOSE);

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_TRUE(messageFromEvent(quit, someWindow(), false, message));
    EXPECT_EQ(message.message, WM_CLOSE);

    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 300;
    motion.motion.y = 45;
    ASSERT_TRUE(messageFromEvent(motion, someWindow(), false, message));
    EXPECT_EQ(message.message, WM_MOUSEMOVE);
    EXPECT_EQ(lowWord(static_cast<uintptr_t>(message.lParam)), 300u);
    EXPECT_EQ(highWord(static_cast<uintptr_t>(message.lParam)), 45u);

    EXPECT_FALSE(messageFromEvent(windowEvent(SDL_WINDOWEVENT_EXPOSED), someWindow(), false, message));
    EXPECT_FALSE(messageFromEvent(motion, nullptr, false, message));
}
