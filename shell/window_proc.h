// The window procedure of the class "OpenGL", the table of held keys, and the
// two per-turn input steps of the main loop: the held-key controls and the
// frame-rate count.
#pragma once

#include "platform/window/window_system.h"

#include <cstdint>

extern uint8_t keyState[256];  // 1 while the key with that virtual-key code is down
extern uint8_t windowActive;   // 0 while the window is minimised; frames are drawn only while 1

// The F5 key steps through the text states 0 to menuStateCount - 1.
extern int menuState;
constexpr int menuStateCount = 5;

// The mouse rule: 1 means the next move captures the origin.
extern int mouseMoveCount;
extern platform::Point mouseOrigin;
// A move further than this on either axis from the origin ends the saver.
constexpr int mouseMoveLimit = 44;

// The frame-rate window: turns counted since it started, and its start.
extern float fpsFrameCount;
extern float fpsWindowStart;
constexpr float fpsWindowSeconds = 10.0f;
extern char fpsTitle[64];

intptr_t windowProc(platform::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Turn step 3: held keys acting on the controlled plane and the tunables. The
// flight keys and Ctrl act only when the autopilot's gate is open (more than
// 0.025 s since lastAiTick); the tunable keys and R act in every turn.
void applyControls();

// Turn step 4: turn counting; every 10 s the measured rate into FpsNow and the
// window title "FPS: %.1f".
void updateFpsTitle();

// The key table, the text flags, the mouse counter and the frame-rate window
// back to their start values.
void resetInputState();
