// The game step of every turn: force scale, altitude hold, drag, the 40 Hz
// autopilot pass and the scanner rays.
#pragma once

// Once per turn, before the building-hit check and the collision pass.
void simTick();
// Lifts the tail and both wing tips of a plane that is below DesiredZ, and
// again of one that is sinking.
void holdAltitude(int plane);
// Places every plane's scanner ray: 5 units straight ahead of the nose.
void updateScanRays();

// The force scale for a measured rate: 5 below 10 turns per second, otherwise
// 1000 / rate cut to a whole number.
int forceScaleFor(float fps);

// Seconds that must pass (strictly) between two autopilot passes.
constexpr float autopilotInterval = 0.025f;
