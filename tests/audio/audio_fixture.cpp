#include "audio_fixture.h"

#include "arena/sound_hooks.h"
#include "arena/tunables.h"
#include "audio/audio.h"
#include "platform/clock.h"

#include <cstdio>

namespace {

void forgetAllOwners()
{
    for (SoundClip& clip : myCollide)
        clip.odeBodyID = nullptr;
    for (SoundClip& clip : musicClips)
        clip.odeBodyID = nullptr;
}

} // namespace

void AudioArenaTest::SetUp()
{
    ArenaTest::SetUp();
    forgetAllOwners();
    activeSouceCount = 0;
    soundRecording.playing.clear();
    soundRecording.missing.clear();
    soundRecording.playingOnSecondLook.clear();
    soundRecording.nextClip = 1;
    soundRecording.clear();
    startAudio();
    buildScene();
    sceneLog = soundRecording.log;
    soundRecording.clear();
}

void AudioArenaTest::TearDown()
{
    // The bodies go with the scene: no clip may keep one.
    forgetAllOwners();
    ArenaTest::TearDown();
}

void AudioArenaTest::placePlane(int plane, double x, double y, double z)
{
    Plane& p = planes[plane];
    const dReal* f = dBodyGetPosition(p.fuselage.body);
    const dReal dx = x - f[0], dy = y - f[1], dz = z - f[2];
    for (Part* part : {&p.rightTip, &p.leftTip, &p.tail, &p.fuselage, &p.wing}) {
        const dReal* q = dBodyGetPosition(part->body);
        dBodySetPosition(part->body, q[0] + dx, q[1] + dy, q[2] + dz);
    }
}

void AudioArenaTest::letEffectClipsGoFree()
{
    platform::advanceTestTicks(501);
}

std::string at(dBodyID body)
{
    const dReal* p = dBodyGetPosition(body);
    char text[96];
    std::snprintf(text, sizeof text, " %g %g %g", double(float(p[0])), double(float(p[1])), double(float(p[2])));
    return text;
}
