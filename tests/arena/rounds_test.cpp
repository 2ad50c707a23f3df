#include "arena_fixture.h"

#include "arena/buildings.h"
#include "arena/collision.h"
#include "arena/geom_tags.h"
#include "arena/scene.h"
#include "arena/sound_hooks.h"
#include "arena/turn.h"
#include "platform/clock.h"
#include "platform/random.h"

#include <vector>

namespace {

dBodyID testBox(int building)
{
    return buildings[building].floor[0][2].body;
}

void wakeTestBox(int building)
{
    dBodyEnable(testBox(building));
}

// Puts the clock at `ms` and returns the time the round check will read.
float clockAt(uint32_t ms)
{
    platform::setTestTicks(ms);
    return platform::nowSeconds();
}

} // namespace

TEST_F(ArenaTest, ARoundEndsStrictlyMoreThanTenSecondsAfterItsLastHit)
{
    buildScene();
    const int geoms = geomCount();

    // Building 0 is hit first, the other six five seconds later.
    const float first = clockAt(100000);
    wakeTestBox(0);
    checkBuildingHits();
    EXPECT_EQ(buildings[0].hit, 1);
    EXPECT_EQ(buildings[0].hitTime, first);
    EXPECT_EQ(BuildingHit, 1);
    // Still awake on later checks, it is not counted again.
    checkBuildingHits();
    checkBuildingHits();
    EXPECT_EQ(BuildingHit, 1);
    EXPECT_EQ(buildings[0].done, 0);

    const float last = clockAt(105000);
    for (int i = 1; i < buildingCount; ++i)
        wakeTestBox(i);
    checkBuildingHits();
    EXPECT_EQ(BuildingHit, 7);
    for (int i = 1; i < buildingCount; ++i)
        EXPECT_EQ(buildings[i].hitTime, last);

    // Exactly ten seconds after a hit the building is not done yet.
    ASSERT_EQ(clockAt(110000) - first, 10.0f);
    checkBuildingHits();
    EXPECT_EQ(buildings[0].done, 0);
    clockAt(110001);
    checkBuildingHits();
    EXPECT_EQ(buildings[0].done, 1);
    EXPECT_EQ(buildings[1].done, 0);

    ASSERT_EQ(clockAt(115000) - last, 10.0f);
    checkBuildingHits();
    EXPECT_EQ(buildings[0].x, blocks[50].x) << "the round ended too early";

    // The last six become done and the next round stands on blocks 43 to 37,
    // asleep and unmarked; the count of hits goes on.
    clockAt(115001);
    checkBuildingHits();
    for (int i = 0; i < buildingCount; ++i) {
        EXPECT_EQ(buildings[i].x, blocks[43 - i].x);
        EXPECT_EQ(buildings[i].y, blocks[43 - i].y);
        EXPECT_EQ(buildings[i].hit, 0);
        EXPECT_EQ(buildings[i].done, 0);
        EXPECT_FALSE(dBodyIsEnabled(testBox(i)));
    }
    EXPECT_EQ(BuildingHit, 7);
    EXPECT_EQ(geomCount(), geoms);

    // The new round's buildings are counted as they are hit.
    wakeTestBox(4);
    checkBuildingHits();
    EXPECT_EQ(BuildingHit, 8);
}

TEST_F(ArenaTest, OnlyTheTestBoxMakesAHit)
{
    buildScene();
    Building& building = buildings[3];
    for (int k : {0, 1, 3, 4})
        dBodyEnable(building.floor[0][k].body);
    for (const auto& box : building.floor[1])
        dBodyEnable(box.body);
    checkBuildingHits();
    EXPECT_EQ(building.hit, 0);
    EXPECT_EQ(BuildingHit, 0);
}

TEST_F(ArenaTest, ABoxPushedIntoABuildingIsNoticedOnTheNextCheck)
{
    buildScene();
    // Crate 10, the top of the stack, is set on the ground just north of
    // building 2's test box and slid into it.
    const Building& building = buildings[2];
    const dBodyID crate = crates[10].body;
    dBodySetPosition(crate, building.x, building.y + 16.75 + 0.25 + 10 + 1, 10);
    dBodySetLinearVel(crate, 0, -20, 0);
    dBodyEnable(crate);

    int turn = 0;
    while (!dBodyIsEnabled(testBox(2)) && turn < 200) {
        platform::advanceTestTicks(20);
        turnSimulationSteps();
        ++turn;
    }
    ASSERT_TRUE(dBodyIsEnabled(testBox(2))) << "the crate never reached the building";
    // The check of this turn ran before the step that woke the box.
    EXPECT_EQ(building.hit, 0);

    platform::advanceTestTicks(20);
    turnSimulationSteps();
    EXPECT_EQ(building.hit, 1);
    EXPECT_EQ(building.hitTime, platform::nowSeconds());
    EXPECT_EQ(BuildingHit, 1);
}

TEST_F(ArenaTest, TheRowComesFromTheGeneratorSeededWithTheSecond)
{
    buildScene();
    constexpr int64_t second = 1766000123;
    platform::setTestCalendarTime(second);

    // The row's draws: per building floors, place, then r, g and b.
    struct Expected { int floors; int r0; float colour[3]; };
    std::vector<Expected> expected(buildingCount);
    platform::seedRandom(static_cast<uint32_t>(second));
    for (auto& e : expected) {
        e.floors = platform::drawRandom() % 11 + 1;
        e.r0 = platform::drawRandom() % 333;
        for (float& c : e.colour)
            c = randomColourComponent();
        if (e.colour[0] == 0)
            e.colour[0] = 0.7f;
    }

    std::vector<uint8_t> marks;
    for (const auto& block : blocks)
        marks.push_back(block.converted);
    buildingsBuilt = 0;
    const int hitsBefore = BuildingHit;

    for (int repeat = 0; repeat < 3; ++repeat) {
        destroyBuildings();
        buildBuildingRow();
        for (int b = 0; b < buildingCount; ++b) {
            const Building& building = buildings[b];
            const Expected& e = expected[b];
            EXPECT_EQ(building.floors, e.floors);
            EXPECT_EQ(building.x, 50.0f * b);
            EXPECT_EQ(building.y, 1.0f - e.r0);
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(building.colour[c], e.colour[c]);
            EXPECT_EQ(building.hit, 0);
            EXPECT_EQ(building.done, 0);
            // The footprint centre lies at (145 + 50 b, 10.25 - r0).
            EXPECT_TRUE(bodyAt(building.floor[0][2].body, 145 + 50 * b, 10.25 - e.r0 + 16.75, 7.5, 1e-4));
            const int top = e.floors - 1;
            EXPECT_TRUE(bodyAt(building.floor[top][4].body, 145 + 50 * b, 10.25 - e.r0 + 1.75,
                               15.5 * top + 15.25, 1e-4));
            EXPECT_FALSE(dBodyIsEnabled(building.floor[top][4].body));
        }
    }
    for (int k = 0; k < blockCount; ++k)
        EXPECT_EQ(blocks[k].converted, marks[k]);
    EXPECT_EQ(buildingsBuilt, 0);

    // Row buildings count their hits like any others.
    wakeTestBox(0);
    wakeTestBox(6);
    checkBuildingHits();
    EXPECT_EQ(BuildingHit, hitsBefore + 2);
}

TEST_F(ArenaTest, ABuildingWithoutFloorsIsNeverReadOrHit)
{
    buildScene();
    destroyBuildings();
    // After a tear-down nothing stands; the check must not read the old boxes.
    checkBuildingHits();
    blocksToBuildings();
    destroyBuildings();
    for (int i = 0; i < buildingCount; ++i)
        buildBuilding(i, i == 4 ? 0 : 1, 300.0f + 50 * i, 600, 1, 1, 1);
    for (int i = 0; i < buildingCount; ++i)
        if (i != 4)
            wakeTestBox(i);
    clockAt(100000);
    checkBuildingHits();
    clockAt(200000);
    checkBuildingHits();
    EXPECT_EQ(BuildingHit, 6);
    EXPECT_EQ(buildings[4].hit, 0);
    // The floorless building has no test box to wake, so the round waits.
    EXPECT_EQ(buildings[0].x, 300.0f);
}

TEST_F(ArenaTest, RepeatedTearDownAndRaisingKeepsTheCountsConstant)
{
    buildScene();
    const int geoms = geomCount();
    const int bodies = bodyCount();
    platform::advanceTestTicks(1);
    for (int cycle = 0; cycle < 1000; ++cycle) {
        // Key M: a new round at once.
        destroyBuildings();
        blocksToBuildings();
        if (cycle % 10 == 0) {
            // Key R held for a turn, then the round check ends the row.
            destroyBuildings();
            buildBuildingRow();
            for (int i = 0; i < buildingCount; ++i)
                wakeTestBox(i);
            checkBuildingHits();
            platform::advanceTestTicks(10001);
            checkBuildingHits();
        }
        ASSERT_EQ(geomCount(), geoms) << "cycle " << cycle;
    }
    EXPECT_EQ(bodyCount(), bodies);
    // Raising over standing buildings replaces them rather than leaving boxes behind.
    blocksToBuildings();
    buildBuildingRow();
    buildBuildingRow();
    destroyBuildings();
    blocksToBuildings();
    EXPECT_EQ(geomCount(), geoms);
}

TEST_F(ArenaTest, TheRoundsRefuseToBuildInsideTheCollisionPass)
{
    buildScene();
    // A bubble of plane 0 touching plane 6 makes the pass call the hit hook,
    // which tries to end the round and to raise the row.
    Plane& shooter = planes[0];
    const dReal* wing = dBodyGetPosition(planes[6].wing.body);
    shooter.bubble.body = dBodyCreate(world);
    dBodySetPosition(shooter.bubble.body, wing[0], wing[1], wing[2] + 1);
    shooter.bubble.geom = dCreateSphere(space, 2);
    dGeomSetBody(shooter.bubble.geom, shooter.bubble.body);
    tagGeom(shooter.bubble.geom, GeomKind::Bubble, 0);
    shooter.bubbleCount = 1;

    for (auto& building : buildings)
        building.hit = building.done = 1;
    const int geoms = geomCount();
    const dBodyID before = testBox(0);
    soundHooks.planeHit = [](dBodyID) {
        checkBuildingHits();
        buildBuildingRow();
    };
    runCollisionPass();
    dJointGroupEmpty(contactGroup);
    EXPECT_LT(planes[6].Helth, 100);
    EXPECT_EQ(geomCount(), geoms);
    EXPECT_EQ(testBox(0), before);
    EXPECT_EQ(blocks[43].converted, 0);

    // Outside the pass the same check ends the round.
    checkBuildingHits();
    EXPECT_EQ(blocks[43].converted, 1);
    EXPECT_EQ(geomCount(), geoms);
}
