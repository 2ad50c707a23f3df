// The effect pool and the impact sounds.
#include "audio_fixture.h"

#include "arena/collision.h"
#include "arena/flight.h"
#include "arena/sound_hooks.h"
#include "arena/tunables.h"
#include "audio/audio.h"
#include "audio/effect_pool.h"
#include "audio/placement.h"
#include "platform/clock.h"

#include <gtest/gtest.h>

namespace {

using EffectPool = AudioArenaTest;

std::vector<std::string> plays()
{
    return soundRecording.entries("play");
}

std::string playOf(const SoundClip& clip)
{
    return "play " + std::to_string(clip.segment);
}

TEST_F(EffectPool, AClipIsFreeOnlyStrictlyMoreThanHalfASecondAfterItWasTaken)
{
    const dBodyID body = crates[0].body;
    playEffect(body);
    platform::advanceTestTicks(500);
    playEffect(body);
    EXPECT_TRUE(plays().empty()) << "within 0.5 s of loading no effect plays";

    platform::advanceTestTicks(1);
    playEffect(body);
    EXPECT_EQ(plays(), std::vector<std::string>{playOf(myCollide[6])});
    EXPECT_EQ(myCollide[6].odeBodyID, body);
    EXPECT_FLOAT_EQ(myCollide[6].startTime, platform::nowSeconds());
    EXPECT_TRUE(soundRecording.entries("position").empty()) << "the clip is not moved until the next frame";
}

TEST_F(EffectPool, TheHighestFreeClipIsTakenAndEveryFreeClipLosesItsOwner)
{
    letEffectClipsGoFree();
    myCollide[2].odeBodyID = crates[2].body;   // free: loses its owner
    myCollide[4].odeBodyID = crates[4].body;   // playing: keeps its owner
    soundRecording.playing.insert(id(myCollide[4]));
    myCollide[6].startTime = platform::nowSeconds();   // just taken: not free

    playEffect(crates[0].body);
    EXPECT_EQ(plays(), std::vector<std::string>{playOf(myCollide[5])});
    EXPECT_EQ(myCollide[5].odeBodyID, crates[0].body);
    EXPECT_EQ(myCollide[2].odeBodyID, nullptr);
    EXPECT_EQ(myCollide[4].odeBodyID, crates[4].body);

    playEffect(crates[1].body);
    EXPECT_EQ(myCollide[3].odeBodyID, crates[1].body);
    EXPECT_EQ(plays().back(), playOf(myCollide[3]));
}

TEST_F(EffectPool, WhenEveryClipIsBusyTheEffectIsDropped)
{
    letEffectClipsGoFree();
    for (const SoundClip& clip : myCollide)
        soundRecording.playing.insert(id(clip));
    playEffect(crates[0].body);
    EXPECT_TRUE(plays().empty());

    // Not playing, but all taken less than half a second ago.
    soundRecording.playing.clear();
    for (SoundClip& clip : myCollide)
        clip.startTime = platform::nowSeconds() - 0.4f;
    playEffect(crates[0].body);
    EXPECT_TRUE(plays().empty());
    for (const SoundClip& clip : myCollide)
        EXPECT_EQ(clip.odeBodyID, nullptr);
}

TEST_F(EffectPool, ABodyOwnsOneClipAtMostAndRegainsOneOnlyAfterItsOldOneWasFreed)
{
    letEffectClipsGoFree();
    const dBodyID body = crates[0].body;
    playEffect(body);
    playEffect(body);
    EXPECT_EQ(plays().size(), 1u);

    // Its sound is over and more than 0.5 s has passed: the next call frees the
    // clip but, having found the body an owner, starts nothing; the one after does.
    soundRecording.playing.clear();
    letEffectClipsGoFree();
    playEffect(body);
    EXPECT_EQ(plays().size(), 1u);
    for (const SoundClip& clip : myCollide)
        EXPECT_NE(clip.odeBodyID, body);
    playEffect(body);
    EXPECT_EQ(plays().size(), 2u);
}

TEST_F(EffectPool, AClipFoundFreeThatThenSaysItPlaysIsReportedOnStderrAndPlayedAnyway)
{
    letEffectClipsGoFree();
    soundRecording.playingOnSecondLook = {id(myCollide[6])};
    ::testing::internal::CaptureStderr();
    playEffect(crates[0].body);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "Error!: Sound buffer already in use.\n");
    EXPECT_EQ(plays(), std::vector<std::string>{playOf(myCollide[6])});
    EXPECT_EQ(myCollide[6].odeBodyID, crates[0].body);
}

class ImpactSounds : public AudioArenaTest {
protected:
    void SetUp() override
    {
        AudioArenaTest::SetUp();
        letEffectClipsGoFree();
        // The crate stack touches itself and the ground.
        runCollisionPass();
        stacked = crates[5].body;
        ASSERT_GE(dBodyGetNumJoints(stacked), 2) << "a crate in the stack has contacts above and below";
        const dReal* p = dBodyGetPosition(stacked);
        crateX = p[0];
        crateY = p[1];
        placePlane(0, crateX + 100, crateY, 200);
    }

    void TearDown() override
    {
        dJointGroupEmpty(contactGroup);
        AudioArenaTest::TearDown();
    }

    bool soundsAt(dReal vx, dReal vy, dReal vz)
    {
        soundRecording.clear();
        soundRecording.playing.clear();
        for (SoundClip& clip : myCollide) {
            clip.odeBodyID = nullptr;
            clip.startTime = 0;
        }
        dBodySetLinearVel(stacked, vx, vy, vz);
        impactSoundForBody(stacked);
        return !plays().empty();
    }

    dBodyID stacked = nullptr;
    dReal crateX = 0, crateY = 0;
};

TEST_F(ImpactSounds, OneAxisFasterThanFiveSoundsOnce)
{
    EXPECT_TRUE(soundsAt(6, 0, 0));
    EXPECT_EQ(plays().size(), 1u) << "two contacts, one clip";
    EXPECT_TRUE(soundsAt(0, 0, -5.01));
    EXPECT_FALSE(soundsAt(4.9, 4.9, 4.9)) << "about 8.5 in all, but under 5 on every axis";
    EXPECT_FALSE(soundsAt(5, -5, 5));
}

TEST_F(ImpactSounds, OnlyWithinThreeHundredOfPlaneZeroWhicheverPlaneIsControlled)
{
    placePlane(0, crateX + 299.9, crateY, 200);
    EXPECT_TRUE(soundsAt(8, 0, 0));
    placePlane(0, crateX + 300, crateY, 200);
    EXPECT_FALSE(soundsAt(8, 0, 0));
    placePlane(0, crateX, crateY + 300, -500);
    EXPECT_FALSE(soundsAt(8, 0, 0)) << "height does not count";
    cnP = 3;
    placePlane(3, crateX + 10, crateY, 200);
    EXPECT_FALSE(soundsAt(8, 0, 0));
}

TEST_F(ImpactSounds, OnlyContactJointsCountAndTheTurnWalksEveryKindOfBody)
{
    // Without this step's contacts a fast crate is silent, and so is a plane's
    // part held only by its hinges.
    dJointGroupEmpty(contactGroup);
    dBodySetLinearVel(stacked, 0, 9, 0);
    impactSoundForBody(stacked);
    dBodySetLinearVel(planes[0].wing.body, 50, 0, 0);
    ASSERT_GT(dBodyGetNumJoints(planes[0].wing.body), 0);
    impactSoundForBody(planes[0].wing.body);
    EXPECT_TRUE(plays().empty());

    runCollisionPass();
    dBodySetLinearVel(planes[0].wing.body, 0, 0, 0);
    dBodySetLinearVel(stacked, 0, 9, 0);
    impactSounds();
    ASSERT_EQ(plays().size(), 1u);
    EXPECT_EQ(myCollide[6].odeBodyID, stacked);
}

TEST_F(EffectPool, TearingBuildingsDownOrDestroyingABodyTakesItsClipsAway)
{
    letEffectClipsGoFree();
    playEffect(crates[0].body);
    playEffect(crates[1].body);
    soundHooks.buildingsTearingDown();
    for (const SoundClip& clip : myCollide)
        EXPECT_EQ(clip.odeBodyID, nullptr);
    EXPECT_TRUE(myCollide[6].isPlaying()) << "a playing clip plays on";

    // A body of our own, owned by a clip, then destroyed: the frame's placement
    // must not read it (the address sanitizer would notice).
    dBodyID doomed = dBodyCreate(world);
    dBodySetPosition(doomed, 10, 10, 10);
    letEffectClipsGoFree();
    soundRecording.playing.clear();
    playEffect(doomed);
    ASSERT_EQ(myCollide[6].odeBodyID, doomed);
    soundHooks.bodyDestroying(doomed);
    dBodyDestroy(doomed);
    EXPECT_EQ(myCollide[6].odeBodyID, nullptr);
    updateSoundPositions();
}

TEST_F(EffectPool, ANewShotForgetsTheOldBubbleItsClipFollowed)
{
    fireBubble(1);
    const dBodyID first = planes[1].bubble.body;
    ASSERT_NE(first, nullptr);
    letEffectClipsGoFree();
    playEffect(first);
    ASSERT_EQ(myCollide[6].odeBodyID, first);
    letEffectClipsGoFree();
    fireBubble(1);
    ASSERT_NE(planes[1].bubble.body, nullptr);
    EXPECT_EQ(myCollide[6].odeBodyID, nullptr);
    updateSoundPositions();
}

TEST_F(EffectPool, AHitStartsAnEffectForTheTouchedPartAndAShotPlaysTheGun)
{
    letEffectClipsGoFree();
    soundHooks.planeHit(planes[4].wing.body);
    EXPECT_EQ(myCollide[6].odeBodyID, planes[4].wing.body);

    soundRecording.clear();
    soundHooks.gunFired(3);
    const std::string gun = std::to_string(id(bubbleFly[3]));
    EXPECT_EQ(recorded(), (std::vector<std::string>{"position " + gun + " 999 999 999", "play " + gun}));
}

} // namespace
