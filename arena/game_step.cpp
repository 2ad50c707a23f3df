#include "arena/game_step.h"

void simTick() {}
void holdAltitude(int) {}
void updateScanRays() {}
