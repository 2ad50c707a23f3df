// Cue sounds: five short files played by name at five moments of the game, with
// no position and no music.
#pragma once

// Points the simulation's sound moments at the cue player.
void installCueHooks();
