// Full audio: the pool of seven effect clips that sounds the impacts of fast
// bodies and the hits of bubbles, each from the body that made it.
#pragma once

#include <ode/ode.h>

// Takes a free effect clip for the body (which becomes its owner) and starts it.
// A clip is free when it is not playing and was taken more than 0.5 s ago; every
// free clip loses its owner, and the highest-numbered one is taken. Nothing
// starts when the body already owned a clip or no clip is free.
void playEffect(dBodyID owner);

// Plays an effect for the body once per contact joint it has in this step, when
// it moves faster than 5 along some axis and lies less than 300 (horizontally)
// from plane 0's fuselage.
void impactSoundForBody(dBodyID body);

// The impact sounds of this step, for the pillars, the crates and every plane's
// parts and bubble; runs after the physics step, before the contacts are emptied.
void impactSounds();

// Distance between two bodies in the x-y plane.
dReal horizontalDistance(dBodyID a, dBodyID b);

// Takes the owner from every effect clip (the buildings are torn down).
void clearEffectOwners();

// The body is about to be destroyed: no clip may follow it any more.
void forgetSoundOwner(dBodyID body);
