#include "arena_fixture.h"

#include "arena/collision.h"
#include "arena/scene.h"
#include "arena/tunables.h"
#include "arena/turn.h"
#include "platform/clock.h"

TEST_F(ArenaTest, HeadlessTurnsRunCleanWithConstantCounts)
{
    buildScene();
    // A key pressed at once keeps the demonstration, and with it the autopilot,
    // off: the planes only fall and settle.
    anyKeyPressed = 1;
    const int geoms = geomCount();
    const int bodies = bodyCount();
    for (int turn = 0; turn < 400; ++turn) {
        platform::advanceTestTicks(16);
        turnStartSteps();
        turnSimulationSteps();
        turnEndSteps();
        for (const auto& p : planes)
            ASSERT_EQ(p.RayHit, 0);
    }
    EXPECT_EQ(geomCount(), geoms);
    EXPECT_EQ(bodyCount(), bodies);
    EXPECT_TRUE(allFinite());
    EXPECT_GT(CallBackCounter, 0u);
    // Nothing touched the crates or the buildings: they sleep where they stood.
    for (int k = 0; k < crateCount; ++k) {
        EXPECT_FALSE(dBodyIsEnabled(crates[k].body));
        EXPECT_TRUE(bodyAt(crates[k].body, 200, 200, 20 * k + 10));
    }
    for (const auto& building : buildings)
        for (int f = 0; f < building.floors; ++f)
            for (const auto& box : building.floor[f])
                EXPECT_FALSE(dBodyIsEnabled(box.body));
    // The planes have settled on the ground without sinking through it.
    for (const auto& p : planes)
        EXPECT_GT(dBodyGetPosition(p.tail.body)[2], 0.5);
}

TEST_F(ArenaTest, TheSceneCanBeBuiltManyTimesInOneProcess)
{
    for (int i = 0; i < 5; ++i) {
        buildScene(1700000000 + i);
        for (int t = 0; t < 10; ++t)
            simulateTurn();
        EXPECT_TRUE(allFinite());
        destroyScene();
        EXPECT_EQ(CallBackCounter, 0u);
    }
}
