#include "arena/game_modes.h"

uint8_t demoActive = 0;
float startTime = 0;
float demoSwitchTime = 0;

void setGameMode(int) {}
void updateDemoMode() {}
void resetGameModeState() {}
