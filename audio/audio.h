// What the shell calls of the audio configuration the program was built with
// (full, cue or silent; SKARVEL_AUDIO_FULL, SKARVEL_AUDIO_CUE or
// SKARVEL_AUDIO_SILENT is defined accordingly).
#pragma once

// Installs the configuration's handlers for the simulation's sound moments, the
// drawn frame's placement and the texts' read-outs. The entry point calls it
// first, before the scene is built and before the first frame.
void startAudio();
