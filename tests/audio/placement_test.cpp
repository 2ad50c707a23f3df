// The placement of clips and listener in a drawn frame.
#include "audio_fixture.h"

#include "arena/flight.h"
#include "arena/tunables.h"
#include "audio/placement.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class Placement : public AudioArenaTest {
protected:
    void SetUp() override
    {
        AudioArenaTest::SetUp();
        // The controlled plane in the middle, every other plane far away.
        cnP = 0;
        placePlane(0, 600, 600, 100);
        for (int p = 1; p < planeCount; ++p)
            placePlane(p, 100 + 150 * p, 1200, 100);
    }

    static dBodyID fuselage(int plane) { return planes[plane].fuselage.body; }
};

TEST_F(Placement, NearbyPlanesTakeTheHighestFreeTuneInTurn)
{
    placePlane(1, 650, 600, 100);
    placePlane(2, 600, 700, 100);
    placePlane(3, 500, 500, 100);
    placePlane(4, 700, 650, 100);
    updateSoundPositions();
    EXPECT_EQ(musicClips[2].odeBodyID, fuselage(1));
    EXPECT_EQ(musicClips[1].odeBodyID, fuselage(2));
    EXPECT_EQ(musicClips[0].odeBodyID, fuselage(3));

    // Plane 2 leaves: its tune is parked and, in the same frame, goes to plane 4,
    // which is later in the hand-off and still waiting.
    placePlane(2, 600, 950, 100);
    soundRecording.clear();
    updateSoundPositions();
    EXPECT_EQ(musicClips[1].odeBodyID, fuselage(4));
    const auto positions = soundRecording.entries("position");
    EXPECT_NE(std::find(positions.begin(), positions.end(), "position " + std::to_string(id(musicClips[1])) + " 0 0 9999"),
              positions.end());
}

TEST_F(Placement, ExactlyThreeHundredIsFarAndTheDeadKeepButNeverTakeATune)
{
    placePlane(1, 900, 600, 100);   // exactly 300 away
    placePlane(2, 600, 650, 100);
    placePlane(3, 650, 650, 100);
    planes[3].Helth = 0;
    updateSoundPositions();
    for (const SoundClip& clip : musicClips) {
        EXPECT_NE(clip.odeBodyID, fuselage(1));
        EXPECT_NE(clip.odeBodyID, fuselage(3)) << "a dead plane takes no tune";
    }
    EXPECT_EQ(musicClips[2].odeBodyID, fuselage(2));

    planes[2].Helth = -1;
    updateSoundPositions();
    EXPECT_EQ(musicClips[2].odeBodyID, fuselage(2)) << "dying nearby keeps the tune";
}

TEST_F(Placement, TheControlledPlaneTakesATuneExceptPlaneZero)
{
    placePlane(2, 610, 600, 100);
    cnP = 2;
    updateSoundPositions();
    // Plane 0 is 10 away from plane 2 but never takes one; plane 2 is at distance 0.
    EXPECT_EQ(musicClips[2].odeBodyID, fuselage(2));
    EXPECT_EQ(musicClips[1].odeBodyID, nullptr);

    // Another controlled plane, far from plane 2: plane 2's tune is parked, and
    // the new controlled plane takes it.
    cnP = 5;
    updateSoundPositions();
    for (const SoundClip& clip : musicClips)
        EXPECT_NE(clip.odeBodyID, fuselage(2));
    EXPECT_TRUE(std::any_of(std::begin(musicClips), std::end(musicClips),
                            [](const SoundClip& clip) { return clip.odeBodyID == fuselage(5); }));
}

TEST_F(Placement, ClipsGoToTheirOwnersWithTheListenerOnTheControlledPlane)
{
    placePlane(1, 650, 600, 120);
    const float scan[3] = {2.04f, 0, 0};
    for (int i = 0; i < 3; ++i)
        planes[0].scanDir[i] = scan[i];
    myCollide[3].odeBodyID = crates[0].body;
    fireBubble(5);
    ASSERT_EQ(planes[5].bubbleCount, 1);
    soundRecording.clear();
    updateSoundPositions();

    const std::string listener = "listener" + at(fuselage(0));
    // An unrotated tail: the top vector is (0, 0, -5).
    const std::string orientation = "orientation 2.04 0 0 0 0 -5";
    const std::string tune = std::to_string(id(musicClips[2]));
    const std::string gun = std::to_string(id(bubbleFly[5]));
    const std::string effect = std::to_string(id(myCollide[3]));
    const std::vector<std::string> expected = {
        listener, "position " + tune + at(fuselage(1)), orientation,
        "position " + gun + at(planes[5].bubble.body), listener, orientation,
        "position " + effect + at(crates[0].body), listener, orientation,
    };
    EXPECT_EQ(recorded(), expected);
}

TEST_F(Placement, AFrameWithNothingToPlaceLeavesTheListenerAlone)
{
    updateSoundPositions();
    EXPECT_TRUE(recorded().empty());
}

TEST_F(Placement, CountsThePlayingEffectClipsOwnedOrNot)
{
    soundRecording.playing = {id(myCollide[0]), id(myCollide[4]), id(myCollide[6]), id(bubbleFly[0])};
    myCollide[4].odeBodyID = crates[1].body;
    updateSoundPositions();
    EXPECT_EQ(activeSouceCount, 3);
    soundRecording.playing.clear();
    updateSoundPositions();
    EXPECT_EQ(activeSouceCount, 0);
}

} // namespace
