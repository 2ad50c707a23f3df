// Full audio: the sound system and its clips. Every clip plays one sound file
// through a 3-D source of its own, so that each can be placed in the arena by
// itself; all of them share one listener. The audio objects are global: they are
// built before main runs, in the order declared here, and released after it
// returns, in reverse order.
#pragma once

#include "arena/records.h"
#include "arena/sound_hooks.h"
#include "platform/sound/sound_backend.h"

#include <ode/ode.h>

#include <cstdint>
#include <memory>

class SoundSystem {
public:
    // Opens the sound device and points its file loader at the current directory
    // followed by "//sounds".
    SoundSystem();
    // Stops every sound and closes the device.
    ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    // Sound files are named relative to this folder. Returns 0.
    int setSearchDirectory(const char* directory);

    // The device: it loads the files, plays them and places them.
    std::unique_ptr<platform::SoundBackend> performance;
};

class SoundClip {
public:
    // An empty clip on the sound system's device.
    SoundClip();
    // Releases the loaded file; an empty clip has nothing to release.
    ~SoundClip();
    SoundClip(const SoundClip&) = delete;
    SoundClip& operator=(const SoundClip&) = delete;

    // Loads a file (relative to the search directory) with its own 3-D source:
    // full gain up to minDistance, softer with distance up to maxDistance. A file
    // that cannot be loaded leaves the clip empty and silent.
    void load(const char* fileName, float minDistance, float maxDistance);
    void play();
    void setPosition(float x, float y, float z);
    // The one listener, reached through this clip: its position, and optionally
    // its front and top vectors.
    void setListener(float x, float y, float z);
    void setListener(float x, float y, float z, const float front[3], const float top[3]);
    void setListenerOrientation(const float front[3], const float top[3]);
    // How many more times the clip plays after the first (0 = once).
    void setRepeats(uint32_t repeats);
    bool isPlaying();

    // When the effect pool last took the clip (effect clips: first their loading time).
    float startTime = 0;
    // The body the clip follows and sounds for; null for none.
    dBodyID odeBodyID = nullptr;
    // Copy of the sound system's device; the clip does not own it.
    platform::SoundBackend* performance;
    // The loaded file with its 3-D source; 0 while empty.
    platform::SoundClipId segment = 0;
};

constexpr int musicClipCount = 3;

extern SoundSystem soundSystem;
extern SoundClip coinClip;                        // the start-up sound
extern SoundClip myCollide[effectClipCount];      // the effect pool
extern SoundClip musicClips[musicClipCount];      // the tunes that follow nearby planes
extern SoundClip bubbleFly[planeCount];           // gun sound of plane i

// Effect clips playing after the last drawn frame's placement.
extern int activeSouceCount;

// Loads the 18 clips and starts the start-up sound and the three tunes; the first
// step of the scene's construction.
void loadSounds();
