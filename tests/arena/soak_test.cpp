#include "arena_fixture.h"

#include "arena/autopilot.h"
#include "arena/sound_hooks.h"
#include "arena/tunables.h"
#include "arena/turn.h"
#include "platform/clock.h"

namespace {
int shotsHeard = 0;
} // namespace

// Twenty thousand whole turns, the demonstration included, with every plane
// flying and fighting by itself: the arena stays sound the whole way and the
// game actually happens.
TEST_F(ArenaTest, PlanesFlyAndFightForTwentyThousandTurns)
{
    buildScene();
    for (auto& p : planes)
        p.autopilot = 1;
    Action = 1;
    shotsHeard = 0;
    soundHooks.gunFired = [](int) { ++shotsHeard; };

    // Each plane's first shot adds its bubble for good; nothing else comes or goes.
    auto geomsWithoutBubbles = [] {
        int n = geomCount();
        for (const auto& p : planes)
            n -= p.bubbleCount;
        return n;
    };
    const int geoms = geomsWithoutBubbles();
    int routesPlanned = 0;
    int healthLost = 0;
    int32_t previousState[planeCount];
    int32_t previousHealth[planeCount];
    for (int k = 0; k < planeCount; ++k) {
        previousState[k] = planes[k].State;
        previousHealth[k] = planes[k].Helth;
    }

    int64_t calendar = defaultCalendarTime;
    uint32_t ms = 100000;
    for (int turn = 0; turn < 20000; ++turn) {
        // About 60 turns per second; the calendar clock keeps pace with the tick.
        ms += 17;
        platform::setTestTicks(ms);
        if (ms / 1000 != (ms - 17) / 1000)
            platform::setTestCalendarTime(++calendar);
        simulateTurn();
        for (int k = 0; k < planeCount; ++k) {
            const Plane& p = planes[k];
            ASSERT_GE(p.Helth, -1);
            ASSERT_LE(p.Helth, 100);
            ASSERT_EQ(p.bubbleCount == 0, p.bubble.body == nullptr);
            ASSERT_TRUE(p.Enemy >= -1 && p.Enemy < planeCount);
            routesPlanned += previousState[k] == planPath && p.State == followPath;
            if (p.Helth < previousHealth[k])
                healthLost += previousHealth[k] - p.Helth;
            previousState[k] = p.State;
            previousHealth[k] = p.Helth;
        }
        if (turn % 500 == 0) {
            ASSERT_TRUE(allFinite()) << "turn " << turn;
            ASSERT_EQ(geomsWithoutBubbles(), geoms) << "turn " << turn;
        }
    }
    EXPECT_TRUE(allFinite());
    EXPECT_EQ(geomsWithoutBubbles(), geoms);
    EXPECT_GT(routesPlanned, 100);
    EXPECT_GT(shotsHeard, 100);
    EXPECT_GT(healthLost, 10);
    EXPECT_GT(apCounter, 7 * 5000);
}
