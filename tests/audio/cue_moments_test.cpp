// The cue configuration: each of the five cues at its moment, and no other sound.
#include "tests/arena/arena_fixture.h"

#include "arena/autopilot.h"
#include "arena/collision.h"
#include "arena/flight.h"
#include "arena/sound_hooks.h"
#include "arena/turn.h"
#include "arena/tunables.h"
#include "audio/audio.h"
#include "platform/clock.h"
#include "platform/cue/cue_player.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const std::string startCue = "data\\20th_century_fox.wav";
const std::string hitCue = "data\\beep_1.wav";
const std::string gunCue = "data\\gun.wav";
const std::string enemyCue = "data\\boing_1.wav";
const std::string droppedCue = "data\\hasta_la_vista_baby.wav";

std::vector<std::string> cues;

class CueMoments : public ArenaTest {
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        cues.clear();
        platform::setCueSink([](const std::string& name) { cues.push_back(name); });
        startAudio();
    }

    void TearDown() override
    {
        platform::setCueSink(nullptr);
        ArenaTest::TearDown();
    }

    static void moveNear(int plane, int other)
    {
        const dReal* target = dBodyGetPosition(planes[other].fuselage.body);
        const dReal* f = dBodyGetPosition(planes[plane].fuselage.body);
        const dReal dx = target[0] + 40 - f[0], dy = target[1] - f[1];
        Plane& p = planes[plane];
        for (Part* part : {&p.rightTip, &p.leftTip, &p.tail, &p.fuselage, &p.wing}) {
            const dReal* q = dBodyGetPosition(part->body);
            dBodySetPosition(part->body, q[0] + dx, q[1] + dy, q[2]);
        }
    }
};

using Cues = std::vector<std::string>;

TEST_F(CueMoments, SceneStartShotsAndHitsPlayTheirCues)
{
    buildScene();
    EXPECT_EQ(cues, Cues{startCue});

    cues.clear();
    fireBubble(0);
    fireBubble(0);   // within 0.5 s: refused, silent
    platform::advanceTestTicks(501);
    fireBubble(4);
    EXPECT_EQ(cues, (Cues{gunCue, gunCue}));

    cues.clear();
    const int health = planes[3].Helth;
    shotHit(planes[0].bubble.geom, planes[3].wing.geom);
    EXPECT_EQ(planes[3].Helth, health - 1);
    planes[3].Helth = -1;
    shotHit(planes[3].wing.geom, planes[0].bubble.geom);
    EXPECT_EQ(cues, Cues{hitCue}) << "no cue once health is below 0";
}

TEST_F(CueMoments, TakingAndDroppingAnEnemyPlayTheirCuesButTakingTheAttackerDoesNot)
{
    buildScene();
    moveNear(2, 1);
    cues.clear();
    planes[1].Enemy = -1;
    planes[1].lastHitBy = -1;
    acquireEnemy(1);
    ASSERT_GE(planes[1].Enemy, 0);
    EXPECT_EQ(cues, Cues{enemyCue});

    planes[planes[1].Enemy].Helth = 0;
    acquireEnemy(1);
    EXPECT_EQ(cues, (Cues{enemyCue, droppedCue}));

    cues.clear();
    planes[5].Enemy = -1;
    planes[5].lastHitBy = 6;
    acquireEnemy(5);
    EXPECT_EQ(planes[5].Enemy, 6);
    acquireEnemy(5);
    EXPECT_TRUE(cues.empty()) << "an attacker taken, and a living enemy kept";
}

TEST_F(CueMoments, ALongDemonstrationPlaysOnlyTheFiveCues)
{
    buildScene();
    for (int turn = 0; turn < 1500; ++turn) {
        simulateTurn();
        soundHooks.frameDrawing();
        platform::advanceTestTicks(10);
    }
    const std::set<std::string> five = {startCue, hitCue, gunCue, enemyCue, droppedCue};
    std::set<std::string> heard;
    for (const std::string& cue : cues) {
        EXPECT_TRUE(five.count(cue)) << cue;
        heard.insert(cue);
    }
    EXPECT_EQ(std::count(cues.begin(), cues.end(), startCue), 1);
    EXPECT_TRUE(heard.count(gunCue)) << "the planes under autopilot shoot";
}

} // namespace
