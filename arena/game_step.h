// The game step of every turn: force scale, altitude hold, drag, the 40 Hz
// autopilot pass and the scanner rays.
#pragma once

void simTick();
void holdAltitude(int plane);
void updateScanRays();
