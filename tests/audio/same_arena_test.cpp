// Sound never changes the game: the same seed and test clock give the same arena
// with this build's sound installed as with none.
#include "arena/records.h"

#include "arena/scene.h"
#include "arena/sound_hooks.h"
#include "arena/turn.h"
#include "audio/audio.h"
#include "platform/clock.h"
#include "platform/random.h"

#ifdef SKARVEL_AUDIO_FULL
#include "audio/sound_clip.h"
#endif
#ifdef SKARVEL_AUDIO_CUE
#include "platform/cue/cue_player.h"
#endif

#include <gtest/gtest.h>

namespace {

struct Snapshot {
    std::vector<double> values;
    bool operator==(const Snapshot&) const = default;
};

void add(Snapshot& s, dBodyID body)
{
    if (!body)
        return;
    const dReal* p = dBodyGetPosition(body);
    const dReal* v = dBodyGetLinearVel(body);
    s.values.insert(s.values.end(), {p[0], p[1], p[2], v[0], v[1], v[2]});
}

// Twelve seconds of the demonstration: the planes take to autopilot, fly, fight
// and shoot, while the drawn frames place the sounds.
Snapshot run(bool withSound)
{
    platform::setTestTicks(100000);
    platform::setTestCalendarTime(1765000000);
    // ODE orders its constraints with a generator of its own, which outlives the
    // world: start it afresh too.
    dRandSetSeed(0);
    resetSoundHooks();
    if (withSound)
        startAudio();
    initScene();
    for (int turn = 0; turn < 1200; ++turn) {
        simulateTurn();
        soundHooks.frameDrawing();
        platform::advanceTestTicks(10);
    }
    Snapshot s;
    for (const Plane& plane : planes) {
        for (const Part* part : {&plane.rightTip, &plane.leftTip, &plane.tail, &plane.fuselage, &plane.wing})
            add(s, part->body);
        s.values.insert(s.values.end(), {double(plane.Helth), double(plane.bubbleCount), double(plane.Enemy),
                                         double(plane.State)});
    }
    for (const Crate& crate : crates)
        add(s, crate.body);
    for (const Pillar& pillar : pillars)
        add(s, pillar.body);
    s.values.push_back(double(platform::randomState()));
#ifdef SKARVEL_AUDIO_FULL
    for (SoundClip& clip : myCollide)
        clip.odeBodyID = nullptr;
    for (SoundClip& clip : musicClips)
        clip.odeBodyID = nullptr;
#endif
    destroyScene();
    resetSoundHooks();
    platform::useRealTicks();
    platform::useRealCalendarTime();
    return s;
}

TEST(SameArena, WithThisBuildsSoundAsWithNone)
{
#ifdef SKARVEL_AUDIO_CUE
    platform::setCueSink([](const std::string&) {});
#endif
    const Snapshot silent = run(false);
    const Snapshot sounding = run(true);
    ASSERT_EQ(silent.values.size(), sounding.values.size());
    EXPECT_TRUE(silent == sounding);
#ifdef SKARVEL_AUDIO_CUE
    platform::setCueSink(nullptr);
#endif
}

} // namespace
