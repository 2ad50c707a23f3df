#include "audio/audio.h"

void startAudio() {}
void updateSoundPositions() {}
