#include "audio/audio.h"
#include "audio/cue_hooks.h"

void startAudio()
{
    installCueHooks();
}

void updateSoundPositions() {}
