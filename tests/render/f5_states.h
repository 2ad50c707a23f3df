// The text blocks shown in each state that F5 steps through, from the start.
#pragma once

#include "render/texts.h"

#include <cstdint>

struct F5State {
    uint8_t status, tables, sound, help;  // sound: the sound read-outs
};

inline constexpr F5State f5States[] = {{1, 1, 0, 1}, {1, 1, 0, 0}, {1, 1, 1, 0},
                                       {0, 0, 0, 1}, {0, 0, 0, 0}, {1, 0, 0, 0}};

// Shows the blocks of a state, as the presses that lead to it would.
inline void showF5State(const F5State& s)
{
    showStatus = s.status;
    showTables = s.tables;
    showSoundDebug = s.sound;
    showHelp = s.help;
}
