#include "arena/flight.h"

void planeDrag(int) {}
void allPlanesDrag() {}
void turnRight(int, float) {}
void turnLeft(int, float) {}
void steerRight(int) {}
void steerLeft(int) {}
void applyThrust(int) {}
void applyBrake(int) {}
void fireBubble(int) {}
void resetFlightState() {}
