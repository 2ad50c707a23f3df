// The shell's counters that the texts read, for programs built without the shell.
#include <cstdint>

int keyFinder = 0;
uint64_t DrawCounter = 0;
