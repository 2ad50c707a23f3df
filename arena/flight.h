// Flight forces and firing: every push that moves a plane apart from gravity,
// contacts and the altitude hold. Each force acts in this turn's step only.
//
// Thrust, brake, turns and the bubble's push act in the plane's own frame (x
// along the nose, y to its left, z up); drag acts in the world frame. Every
// operation takes a plane index from 0 to 6 and does nothing for another.
#pragma once

// Air drag on the plane's three spheres: -k x velocity, k = 50 / FpsNow (0.3
// below 10 turns per second).
void planeDrag(int plane);
// planeDrag's force on all seven planes, dead or alive.
void allPlanesDrag();
// Side forces of forceScale x factor x 0.3 that swing the nose right or left.
void turnRight(int plane, float factor);
void turnLeft(int plane, float factor);
// turnRight / turnLeft with factor 1.
void steerRight(int plane);
void steerLeft(int plane);
// forceScale x ThrustF along the nose on each sphere.
void applyThrust(int plane);
// forceScale against the nose on each sphere.
void applyBrake(int plane);
// Launches the plane's one bubble from its nose, at most once every 0.5 s. The
// previous bubble is destroyed first. Refused while a collision pass runs.
void fireBubble(int plane);

// The drag factor for the current FpsNow.
float dragFactor();

void resetFlightState();
