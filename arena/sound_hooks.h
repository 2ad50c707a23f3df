// The moments at which the simulation makes a sound. The simulation links no
// sound library: the audio configuration in use installs its handlers here, and
// until then every hook does nothing.
#pragma once

#include <ode/ode.h>

struct SoundHooks {
    // First step of scene construction: load the clips and start the start-up
    // sound and the music (or play the start cue).
    void (*sceneStarting)();
    // A plane's shot was allowed and its new bubble pushed off.
    void (*gunFired)(int plane);
    // A bubble took a health point from a plane; body is the touched part's.
    void (*planeHit)(dBodyID body);
    // The buildings are about to be torn down: effect clips lose their owners.
    void (*buildingsTearingDown)();
    // A body is about to be destroyed (a plane's old bubble): nothing may name it
    // afterwards.
    void (*bodyDestroying)(dBodyID body);
    // After the physics step, while this step's contact joints still exist.
    void (*afterStep)();
    // The enemy choice took a new enemy by its scan.
    void (*enemyTaken)(int plane);
    // The enemy choice dropped a dead enemy.
    void (*enemyDropped)(int plane);
};

extern SoundHooks soundHooks;

// Puts every hook back to doing nothing.
void resetSoundHooks();
