// The one random generator of the program. A 32-bit state that starts at 1;
// each draw sets state = state * 214013 + 2531011 and returns bits 16 to 30.
#pragma once

#include <cstdint>

namespace platform {

void seedRandom(uint32_t seed);
int drawRandom();          // 0 to 32767
uint32_t randomState();    // for tests and diagnostics

// Seeds the generator with the calendar time in whole seconds.
void seedRandomFromTime();

} // namespace platform
