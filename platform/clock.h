// The program's clocks: the millisecond tick that every timed gate reads, and the
// calendar time in whole seconds that seeds the random generator.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since the process started, plus 100 000, as an unsigned 32-bit
// count. Starting at 100 s keeps the gates that compare against a zero start
// (the first frame-rate window, the first shot) open from the first turn.
uint32_t tickCount();

// The tick in seconds: the count converted to a 32-bit float, times 0.001.
float nowSeconds();

// Calendar time in whole seconds since the epoch.
int64_t calendarTime();

// Test control. While a test tick is set, tickCount returns it instead of the
// real clock; the same holds for the calendar time.
void setTestTicks(uint32_t ms);
void advanceTestTicks(uint32_t ms);
void useRealTicks();
void setTestCalendarTime(int64_t seconds);
void useRealCalendarTime();

} // namespace platform
