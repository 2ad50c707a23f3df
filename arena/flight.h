// Flight forces and firing: every push that moves a plane apart from gravity,
// contacts and the altitude hold. Each force acts in this turn's step only.
#pragma once

void planeDrag(int plane);
void allPlanesDrag();
void turnRight(int plane, float factor);
void turnLeft(int plane, float factor);
void steerRight(int plane);
void steerLeft(int plane);
void applyThrust(int plane);
void applyBrake(int plane);
void fireBubble(int plane);

void resetFlightState();
