#include "arena_fixture.h"

#include "arena/buildings.h"
#include "arena/game_modes.h"
#include "arena/tunables.h"
#include "arena/turn.h"
#include "platform/clock.h"

#include <array>
#include <chrono>
#include <cstdio>

namespace {

// The first round ends after some 32,000 turns, the later ones every 10,000 to
// 23,000; the bounds leave room for another build of the physics library.
#if defined(__SANITIZE_ADDRESS__)
constexpr int longRunTurns = 40000;  // the sanitizers make each turn several times dearer
constexpr int roundsAtLeast = 1;
#else
constexpr int longRunTurns = 100000;
constexpr int roundsAtLeast = 3;
#endif

// Geoms and bodies apart from the bubbles, which come and go with the shots.
int geomsWithoutBubbles()
{
    int n = dSpaceGetNumGeoms(space);
    for (const auto& plane : planes)
        n -= plane.bubble.geom != nullptr;
    return n;
}

std::array<int32_t, planeCount> teams()
{
    std::array<int32_t, planeCount> t;
    for (int i = 0; i < planeCount; ++i)
        t[i] = planes[i].team;
    return t;
}

bool allBuildingsHit()
{
    for (const auto& building : buildings)
        if (!building.hit)
            return false;
    return true;
}

} // namespace

// The whole game left to itself for a long time: the demonstration flies planes
// 1 to 6, the game mode changes now and then, and the rounds end and rise as the
// planes knock the buildings awake.
TEST_F(ArenaTest, ALongHeadlessRunWithRoundsModesAndTheDemonstrationStaysSound)
{
    buildScene();
    startTime = demoSwitchTime = platform::nowSeconds();
    const int geoms = geomsWithoutBubbles();
    const int bodies = bodyCount();
    auto bubbleBodies = [] {
        int n = 0;
        for (const auto& plane : planes)
            n += plane.bubble.body != nullptr;
        return n;
    };

    int rounds = 0;
    // Counted from the teams the planes fly in: each mode deals them anew.
    int modeChanges = 0;
    int64_t calendar = defaultCalendarTime;
    const uint32_t startMs = platform::tickCount();
    uint32_t ms = startMs;
    const auto wallStart = std::chrono::steady_clock::now();
    for (int turn = 0; turn < longRunTurns; ++turn) {
        // 16 to 25 ms a turn; the calendar second follows the tick.
        const uint32_t step = 16 + turn % 10;
        ms += step;
        platform::setTestTicks(ms);
        if (ms / 1000 != (ms - step) / 1000)
            platform::setTestCalendarTime(++calendar);
        const auto teamsBefore = teams();
        if (turn % 6000 == 5999) {
            GameMode = (GameMode + 1) % gameModeCount;
            setGameMode(GameMode);
        }

        const bool roundCanEnd = allBuildingsHit();
        simulateTurn();
        modeChanges += teams() != teamsBefore;
        if (roundCanEnd && !allBuildingsHit()) {
            ++rounds;
            ASSERT_EQ(geomsWithoutBubbles(), geoms) << "after round " << rounds;
            ASSERT_EQ(bodyCount() - bubbleBodies(), bodies) << "after round " << rounds;
        }
        if (turn % 1000 == 999) {
            ASSERT_TRUE(allFinite()) << "turn " << turn;
            ASSERT_EQ(geomsWithoutBubbles(), geoms) << "turn " << turn;
            ASSERT_EQ(demoActive, 1);
            ASSERT_GE(cnP, 1);
            ASSERT_LE(cnP, 6);
        }
    }
    const double wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    std::printf("%d turns (%.0f s of game time) in %.1f s: %d rounds completed, %d buildings hit, "
                "%d mode changes\n",
                longRunTurns, (ms - startMs) * 0.001, wallSeconds, rounds, BuildingHit, modeChanges);

    EXPECT_TRUE(allFinite());
    EXPECT_EQ(geomsWithoutBubbles(), geoms);
    EXPECT_EQ(bodyCount() - bubbleBodies(), bodies);
    EXPECT_EQ(modeChanges, longRunTurns / 6000);
    EXPECT_GE(rounds, roundsAtLeast);
}
