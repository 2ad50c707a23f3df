#include "platform/clock.h"

#include <gtest/gtest.h>

#include <ctime>

TEST(Clock, RealTickStartsAHundredSecondsIn)
{
    platform::useRealTicks();
    uint32_t tick = platform::tickCount();
    EXPECT_GE(tick, 100000u);
    EXPECT_LT(tick, 100000u + 600000u);
    EXPECT_GE(platform::nowSeconds(), 100.0f);
}

TEST(Clock, TestTicksDriveTheSecondsAsThirtyTwoBitFloats)
{
    // The float tick scaled in double precision: a whole second stays whole
    // (100000 * 0.001f would be 100.000008).
    platform::setTestTicks(100000);
    EXPECT_EQ(platform::nowSeconds(), 100.0f);
    platform::setTestTicks(100025);
    EXPECT_EQ(platform::tickCount(), 100025u);
    EXPECT_EQ(platform::nowSeconds(), static_cast<float>(100.025));
    platform::advanceTestTicks(975);
    EXPECT_FLOAT_EQ(platform::nowSeconds(), 101.0f);
    platform::useRealTicks();
}

TEST(Clock, CalendarTimeCanBeInjected)
{
    platform::setTestCalendarTime(42);
    EXPECT_EQ(platform::calendarTime(), 42);
    platform::useRealCalendarTime();
    int64_t now = static_cast<int64_t>(std::time(nullptr));
    EXPECT_NEAR(static_cast<double>(platform::calendarTime()), static_cast<double>(now), 5.0);
}
