// What the shell and the rendering call of the audio configuration the program
// was built with (full, cue or silent; SKARVEL_AUDIO_FULL, SKARVEL_AUDIO_CUE or
// SKARVEL_AUDIO_SILENT is defined accordingly).
#pragma once

// Installs the configuration's handlers for the simulation's sound moments.
// The entry point calls it first, before the scene is built.
void startAudio();

// The 3-D placement of clips and listener; the first step of every drawn frame.
// Does nothing outside the full audio configuration.
void updateSoundPositions();
