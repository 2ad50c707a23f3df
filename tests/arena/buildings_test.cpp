#include "arena_fixture.h"

#include "arena/buildings.h"
#include "arena/collision.h"
#include "arena/sound_hooks.h"
#include "platform/clock.h"
#include "platform/random.h"

namespace {

int tearDowns = 0;
void countTearDown() { ++tearDowns; }

void newRound()
{
    destroyBuildings();
    blocksToBuildings();
}

} // namespace

TEST_F(ArenaTest, RoundsRunInACycleOfEight)
{
    buildScene();
    const int geoms = geomCount();
    // Rounds 2 to 7 take blocks 43 down to 2, seven at a time.
    for (int round = 2; round <= 7; ++round) {
        newRound();
        int top = 50 - 7 * (round - 1);
        for (int i = 0; i < buildingCount; ++i) {
            EXPECT_EQ(buildings[i].x, blocks[top - i].x) << "round " << round;
            EXPECT_EQ(buildings[i].y, blocks[top - i].y) << "round " << round;
            EXPECT_EQ(blocks[top - i].converted, 1);
        }
        EXPECT_EQ(geomCount(), geoms);
    }
    EXPECT_EQ(blocks[1].converted, 0);
    EXPECT_EQ(blocks[0].converted, 0);

    // Round 8: blocks 1 and 0, then five in a row with block 0's floors and
    // colour, and every mark cleared.
    newRound();
    EXPECT_EQ(buildings[0].x, blocks[1].x);
    EXPECT_EQ(buildings[1].x, blocks[0].x);
    for (int i = 2; i < buildingCount; ++i) {
        EXPECT_EQ(buildings[i].x, 125.0f + 50 * i);
        EXPECT_EQ(buildings[i].y, 25.0f);
        EXPECT_EQ(buildings[i].floors, blocks[0].floors);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(buildings[i].colour[c], blocks[0].colour[c]);
    }
    for (const auto& block : blocks)
        EXPECT_EQ(block.converted, 0);
    // The grid marks stay cleared for every block that ever converted.
    for (const auto& block : blocks)
        EXPECT_EQ(grid[block.cellX][block.cellY].block, 0);

    // Round 9 is laid out like round 1, and the sunk boxes stay at the same depth.
    newRound();
    for (int i = 0; i < buildingCount; ++i) {
        EXPECT_EQ(buildings[i].x, blocks[50 - i].x);
        EXPECT_EQ(dGeomGetPosition(blocks[50 - i].geom)[2], 30 - 10000);
    }
    EXPECT_EQ(geomCount(), geoms);
}

TEST_F(ArenaTest, TearingDownNullsTheFloorsAndTellsTheSoundSide)
{
    buildScene();
    soundHooks.buildingsTearingDown = countTearDown;
    tearDowns = 0;
    const int geoms = geomCount();
    planes[2].rayHitGeom = buildings[5].floor[1][3].geom;
    planes[3].rayHitGeom = ground;
    destroyBuildings();
    EXPECT_EQ(tearDowns, 1);
    // A ray that last met a torn-down box no longer names it.
    EXPECT_EQ(planes[2].rayHitGeom, nullptr);
    EXPECT_EQ(planes[3].rayHitGeom, ground);
    EXPECT_EQ(geomCount(), geoms - 7 * 2 * 5);
    for (const auto& building : buildings)
        for (int f = 0; f < building.floors; ++f)
            for (const auto& box : building.floor[f]) {
                EXPECT_EQ(box.body, nullptr);
                EXPECT_EQ(box.geom, nullptr);
            }
    // Tearing down twice destroys nothing twice.
    destroyBuildings();
    blocksToBuildings();
    EXPECT_EQ(geomCount(), geoms);
}

TEST_F(ArenaTest, ABuildingHoldsAtMostNinetyNineFloors)
{
    buildScene();
    destroyBuildings();
    buildBuilding(3, 250, 600, 600, 1, 1, 1);
    EXPECT_EQ(buildings[3].floors, 99);
    EXPECT_NE(buildings[3].floor[98][4].body, nullptr);
    buildBuilding(4, 0, 600, 700, 1, 1, 1);
    EXPECT_EQ(buildings[4].floors, 0);
    EXPECT_EQ(buildings[4].floor[0][0].body, nullptr);
    destroyBuildings();
    EXPECT_EQ(buildings[3].floor[98][4].body, nullptr);
}

TEST_F(ArenaTest, BuildingReseedsTheGeneratorFromTheCalendar)
{
    buildScene(1700000000);
    platform::setTestCalendarTime(123456);
    destroyBuildings();
    platform::seedRandom(1);
    buildBuilding(0, 1, 500, 500, 1, 0, 0);
    EXPECT_EQ(platform::randomState(), 123456u);
    EXPECT_EQ(buildings[0].hit, 0);
    EXPECT_EQ(buildings[0].done, 0);
    EXPECT_EQ(buildings[0].z, 0);
    newRound();
}
