#include "arena_fixture.h"

#include "arena/game_modes.h"
#include "arena/tunables.h"
#include "platform/clock.h"
#include "platform/random.h"

#include <array>

namespace {

// Each component is 0 or 1, except the one the mode lifts, which is
// `replacement` or 1.
::testing::AssertionResult colourFollowsRule(const float* colour, int lifted, float replacement)
{
    for (int c = 0; c < 3; ++c) {
        const float low = c == lifted ? replacement : 0.0f;
        if (colour[c] != low && colour[c] != 1.0f)
            return ::testing::AssertionFailure() << "component " << c << " is " << colour[c];
    }
    return ::testing::AssertionSuccess();
}

std::array<float, 3> colourOf(const Plane& plane)
{
    return {plane.colour[0], plane.colour[1], plane.colour[2]};
}

} // namespace

TEST_F(ArenaTest, EachModeDealsTeamsAndColoursByItsRules)
{
    buildScene();
    bool sawLifted = false;
    for (int64_t second = 1766000000; second < 1766000030; ++second) {
        platform::setTestCalendarTime(second);

        setGameMode(0);  // Death: every plane for itself, green lifted to 0.5
        for (int i = 0; i < planeCount; ++i) {
            EXPECT_EQ(planes[i].team, i);
            EXPECT_TRUE(colourFollowsRule(planes[i].colour, 1, 0.5f));
            sawLifted = sawLifted || planes[i].colour[1] == 0.5f;
        }

        setGameMode(1);  // Team: four teams by index modulo 4, red lifted to 0.5
        for (int i = 0; i < planeCount; ++i) {
            EXPECT_EQ(planes[i].team, i % 4);
            EXPECT_TRUE(colourFollowsRule(planes[i].colour, 0, 0.5f));
            if (i >= 4) {
                EXPECT_EQ(colourOf(planes[i]), colourOf(planes[i - 4]));
            }
        }

        setGameMode(2);  // At All: 1 to 6 share team 1 and a colour, plane 0 alone
        EXPECT_EQ(planes[0].team, 0);
        EXPECT_TRUE(colourFollowsRule(planes[0].colour, 1, 0.5f));
        for (int i = 1; i < planeCount; ++i) {
            EXPECT_EQ(planes[i].team, 1);
            EXPECT_TRUE(colourFollowsRule(planes[i].colour, 1, 0.4f));
            EXPECT_EQ(colourOf(planes[i]), colourOf(planes[1]));
        }
    }
    EXPECT_TRUE(sawLifted);

    // Reseeded from the calendar second: the same second deals the same colours.
    setGameMode(0);
    const auto first = colourOf(planes[3]);
    platform::seedRandom(99);
    setGameMode(0);
    EXPECT_EQ(colourOf(planes[3]), first);
}

TEST_F(ArenaTest, EveryModeHandsPlanesOneToSixToTheAutopilot)
{
    buildScene();
    for (int mode : {0, 1, 2, 3, -1}) {
        for (auto& plane : planes) {
            plane.autopilot = 0;
            plane.State = 6;
            plane.Mood = 2;
            plane.Enemy = 3;
        }
        const auto colourBefore = colourOf(planes[5]);
        const int teamBefore = planes[5].team;
        Action = 0;
        setGameMode(mode);
        EXPECT_EQ(Action, 1) << "mode " << mode;
        for (int i = 1; i < planeCount; ++i) {
            EXPECT_EQ(planes[i].autopilot, 1);
            EXPECT_EQ(planes[i].State, 0);
            EXPECT_EQ(planes[i].Mood, 0);
            EXPECT_EQ(planes[i].Enemy, -1);
        }
        // Plane 0 is the player's: it keeps everything.
        EXPECT_EQ(planes[0].autopilot, 0);
        EXPECT_EQ(planes[0].State, 6);
        EXPECT_EQ(planes[0].Mood, 2);
        EXPECT_EQ(planes[0].Enemy, 3);
        if (mode < 0 || mode >= gameModeCount) {
            // An unknown mode leaves teams and colours as they were.
            EXPECT_EQ(planes[5].team, teamBefore);
            EXPECT_EQ(colourOf(planes[5]), colourBefore);
        }
    }
}
