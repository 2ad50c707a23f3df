#include "platform/window/message_box.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

MessageBoxHook& hook()
{
    static MessageBoxHook installed;
    return installed;
}

bool isQuestion(uint32_t flags)
{
    return (flags & 0x0F) == MB_YESNO;
}

int firstButton(uint32_t flags)
{
    return isQuestion(flags) ? IDYES : IDOK;
}

int answerFromEnvironment(const char* answer, uint32_t flags)
{
    if (!isQuestion(flags))
        return IDOK;
    return std::strcmp(answer, "yes") == 0 ? IDYES : IDNO;
}

int showOnScreen(const char* text, const char* title, uint32_t flags)
{
    const SDL_MessageBoxButtonData okButton[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"}};
    const SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"}};
    SDL_MessageBoxData box{};
    switch (flags & 0xF0) {
    case MB_ICONSTOP:
        box.flags = SDL_MESSAGEBOX_ERROR;
        break;
    case MB_ICONEXCLAMATION:
        box.flags = SDL_MESSAGEBOX_WARNING;
        break;
    default:
        box.flags = SDL_MESSAGEBOX_INFORMATION;
        break;
    }
    box.title = title;
    box.message = text;
    if (isQuestion(flags)) {
        box.numbuttons = 2;
        box.buttons = yesNoButtons;
    } else {
        box.numbuttons = 1;
        box.buttons = okButton;
    }
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0)
        return firstButton(flags);
    // Closed without a button: the answer Escape gives.
    if (pressed < 0)
        return isQuestion(flags) ? IDNO : IDOK;
    return pressed;
}

} // namespace

int messageBox(const char* text, const char* title, uint32_t flags)
{
    std::fprintf(stderr, "%s: %s\n", title, text);
    std::fflush(stderr);
    if (hook())
        return hook()(text, title, flags);
    if (const char* answer = std::getenv("SKARVEL_MESSAGE_BOX_ANSWER"))
        return answerFromEnvironment(answer, flags);
    return showOnScreen(text, title, flags);
}

void setMessageBoxHook(MessageBoxHook replacement)
{
    hook() = std::move(replacement);
}

} // namespace platform
