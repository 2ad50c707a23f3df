// A program that uses this build's audio configuration and nothing else, so that
// the libraries it needs can be checked.
#include "audio/audio.h"

int main()
{
    startAudio();
    updateSoundPositions();
    return 0;
}
