// Message boxes: a text, a title, buttons and an icon; the answer is the button
// chosen. Every box is written to stderr as "title: text".
//
// It is shown on the screen unless one of these answers it first, so that no
// test or unattended run ever waits on a box:
// - a hook installed with setMessageBoxHook (unit tests): it gets the box and
//   returns the answer;
// - the environment variable SKARVEL_MESSAGE_BOX_ANSWER (runs of the whole
//   program): "yes" answers Yes/No questions with Yes, any other value with No;
//   OK boxes are answered OK.
// When the box cannot be shown (no display), the first button is the answer.
// A termination signal (stop_signals.h), before or while the box shows, answers
// it as Escape would: OK, or No to a question.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

constexpr uint32_t MB_OK = 0x00;
constexpr uint32_t MB_YESNO = 0x04;
constexpr uint32_t MB_ICONSTOP = 0x10;
constexpr uint32_t MB_ICONEXCLAMATION = 0x30;
constexpr uint32_t MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

int messageBox(const char* text, const char* title, uint32_t flags);

using MessageBoxHook = std::function<int(const std::string& text, const std::string& title, uint32_t flags)>;
// An empty hook goes back to showing boxes.
void setMessageBoxHook(MessageBoxHook hook);

} // namespace platform
