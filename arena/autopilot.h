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

// The plane's mood: what its hunt is doing.
enum AutopilotMood : int32_t {
    noHunt = 0,
    hunting = 1,
    enemyOffMap = 3,
    recoveringFromObstacle = 4,
};

// Autopilot steps of all planes since start.
extern int32_t apCounter;

// One step of the state machine for a living plane under autopilot: checks for
// leaving the map, the enemy's moves, the ground and obstacles, then the state
// actions, then thrust when the throttle is open.
void autopilotStep(int plane);

// Keeps the plane's enemy up to date: takes a shooter of another team, drops a
// dead enemy (switching off its autopilot), or takes the first living plane of
// another team within 250.
void acquireEnemy(int plane);

// The bearing of (qx, qy) seen from (px, py), in degrees from 0 to 360,
// growing clockwise seen from above.
double bearingOf(double px, double py, double qx, double qy);

void resetAutopilotState();
