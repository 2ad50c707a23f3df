// The moments at which the simulation makes a sound, the drawn frame's sound
// step and the sound read-outs of the texts. Neither the simulation nor the
// rendering links a sound library: the audio configuration in use installs its
// handlers here, and until then every hook does nothing.
#pragma once

#include "arena/records.h"

#include <ode/ode.h>

#include <cstdint>

// The effect pool's clips: at most this many bodies sound their impacts at once.
constexpr int effectClipCount = 7;

// What the texts' sound read-outs show of the clips.
struct SoundReadouts {
    int activeSouceCount;                    // effect clips playing after the last frame's placement
    intptr_t effectOwners[effectClipCount];  // each effect clip's owner body as a number, 0 for none
    bool gunPlaying[planeCount];
    bool effectPlaying[effectClipCount];
};

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
    // A frame is being drawn: the frame is cleared, no text or object is drawn
    // yet. The clips and the listener take their places.
    void (*frameDrawing)();
    // The texts want the sound read-outs; false when the configuration has none
    // to show.
    bool (*readouts)(SoundReadouts& readouts);
};

extern SoundHooks soundHooks;

// Puts every hook back to doing nothing.
void resetSoundHooks();
