#include "arena_fixture.h"

#include "arena/game_modes.h"
#include "arena/tunables.h"
#include "platform/clock.h"

namespace {

// The demonstration reads only the plane records, the tunables and the clock,
// so these tests need no world: the main loop's start at 100 s, every plane
// healthy and flown by hand.
class DemoTest : public ArenaTest {
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        for (auto& plane : planes) {
            plane.Helth = 100;
            plane.autopilot = 0;
            plane.State = 0;
        }
        startTime = demoSwitchTime = clockAt(100000);
    }

    static float clockAt(uint32_t ms)
    {
        platform::setTestTicks(ms);
        return platform::nowSeconds();
    }

    // The demonstration started at 100 s + 1 ms, as the first turn after the second.
    void startDemo()
    {
        clockAt(101001);
        updateDemoMode();
        ASSERT_EQ(demoActive, 1);
    }
};

} // namespace

TEST_F(DemoTest, StartsStrictlyAfterOneSecondWithoutAKey)
{
    ASSERT_EQ(clockAt(101000) - startTime, 1.0f);
    updateDemoMode();
    EXPECT_EQ(demoActive, 0);
    EXPECT_EQ(Action, 0);
    EXPECT_EQ(planes[1].autopilot, 0);

    cnP = 3;
    CameraNo = 5;
    clockAt(101001);
    updateDemoMode();
    EXPECT_EQ(demoActive, 1);
    EXPECT_EQ(Action, 1);
    EXPECT_EQ(CameraNo, 1);
    EXPECT_EQ(cnP, 0);
    EXPECT_EQ(showHelp, 1);
    for (int i = 1; i < planeCount; ++i) {
        EXPECT_EQ(planes[i].autopilot, 1);
        EXPECT_EQ(planes[i].State, 1);
    }
    EXPECT_EQ(planes[0].autopilot, 0);
    EXPECT_EQ(planes[0].State, 0);
}

TEST_F(DemoTest, SwitchesEveryElevenSecondsAndRestoresBeatenPlanes)
{
    startDemo();
    // demoSwitchTime is still the loop's start: the first switch comes strictly
    // after 111 s.
    ASSERT_EQ(clockAt(111000) - demoSwitchTime, 11.0f);
    updateDemoMode();
    EXPECT_EQ(cnP, 0);
    EXPECT_EQ(CameraNo, 1);

    planes[0].Helth = 1;
    planes[2].Helth = 5;
    planes[2].autopilot = 0;  // as the enemy choice leaves a beaten plane
    planes[3].Helth = 6;
    planes[3].autopilot = 0;
    planes[4].Helth = -3;

    uint32_t ms = 111001;
    for (int want : {1, 2, 3, 4, 5, 6, 1, 2}) {
        const float now = clockAt(ms);
        updateDemoMode();
        EXPECT_EQ(cnP, want);
        EXPECT_EQ(CameraNo, 8);
        EXPECT_EQ(showHelp, 0);
        EXPECT_EQ(demoSwitchTime, now);
        // Between switches nothing moves on.
        CameraNo = 4;
        clockAt(ms + 6000);
        updateDemoMode();
        EXPECT_EQ(cnP, want);
        EXPECT_EQ(CameraNo, 4);
        ms += 11001;
    }
    EXPECT_EQ(planes[0].Helth, 1);
    EXPECT_EQ(planes[2].Helth, 100);
    EXPECT_EQ(planes[2].autopilot, 1);
    EXPECT_EQ(planes[3].Helth, 6);
    EXPECT_EQ(planes[3].autopilot, 0);
    EXPECT_EQ(planes[4].Helth, 100);
}

TEST_F(DemoTest, TheFirstKeyEndsItForGood)
{
    startDemo();
    anyKeyPressed = 1;
    // The switch of this call still runs, then the key ends the demonstration.
    clockAt(111001);
    updateDemoMode();
    EXPECT_EQ(demoActive, 0);
    EXPECT_EQ(cnP, 0);
    EXPECT_EQ(CameraNo, 1);
    EXPECT_EQ(showHelp, 0);
    EXPECT_EQ(demoSwitchTime, platform::nowSeconds());
    // The autopilot of planes 1 to 6 and fighting stay on.
    EXPECT_EQ(Action, 1);
    for (int i = 1; i < planeCount; ++i)
        EXPECT_EQ(planes[i].autopilot, 1);

    // Nothing starts or switches it again.
    planes[3].Helth = 2;
    for (uint32_t ms = 120000; ms < 200000; ms += 5000) {
        clockAt(ms);
        updateDemoMode();
        EXPECT_EQ(demoActive, 0);
        EXPECT_EQ(cnP, 0);
        EXPECT_EQ(CameraNo, 1);
    }
    EXPECT_EQ(planes[3].Helth, 2);
}

TEST_F(DemoTest, AKeyInTheFirstSecondKeepsItFromEverStarting)
{
    clockAt(100500);
    updateDemoMode();
    anyKeyPressed = 1;
    for (uint32_t ms = 101000; ms < 150000; ms += 1000) {
        clockAt(ms);
        updateDemoMode();
    }
    EXPECT_EQ(demoActive, 0);
    EXPECT_EQ(Action, 0);
    EXPECT_EQ(showHelp, 1);
    EXPECT_EQ(CameraNo, 1);
    for (int i = 1; i < planeCount; ++i)
        EXPECT_EQ(planes[i].autopilot, 0);
}
