// The game's collision rules and the near callback of the collision pass.
#pragma once

#include <ode/ode.h>

#include <cstdint>

// Calls of nearCallback since start. Unsigned and 64 bits wide: at thousands of
// pairs per turn and thousands of turns per second it never wraps in a run.
extern uint64_t CallBackCounter;

// The near callback: the scanner-ray rule, the pillar rule and the shot rule,
// then up to five bouncy contact joints in contactGroup.
void nearCallback(void* data, dGeomID o1, dGeomID o2);

bool scanRayContact(dGeomID o1, dGeomID o2);
bool pillarContact(dGeomID o1, dGeomID o2);
bool shotHit(dGeomID o1, dGeomID o2);

// One collision pass over the space with nearCallback. While it runs, nothing
// may make or destroy a body or geom (the operations that do refuse).
void runCollisionPass();
bool collisionPassRunning();

// Up to five contact joints between the two geoms' bodies, with the surface
// below, in contactGroup.
void makeContacts(dGeomID o1, dGeomID o2);

// The surface of every contact joint the callback makes.
dSurfaceParameters contactSurface();

void resetCollisionState();
