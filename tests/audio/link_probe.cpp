// A program that uses this build's audio configuration and nothing else, so that
// the libraries it needs can be checked.
#include "audio/audio.h"

#include "arena/sound_hooks.h"

int main()
{
    startAudio();
    soundHooks.frameDrawing();
    return 0;
}
