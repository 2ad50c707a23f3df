#include "arena/autopilot.h"

int32_t apCounter = 0;

void autopilotStep(int) {}
void acquireEnemy(int) {}
void resetAutopilotState() {}
