#include "arena_fixture.h"

#include "arena/buildings.h"
#include "arena/collision.h"
#include "arena/geom_tags.h"
#include "arena/sound_hooks.h"

#include <cfloat>
#include <vector>

namespace {

std::vector<dBodyID> hitBodies;
void recordHit(dBodyID body) { hitBodies.push_back(body); }

// Points plane k's scanner ray from (x, y, z) along (dx, dy, dz), length 5.
void aimRay(int k, double x, double y, double z, double dx, double dy, double dz)
{
    dGeomRaySetLength(planes[k].scanRay, 5.0);
    dGeomRaySet(planes[k].scanRay, x, y, z, dx, dy, dz);
}

// Gives plane k a bubble at (x, y, z), as firing does: a sphere of radius 2.
void placeBubble(int k, double x, double y, double z)
{
    Plane& p = planes[k];
    p.bubble.body = dBodyCreate(world);
    dBodySetPosition(p.bubble.body, x, y, z);
    p.bubble.geom = dCreateSphere(space, 2);
    dGeomSetBody(p.bubble.geom, p.bubble.body);
    tagGeom(p.bubble.geom, GeomKind::Bubble, k);
    p.bubbleCount = 1;
}

int contactJointsOn(dBodyID body)
{
    int n = 0;
    for (int j = 0; j < dBodyGetNumJoints(body); ++j)
        n += dJointGetType(dBodyGetJoint(body, j)) == dJointTypeContact;
    return n;
}

class CollisionTest : public ArenaTest {
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        buildScene();
        hitBodies.clear();
        soundHooks.planeHit = recordHit;
    }
};

} // namespace

TEST_F(CollisionTest, RayThatReachesTheGroundSetsGroundHitOnly)
{
    aimRay(2, 300, 100, 3, 0, 0, -1);
    EXPECT_TRUE(scanRayContact(planes[2].scanRay, ground));
    EXPECT_EQ(planes[2].RayHit, 1);
    EXPECT_EQ(planes[2].GrndHit, 1);
    EXPECT_EQ(planes[2].Sensing, 0);
    EXPECT_EQ(planes[2].rayHitGeom, ground);
    EXPECT_NEAR(planes[2].rayHitPos[0], 300, 1e-9);
    EXPECT_NEAR(planes[2].rayHitPos[1], 100, 1e-9);
    EXPECT_NEAR(planes[2].rayHitPos[2], 0, 1e-9);
    // Once hit in this pass, further pairs of the ray record nothing.
    aimRay(2, blocks[0].x - 27, blocks[0].y, 10, 1, 0, 0);
    nearCallback(nullptr, planes[2].scanRay, blocks[0].geom);
    EXPECT_EQ(planes[2].Sensing, 0);
    EXPECT_EQ(planes[2].rayHitGeom, ground);
}

TEST_F(CollisionTest, RayThatMeetsSolidThingsSetsSensing)
{
    struct Case { dGeomID geom; double x, y, z; };
    std::vector<Case> cases = {
        {blocks[0].geom, blocks[0].x - 27, blocks[0].y, 10},
        {buildings[0].floor[0][0].geom, buildings[0].x - 18, buildings[0].y, 5},
        {crates[0].geom, 187, 200, 10},
        {arenaWalls[3], 1242, 600, 30},
        {billboards[0].geom, 245, 10, 50},
    };
    for (const auto& c : cases) {
        planes[4].RayHit = 0;
        planes[4].Sensing = 0;
        aimRay(4, c.x, c.y, c.z, c.geom == billboards[0].geom ? 0 : 1, c.geom == billboards[0].geom ? -1 : 0, 0);
        nearCallback(nullptr, c.geom, planes[4].scanRay);
        EXPECT_EQ(planes[4].RayHit, 1);
        EXPECT_EQ(planes[4].Sensing, 1);
        EXPECT_EQ(planes[4].GrndHit, 0);
        EXPECT_EQ(planes[4].rayHitGeom, c.geom);
    }
    EXPECT_EQ(contactJointsOn(crates[0].body), 0);
}

TEST_F(CollisionTest, RayPassesOverPillarsPlanePartsAndItsOwnBubble)
{
    const dReal* pillarPos = dBodyGetPosition(pillars[0].body);
    aimRay(3, pillarPos[0] - 7, pillarPos[1], 10, 1, 0, 0);
    EXPECT_TRUE(scanRayContact(planes[3].scanRay, pillars[0].geom));
    EXPECT_EQ(planes[3].RayHit, 0);

    const dReal* tail = dBodyGetPosition(planes[5].tail.body);
    aimRay(3, tail[0] - 3, tail[1], tail[2], 1, 0, 0);
    EXPECT_TRUE(scanRayContact(planes[5].tail.geom, planes[3].scanRay));
    EXPECT_EQ(planes[3].RayHit, 0);
    // Its own parts too.
    const dReal* own = dBodyGetPosition(planes[3].tail.body);
    aimRay(3, own[0] - 3, own[1], own[2], 1, 0, 0);
    EXPECT_TRUE(scanRayContact(planes[3].scanRay, planes[3].tail.geom));
    EXPECT_EQ(planes[3].RayHit, 0);

    placeBubble(3, 600, 600, 50);
    aimRay(3, 596, 600, 50, 1, 0, 0);
    EXPECT_TRUE(scanRayContact(planes[3].scanRay, planes[3].bubble.geom));
    EXPECT_EQ(planes[3].RayHit, 0);
    EXPECT_EQ(planes[3].Sensing, 0);
}

TEST_F(CollisionTest, RayAgainstAnotherPlanesBubbleDependsOnTheOrder)
{
    placeBubble(1, 600, 600, 50);
    aimRay(3, 596, 600, 50, 1, 0, 0);
    // Plane 1's turn sets the bubble mark while its own ray flag is clear.
    scanRayContact(planes[3].scanRay, planes[1].bubble.geom);
    EXPECT_EQ(planes[3].RayHit, 0);
    planes[1].RayHit = 1;
    scanRayContact(planes[3].scanRay, planes[1].bubble.geom);
    EXPECT_EQ(planes[3].RayHit, 1);
    EXPECT_EQ(planes[3].Sensing, 1);
    EXPECT_EQ(planes[3].rayHitGeom, planes[1].bubble.geom);

    placeBubble(5, 700, 700, 50);
    aimRay(1, 696, 700, 50, 1, 0, 0);
    planes[1].RayHit = 0;
    scanRayContact(planes[5].bubble.geom, planes[1].scanRay);
    EXPECT_EQ(planes[1].Sensing, 1);
}

TEST_F(CollisionTest, CrossingRaysAndMissesRecordNothing)
{
    aimRay(0, 500, 500, 50, 1, 0, 0);
    aimRay(1, 502, 498, 50, 0, 1, 0);
    EXPECT_TRUE(scanRayContact(planes[0].scanRay, planes[1].scanRay));
    aimRay(2, 500, 500, 50, 0, 0, 1);
    EXPECT_TRUE(scanRayContact(planes[2].scanRay, ground));
    for (const auto& p : planes) {
        EXPECT_EQ(p.RayHit, 0);
        EXPECT_EQ(p.Sensing, 0);
        EXPECT_EQ(p.GrndHit, 0);
    }
    EXPECT_FALSE(scanRayContact(blocks[0].geom, ground));
}

TEST_F(CollisionTest, PillarsStopTeamZeroAndLetOthersThrough)
{
    const dReal* pos = dBodyGetPosition(pillars[7].body);
    // Plane 0 (team 0) touches and marks the pillar, and gets contacts.
    dBodySetPosition(planes[0].tail.body, pos[0] + 5, pos[1], pos[2]);
    EXPECT_FALSE(pillarContact(planes[0].tail.geom, pillars[7].geom));
    EXPECT_EQ(pillars[7].hit, 1);
    nearCallback(nullptr, pillars[7].geom, planes[0].tail.geom);
    EXPECT_GT(contactJointsOn(pillars[7].body), 0);

    // Plane 2 passes through pillar 8 with no contact and no mark.
    const dReal* other = dBodyGetPosition(pillars[8].body);
    dBodySetPosition(planes[2].tail.body, other[0] + 5, other[1], other[2]);
    EXPECT_TRUE(pillarContact(pillars[8].geom, planes[2].tail.geom));
    nearCallback(nullptr, planes[2].tail.geom, pillars[8].geom);
    EXPECT_EQ(pillars[8].hit, 0);
    EXPECT_EQ(contactJointsOn(pillars[8].body), 0);

    // Bubbles follow their plane's team.
    placeBubble(0, other[0], other[1] + 5, other[2]);
    EXPECT_FALSE(pillarContact(pillars[8].geom, planes[0].bubble.geom));
    EXPECT_EQ(pillars[8].hit, 1);
    placeBubble(4, pos[0], pos[1] - 5, pos[2]);
    EXPECT_TRUE(pillarContact(planes[4].bubble.geom, pillars[7].geom));
    // A dropped pillar pair still counts as a callback.
    uint64_t before = CallBackCounter;
    nearCallback(nullptr, planes[4].bubble.geom, pillars[7].geom);
    EXPECT_EQ(CallBackCounter, before + 1);
}

TEST_F(CollisionTest, BubblesCostOtherPlanesHealthDownToMinusOne)
{
    const dReal* fus = dBodyGetPosition(planes[2].fuselage.body);
    placeBubble(5, fus[0], fus[1], fus[2] + 1.5);
    planes[2].Helth = 1;
    EXPECT_TRUE(shotHit(planes[5].bubble.geom, planes[2].fuselage.geom));
    EXPECT_EQ(planes[2].Helth, 0);
    EXPECT_EQ(planes[2].lastHitBy, 5);
    ASSERT_EQ(hitBodies.size(), 1u);
    EXPECT_EQ(hitBodies[0], planes[2].fuselage.body);

    EXPECT_TRUE(shotHit(planes[2].wing.geom, planes[5].bubble.geom));
    EXPECT_EQ(planes[2].Helth, -1);
    // At -1 a hit changes nothing and makes no sound, but still reports a hit.
    planes[2].lastHitBy = -1;
    EXPECT_TRUE(shotHit(planes[5].bubble.geom, planes[2].fuselage.geom));
    EXPECT_EQ(planes[2].Helth, -1);
    EXPECT_EQ(planes[2].lastHitBy, -1);
    EXPECT_EQ(hitBodies.size(), 2u);

    // The bubble still bounces off: the callback makes contacts.
    nearCallback(nullptr, planes[5].bubble.geom, planes[2].fuselage.geom);
    EXPECT_GT(contactJointsOn(planes[5].bubble.body), 0);
}

TEST_F(CollisionTest, OwnBubblesAndBubblePairsAreNoHits)
{
    const dReal* fus = dBodyGetPosition(planes[3].fuselage.body);
    placeBubble(3, fus[0], fus[1], fus[2] + 1.5);
    EXPECT_FALSE(shotHit(planes[3].bubble.geom, planes[3].fuselage.geom));
    EXPECT_EQ(planes[3].Helth, 100);
    placeBubble(4, fus[0] + 1, fus[1], fus[2] + 1.5);
    EXPECT_FALSE(shotHit(planes[3].bubble.geom, planes[4].bubble.geom));
    EXPECT_TRUE(hitBodies.empty());
}

TEST_F(CollisionTest, ABubbleOverlappingTwoPartsCostsTwoPointsInOnePass)
{
    const dReal* wing = dBodyGetPosition(planes[6].wing.body);
    placeBubble(0, wing[0] - 1.5, wing[1], wing[2] + 1);
    runCollisionPass();
    EXPECT_EQ(planes[6].Helth, 98);
    EXPECT_EQ(planes[6].lastHitBy, 0);
    dJointGroupEmpty(contactGroup);
}

TEST_F(CollisionTest, HingedPartsNeverCollideButIndirectNeighboursDo)
{
    Plane& p = planes[1];
    nearCallback(nullptr, p.wing.geom, p.rightTip.geom);
    EXPECT_EQ(contactJointsOn(p.wing.body), 0);
    // The fuselage and a tip are joined only through the wing.
    const dReal* tip = dBodyGetPosition(p.rightTip.body);
    dBodySetPosition(p.fuselage.body, tip[0], tip[1] + 1.5, tip[2]);
    nearCallback(nullptr, p.fuselage.geom, p.rightTip.geom);
    EXPECT_GT(contactJointsOn(p.rightTip.body), 0);
}

TEST_F(CollisionTest, ContactsCarryTheBouncySurface)
{
    dSurfaceParameters s = contactSurface();
    EXPECT_EQ(s.mode, 0x14);
    EXPECT_EQ(s.mu, static_cast<dReal>(FLT_MAX));
    EXPECT_EQ(s.bounce, 0.2);
    EXPECT_EQ(s.bounce_vel, 0.1);
    EXPECT_EQ(s.soft_cfm, 1e-7);

    // A body dropped on the ground bounces back up under this surface.
    dBodyID ball = dBodyCreate(world);
    dBodySetPosition(ball, 600, 600, 1.5);
    dBodySetLinearVel(ball, 0, 0, -20);
    dMass m;
    dMassSetSphere(&m, 1, 2);
    dBodySetMass(ball, &m);
    dGeomID g = dCreateSphere(space, 2);
    dGeomSetBody(g, ball);
    nearCallback(nullptr, ground, g);
    EXPECT_GT(contactJointsOn(ball), 0);
    dWorldQuickStep(world, 0.05);
    dJointGroupEmpty(contactGroup);
    EXPECT_GT(dBodyGetLinearVel(ball)[2], 0);
    dGeomDestroy(g);
    dBodyDestroy(ball);
}

TEST_F(CollisionTest, RuleActionsInsideThePassCannotDestroyGeoms)
{
    // A sound handler that tries to tear down the buildings while the pass runs
    // is refused: the space keeps every geom and the pass finishes.
    const dReal* wing = dBodyGetPosition(planes[6].wing.body);
    placeBubble(0, wing[0] - 1.5, wing[1], wing[2] + 1);
    const int geoms = geomCount();
    soundHooks.planeHit = [](dBodyID) {
        destroyBuildings();
        blocksToBuildings();
    };
    runCollisionPass();
    EXPECT_FALSE(collisionPassRunning());
    EXPECT_LT(planes[6].Helth, 100);
    EXPECT_EQ(geomCount(), geoms);
    EXPECT_EQ(blocks[43].converted, 0);
    dJointGroupEmpty(contactGroup);
}
