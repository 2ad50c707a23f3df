#include "arena/sound_hooks.h"

namespace {
void noSound() {}
void noSoundForPlane(int) {}
void noSoundForBody(dBodyID) {}
} // namespace

SoundHooks soundHooks = {noSound, noSoundForPlane, noSoundForBody, noSound,
                         noSoundForBody, noSound, noSoundForPlane, noSoundForPlane};

void resetSoundHooks()
{
    soundHooks = {noSound, noSoundForPlane, noSoundForBody, noSound,
                  noSoundForBody, noSound, noSoundForPlane, noSoundForPlane};
}
