#include "arena_fixture.h"
#include "plane_pose.h"

#include "arena/collision.h"
#include "arena/flight.h"
#include "arena/geom_tags.h"
#include "arena/sound_hooks.h"
#include "arena/tunables.h"
#include "arena/turn.h"
#include "platform/clock.h"

#include <cmath>
#include <vector>

namespace {

std::vector<int> gunsFired;
std::vector<dBodyID> bodiesDestroyed;

class FlightTest : public ArenaTest {
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        buildScene();
        gunsFired.clear();
        bodiesDestroyed.clear();
        soundHooks.gunFired = [](int plane) { gunsFired.push_back(plane); };
        soundHooks.bodyDestroying = [](dBodyID body) { bodiesDestroyed.push_back(body); };
        forceScale = 16;
        placePlane(3, 600, 600, 40);
    }

    static dBodyID sphere(int k, int which)
    {
        const Part* parts[] = {&planes[k].tail, &planes[k].leftTip, &planes[k].rightTip};
        return parts[which]->body;
    }

    // The body-frame forces on plane k's tail, left tip and right tip.
    static void expectSphereForces(int k, Force tail, Force left, Force right)
    {
        const Force want[] = {tail, left, right};
        for (int s = 0; s < 3; ++s) {
            Force f = bodyForce(sphere(k, s));
            EXPECT_NEAR(f.x, want[s].x, 1e-9) << "sphere " << s;
            EXPECT_NEAR(f.y, want[s].y, 1e-9) << "sphere " << s;
            EXPECT_NEAR(f.z, want[s].z, 1e-9) << "sphere " << s;
        }
        for (dBodyID b : {planes[k].fuselage.body, planes[k].wing.body}) {
            const dReal* f = dBodyGetForce(b);
            EXPECT_EQ(f[0], 0);
            EXPECT_EQ(f[1], 0);
            EXPECT_EQ(f[2], 0);
        }
    }
};

} // namespace

TEST_F(FlightTest, DragOpposesEachSpheresVelocityInBothRateRegimes)
{
    struct Case { float fps; double k; };
    const Case cases[] = {{60, 50.0f / 60.0f}, {10, 5}, {9.99f, 0.3f}, {1, 0.3f}, {NAN, 0.3f}};
    for (const auto& c : cases) {
        FpsNow = c.fps;
        placePlane(3, 600, 600, 40, 30);
        dBodySetLinearVel(sphere(3, 0), 3, -4, 5);
        dBodySetLinearVel(sphere(3, 1), -1, 0, 2);
        dBodySetLinearVel(sphere(3, 2), 0, 7, 0);
        dBodySetLinearVel(planes[3].fuselage.body, 9, 9, 9);
        planeDrag(3);
        // Drag acts in the world frame.
        Force t = worldForce(sphere(3, 0));
        EXPECT_NEAR(t.x, -3 * c.k, 1e-6) << c.fps;
        EXPECT_NEAR(t.y, 4 * c.k, 1e-6);
        EXPECT_NEAR(t.z, -5 * c.k, 1e-6);
        EXPECT_NEAR(worldForce(sphere(3, 1)).x, c.k, 1e-6);
        EXPECT_NEAR(worldForce(sphere(3, 2)).y, -7 * c.k, 1e-6);
        EXPECT_EQ(dBodyGetForce(planes[3].fuselage.body)[0], 0);
    }
}

TEST_F(FlightTest, ALongPhysicsStepLetsTheDragStopASphereButNeverThrowItBack)
{
    FpsNow = 10;  // k = 5: over a 4 s step the plain force would be 20 times the momentum
    TStepSz = 4;
    placePlane(3, 600, 600, 40, 30);
    dBodySetLinearVel(sphere(3, 0), 3, -4, 5);
    planeDrag(3);
    // The sphere's mass is 1: the force that stops it within the step.
    Force t = worldForce(sphere(3, 0));
    EXPECT_NEAR(t.x, -3 / 4.0, 1e-6);
    EXPECT_NEAR(t.y, 4 / 4.0, 1e-6);
    EXPECT_NEAR(t.z, -5 / 4.0, 1e-6);
}

TEST_F(FlightTest, TheArenaKeepsItsBodiesThroughLongPhysicsSteps)
{
    // The plus key has no upper bound. Unchecked, the drag of such steps flung
    // the planes beyond the collision space's range within a few hundred
    // turns, and ODE ended the program.
    TStepSz = 4;
    for (int turn = 0; turn < 1000; ++turn) {
        platform::advanceTestTicks(20);
        simulateTurn();
    }
    EXPECT_TRUE(allFinite());
}

TEST_F(FlightTest, AllPlanesDragReachesDeadPlanesToo)
{
    for (int k = 0; k < planeCount; ++k) {
        placePlane(k, 300 + 50 * k, 600, 40);
        dBodySetLinearVel(planes[k].tail.body, 6, 0, 0);
    }
    planes[2].Helth = -1;
    allPlanesDrag();
    for (int k = 0; k < planeCount; ++k)
        EXPECT_NEAR(worldForce(planes[k].tail.body).x, -5.0, 1e-6) << k;
}

TEST_F(FlightTest, TurnsAndSteeringPushSidewaysInThePlanesFrame)
{
    // A plane yawed by 90 degrees: the side forces follow its own frame.
    placePlane(3, 600, 600, 40, 90);
    turnRight(3, 2.0f);
    expectSphereForces(3, {0, 9.6, 0}, {0, -9.6, 0}, {0, -9.6, 0});
    // Its left (+y in its frame) is world -x: the tail is pushed that way.
    EXPECT_NEAR(worldForce(planes[3].tail.body).x, -9.6, 1e-9);

    placePlane(3, 600, 600, 40, 90);
    turnLeft(3, 2.0f);
    expectSphereForces(3, {0, -9.6, 0}, {0, 9.6, 0}, {0, 9.6, 0});

    placePlane(3, 600, 600, 40, -45);
    steerRight(3);
    expectSphereForces(3, {0, 4.8, 0}, {0, -4.8, 0}, {0, -4.8, 0});
    placePlane(3, 600, 600, 40, -45);
    steerLeft(3);
    expectSphereForces(3, {0, -4.8, 0}, {0, 4.8, 0}, {0, 4.8, 0});

    // Above 1000 turns per second the force scale is 0 and nothing turns.
    forceScale = 0;
    placePlane(3, 600, 600, 40);
    turnRight(3, 2.0f);
    expectSphereForces(3, {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
}

TEST_F(FlightTest, ThrustAndBrakePushAlongTheNose)
{
    placePlane(3, 600, 600, 40, 90);
    applyThrust(3);
    expectSphereForces(3, {80, 0, 0}, {80, 0, 0}, {80, 0, 0});
    EXPECT_NEAR(worldForce(planes[3].tail.body).y, 80, 1e-9);

    placePlane(3, 600, 600, 40, 90);
    applyBrake(3);
    // The brake takes neither ThrustF nor a factor.
    expectSphereForces(3, {-16, 0, 0}, {-16, 0, 0}, {-16, 0, 0});

    ThrustF = 0;
    placePlane(3, 600, 600, 40);
    applyThrust(3);
    expectSphereForces(3, {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
    ThrustF = -2;
    applyThrust(3);
    expectSphereForces(3, {-32, 0, 0}, {-32, 0, 0}, {-32, 0, 0});
}

TEST_F(FlightTest, TheBubbleLeavesTheMuzzleWithItsMassAndPush)
{
    placePlane(3, 600, 600, 40, 90);
    fireBubble(3);
    const Plane& p = planes[3];
    ASSERT_EQ(p.bubbleCount, 1);
    ASSERT_NE(p.bubble.body, nullptr);
    // The muzzle: 6.5 ahead of the fuselage centre along the nose and 2 above.
    EXPECT_TRUE(bodyAt(p.bubble.body, 600, 606.5, 42, 1e-9));
    dMass mass;
    dBodyGetMass(p.bubble.body, &mass);
    EXPECT_NEAR(mass.mass, 0.05 * 4.0 / 3.0 * M_PI * 8, 1e-9);
    EXPECT_EQ(dGeomGetClass(p.bubble.geom), dSphereClass);
    EXPECT_EQ(dGeomSphereGetRadius(p.bubble.geom), 2);
    EXPECT_EQ(dGeomGetSpace(p.bubble.geom), space);
    EXPECT_EQ(dGeomGetBody(p.bubble.geom), p.bubble.body);
    EXPECT_EQ(planeOfBubble(p.bubble.geom), 3);
    // A push of 9000 along the fuselage's nose, for one step; no velocity.
    Force push = worldForce(p.bubble.body);
    EXPECT_NEAR(push.x, 0, 1e-9);
    EXPECT_NEAR(push.y, 9000, 1e-9);
    EXPECT_NEAR(push.z, 0, 1e-9);
    EXPECT_EQ(dBodyGetLinearVel(p.bubble.body)[1], 0);
    EXPECT_EQ(p.lastShotTime, platform::nowSeconds());
    EXPECT_EQ(gunsFired, std::vector<int>{3});
}

TEST_F(FlightTest, OneShotPerHalfSecondAndOneBubblePerPlane)
{
    const int geomsBefore = geomCount();
    fireBubble(3);
    EXPECT_EQ(geomCount(), geomsBefore + 1);
    dBodyID first = planes[3].bubble.body;
    dGeomID firstGeom = planes[3].bubble.geom;
    const float firstTime = planes[3].lastShotTime;

    // Exactly 0.5 s later the gate is still shut.
    platform::advanceTestTicks(500);
    fireBubble(3);
    EXPECT_EQ(planes[3].bubble.body, first);
    EXPECT_EQ(planes[3].lastShotTime, firstTime);
    EXPECT_EQ(gunsFired.size(), 1u);

    // A scanner ray that last met the old bubble forgets it when it goes.
    planes[5].rayHitGeom = firstGeom;
    planes[1].rayHitGeom = ground;
    platform::advanceTestTicks(1);
    fireBubble(3);
    EXPECT_EQ(bodiesDestroyed, std::vector<dBodyID>{first});
    EXPECT_EQ(planes[5].rayHitGeom, nullptr);
    EXPECT_EQ(planes[1].rayHitGeom, ground);
    EXPECT_EQ(planes[3].bubbleCount, 1);
    EXPECT_EQ(gunsFired.size(), 2u);

    for (int shot = 0; shot < 20; ++shot) {
        platform::advanceTestTicks(501);
        fireBubble(3);
        EXPECT_EQ(planes[3].bubbleCount, 1);
        EXPECT_EQ(geomCount(), geomsBefore + 1);
    }
    EXPECT_EQ(gunsFired.size(), 22u);
    EXPECT_EQ(bodiesDestroyed.size(), 21u);

    // Another plane's gate is its own, and a dead plane still fires.
    planes[4].Helth = 0;
    fireBubble(4);
    EXPECT_EQ(planes[4].bubbleCount, 1);
    EXPECT_EQ(geomCount(), geomsBefore + 2);
}

namespace {
std::vector<int> shotsDuringPass;
void fireFromInsidePass(dBodyID)
{
    platform::advanceTestTicks(1000);
    fireBubble(2);
    shotsDuringPass.push_back(planes[2].bubbleCount);
}
} // namespace

TEST_F(FlightTest, NoShotInsideTheCollisionPass)
{
    // Plane 5's bubble sits on plane 2's fuselage: the shot rule runs inside the
    // pass and calls the hit hook, which tries to fire from there.
    placePlane(2, 500, 500, 40);
    placePlane(5, 500, 450, 40);
    fireBubble(5);
    dBodySetPosition(planes[5].bubble.body, 500, 500, 41.5);
    shotsDuringPass.clear();
    soundHooks.planeHit = fireFromInsidePass;
    runCollisionPass();
    dJointGroupEmpty(contactGroup);
    ASSERT_FALSE(shotsDuringPass.empty());
    for (int count : shotsDuringPass)
        EXPECT_EQ(count, 0);
    EXPECT_EQ(planes[2].bubble.body, nullptr);
    // Outside the pass the same plane fires.
    fireBubble(2);
    EXPECT_EQ(planes[2].bubbleCount, 1);
}
