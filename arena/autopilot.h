// The autopilot's state machine and the enemy choice.
#pragma once

#include <cstdint>

enum AutopilotState : int32_t {
    followPath = 0,
    planPath = 1,
    returnToSensed = 2,
    chaseEnemy = 4,
    returnToMap = 5,
    recover = 6,
};

extern int32_t apCounter;

void autopilotStep(int plane);
void acquireEnemy(int plane);

void resetAutopilotState();
