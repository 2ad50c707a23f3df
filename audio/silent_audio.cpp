// Silence: no sound at any moment, and nothing to place.
#include "audio/audio.h"

#include "arena/sound_hooks.h"

void startAudio()
{
    resetSoundHooks();
}
