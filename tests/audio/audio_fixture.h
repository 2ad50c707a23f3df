// An arena built with the full audio configuration installed and the recording
// device under the sound system.
#pragma once

#include "recording_backend.h"

#include "tests/arena/arena_fixture.h"

#include "audio/sound_clip.h"

class AudioArenaTest : public ArenaTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Moves every part of a plane (and nothing else) so that its fuselage is at
    // (x, y, z).
    static void placePlane(int plane, double x, double y, double z);
    // Ticks later than every effect clip's loading by more than half a second.
    static void letEffectClipsGoFree();
    // The recording's clip number of a clip.
    static int id(const SoundClip& clip) { return clip.segment; }
    // What was recorded since the last clear.
    static std::vector<std::string> recorded() { return soundRecording.log; }

    // What the scene's construction recorded.
    std::vector<std::string> sceneLog;
};

// Positions as the recording writes them.
std::string at(dBodyID body);
