#include "platform/random.h"

#include "platform/clock.h"

namespace platform {

namespace {
uint32_t state = 1;
}

void seedRandom(uint32_t seed)
{
    state = seed;
}

int drawRandom()
{
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7fffu);
}

uint32_t randomState()
{
    return state;
}

void seedRandomFromTime()
{
    seedRandom(static_cast<uint32_t>(calendarTime()));
}

} // namespace platform
