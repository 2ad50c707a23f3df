// The three game modes and the demonstration that runs while nobody touches
// the keyboard.
#pragma once

#include <cstdint>

constexpr int gameModeCount = 3;  // 0 Death, 1 Team, 2 At All

extern uint8_t demoActive;       // the demonstration is running
extern float startTime;          // set by the main loop just before its first turn
extern float demoSwitchTime;     // set by the main loop, then at every switch

// Deals the planes into teams with colours for `mode`, reseeds the random
// generator, and hands planes 1 to 6 to the autopilot with fighting on. The
// caller stores GameMode itself.
void setGameMode(int mode);

// The demonstration, first step of every turn: starts it more than 1 s after
// startTime unless a key came first, moves the view on to the next of planes
// 1 to 6 every 11 s, and ends it for good at the first key.
void updateDemoMode();

// Puts the demonstration's flags and times back to their start values.
void resetGameModeState();
