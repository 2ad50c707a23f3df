#include "platform/clock.h"
#include "platform/random.h"

#include <gtest/gtest.h>

TEST(Random, FollowsTheLinearCongruentialRuleFromStateOne)
{
    platform::seedRandom(1);
    EXPECT_EQ(platform::drawRandom(), 41);
    EXPECT_EQ(platform::drawRandom(), 18467);
    EXPECT_EQ(platform::drawRandom(), 6334);
    EXPECT_EQ(platform::drawRandom(), 26500);
}

TEST(Random, StaysWithinFifteenBitsAndWrapsItsState)
{
    platform::seedRandom(0xffffffffu);
    for (int i = 0; i < 100000; ++i) {
        int r = platform::drawRandom();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
    platform::seedRandom(0xffffffffu);
    platform::drawRandom();
    EXPECT_EQ(platform::randomState(), 0xffffffffu * 214013u + 2531011u);
}

TEST(Random, SeedsFromTheCalendarTime)
{
    platform::setTestCalendarTime(1234567);
    platform::seedRandomFromTime();
    EXPECT_EQ(platform::randomState(), 1234567u);
    int first = platform::drawRandom();
    platform::seedRandom(1234567);
    EXPECT_EQ(platform::drawRandom(), first);
    platform::useRealCalendarTime();
}
