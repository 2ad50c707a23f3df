#include "arena_fixture.h"
#include "plane_pose.h"

#include "arena/autopilot.h"
#include "arena/flight.h"
#include "arena/game_step.h"
#include "arena/tunables.h"
#include "arena/turn.h"
#include "platform/clock.h"

#include <algorithm>
#include <cmath>

namespace {

class GameStepTest : public ArenaTest {
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        buildScene();
    }
};

} // namespace

TEST(ForceScale, FollowsTheMeasuredRateAcrossItsThresholds)
{
    struct Case { float fps; int scale; };
    const Case cases[] = {{9.99f, 5}, {10, 100}, {60, 16}, {59.9f, 16}, {500, 2}, {501, 1},
                          {1000, 1}, {1000.5f, 0}, {0, 5}, {-3, 5}, {NAN, 5}, {INFINITY, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(forceScaleFor(c.fps), c.scale) << c.fps;
}

TEST_F(GameStepTest, TheGameStepSetsTheForceScaleBeforeAnyoneFlies)
{
    FpsNow = 10;
    planes[3].autopilot = 1;
    planes[3].throttle = 1;
    planes[3].State = returnToMap;
    placePlane(3, 600, 600, 40);
    simTick();
    EXPECT_EQ(forceScale, 100);
    // The autopilot's thrust in the same tick already uses it.
    EXPECT_NEAR(bodyForce(planes[3].leftTip.body).x, 100 * ThrustF, 1e-6);
}

TEST_F(GameStepTest, AltitudeHoldLiftsLowAndSinkingPlanes)
{
    const double tailLift = Zforce;
    const double tipLift = Zforce + 3.99;
    struct Case { double tailZ, vz; int lifts; };
    const Case cases[] = {
        {5, -1, 2},      // low and sinking: twice
        {5, 1, 1},       // low, rising
        {20, -0.5, 1},   // high, sinking
        {20, 1, 0},      // high, rising
        {12, 0, 0},      // exactly at DesiredZ and still
    };
    for (const auto& c : cases) {
        placePlane(3, 600, 600, c.tailZ - 0.5);
        for (dBodyID b : {planes[3].tail.body, planes[3].leftTip.body, planes[3].rightTip.body})
            dBodySetLinearVel(b, 0, 0, c.vz);
        holdAltitude(3);
        EXPECT_NEAR(worldForce(planes[3].tail.body).z, c.lifts * tailLift, 1e-5) << c.tailZ << " " << c.vz;
        EXPECT_NEAR(worldForce(planes[3].leftTip.body).z, c.lifts * tipLift, 1e-5);
        EXPECT_NEAR(worldForce(planes[3].rightTip.body).z, c.lifts * tipLift, 1e-5);
        EXPECT_EQ(worldForce(planes[3].fuselage.body).z, 0);
        EXPECT_EQ(worldForce(planes[3].wing.body).z, 0);
    }
    // With DesiredZ at 0 only sinking lifts.
    DesiredZ = 0;
    placePlane(3, 600, 600, 3);
    holdAltitude(3);
    EXPECT_EQ(worldForce(planes[3].tail.body).z, 0);
}

TEST_F(GameStepTest, AutopilotPassesComeStrictlyMoreThanAFortiethApart)
{
    planes[1].autopilot = 1;
    placePlane(1, 600, 600, 40);
    simTick();  // lastAiTick starts at 0: the first step always has a pass
    EXPECT_EQ(apCounter, 1);
    EXPECT_EQ(lastAiTick, platform::nowSeconds());
    platform::advanceTestTicks(20);
    simTick();
    EXPECT_EQ(apCounter, 1);
    platform::advanceTestTicks(10);
    simTick();
    EXPECT_EQ(apCounter, 2);

    // Exactly 0.025 s after the last pass: none.
    platform::setTestTicks(25);
    lastAiTick = 0;
    ASSERT_EQ(platform::nowSeconds() - lastAiTick, 0.025f);
    simTick();
    EXPECT_EQ(apCounter, 2);
    platform::setTestTicks(26);
    simTick();
    EXPECT_EQ(apCounter, 3);
}

TEST_F(GameStepTest, DeadPlanesGetDragRaysAndEnemyChoiceButNoLiftOrAutopilot)
{
    Action = 1;
    placePlane(2, 600, 600, 5);
    planes[2].autopilot = 1;
    planes[2].Helth = 0;
    planes[2].lastHitBy = 4;
    planes[2].State = planPath;
    dBodySetLinearVel(planes[2].tail.body, 6, 0, -1);
    // A living plane whose autopilot is off: no step and no enemy choice.
    placePlane(5, 700, 600, 40);
    planes[5].lastHitBy = 4;
    simTick();
    EXPECT_EQ(apCounter, 0);
    EXPECT_EQ(planes[2].FpCount, 0);
    EXPECT_EQ(planes[2].lastHitBy, -1);
    EXPECT_EQ(planes[2].Enemy, 4);
    Force tail = worldForce(planes[2].tail.body);
    EXPECT_NEAR(tail.x, -6 * 50.0 / 60.0, 1e-5);
    EXPECT_NEAR(tail.z, 50.0 / 60.0, 1e-5);  // drag only: no lift although low and sinking
    double origin[3], dir[3];
    dGeomRayGet(planes[2].scanRay, origin, dir);
    EXPECT_NEAR(origin[0], 605.08, 1e-9);
    EXPECT_EQ(planes[5].lastHitBy, 4);

    // With fighting off the living autopilot plane steps, the enemy choice waits.
    Action = 0;
    planes[5].autopilot = 1;
    platform::advanceTestTicks(26);
    simTick();
    EXPECT_EQ(apCounter, 1);
    EXPECT_EQ(planes[5].lastHitBy, 4);
}

TEST_F(GameStepTest, ScannerRaysLookFiveUnitsAheadOfEveryNose)
{
    for (int k = 0; k < planeCount; ++k)
        placePlane(k, 200 + 100 * k, 600, 40, 90);
    planes[4].Helth = -1;
    updateScanRays();
    for (int k = 0; k < planeCount; ++k) {
        double origin[4], dir[4];
        dGeomRayGet(planes[k].scanRay, origin, dir);
        EXPECT_NEAR(origin[0], 200 + 100 * k, 1e-9);
        EXPECT_NEAR(origin[1], 605.08, 1e-9);
        EXPECT_NEAR(origin[2], 40.1, 1e-9);
        EXPECT_NEAR(dir[0], 0, 1e-9);
        EXPECT_NEAR(dir[1], 1, 1e-9);
        EXPECT_NEAR(dir[2], 0, 1e-9);
        EXPECT_EQ(dGeomRayGetLength(planes[k].scanRay), 5.0);
        EXPECT_NEAR(planes[k].scanDir[1], 2.04, 1e-9);
        EXPECT_NEAR(planes[k].scanDir[0], 0, 1e-9);
        EXPECT_EQ(planes[k].scanDir[3], 0);
    }
}

TEST_F(GameStepTest, IdlePlanesHoverNearTheirWantedAltitude)
{
    double low = 1e9, high = -1e9;
    for (int turn = 0; turn < 1000; ++turn) {
        platform::advanceTestTicks(17);
        // The game without the demonstration, which would take the planes over.
        turnSimulationSteps();
        turnEndSteps();
        if (turn < 500)
            continue;
        for (const auto& p : planes) {
            double z = dBodyGetPosition(p.tail.body)[2];
            low = std::min(low, z);
            high = std::max(high, z);
        }
    }
    EXPECT_TRUE(allFinite());
    EXPECT_GT(low, DesiredZ - 0.5);
    EXPECT_LT(high, DesiredZ + 0.5);
}
