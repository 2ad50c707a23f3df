// The values the keys tune, the measured rate, and the view state that the
// demonstration and the keys share. All start from built-in defaults every run.
#pragma once

#include <cstdint>

extern float FpsNow;      // measured main-loop turns per second
extern float TStepSz;     // physics step, seconds
extern float ThrustF;     // thrust factor
extern float DesiredZ;    // wanted altitude
extern float Zforce;      // altitude-hold lift
extern const float Zinc;  // step of Zforce
extern const float turnFactor;
extern float Gravity;     // setting; applied when the world is built
constexpr float startGravity = -10.005f;  // Gravity's built-in value
extern int forceScale;    // set by the game step from FpsNow
extern float lastAiTick;  // end of the last autopilot pass
extern uint8_t Action;    // fighting on
extern int GameMode;
extern int cnP;           // the controlled plane
extern int CameraNo;      // 1 to 9
extern uint8_t showHelp;
extern uint8_t anyKeyPressed;

// Puts every value above back to its start value.
void resetTunables();
