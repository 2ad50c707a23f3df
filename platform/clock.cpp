#include "platform/clock.h"

#include <chrono>
#include <ctime>

namespace platform {

namespace {

const auto processStart = std::chrono::steady_clock::now();
constexpr uint32_t tickOffsetMs = 100000;

bool testTicksOn = false;
uint32_t testTicks = 0;
bool testCalendarOn = false;
int64_t testCalendar = 0;

} // namespace

uint32_t tickCount()
{
    if (testTicksOn)
        return testTicks;
    auto elapsed = std::chrono::steady_clock::now() - processStart;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    // Unsigned arithmetic: after 49.7 days the count wraps, as a tick counter does.
    return static_cast<uint32_t>(static_cast<uint64_t>(ms) + tickOffsetMs);
}

float nowSeconds()
{
    // The tick as a float, scaled in double precision and rounded back.
    return static_cast<float>(static_cast<float>(tickCount()) * 0.001);
}

int64_t calendarTime()
{
    if (testCalendarOn)
        return testCalendar;
    return static_cast<int64_t>(std::time(nullptr));
}

void setTestTicks(uint32_t ms)
{
    testTicksOn = true;
    testTicks = ms;
}

void advanceTestTicks(uint32_t ms)
{
    testTicksOn = true;
    testTicks += ms;
}

void useRealTicks()
{
    testTicksOn = false;
}

void setTestCalendarTime(int64_t seconds)
{
    testCalendarOn = true;
    testCalendar = seconds;
}

void useRealCalendarTime()
{
    testCalendarOn = false;
}

} // namespace platform
