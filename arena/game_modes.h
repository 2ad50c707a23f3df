// The three game modes and the demonstration that runs while nobody touches
// the keyboard.
#pragma once

#include <cstdint>

constexpr int gameModeCount = 3;

extern uint8_t demoActive;
extern float startTime;
extern float demoSwitchTime;

void setGameMode(int mode);
void updateDemoMode();

void resetGameModeState();
